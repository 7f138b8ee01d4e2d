#include "db/Database.h"
#include "core/Failure.h"
#include "core/FailureRouting.h"
#include "db/ConnectionTarget.h"
#include "db/ExecuteNoQuery.h"
#include "db/FieldReaders.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace quorvane {
namespace {

using test::Backend;
using test::ScratchDatabase;

// A database failure as the exception dialog shows it: the advice for the clerk first, the
// driver's text after it for the administrator.
void expectAdviceThenDriverText(const DatabaseFailure& failure, const QString& advice,
                                const QString& driverText) {
    const QString description = failure.description();
    EXPECT_TRUE(description.startsWith(advice)) << description.toStdString();
    EXPECT_TRUE(QString::fromUtf8(failure.what()).startsWith(advice));
    EXPECT_TRUE(description.mid(advice.size()).contains(driverText, Qt::CaseInsensitive))
        << description.toStdString();
}

// A scratch database with one small table, on each backend.
class DatabaseTest : public testing::TestWithParam<Backend> {
protected:
    void SetUp() override {
        scratch_ = std::make_unique<ScratchDatabase>(GetParam());
        db_ = scratch_->connect();
        db_->ConnExecute(Statement(QStringLiteral(
            "CREATE TABLE Sample (Id VARCHAR(20000) PRIMARY KEY, Note VARCHAR(20000), "
            "Amount INTEGER, Total BIGINT)")));
    }
    void TearDown() override {
        InstallFailureHandler({});
        db_.reset();
        scratch_.reset();
    }

    void insert(const QString& id, const QVariant& note = {}, const QVariant& amount = {}) {
        db_->ConnExecute(
            Statement(QStringLiteral("INSERT INTO Sample (Id, Note, Amount) VALUES (?, ?, ?)"),
                      {id, note, amount}));
    }
    qint32 count() {
        return db_->LookupLong(Statement(QStringLiteral("SELECT COUNT(*) FROM Sample")));
    }

