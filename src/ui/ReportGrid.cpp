#include "ui/ReportGrid.h"

#include "core/Failure.h"
#include "core/FailureRouting.h"
#include "db/Dialect.h"
#include "db/TableReader.h"
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
#include <QSqlRecord>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QTime>
#include <QVariant>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <numeric>
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

QString CaptionWithoutArrow(const QString& caption) {
    return endsWithArrow(caption) ? caption.chopped(1) : caption;
}

// --- Whole numbers as a spreadsheet format shows them ---

QString FormatWholeNumber(qint64 value, QStringView format) {
    qsizetype zeros = 0;
    bool grouped = false;
    for (const QChar c : format) {
        if (c == u'0') {
            ++zeros;
        } else if (c == u',') {
            grouped = true;
        } else if (c != u'#') {
            return QString::number(value);
        }
    }
    const quint64 magnitude =
        value < 0 ? quint64(0) - static_cast<quint64>(value) : static_cast<quint64>(value);
    QString digits = QString::number(magnitude);
    if (digits.size() < zeros) {
        digits.prepend(QString(zeros - digits.size(), u'0'));
    }
    if (grouped) {
        for (qsizetype at = digits.size() - 3; at > 0; at -= 3) {
            digits.insert(at, u',');
        }
    }
    return value < 0 ? u'-' + digits : digits;
}

// --- ReportTable ---

namespace {

// NULL among the numbers of a whole-number, date or time column.
constexpr qint64 kNull = std::numeric_limits<qint64>::min();
constexpr qint64 kMsecsPerDay = 86400000;

qint64 encodeTime(const QDateTime& time) {
    return time.date().toJulianDay() * kMsecsPerDay + time.time().msecsSinceStartOfDay();
}

QDate decodeDate(qint64 value) {
    return QDate::fromJulianDay(value / kMsecsPerDay);
}

QDateTime decodeTime(qint64 value) {
    return QDateTime(decodeDate(value),
                     QTime::fromMSecsSinceStartOfDay(static_cast<int>(value % kMsecsPerDay)));
}

bool isWholeNumber(const QVariant& value, qint64* number) {
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float) {
        const double real = value.toDouble();
        constexpr double kExact = 9007199254740992.0;  // 2^53: every whole double below is exact
        if (std::trunc(real) != real || std::fabs(real) >= kExact) {
            return false;
        }
        *number = static_cast<qint64>(real);
        return true;
    }
    if (isNumericType(value.metaType())) {
        *number = value.toLongLong();
        return true;
    }
    return false;
}

// The type a value has by itself, as a column left to what it holds takes it.
CellType naturalType(const QVariant& value) {
    qint64 number = 0;
    if (isWholeNumber(value, &number)) {
        return CellType::Integer;
    }
    switch (value.typeId()) {
        case QMetaType::QDateTime:
            return CellType::Time;
        case QMetaType::QDate:
            return CellType::Date;
        default:
            return CellType::Text;
    }
}

CellType declaredType(const QMetaType& type) {
    switch (type.id()) {
        case QMetaType::QDateTime:
            return CellType::Time;
        case QMetaType::QDate:
            return CellType::Date;
        default:
            return isNumericType(type) ? CellType::Integer : CellType::Text;
    }
}

[[noreturn]] void refuse(const ReportColumn& column, const QVariant& value, const QString& what) {
    throw Failure(0,
                  QStringLiteral("報表欄位「%1」的值「%2」不是%3")
                      .arg(column.caption, value.toString(), what),
                  QStringLiteral("ReportTable"));
}

}  // namespace

ReportTable::ReportTable(QVector<ReportColumn> columns)
    : columns_(std::move(columns)), cells_(static_cast<std::size_t>(columns_.size())) {}

quint32 ReportTable::intern(Cells& cells, const QString& text) {
    if (cells.distinct.isEmpty()) {
        // The empty text (and NULL) is always the first.
        cells.distinct << QString();
    }
    if (cells.index.size() != cells.distinct.size()) {
        cells.index.clear();
        for (qsizetype i = 0; i < cells.distinct.size(); ++i) {
            cells.index.insert(cells.distinct.at(i), static_cast<quint32>(i));
        }
    }
    const auto found = cells.index.constFind(text);
    if (found != cells.index.constEnd()) {
        return found.value();
    }
    const auto place = static_cast<quint32>(cells.distinct.size());
    cells.distinct << text;
    cells.index.insert(text, place);
    return place;
}

