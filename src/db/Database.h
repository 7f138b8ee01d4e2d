#pragma once

#include "db/ConnectionTarget.h"
#include "db/Dialect.h"
#include "db/Statement.h"

#include <QDateTime>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

#include <functional>

namespace quorvane {

// Told when the program starts to wait on a database (a unit of work begins, connecting
// included) and when it stops (the unit ends, whether it succeeded or failed). The program
// installs the hourglass pointer; without an indicator nothing is shown.
using WaitIndicator = std::function<void(bool waiting)>;
void InstallWaitIndicator(WaitIndicator indicator);

// The program's one database connection, with the unit-of-work discipline every caller
// follows: ConnOpen before the work, ConnClose after it. Units nest: a lookup made while a
// caller holds the connection open leaves it open. The physical connection stays open between
// units of work and is re-established after the server dropped it, so that Retry after an
// outage works.
//
// Every function raises DatabaseFailure when the database fails or does not answer within the
// target's timeouts (connecting, a statement, a lock or busy wait); lookups that find no row or
// NULL return their type's default.
class Database {
public:
    explicit Database(ConnectionTarget target, QString connectionName = QStringLiteral("quorvane"));
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const ConnectionTarget& target() const { return target_; }
    const Dialect& dialect() const { return dialect_; }

    bool ConnOpen();
    void ConnClose();
    // Number of units of work now open (0 outside any unit).
    int openUnits() const { return openUnits_; }

    // Runs a statement in its own unit of work and returns the rows it affected.
    qint32 ConnExecute(const Statement& statement);

    // Transactions on an open connection. Nested begins only count; the outermost commit
    // commits. A rollback at any depth rolls the whole transaction back and leaves depth 0, so
    // that no outer commit can commit half of it.
    void TransBegin();
    void TransCommit();
    bool TransRollback();
    short transactionDepth() const { return transactionDepth_; }

    // A forward-only read on the open connection; the caller iterates the rows. A result read
    // to its end goes through TableReader, which checks for an error after the last row.
    QSqlQuery Query(const Statement& statement);

    bool HasRows(const Statement& query);
    QString LookupText(const Statement& query);
    qint32 LookupLong(const Statement& query);
    qint64 LookupInt64(const Statement& query);
    // An invalid date-time when there is no row or the value is NULL.
    QDateTime LookupDate(const Statement& query);

    // True when the column holds exactly this value (compared case-sensitively here, whatever
    // the database's collation). Table and column must be plain identifiers.
    bool IsValueExists(const QString& table, const QString& column, const QString& value);

    // The database server's local time; every audit time is stamped with it. Also places its
    // statement in ExceptionText.
    QDateTime GetServerTime();

private:
    // Raises the failures of the rows it reads the way every other read does.
    friend class TableReader;

    QSqlDatabase handle() const;
    void openPhysical();
    void reconnectIfDropped();
    QVariant lookupValue(const Statement& query);
    QSqlQuery& preparedFor(const QString& sql);
    void bindAndExec(QSqlQuery& query, const Statement& statement);
    void run(QSqlQuery& query, const Statement& statement);
    [[noreturn]] void raise(const QSqlError& error, const QString& where);
    void runControl(const QString& sql);

    ConnectionTarget target_;
    QString connectionName_;
    Dialect dialect_;
    int openUnits_ = 0;
    short transactionDepth_ = 0;
    bool suspect_ = false;
    QHash<QString, QSqlQuery> prepared_;
};

// Holds the connection open for a unit of work: ConnOpen on construction, ConnClose when it
// goes out of scope.
class UnitOfWork {
public:
    explicit UnitOfWork(Database& db) : db_(db) { db_.ConnOpen(); }
    ~UnitOfWork() { db_.ConnClose(); }
    UnitOfWork(const UnitOfWork&) = delete;
    UnitOfWork& operator=(const UnitOfWork&) = delete;

private:
    Database& db_;
};

// A transaction that rolls back unless committed, so a failure thrown out of a step never
// leaves a half-written record. Opens its own unit of work.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();

private:
    UnitOfWork unit_;
    Database& db_;
    bool done_ = false;
};

// Throws when a table or column name is not a plain identifier: names are part of the SQL
// text and can never come from user input.
void RequireIdentifier(const QString& name);

}  // namespace quorvane
