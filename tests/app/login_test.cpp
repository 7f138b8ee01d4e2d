#include "app/Startup.h"
#include "app/frmAP_Login.h"
#include "app/frmAP_Main.h"
#include "core/CurrentUser.h"
#include "core/Password.h"
#include "core/PrintOffsets.h"
#include "db/SchemaInstaller.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"
#include "ui/FieldKinds.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace quorvane {
namespace {

// A user row as an administrator would have stored it.
void addUser(Database& db, const QString& id, const QVariant& pwd, bool handling = false,
             bool verify = false, bool system = false,
             const QString& name = QStringLiteral("測試")) {
    db.ConnExecute(
        Statement(QStringLiteral("INSERT INTO BF_User (IdUser, PWD, NameUser, PMI_Handling, "
                                 "PMI_Verify, PMI_System) VALUES (?, ?, ?, ?, ?, ?)"),
                  {id, pwd, name, handling, verify, system}));
}

// The login screen on an SQLite database, driven with keys.
class LoginScreenTest : public testing::Test {
protected:
    void SetUp() override {
        SetCurrentUser({});
        SetLastTypedLength(0);
        scratch_ = std::make_unique<test::ScratchDatabase>(test::Backend::Sqlite);
        db_ = scratch_->connect();
        SchemaInstaller::Install(*db_);
        addUser(*db_, QStringLiteral("ADMIN"), HashPassword(QStringLiteral("Secret1")), false,
                false, true);
        settings_ =
            std::make_unique<SettingsStore>(folder_.filePath(QStringLiteral("Quorvane.conf")));
    }

    std::unique_ptr<frmAP_Login> openLogin(Database& db) {
        auto login = std::make_unique<frmAP_Login>(db, *settings_);
        login->show();
        login->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(login.get()));
        return login;
    }

    QTemporaryDir folder_;
    std::unique_ptr<test::ScratchDatabase> scratch_;
    std::unique_ptr<Database> db_;
    std::unique_ptr<SettingsStore> settings_;
    ScriptedDialogs dialogs_;
};

TEST_F(LoginScreenTest, ShowsTheLastLoginIdAndStartsInThePassword) {
    settings_->SetIdUserLastLogin(QStringLiteral("ADMIN"));
    const auto login = openLogin(*db_);
    EXPECT_EQ(login->windowTitle(), QStringLiteral("Quorvane - 系統登入（請輸入帳號、密碼）"));
    EXPECT_EQ(login->txtIdUser()->text(), QStringLiteral("ADMIN"));
    EXPECT_EQ(QApplication::focusWidget(), login->txtPWD());
}

TEST_F(LoginScreenTest, FieldsFilterAndNavigateWithTheKeys) {
    const auto login = openLogin(*db_);
    QLineEdit* id = login->txtIdUser();
    QLineEdit* pwd = login->txtPWD();

    // Backspace in the empty password field goes back to the id.
    QTest::keyClick(pwd, Qt::Key_Backspace);
    EXPECT_EQ(QApplication::focusWidget(), id);

    QTest::keyClicks(id, QStringLiteral("ad/m:i@n!"));
    EXPECT_EQ(id->text(), QStringLiteral("ADMIN"));
    QTest::keyClick(id, Qt::Key_Right);  // caret at the end: on to the password
    EXPECT_EQ(QApplication::focusWidget(), pwd);

    QTest::keyClicks(pwd, QStringLiteral("Se,c.r/e;t1"));
    EXPECT_EQ(pwd->text(), QStringLiteral("Secret1"));
    EXPECT_EQ(pwd->displayText(), QStringLiteral("*******"));
    QTest::keyClick(pwd, Qt::Key_Home);
    QTest::keyClick(pwd, Qt::Key_Left);  // at the start: back to the id
    EXPECT_EQ(QApplication::focusWidget(), id);
    QTest::keyClick(id, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), pwd);
    QTest::keyClick(pwd, Qt::Key_Return);  // on as Tab would: the login button
    EXPECT_EQ(QApplication::focusWidget(),
              login->findChild<QPushButton*>(QStringLiteral("cmdLogin")));

    QLineEdit* const fields[] = {id, pwd};
    for (QLineEdit* field : fields) {
        field->clear();
        field->setFocus();
        QApplication::clipboard()->setText(QString(10000, QLatin1Char('x')) + QStringLiteral("!"));
        QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(field->text().size(), 16);
    }
}

