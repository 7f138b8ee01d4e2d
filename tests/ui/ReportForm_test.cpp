#include "ui/ReportForm.h"

#include "support/ScriptedDialogs.h"
#include "ui/ReportGrid.h"
#include "ui/Twips.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace quorvane {
namespace {

// A report screen as the reports build on the base: its query fills the grid with a totals row.
class SampleReport : public ReportForm {
public:
    explicit SampleReport(Design design = {u"D9-測試報表"_s}) : ReportForm(std::move(design)) {
        setObjectName(u"frmRP_Sample"_s);
        flxMain()->setPinnedRowCount(1);
    }

    void runQuery() override {
        ++queries;
        ReportTable table(
            {{u"契約編號"_s, CellType::Text, Qt::AlignLeft, SortKind::Generic, {}, 2000},
             {u"剩餘額度"_s, CellType::Integer, Qt::AlignRight, SortKind::Generic, u"###,##0"_s}});
        table.appendRow({u"C0002"_s, 2000});
        table.appendRow({u"C0001"_s, 500});
        flxMain()->setTable(table);
        flxMain()->setPinnedText(0, 1, u"2,500"_s);
        setWindowTitle(designTitle() + u"：查詢共 2 筆"_s);
    }

    void exportGrid() override { ++exports; }

    int queries = 0;
    int exports = 0;
};

// Closes whatever deleteLater() left to close.
void FlushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(ReportForm, ToolbarKeysCaptionsAndShortcuts) {
    SampleReport report;
    ASSERT_NE(report.tlbMain(), nullptr);
    EXPECT_EQ(report.tlbMain()->objectName(), u"tlbMain"_s);
    EXPECT_EQ(report.flxMain()->objectName(), u"flxMain"_s);
    const struct {
        const char16_t* key;
        const char16_t* caption;
        Qt::Key shortcut;
    } keys[] = {{u"Query", u"查詢", Qt::Key_F5},
                {u"Export", u"匯出", Qt::Key_F7},
                {u"Quit", u"離開", Qt::Key_Escape}};
    QStringList order;
    for (QAction* action : report.tlbMain()->actions()) {
        order << action->objectName();
    }
    EXPECT_EQ(order, (QStringList{u"Query"_s, u"Export"_s, u"Quit"_s}));
    for (const auto& key : keys) {
        QAction* action = report.toolbarAction(QString::fromUtf16(key.key));
        ASSERT_NE(action, nullptr) << QString::fromUtf16(key.key).toStdString();
        EXPECT_EQ(action->text(), QString::fromUtf16(key.caption));
        EXPECT_EQ(action->shortcut(), QKeySequence(key.shortcut));
        EXPECT_EQ(action->toolTip(), QString::fromUtf16(key.caption));
    }
    EXPECT_EQ(report.toolbarAction(u"Print"_s), nullptr);
}

TEST(ReportForm, ToolbarRunsTheScreensQueryAndExport) {
    SampleReport report;
    report.toolbarAction(u"Query"_s)->trigger();
    EXPECT_EQ(report.queries, 1);
    EXPECT_EQ(report.flxMain()->rows(), 4);
    EXPECT_EQ(report.flxMain()->textMatrix(1, 1), u"2,500"_s);
    report.toolbarAction(u"Export"_s)->trigger();
    EXPECT_EQ(report.exports, 1);
    EXPECT_EQ(report.designTitle(), u"D9-測試報表"_s);
    EXPECT_EQ(report.windowTitle(), u"D9-測試報表：查詢共 2 筆"_s);
}

// Report screens open in the main window's area, as the program opens them.
class ReportInArea : public ::testing::Test {
protected:
    void SetUp() override {
        area_ = std::make_unique<QMdiArea>();
        area_->resize(1100, 800);
        report_ = new SampleReport;
        tester_ = std::make_unique<QAbstractItemModelTester>(
            report_->flxMain()->gridModel(), QAbstractItemModelTester::FailureReportingMode::Fatal);
        window_ = area_->addSubWindow(report_);
        // As the main window opens a screen: its window at the size the screen asks for.
        window_->resize(window_->sizeHint());
        area_->show();
        window_->show();
        area_->setActiveSubWindow(window_);
        area_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(area_.get()));
        report_->flxMain()->setFocus();
    }

    void TearDown() override {
        tester_.reset();
        area_.reset();
    }

    std::unique_ptr<QMdiArea> area_;
    QPointer<SampleReport> report_;
    QPointer<QMdiSubWindow> window_;
    std::unique_ptr<QAbstractItemModelTester> tester_;
};

