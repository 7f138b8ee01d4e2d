#include "ui/RecordList.h"

#include "db/TableReader.h"

namespace quorvane {

void RecordList::load(Database& db, const Statement& query) {
    QVector<Row> rows;
    {
        TableReader result(db, query);
        while (result.next()) {
            rows.append({result.value(0).toString(), result.value(1).toString()});
        }
    }
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

void RecordList::clear() {
    beginResetModel();
    rows_.clear();
    endResetModel();
}

int RecordList::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant RecordList::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_.size()) {
        return {};
    }
    const Row& row = rows_.at(index.row());
    switch (role) {
        case Qt::DisplayRole:
            return row.text;
        case KeyRole:
            return row.key;
        default:
            return {};
    }
}

int RecordList::rowOf(const QString& key) const {
    for (int row = 0; row < rows_.size(); ++row) {
        if (rows_.at(row).key == key) {
            return row;
        }
    }
    return -1;
}

QString RecordList::keyAt(int row) const {
    return row >= 0 && row < rows_.size() ? rows_.at(row).key : QString();
}

}  // namespace quorvane
