#pragma once

#include "core/DatabaseTimeouts.h"

#include <QString>

namespace quorvane {

// Where the database lives: an SQLite file (the embedded single-workstation default) or a
// PostgreSQL server shared by several workstations; and how long a connection to it waits
// before it gives up (the defaults unless set).
class ConnectionTarget {
public:
    enum class Kind { None, Sqlite, Postgres };

    ConnectionTarget() = default;
    static ConnectionTarget Sqlite(QString file);
    // `conninfo` is a libpq connection string ("host=… dbname=…"); without a dbname the
    // database `quorvane` is used.
    static ConnectionTarget Postgres(QString conninfo);

    // Reads a server host as the settings store holds it: empty → None; "sqlite:FILE" or an
    // absolute path → an SQLite file; "key=value …" → a libpq connection string; anything else
    // is a host name or address, optionally with ":port", of a PostgreSQL server.
    static ConnectionTarget FromServerHost(const QString& host);

    Kind kind() const { return kind_; }
    bool isNone() const { return kind_ == Kind::None; }
    // The SQLite file, or the full libpq connection string.
    const QString& location() const { return location_; }

    const DatabaseTimeouts& timeouts() const { return timeouts_; }
    ConnectionTarget withTimeouts(const DatabaseTimeouts& timeouts) const;

    // Names the database for a clerk: "SQLite 資料庫檔案 /path" or "PostgreSQL 伺服器 host".
    QString describe() const;

private:
    ConnectionTarget(Kind kind, QString location);

    Kind kind_ = Kind::None;
    QString location_;
    DatabaseTimeouts timeouts_;
};

}  // namespace quorvane