TEST_F(LoginScreenTest, BackInTheIdSelectsTheRememberedIdSoTypingReplacesIt) {
    settings_->SetIdUserLastLogin(QStringLiteral("ADMIN"));
    struct Case {
        const char* what;
        Qt::Key key;
        QString password;
    };
    const Case cases[] = {
        {"Backspace in the empty password", Qt::Key_Backspace, QString()},
        {"Left at the start of the password", Qt::Key_Left, QStringLiteral("pw")},
    };
    for (const Case& c : cases) {
        SetLastTypedLength(0);
        const auto login = openLogin(*db_);
        QLineEdit* id = login->txtIdUser();
        QLineEdit* pwd = login->txtPWD();
        pwd->setText(c.password);
        pwd->setCursorPosition(0);
        QTest::keyClick(pwd, c.key);
        EXPECT_EQ(QApplication::focusWidget(), id) << c.what;
        EXPECT_EQ(id->selectedText(), QStringLiteral("ADMIN")) << c.what;
        QTest::keyClicks(id, QStringLiteral("clerk"));
        EXPECT_EQ(id->text(), QStringLiteral("CLERK")) << c.what;
    }
}

TEST_F(LoginScreenTest, WrongPasswordWarnsAndKeepsTheFields) {
    const auto login = openLogin(*db_);
    login->txtIdUser()->setText(QStringLiteral("admin"));
    QTest::keyClicks(login->txtPWD(), QStringLiteral("secret1"));
    dialogs_
        .expectMessage(Dialogs::Icon::Warning, QStringLiteral("登入失敗"),
                       QStringLiteral("登入帳號或密碼錯誤\r\n\r\n請於 1 秒後再試"))
        .withButtons(Dialogs::Buttons::Ok, Dialogs::Button::Ok);
    QTest::keyClick(login->txtPWD(), Qt::Key_Return);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_TRUE(login->isVisible());
    EXPECT_EQ(login->txtIdUser()->text(), QStringLiteral("admin"));
    EXPECT_EQ(login->txtPWD()->text(), QStringLiteral("secret1"));
    EXPECT_EQ(CurrentUser().IdUser, QString());
}

TEST_F(LoginScreenTest, EachRefusalHoldsTheLoginButtonLongerWithoutBlockingTheWindow) {
    const auto login = openLogin(*db_);
    login->txtIdUser()->setText(QStringLiteral("ADMIN"));
    login->txtPWD()->setText(QStringLiteral("wrong"));
    QPushButton* button = login->cmdLogin();
    for (const int waitMs : {1000, 2000, 4000}) {
        dialogs_
            .expectMessage(Dialogs::Icon::Warning, QStringLiteral("登入失敗"),
                           QStringLiteral("登入帳號或密碼錯誤"))
            .containing();
        button->click();
        EXPECT_EQ(dialogs_.pending(), 0U);
        EXPECT_FALSE(button->isEnabled()) << waitMs;
        ASSERT_TRUE(login->retryTimer()->isActive()) << waitMs;
        EXPECT_EQ(login->retryTimer()->interval(), waitMs);
        // The window goes on taking keys meanwhile.
        QTest::keyClicks(login->txtPWD(), QStringLiteral("x"));
        EXPECT_EQ(login->txtPWD()->text(), QStringLiteral("wrongx"));
        login->txtPWD()->setText(QStringLiteral("wrong"));
        // The wait ends (here at once) and the button takes attempts again.
        login->retryTimer()->start(0);
        QTRY_VERIFY(button->isEnabled());
    }
    // Five refusals in a row lock the account; the message says who unlocks it.
    for (int i = 0; i < 2; ++i) {
        dialogs_
            .expectMessage(Dialogs::Icon::Warning, QStringLiteral("登入失敗"),
                           QStringLiteral("登入帳號或密碼錯誤"))
            .containing();
        button->click();
        login->retryTimer()->start(0);
        QTRY_VERIFY(button->isEnabled());
    }
    ASSERT_EQ(dialogs_.records().size(), 5U);
    EXPECT_TRUE(
        dialogs_.records().back().text.contains(QStringLiteral("已因連續 5 次登入失敗而鎖定")));
    EXPECT_TRUE(dialogs_.records().back().text.contains(QStringLiteral("系統管理者")));
    login->txtPWD()->setText(QStringLiteral("Secret1"));
    dialogs_.expectMessage(Dialogs::Icon::Warning, QStringLiteral("登入失敗"),
                           Logins::LockedText(QStringLiteral("ADMIN")));
    button->click();
    EXPECT_TRUE(login->isVisible());
    EXPECT_EQ(CurrentUser().IdUser, QString());
}

