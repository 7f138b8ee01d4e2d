#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QHeaderView>
#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QTableView>
#include <QVariant>
#include <QVariantList>
#include <QVector>

#include <utility>
#include <vector>

namespace quorvane {

class Database;
struct Statement;

// --- Cells and how they compare ---

// How a column's cells compare when the grid is sorted by it. The numbers are the grid's sort
// settings without the direction.
enum class SortKind : int {
    // Two cells that both read as numbers compare as numbers, two texts as texts. So that the
    // order is well defined in a column that mixes them, empty cells come first, then numbers,
    // then texts (descending: the other way round).
    Generic = 0,
    // Every cell as a number; a cell that is not one counts as 0.
    Numeric = 2,
    // Text, letter case ignored.
    TextNoCase = 4,
    // Text, letter case significant.
    Text = 6,
};
// The sort kind of a sort-kind table entry; any number that is not a kind counts as generic.
SortKind SortKindFromCode(int code);

// Reads a cell as a number: an optional sign, digits with thousands separators (",") ignored,
// an optional decimal part, blanks around it allowed. "1,000" is 1000, "0000012345" is 12345,
// "-12.5" is -12.5. False for anything else: an empty cell, a date, a name.
bool ParseCellNumber(QStringView text, double* number);

// A caption without the trailing sort arrow it may carry.
QString CaptionWithoutArrow(const QString& caption);

// --- What a report shows ---

// What a column's values are.
enum class CellType {
    Text,
    // Whole numbers, 64-bit: amounts, counts, serials, check codes.
    Integer,
    // A day.
    Date,
    // A day and a time of day (the database server's local time).
    Time,
};

// One column of a report: everything the grid shows it with and the export writes it with.
struct ReportColumn {
    ReportColumn() = default;
    // NOLINTNEXTLINE(google-explicit-constructor): a caption alone makes a text column
    ReportColumn(QString caption, CellType type = CellType::Text,
                 Qt::Alignment alignment = Qt::AlignLeft, SortKind sortKind = SortKind::Generic,
                 QString numberFormat = {}, int widthTwips = 0)
        : caption(std::move(caption)),
          type(type),
          alignment(alignment),
          sortKind(sortKind),
          numberFormat(std::move(numberFormat)),
          widthTwips(widthTwips) {}

    QString caption;
    CellType type = CellType::Text;
    Qt::Alignment alignment = Qt::AlignLeft;
    // How a caption click sorts the column. Whole numbers compare as numbers (NULL first)
    // except under the text kinds, which compare the texts shown; dates and times always
    // compare as times.
    SortKind sortKind = SortKind::Generic;
    // The spreadsheet number format the export gives the column ("###,##0", "0000000000",
    // "yyyy/mm/dd hh:mm:ss"); empty for the spreadsheet's general format. The grid shows whole
    // numbers with it too.
    QString numberFormat;
    // The width the grid gives the column when filled; 0 for the grid's default width.
    int widthTwips = 0;
};

// A whole number as a spreadsheet number format of digits shows it ("0", "###,##0",
// "0000000000"): at least as many digits as the format has zeros, with thousands separators
// when it has a comma. Any other format shows the plain number.
QString FormatWholeNumber(qint64 value, QStringView format);

// A report's rows: its columns and their values, typed and kept column by column (whole
// numbers and times as 64-bit numbers, each different text once per column), so that a large
// report takes little memory and the grid and the export read the values themselves, never
// their display texts.
class ReportTable {
public:
    ReportTable() = default;
    explicit ReportTable(QVector<ReportColumn> columns);

    int columnCount() const { return static_cast<int>(columns_.size()); }
    int rowCount() const { return rows_; }
    const QVector<ReportColumn>& columns() const { return columns_; }
    const ReportColumn& column(int column) const { return columns_.at(column); }

    // Appends one row; missing values are NULL, values beyond the columns are dropped. Each
    // value is converted to its column's type: NULL stays NULL, a value that is not of the
    // type raises a Failure naming the column and the value.
    void appendRow(const QVariantList& values);

    // A value as typed: QString, qlonglong, QDate or QDateTime; an invalid QVariant for NULL
    // (a text column reads NULL as the empty text).
    QVariant value(int row, int column) const;
    // A value as the grid shows it: whole numbers with the column's number format, dates as
    // "yyyy/MM/dd", times as "yyyy/MM/dd HH:mm:ss", NULL as empty.
    QString text(int row, int column) const;

    // Drops what only appending needs (the index of each column's texts).
    void compact();

    // Reads every row of a query through the table reader. Column n takes what `declared`
    // says at n (its caption when that is empty: the query's column name); the other columns
    // are captioned with the query's column names and typed by what they hold: whole numbers,
    // dates or times when every value is one, text otherwise, right-aligned when every value
    // is a number. A read error part-way raises DatabaseFailure.
    static ReportTable read(Database& db, const Statement& statement,
                            QVector<ReportColumn> declared = {});

private:
    friend class ReportGridModel;

    // The values of one column: numbers for whole numbers, dates and times, or for texts the
    // place of each row's text among the column's different texts.
    struct Cells {
        std::vector<qint64> numbers;
        std::vector<quint32> texts;
        QStringList distinct;
        QHash<QString, quint32> index;
    };

    void append(int column, const QVariant& value);
    quint32 intern(Cells& cells, const QString& text);
    // Gives a column another type: text, or any type to a column of NULLs.
    void retype(int column, CellType type);