    std::unique_ptr<ScratchDatabase> scratch_;
    std::unique_ptr<Database> db_;
};

TEST_P(DatabaseTest, LookupInsideAHeldUnitLeavesTheConnectionOpen) {
    insert(QStringLiteral("A"), QStringLiteral("x"));
    db_->ConnOpen();
    EXPECT_EQ(db_->LookupText(Statement(QStringLiteral("SELECT Note FROM Sample WHERE Id = ?"),
                                        {QStringLiteral("A")})),
              QStringLiteral("x"));
    EXPECT_EQ(db_->openUnits(), 1);
    db_->ConnClose();
    EXPECT_EQ(db_->openUnits(), 0);
    db_->ConnClose();  // an unpaired close does nothing
    EXPECT_EQ(db_->openUnits(), 0);
}

TEST_P(DatabaseTest, TransactionsCommitRollBackAndIgnoreUnpairedCalls) {
    db_->TransCommit();
    EXPECT_FALSE(db_->TransRollback());
    EXPECT_EQ(db_->transactionDepth(), 0);

    {
        Transaction transaction(*db_);
        insert(QStringLiteral("kept"));
        transaction.commit();
    }
    try {
        Transaction transaction(*db_);
        insert(QStringLiteral("undone"));
        throw Failure(1, QStringLiteral("boom"), QStringLiteral("test"));
    } catch (const Failure&) {
    }
    EXPECT_EQ(count(), 1);
    EXPECT_TRUE(
        db_->IsValueExists(QStringLiteral("Sample"), QStringLiteral("Id"), QStringLiteral("kept")));

    // A rollback inside a nested transaction undoes the whole of it: the outer commit must not
    // commit half.
    db_->ConnOpen();
    db_->TransBegin();
    insert(QStringLiteral("outer"));
    db_->TransBegin();
    insert(QStringLiteral("inner"));
    db_->TransRollback();
    EXPECT_EQ(db_->transactionDepth(), 0);
    db_->TransCommit();
    db_->ConnClose();
    EXPECT_EQ(count(), 1);

    // A unit of work that ends inside a transaction undoes it.
    db_->ConnOpen();
    db_->TransBegin();
    insert(QStringLiteral("forgotten"));
    db_->ConnClose();
    EXPECT_EQ(db_->transactionDepth(), 0);
    EXPECT_EQ(count(), 1);
}

TEST_P(DatabaseTest, BoundValuesAreStoredExactlyAsTyped) {
    const std::vector<QString> values = {
        QStringLiteral("O'Brien"),
        QStringLiteral("x'); DROP TABLE Sample; --"),
        QStringLiteral("\" OR 1=1 --"),
        QStringLiteral("台北市信義區　忠孝東路"),
        QStringLiteral("back\\slash %_ wild"),
        QStringLiteral("tab\tnew\r\nline\x01"),
        QString(10000, QLatin1Char('W')),
        QStringLiteral("  spaced  "),
    };
    int n = 0;
    for (const QString& value : values) {
        const QString id = QStringLiteral("k%1").arg(++n);
        insert(id, value);
        EXPECT_EQ(db_->LookupText(
                      Statement(QStringLiteral("SELECT Note FROM Sample WHERE Id = ?"), {id})),
                  value);
        EXPECT_TRUE(db_->IsValueExists(QStringLiteral("Sample"), QStringLiteral("Note"), value));
        insert(value);  // and as a key
        EXPECT_TRUE(db_->IsValueExists(QStringLiteral("Sample"), QStringLiteral("Id"), value));
    }
    EXPECT_EQ(count(), static_cast<qint32>(values.size() * 2));
}

TEST_P(DatabaseTest, LookupsGiveDefaultsForNoRowAndNull) {
    insert(QStringLiteral("null"));
    const Statement none(QStringLiteral("SELECT Note FROM Sample WHERE Id = ?"),
                         {QStringLiteral("absent")});
    const Statement null(QStringLiteral("SELECT Note FROM Sample WHERE Id = ?"),
                         {QStringLiteral("null")});
    const Statement nullAmount(QStringLiteral("SELECT Amount FROM Sample WHERE Id = ?"),
                               {QStringLiteral("null")});
    for (const Statement* query : {&none, &null}) {
        EXPECT_FALSE(db_->HasRows(*query));
        EXPECT_EQ(db_->LookupText(*query), QString());
        EXPECT_FALSE(db_->LookupDate(*query).isValid());
    }
    EXPECT_EQ(db_->LookupLong(nullAmount), 0);

    insert(QStringLiteral("n"), QStringLiteral("x"), 2147483647);
    EXPECT_TRUE(db_->HasRows(Statement(QStringLiteral("SELECT Amount FROM Sample WHERE Id = ?"),
                                       {QStringLiteral("n")})));
    // A sum of 32-bit money read as 64 bits.
    EXPECT_EQ(db_->LookupInt64(Statement(QStringLiteral(
                  "SELECT CAST(SUM(CAST(Amount AS BIGINT)) * 2 AS BIGINT) FROM Sample"))),
              Q_INT64_C(4294967294));
}

TEST_P(DatabaseTest, ValueExistsComparesLetterCaseExactly) {
    insert(QStringLiteral("abc"));
    EXPECT_TRUE(
        db_->IsValueExists(QStringLiteral("Sample"), QStringLiteral("Id"), QStringLiteral("abc")));
    EXPECT_FALSE(
        db_->IsValueExists(QStringLiteral("Sample"), QStringLiteral("Id"), QStringLiteral("ABC")));
    EXPECT_THROW(db_->IsValueExists(QStringLiteral("Sample; DROP TABLE Sample"),
                                    QStringLiteral("Id"), QStringLiteral("abc")),
                 Failure);
}

TEST_P(DatabaseTest, FailedStatementRaisesAndLeavesTheConnectionUsable) {
    insert(QStringLiteral("dup"));
    try {
        insert(QStringLiteral("dup"));
        FAIL() << "a duplicate key was accepted";
    } catch (const DatabaseFailure& failure) {
        expectAdviceThenDriverText(
            failure, QStringLiteral("資料已存在：另一工作站可能剛存入相同編號的資料"),
            GetParam() == Backend::Sqlite
                ? QStringLiteral("UNIQUE constraint failed")
                : QStringLiteral("duplicate key value violates unique constraint"));
    }
    EXPECT_EQ(count(), 1);
    insert(QStringLiteral("next"));
    EXPECT_EQ(count(), 2);
}

TEST_P(DatabaseTest, ServerTimeIsTheServersLocalTime) {
    const QDateTime before = QDateTime::currentDateTime().addSecs(-5);
    const QDateTime server = db_->GetServerTime();
    const QDateTime after = QDateTime::currentDateTime().addSecs(5);
    ASSERT_TRUE(server.isValid());
    EXPECT_LE(before, server);
    EXPECT_LE(server, after);
    EXPECT_EQ(ExceptionText(), db_->dialect().serverTime());

    // A stored time reads back to the millisecond.
    db_->ConnExecute(
        Statement(QStringLiteral("CREATE TABLE Stamp (T %1)")
                      .arg(GetParam() == Backend::Sqlite ? QStringLiteral("TEXT")
                                                         : QStringLiteral("TIMESTAMP(3)"))));
    db_->ConnExecute(Statement(QStringLiteral("INSERT INTO Stamp (T) VALUES (?)"), {server}));
    EXPECT_EQ(db_->LookupDate(Statement(QStringLiteral("SELECT T FROM Stamp"))), server);
}

TEST_P(DatabaseTest, ShortDateIsTheDayWithATwoDigitYear) {
    db_->ConnExecute(
        Statement(QStringLiteral("CREATE TABLE Stamp (Id INTEGER, T %1)")
                      .arg(GetParam() == Backend::Sqlite ? QStringLiteral("TEXT")
                                                         : QStringLiteral("TIMESTAMP(3)"))));
    const Statement insert(QStringLiteral("INSERT INTO Stamp (Id, T) VALUES (?, ?)"));
    const struct {
        int id;
        QDateTime time;
        QVariant expected;
    } cases[] = {
        {1, QDateTime(QDate(2024, 3, 5), QTime(23, 59, 59, 999)), QStringLiteral("24.03.05")},
        {2, QDateTime(QDate(2009, 12, 31), QTime(0, 0)), QStringLiteral("09.12.31")},
        {3, QDateTime(QDate(2100, 1, 1), QTime(12, 0)), QStringLiteral("00.01.01")},
        {4, QDateTime(), QVariant()},
    };
    for (const auto& c : cases) {
        db_->ConnExecute(Statement(insert.sql, {c.id, Dialect::timeValue(c.time)}));
    }
    const QString shortDate = db_->dialect().shortDate(QStringLiteral("T"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        UnitOfWork unit(*db_);
        QSqlQuery query = db_->Query(
            Statement(QStringLiteral("SELECT %1 FROM Stamp WHERE Id = ?").arg(shortDate), {c.id}));
        ASSERT_TRUE(query.next());
        EXPECT_EQ(query.value(0).isNull(), c.expected.isNull());
        EXPECT_EQ(query.value(0).toString(), c.expected.toString());
    }
}

TEST_P(DatabaseTest, GuardedRunnerReportsFailuresAndRetries) {
    EXPECT_EQ(ExecuteNoQuery(*db_, Statement()), -1);
    EXPECT_EQ(ExecuteNoQuery(*db_, Statement(QStringLiteral("DELETE FROM Sample WHERE Id = ?"),
                                             {QStringLiteral("none")})),
              0);

    std::vector<QString> shown;
    InstallFailureHandler([&](const Failure* failure, const QString& location) {
        shown.push_back(FailureDetails(failure, location));
        if (shown.size() == 1) {
            db_->ConnExecute(Statement(QStringLiteral("CREATE TABLE Later (Id INTEGER)")));
            return Answer::Retry;
        }
        return Answer::Exit;
    });
    const Statement insertLater(QStringLiteral("INSERT INTO Later (Id) VALUES (?)"), {7});
    EXPECT_EQ(ExecuteNoQuery(*db_, insertLater), 1);
    ASSERT_EQ(shown.size(), 1U);
    EXPECT_TRUE(shown[0].startsWith(QStringLiteral("例外編號　　　　：")));
    EXPECT_TRUE(
        shown[0].contains(QStringLiteral("例外程序：\tmodDB.ExecuteNoQuery\r\nStatement  :\t"
                                         "INSERT INTO Later")));
    EXPECT_TRUE(shown[0].endsWith(QStringLiteral("\r\nOptions    :\t0")));

    EXPECT_EQ(ExecuteNoQuery(*db_, Statement(QStringLiteral("DELETE FROM Missing"))), -1);
    EXPECT_EQ(shown.size(), 2U);
    EXPECT_EQ(db_->LookupLong(Statement(QStringLiteral("SELECT COUNT(*) FROM Later"))), 1);
}

QUORVANE_INSTANTIATE_BACKENDS(DatabaseTest);

TEST(PostgresConnection, IsReestablishedAfterTheServerDroppedIt) {
    ScratchDatabase scratch(Backend::Postgres);
    auto workstation = scratch.connect();
    auto administrator = scratch.connect();
    const Statement one(QStringLiteral("SELECT 1"));
    ASSERT_EQ(workstation->LookupLong(one), 1);
    const qint32 pid =
        workstation->LookupLong(Statement(QStringLiteral("SELECT pg_backend_pid()")));

    administrator->LookupText(Statement(QStringLiteral("SELECT pg_terminate_backend(?)"), {pid}));
    try {
        workstation->LookupLong(one);
        FAIL() << "a statement ran on a terminated connection";
    } catch (const DatabaseFailure& failure) {
        expectAdviceThenDriverText(failure,
                                   QStringLiteral("與") + scratch.target().describe() +
                                       QStringLiteral("的連線中斷，請確認伺服器已啟動後按「重試」"),
                                   QStringLiteral("connection"));
    }
    // Retry: the next unit of work finds the connection dead and opens a new one.
    EXPECT_EQ(workstation->LookupLong(one), 1);
    EXPECT_NE(workstation->LookupLong(Statement(QStringLiteral("SELECT pg_backend_pid()"))), pid);
}

TEST(PostgresConnection, ALockedRowAndASlowStatementAskToRetryLater) {
    ScratchDatabase scratch(Backend::Postgres);
    auto workstation = scratch.connect();
    auto other = scratch.connect();
    workstation->ConnExecute(Statement(QStringLiteral("CREATE TABLE Sample (Id INTEGER)")));
    workstation->ConnExecute(Statement(QStringLiteral("INSERT INTO Sample (Id) VALUES (1)")));
    const Statement lockRow(QStringLiteral("SELECT Id FROM Sample WHERE Id = 1 FOR UPDATE NOWAIT"));
    {
        Transaction writing(*other);
        ASSERT_EQ(other->LookupLong(lockRow), 1);
        try {
            workstation->LookupLong(lockRow);
            FAIL() << "took a row lock another workstation holds";
        } catch (const DatabaseFailure& failure) {
            EXPECT_EQ(failure.sqlState(), QStringLiteral("55P03"));
            expectAdviceThenDriverText(
                failure, QStringLiteral("資料庫忙碌中，另一工作站正在寫入，請稍後按「重試」"),
                QStringLiteral("could not obtain lock"));
        }
    }
    EXPECT_EQ(workstation->LookupLong(lockRow), 1);

    UnitOfWork unit(*workstation);
    workstation->ConnExecute(Statement(QStringLiteral("SET statement_timeout = 50")));
    try {
        workstation->LookupText(Statement(QStringLiteral("SELECT pg_sleep(5)")));
        FAIL() << "the statement outlived its timeout";
    } catch (const DatabaseFailure& failure) {
        expectAdviceThenDriverText(failure, QStringLiteral("資料庫回應逾時，請稍後按「重試」"),
                                   QStringLiteral("statement timeout"));
    }
}

TEST(PostgresConnection, AnUnreachableServerIsNamedInTheFailure) {
    QTemporaryDir nowhere;
    Database db(ConnectionTarget::Postgres(QStringLiteral("host=") + nowhere.path()),
                test::UniqueConnectionName());
    try {
        db.ConnOpen();
        FAIL() << "opened a connection to a server that does not exist";
    } catch (const DatabaseFailure& failure) {
        EXPECT_TRUE(
            failure.description().contains(QStringLiteral("PostgreSQL 伺服器 ") + nowhere.path()))
            << failure.description().toStdString();
    }
    EXPECT_EQ(db.openUnits(), 0);
}

TEST(SqliteConnection, ALockedDatabaseAsksToRetryLater) {
    ScratchDatabase scratch(Backend::Sqlite);
    auto workstation = scratch.connect();
    auto other = scratch.connect();
    workstation->ConnExecute(Statement(QStringLiteral("CREATE TABLE Sample (Id INTEGER)")));
    const Statement insert(QStringLiteral("INSERT INTO Sample (Id) VALUES (?)"));
    workstation->ConnExecute(Statement(insert.sql, {1}));
    workstation->ConnExecute(Statement(insert.sql, {2}));
    {
        // A read still in progress holds its snapshot; once another workstation has written,
        // this connection may not write on the old snapshot and is refused at once.
        UnitOfWork unit(*workstation);
        QSqlQuery reading = workstation->Query(Statement(QStringLiteral("SELECT Id FROM Sample")));
        ASSERT_TRUE(reading.next());
        other->ConnExecute(Statement(insert.sql, {3}));
        try {
            workstation->ConnExecute(Statement(insert.sql, {4}));
            FAIL() << "wrote on a snapshot another workstation had overtaken";
        } catch (const DatabaseFailure& failure) {
            expectAdviceThenDriverText(
                failure, QStringLiteral("資料庫忙碌中，另一工作站正在寫入，請稍後按「重試」"),
                QStringLiteral("database is locked"));
        }
    }
    // Retry once the read is over.
    workstation->ConnExecute(Statement(insert.sql, {4}));
    EXPECT_EQ(other->LookupLong(Statement(QStringLiteral("SELECT COUNT(*) FROM Sample"))), 4);
}

TEST(SqliteConnection, RefusesAMissingFileAndAFileThatIsNoDatabase) {
    QTemporaryDir folder;
    const QString missing = folder.filePath(QStringLiteral("missing.db"));
    Database absent(ConnectionTarget::Sqlite(missing), test::UniqueConnectionName());
    EXPECT_THROW(absent.ConnOpen(), Failure);
    EXPECT_FALSE(QFile::exists(missing)) << "opening must never create a database file";

    const QString text = folder.filePath(QStringLiteral("notes.txt"));
    {
        QFile file(text);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, 'x'));
    }
    Database notDatabase(ConnectionTarget::Sqlite(text), test::UniqueConnectionName());
    try {
        notDatabase.ConnOpen();
        FAIL() << "a text file was opened as a database";
    } catch (const DatabaseFailure& failure) {
        expectAdviceThenDriverText(failure,
                                   QStringLiteral("SQLite 資料庫檔案 ") + text +
                                       QStringLiteral(" 不是資料庫檔案，請至「系統環境設定」"),
                                   QStringLiteral("file is not a database"));
    }
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray(4096, 'x')) << "the file was changed";
}