void ReportTable::append(int column, const QVariant& value) {
    const ReportColumn& described = columns_.at(column);
    Cells& cells = cells_[static_cast<std::size_t>(column)];
    if (described.type == CellType::Text) {
        cells.texts.push_back(intern(cells, cellText(value)));
        return;
    }
    if (!value.isValid() || value.isNull()) {
        cells.numbers.push_back(kNull);
        return;
    }
    qint64 number = 0;
    switch (described.type) {
        case CellType::Integer:
            if (!isWholeNumber(value, &number)) {
                bool whole = false;
                number = value.toString().trimmed().toLongLong(&whole);
                if (!whole) {
                    refuse(described, value, QStringLiteral("整數"));
                }
            }
            break;
        case CellType::Date:
        case CellType::Time: {
            const QDateTime time = value.typeId() == QMetaType::QDate ? value.toDate().startOfDay()
                                                                      : Dialect::readTime(value);
            if (!time.isValid()) {
                refuse(described, value,
                       described.type == CellType::Date ? QStringLiteral("日期")
                                                        : QStringLiteral("時間"));
            }
            number = described.type == CellType::Date ? encodeTime(time.date().startOfDay())
                                                      : encodeTime(time);
            break;
        }
        case CellType::Text:
            break;
    }
    cells.numbers.push_back(number);
}

void ReportTable::appendRow(const QVariantList& values) {
    try {
        for (int column = 0; column < columnCount(); ++column) {
            append(column, values.value(column));
        }
    } catch (...) {
        // A refused value leaves the table as it was before the row.
        for (Cells& cells : cells_) {
            cells.numbers.resize(std::min(cells.numbers.size(), std::size_t(rows_)));
            cells.texts.resize(std::min(cells.texts.size(), std::size_t(rows_)));
        }
        throw;
    }
    ++rows_;
}

QVariant ReportTable::value(int row, int column) const {
    const Cells& cells = cells_[static_cast<std::size_t>(column)];
    const CellType type = columns_.at(column).type;
    if (type == CellType::Text) {
        return cells.distinct.at(cells.texts[static_cast<std::size_t>(row)]);
    }
    const qint64 number = cells.numbers[static_cast<std::size_t>(row)];
    if (number == kNull) {
        return {};
    }
    switch (type) {
        case CellType::Integer:
            return QVariant::fromValue<qlonglong>(number);
        case CellType::Date:
            return decodeDate(number);
        default:
            return decodeTime(number);
    }
}

QString ReportTable::text(int row, int column) const {
    const Cells& cells = cells_[static_cast<std::size_t>(column)];
    const ReportColumn& described = columns_.at(column);
    if (described.type == CellType::Text) {
        return cells.distinct.at(cells.texts[static_cast<std::size_t>(row)]);
    }
    const qint64 number = cells.numbers[static_cast<std::size_t>(row)];
    if (number == kNull) {
        return {};
    }
    switch (described.type) {
        case CellType::Integer:
            return FormatWholeNumber(number, described.numberFormat);
        case CellType::Date:
            return decodeDate(number).toString(QStringLiteral("yyyy/MM/dd"));
        default:
            return TimeText(decodeTime(number));
    }
}

void ReportTable::compact() {
    for (Cells& cells : cells_) {
        cells.index = {};
        cells.numbers.shrink_to_fit();
        cells.texts.shrink_to_fit();
        cells.distinct.squeeze();
    }
}

void ReportTable::retype(int column, CellType type) {
    ReportColumn& described = columns_[column];
    if (described.type == type) {
        return;
    }
    // Only a column of NULLs takes another type than text: its values stay NULL.
    Cells retyped;
    for (int row = 0; row < rows_; ++row) {
        if (type == CellType::Text) {
            retyped.texts.push_back(intern(retyped, text(row, column)));
        } else {
            retyped.numbers.push_back(kNull);
        }
    }
    cells_[static_cast<std::size_t>(column)] = std::move(retyped);
    described.type = type;
}

