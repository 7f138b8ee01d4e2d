#include "ui/ReportGrid.h"

#include "core/Failure.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"
#include "ui/Twips.h"

#include <QAbstractItemModelTester>
#include <QFont>
#include <QImage>
#include <QItemSelectionModel>
#include <QLoggingCategory>
#include <QPersistentModelIndex>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <ostream>
#include <tuple>
#include <vector>

using namespace Qt::StringLiterals;

namespace quorvane {
namespace {

// The model tester reports through the "qt.modeltest" category; every report fails the test.
class ModelTesterWarnings {
public:
    ModelTesterWarnings() {
        messages().clear();
        previous_ = qInstallMessageHandler(&ModelTesterWarnings::handle);
        previousHandler() = previous_;
    }
    ~ModelTesterWarnings() { qInstallMessageHandler(previous_); }
    ModelTesterWarnings(const ModelTesterWarnings&) = delete;
    ModelTesterWarnings& operator=(const ModelTesterWarnings&) = delete;

    static QStringList& messages() {
        static QStringList list;
        return list;
    }

private:
    static QtMessageHandler& previousHandler() {
        static QtMessageHandler handler = nullptr;
        return handler;
    }
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (context.category != nullptr && qstrcmp(context.category, "qt.modeltest") == 0) {
            messages() << text;
            return;
        }
        if (previousHandler() != nullptr) {
            previousHandler()(type, context, text);
        }
    }

    QtMessageHandler previous_ = nullptr;
};

// A table of text columns.
ReportTable MakeTable(const QStringList& captions, const std::vector<QStringList>& rows) {
    QVector<ReportColumn> columns;
    for (const QString& caption : captions) {
        columns.push_back({caption});
    }
    ReportTable table(columns);
    for (const QStringList& row : rows) {
        table.appendRow(QVariantList(row.begin(), row.end()));
    }
    return table;
}

// A grid shown on the screen, with its model under the model tester for the whole test.
class GridTest : public ::testing::Test {
protected:
    void SetUp() override {
        grid_ = std::make_unique<ReportGrid>();
        grid_->setObjectName(u"flxMain"_s);
        tester_ = std::make_unique<QAbstractItemModelTester>(
            grid_->gridModel(), QAbstractItemModelTester::FailureReportingMode::Warning);
        grid_->resize(640, 360);
        grid_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(grid_.get()));
    }

    void TearDown() override {
        tester_.reset();
        EXPECT_TRUE(ModelTesterWarnings::messages().isEmpty())
            << ModelTesterWarnings::messages().join(u'\n').toStdString();
    }

    ReportGridModel* model() const { return grid_->gridModel(); }
    ReportGridHeader* header() const { return grid_->gridHeader(); }

    // Fills the grid: column 0 holds the keys given, column 1 the row's place before the sort.
    void fillKeys(const QStringList& keys) {
        std::vector<QStringList> rows;
        for (int row = 0; row < keys.size(); ++row) {
            rows.push_back({keys.at(row), QString::number(row)});
        }
        grid_->setTable(MakeTable({u"鍵"_s, u"項次"_s}, rows));
    }

    QStringList column(int column) const {
        QStringList texts;
        for (int row = model()->pinnedRowCount(); row < model()->rowCount(); ++row) {
            texts << model()->text(row, column);
        }
        return texts;
    }

    QPoint captionCentre(int column) const {
        return {header()->sectionViewportPosition(column) + header()->sectionSize(column) / 2,
                header()->captionHeight() / 2};
    }

    void clickCaption(int column, Qt::MouseButton button = Qt::LeftButton) const {
        QTest::mouseClick(header()->viewport(), button, Qt::NoModifier, captionCentre(column));
    }

    int arrowStep() const { return TwipsToPixelsX(240, grid_.get()); }

    ModelTesterWarnings warnings_;
    std::unique_ptr<ReportGrid> grid_;
    std::unique_ptr<QAbstractItemModelTester> tester_;
};

// --- Reading cells ---

struct NumberCase {
    const char16_t* text;
    bool isNumber;
    double value;
};

std::ostream& operator<<(std::ostream& os, const NumberCase& c) {
    return os << QString::fromUtf16(c.text).toStdString();
}

class CellNumbers : public ::testing::TestWithParam<NumberCase> {};

