#include "db/Dialect.h"

namespace quorvane {

namespace {
const QString kTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz");
}

QString Dialect::beginTransaction() const {
    return isSqlite() ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN");
}

QString Dialect::forUpdate() const {
    return isSqlite() ? QString() : QStringLiteral(" FOR UPDATE");
}

QString Dialect::serverTime() const {
    return isSqlite() ? QStringLiteral("SELECT strftime('%Y-%m-%d %H:%M:%f', 'now', 'localtime')")
                      : QStringLiteral("SELECT LOCALTIMESTAMP(3)");
}

QString Dialect::shortDate(const QString& expression) const {
    return isSqlite() ? QStringLiteral("substr(strftime('%Y.%m.%d', %1), 3)").arg(expression)
                      : QStringLiteral("to_char(%1, 'YY.MM.DD')").arg(expression);
}

QVariant Dialect::timeValue(const QDateTime& time) {
    if (!time.isValid()) {
        return QVariant(QMetaType::fromType<QString>());
    }
    return time.toString(kTimeFormat);
}

QDateTime Dialect::readTime(const QVariant& value) {
    if (value.isNull() || !value.isValid()) {
        return {};
    }
    if (value.metaType().id() == QMetaType::QDateTime) {
        return value.toDateTime();
    }
    const QString text = value.toString().trimmed();
    for (const QString& format :
         {kTimeFormat, QStringLiteral("yyyy-MM-dd HH:mm:ss"),
          QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz"), QStringLiteral("yyyy-MM-ddTHH:mm:ss"),
          QStringLiteral("yyyy-MM-dd")}) {
        const QDateTime parsed = QDateTime::fromString(text, format);
        if (parsed.isValid()) {
            return parsed;
        }
    }
    return {};
}

QString Dialect::isExistNoTicketCheck() const {
    return isSqlite()
               ? QStringLiteral("SELECT NoTicket FROM OR_TicketPrint WHERE NoTicketCheck = ?")
               : QStringLiteral("SELECT * FROM sp_IsExistNoTicketCheck(?)");
}

QString Dialect::isExistNoTicket() const {
    return isSqlite() ? QStringLiteral("SELECT NoTicketForm FROM OR_TicketPrint WHERE NoTicket = ?")
                      : QStringLiteral("SELECT * FROM sp_IsExistNoTicket(?)");
}

}  // namespace quorvane
