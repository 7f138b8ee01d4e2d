#include "db/FailureAdvice.h"

#include <gtest/gtest.h>

#include <vector>

namespace quorvane {
namespace {

using namespace Qt::StringLiterals;

const ConnectionTarget kServer = ConnectionTarget::FromServerHost(QStringLiteral("dbsrv:5433"));
const ConnectionTarget kFile = ConnectionTarget::Sqlite(QStringLiteral("/data/quorvane.db"));

struct Case {
    const ConnectionTarget& target;
    QString code;
    QString text;
    QString says;      // what the advice must say
    bool namesTarget;  // the file or server is named
    bool retry;        // the clerk is told to press 重試
};

TEST(FailureAdvice, TellsTheClerkWhatHappenedAndWhatToDo) {
    const QString busy = QStringLiteral("資料庫忙碌中，另一工作站正在寫入，請稍後按「重試」");
    const QString lost = QStringLiteral("的連線中斷，請確認伺服器已啟動後按「重試」");
    const QString unreachable = QStringLiteral("無法連線至");
    const QString duplicate = QStringLiteral("資料已存在");
    const QString referenced = QStringLiteral("此資料仍被其他資料使用");
    const QString invalid = QStringLiteral("資料內容不符合資料庫的規定");
    const QString schema = QStringLiteral("資料庫結構與本程式版本不符");
    const QString administrator = QStringLiteral("請按「複製詳細資料」並通知系統管理者");
    const std::vector<Case> cases = {
        // PostgreSQL, by SQLSTATE
        {kServer, u"08006"_s, u"connection failure"_s, lost, true, true},
        {kServer, u"08003"_s, u"connection does not exist"_s, lost, true, true},
        {kServer, u"08001"_s, u"could not establish"_s, unreachable, true, true},
        {kServer, u"57P01"_s, u"terminating connection due to administrator command"_s, lost, true,
         true},
        {kServer, u"57P02"_s,
         u"terminating connection because of crash of another server "
         u"process"_s,
         lost, true, true},
        {kServer, u"57P03"_s, u"the database system is starting up"_s, u"正在啟動"_s, true, true},
        {kServer, u"57014"_s, u"canceling statement due to statement timeout"_s,
         u"資料庫回應逾時，請稍後按「重試」"_s, false, true},
        {kServer, u"55P03"_s, u"canceling statement due to lock timeout"_s, busy, false, true},
        {kServer, u"40P01"_s, u"deadlock detected"_s, u"互相等候"_s, false, true},
        {kServer, u"40001"_s, u"could not serialize access"_s, u"同時修改了相同的資料"_s, false,
         true},
        {kServer, u"23505"_s, u"duplicate key value violates unique constraint"_s, duplicate, false,
         false},
        {kServer, u"23503"_s, u"violates foreign key constraint"_s, referenced, false, false},
        {kServer, u"23502"_s, u"null value in column violates not-null constraint"_s, invalid,
         false, false},
        {kServer, u"22001"_s, u"value too long for type character varying(16)"_s, invalid, false,
         false},
        {kServer, u"53100"_s, u"could not extend file: No space left on device"_s, u"資源不足"_s,
         true, false},
        {kServer, u"53300"_s, u"sorry, too many clients already"_s, u"連線數已滿"_s, true, true},
        {kServer, u"42501"_s, u"permission denied for table bf_user"_s, u"沒有執行此動作的權限"_s,
         false, false},
        {kServer, u"28P01"_s, u"password authentication failed for user \"clerk\""_s,
         u"伺服器拒絕此工作站登入"_s, true, false},
        {kServer, u"3D000"_s, u"database \"quorvane\" does not exist"_s, u"quorvane-db init"_s,
         true, false},
        {kServer, u"42P01"_s, u"relation \"bf_user\" does not exist"_s, schema, false, false},
        {kServer, u"XX000"_s, u"internal error"_s, u"發生系統錯誤"_s, true, false},
        {kServer, u"0A000"_s, u"feature not supported"_s, administrator, true, false},
        // PostgreSQL, libpq's connection failures without an SQLSTATE
        {kServer, QString(),
         u"connection to server at \"dbsrv\" (10.0.0.9), port 5433 failed: "
         u"timeout expired"_s,
         u"逾時，請確認伺服器已啟動且網路正常後按「重試」"_s, true, true},
        {kServer, QString(),
         u"server closed the connection unexpectedly\n\tThis probably means "
         u"the server terminated abnormally"_s,
         lost, true, true},
        {kServer, QString(), u"no connection to the server"_s, lost, true, true},
        {kServer, QString(), u"could not connect to server: Connection refused"_s, unreachable,
         true, true},
        {kServer, QString(),
         u"connection to server on socket \"/run/pg/.s.PGSQL.5433\" failed: "
         u"No such file or directory"_s,
         unreachable, true, true},
        {kServer, QString(), u"could not translate host name \"dbsrv\" to address"_s,
         u"找不到此主機名稱"_s, true, false},
        {kServer, QString(), u"FATAL:  database \"quorvane\" does not exist"_s,
         u"quorvane-db init"_s, true, false},
        {kServer, QString(), u"FATAL:  no pg_hba.conf entry for host"_s,
         u"伺服器拒絕此工作站登入"_s, true, false},
        // SQLite, by primary and extended result code
        {kFile, u"5"_s, u"database is locked"_s, busy, false, true},
        {kFile, u"517"_s, u"database is locked"_s, busy, false, true},
        {kFile, u"6"_s, u"database table is locked"_s, busy, false, true},
        {kFile, u"8"_s, u"attempt to write a readonly database"_s, u"唯讀"_s, true, false},
        {kFile, u"10"_s, u"disk I/O error"_s, u"磁碟錯誤"_s, true, true},
        {kFile, u"11"_s, u"database disk image is malformed"_s, u"已損毀"_s, true, false},
        {kFile, u"13"_s, u"database or disk is full"_s, u"磁碟已滿"_s, true, true},
        {kFile, u"14"_s, u"unable to open database file"_s, u"無法開啟"_s, true, false},
        {kFile, u"26"_s, u"file is not a database"_s, u"不是資料庫檔案"_s, true, false},
        {kFile, u"2067"_s, u"UNIQUE constraint failed: Sample.Id"_s, duplicate, false, false},
        {kFile, u"1555"_s, u"UNIQUE constraint failed: Sample.Id"_s, duplicate, false, false},
        {kFile, u"19"_s, u"UNIQUE constraint failed: Sample.Id"_s, duplicate, false, false},
        {kFile, u"787"_s, u"FOREIGN KEY constraint failed"_s, referenced, false, false},
        {kFile, u"1299"_s, u"NOT NULL constraint failed: Sample.Id"_s, invalid, false, false},
        {kFile, u"1"_s, u"no such table: BF_User"_s, schema, false, false},
        {kFile, u"1"_s, u"near \"SELEC\": syntax error"_s, administrator, true, false},
        {kFile, QString(), u"Unable to fetch row"_s, administrator, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.code + QStringLiteral(" ") + c.text).toStdString());
        const QString advice = FailureAdvice(c.target, c.code, c.text);
        EXPECT_TRUE(advice.contains(c.says)) << advice.toStdString();
        EXPECT_EQ(advice.contains(c.target.describe()), c.namesTarget) << advice.toStdString();
        EXPECT_EQ(advice.contains(QStringLiteral("「重試」")), c.retry) << advice.toStdString();
        if (c.target.kind() == ConnectionTarget::Kind::Sqlite) {
            EXPECT_FALSE(advice.contains(QStringLiteral("伺服器"))) << advice.toStdString();
        }
        // The clerk reads the advice first; the administrator finds the driver's text after it.
        EXPECT_EQ(DatabaseFailureText(c.target, c.code, c.text),
                  advice + QStringLiteral("\r\n") + c.text);
    }
}

}  // namespace
}  // namespace quorvane