    QVector<ReportColumn> columns_;
    std::vector<Cells> cells_;
    int rows_ = 0;
};

// The cells of a report grid. Model rows 0 .. pinnedRowCount() - 1 are the pinned rows (a
// totals row): they stay at the top through every sort. The data rows follow in the order the
// grid shows them; a sort reorders them in place with one layout change. Captions are the
// horizontal header; they carry the sort arrow the way the grid shows it.
class ReportGridModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // True for the cells of a pinned row.
    static constexpr int PinnedRole = Qt::UserRole + 1;

    explicit ReportGridModel(QObject* parent = nullptr);

    // Replaces the captions and the data rows in one model reset. The pinned rows stay, with
    // empty texts.
    void setTable(ReportTable table);
    // No columns, no rows (the pinned rows stay, empty).
    void clear();

    int pinnedRowCount() const { return pinnedRows_; }
    // Sets the number of pinned rows (with empty texts) in one model reset.
    void setPinnedRowCount(int count);
    // A pinned row's cell; a row or column outside the grid is ignored.
    void setPinnedText(int pinnedRow, int column, const QString& text);
    QString pinnedText(int pinnedRow, int column) const;

    int dataRowCount() const { return static_cast<int>(order_.size()); }
    // The text of a model row's cell as shown (pinned rows first, then the data rows as shown).
    QString text(int row, int column) const;
    // The value of a model row's cell as typed (ReportTable::value); a pinned row's cell is its
    // text.
    QVariant value(int row, int column) const;

    // A column as filled; its caption carries no arrow.
    const ReportColumn& column(int column) const;

    // A caption as the header shows it, with its arrow.
    QString caption(int column) const;
    void setCaption(int column, const QString& caption);
    Qt::Alignment alignment(int column) const;
    void setAlignment(int column, Qt::Alignment alignment);

    // Sorts the data rows by a column: keys read once, a stable sort of the row order (equal
    // keys keep the order they were in), one layout change with the persistent indexes
    // following their rows. The pinned rows do not move. The override sorts generically.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    void sort(int column, Qt::SortOrder order, SortKind kind);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    QString cell(int row, int column) const;

    // The data rows as filled; the column captions as the header shows them.
    ReportTable table_;
    QStringList captions_;
    // For each data row as shown, the row of table_ it shows.
    std::vector<int> order_;
    int pinnedRows_ = 0;
    // Pinned rows, row-major.
    std::vector<QString> pinned_;
};

// The grid's column header: the captions, and beneath them the pinned rows, so that those stay
// in view (and under their columns) however the grid is scrolled.
class ReportGridHeader : public QHeaderView {
    Q_OBJECT

public:
    explicit ReportGridHeader(QWidget* parent = nullptr);

    // Height of the caption row; the pinned rows take the rest of the header.
    int captionHeight() const;
    // The pinned rows drawn beneath the captions, and the height of one.
    void setPinnedBand(int rows, int rowHeight);
    int pinnedRows() const { return pinnedRows_; }
    // Whether a header position (x) is on the border between two sections, where a press
    // starts a resize instead of a click.
    bool isOnSectionBorder(int x) const;

    QSize sizeHint() const override;

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    int pinnedRows_ = 0;
    int rowHeight_ = 0;
};

// A read-only report grid: typed columns shown as text, uniform row heights, a caption row,
// optional pinned rows beneath it, and sorting by a click on a caption (GridMouseUP). Rows are
// numbered the way the grid shows them and the export reads them: row 0 the captions, then the
// pinned rows, then the data rows in the order shown.
class ReportGrid : public QTableView {
    Q_OBJECT

public:
    explicit ReportGrid(QWidget* parent = nullptr);
    ~ReportGrid() override;

    ReportGridModel* gridModel() const { return model_; }
    ReportGridHeader* gridHeader() const { return header_; }

    // Fills the grid (one model reset); each column gets its width, or the default width.
    void setTable(ReportTable table);
    void clear();

    // Pinned rows beneath the captions (1 for a totals row); a model reset like a fill, so set
    // it when preparing the grid. It stays through later fills.
    void setPinnedRowCount(int count);
    int pinnedRowCount() const;
    void setPinnedText(int pinnedRow, int column, const QString& text);

    // Column widths in twips, at the screen's logical DPI.
    void setColumnWidthTwips(int column, int twips);
    int columnWidthTwips(int column) const;

    // The grid as shown. rows() counts the caption row, the pinned rows and the data rows;
    // fixedRows() the caption row and the pinned rows.
    int rows() const;
    int cols() const;
    int fixedRows() const;
    // A cell as shown: row 0 the captions with their arrow, then the pinned rows, then the
    // data rows in the order shown. Empty outside the grid.
    QString textMatrix(int row, int column) const;
    // Every row as shown, numbered as textMatrix.
    QList<QStringList> shownRows() const;
    // The captions without the sort arrow.
    QStringList captions() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void modelWasReset();

    ReportGridModel* model_;
    ReportGridHeader* header_;
    // Rows of the table hidden because they are pinned.
    int hiddenRows_ = 0;
    // A press on a section border: its release ends a resize, not a click.
    bool pressOnBorder_ = false;
};

// The mouse released over a report grid's header (position in the header's coordinates): for
// the left button on a caption, when the grid has at least two data rows, the sort arrow moves
// to the clicked column ("△" ascending, a second click on it "▽" descending, then ascending
// again), a column losing its arrow narrows by 240 twips and one gaining it widens by as much,
// the data rows are sorted by the column with the column's sort kind, and the clicked column
// becomes current. True when it acted (false for a click it ignores, or when the user left it
// after a failure). Failures are shown with the location "modUI.GridMouseUP".
bool GridMouseUP(ReportGrid* grid, Qt::MouseButton button, Qt::KeyboardModifiers shift,
                 const QPoint& position);

}  // namespace quorvane
