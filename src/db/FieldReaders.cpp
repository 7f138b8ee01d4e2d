#include "db/FieldReaders.h"

#include "db/Dialect.h"

namespace quorvane {

namespace {

QVariant column(const QSqlRecord& row, const QString& name) {
    const int index = row.indexOf(name);
    return index < 0 ? QVariant() : row.value(index);
}

bool isEmpty(const QVariant& value) {
    return !value.isValid() || value.isNull();
}

}  // namespace

QString FieldText(const QVariant& value) {
    return isEmpty(value) ? QString() : value.toString();
}

qint32 FieldLong(const QVariant& value) {
    return isEmpty(value) ? 0 : value.toInt();
}

qint16 FieldInteger(const QVariant& value) {
    return isEmpty(value) ? qint16(0) : static_cast<qint16>(value.toInt());
}

qint64 FieldInt64(const QVariant& value) {
    return isEmpty(value) ? 0 : value.toLongLong();
}

float FieldSingle(const QVariant& value) {
    return isEmpty(value) ? 0.0F : value.toFloat();
}

bool FieldBoolean(const QVariant& value) {
    return isEmpty(value) ? false : value.toInt() != 0;
}

QDateTime FieldDateTime(const QVariant& value) {
    return Dialect::readTime(value);
}

QString FieldText(const QSqlRecord& row, const QString& name) {
    return FieldText(column(row, name));
}
qint32 FieldLong(const QSqlRecord& row, const QString& name) {
    return FieldLong(column(row, name));
}
qint16 FieldInteger(const QSqlRecord& row, const QString& name) {
    return FieldInteger(column(row, name));
}
qint64 FieldInt64(const QSqlRecord& row, const QString& name) {
    return FieldInt64(column(row, name));
}
float FieldSingle(const QSqlRecord& row, const QString& name) {
    return FieldSingle(column(row, name));
}
bool FieldBoolean(const QSqlRecord& row, const QString& name) {
    return FieldBoolean(column(row, name));
}
QDateTime FieldDateTime(const QSqlRecord& row, const QString& name) {
    return FieldDateTime(column(row, name));
}

}  // namespace quorvane
