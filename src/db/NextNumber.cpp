#include "db/NextNumber.h"

namespace quorvane {

bool IsUniqueConflict(const DatabaseFailure& failure) {
    const QString& code = failure.sqlState();
    // PostgreSQL: unique_violation. SQLite: SQLITE_CONSTRAINT_UNIQUE and
    // SQLITE_CONSTRAINT_PRIMARYKEY, or the primary code with the driver's text.
    if (code == QStringLiteral("23505") || code == QStringLiteral("2067") ||
        code == QStringLiteral("1555")) {
        return true;
    }
    return code == QStringLiteral("19") &&
           failure.description().contains(QStringLiteral("UNIQUE constraint failed"));
}

QString NumberText(const QString& prefix, qint64 number, int minDigits) {
    return prefix + QStringLiteral("%1").arg(number, minDigits, 10, QLatin1Char('0'));
}

QString NumberBusyText(const QString& noContract, const QString& record, const QString& number) {
    return QStringLiteral("儲存失敗\r\n\r\n其他工作站正同時新增契約 ") + noContract +
           QStringLiteral(" 的") + record + QStringLiteral("，未能取得") + number +
           QStringLiteral("\r\n資料尚未儲存，請再儲存一次");
}

NextNumber::NextNumber(Database& db, NumberSeries series, QString& statement)
    : db_(db), series_(std::move(series)), statement_(statement) {
    RequireIdentifier(series_.table);
    RequireIdentifier(series_.column);
    if (!series_.scopeColumn.isEmpty()) {
        RequireIdentifier(series_.scopeColumn);
    }
}

namespace {

// A lock or a number taken outside a transaction would be let go at once.
void requireTransaction(const Database& db) {
    if (db.transactionDepth() == 0) {
        throw Failure(0, QStringLiteral("取號必須在新增資料的交易中進行"),
                      QStringLiteral("NextNumber"));
    }
}

}  // namespace

bool NextNumber::lockIssuer(const QString& noContract) {
    requireTransaction(db_);
    const Statement lock(
        QStringLiteral("SELECT NoContract FROM BF_Customer WHERE (NoContract = ?)") +
            db_.dialect().forUpdate(),
        {noContract});
    statement_ = lock.describe();
    return db_.LookupText(lock) == noContract;
}

qint64 NextNumber::take(const QVariant& scope) {
    requireTransaction(db_);
    Statement highest(QStringLiteral("SELECT MAX(") + series_.column + QStringLiteral(") FROM ") +
                      series_.table);
    if (!series_.scopeColumn.isEmpty()) {
        highest.sql += QStringLiteral(" WHERE (") + series_.scopeColumn + QStringLiteral(" = ?)");
        highest.binds.append(scope);
    }
    statement_ = highest.describe();
    return db_.LookupInt64(highest) + 1;
}

}  // namespace quorvane
