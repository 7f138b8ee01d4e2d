#pragma once

#include <QDateTime>
#include <QSqlRecord>
#include <QString>
#include <QVariant>

namespace quorvane {

// Null-safe reads of one column of a result row: NULL, and a column the row does not have,
// yield the type's default.
QString FieldText(const QVariant& value);
qint32 FieldLong(const QVariant& value);
qint16 FieldInteger(const QVariant& value);
qint64 FieldInt64(const QVariant& value);
float FieldSingle(const QVariant& value);
bool FieldBoolean(const QVariant& value);
QDateTime FieldDateTime(const QVariant& value);

QString FieldText(const QSqlRecord& row, const QString& column);
qint32 FieldLong(const QSqlRecord& row, const QString& column);
qint16 FieldInteger(const QSqlRecord& row, const QString& column);
qint64 FieldInt64(const QSqlRecord& row, const QString& column);
float FieldSingle(const QSqlRecord& row, const QString& column);
bool FieldBoolean(const QSqlRecord& row, const QString& column);
QDateTime FieldDateTime(const QSqlRecord& row, const QString& column);

}  // namespace quorvane