TEST_P(CellNumbers, ReadsWhatAReportShowsAsNumbers) {
    const NumberCase& c = GetParam();
    double value = -999.0;
    EXPECT_EQ(ParseCellNumber(QString::fromUtf16(c.text), &value), c.isNumber);
    if (c.isNumber) {
        EXPECT_DOUBLE_EQ(value, c.value);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cells, CellNumbers,
    ::testing::Values(NumberCase{u"1,000", true, 1000}, NumberCase{u"0000012345", true, 12345},
                      NumberCase{u"-12.5", true, -12.5}, NumberCase{u" 42 ", true, 42},
                      NumberCase{u"+7", true, 7}, NumberCase{u"1,234,567.89", true, 1234567.89},
                      NumberCase{u"0", true, 0}, NumberCase{u"9999999999999", true, 9999999999999},
                      NumberCase{u"123456789012345678901", true, 123456789012345678901.0},
                      NumberCase{u".5", true, 0.5}, NumberCase{u"", false, 0},
                      NumberCase{u"   ", false, 0}, NumberCase{u"-", false, 0},
                      NumberCase{u".", false, 0}, NumberCase{u"1.2.3", false, 0},
                      NumberCase{u"1.000,5", false, 0}, NumberCase{u"12a", false, 0},
                      NumberCase{u"2026/12/11 10:00", false, 0}, NumberCase{u"王小明", false, 0},
                      NumberCase{u"1 000", false, 0}));

TEST(SortKinds, NumbersThatAreNoKindCountAsGeneric) {
    const std::vector<std::pair<int, SortKind>> cases = {
        {0, SortKind::Generic},  {2, SortKind::Numeric}, {4, SortKind::TextNoCase},
        {6, SortKind::Text},     {1, SortKind::Generic}, {3, SortKind::Generic},
        {5, SortKind::Generic},  {7, SortKind::Generic}, {8, SortKind::Generic},
        {-2, SortKind::Generic},
    };
    for (const auto& [code, kind] : cases) {
        EXPECT_EQ(SortKindFromCode(code), kind) << code;
    }
}

TEST(Captions, LoseOnlyOneTrailingArrow) {
    EXPECT_EQ(CaptionWithoutArrow(u"金額△"_s), u"金額"_s);
    EXPECT_EQ(CaptionWithoutArrow(u"金額▽"_s), u"金額"_s);
    EXPECT_EQ(CaptionWithoutArrow(u"金額"_s), u"金額"_s);
    EXPECT_EQ(CaptionWithoutArrow(u"△金額"_s), u"△金額"_s);
    EXPECT_EQ(CaptionWithoutArrow(u"金額△▽"_s), u"金額△"_s);
}

// --- Sort order by kind and direction ---

struct OrderCase {
    const char* name;
    SortKind kind;
    Qt::SortOrder order;
    QStringList keys;
    QStringList sorted;
};

std::ostream& operator<<(std::ostream& os, const OrderCase& c) {
    return os << c.name;
}

class SortOrders : public GridTest, public ::testing::WithParamInterface<OrderCase> {};

TEST_P(SortOrders, OrderTheDataRows) {
    const OrderCase& c = GetParam();
    fillKeys(c.keys);
    model()->sort(0, c.order, c.kind);
    EXPECT_EQ(column(0), c.sorted);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, SortOrders,
    ::testing::Values(OrderCase{"GenericAmountsAscending",
                                SortKind::Generic,
                                Qt::AscendingOrder,
                                {u"1,000"_s, u"200"_s, u"30"_s, u"4,000"_s, u"-5"_s},
                                {u"-5"_s, u"30"_s, u"200"_s, u"1,000"_s, u"4,000"_s}},
                      OrderCase{"GenericAmountsDescending",
                                SortKind::Generic,
                                Qt::DescendingOrder,
                                {u"1,000"_s, u"200"_s, u"30"_s, u"4,000"_s, u"-5"_s},
                                {u"4,000"_s, u"1,000"_s, u"200"_s, u"30"_s, u"-5"_s}},
                      OrderCase{"GenericSerials",
                                SortKind::Generic,
                                Qt::AscendingOrder,
                                {u"0000000100"_s, u"0000000020"_s, u"3"_s},
                                {u"3"_s, u"0000000020"_s, u"0000000100"_s}},
                      OrderCase{"GenericTextsCaseSensitive",
                                SortKind::Generic,
                                Qt::AscendingOrder,
                                {u"b"_s, u"B"_s, u"a"_s},
                                {u"B"_s, u"a"_s, u"b"_s}},
                      OrderCase{"GenericEmptyThenNumbersThenTexts",
                                SortKind::Generic,
                                Qt::AscendingOrder,
                                {u"x"_s, u"10"_s, u""_s, u"9"_s},
                                {u""_s, u"9"_s, u"10"_s, u"x"_s}},
                      OrderCase{"GenericMixedDescending",
                                SortKind::Generic,
                                Qt::DescendingOrder,
                                {u"x"_s, u"10"_s, u""_s, u"9"_s},
                                {u"x"_s, u"10"_s, u"9"_s, u""_s}},
                      OrderCase{
                          "GenericDates",
                          SortKind::Generic,
                          Qt::AscendingOrder,
                          {u"2026/12/11 10:00"_s, u"2026/01/02 09:00"_s, u"2025/12/31 23:59"_s},
                          {u"2025/12/31 23:59"_s, u"2026/01/02 09:00"_s, u"2026/12/11 10:00"_s}},
                      OrderCase{"GenericChineseByCodePoint",
                                SortKind::Generic,
                                Qt::AscendingOrder,
                                {u"陳大文"_s, u"王小明"_s, u"李四"_s},
                                {u"李四"_s, u"王小明"_s, u"陳大文"_s}},
                      OrderCase{"NumericTextCountsAsZero",
                                SortKind::Numeric,
                                Qt::AscendingOrder,
                                {u"abc"_s, u"5"_s, u"-1"_s, u"1,000"_s},
                                {u"-1"_s, u"abc"_s, u"5"_s, u"1,000"_s}},
                      OrderCase{"NumericDescending",
                                SortKind::Numeric,
                                Qt::DescendingOrder,
                                {u"2"_s, u"10"_s, u"1,000"_s},
                                {u"1,000"_s, u"10"_s, u"2"_s}},
                      OrderCase{"TextComparesNumbersAsText",
                                SortKind::Text,
                                Qt::AscendingOrder,
                                {u"10"_s, u"9"_s, u"1,000"_s},
                                {u"1,000"_s, u"10"_s, u"9"_s}},
                      OrderCase{"TextCaseSensitive",
                                SortKind::Text,
                                Qt::AscendingOrder,
                                {u"b"_s, u"A"_s, u"a"_s, u"B"_s},
                                {u"A"_s, u"B"_s, u"a"_s, u"b"_s}},
                      OrderCase{"TextIgnoringCase",
                                SortKind::TextNoCase,
                                Qt::AscendingOrder,
                                {u"b"_s, u"A"_s, u"a"_s, u"B"_s},
                                {u"A"_s, u"a"_s, u"b"_s, u"B"_s}},
                      OrderCase{"TextIgnoringCaseDescending",
                                SortKind::TextNoCase,
                                Qt::DescendingOrder,
                                {u"b"_s, u"A"_s, u"a"_s, u"B"_s},
                                {u"b"_s, u"B"_s, u"A"_s, u"a"_s}}),
    [](const ::testing::TestParamInfo<OrderCase>& info) { return std::string(info.param.name); });

TEST_F(GridTest, EqualKeysKeepTheirOrderBothWays) {
    fillKeys({u"1"_s, u"2"_s, u"1"_s, u"2"_s, u"1"_s, u"1,000"_s, u"1000"_s});
    model()->sort(0, Qt::AscendingOrder);
    EXPECT_EQ(column(1), (QStringList{u"0"_s, u"2"_s, u"4"_s, u"1"_s, u"3"_s, u"5"_s, u"6"_s}));
    // Descending from the ascending order: the equal keys are still in the order they were in.
    model()->sort(0, Qt::DescendingOrder);
    EXPECT_EQ(column(1), (QStringList{u"5"_s, u"6"_s, u"1"_s, u"3"_s, u"0"_s, u"2"_s, u"4"_s}));
}

TEST_F(GridTest, PersistentIndexesFollowTheirRows) {
    fillKeys({u"c"_s, u"a"_s, u"b"_s});
    const QPersistentModelIndex rowOfB(model()->index(2, 1));
    grid_->setCurrentIndex(model()->index(0, 1));
    model()->sort(0, Qt::AscendingOrder);
    EXPECT_EQ(rowOfB.row(), 1);
    EXPECT_EQ(rowOfB.data().toString(), u"2"_s);
    EXPECT_EQ(grid_->currentIndex().row(), 2);
    EXPECT_EQ(grid_->currentIndex().data().toString(), u"0"_s);
}

// --- The header click ---

TEST_F(GridTest, ClicksMoveTheArrowAndWidenTheColumnThatGainsIt) {
    grid_->setTable(MakeTable({u"票卷流水號"_s, u"公司名稱"_s, u"票卷價格"_s},
                              {{u"0000000002"_s, u"乙"_s, u"1,000"_s},
                               {u"0000000003"_s, u"甲"_s, u"500"_s},
                               {u"0000000001"_s, u"丙"_s, u"10,000"_s}}));
    const int width0 = header()->sectionSize(0);
    const int width2 = header()->sectionSize(2);

    clickCaption(0);
    EXPECT_EQ(model()->caption(0), u"票卷流水號△"_s);
    EXPECT_EQ(header()->sectionSize(0), width0 + arrowStep());
    EXPECT_EQ(column(0), (QStringList{u"0000000001"_s, u"0000000002"_s, u"0000000003"_s}));

    clickCaption(0);
    EXPECT_EQ(model()->caption(0), u"票卷流水號▽"_s);
    EXPECT_EQ(header()->sectionSize(0), width0 + arrowStep());
    EXPECT_EQ(column(0), (QStringList{u"0000000003"_s, u"0000000002"_s, u"0000000001"_s}));

    clickCaption(0);
    EXPECT_EQ(model()->caption(0), u"票卷流水號△"_s);
    EXPECT_EQ(header()->sectionSize(0), width0 + arrowStep());
    EXPECT_EQ(column(0), (QStringList{u"0000000001"_s, u"0000000002"_s, u"0000000003"_s}));

    // Another column takes the arrow: the first loses it and narrows back.
    clickCaption(2);
    EXPECT_EQ(model()->caption(0), u"票卷流水號"_s);
    EXPECT_EQ(header()->sectionSize(0), width0);
    EXPECT_EQ(model()->caption(2), u"票卷價格△"_s);
    EXPECT_EQ(header()->sectionSize(2), width2 + arrowStep());
    EXPECT_EQ(column(2), (QStringList{u"500"_s, u"1,000"_s, u"10,000"_s}));
    EXPECT_EQ(grid_->captions(), (QStringList{u"票卷流水號"_s, u"公司名稱"_s, u"票卷價格"_s}));

    int arrows = 0;
    for (int c = 0; c < model()->columnCount(); ++c) {
        arrows += model()->caption(c) != CaptionWithoutArrow(model()->caption(c)) ? 1 : 0;
    }
    EXPECT_EQ(arrows, 1);
}

TEST_F(GridTest, ClickMakesTheClickedColumnCurrentInTheSameRow) {
    fillKeys({u"c"_s, u"a"_s, u"b"_s, u"d"_s});
    grid_->setCurrentIndex(model()->index(2, 0));
    EXPECT_TRUE(GridMouseUP(grid_.get(), Qt::LeftButton, Qt::NoModifier, captionCentre(1)));
    EXPECT_EQ(grid_->currentIndex().column(), 1);
    EXPECT_EQ(grid_->currentIndex().row(), 2);
    const QModelIndexList selected = grid_->selectionModel()->selectedIndexes();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected.first(), grid_->currentIndex());
}

