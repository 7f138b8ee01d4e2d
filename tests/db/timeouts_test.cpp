#include "core/Failure.h"
#include "core/FailureRouting.h"
#include "db/Database.h"
#include "support/ScriptedFailures.h"
#include "support/SilentServer.h"
#include "support/TestDatabase.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace quorvane {
namespace {

using test::Backend;
using test::ScratchDatabase;
using test::ScriptedFailures;

// Timeouts short enough for a test. The elapsed-time checks below are loose upper bounds that
// only tell a timeout from a hang; ctest's own timeout guards the whole test.
DatabaseTimeouts ShortTimeouts() {
    DatabaseTimeouts timeouts;
    timeouts.connectSeconds = 2;
    timeouts.statementSeconds = 2;
    timeouts.lockSeconds = 1;
    timeouts.busySeconds = 1;
    return timeouts;
}

constexpr qint64 kHangMs = 60000;

// Where a failure's code is expected, by backend: the lock timeout on PostgreSQL, "busy" on
// SQLite.
QString LockTimeoutCode(Backend backend) {
    return backend == Backend::Postgres ? QStringLiteral("55P03") : QStringLiteral("5");
}

TEST(PostgresTimeouts, AServerThatNeverAnswersFailsAfterTheConnectTimeout) {
    const test::SilentServer server;
    Database db(ConnectionTarget::Postgres(server.conninfo()).withTimeouts(ShortTimeouts()),
                test::UniqueConnectionName());
    ScriptedFailures failures;
    std::vector<QString> sources;
    const auto record = [&](const Failure* failure) {
        ASSERT_NE(dynamic_cast<const DatabaseFailure*>(failure), nullptr);
        sources.push_back(failure->source());
    };
    const QString named = QStringLiteral("PostgreSQL 伺服器 127.0.0.1:%1").arg(server.port());
    failures.expect(Answer::Retry, named, record);
    failures.expect(Answer::Exit, named, record);

    QElapsedTimer elapsed;
    elapsed.start();
    Procedure procedure(ScreenLocation(QStringLiteral("Login")));
    const StepOutcome outcome = procedure.step([&] { UnitOfWork unit(db); });
    EXPECT_EQ(outcome, StepOutcome::Left);
    EXPECT_EQ(sources.size(), 2U) << "Retry tries to connect again";
    EXPECT_LT(elapsed.elapsed(), kHangMs);
    EXPECT_EQ(db.openUnits(), 0);
}

TEST(PostgresTimeouts, AStatementThatRunsTooLongIsCancelledAndTheConnectionLives) {
    const ScratchDatabase scratch(Backend::Postgres);
    Database db(scratch.target().withTimeouts(ShortTimeouts()), test::UniqueConnectionName());
    QElapsedTimer elapsed;
    elapsed.start();
    try {
        db.LookupText(Statement(QStringLiteral("SELECT pg_sleep(30)::text")));
        FAIL() << "the statement outlived its timeout";
    } catch (const DatabaseFailure& failure) {
        EXPECT_EQ(failure.sqlState(), QStringLiteral("57014"));
    }
    EXPECT_LT(elapsed.elapsed(), kHangMs);
    EXPECT_EQ(db.LookupLong(Statement(QStringLiteral("SELECT 1"))), 1);
}

TEST(PostgresTimeouts, TheServerIsToldTheStatementAndLockTimeouts) {
    const ScratchDatabase scratch(Backend::Postgres);
    Database db(scratch.target().withTimeouts(ShortTimeouts()), test::UniqueConnectionName());
    EXPECT_EQ(db.LookupText(Statement(QStringLiteral("SHOW statement_timeout"))),
              QStringLiteral("2s"));
    EXPECT_EQ(db.LookupText(Statement(QStringLiteral("SHOW lock_timeout"))), QStringLiteral("1s"));
}

// A save that another connection's lock holds up, on each backend.
class LockTimeoutTest : public testing::TestWithParam<Backend> {
protected:
    void SetUp() override {
        scratch_ = std::make_unique<ScratchDatabase>(GetParam());
        holder_ = scratch_->connect();
        holder_->ConnExecute(Statement(
            QStringLiteral("CREATE TABLE Sample (Id VARCHAR(10) PRIMARY KEY, Note VARCHAR(20))")));
        holder_->ConnExecute(
            Statement(QStringLiteral("INSERT INTO Sample (Id, Note) VALUES ('A', 'first')")));
        saver_ = std::make_unique<Database>(scratch_->target().withTimeouts(ShortTimeouts()),
                                            test::UniqueConnectionName());
    }
    void TearDown() override {
        saver_.reset();
        holder_.reset();
        scratch_.reset();
    }

