#pragma once

// What the tests of the three settings screens share: each screen's facts as the menu opens
// it, and one fixture that opens a screen on a settings file of the test's own and works it
// as the user would.

#include "core/Settings.h"
#include "settings/frmST_SettingClient.h"
#include "settings/frmST_SettingSystem.h"
#include "settings/frmST_SettingUser.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QStringList>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

namespace quorvane::test {

// The message each screen shows after storing.
inline QString StoredText() {
    return QStringLiteral("設定已完成\r\n\r\n請重新啟動系統");
}

// A field and the text typed into it.
using Typing = std::pair<QString, QString>;

// E1-系統全域設定: centred on the screen.
struct SystemScreen {
    using Screen = frmST_SettingSystem;
    static constexpr bool kOverMainWindow = false;
    static std::unique_ptr<Screen> make(const SettingsStore& settings, const QString& hostInUse,
                                        QWidget* parent) {
        return std::make_unique<Screen>(settings, hostInUse, parent);
    }
    static QString windowTitle() { return QStringLiteral("E1-系統全域設定"); }
    static QStringList tabCaptions() {
        return {QStringLiteral("系統設定"), QStringLiteral("系統資訊")};
    }
    static QString toolbar() { return QStringLiteral("tlbOrder"); }
    static QString storeKey() { return QStringLiteral("OK"); }
    static QString storeCaption() { return QStringLiteral("確定"); }
    static QString messageTitle() { return QStringLiteral("儲存系統設定"); }
    // What a user types before leaving without storing.
    static std::vector<Typing> changes() {
        return {{QStringLiteral("txtSystem_ServerIP"), QStringLiteral("10.20.30.40")}};
    }
};

// E2-電腦用戶端設定: opened over the main window, as the menu does.
struct ClientScreen {
    using Screen = frmST_SettingClient;
    static constexpr bool kOverMainWindow = true;
    static std::unique_ptr<Screen> make(const SettingsStore& settings, const QString& hostInUse,
                                        QWidget* parent) {
        return std::make_unique<Screen>(settings, hostInUse, parent);
    }
    static QString windowTitle() { return QStringLiteral("E2-電腦用戶端設定"); }
    static QStringList tabCaptions() {
        return {QStringLiteral("系統設定"), QStringLiteral("系統資訊"), QStringLiteral("列印設定")};
    }
    static QString toolbar() { return QStringLiteral("tlbOrder"); }
    static QString storeKey() { return QStringLiteral("OK"); }
    static QString storeCaption() { return QStringLiteral("確定"); }
    static QString messageTitle() { return QStringLiteral("儲存系統設定"); }
    static std::vector<Typing> changes() {
        return {{QStringLiteral("txtSystem_ServerIP"), QStringLiteral("10.20.30.40")},
                {QStringLiteral("txtPrintOffsetLeft"), QStringLiteral("5")}};
    }
};

// E3-使用者環境設定: centred on the screen; it shows no server address.
struct UserScreen {
    using Screen = frmST_SettingUser;
    static constexpr bool kOverMainWindow = false;
    static std::unique_ptr<Screen> make(const SettingsStore& settings, const QString& /*hostInUse*/,
                                        QWidget* parent) {
        return std::make_unique<Screen>(settings, parent);
    }
    static QString windowTitle() { return QStringLiteral("E3-使用者環境設定"); }
    static QStringList tabCaptions() { return {QStringLiteral("列印")}; }
    static QString toolbar() { return QStringLiteral("tlbMain"); }
    static QString storeKey() { return QStringLiteral("Save"); }
    static QString storeCaption() { return QStringLiteral("儲存"); }
    static QString messageTitle() { return QStringLiteral("儲存使用者環境設定"); }
    static std::vector<Typing> changes() {
        return {{QStringLiteral("txtPrint_PathTicketForm"), QStringLiteral("/srv/forms/")}};
    }
};

template <typename Kind>
class SettingsScreenTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder_.isValid()); }

    // Opens the screen as the menu does: over the main window for the screens that open there.
    void open(const SettingsStore& settings,
              const QString& hostInUse = QStringLiteral("db.trust.local")) {
        QWidget* parent = nullptr;
        if constexpr (Kind::kOverMainWindow) {
            main_ = std::make_unique<QMainWindow>();
            main_->setGeometry(100, 80, 900, 640);
            main_->show();
            main_->activateWindow();
            // The main window is active before the screen opens over it, as after the menu.
            ASSERT_TRUE(QTest::qWaitForWindowActive(main_.get()));
            parent = main_.get();
        }
        screen_ = Kind::make(settings, hostInUse, parent);
        screen_->show();
        screen_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(screen_.get()));
        // The widgets learn of the activation after the window does.
        ASSERT_TRUE(
            QTest::qWaitFor([this] { return QApplication::activeWindow() == screen_.get(); }));
    }

    void close() {
        screen_.reset();
        main_.reset();
    }

    SettingsStore store() const {
        return SettingsStore(folder_.filePath(QStringLiteral("Quorvane.ini")));
    }

    // A settings store that no write can reach: its folder is a regular file (even for root).
    SettingsStore unwritableStore() const {
        QFile blocker(folder_.filePath(QStringLiteral("blocker")));
        EXPECT_TRUE(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        return SettingsStore(folder_.filePath(QStringLiteral("blocker/Quorvane.ini")));
    }

    QLineEdit* field(const QString& name) const {
        auto* found = screen_->template findChild<QLineEdit*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    QLineEdit* field(const char* name) const { return field(QString::fromLatin1(name)); }

    QString panel(const QString& name) const {
        const auto* label = screen_->template findChild<QLabel*>(name);
        EXPECT_NE(label, nullptr) << name.toStdString();
        return label != nullptr ? label->text() : QString();
    }

    QTabWidget* tabs() const {
        return screen_->template findChild<QTabWidget*>(QStringLiteral("tabMain"));
    }

    QToolBar* toolbar() const { return screen_->template findChild<QToolBar*>(Kind::toolbar()); }

    // Clicks a toolbar button as the user would.
    void click(const QString& actionName) const {
        QToolBar* bar = toolbar();
        ASSERT_NE(bar, nullptr);
        auto* action = bar->findChild<QAction*>(actionName);
        ASSERT_NE(action, nullptr) << actionName.toStdString();
        QWidget* button = bar->widgetForAction(action);
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
    }

    // Types into a field as the user would: on the tab it is on, its text replaced.
    void retype(QLineEdit* target, const QString& text) const {
        ASSERT_NE(target, nullptr);
        for (int page = 0; page < tabs()->count(); ++page) {
            if (tabs()->widget(page)->isAncestorOf(target)) {
                tabs()->setCurrentIndex(page);
            }
        }
        target->setFocus();
        target->selectAll();
        QTest::keyClick(target, Qt::Key_Delete);
        for (const QChar character : text) {
            if (character.unicode() < 128) {
                QTest::keyClick(target, char(character.unicode()));
            } else {
                // QTest types ASCII only; other characters come as a key carrying the text.
                QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, character);
                QApplication::sendEvent(target, &press);
            }
        }
        ASSERT_EQ(target->text(), text);
    }

    QTemporaryDir folder_;
    std::unique_ptr<QMainWindow> main_;
    std::unique_ptr<typename Kind::Screen> screen_;
};

}  // namespace quorvane::test
