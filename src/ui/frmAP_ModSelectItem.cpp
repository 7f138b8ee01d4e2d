#include "ui/frmAP_ModSelectItem.h"

#include "core/FailureRouting.h"
#include "core/Text.h"
#include "db/FieldReaders.h"
#include "db/TableReader.h"
#include "ui/ScreenSizing.h"
#include "ui/Twips.h"

#include <QCollator>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLocale>
#include <QPushButton>
#include <QShowEvent>
#include <QSqlRecord>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <numeric>
#include <utility>

namespace quorvane {

namespace {

// Room the table keeps beside its columns for the vertical scroll bar and the frame.
constexpr int kColumnsMarginTwips = 300;

}  // namespace

// --- The table's rows ---

SelectItemModel::SelectItemModel(QObject* parent) : QAbstractTableModel(parent) {}

int SelectItemModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

int SelectItemModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(captions_.size());
}

QVariant SelectItemModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= int(rows_.size()) ||
        index.column() >= int(captions_.size())) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return cell(index.row(), index.column());
    }
    return {};
}

QVariant SelectItemModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < int(captions_.size())) {
        return captions_.at(section);
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

const QString& SelectItemModel::cell(int row, int column) const {
    static const QString none;
    const QStringList& cells = rows_.at(std::size_t(row));
    return column < cells.size() ? cells.at(column) : none;
}

void SelectItemModel::reset(const QStringList& captions) {
    beginResetModel();
    captions_ = captions;
    rows_.clear();
    endResetModel();
}

void SelectItemModel::append(std::vector<QStringList> rows) {
    if (rows.empty()) {
        return;
    }
    const int first = int(rows_.size());
    beginInsertRows({}, first, first + int(rows.size()) - 1);
    rows_.insert(rows_.end(), std::make_move_iterator(rows.begin()),
                 std::make_move_iterator(rows.end()));
    endInsertRows();
}

void SelectItemModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= int(captions_.size()) || rows_.size() < 2) {
        return;
    }
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);

    // The interface is Traditional Chinese: its users expect Chinese text in stroke order.
    QCollator collator(QLocale(QLocale::Chinese, QLocale::Taiwan));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<QCollatorSortKey> keys;
    keys.reserve(rows_.size());
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        keys.push_back(collator.sortKey(cell(int(row), column)));
    }
    std::vector<int> sortedRows(rows_.size());
    std::iota(sortedRows.begin(), sortedRows.end(), 0);
    std::stable_sort(sortedRows.begin(), sortedRows.end(), [&](int a, int b) {
        const int compared = keys[std::size_t(a)].compare(keys[std::size_t(b)]);
        return order == Qt::AscendingOrder ? compared < 0 : compared > 0;
    });

    std::vector<int> newRowOf(rows_.size());
    std::vector<QStringList> sorted;
    sorted.reserve(rows_.size());
    for (std::size_t position = 0; position < sortedRows.size(); ++position) {
        const auto oldRow = std::size_t(sortedRows[position]);
        newRowOf[oldRow] = int(position);
        sorted.push_back(std::move(rows_[oldRow]));
    }
    rows_ = std::move(sorted);

    // The selection and the current row follow their rows.
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before) {
        after.append(index.isValid()
                         ? this->index(newRowOf[std::size_t(index.row())], index.column())
                         : QModelIndex());
    }
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

// --- The dialog ---

frmAP_ModSelectItem::frmAP_ModSelectItem(Database& db, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      db_(db) {
    setObjectName(QStringLiteral("frmAP_ModSelectItem"));
    setWindowTitle(QStringLiteral("選擇"));

    model_ = new SelectItemModel(this);

    lstvMain_ = new QTableView(this);
    lstvMain_->setObjectName(QStringLiteral("lstvMain"));
    lstvMain_->setModel(model_);
    lstvMain_->setToolTip(QStringLiteral("滑鼠點選標題列可以該欄資料進行排序"));
    lstvMain_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstvMain_->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstvMain_->setSelectionMode(QAbstractItemView::SingleSelection);
    lstvMain_->setAlternatingRowColors(true);
    lstvMain_->setShowGrid(false);
    lstvMain_->setWordWrap(false);
    lstvMain_->setTextElideMode(Qt::ElideRight);
    lstvMain_->verticalHeader()->hide();
    lstvMain_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    lstvMain_->verticalHeader()->setDefaultSectionSize(lstvMain_->fontMetrics().height() + 6);

    QHeaderView* header = lstvMain_->horizontalHeader();
    header->setToolTip(lstvMain_->toolTip());
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(-1, Qt::AscendingOrder);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(header, &QHeaderView::sectionClicked, this, &frmAP_ModSelectItem::lstvMain_ColumnClick);

    cmdOK_ = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton),
                             QStringLiteral("確定"), this);
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdOK_->setDefault(true);
    cmdCancel_ = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton),
                                 QStringLiteral("取消"), this);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cmdCancel_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lstvMain_, 1);
    layout->addLayout(buttons);

    connect(cmdOK_, &QPushButton::clicked, this, &frmAP_ModSelectItem::cmdOK_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmAP_ModSelectItem::reject);
    // The first click of a double click selects the row; the double click then picks it.
    connect(lstvMain_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid()) {
            cmdOK_Click();
        }
    });
    // Enter in the table reaches the dialog, whose default button is OK; Esc cancels.

    setFixedSize(TwipsToPixels(WidthTwips, HeightTwips, this));
}

