#include "ui/FormResize.h"

#include "ui/Twips.h"

#include <QLabel>
#include <QListView>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <ostream>

namespace quorvane {
namespace {

struct ResizeCase {
    const char* name;
    QSize inner;
    QSize designInner;
    QSize controlDesign;
    std::optional<QSize> resized;
};

std::ostream& operator<<(std::ostream& os, const ResizeCase& c) {
    return os << c.name;
}

class ResizedControl : public ::testing::TestWithParam<ResizeCase> {};

TEST_P(ResizedControl, FollowsTheScreen) {
    const ResizeCase& c = GetParam();
    EXPECT_EQ(ResizedControlSize(c.inner, c.designInner, c.controlDesign), c.resized);
}

// Record screens: inner 11820 × 7836 twips with a list of 2652 × 6696. Report screens: inner
// 11724 × 7812 with a grid 11632 wide and 5092 to 5692 high.
INSTANTIATE_TEST_SUITE_P(
    Twips, ResizedControl,
    ::testing::Values(
        ResizeCase{"ListAtDesignSize", {11820, 7836}, {11820, 7836}, {2652, 6696}, {{2652, 6696}}},
        ResizeCase{"ListGrows", {13820, 9336}, {11820, 7836}, {2652, 6696}, {{4652, 8196}}},
        ResizeCase{"ListShrinks", {11000, 7000}, {11820, 7836}, {2652, 6696}, {{1832, 5860}}},
        ResizeCase{"ListWiderButLower", {12820, 6836}, {11820, 7836}, {2652, 6696}, {{3652, 5696}}},
        ResizeCase{
            "ListKeepsOneTwipOfHeight", {11820, 1141}, {11820, 7836}, {2652, 6696}, {{2652, 1}}},
        ResizeCase{
            "ListWouldHaveNoHeight", {11820, 1140}, {11820, 7836}, {2652, 6696}, std::nullopt},
        ResizeCase{"ListWouldHaveNoWidth", {9168, 7836}, {11820, 7836}, {2652, 6696}, std::nullopt},
        ResizeCase{"ListBelowBoth", {100, 100}, {11820, 7836}, {2652, 6696}, std::nullopt},
        ResizeCase{"IssuerGridGrows", {14724, 9812}, {11724, 7812}, {11632, 5692}, {{14632, 7692}}},
        ResizeCase{
            "QuotaGridShrinks", {10724, 6812}, {11724, 7812}, {11632, 5092}, {{10632, 4092}}},
        ResizeCase{
            "GridWouldHaveNoHeight", {11724, 2000}, {11724, 7812}, {11632, 5092}, std::nullopt}),
    [](const ::testing::TestParamInfo<ResizeCase>& info) { return std::string(info.param.name); });

// A screen at its designed size in pixels with a list and its banner at their designed sizes.
class ResizeWidgets : public ::testing::Test {
protected:
    static constexpr int kInnerWidth = 11820;
    static constexpr int kInnerHeight = 7836;
    static constexpr int kListWidth = 2652;
    static constexpr int kListHeight = 6696;

    void SetUp() override {
        screen_ = std::make_unique<QWidget>();
        list_ = new QListView(screen_.get());
        banner_ = new QLabel(screen_.get());
        screen_->resize(TwipsToPixels(kInnerWidth, kInnerHeight, screen_.get()));
        list_->setGeometry(
            QRect(QPoint(300, 60), TwipsToPixels(kListWidth, kListHeight, screen_.get())));
        banner_->setGeometry(300, 40, list_->width(), 20);
    }

    QSize designList() const { return TwipsToPixels(kListWidth, kListHeight, screen_.get()); }
    QSize designInner() const { return TwipsToPixels(kInnerWidth, kInnerHeight, screen_.get()); }

    bool resize() {
        return subFormReSize(screen_.get(), list_, banner_, kInnerHeight, kInnerWidth, kListHeight,
                             kListWidth);
    }

    std::unique_ptr<QWidget> screen_;
    QListView* list_ = nullptr;
    QLabel* banner_ = nullptr;
};

TEST_F(ResizeWidgets, ListTakesWhatTheScreenGainsOrLosesAndTheBannerItsWidth) {
    const struct {
        int dw;
        int dh;
    } steps[] = {{0, 0}, {200, 150}, {-50, -80}, {10, -300}};
    for (const auto& step : steps) {
        screen_->resize(designInner() + QSize(step.dw, step.dh));
        EXPECT_TRUE(resize());
        EXPECT_EQ(list_->size(), designList() + QSize(step.dw, step.dh));
        EXPECT_EQ(list_->pos(), QPoint(300, 60));
        EXPECT_EQ(banner_->width(), list_->width());
        EXPECT_EQ(banner_->height(), 20);
        EXPECT_EQ(banner_->pos(), QPoint(300, 40));
    }
}

TEST_F(ResizeWidgets, ShrinkingBelowTheListLeavesItAndTheBanner) {
    screen_->resize(designInner() + QSize(120, 40));
    ASSERT_TRUE(resize());
    const QSize before = list_->size();
    const int bannerBefore = banner_->width();
    // Only the height runs out: nothing changes, not even the width.
    screen_->resize(designInner().width() + 300, designInner().height() - designList().height());
    EXPECT_FALSE(resize());
    EXPECT_EQ(list_->size(), before);
    EXPECT_EQ(banner_->width(), bannerBefore);
    // Growing again applies once more.
    screen_->resize(designInner());
    EXPECT_TRUE(resize());
    EXPECT_EQ(list_->size(), designList());
}

TEST_F(ResizeWidgets, SingleControlFollowsTheSameRule) {
    QWidget* grid = list_;
    screen_->resize(designInner() + QSize(64, 32));
    EXPECT_TRUE(
        subFormReSize(screen_.get(), kInnerHeight, kInnerWidth, kListHeight, kListWidth, grid));
    EXPECT_EQ(grid->size(), designList() + QSize(64, 32));
    screen_->resize(designInner() - QSize(designList().width(), 0));
    EXPECT_FALSE(
        subFormReSize(screen_.get(), kInnerHeight, kInnerWidth, kListHeight, kListWidth, grid));
    EXPECT_EQ(grid->size(), designList() + QSize(64, 32));
    EXPECT_FALSE(
        subFormReSize(screen_.get(), kInnerHeight, kInnerWidth, kListHeight, kListWidth, nullptr));
}

TEST_F(ResizeWidgets, ContentsMarginsAreNotInnerSpace) {
    screen_->resize(designInner());
    screen_->setContentsMargins(0, 10, 0, 0);
    EXPECT_TRUE(resize());
    EXPECT_EQ(list_->size(), designList() - QSize(0, 10));
}

}  // namespace
}  // namespace quorvane