TEST(ConnectionTarget, ServerHostTextNamesTheBackend) {
    struct Case {
        QString host;
        ConnectionTarget::Kind kind;
        QString location;
    };
    const std::vector<Case> cases = {
        {QString(), ConnectionTarget::Kind::None, QString()},
        {QStringLiteral("   "), ConnectionTarget::Kind::None, QString()},
        {QStringLiteral("sqlite:/data/q.db"), ConnectionTarget::Kind::Sqlite,
         QStringLiteral("/data/q.db")},
        {QStringLiteral("/var/lib/q.db"), ConnectionTarget::Kind::Sqlite,
         QStringLiteral("/var/lib/q.db")},
        {QStringLiteral("dbsrv"), ConnectionTarget::Kind::Postgres,
         QStringLiteral("host='dbsrv' dbname=quorvane")},
        {QStringLiteral("10.1.2.3:6543"), ConnectionTarget::Kind::Postgres,
         QStringLiteral("host='10.1.2.3' port=6543 dbname=quorvane")},
        {QStringLiteral("[::1]:5432"), ConnectionTarget::Kind::Postgres,
         QStringLiteral("host='::1' port=5432 dbname=quorvane")},
        {QStringLiteral("host=/run/pg dbname=trust"), ConnectionTarget::Kind::Postgres,
         QStringLiteral("host=/run/pg dbname=trust")},
        {QStringLiteral("service=quorvane"), ConnectionTarget::Kind::Postgres,
         QStringLiteral("service=quorvane dbname=quorvane")},
    };
    for (const Case& c : cases) {
        const ConnectionTarget target = ConnectionTarget::FromServerHost(c.host);
        EXPECT_EQ(target.kind(), c.kind) << c.host.toStdString();
        EXPECT_EQ(target.location(), c.location) << c.host.toStdString();
    }
}

}  // namespace
}  // namespace quorvane