TEST_F(GridTest, TheColumnsSortKindDecidesHowTheClickedColumnCompares) {
    ReportTable table({{u"甲"_s, CellType::Text, Qt::AlignLeft, SortKindFromCode(2)},
                       {u"乙"_s, CellType::Text, Qt::AlignLeft, SortKindFromCode(99)}});
    for (const QString& key : {u"abc"_s, u"5"_s, u"-1"_s, u"b"_s, u"A"_s}) {
        table.appendRow({key, key});
    }
    grid_->setTable(table);
    clickCaption(0);
    EXPECT_EQ(column(0), (QStringList{u"-1"_s, u"abc"_s, u"b"_s, u"A"_s, u"5"_s}));
    // An entry that is no kind sorts generically: numbers, then texts by code point.
    clickCaption(1);
    EXPECT_EQ(column(1), (QStringList{u"-1"_s, u"5"_s, u"A"_s, u"abc"_s, u"b"_s}));
}

TEST_F(GridTest, OneDataRowDoesNotSort) {
    grid_->setPinnedRowCount(1);
    fillKeys({u"only"_s});
    const int width = header()->sectionSize(0);
    clickCaption(0);
    EXPECT_EQ(model()->caption(0), u"鍵"_s);
    EXPECT_EQ(header()->sectionSize(0), width);
    EXPECT_FALSE(GridMouseUP(grid_.get(), Qt::LeftButton, Qt::NoModifier, captionCentre(0)));
}