void frmAP_ModSelectItem::setMultiSelect(bool multiSelect) {
    multiSelect_ = multiSelect;
    lstvMain_->setSelectionMode(multiSelect ? QAbstractItemView::ExtendedSelection
                                            : QAbstractItemView::SingleSelection);
}

void frmAP_ModSelectItem::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        CentreOver(this, parentWidget());
        subRefresh();
        lstvMain_->setFocus(Qt::OtherFocusReason);
    }
    QDialog::showEvent(event);
}

void frmAP_ModSelectItem::subRefresh() {
    selection_ = {};
    Procedure procedure(QStringLiteral("例外程序：\tfrmAP_ModSelectItem.subRefresh\r\n"));
    // One step: a retry reads the whole result again into an emptied table. Nothing follows
    // it: a skipped or left read shows what was read before the failure.
    static_cast<void>(procedure.step([this] { loadRows(); }));
}

void frmAP_ModSelectItem::loadRows() {
    model_->reset({});
    sortColumn_ = -1;
    sortOrder_ = Qt::AscendingOrder;
    lstvMain_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    if (selectCommandText_.sql.trimmed().isEmpty()) {
        return;
    }

    TableReader query(db_, selectCommandText_);

    const QSqlRecord& record = query.columns();
    QStringList captions;
    for (int column = 0; column < record.count(); ++column) {
        captions.append(record.fieldName(column));
    }
    model_->reset(captions);
    if (captions.isEmpty()) {
        return;
    }
    // Equal widths, leaving room for the scroll bar.
    if (layout() != nullptr) {
        layout()->activate();
    }
    const int width =
        (lstvMain_->width() - TwipsToPixelsX(kColumnsMarginTwips, this)) / int(captions.size());
    for (int column = 0; column < captions.size(); ++column) {
        lstvMain_->horizontalHeader()->resizeSection(column, qMax(width, 24));
    }

    std::vector<QStringList> rows;
    // Whatever was read before a failure stays in the table; the failure is shown.
    try {
        while (query.next()) {
            QStringList cells;
            cells.reserve(captions.size());
            // The first cell is shown and returned without the spaces around it.
            cells.append(TrimSpaces(FieldText(query.value(0))));
            for (int column = 1; column < captions.size(); ++column) {
                cells.append(FieldText(query.value(column)));
            }
            rows.push_back(std::move(cells));
        }
    } catch (...) {
        model_->append(std::move(rows));
        throw;
    }
    model_->append(std::move(rows));
}

void frmAP_ModSelectItem::lstvMain_ColumnClick(int column) {
    // Sorting texts in memory cannot fail, so this needs no step runner.
    const Qt::SortOrder order =
        column != sortColumn_
            ? sortOrder_
            : (sortOrder_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder);
    sortBy(column, order);
}

void frmAP_ModSelectItem::sortBy(int column, Qt::SortOrder order) {
    sortColumn_ = column;
    sortOrder_ = order;
    lstvMain_->horizontalHeader()->setSortIndicator(column, order);
    model_->sort(column, order);
}

void frmAP_ModSelectItem::cmdOK_Click() {
    if (selectOrderIndex_ > 0 && selectOrderIndex_ <= model_->columnCount()) {
        sortBy(selectOrderIndex_ - 1, Qt::AscendingOrder);
    }
    std::vector<int> rows;
    for (const QModelIndex& index : lstvMain_->selectionModel()->selectedRows()) {
        rows.push_back(index.row());
    }
    std::sort(rows.begin(), rows.end());

    SelectionResult picked;
    const bool hasName = model_->columnCount() > 1;
    for (const int row : rows) {
        picked.SelectedValue.append(model_->cell(row, 0));
        picked.SelectedName.append(hasName ? model_->cell(row, 1) : QString());
    }
    picked.SelectedCount = int(rows.size());
    selection_ = std::move(picked);
    accept();
}

void frmAP_ModSelectItem::reject() {
    selection_ = {};
    QDialog::reject();
}

}  // namespace quorvane
