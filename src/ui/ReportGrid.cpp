#include "ui/ReportGrid.h"

#include "core/FailureRouting.h"
#include "ui/FormWidgets.h"
#include "ui/Twips.h"

#include <QDate>
#include <QDateTime>
#include <QEvent>
#include <QFont>
#include <QFontMetrics>
#include <QItemSelectionModel>
#include <QMetaType>
#include <QMouseEvent>
#include <QPainter>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QTime>
#include <QVariant>

#include <algorithm>
#include <charconv>
#include <utility>

namespace quorvane {

namespace {

// A caption gaining the arrow widens by this much, one losing it narrows by as much.
constexpr int kArrowWidthTwips = 240;
// The grid's row height as designed (the text's own height when that is taller).
constexpr int kRowHeightTwips = 240;

const QChar kAscending(0x25B3);   // △
const QChar kDescending(0x25BD);  // ▽

bool endsWithArrow(const QString& caption) {
    return caption.endsWith(kAscending) || caption.endsWith(kDescending);
}

bool isNumericType(const QMetaType& type) {
    switch (type.id()) {
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::ULong:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Float:
        case QMetaType::Double:
            return true;
        default:
            return false;
    }
}

QString cellText(const QVariant& value) {
    if (!value.isValid() || value.isNull()) {
        return {};
    }
    switch (value.typeId()) {
        case QMetaType::QDateTime:
            return TimeText(value.toDateTime());
        case QMetaType::QDate:
            return value.toDate().toString(QStringLiteral("yyyy/MM/dd"));
        case QMetaType::QTime:
            return value.toTime().toString(QStringLiteral("HH:mm:ss"));
        default:
            return value.toString();
    }
}

int pixelsToTwipsX(int pixels, const QWidget* widget) {
    const QScreen* screen = ScreenOf(widget);
    const qreal dpi = screen != nullptr ? screen->logicalDotsPerInchX() : 96.0;
    return qRound(pixels * TwipsPerInch / dpi);
}

// One data row's sort key. Categories order the kinds of cell that never compare by value:
// empty cells first (an empty text precedes every other), then numbers, then texts.
struct SortKey {
    enum Category : int { Empty = 0, Number = 1, Text = 2 };

    QStringView text;
    double number = 0.0;
    int position = 0;  // the row's place before the sort
    int category = Text;
};

bool keyLess(const SortKey& a, const SortKey& b) {
    if (a.category != b.category) {
        return a.category < b.category;
    }
    if (a.category == SortKey::Number) {
        return a.number < b.number;
    }
    return a.text.compare(b.text) < 0;
}

// Restores a widget's redraw setting when a procedure leaves, however it leaves.
class RedrawOff {
public:
    explicit RedrawOff(QWidget* widget) : widget_(widget), enabled_(widget->updatesEnabled()) {
        widget_->setUpdatesEnabled(false);
    }
    ~RedrawOff() { widget_->setUpdatesEnabled(enabled_); }
    RedrawOff(const RedrawOff&) = delete;
    RedrawOff& operator=(const RedrawOff&) = delete;

private:
    QWidget* widget_;
    bool enabled_;
};

}  // namespace

SortKind SortKindFromCode(int code) {
    switch (code) {
        case 2:
            return SortKind::Numeric;
        case 4:
            return SortKind::TextNoCase;
        case 6:
            return SortKind::Text;
        default:
            return SortKind::Generic;
    }
}

bool ParseCellNumber(QStringView text, double* number) {
    // Most cells that are no number (names, dates) are told by their first character alone.
    const auto mayStartNumber = [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= u'0' && u <= u'9') || u == u'-' || u == u'+' || u == u'.' || u == u',';
    };
    if (text.isEmpty() || (!mayStartNumber(text.front()) && !text.front().isSpace())) {
        return false;
    }
    text = text.trimmed();
    // Longer than any number a report shows: not worth reading as one.
    constexpr qsizetype kMaxLength = 40;
    if (text.isEmpty() || text.size() > kMaxLength) {
        return false;
    }
    char buffer[kMaxLength + 1];
    int length = 0;
    qsizetype i = 0;
    bool negative = false;
    if (text[0] == u'-' || text[0] == u'+') {
        negative = text[0] == u'-';
        ++i;
    }
    bool digits = false;
    bool point = false;
    // Whole numbers of up to 18 digits are read here; anything else goes to from_chars.
    qint64 whole = 0;
    int wholeDigits = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c >= u'0' && c <= u'9') {
            digits = true;
            buffer[length++] = static_cast<char>(c);
            if (!point && (wholeDigits > 0 || c != u'0')) {
                whole = whole * 10 + (c - u'0');
                ++wholeDigits;
            }
        } else if (c == u',' && !point) {
            continue;
        } else if (c == u'.' && !point) {
            point = true;
            buffer[length++] = '.';
        } else {
            return false;
        }
    }
    if (!digits) {
        return false;
    }
    if (!point && wholeDigits <= 18) {
        const double value = static_cast<double>(whole);
        *number = negative ? -value : value;
        return true;
    }
    double value = 0.0;
    const auto result = std::from_chars(buffer, buffer + length, value);
    if (result.ec != std::errc() || result.ptr != buffer + length) {
        return false;
    }
    *number = negative ? -value : value;
    return true;
}