TEST_F(GridTest, OtherButtonsDoNothing) {
    fillKeys({u"b"_s, u"a"_s});
    const int width = header()->sectionSize(0);
    clickCaption(0, Qt::RightButton);
    clickCaption(0, Qt::MiddleButton);
    EXPECT_EQ(model()->caption(0), u"鍵"_s);
    EXPECT_EQ(header()->sectionSize(0), width);
    EXPECT_EQ(column(0), (QStringList{u"b"_s, u"a"_s}));
}

TEST_F(GridTest, PressOnAColumnBorderResizesAndDoesNotSort) {
    fillKeys({u"b"_s, u"a"_s});
    const QPoint border(header()->sectionViewportPosition(0) + header()->sectionSize(0) - 1,
                        header()->captionHeight() / 2);
    ASSERT_TRUE(header()->isOnSectionBorder(border.x()));
    QTest::mousePress(header()->viewport(), Qt::LeftButton, Qt::NoModifier, border);
    QTest::mouseRelease(header()->viewport(), Qt::LeftButton, Qt::NoModifier, border);
    EXPECT_EQ(model()->caption(0), u"鍵"_s);
    EXPECT_EQ(column(0), (QStringList{u"b"_s, u"a"_s}));
    // The next plain click sorts.
    clickCaption(0);
    EXPECT_EQ(column(0), (QStringList{u"a"_s, u"b"_s}));
}

// --- Pinned rows ---

TEST_F(GridTest, TotalsRowStaysOnTopThroughSorts) {
    const ReportTable table =
        MakeTable({u"查詢項次"_s, u"票卷價格"_s},
                  {{u"1"_s, u"1,000"_s}, {u"2"_s, u"500"_s}, {u"3"_s, u"100"_s}});
    grid_->setTable(table);
    const int captionsOnly = header()->height();
    grid_->setPinnedRowCount(1);
    grid_->setTable(table);
    grid_->setPinnedText(0, 0, u"3"_s);
    grid_->setPinnedText(0, 1, u"1,600"_s);

    clickCaption(1);
    EXPECT_EQ(model()->text(0, 1), u"1,600"_s);
    EXPECT_EQ(column(1), (QStringList{u"100"_s, u"500"_s, u"1,000"_s}));
    clickCaption(1);
    EXPECT_EQ(model()->text(0, 1), u"1,600"_s);
    EXPECT_EQ(column(1), (QStringList{u"1,000"_s, u"500"_s, u"100"_s}));
    EXPECT_TRUE(model()->index(0, 0).data(ReportGridModel::PinnedRole).toBool());
    EXPECT_FALSE(model()->index(1, 0).data(ReportGridModel::PinnedRole).toBool());
    EXPECT_TRUE(model()->index(0, 0).data(Qt::FontRole).value<QFont>().bold());

    // Shown in a band of the header beneath the captions, not among the rows that scroll.
    EXPECT_TRUE(grid_->isRowHidden(0));
    EXPECT_FALSE(grid_->isRowHidden(1));
    const int rowHeight = grid_->verticalHeader()->defaultSectionSize();
    EXPECT_EQ(header()->height(), captionsOnly + rowHeight);
    EXPECT_EQ(header()->captionHeight(), captionsOnly);
    const QRect band(header()->sectionViewportPosition(1), header()->captionHeight(),
                     header()->sectionSize(1), rowHeight);
    const QImage before = header()->grab(band).toImage();
    grid_->setPinnedText(0, 1, u"9,999,999"_s);
    EXPECT_NE(header()->grab(band).toImage(), before);
}

