#include "db/RowWriter.h"

#include "core/Failure.h"

#include <QStringList>

namespace quorvane {

RowWriter::RowWriter(QString table, QString keyColumn, QVariant key)
    : table_(std::move(table)), keyColumn_(std::move(keyColumn)), key_(std::move(key)) {
    RequireIdentifier(table_);
    RequireIdentifier(keyColumn_);
}

RowWriter& RowWriter::set(const QString& column, const QVariant& value) {
    RequireIdentifier(column);
    columns_.append({column, value});
    return *this;
}

void RowWriter::insert(Database& db, const QString& user, const QDateTime& serverTime) const {
    QStringList names{keyColumn_};
    QVariantList values{key_};
    for (const auto& [column, value] : columns_) {
        names << column;
        values << value;
    }
    names << QStringLiteral("IdUserAddNew") << QStringLiteral("TimeAddNew");
    values << user << serverTime;
    const QStringList marks(names.size(), QStringLiteral("?"));
    db.ConnExecute(Statement(
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
            .arg(table_, names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))),
        values));
}

void RowWriter::update(Database& db, const QString& user, const QDateTime& serverTime) const {
    QStringList assignments;
    QVariantList values;
    for (const auto& [column, value] : columns_) {
        assignments << column + QStringLiteral(" = ?");
        values << value;
    }
    // Every right-hand side sees the row as it was, so TimeModifyFirst is tested before this
    // statement sets it.
    assignments << QStringLiteral(
                       "IdUserModifyFirst = CASE WHEN TimeModifyFirst IS NULL THEN ? "
                       "ELSE IdUserModifyFirst END")
                << QStringLiteral("TimeModifyFirst = COALESCE(TimeModifyFirst, ?)")
                << QStringLiteral("IdUserModifyLast = ?") << QStringLiteral("TimeModifyLast = ?");
    values << user << serverTime << user << serverTime << key_;
    const qint32 rows = db.ConnExecute(
        Statement(QStringLiteral("UPDATE %1 SET %2 WHERE (%3 = ?)")
                      .arg(table_, assignments.join(QStringLiteral(", ")), keyColumn_),
                  values));
    if (rows != 1) {
        throw Failure(
            0, QStringLiteral("找不到要更新的紀錄（可能已被其他使用者刪除）：") + key_.toString(),
            QStringLiteral("modDB"));
    }
}

}  // namespace quorvane
