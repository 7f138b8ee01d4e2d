#pragma once

#include "db/Database.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

namespace quorvane {

// Reads a query's rows to the end: lists, report grids and the selection dialog all read
// through it. It holds the connection open (one unit of work) for as long as it lives.
//
//     TableReader rows(db, statement);
//     while (rows.next()) { ... rows.value(0) ... }
//
// next() returns false only when the rows ran out. A query that stops on an error part-way
// (a value that cannot be computed or converted in a later row, a dropped connection) raises
// DatabaseFailure from next(), so that nobody takes the rows before it for the whole result.
// The rows handed out before the error stay with the caller.
class TableReader {
public:
    // Runs the statement; raises DatabaseFailure when it cannot run.
    TableReader(Database& db, const Statement& statement);
    TableReader(const TableReader&) = delete;
    TableReader& operator=(const TableReader&) = delete;

    // The result's columns: their names (the query's aliases) and declared types.
    const QSqlRecord& columns() const { return columns_; }
    int columnCount() const { return columns_.count(); }

    // Moves to the next row: true when there is one, false after the last.
    bool next();
    // A column of the current row.
    QVariant value(int column) const { return query_.value(column); }

private:
    Database& db_;
    UnitOfWork unit_;
    QString sql_;
    QSqlQuery query_;
    QSqlRecord columns_;
};

}  // namespace quorvane