TEST_F(GridTest, ClickOnTheTotalsBandIsNoCaptionClick) {
    grid_->setPinnedRowCount(1);
    fillKeys({u"b"_s, u"a"_s});
    const QPoint band(captionCentre(0).x(), header()->captionHeight() + 2);
    QTest::mouseClick(header()->viewport(), Qt::LeftButton, Qt::NoModifier, band);
    EXPECT_EQ(model()->caption(0), u"鍵"_s);
    EXPECT_EQ(column(0), (QStringList{u"b"_s, u"a"_s}));
}

TEST_F(GridTest, PinnedRowsSurviveAFillWithEmptyTexts) {
    fillKeys({u"b"_s, u"a"_s});
    const int captionsOnly = header()->height();
    grid_->setPinnedRowCount(1);
    fillKeys({u"b"_s, u"a"_s});
    grid_->setPinnedText(0, 0, u"合計"_s);
    fillKeys({u"c"_s, u"d"_s, u"e"_s});
    EXPECT_EQ(grid_->pinnedRowCount(), 1);
    EXPECT_EQ(model()->pinnedText(0, 0), QString());
    EXPECT_EQ(model()->rowCount(), 4);
    EXPECT_TRUE(grid_->isRowHidden(0));
    grid_->setPinnedRowCount(0);
    EXPECT_FALSE(grid_->isRowHidden(0));
    EXPECT_EQ(header()->height(), captionsOnly);
    // Texts outside the pinned rows or columns go nowhere.
    grid_->setPinnedText(0, 0, u"x"_s);
    grid_->setPinnedText(-1, 0, u"x"_s);
    EXPECT_EQ(model()->rowCount(), 3);
}

// --- The grid as the export reads it ---

TEST_F(GridTest, ShownRowsFollowTheSortWithCaptionsAndTotalsFirst) {
    grid_->setPinnedRowCount(1);
    grid_->setTable(MakeTable({u"公司名稱"_s, u"票卷價格"_s},
                              {{u"乙"_s, u"1,000"_s}, {u"甲"_s, u"500"_s}, {u"丙"_s, u"2,000"_s}}));
    grid_->setPinnedText(0, 1, u"3,500"_s);
    clickCaption(1);
    clickCaption(1);
    EXPECT_EQ(grid_->rows(), 5);
    EXPECT_EQ(grid_->cols(), 2);
    EXPECT_EQ(grid_->fixedRows(), 2);
    const QList<QStringList> expected = {
        {u"公司名稱"_s, u"票卷價格▽"_s}, {QString(), u"3,500"_s}, {u"丙"_s, u"2,000"_s},
        {u"乙"_s, u"1,000"_s},           {u"甲"_s, u"500"_s},
    };
    EXPECT_EQ(grid_->shownRows(), expected);
    EXPECT_EQ(grid_->textMatrix(2, 0), u"丙"_s);
    EXPECT_EQ(grid_->textMatrix(5, 0), QString());
    EXPECT_EQ(grid_->textMatrix(1, 7), QString());
    EXPECT_EQ(grid_->captions(), (QStringList{u"公司名稱"_s, u"票卷價格"_s}));
}

TEST_F(GridTest, ColumnWidthsInTwips) {
    grid_->setTable(MakeTable({u"甲"_s, u"乙"_s, u"丙"_s}, {}));
    const int pixelTwips = TwipsPerInch / 96 + 1;  // one pixel at the lowest DPI, in twips
    for (const int twips : {1100, 1500, 2150, 800}) {
        grid_->setColumnWidthTwips(1, twips);
        EXPECT_EQ(grid_->columnWidth(1), TwipsToPixelsX(twips, grid_.get()));
        EXPECT_NEAR(grid_->columnWidthTwips(1), twips, pixelTwips);
    }
}

TEST_F(GridTest, FillResetsWidthsAndArrowsComeFromTheNewCaptions) {
    fillKeys({u"b"_s, u"a"_s});
    const int width = header()->sectionSize(0);
    clickCaption(0);
    fillKeys({u"d"_s, u"c"_s});
    EXPECT_EQ(model()->caption(0), u"鍵"_s);
    EXPECT_EQ(header()->sectionSize(0), width);
    EXPECT_EQ(column(0), (QStringList{u"d"_s, u"c"_s}));
}