TEST_F(ReportInArea, OpensAtItsDesignedInnerSize) {
    EXPECT_EQ(report_->size(), TwipsToPixels(11724, 7812, report_));
    EXPECT_EQ(report_->flxMain()->size(), TwipsToPixels(11632, 5692, report_));
    EXPECT_TRUE(report_->flxMain()->isVisible());
}

TEST_F(ReportInArea, FunctionKeysRunQueryAndExportFromTheGrid) {
    QTest::keyClick(report_->flxMain(), Qt::Key_F5);
    EXPECT_EQ(report_->queries, 1);
    EXPECT_EQ(report_->flxMain()->gridModel()->dataRowCount(), 2);
    QTest::keyClick(report_->flxMain(), Qt::Key_F7);
    EXPECT_EQ(report_->exports, 1);
}

TEST_F(ReportInArea, KeysReachOnlyTheActiveScreen) {
    auto* other = new SampleReport;
    QMdiSubWindow* otherWindow = area_->addSubWindow(other);
    otherWindow->show();
    area_->setActiveSubWindow(otherWindow);
    other->flxMain()->setFocus();
    QTest::keyClick(other->flxMain(), Qt::Key_F5);
    EXPECT_EQ(other->queries, 1);
    EXPECT_EQ(report_->queries, 0);
}

TEST_F(ReportInArea, EscapeClosesTheScreensWindow) {
    QTest::keyClick(report_->flxMain(), Qt::Key_Escape);
    FlushDeletes();
    EXPECT_TRUE(window_.isNull());
    EXPECT_TRUE(report_.isNull());
    EXPECT_TRUE(area_->subWindowList().isEmpty());
}

TEST_F(ReportInArea, QuitClosesTheScreensWindow) {
    report_->toolbarAction(u"Quit"_s)->trigger();
    FlushDeletes();
    EXPECT_TRUE(window_.isNull());
    EXPECT_TRUE(area_->subWindowList().isEmpty());
}

TEST_F(ReportInArea, HeaderClickSortsWhatTheQueryFilled) {
    QTest::keyClick(report_->flxMain(), Qt::Key_F5);
    ReportGridHeader* header = report_->flxMain()->gridHeader();
    const QPoint caption(header->sectionViewportPosition(0) + header->sectionSize(0) / 2,
                         header->captionHeight() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, caption);
    const QList<QStringList> shown = {
        {u"契約編號△"_s, u"剩餘額度"_s},
        {QString(), u"2,500"_s},
        {u"C0001"_s, u"500"_s},
        {u"C0002"_s, u"2,000"_s},
    };
    EXPECT_EQ(report_->flxMain()->shownRows(), shown);
    // The width the query gave the column, and the arrow's room.
    EXPECT_EQ(report_->flxMain()->columnWidth(0),
              TwipsToPixelsX(2000, report_->flxMain()) + TwipsToPixelsX(240, report_->flxMain()));
}

TEST(ReportFormAlone, QuitClosesTheScreenItself) {
    SampleReport report;
    report.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&report));
    report.toolbarAction(u"Quit"_s)->trigger();
    EXPECT_FALSE(report.isVisible());
}

TEST(ReportFormSize, OpensAtItsDesignSizeAndTheGridFollowsResizing) {
    ReportForm::Design design{u"D2-發行業者額度查詢報表"_s};
    design.gridTopTwips = 2674;
    design.gridHeightTwips = 5092;
    SampleReport report(design);
    ReportGrid* grid = report.flxMain();
    const QSize inner = TwipsToPixels(11724, 7812, &report);
    const QSize gridDesign = TwipsToPixels(11632, 5092, &report);
    const QPoint gridPlace(TwipsToPixelsX(46, &report), TwipsToPixelsY(2674, &report));
    EXPECT_EQ(report.size(), inner);
    EXPECT_EQ(grid->geometry(), QRect(gridPlace, gridDesign));
    report.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&report));
    EXPECT_EQ(grid->geometry(), QRect(gridPlace, gridDesign));

    report.resize(inner + QSize(300, 200));
    EXPECT_EQ(grid->geometry(), QRect(gridPlace, gridDesign + QSize(300, 200)));
    EXPECT_EQ(report.tlbMain()->width(), report.width());

    report.resize(inner - QSize(100, 50));
    EXPECT_EQ(grid->geometry(), QRect(gridPlace, gridDesign - QSize(100, 50)));

    // So low that the grid would have no height: it keeps the size it had.
    report.resize(inner.width(), inner.height() - gridDesign.height());
    EXPECT_EQ(grid->geometry(), QRect(gridPlace, gridDesign - QSize(100, 50)));
}

}  // namespace
}  // namespace quorvane
