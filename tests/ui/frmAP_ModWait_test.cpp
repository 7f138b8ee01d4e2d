#include "ui/frmAP_ModWait.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMetaObject>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

using namespace Qt::StringLiterals;

namespace quorvane {
namespace {

// A wait dialog shown by its caller over a main window, as before a long job.
class Wait : public ::testing::Test {
protected:
    void SetUp() override {
        owner_ = std::make_unique<QMainWindow>();
        owner_->setGeometry(120, 90, 800, 600);
        owner_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(owner_.get()));
        dialog_ = new frmAP_ModWait(owner_.get());
        dialog_->show();
        dialog_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog_));
    }

    QLabel* label() const { return dialog_->findChild<QLabel*>(u"lblWait"_s); }
    QPushButton* cancelButton() const { return dialog_->findChild<QPushButton*>(u"cmdCancel"_s); }

    std::unique_ptr<QMainWindow> owner_;
    frmAP_ModWait* dialog_ = nullptr;  // owned by the window
};

TEST_F(Wait, IsAToolWindowCentredOverItsOwnerWithABusyIndicator) {
    EXPECT_EQ(dialog_->windowTitle(), u"請稍後"_s);
    EXPECT_EQ(dialog_->windowType(), Qt::Tool);
    const QPoint offset = dialog_->frameGeometry().center() - owner_->frameGeometry().center();
    EXPECT_LE(offset.manhattanLength(), 2);

    ASSERT_NE(label(), nullptr);
    EXPECT_EQ(label()->text(), u"請稍候"_s);
    EXPECT_TRUE(label()->alignment() & Qt::AlignHCenter);
    EXPECT_TRUE(label()->wordWrap());

    // The busy indicator shows without any animation file.
    const auto* busy = dialog_->findChild<QProgressBar*>(u"aniWait"_s);
    ASSERT_NE(busy, nullptr);
    EXPECT_TRUE(busy->isVisible());
    EXPECT_EQ(busy->minimum(), 0);
    EXPECT_EQ(busy->maximum(), 0);

    ASSERT_NE(cancelButton(), nullptr);
    EXPECT_EQ(cancelButton()->text(), u"取消"_s);
    EXPECT_FALSE(dialog_->CancelJob);
}

TEST_F(Wait, RefreshStatusShowsEveryLine) {
    struct Case {
        QString message;
        QString shown;
    };
    const Case cases[] = {
        {u"啟動文件處理程式\r\n印製第 3 張，共 120 張\r\n流水號 0000000123"_s,
         u"啟動文件處理程式\n印製第 3 張，共 120 張\n流水號 0000000123"_s},
        {u"第一行\n第二行\n第三行\n第四行\n第五行"_s, u"第一行\n第二行\n第三行\n第四行\n第五行"_s},
        // One long line wraps onto several.
        {QString(200, QChar(u'印')), QString(200, QChar(u'印'))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown.toStdString());
        dialog_->RefreshStatus(c.message);
        EXPECT_EQ(label()->text(), c.shown);
        EXPECT_GE(label()->height(), label()->heightForWidth(label()->width()));
        EXPECT_GE(label()->height(), label()->fontMetrics().lineSpacing() * 3);
        EXPECT_LE(label()->geometry().bottom(), dialog_->height());
    }
}

struct CancelWay {
    const char* name;
    std::function<void(frmAP_ModWait*)> act;
};

std::ostream& operator<<(std::ostream& os, const CancelWay& way) {
    return os << way.name;
}

class WaitCancel : public Wait, public ::testing::WithParamInterface<CancelWay> {};

TEST_P(WaitCancel, AsksTheJobToStopAndLeavesTheDialogOpen) {
    EXPECT_FALSE(dialog_->Cancel());
    GetParam().act(dialog_);
    EXPECT_TRUE(dialog_->CancelJob);
    EXPECT_TRUE(dialog_->Cancel());
    EXPECT_TRUE(dialog_->isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    Ways, WaitCancel,
    ::testing::Values(CancelWay{"CancelButton",
                                [](frmAP_ModWait* dialog) {
                                    QTest::mouseClick(
                                        dialog->findChild<QPushButton*>(u"cmdCancel"_s),
                                        Qt::LeftButton);
                                }},
                      CancelWay{"Escape",
                                [](frmAP_ModWait* dialog) {
                                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
                                    EXPECT_EQ(QApplication::focusWidget()->window(), dialog);
                                }}),
    [](const ::testing::TestParamInfo<CancelWay>& info) { return std::string(info.param.name); });

TEST_F(Wait, CancelSeesAClickStillWaitingInTheEventQueue) {
    QMetaObject::invokeMethod(cancelButton(), &QPushButton::click, Qt::QueuedConnection);
    EXPECT_FALSE(dialog_->CancelJob);
    EXPECT_TRUE(dialog_->Cancel());
}

TEST_F(Wait, CancelShowsTheDialogAgainUntilTheJobIsCancelled) {
    dialog_->hide();
    EXPECT_FALSE(dialog_->Cancel());
    EXPECT_TRUE(dialog_->isVisible());
    EXPECT_TRUE(QTest::qWaitForWindowActive(dialog_));

    dialog_->setCancel(true);
    dialog_->hide();
    EXPECT_TRUE(dialog_->Cancel());
    EXPECT_FALSE(dialog_->isVisible());

    dialog_->setCancel(false);
    EXPECT_FALSE(dialog_->CancelJob);
    EXPECT_FALSE(dialog_->Cancel());
    EXPECT_TRUE(dialog_->isVisible());
}

}  // namespace
}  // namespace quorvane
