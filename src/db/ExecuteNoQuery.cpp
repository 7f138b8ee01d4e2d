#include "db/ExecuteNoQuery.h"

#include "core/FailureRouting.h"

namespace quorvane {

qint32 ExecuteNoQuery(Database& db, const Statement& statement, int options) {
    qint32 result = -1;
    if (statement.sql.trimmed().isEmpty()) {
        return result;
    }
    Procedure procedure(QStringLiteral("例外程序：\tmodDB.ExecuteNoQuery\r\nStatement  :\t") +
                        statement.describe() + QStringLiteral("\r\nOptions    :\t") +
                        QString::number(options));
    if (procedure.step([&] { result = db.ConnExecute(statement); }) != StepOutcome::Done) {
        return -1;
    }
    return result;
}

}  // namespace quorvane