QString SortArrowAscending() {
    return QString(kAscending);
}

QString SortArrowDescending() {
    return QString(kDescending);
}

QString CaptionWithoutArrow(const QString& caption) {
    return endsWithArrow(caption) ? caption.chopped(1) : caption;
}

// --- ReportTable ---

int ReportTable::rowCount() const {
    return captions.isEmpty() ? 0 : static_cast<int>(cells.size() / captions.size());
}

void ReportTable::appendRow(const QStringList& texts) {
    const int columns = columnCount();
    for (int column = 0; column < columns; ++column) {
        cells.push_back(column < texts.size() ? texts.at(column) : QString());
    }
}

ReportTable ReportTable::fromQuery(QSqlQuery& query) {
    ReportTable table;
    const QSqlRecord record = query.record();
    const int columns = record.count();
    // Per column: a value that is not a number seen, a number seen.
    std::vector<char> text(columns, 0);
    std::vector<char> numbers(columns, 0);
    for (int column = 0; column < columns; ++column) {
        table.captions << record.fieldName(column);
    }
    while (query.next()) {
        for (int column = 0; column < columns; ++column) {
            const QVariant value = query.value(column);
            if (!value.isNull()) {
                (isNumericType(value.metaType()) ? numbers : text)[column] = 1;
            }
            table.cells.push_back(cellText(value));
        }
    }
    table.alignments.reserve(columns);
    for (int column = 0; column < columns; ++column) {
        // A column of NULLs only is aligned by the type the result declares for it.
        const bool numeric = text[column] == 0 && (numbers[column] != 0 ||
                                                   isNumericType(record.field(column).metaType()));
        table.alignments << (numeric ? Qt::AlignRight : Qt::AlignLeft);
    }
    return table;
}

// --- ReportGridModel ---

ReportGridModel::ReportGridModel(QObject* parent) : QAbstractTableModel(parent) {}

void ReportGridModel::setTable(ReportTable table) {
    beginResetModel();
    const int columns = table.columnCount();
    const std::size_t rows = static_cast<std::size_t>(table.rowCount());
    captions_ = std::move(table.captions);
    alignments_ = std::move(table.alignments);
    alignments_.resize(columns, Qt::AlignLeft);
    cells_ = std::move(table.cells);
    cells_.resize(rows * static_cast<std::size_t>(columns));
    order_.resize(rows);
    for (std::size_t row = 0; row < rows; ++row) {
        order_[row] = static_cast<int>(row);
    }
    pinned_.assign(static_cast<std::size_t>(pinnedRows_) * static_cast<std::size_t>(columns),
                   QString());
    endResetModel();
}

void ReportGridModel::clear() {
    setTable({});
}