TEST_F(LoginScreenTest, RightPasswordLogsInAndTitlesTheMainWindow) {
    const auto login = openLogin(*db_);
    login->txtIdUser()->setText(QStringLiteral(" admin"));
    QTest::keyClicks(login->txtPWD(), QStringLiteral("Secret1"));
    login->findChild<QPushButton*>(QStringLiteral("cmdLogin"))->click();
    EXPECT_EQ(login->result(), frmAP_Login::LoggedIn);
    EXPECT_FALSE(login->isVisible());
    EXPECT_EQ(CurrentUser().IdUser, QStringLiteral("ADMIN"));
    EXPECT_TRUE(CurrentUser().PMI_System);
    EXPECT_EQ(settings_->GetIdUserLastLogin(), QStringLiteral("ADMIN"));

    EXPECT_EQ(frmAP_Main::MainTitle(), QStringLiteral("Quorvane　版本編號：%1　使用者：ADMIN")
                                           .arg(QStringLiteral(QUORVANE_VERSION_TEXT)));
}

TEST_F(LoginScreenTest, EscEndsWithoutTouchingTheDatabase) {
    // A database that would fail at its first use.
    Database missing(ConnectionTarget::Sqlite(folder_.filePath(QStringLiteral("none.db"))),
                     test::UniqueConnectionName());
    const auto login = openLogin(missing);
    QTest::keyClicks(login->txtPWD(), QStringLiteral("x"));
    QTest::keyClick(login->txtPWD(), Qt::Key_Escape);
    EXPECT_EQ(login->result(), frmAP_Login::Ended);
    EXPECT_FALSE(login->isVisible());
    EXPECT_EQ(dialogs_.records().size(), 0U);
}

TEST_F(LoginScreenTest, UnreachableServerIsNamedAndEndsTheProgram) {
    QTemporaryDir nowhere;
    Database unreachable(ConnectionTarget::Postgres(QStringLiteral("host=") + nowhere.path()),
                         test::UniqueConnectionName());
    const auto login = openLogin(unreachable);
    login->txtIdUser()->setText(QStringLiteral("ADMIN"));
    dialogs_
        .expectMessage(Dialogs::Icon::Critical, QStringLiteral("登入失敗"),
                       QStringLiteral("無法連線至PostgreSQL 伺服器 ") + nowhere.path())
        .containing();
    login->findChild<QPushButton*>(QStringLiteral("cmdLogin"))->click();
    ASSERT_EQ(dialogs_.records().size(), 1U);
    EXPECT_TRUE(dialogs_.records()[0].text.contains(QStringLiteral("系統即將結束")));
    EXPECT_EQ(login->result(), frmAP_Login::Failed);
}

class StartupTest : public testing::Test {
protected:
    QTemporaryDir folder_;
    SettingsStore settings_{folder_.filePath(QStringLiteral("Quorvane.conf"))};
    ScriptedDialogs dialogs_;
};

TEST_F(StartupTest, TheConnectionWaitsAsLongAsTheSettingsSay) {
    StartupState state;
    ASSERT_EQ(InitializeSystem(settings_, dialogs_, state), StartupOutcome::Ready);
    EXPECT_EQ(state.target.timeouts(), DatabaseTimeouts());

    ASSERT_TRUE(settings_.write(QStringLiteral("System"), QStringLiteral("LockTimeout"),
                                QStringLiteral("9")));
    ASSERT_EQ(InitializeSystem(settings_, dialogs_, state), StartupOutcome::Ready);
    EXPECT_EQ(state.target.timeouts(), settings_.GetDatabaseTimeouts());
    EXPECT_EQ(state.target.timeouts().lockSeconds, 9);
}

TEST_F(StartupTest, StoredServerWinsAndTheEmbeddedDatabaseIsTheDefault) {
    StartupState state;
    ASSERT_EQ(InitializeSystem(settings_, dialogs_, state), StartupOutcome::Ready);
    EXPECT_EQ(state.serverHost, DefaultServerHost());
    EXPECT_EQ(state.target.kind(), ConnectionTarget::Kind::Sqlite);
    EXPECT_TRUE(state.target.location().endsWith(QStringLiteral("/quorvane.db")));

    ASSERT_TRUE(settings_.SetServerIP(QStringLiteral("dbserver:5433")));
    ASSERT_TRUE(settings_.SetTemplateOffsetLeft(QStringLiteral("1.5")));
    ASSERT_TRUE(settings_.SetTicketFormOffsetTop(QStringLiteral("-2")));
    ASSERT_EQ(InitializeSystem(settings_, dialogs_, state), StartupOutcome::Ready);
    EXPECT_EQ(state.serverHost, QStringLiteral("dbserver:5433"));
    EXPECT_EQ(state.target.kind(), ConnectionTarget::Kind::Postgres);
    EXPECT_EQ(PrintOffsets().templateLeft, 1.5F);
    EXPECT_EQ(PrintOffsets().templateTop, 0.0F);
    EXPECT_EQ(PrintOffsets().ticketFormTop, -2.0F);
    EXPECT_EQ(dialogs_.records().size(), 0U);
}