ReportTable ReportTable::read(Database& db, const Statement& statement,
                              QVector<ReportColumn> declared) {
    TableReader rows(db, statement);
    const QSqlRecord& record = rows.columns();
    const int columns = rows.columnCount();
    // Per column: left to what it holds, a value seen, every value seen a number.
    std::vector<char> open(static_cast<std::size_t>(columns), 0);
    std::vector<char> seen(static_cast<std::size_t>(columns), 0);
    std::vector<char> numbersOnly(static_cast<std::size_t>(columns), 1);
    QVector<ReportColumn> described;
    described.reserve(columns);
    for (int column = 0; column < columns; ++column) {
        ReportColumn one;
        if (column < declared.size()) {
            one = std::move(declared[column]);
        } else {
            one.type = declaredType(record.field(column).metaType());
            open[static_cast<std::size_t>(column)] = 1;
        }
        if (one.caption.isEmpty()) {
            one.caption = record.fieldName(column);
        }
        described << std::move(one);
    }
    ReportTable table(std::move(described));

    QVariantList values;
    values.reserve(columns);
    while (rows.next()) {
        values.clear();
        for (int column = 0; column < columns; ++column) {
            QVariant value = rows.value(column);
            const auto at = static_cast<std::size_t>(column);
            if (open[at] != 0 && value.isValid() && !value.isNull()) {
                numbersOnly[at] &= isNumericType(value.metaType()) ? 1 : 0;
                const CellType natural = naturalType(value);
                const CellType now = table.columns_.at(column).type;
                if (natural != now) {
                    // A first value decides a column of NULLs; a value of another type than
                    // those before it makes the column text.
                    table.retype(column, seen[at] != 0 ? CellType::Text : natural);
                }
                seen[at] = 1;
            }
            values << std::move(value);
        }
        table.appendRow(values);
    }
    for (int column = 0; column < columns; ++column) {
        const auto at = static_cast<std::size_t>(column);
        if (open[at] == 0) {
            continue;
        }
        // A column of NULLs only is aligned by the type the result declares for it.
        const bool numeric =
            seen[at] != 0 ? numbersOnly[at] != 0 : isNumericType(record.field(column).metaType());
        table.columns_[column].alignment = numeric ? Qt::AlignRight : Qt::AlignLeft;
    }
    return table;
}

// --- ReportGridModel ---

ReportGridModel::ReportGridModel(QObject* parent) : QAbstractTableModel(parent) {}

void ReportGridModel::setTable(ReportTable table) {
    beginResetModel();
    table_ = std::move(table);
    table_.compact();
    captions_.clear();
    for (const ReportColumn& column : table_.columns()) {
        captions_ << column.caption;
    }
    order_.resize(static_cast<std::size_t>(table_.rowCount()));
    std::iota(order_.begin(), order_.end(), 0);
    pinned_.assign(
        static_cast<std::size_t>(pinnedRows_) * static_cast<std::size_t>(table_.columnCount()),
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

QString ReportGridModel::cell(int row, int column) const {
    if (row < pinnedRows_) {
        return pinned_[static_cast<std::size_t>(row) * captions_.size() + column];
    }
    return table_.text(order_[static_cast<std::size_t>(row - pinnedRows_)], column);
}

QString ReportGridModel::text(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) {
        return {};
    }
    return cell(row, column);
}

QVariant ReportGridModel::value(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) {
        return {};
    }
    if (row < pinnedRows_) {
        return cell(row, column);
    }
    return table_.value(order_[static_cast<std::size_t>(row - pinnedRows_)], column);
}

const ReportColumn& ReportGridModel::column(int column) const {
    return table_.column(column);
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
    return column >= 0 && column < columnCount() ? table_.column(column).alignment
                                                 : Qt::Alignment(Qt::AlignLeft);
}

void ReportGridModel::setAlignment(int column, Qt::Alignment alignment) {
    if (column < 0 || column >= columnCount()) {
        return;
    }
    table_.columns_[column].alignment = alignment;
    if (rowCount() > 0) {
        Q_EMIT dataChanged(index(0, column), index(rowCount() - 1, column),
                           {Qt::TextAlignmentRole});
    }
}