void ReportGridModel::setPinnedRowCount(int count) {
    count = qMax(0, count);
    beginResetModel();
    pinnedRows_ = count;
    pinned_.assign(static_cast<std::size_t>(count) * static_cast<std::size_t>(columnCount()),
                   QString());
    endResetModel();
}

void ReportGridModel::setPinnedText(int pinnedRow, int column, const QString& text) {
    if (pinnedRow < 0 || pinnedRow >= pinnedRows_ || column < 0 || column >= columnCount()) {
        return;
    }
    pinned_[static_cast<std::size_t>(pinnedRow) * captions_.size() + column] = text;
    const QModelIndex changed = index(pinnedRow, column);
    Q_EMIT dataChanged(changed, changed, {Qt::DisplayRole});
}

QString ReportGridModel::pinnedText(int pinnedRow, int column) const {
    if (pinnedRow < 0 || pinnedRow >= pinnedRows_ || column < 0 || column >= columnCount()) {
        return {};
    }
    return pinned_[static_cast<std::size_t>(pinnedRow) * captions_.size() + column];
}

const QString& ReportGridModel::cell(int row, int column) const {
    const std::size_t columns = static_cast<std::size_t>(captions_.size());
    if (row < pinnedRows_) {
        return pinned_[static_cast<std::size_t>(row) * columns + column];
    }
    return cells_[static_cast<std::size_t>(order_[row - pinnedRows_]) * columns + column];
}

QString ReportGridModel::text(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) {
        return {};
    }
    return cell(row, column);
}

QString ReportGridModel::caption(int column) const {
    return captions_.value(column);
}

void ReportGridModel::setCaption(int column, const QString& caption) {
    if (column < 0 || column >= columnCount() || captions_.at(column) == caption) {
        return;
    }
    captions_[column] = caption;
    Q_EMIT headerDataChanged(Qt::Horizontal, column, column);
}

Qt::Alignment ReportGridModel::alignment(int column) const {
    return alignments_.value(column, Qt::AlignLeft);
}

void ReportGridModel::setAlignment(int column, Qt::Alignment alignment) {
    if (column < 0 || column >= columnCount()) {
        return;
    }
    alignments_[column] = alignment;
    if (rowCount() > 0) {
        Q_EMIT dataChanged(index(0, column), index(rowCount() - 1, column),
                           {Qt::TextAlignmentRole});
    }
}

void ReportGridModel::sort(int column, Qt::SortOrder order) {
    sort(column, order, SortKind::Generic);
}

void ReportGridModel::sort(int column, Qt::SortOrder order, SortKind kind) {
    const int rows = dataRowCount();
    if (column < 0 || column >= columnCount() || rows < 2) {
        return;
    }
    const std::size_t columns = static_cast<std::size_t>(captions_.size());

    // The keys, read once: numbers parsed, texts folded where the kind ignores case.
    std::vector<SortKey> keys(static_cast<std::size_t>(rows));
    std::vector<QString> folded;
    if (kind == SortKind::TextNoCase) {
        folded.resize(static_cast<std::size_t>(rows));
    }
    for (int position = 0; position < rows; ++position) {
        const QString& text = cells_[static_cast<std::size_t>(order_[position]) * columns +
                                     static_cast<std::size_t>(column)];
        SortKey& key = keys[static_cast<std::size_t>(position)];
        key.position = position;
        switch (kind) {
            case SortKind::Generic:
                if (text.isEmpty()) {
                    key.category = SortKey::Empty;
                } else if (ParseCellNumber(text, &key.number)) {
                    key.category = SortKey::Number;
                } else {
                    key.text = text;
                }
                break;
            case SortKind::Numeric:
                key.category = SortKey::Number;
                if (!ParseCellNumber(text, &key.number)) {
                    key.number = 0.0;
                }
                break;
            case SortKind::TextNoCase:
                folded[static_cast<std::size_t>(position)] = text.toCaseFolded();
                key.text = folded[static_cast<std::size_t>(position)];
                break;
            case SortKind::Text:
                key.text = text;
                break;
        }
    }
    if (order == Qt::AscendingOrder) {
        std::stable_sort(keys.begin(), keys.end(), keyLess);
    } else {
        std::stable_sort(keys.begin(), keys.end(),
                         [](const SortKey& a, const SortKey& b) { return keyLess(b, a); });
    }

    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> sorted(static_cast<std::size_t>(rows));
    std::vector<int> moved(static_cast<std::size_t>(rows));  // old position -> new position
    for (int position = 0; position < rows; ++position) {
        const int from = keys[static_cast<std::size_t>(position)].position;
        sorted[static_cast<std::size_t>(position)] = order_[static_cast<std::size_t>(from)];
        moved[static_cast<std::size_t>(from)] = position;
    }
    order_.swap(sorted);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before) {
        if (index.row() < pinnedRows_) {
            after << index;
        } else {
            after << createIndex(
                pinnedRows_ + moved[static_cast<std::size_t>(index.row() - pinnedRows_)],
                index.column());
        }
    }
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int ReportGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : pinnedRows_ + dataRowCount();
}

int ReportGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(captions_.size());
}

QVariant ReportGridModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
            return cell(index.row(), index.column());
        case Qt::TextAlignmentRole:
            return static_cast<int>(alignment(index.column()) | Qt::AlignVCenter);
        case Qt::FontRole:
            if (index.row() < pinnedRows_) {
                QFont bold;
                bold.setBold(true);
                return bold;
            }
            return {};
        case PinnedRole:
            return index.row() < pinnedRows_;
        default:
            return {};
    }
}

QVariant ReportGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= columnCount()) {
            return {};
        }
        return role == Qt::DisplayRole ? QVariant(captions_.at(section)) : QVariant();
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags ReportGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

// --- ReportGridHeader ---

ReportGridHeader::ReportGridHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setSectionsClickable(true);
    setHighlightSections(false);
    setSortIndicatorShown(false);
    setStretchLastSection(false);
    setSectionResizeMode(QHeaderView::Interactive);
    setDefaultAlignment(Qt::AlignCenter);
}

int ReportGridHeader::captionHeight() const {
    return qMax(0, height() - pinnedRows_ * rowHeight_);
}

void ReportGridHeader::setPinnedBand(int rows, int rowHeight) {
    if (rows == pinnedRows_ && rowHeight == rowHeight_) {
        return;
    }
    pinnedRows_ = rows;
    rowHeight_ = rowHeight;
    updateGeometry();
    viewport()->update();
}

bool ReportGridHeader::isOnSectionBorder(int x) const {
    const int visual = visualIndexAt(x);
    if (visual < 0) {
        return false;
    }
    const int logical = logicalIndex(visual);
    const int start = sectionViewportPosition(logical);
    const int grip = style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, this);
    int resized = -1;
    if (x < start + grip) {
        // The border before this section belongs to the visible section left of it.
        for (int before = visual - 1; before >= 0; --before) {
            if (!isSectionHidden(logicalIndex(before))) {
                resized = logicalIndex(before);
                break;
            }
        }
    } else if (x > start + sectionSize(logical) - grip) {
        resized = logical;
    }
    return resized >= 0 && sectionResizeMode(resized) == QHeaderView::Interactive;
}

QSize ReportGridHeader::sizeHint() const {
    QSize hint = QHeaderView::sizeHint();
    hint.rheight() += pinnedRows_ * rowHeight_;
    return hint;
}

void ReportGridHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    const int band = pinnedRows_ * rowHeight_;
    QRect captionRect = rect;
    captionRect.setBottom(rect.bottom() - band);
    // The style clips to the caption and leaves the clip in place.
    painter->save();
    QHeaderView::paintSection(painter, captionRect, logicalIndex);
    painter->restore();
    if (band <= 0 || model() == nullptr) {
        return;
    }

    painter->save();
    QStyleOptionHeader option;
    initStyleOption(&option);
    const QColor gridColor(
        static_cast<QRgb>(style()->styleHint(QStyle::SH_Table_GridLineColor, &option, this)));
    QFont bold = parentWidget() != nullptr ? parentWidget()->font() : font();
    bold.setBold(true);
    painter->setFont(bold);
    const QFontMetrics metrics(bold);
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    for (int row = 0; row < pinnedRows_; ++row) {
        const QRect cellRect(rect.left(), captionRect.bottom() + 1 + row * rowHeight_, rect.width(),
                             rowHeight_);
        painter->fillRect(cellRect, palette().button());
        painter->setPen(gridColor);
        painter->drawLine(cellRect.bottomLeft(), cellRect.bottomRight());
        painter->drawLine(cellRect.topRight(), cellRect.bottomRight());
        const QModelIndex index = model()->index(row, logicalIndex);
        const QString text = index.data(Qt::DisplayRole).toString();
        if (text.isEmpty()) {
            continue;
        }
        const auto alignment = Qt::Alignment(index.data(Qt::TextAlignmentRole).toInt());
        const QRect textRect = cellRect.adjusted(margin, 0, -margin - 1, -1);
        painter->setPen(palette().color(QPalette::ButtonText));
        painter->drawText(textRect, static_cast<int>(alignment),
                          metrics.elidedText(text, Qt::ElideRight, textRect.width()));
    }
    painter->restore();
}

// --- ReportGrid ---

ReportGrid::ReportGrid(QWidget* parent)
    : QTableView(parent), model_(new ReportGridModel(this)), header_(new ReportGridHeader(this)) {
    setHorizontalHeader(header_);
    setModel(model_);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSortingEnabled(false);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);

    // Uniform rows: no row is ever measured.
    QHeaderView* rowsHeader = verticalHeader();
    rowsHeader->hide();
    rowsHeader->setSectionResizeMode(QHeaderView::Fixed);
    rowsHeader->setMinimumSectionSize(1);
    rowsHeader->setDefaultSectionSize(
        qMax(TwipsToPixelsY(kRowHeightTwips, this), fontMetrics().height() + 4));

    header_->viewport()->installEventFilter(this);
    connect(model_, &QAbstractItemModel::modelReset, this, &ReportGrid::modelWasReset);
    connect(model_, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& topLeft, const QModelIndex&) {
                if (topLeft.row() < model_->pinnedRowCount()) {
                    header_->viewport()->update();
                }
            });
    modelWasReset();
}

ReportGrid::~ReportGrid() = default;

void ReportGrid::setTable(ReportTable table) {
    model_->setTable(std::move(table));
}

void ReportGrid::clear() {
    model_->clear();
}

void ReportGrid::setPinnedRowCount(int count) {
    model_->setPinnedRowCount(count);
}

int ReportGrid::pinnedRowCount() const {
    return model_->pinnedRowCount();
}

void ReportGrid::setPinnedText(int pinnedRow, int column, const QString& text) {
    model_->setPinnedText(pinnedRow, column, text);
}

void ReportGrid::modelWasReset() {
    // A new fill shows every column at the default width, as the captions come without arrow.
    for (int column = 0; column < model_->columnCount(); ++column) {
        header_->resizeSection(column, header_->defaultSectionSize());
    }
    // The pinned rows are drawn by the header; the table itself shows only the data rows. The
    // row header keeps its sections through a reset, so rows pinned before are shown again.
    const int pinned = model_->pinnedRowCount();
    const int rows = qMin(model_->rowCount(), qMax(pinned, hiddenRows_));
    for (int row = 0; row < rows; ++row) {
        setRowHidden(row, row < pinned);
    }
    hiddenRows_ = pinned;
    header_->setPinnedBand(pinned, verticalHeader()->defaultSectionSize());
    updateGeometries();
}

void ReportGrid::setColumnWidthTwips(int column, int twips) {
    setColumnWidth(column, TwipsToPixelsX(twips, this));
}

int ReportGrid::columnWidthTwips(int column) const {
    return pixelsToTwipsX(columnWidth(column), this);
}

int ReportGrid::rows() const {
    return 1 + model_->rowCount();
}