TEST_F(StartupTest, EmptyServerWarnsAndShowsTheSystemSettings) {
    ASSERT_TRUE(settings_.SetServerIP(QString()));
    dialogs_.expectMessage(
        Dialogs::Icon::Warning, QStringLiteral("系統初始化"),
        QStringLiteral("尚未設定伺服器IP位址\r\n\r\n請至「系統環境設定」指定適當資料庫伺服器位置"));
    dialogs_.expectModal(
        [](QWidget* screen) {
            auto* field = screen->findChild<QLineEdit*>(QStringLiteral("txtSystem_ServerIP"));
            ASSERT_NE(field, nullptr);
            EXPECT_EQ(field->text(), QString());
            QTest::keyClick(screen, Qt::Key_Escape);
        },
        QStringLiteral("frmST_SettingSystem"));
    StartupState state;
    EXPECT_EQ(InitializeSystem(settings_, dialogs_, state), StartupOutcome::Unconfigured);
    EXPECT_EQ(dialogs_.pending(), 0U);
}

TEST_F(StartupTest, UnreadableSettingsFileIsReportedAndEndsTheProgram) {
    {
        QFile file(settings_.file());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("[System]\nServerIP=dbserver\n\0\x01garbage", 38));
    }
    dialogs_
        .expectMessage(Dialogs::Icon::Critical, QStringLiteral("系統初始化"),
                       QStringLiteral("無法讀取設定檔：") + settings_.file())
        .containing();
    StartupState state;
    EXPECT_EQ(InitializeSystem(settings_, dialogs_, state), StartupOutcome::Failed);
}

TEST_F(StartupTest, ADatabaseOfAnotherSchemaVersionIsRefusedWithWhatToDo) {
    test::ScratchDatabase scratch(test::Backend::Sqlite);
    const std::unique_ptr<Database> db = scratch.connect();
    const QString where = QStringLiteral("資料庫：") + db->target().describe();

    dialogs_.expectMessage(
        Dialogs::Icon::Critical, QStringLiteral("系統初始化"),
        QStringLiteral("資料庫尚未建立本系統的資料表（找不到結構版本）\r\n") + where +
            QStringLiteral("\r\n\r\n請系統管理者以 quorvane-db init "
                           "建立資料庫，或至「系統環境設定」指定正確的資料庫位置"));
    EXPECT_FALSE(CheckDatabaseVersion(*db, dialogs_));

    test::InstallSchemaVersion1(*db);
    dialogs_.expectMessage(
        Dialogs::Icon::Critical, QStringLiteral("系統初始化"),
        QStringLiteral("資料庫結構版本為 1，本版系統需要版本 %1\r\n")
                .arg(SchemaInstaller::kSchemaVersion) +
            where +
            QStringLiteral("\r\n\r\n請系統管理者先備份資料庫，再以 "
                           "quorvane-db upgrade 更新資料庫結構，然後重新啟動系統"));
    EXPECT_FALSE(CheckDatabaseVersion(*db, dialogs_));

    SchemaInstaller::Upgrade(*db);
    EXPECT_TRUE(CheckDatabaseVersion(*db, dialogs_));

    const int newer = SchemaInstaller::kSchemaVersion + 1;
    db->ConnExecute(
        Statement(QStringLiteral("INSERT INTO SYS_SchemaVersion (Version, TimeInstalled) "
                                 "VALUES (?, '2030-01-01')"),
                  {newer}));
    dialogs_.expectMessage(Dialogs::Icon::Critical, QStringLiteral("系統初始化"),
                           QStringLiteral("資料庫結構版本為 %1，比本版系統使用的版本 %2 新\r\n")
                                   .arg(newer)
                                   .arg(SchemaInstaller::kSchemaVersion) +
                               where + QStringLiteral("\r\n\r\n請安裝新版的系統後再啟動"));
    EXPECT_FALSE(CheckDatabaseVersion(*db, dialogs_));
    EXPECT_EQ(dialogs_.pending(), 0U);
    EXPECT_EQ(dialogs_.records().size(), 3U);
}

}  // namespace
}  // namespace quorvane