namespace {

// The rank of each text under a sort kind: equal keys share a rank, a greater key has a
// greater rank.
std::vector<qint64> rankTexts(const QStringList& texts, SortKind kind) {
    const std::size_t count = static_cast<std::size_t>(texts.size());
    std::vector<SortKey> keys(count);
    std::vector<QString> folded;
    if (kind == SortKind::TextNoCase) {
        folded.resize(count);
    }
    for (std::size_t i = 0; i < count; ++i) {
        const QString& text = texts.at(static_cast<qsizetype>(i));
        SortKey& key = keys[i];
        key.position = static_cast<int>(i);
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
                folded[i] = text.toCaseFolded();
                key.text = folded[i];
                break;
            case SortKind::Text:
                key.text = text;
                break;
        }
    }
    std::vector<SortKey> sorted = keys;
    std::sort(sorted.begin(), sorted.end(), keyLess);
    std::vector<qint64> ranks(count);
    qint64 rank = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0 && keyLess(sorted[i - 1], sorted[i])) {
            ++rank;
        }
        ranks[static_cast<std::size_t>(sorted[i].position)] = rank;
    }
    return ranks;
}

// One data row's place in a sort: rows compare by category, then by value.
struct RowKey {
    int category = 0;
    qint64 value = 0;
    int position = 0;  // the row's place before the sort
};

bool rowLess(const RowKey& a, const RowKey& b) {
    return a.category != b.category ? a.category < b.category : a.value < b.value;
}

}  // namespace

void ReportGridModel::sort(int column, Qt::SortOrder order) {
    sort(column, order, SortKind::Generic);
}

void ReportGridModel::sort(int column, Qt::SortOrder order, SortKind kind) {
    const int rows = dataRowCount();
    if (column < 0 || column >= columnCount() || rows < 2) {
        return;
    }
    // The keys, read once: for texts the rank of each different text (numbers parsed, texts
    // folded once per text, not per row), for whole numbers and times the values themselves.
    const ReportTable::Cells& cells = table_.cells_[static_cast<std::size_t>(column)];
    const CellType type = table_.column(column).type;
    std::vector<RowKey> keys(static_cast<std::size_t>(rows));
    std::vector<qint64> ranks;
    if (type == CellType::Text) {
        ranks = rankTexts(cells.distinct, kind);
    } else if (type == CellType::Integer &&
               (kind == SortKind::Text || kind == SortKind::TextNoCase)) {
        // Whole numbers compared as the texts the grid shows.
        QStringList shown;
        shown.reserve(rows);
        for (int position = 0; position < rows; ++position) {
            shown << table_.text(order_[static_cast<std::size_t>(position)], column);
        }
        ranks = rankTexts(shown, kind);
    }
    for (int position = 0; position < rows; ++position) {
        const auto row = static_cast<std::size_t>(order_[static_cast<std::size_t>(position)]);
        RowKey& key = keys[static_cast<std::size_t>(position)];
        key.position = position;
        if (type == CellType::Text) {
            key.value = ranks[cells.texts[row]];
        } else if (!ranks.empty()) {
            key.value = ranks[static_cast<std::size_t>(position)];
        } else if (cells.numbers[row] == kNull) {
            // Empty first, as among texts; a number-only sort counts it as 0.
            key.category = kind == SortKind::Numeric && type == CellType::Integer ? 1 : 0;
        } else {
            key.category = 1;
            key.value = cells.numbers[row];
        }
    }
    if (order == Qt::AscendingOrder) {
        std::stable_sort(keys.begin(), keys.end(), rowLess);
    } else {
        std::stable_sort(keys.begin(), keys.end(),
                         [](const RowKey& a, const RowKey& b) { return rowLess(b, a); });
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
    // A new fill shows every column at its width (or the default width), as the captions come
    // without arrow.
    for (int column = 0; column < model_->columnCount(); ++column) {
        const int twips = model_->column(column).widthTwips;
        header_->resizeSection(
            column, twips > 0 ? TwipsToPixelsX(twips, this) : header_->defaultSectionSize());
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
                GridMouseUP(this, mouse->button(), mouse->modifiers(), mouse->position().toPoint());
            }
        }
    }
    return QTableView::eventFilter(watched, event);
}

bool GridMouseUP(ReportGrid* grid, Qt::MouseButton button, Qt::KeyboardModifiers shift,
                 const QPoint& position) {
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
                        model->column(column).sortKind);
        }) == StepOutcome::Left) {
        return false;
    }
    return procedure.step([&] {
        grid->selectionModel()->setCurrentIndex(model->index(row, column),
                                                QItemSelectionModel::ClearAndSelect);
    }) != StepOutcome::Left;
}

}  // namespace quorvane