TEST_F(GridTest, TableRowsArePaddedAndCut) {
    ReportTable table({{u"甲"_s, CellType::Text, Qt::AlignRight}, {u"乙"_s}});
    table.appendRow({u"1"_s});
    table.appendRow({u"2"_s, u"b"_s, u"dropped"_s});
    grid_->setTable(table);
    EXPECT_EQ(model()->rowCount(), 2);
    EXPECT_EQ(model()->text(0, 1), QString());
    EXPECT_EQ(model()->text(1, 1), u"b"_s);
    EXPECT_EQ(model()->alignment(0), Qt::AlignRight);
    EXPECT_EQ(model()->alignment(1), Qt::AlignLeft);
    EXPECT_EQ(model()->index(0, 0).data(Qt::TextAlignmentRole).toInt(),
              int(Qt::AlignRight | Qt::AlignVCenter));
    grid_->clear();
    EXPECT_EQ(model()->rowCount(), 0);
    EXPECT_EQ(model()->columnCount(), 0);
}

// --- Typed columns ---

TEST(WholeNumbers, ShowAsTheirSpreadsheetFormat) {
    const std::vector<std::tuple<qint64, QString, QString>> cases = {
        {1000, u"###,##0"_s, u"1,000"_s},
        {0, u"###,##0"_s, u"0"_s},
        {999, u"#,##0"_s, u"999"_s},
        {-1234567, u"#,##0"_s, u"-1,234,567"_s},
        {42, u"0000000000"_s, u"0000000042"_s},
        {42, u"0000000000000"_s, u"0000000000042"_s},
        {12345678901, u"0000000000"_s, u"12345678901"_s},
        {5, u"0"_s, u"5"_s},
        {5, QString(), u"5"_s},
        {2026, u"yyyy/mm/dd"_s, u"2026"_s},
        {std::numeric_limits<qint64>::min() + 1, u"#,##0"_s, u"-9,223,372,036,854,775,807"_s},
    };
    for (const auto& [value, format, shown] : cases) {
        EXPECT_EQ(FormatWholeNumber(value, format), shown) << value << " " << format.toStdString();
    }
}

// The voucher report's kinds of column: a serial, an amount, a print time, a day and a name.
ReportTable VoucherColumns() {
    return ReportTable({
        {u"票卷流水號"_s, CellType::Integer, Qt::AlignRight, SortKind::Generic, u"0000000000"_s,
         1600},
        {u"票卷價格"_s, CellType::Integer, Qt::AlignRight, SortKind::Generic, u"###,##0"_s, 1050},
        {u"列印時間"_s, CellType::Time, Qt::AlignLeft, SortKind::Generic, u"yyyy/mm/dd hh:mm:ss"_s,
         1900},
        {u"信託保證期間起"_s, CellType::Date},
        {u"列印人員"_s},
    });
}

TEST_F(GridTest, TypedColumnsShowTheirValuesFormattedAndKeepThemTyped) {
    ReportTable table = VoucherColumns();
    const QDateTime printed(QDate(2026, 12, 11), QTime(10, 0, 5));
    table.appendRow({42, 1000, printed, QDate(2026, 1, 2), u"USER01"_s});
    // Values as the drivers give them: texts for times and numbers, NULLs.
    table.appendRow({u"7"_s, 500.0, u"2025-01-02 09:30:00"_s, u"2025-03-04"_s, QVariant()});
    table.appendRow({QVariant(), QVariant(), QVariant(), QVariant(), u"USER01"_s});
    grid_->setTable(table);

    const QList<QStringList> shown = {
        {u"票卷流水號"_s, u"票卷價格"_s, u"列印時間"_s, u"信託保證期間起"_s, u"列印人員"_s},
        {u"0000000042"_s, u"1,000"_s, u"2026/12/11 10:00:05"_s, u"2026/01/02"_s, u"USER01"_s},
        {u"0000000007"_s, u"500"_s, u"2025/01/02 09:30:00"_s, u"2025/03/04"_s, QString()},
        {QString(), QString(), QString(), QString(), u"USER01"_s},
    };
    EXPECT_EQ(grid_->shownRows(), shown);

    EXPECT_EQ(model()->value(0, 0), QVariant::fromValue<qlonglong>(42));
    EXPECT_EQ(model()->value(1, 1), QVariant::fromValue<qlonglong>(500));
    EXPECT_EQ(model()->value(0, 2), QVariant(printed));
    EXPECT_EQ(model()->value(1, 3), QVariant(QDate(2025, 3, 4)));
    EXPECT_EQ(model()->value(0, 4), QVariant(u"USER01"_s));
    EXPECT_FALSE(model()->value(2, 0).isValid());
    EXPECT_FALSE(model()->value(2, 2).isValid());
    EXPECT_EQ(model()->column(1).numberFormat, u"###,##0"_s);
    EXPECT_EQ(model()->index(0, 1).data(Qt::TextAlignmentRole).toInt(),
              int(Qt::AlignRight | Qt::AlignVCenter));

    // Each column opens at its own width; a column without one at the default.
    EXPECT_EQ(grid_->columnWidth(0), TwipsToPixelsX(1600, grid_.get()));
    EXPECT_EQ(grid_->columnWidth(2), TwipsToPixelsX(1900, grid_.get()));
    EXPECT_EQ(grid_->columnWidth(3), header()->defaultSectionSize());
}

