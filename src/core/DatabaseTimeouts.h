#pragma once

namespace quorvane {

// How long a connection waits on the database before it gives up with a failure, in seconds.
// The settings store holds them in [System] next to ServerIP; quorvane-db uses these defaults.
struct DatabaseTimeouts {
    // PostgreSQL: establishing the connection (libpq waits at least 2 seconds).
    int connectSeconds = 5;
    // PostgreSQL: any one statement, a report query included.
    int statementSeconds = 30;
    // PostgreSQL: waiting for a row or table lock another workstation holds.
    int lockSeconds = 5;
    // SQLite: waiting for another connection's write lock on the file.
    int busySeconds = 5;

    bool operator==(const DatabaseTimeouts& other) const {
        return connectSeconds == other.connectSeconds &&
               statementSeconds == other.statementSeconds && lockSeconds == other.lockSeconds &&
               busySeconds == other.busySeconds;
    }
};

}  // namespace quorvane
