#include "db/TableReader.h"

#include <QSqlError>

namespace quorvane {

TableReader::TableReader(Database& db, const Statement& statement)
    : db_(db), unit_(db), sql_(statement.sql), query_(db.Query(statement)) {
    columns_ = query_.record();
}

bool TableReader::next() {
    if (query_.next()) {
        return true;
    }
    // The driver ends the rows the same way whether they ran out or reading failed; only the
    // query's error tells the two apart.
    const QSqlError error = query_.lastError();
    if (error.isValid()) {
        query_.finish();
        db_.raise(error, sql_);
    }
    return false;
}

}  // namespace quorvane