int ReportGrid::cols() const {
    return model_->columnCount();
}

int ReportGrid::fixedRows() const {
    return 1 + model_->pinnedRowCount();
}

QString ReportGrid::textMatrix(int row, int column) const {
    if (row == 0) {
        return model_->caption(column);
    }
    return model_->text(row - 1, column);
}

QList<QStringList> ReportGrid::shownRows() const {
    QList<QStringList> shown;
    const int rowCount = rows();
    const int columnCount = cols();
    shown.reserve(rowCount);
    for (int row = 0; row < rowCount; ++row) {
        QStringList texts;
        texts.reserve(columnCount);
        for (int column = 0; column < columnCount; ++column) {
            texts << textMatrix(row, column);
        }
        shown << texts;
    }
    return shown;
}

QStringList ReportGrid::captions() const {
    QStringList plain;
    for (int column = 0; column < cols(); ++column) {
        plain << CaptionWithoutArrow(model_->caption(column));
    }
    return plain;
}

bool ReportGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == header_->viewport()) {
        if (event->type() == QEvent::MouseButtonPress) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            pressOnBorder_ = header_->isOnSectionBorder(mouse->position().toPoint().x());
        } else if (event->type() == QEvent::MouseButtonRelease) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            // A release that ends a column resize is no click on a caption.
            const bool resized = pressOnBorder_;
            pressOnBorder_ = false;
            if (!resized) {
                GridMouseUP(this, mouse->button(), mouse->modifiers(), mouse->position().toPoint(),
                            sortKinds_);
            }
        }
    }
    return QTableView::eventFilter(watched, event);
}

bool GridMouseUP(ReportGrid* grid, Qt::MouseButton button, Qt::KeyboardModifiers shift,
                 const QPoint& position, const QVector<int>& sortKinds) {
    Q_UNUSED(shift)
    if (grid == nullptr || button != Qt::LeftButton) {
        return false;
    }
    ReportGridHeader* header = grid->gridHeader();
    ReportGridModel* model = grid->gridModel();
    if (position.y() < 0 || position.y() >= header->captionHeight()) {
        return false;
    }
    const int column = header->logicalIndexAt(position.x());
    if (column < 0 || model->dataRowCount() < 2) {
        return false;
    }

    Procedure procedure(QStringLiteral("例外程序：\tmodUI.GridMouseUP"));
    RedrawOff redrawOff(grid);
    bool descending = false;
    if (procedure.step([&] {
            const int step = TwipsToPixelsX(kArrowWidthTwips, grid);
            bool hadArrow = false;
            for (int other = 0; other < model->columnCount(); ++other) {
                const QString caption = model->caption(other);
                if (!endsWithArrow(caption)) {
                    continue;
                }
                model->setCaption(other, caption.chopped(1));
                if (other == column) {
                    hadArrow = true;
                    descending = caption.endsWith(kAscending);
                } else {
                    header->resizeSection(other, qMax(0, header->sectionSize(other) - step));
                }
            }
            model->setCaption(column,
                              model->caption(column) + (descending ? kDescending : kAscending));
            if (!hadArrow) {
                header->resizeSection(column, header->sectionSize(column) + step);
            }
        }) == StepOutcome::Left) {
        return false;
    }

    // The row number that is current stays current, in the clicked column.
    const int pinned = model->pinnedRowCount();
    int row = grid->currentIndex().row();
    if (row < pinned) {
        row = pinned;
    }
    if (procedure.step([&] {
            // A selection would be carried through the sort row by row; the clicked cell is all
            // that is selected afterwards anyway.
            grid->selectionModel()->clearSelection();
            model->sort(column, descending ? Qt::DescendingOrder : Qt::AscendingOrder,
                        SortKindFromCode(sortKinds.value(column, 0)));
        }) == StepOutcome::Left) {
        return false;
    }
    return procedure.step([&] {
        grid->selectionModel()->setCurrentIndex(model->index(row, column),
                                                QItemSelectionModel::ClearAndSelect);
    }) != StepOutcome::Left;
}

}  // namespace quorvane
