#pragma once

#include "db/Statement.h"
#include "ui/Dialogs.h"

#include <QAbstractTableModel>
#include <QDialog>
#include <QString>
#include <QStringList>

#include <vector>

class QPushButton;
class QShowEvent;
class QTableView;

namespace quorvane {

class Database;

// The rows of a query result as texts, for the selection dialog's table. Sorting reorders the
// rows themselves (so "top to bottom" is the model's row order) and keeps the selection on the
// rows it was on.
class SelectItemModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit SelectItemModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    // Orders the rows by one column, comparing the cells as text the way the interface's
    // language sorts (Traditional Chinese, letter case ignored); rows that compare equal keep
    // their order.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // Drops every row and column and starts over with these column captions.
    void reset(const QStringList& captions);
    // Appends rows, each with one text per column.
    void append(std::vector<QStringList> rows);

    const QString& cell(int row, int column) const;

private:
    QStringList captions_;
    std::vector<QStringList> rows_;
};

// The selection dialog: runs the query it is given, shows the result as a table whose columns
// are the query's columns (captioned with their aliases), and lets the user pick a row (or
// several) with OK or a double click. The rows are loaded each time the dialog is shown.
class frmAP_ModSelectItem : public QDialog {
    Q_OBJECT

public:
    static constexpr int WidthTwips = 7200;
    static constexpr int HeightTwips = 4800;

    explicit frmAP_ModSelectItem(Database& db, QWidget* parent = nullptr);

    const Statement& SelectCommandText() const { return selectCommandText_; }
    void setSelectCommandText(const Statement& statement) { selectCommandText_ = statement; }
    bool MultiSelect() const { return multiSelect_; }
    void setMultiSelect(bool multiSelect);
    int SelectOrderIndex() const { return selectOrderIndex_; }
    void setSelectOrderIndex(int column) { selectOrderIndex_ = column; }

    int SelectedCount() const { return selection_.SelectedCount; }
    const QStringList& SelectedValue() const { return selection_.SelectedValue; }
    const QStringList& SelectedName() const { return selection_.SelectedName; }
    const SelectionResult& selection() const { return selection_; }

    // Clears the results and loads the table from SelectCommandText. A failure is shown with
    // the exception dialog; after Ignore or Exit the table keeps the rows read before it.
    void subRefresh();

    // Closing by Cancel, Esc or the close box: nothing picked.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void lstvMain_ColumnClick(int column);
    void sortBy(int column, Qt::SortOrder order);
    void cmdOK_Click();
    void loadRows();

    Database& db_;
    Statement selectCommandText_;
    bool multiSelect_ = false;
    int selectOrderIndex_ = 0;
    SelectionResult selection_;

    // The column the table is sorted by (-1 before the first header click) and its direction.
    int sortColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;

    SelectItemModel* model_ = nullptr;
    QTableView* lstvMain_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};

}  // namespace quorvane
