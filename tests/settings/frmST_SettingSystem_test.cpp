#include "settings/frmST_SettingSystem.h"

#include "core/HostInfo.h"
#include "core/Settings.h"
#include "support/ScriptedDialogs.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace quorvane {
namespace {

const QString kTitle = u"儲存系統設定"_s;

class SettingSystem : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder_.isValid()); }

    void open(const SettingsStore& settings, const QString& hostInUse) {
        screen_ = std::make_unique<frmST_SettingSystem>(settings, hostInUse);
        screen_->show();
        screen_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(screen_.get()));
    }

    SettingsStore store() const { return SettingsStore(folder_.filePath(u"Quorvane.ini"_s)); }

    QLineEdit* serverField() const {
        return screen_->findChild<QLineEdit*>(u"txtSystem_ServerIP"_s);
    }

    QString panel(const QString& name) const {
        const auto* label = screen_->findChild<QLabel*>(name);
        EXPECT_NE(label, nullptr) << name.toStdString();
        return label != nullptr ? label->text() : QString();
    }

    // Clicks a toolbar button as the user would.
    void click(const QString& actionName) const {
        auto* toolbar = screen_->findChild<QToolBar*>(u"tlbOrder"_s);
        ASSERT_NE(toolbar, nullptr);
        auto* action = toolbar->findChild<QAction*>(actionName);
        ASSERT_NE(action, nullptr) << actionName.toStdString();
        QWidget* button = toolbar->widgetForAction(action);
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
    }

    void retype(const QString& text) const {
        serverField()->setFocus();
        serverField()->selectAll();
        QTest::keyClicks(serverField(), text);
    }

    QTemporaryDir folder_;
    std::unique_ptr<frmST_SettingSystem> screen_;
};

TEST_F(SettingSystem, ShowsTheHostInUseAndTheWorkstationsFacts) {
    open(store(), u"db.trust.local"_s);
    EXPECT_EQ(screen_->windowTitle(), u"E1-系統全域設定"_s);
    EXPECT_EQ(serverField()->text(), u"db.trust.local"_s);
    EXPECT_EQ(panel(u"sspInfo_NameComputer"_s), GetComputerNameText());
    EXPECT_EQ(panel(u"sspInfo_NameUserOS"_s), GetUserNameOS());
    EXPECT_EQ(panel(u"sspInfo_LocalIP"_s), GetLocalIP());
    EXPECT_FALSE(GetComputerNameText().isEmpty());

    const auto* tabs = screen_->findChild<QTabWidget*>();
    ASSERT_NE(tabs, nullptr);
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(0), u"系統設定"_s);
    EXPECT_EQ(tabs->tabText(1), u"系統資訊"_s);
}

TEST_F(SettingSystem, IsAFixedDialogCentredOnTheScreen) {
    open(store(), QString());
    EXPECT_EQ(screen_->minimumSize(), screen_->maximumSize());
    EXPECT_FALSE(screen_->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(screen_->windowFlags() & Qt::WindowMaximizeButtonHint);
    const QPoint offset =
        screen_->frameGeometry().center() - screen_->screen()->availableGeometry().center();
    EXPECT_LE(offset.manhattanLength(), 2);
}

TEST_F(SettingSystem, OkStoresTheAddressReportsAndStaysOpen) {
    const SettingsStore settings = store();
    open(settings, u"db.trust.local"_s);
    retype(u"10.20.30.40"_s);

    ScriptedDialogs dialogs;
    dialogs.expectMessage(Dialogs::Icon::Information, kTitle,
                          u"設定已完成\r\n\r\n請重新啟動系統"_s);
    click(u"OK"_s);

    EXPECT_EQ(settings.GetServerIP(), std::optional<QString>(u"10.20.30.40"_s));
    EXPECT_TRUE(screen_->isVisible());

    // Saving again without a change writes the same value and reports success again.
    dialogs.expectMessage(Dialogs::Icon::Information, kTitle,
                          u"設定已完成\r\n\r\n請重新啟動系統"_s);
    click(u"OK"_s);
    EXPECT_EQ(settings.GetServerIP(), std::optional<QString>(u"10.20.30.40"_s));
}

TEST_F(SettingSystem, AStoreThatCannotBeWrittenReportsTheFailure) {
    // The settings file's folder is a regular file, so no write can succeed (even as root).
    QFile blocker(folder_.filePath(u"blocker"_s));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    open(SettingsStore(folder_.filePath(u"blocker/Quorvane.ini"_s)), u"db.trust.local"_s);

    ScriptedDialogs dialogs;
    dialogs.expectMessage(Dialogs::Icon::None, kTitle, u"儲存失敗"_s);
    click(u"OK"_s);
    EXPECT_TRUE(screen_->isVisible());
}

struct LeaveCase {
    const char* name;
    bool byEscape;
};

class LeaveWithoutSaving : public SettingSystem, public ::testing::WithParamInterface<LeaveCase> {};

TEST_P(LeaveWithoutSaving, ClosesAndStoresNothing) {
    const SettingsStore settings = store();
    open(settings, u"db.trust.local"_s);
    retype(u"10.20.30.40"_s);
    if (GetParam().byEscape) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    } else {
        click(u"Quit"_s);
    }
    EXPECT_FALSE(screen_->isVisible());
    EXPECT_EQ(screen_->result(), QDialog::Rejected);
    EXPECT_EQ(settings.GetServerIP(), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Ways, LeaveWithoutSaving,
                         ::testing::Values(LeaveCase{"Escape", true}, LeaveCase{"Quit", false}),
                         [](const ::testing::TestParamInfo<LeaveCase>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
}  // namespace quorvane
