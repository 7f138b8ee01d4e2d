#include "app/Startup.h"
#include "app/Program.h"
#include "db/SchemaInstaller.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace quorvane {
namespace {

using namespace Qt::StringLiterals;

// An SQLite database that may be read but not written: its header asks for a newer writer
// than this SQLite, which then opens the file read-only, as it does a file without write
// permission (also for root, who runs the tests).
void makeReadOnlyDatabase(const QString& file) {
    const QString name = test::UniqueConnectionName();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
        db.setDatabaseName(file);
        ASSERT_TRUE(db.open());
        ASSERT_TRUE(QSqlQuery(db).exec(u"CREATE TABLE BF_User (IdUser VARCHAR(16))"_s));
    }
    QSqlDatabase::removeDatabase(name);
    QFile header(file);
    ASSERT_TRUE(header.open(QIODevice::ReadWrite));
    ASSERT_TRUE(header.seek(18));
    ASSERT_EQ(header.write("\x03", 1), 1);
}

class ProgramStartTest : public testing::Test {
protected:
    // One whole run of the program on these settings; start-up must end it.
    int run() {
        Program program(settings_);
        return program.run(*qobject_cast<QApplication*>(QCoreApplication::instance()));
    }

    QTemporaryDir folder_;
    SettingsStore settings_{folder_.filePath(u"Quorvane.conf"_s)};
    ScriptedDialogs dialogs_;
};

TEST_F(ProgramStartTest, ADatabaseThatCannotBeUsedIsNamedWithWhatToDoAndEndsInFailure) {
    const QString missing = folder_.filePath(u"missing.db"_s);
    const QString notes = folder_.filePath(u"notes.txt"_s);
    {
        QFile file(notes);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, 'x'));
    }
    const QString readOnly = folder_.filePath(u"readonly.db"_s);
    makeReadOnlyDatabase(readOnly);
    const QString aFolder = folder_.filePath(u"data"_s);
    ASSERT_TRUE(QDir().mkpath(aFolder));
    QTemporaryDir nowhere;
    const QString server = u"host="_s + nowhere.path();

    struct Case {
        QString serverIP;
        QString named;  // the file or server the message names
        QStringList says;
    };
    const std::vector<Case> cases = {
        {u"sqlite:"_s + missing,
         missing,
         {u"找不到資料庫檔案"_s, u"quorvane-db init"_s, u"「系統環境設定」"_s}},
        {u"sqlite:"_s + notes, notes, {u"不是資料庫檔案"_s, u"「系統環境設定」"_s}},
        {readOnly, readOnly, {u"唯讀"_s, u"寫入權限"_s}},
        {aFolder, aFolder, {u"無法讀取資料庫檔案"_s, u"「系統環境設定」"_s}},
        {server,
         u"PostgreSQL 伺服器 "_s + nowhere.path(),
         {u"無法連線至"_s, u"請確認伺服器已啟動"_s, u"「重試」"_s}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.serverIP.toStdString());
        ASSERT_TRUE(settings_.SetServerIP(c.serverIP));
        dialogs_.expectMessage(Dialogs::Icon::Critical, u"系統初始化"_s, c.named).containing();
        EXPECT_NE(run(), 0);
        ASSERT_FALSE(dialogs_.records().empty());
        const QString text = dialogs_.records().back().text;
        // The clerk reads what happened first; the driver's English comes only after it.
        EXPECT_TRUE(text.section(u"\r\n"_s, 0, 0).contains(c.says.first())) << text.toStdString();
        for (const QString& says : c.says) {
            EXPECT_TRUE(text.contains(says)) << text.toStdString();
        }
        EXPECT_EQ(text.contains(u"伺服器"_s), c.serverIP == server) << text.toStdString();
        EXPECT_TRUE(text.endsWith(u"系統即將結束。"_s)) << text.toStdString();
    }
    EXPECT_FALSE(QFile::exists(missing)) << "start-up must never create a database file";
}

TEST_F(ProgramStartTest, AnUnreadableSettingsFileEndsInFailure) {
    {
        QFile file(settings_.file());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("[System]\nServerIP=dbserver\n\0\x01garbage", 38));
    }
    dialogs_.expectMessage(Dialogs::Icon::Critical, u"系統初始化"_s, settings_.file()).containing();
    EXPECT_NE(run(), 0);
}

TEST_F(ProgramStartTest, AnEmptyServerEndsAfterTheSettingsScreenWithoutFailure) {
    ASSERT_TRUE(settings_.SetServerIP(QString()));
    dialogs_.expectMessage(Dialogs::Icon::Warning, u"系統初始化"_s, u"尚未設定伺服器IP位址"_s)
        .containing();
    dialogs_.expectModal([](QWidget* screen) { QTest::keyClick(screen, Qt::Key_Escape); },
                         u"frmST_SettingSystem"_s);
    EXPECT_EQ(run(), 0);
}

TEST_F(ProgramStartTest, AUsableDatabaseIsOpenedWithoutAMessage) {
    test::ScratchDatabase scratch(test::Backend::Sqlite);
    SchemaInstaller::Install(*scratch.connect());
    ASSERT_TRUE(settings_.SetServerIP(scratch.serverHost()));
    Program program(settings_);
    EXPECT_EQ(program.start(), StartupOutcome::Ready);
    EXPECT_TRUE(dialogs_.records().empty());
}

}  // namespace
}  // namespace quorvane
