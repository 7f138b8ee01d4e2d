#include "db/ExecuteNoQuery.h"

#include "core/FailureRouting.h"

#include <QCursor>
#include <QGuiApplication>

namespace quorvane {

WaitPointer::WaitPointer(bool enabled) {
    if (!enabled || qGuiApp == nullptr) {
        return;
    }
    const QCursor* current = QGuiApplication::overrideCursor();
    if (current != nullptr && current->shape() == Qt::WaitCursor) {
        return;
    }
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    set_ = true;
}

WaitPointer::~WaitPointer() {
    restore();
}

void WaitPointer::restore() {
    if (set_) {
        QGuiApplication::restoreOverrideCursor();
        set_ = false;
    }
}

qint32 ExecuteNoQuery(Database& db, const Statement& statement, int options, bool keepPointer) {
    WaitPointer pointer(!keepPointer);
    qint32 result = -1;
    if (statement.sql.trimmed().isEmpty()) {
        return result;
    }
    Procedure procedure(QStringLiteral("例外程序：\tmodDB.ExecuteNoQuery\r\nStatement  :\t") +
                        statement.describe() + QStringLiteral("\r\nOptions    :\t") +
                        QString::number(options));
    procedure.step([&] {
        try {
            result = db.ConnExecute(statement);
        } catch (const Failure&) {
            pointer.restore();
            throw;
        }
    });
    return result;
}

}  // namespace quorvane
