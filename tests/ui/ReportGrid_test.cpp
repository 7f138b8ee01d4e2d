#include "ui/ReportGrid.h"

#include "support/ScriptedDialogs.h"
#include "ui/Twips.h"

#include <QAbstractItemModelTester>
#include <QFont>
#include <QImage>
#include <QItemSelectionModel>
#include <QLoggingCategory>
#include <QPersistentModelIndex>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <ostream>
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

ReportTable MakeTable(const QStringList& captions, const std::vector<QStringList>& rows) {
    ReportTable table;
    table.captions = captions;
    for (const QStringList& row : rows) {
        table.appendRow(row);
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
    EXPECT_EQ(SortArrowAscending(), u"△"_s);
    EXPECT_EQ(SortArrowDescending(), u"▽"_s);
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

TEST_F(GridTest, SortKindTableDecidesHowTheClickedColumnCompares) {
    grid_->setTable(MakeTable({u"甲"_s, u"乙"_s}, {{u"abc"_s, u"abc"_s},
                                                   {u"5"_s, u"5"_s},
                                                   {u"-1"_s, u"-1"_s},
                                                   {u"b"_s, u"b"_s},
                                                   {u"A"_s, u"A"_s}}));
    grid_->setSortKinds({2, 99});
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
    ReportTable table;
    table.captions = QStringList{u"甲"_s, u"乙"_s};
    table.alignments = {Qt::AlignRight};
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

// --- Filling from a query ---

TEST(ReportTableFromQuery, CaptionsTextsAndAlignments) {
    const QString name = u"report_grid_query"_s;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
        db.setDatabaseName(u":memory:"_s);
        ASSERT_TRUE(db.open());
        QSqlQuery query(db);
        ASSERT_TRUE(query.exec(
            u"CREATE TABLE T (NoContract TEXT, NameCompany TEXT, AmountApprove INTEGER)"_s));
        ASSERT_TRUE(
            query.exec(u"INSERT INTO T VALUES ('C0001', '王品', 150000), "
                       "('C0002', NULL, NULL), ('0000000042', '大同', 2500)"_s));
        ASSERT_TRUE(
            query.exec(u"SELECT NoContract AS 契約編號, NameCompany AS 發行業者, "
                       "AmountApprove AS 已核定額度, NULL AS 空白 FROM T ORDER BY 1"_s));
        const ReportTable table = ReportTable::fromQuery(query);
        EXPECT_EQ(table.captions,
                  (QStringList{u"契約編號"_s, u"發行業者"_s, u"已核定額度"_s, u"空白"_s}));
        ASSERT_EQ(table.rowCount(), 3);
        const std::vector<QString> cells = {
            u"0000000042"_s, u"大同"_s, u"2500"_s,  QString(), u"C0001"_s, u"王品"_s,
            u"150000"_s,     QString(), u"C0002"_s, QString(), QString(),  QString(),
        };
        EXPECT_EQ(table.cells, cells);
        ASSERT_EQ(table.alignments.size(), 4);
        EXPECT_EQ(table.alignments.at(0), Qt::AlignLeft);
        EXPECT_EQ(table.alignments.at(1), Qt::AlignLeft);
        EXPECT_EQ(table.alignments.at(2), Qt::AlignRight);
        EXPECT_EQ(table.alignments.at(3), Qt::AlignLeft);
    }
    QSqlDatabase::removeDatabase(name);
}

}  // namespace
}  // namespace quorvane
