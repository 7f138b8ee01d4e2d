#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>

namespace quorvane {

// The few statement fragments in which SQLite and PostgreSQL differ. Everything else is one
// statement text for both.
class Dialect {
public:
    enum class Backend { Sqlite, Postgres };

    explicit Dialect(Backend backend) : backend_(backend) {}

    Backend backend() const { return backend_; }
    bool isSqlite() const { return backend_ == Backend::Sqlite; }

    // Begins a write transaction. SQLite takes the write lock at once (BEGIN IMMEDIATE), so
    // two workstations serialise at the start instead of failing at their first write.
    QString beginTransaction() const;

    // Appended to a SELECT that must lock the rows it reads until the transaction ends; empty
    // on SQLite, whose IMMEDIATE transaction already holds the database's write lock.
    QString forUpdate() const;

    // The server's local time, to the millisecond.
    QString serverTime() const;

    // The day of a stored date-time as "yy.MM.dd" (a two-digit year), NULL for NULL: the short
    // date the selection lists show.
    QString shortDate(const QString& expression) const;

    // A date-time as the database stores it; times always travel as text so that no client
    // time zone is applied on the way.
    static QVariant timeValue(const QDateTime& time);

    // Reads a stored date-time back (a driver date-time or the stored text).
    static QDateTime readTime(const QVariant& value);

    // The query behind the existence procedures, with one bound value: the check code
    // (sp_IsExistNoTicketCheck) and the voucher serial (sp_IsExistNoTicket).
    QString isExistNoTicketCheck() const;
    QString isExistNoTicket() const;

private:
    Backend backend_;
};

}  // namespace quorvane