TEST_F(GridTest, AValueThatIsNotOfItsColumnsTypeIsRefusedAndTheRowLeftOut) {
    struct Case {
        int column;
        QVariant value;
        QString message;
    };
    const std::vector<Case> cases = {
        {0, u"C0001"_s, u"報表欄位「票卷流水號」的值「C0001」不是整數"_s},
        {1, 12.5, u"報表欄位「票卷價格」的值「12.5」不是整數"_s},
        {2, u"明天"_s, u"報表欄位「列印時間」的值「明天」不是時間"_s},
        {3, u"2026/13/45"_s, u"報表欄位「信託保證期間起」的值「2026/13/45」不是日期"_s},
    };
    for (const Case& c : cases) {
        ReportTable table = VoucherColumns();
        table.appendRow({1, 100, QDateTime(QDate(2026, 1, 1), QTime(8, 0)), QDate(2026, 1, 1)});
        QVariantList row = {2, 200, QDateTime(QDate(2026, 1, 2), QTime(8, 0)), QDate(2026, 1, 2),
                            u"USER02"_s};
        row[c.column] = c.value;
        try {
            table.appendRow(row);
            ADD_FAILURE() << "accepted " << c.value.toString().toStdString();
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.description(), c.message);
        }
        // The table is as it was before the row, and takes the next one.
        ASSERT_EQ(table.rowCount(), 1);
        table.appendRow({3, 300});
        grid_->setTable(table);
        EXPECT_EQ(column(0), (QStringList{u"0000000001"_s, u"0000000003"_s}));
        EXPECT_EQ(column(4), (QStringList{QString(), QString()}));
    }
}

