#pragma once

#include "db/Database.h"

#include <QAbstractListModel>
#include <QString>
#include <QVector>

namespace quorvane {

// The rows of a record screen's list: the text shown and the record's key.
class RecordList : public QAbstractListModel {
    Q_OBJECT

public:
    static constexpr int KeyRole = Qt::UserRole + 1;

    using QAbstractListModel::QAbstractListModel;

    // Replaces the rows with those of a query whose first column is the text shown and whose
    // second column is the key.
    void load(Database& db, const Statement& query);
    void clear();

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // The row of a key, -1 when the list does not hold it.
    int rowOf(const QString& key) const;
    QString keyAt(int row) const;

private:
    struct Row {
        QString text;
        QString key;
    };
    QVector<Row> rows_;
};

}  // namespace quorvane
