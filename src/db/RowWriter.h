#pragma once

#include "db/Database.h"

#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>

namespace quorvane {

// Writes one record of a table by its key: the columns a screen sets, plus the audit columns
// every record screen stamps with the user and the server's time. Insert stamps
// IdUserAddNew/TimeAddNew; update stamps IdUserModifyFirst/TimeModifyFirst when the row has
// no first modification yet, and IdUserModifyLast/TimeModifyLast always.
class RowWriter {
public:
    RowWriter(QString table, QString keyColumn, QVariant key);

    RowWriter& set(const QString& column, const QVariant& value);

    // Inserts the row with the key and the columns set. A key that exists already is refused
    // by the database (DatabaseFailure).
    void insert(Database& db, const QString& user, const QDateTime& serverTime) const;

    // Updates the row with the key; throws Failure when no row has the key (another
    // workstation deleted it meanwhile), so a lost record is never reported as saved.
    void update(Database& db, const QString& user, const QDateTime& serverTime) const;

private:
    QString table_;
    QString keyColumn_;
    QVariant key_;
    QList<QPair<QString, QVariant>> columns_;
};

}  // namespace quorvane