TEST_F(GridTest, TypedColumnsSortByTheirValues) {
    struct Case {
        const char* name;
        int column;
        SortKind kind;
        Qt::SortOrder order;
        QStringList sorted;
    };
    ReportTable filled = VoucherColumns();
    const std::vector<QVariantList> rows = {
        {100, 1000, QDateTime(QDate(2026, 12, 11), QTime(10, 0)), QDate(2026, 12, 11)},
        {9, 20, QDateTime(QDate(2025, 12, 31), QTime(23, 59)), QDate(2025, 12, 31)},
        {QVariant(), QVariant(), QVariant(), QVariant()},
        {-5, 500, QDateTime(QDate(2026, 1, 2), QTime(9, 0)), QDate(2026, 1, 2)},
    };
    for (const QVariantList& row : rows) {
        filled.appendRow(row);
    }
    const std::vector<Case> cases = {
        {"WholeNumbersEmptyFirst",
         0,
         SortKind::Generic,
         Qt::AscendingOrder,
         {QString(), u"-0000000005"_s, u"0000000009"_s, u"0000000100"_s}},
        {"WholeNumbersDescendingEmptyLast",
         0,
         SortKind::Generic,
         Qt::DescendingOrder,
         {u"0000000100"_s, u"0000000009"_s, u"-0000000005"_s, QString()}},
        {"NumericCountsEmptyAsZero",
         0,
         SortKind::Numeric,
         Qt::AscendingOrder,
         {u"-0000000005"_s, QString(), u"0000000009"_s, u"0000000100"_s}},
        {"AmountsAsNumbers",
         1,
         SortKind::Generic,
         Qt::AscendingOrder,
         {QString(), u"20"_s, u"500"_s, u"1,000"_s}},
        {"AmountsAsTheTextsShown",
         1,
         SortKind::Text,
         Qt::AscendingOrder,
         {QString(), u"1,000"_s, u"20"_s, u"500"_s}},
        {"Times",
         2,
         SortKind::Generic,
         Qt::AscendingOrder,
         {QString(), u"2025/12/31 23:59:00"_s, u"2026/01/02 09:00:00"_s, u"2026/12/11 10:00:00"_s}},
        {"TimesWhateverTheKind",
         2,
         SortKind::TextNoCase,
         Qt::DescendingOrder,
         {u"2026/12/11 10:00:00"_s, u"2026/01/02 09:00:00"_s, u"2025/12/31 23:59:00"_s, QString()}},
        {"Days",
         3,
         SortKind::Generic,
         Qt::AscendingOrder,
         {QString(), u"2025/12/31"_s, u"2026/01/02"_s, u"2026/12/11"_s}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        grid_->setTable(filled);
        model()->sort(c.column, c.order, c.kind);
        EXPECT_EQ(column(c.column), c.sorted);
    }
}

// --- Filling from a query, on each backend ---

class ReportTableRead : public testing::TestWithParam<test::Backend> {
protected:
    void SetUp() override {
        scratch_ = std::make_unique<test::ScratchDatabase>(GetParam());
        db_ = scratch_->connect();
        const bool sqlite = GetParam() == test::Backend::Sqlite;
        db_->ConnExecute(
            Statement(u"CREATE TABLE T (NoContract VARCHAR(20), "
                      u"NameCompany VARCHAR(40), AmountApprove INTEGER, "
                      u"TimePrint %1)"_s.arg(sqlite ? u"TEXT"_s : u"TIMESTAMP"_s)));
        const std::vector<QVariantList> rows = {
            {u"C0001"_s, u"王品"_s, 150000, QDateTime(QDate(2026, 12, 11), QTime(10, 0))},
            {u"C0002"_s, QVariant(), QVariant(), QVariant()},
            {u"0000000042"_s, u"大同"_s, 2500, QDateTime(QDate(2025, 1, 2), QTime(9, 30))},
        };
        for (const QVariantList& row : rows) {
            db_->ConnExecute(Statement(u"INSERT INTO T VALUES (?, ?, ?, ?)"_s, row));
        }
    }

    Statement query() const {
        return u"SELECT NoContract AS \"契約編號\", NameCompany AS \"發行業者\", "
               u"AmountApprove AS \"已核定額度\", NULL AS \"空白\", TimePrint AS \"列印時間\" "
               u"FROM T ORDER BY 1"_s;
    }

    static QStringList texts(const ReportTable& table, int column) {
        QStringList shown;
        for (int row = 0; row < table.rowCount(); ++row) {
            shown << table.text(row, column);
        }
        return shown;
    }

    std::unique_ptr<test::ScratchDatabase> scratch_;
    std::unique_ptr<Database> db_;
};

TEST_P(ReportTableRead, CaptionsTypesAndAlignmentsFromWhatTheColumnsHold) {
    const ReportTable table = ReportTable::read(*db_, query());
    ASSERT_EQ(table.columnCount(), 5);
    ASSERT_EQ(table.rowCount(), 3);
    QStringList captions;
    QVector<Qt::Alignment> alignments;
    for (const ReportColumn& column : table.columns()) {
        captions << column.caption;
        alignments << column.alignment;
    }
    EXPECT_EQ(captions, (QStringList{u"契約編號"_s, u"發行業者"_s, u"已核定額度"_s, u"空白"_s,
                                     u"列印時間"_s}));
    EXPECT_EQ(alignments, (QVector<Qt::Alignment>{Qt::AlignLeft, Qt::AlignLeft, Qt::AlignRight,
                                                  Qt::AlignLeft, Qt::AlignLeft}));
    EXPECT_EQ(texts(table, 0), (QStringList{u"0000000042"_s, u"C0001"_s, u"C0002"_s}));
    EXPECT_EQ(texts(table, 1), (QStringList{u"大同"_s, u"王品"_s, QString()}));
    EXPECT_EQ(texts(table, 2), (QStringList{u"2500"_s, u"150000"_s, QString()}));
    EXPECT_EQ(texts(table, 3), (QStringList{QString(), QString(), QString()}));
    EXPECT_EQ(table.column(2).type, CellType::Integer);
    EXPECT_EQ(table.value(1, 2), QVariant::fromValue<qlonglong>(150000));
    EXPECT_FALSE(table.value(2, 2).isValid());
}

TEST_P(ReportTableRead, DeclaredColumnsTakeTheirTypeFormatAndWidth) {
    const ReportTable table = ReportTable::read(
        *db_, query(),
        {{},
         {u"公司名稱"_s},
         {{}, CellType::Integer, Qt::AlignRight, SortKind::Numeric, u"###,##0"_s, 1200},
         {},
         {{}, CellType::Time, Qt::AlignLeft, SortKind::Generic, u"yyyy/mm/dd hh:mm:ss"_s}});
    EXPECT_EQ(table.column(0).caption, u"契約編號"_s);
    EXPECT_EQ(table.column(1).caption, u"公司名稱"_s);
    EXPECT_EQ(table.column(2).widthTwips, 1200);
    EXPECT_EQ(table.column(2).sortKind, SortKind::Numeric);
    EXPECT_EQ(texts(table, 2), (QStringList{u"2,500"_s, u"150,000"_s, QString()}));
    // Times stored as text on one backend and as timestamps on the other read alike.
    EXPECT_EQ(texts(table, 4),
              (QStringList{u"2025/01/02 09:30:00"_s, u"2026/12/11 10:00:00"_s, QString()}));
    EXPECT_EQ(table.value(1, 4), QVariant(QDateTime(QDate(2026, 12, 11), QTime(10, 0))));
}

TEST_P(ReportTableRead, AReadErrorPartWayIsAFailureNotAShorterReport) {
    const QString failingInTheThirdRow =
        GetParam() == test::Backend::Sqlite
            ? u"SELECT NoContract, CASE WHEN AmountApprove IS NOT NULL THEN AmountApprove "
              u"ELSE abs(-9223372036854775807 - 1) END FROM T ORDER BY 1"_s
            : u"SELECT NoContract, 10 / COALESCE(AmountApprove, 0) FROM T ORDER BY 1"_s;
    EXPECT_THROW(ReportTable::read(*db_, failingInTheThirdRow), DatabaseFailure);
    EXPECT_EQ(db_->openUnits(), 0);

    // A declared whole-number column meeting a text is refused by name.
    try {
        ReportTable::read(*db_, query(), {{{}, CellType::Integer}});
        ADD_FAILURE() << "a contract number was read as a whole number";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.description(), u"報表欄位「契約編號」的值「C0001」不是整數"_s);
    }
}

QUORVANE_INSTANTIATE_BACKENDS(ReportTableRead);

}  // namespace
}  // namespace quorvane
