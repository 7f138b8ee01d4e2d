#include "db/Statement.h"

namespace quorvane {

QString Statement::describe() const {
    QString text = sql;
    for (int i = 0; i < binds.size(); ++i) {
        const QVariant& value = binds.at(i);
        text += QStringLiteral("\r\n  ?%1 = ").arg(i + 1);
        text += value.isNull() ? QStringLiteral("NULL") : value.toString();
    }
    return text;
}

}  // namespace quorvane