    // The other workstation locks the row (and on SQLite the whole file) and keeps it.
    void holdLock() {
        holder_->ConnOpen();
        holder_->TransBegin();
        holder_->ConnExecute(
            Statement(QStringLiteral("UPDATE Sample SET Note = 'held' WHERE Id = 'A'")));
    }
    void releaseLock() {
        holder_->TransRollback();
        holder_->ConnClose();
    }

    void save(const QString& note) {
        Transaction transaction(*saver_);
        saver_->ConnExecute(
            Statement(QStringLiteral("UPDATE Sample SET Note = ? WHERE Id = 'A'"), {note}));
        transaction.commit();
    }
    QString note() {
        return saver_->LookupText(Statement(QStringLiteral("SELECT Note FROM Sample")));
    }

    std::unique_ptr<ScratchDatabase> scratch_;
    std::unique_ptr<Database> holder_;
    std::unique_ptr<Database> saver_;
};

TEST_P(LockTimeoutTest, ASaveTimesOutWhileLockedAndRetrySucceedsOnceReleased) {
    holdLock();
    ScriptedFailures failures;
    QString code;
    failures.expect(Answer::Retry, QString(), [&](const Failure* failure) {
        const auto* database = dynamic_cast<const DatabaseFailure*>(failure);
        ASSERT_NE(database, nullptr);
        code = database->sqlState();
        releaseLock();
    });
    QElapsedTimer elapsed;
    elapsed.start();
    Procedure procedure(ScreenLocation(QStringLiteral("FormSave")));
    EXPECT_EQ(procedure.step([&] { save(QStringLiteral("saved")); }), StepOutcome::Done);
    EXPECT_LT(elapsed.elapsed(), kHangMs);
    EXPECT_EQ(code, LockTimeoutCode(GetParam()));
    EXPECT_EQ(failures.pending(), 0U);
    EXPECT_EQ(note(), QStringLiteral("saved"));
}

TEST_P(LockTimeoutTest, AWriteOutsideATransactionTimesOutToo) {
    holdLock();
    try {
        saver_->ConnExecute(
            Statement(QStringLiteral("INSERT INTO Sample (Id, Note) VALUES ('A', 'again')")));
        FAIL() << "a write went through another connection's lock";
    } catch (const DatabaseFailure& failure) {
        EXPECT_EQ(failure.sqlState(), LockTimeoutCode(GetParam()));
    }
    releaseLock();
    EXPECT_EQ(note(), QStringLiteral("first"));
}

QUORVANE_INSTANTIATE_BACKENDS(LockTimeoutTest);

TEST(WaitIndicator, IsOnForEachOutermostUnitOfWorkAndOffAfterFailures) {
    ScratchDatabase scratch(Backend::Sqlite);
    const auto db = scratch.connect();
    std::vector<bool> shown;
    InstallWaitIndicator([&](bool waiting) { shown.push_back(waiting); });

    EXPECT_EQ(db->LookupLong(Statement(QStringLiteral("SELECT 1"))), 1);
    EXPECT_EQ(shown, (std::vector<bool>{true, false}));

    shown.clear();
    {
        UnitOfWork unit(*db);
        db->LookupLong(Statement(QStringLiteral("SELECT 1")));
        db->LookupLong(Statement(QStringLiteral("SELECT 2")));
        EXPECT_EQ(shown, std::vector<bool>{true}) << "inner units show nothing more";
    }
    EXPECT_EQ(shown, (std::vector<bool>{true, false}));

    shown.clear();
    EXPECT_THROW(db->ConnExecute(Statement(QStringLiteral("DELETE FROM Missing"))),
                 DatabaseFailure);
    EXPECT_EQ(shown, (std::vector<bool>{true, false}));

    shown.clear();
    Database missing(ConnectionTarget::Sqlite(scratch.target().location() + QStringLiteral("x")),
                     test::UniqueConnectionName());
    EXPECT_THROW(missing.ConnOpen(), Failure);
    EXPECT_EQ(shown, (std::vector<bool>{true, false})) << "a failed connection ends its wait";

    InstallWaitIndicator({});
}

}  // namespace
}  // namespace quorvane
