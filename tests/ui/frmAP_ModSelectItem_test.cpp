#include "ui/frmAP_ModSelectItem.h"

#include "db/BusinessLookups.h"
#include "db/Database.h"
#include "db/FieldKind.h"
#include "db/SchemaInstaller.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"
#include "ui/Fonts.h"
#include "ui/Twips.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QImage>
#include <QMainWindow>
#include <QPushButton>
#include <QScopeGuard>
#include <QTableView>
#include <QTest>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <ostream>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace quorvane {
namespace {

struct Issuer {
    QString noContract;
    QString nameCompany;
};

// Demo issuers. By code point (the databases' order) the names order A, 大, 林, 王; the table's
// own sorting uses the Traditional Chinese collation: Chinese first, by stroke count (大 3,
// 王 4, 林 8 strokes), then Latin letters, so 大, 王, 林, A.
const std::vector<Issuer> kIssuers = {
    {u"C0001"_s, u"王品餐飲股份有限公司"_s},
    {u"C0002"_s, u"大同百貨"_s},
    {u"C0003"_s, u"林記商行"_s},
    {u"D0100"_s, u"ABC Mart"_s},
};

void AddIssuers(Database& db, const std::vector<Issuer>& issuers = kIssuers) {
    for (const Issuer& issuer : issuers) {
        db.ConnExecute(
            Statement(u"INSERT INTO BF_Customer (NoContract, NameCompany) VALUES (?, ?)"_s,
                      {issuer.noContract, issuer.nameCompany}));
    }
}

// A selection dialog shown as the program shows it, but without blocking: show() loads it,
// and the test drives it with QTest.
class SelectionDialog {
public:
    explicit SelectionDialog(Database& db, QWidget* owner = nullptr)
        : dialog_(std::make_unique<frmAP_ModSelectItem>(db, owner)),
          tester_(dialog_->findChild<QTableView*>(u"lstvMain"_s)->model(),
                  QAbstractItemModelTester::FailureReportingMode::Fatal) {}

    frmAP_ModSelectItem& operator*() const { return *dialog_; }
    frmAP_ModSelectItem* operator->() const { return dialog_.get(); }

    void open(const Statement& query) {
        dialog_->setSelectCommandText(query);
        dialog_->show();
        dialog_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog_.get()));
    }

    QTableView* table() const { return dialog_->findChild<QTableView*>(u"lstvMain"_s); }
    QHeaderView* header() const { return table()->horizontalHeader(); }
    QPushButton* button(const QString& name) const {
        return dialog_->findChild<QPushButton*>(name);
    }

    QStringList captions() const {
        QStringList texts;
        for (int column = 0; column < table()->model()->columnCount(); ++column) {
            texts << table()->model()->headerData(column, Qt::Horizontal).toString();
        }
        return texts;
    }

    QStringList column(int column) const {
        QStringList texts;
        for (int row = 0; row < table()->model()->rowCount(); ++row) {
            texts << table()->model()->index(row, column).data().toString();
        }
        return texts;
    }

    // The names of the selected rows, top to bottom.
    QStringList selectedNames() const {
        QModelIndexList rows = table()->selectionModel()->selectedRows(1);
        std::sort(rows.begin(), rows.end());
        QStringList names;
        for (const QModelIndex& row : rows) {
            names << row.data().toString();
        }
        return names;
    }

    QPoint cellCentre(int row) const { return table()->visualRect(cell(row)).center(); }
    QModelIndex cell(int row, int column = 0) const { return table()->model()->index(row, column); }

    void clickRow(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const {
        QTest::mouseClick(table()->viewport(), Qt::LeftButton, modifiers, cellCentre(row));
    }

    void clickHeader(int column) const {
        const QPoint centre(
            header()->sectionViewportPosition(column) + header()->sectionSize(column) / 2,
            header()->height() / 2);
        QTest::mouseClick(header()->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
    }

private:
    std::unique_ptr<frmAP_ModSelectItem> dialog_;
    QAbstractItemModelTester tester_;
};

QStringList Names(const std::vector<const char16_t*>& names) {
    QStringList texts;
    for (const char16_t* name : names) {
        texts << QString::fromUtf16(name);
    }
    return texts;
}

// --- What the dialog shows, on each backend ---

class SelectItemData : public test::BackendTest {
protected:
    void SetUp() override {
        test::BackendTest::SetUp();
        AddIssuers(db());
    }
};

TEST_P(SelectItemData, ShowsTheIssuerPickerWithItsAliasesAsCaptionsAndItsOrder) {
    SelectionDialog dialog(db());
    dialog.open(BuildPickerCommand(FieldKind::ContractNumber, QString()));

    EXPECT_EQ(dialog.captions(), (QStringList{u"契約編號"_s, u"發行業者"_s}));
    // Every issuer, ordered by name as the database orders it.
    EXPECT_EQ(dialog.column(0), (QStringList{u"D0100"_s, u"C0002"_s, u"C0003"_s, u"C0001"_s}));
    EXPECT_EQ(dialog.column(1),
              Names({u"ABC Mart", u"大同百貨", u"林記商行", u"王品餐飲股份有限公司"}));
    EXPECT_EQ(dialog->SelectedCount(), 0);
}

TEST_P(SelectItemData, ShowsOnlyTheIssuersAPartialTextBegins) {
    struct Case {
        QString typed;
        QStringList contracts;
    };
    const Case cases[] = {
        {u"C000"_s, {u"C0002"_s, u"C0003"_s, u"C0001"_s}},
        {u"王"_s, {u"C0001"_s}},
        {u"abc"_s, {u"D0100"_s}},  // letter case does not matter
        {u"Mart"_s, {}},           // the name must begin with the text
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        SelectionDialog dialog(db());
        dialog.open(BuildPickerCommand(FieldKind::ContractNumber, c.typed));
        EXPECT_EQ(dialog.column(0), c.contracts);
    }
}

TEST_P(SelectItemData, OneColumnFillsTheValuesAndLeavesTheNamesEmpty) {
    SelectionDialog dialog(db());
    dialog.open(u"SELECT NoContract AS \"契約編號\" FROM BF_Customer ORDER BY NoContract"_s);
    ASSERT_EQ(dialog.captions(), QStringList{u"契約編號"_s});

    dialog.clickRow(1);
    QTest::mouseClick(dialog.button(u"cmdOK"_s), Qt::LeftButton);

    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->SelectedCount(), 1);
    EXPECT_EQ(dialog->SelectedValue(), QStringList{u"C0002"_s});
    EXPECT_EQ(dialog->SelectedName(), QStringList{QString()});
}

TEST_P(SelectItemData, TrimsTheFirstColumnOnlyAndShowsNullAsEmptyText) {
    SelectionDialog dialog(db());
    dialog->setMultiSelect(true);
    dialog.open(
        u"SELECT '  C0009  ' AS \"契約編號\", '  大同  ' AS \"發行業者\" "
        u"UNION ALL SELECT NULL, NULL"_s);

    EXPECT_EQ(dialog.column(0), (QStringList{u"C0009"_s, QString()}));
    EXPECT_EQ(dialog.column(1), (QStringList{u"  大同  "_s, QString()}));

    dialog.clickRow(0);
    dialog.clickRow(1, Qt::ControlModifier);
    QTest::mouseClick(dialog.button(u"cmdOK"_s), Qt::LeftButton);
    EXPECT_EQ(dialog->SelectedCount(), 2);
    EXPECT_EQ(dialog->SelectedValue(), (QStringList{u"C0009"_s, QString()}));
    EXPECT_EQ(dialog->SelectedName(), (QStringList{u"  大同  "_s, QString()}));
}

TEST_P(SelectItemData, EachShowReloadsTheRowsAndForgetsThePreviousPick) {
    SelectionDialog dialog(db());
    dialog.open(BuildPickerCommand(FieldKind::ContractNumber, QString()));
    dialog.clickRow(0);
    QTest::mouseClick(dialog.button(u"cmdOK"_s), Qt::LeftButton);
    ASSERT_EQ(dialog->SelectedCount(), 1);

    AddIssuers(db(), {{u"A0001"_s, u"一品軒"_s}});
    dialog.open(BuildPickerCommand(FieldKind::ContractNumber, QString()));
    EXPECT_EQ(dialog->SelectedCount(), 0);
    EXPECT_TRUE(dialog->SelectedValue().isEmpty());
    EXPECT_EQ(dialog.column(0).size(), int(kIssuers.size()) + 1);
    EXPECT_TRUE(dialog.column(0).contains(u"A0001"_s));
}

TEST_P(SelectItemData, KeepsTenThousandRowsSortable) {
    SelectionDialog dialog(db());
    dialog.open(
        u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 10000) "
        u"SELECT 'N' || i AS \"編號\", 'Name ' || i AS \"名稱\" FROM n"_s);
    ASSERT_EQ(dialog.table()->model()->rowCount(), 10000);

    dialog.clickHeader(0);  // ascending, as text: N1, N10, N100, N1000, N10000, N1001, ...
    dialog.clickHeader(0);  // descending: N9999 first
    EXPECT_EQ(dialog.cell(0).data().toString(), u"N9999"_s);
    EXPECT_EQ(dialog.cell(9999).data().toString(), u"N1"_s);

    dialog.clickRow(0);
    QTest::keyClick(dialog.table(), Qt::Key_Return);
    EXPECT_EQ(dialog->SelectedValue(), QStringList{u"N9999"_s});
    EXPECT_EQ(dialog->SelectedName(), QStringList{u"Name 9999"_s});
}

// A query that fails after three rows, written for each backend.
Statement FailingAfterThreeRows(test::Backend backend) {
    if (backend == test::Backend::Sqlite) {
        return u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 5) "
               u"SELECT i AS \"編號\", CASE WHEN i < 4 THEN i ELSE abs(-9223372036854775807 - 1) "
               u"END AS \"數值\" FROM n"_s;
    }
    return u"SELECT i AS \"編號\", 10 / (4 - i) AS \"數值\" FROM generate_series(1, 5) AS g(i)"_s;
}

TEST_P(SelectItemData, AFailedReadShowsTheExceptionDialogAndKeepsTheRowsReadBeforeIt) {
    const QString location = u"例外程序：\tfrmAP_ModSelectItem.subRefresh\r\n"_s;
    const std::vector<std::vector<Answer>> answerSequences = {
        {Answer::Ignore},
        {Answer::Exit},
        {Answer::Retry, Answer::Exit},  // the retry reads again into an emptied table
    };
    for (const std::vector<Answer>& answers : answerSequences) {
        SCOPED_TRACE(answers.size());
        ScriptedDialogs dialogs;
        for (const Answer answer : answers) {
            dialogs.expectException(answer, location);
        }
        SelectionDialog dialog(db());
        dialog.open(FailingAfterThreeRows(GetParam()));

        EXPECT_EQ(dialogs.pending(), 0u);
        ASSERT_FALSE(dialogs.records().empty());
        EXPECT_TRUE(dialogs.records().back().text.endsWith(location));
        EXPECT_EQ(dialog.captions(), (QStringList{u"編號"_s, u"數值"_s}));
        EXPECT_EQ(dialog.column(0), (QStringList{u"1"_s, u"2"_s, u"3"_s}));
    }
}

TEST_P(SelectItemData, AQueryThatCannotRunLeavesAnEmptyTable) {
    ScriptedDialogs dialogs;
    dialogs.expectException(Answer::Ignore, u"frmAP_ModSelectItem.subRefresh"_s);
    SelectionDialog dialog(db());
    dialog.open(u"SELECT NoContract FROM BF_NoSuchTable"_s);
    EXPECT_EQ(dialog.table()->model()->rowCount(), 0);

    QTest::keyClick(dialog.table(), Qt::Key_Return);
    EXPECT_EQ(dialog->SelectedCount(), 0);
}

QUORVANE_INSTANTIATE_BACKENDS(SelectItemData);

// --- The scripted selection dialog and date picker of the tests ---

TEST(ScriptedSelection, AnswersWithTheQueuedRowsAndRecordsTheRequest) {
    test::ScratchDatabase scratch(test::Backend::Sqlite);
    const std::unique_ptr<Database> db = scratch.connect();
    ScriptedDialogs dialogs;
    dialogs.expectSelection(u"選擇票樣"_s, {u"C0001-001"_s, u"C0001-002"_s}, {u"春節禮卷"_s});
    dialogs.expectSelection(QString());

    Selection request;
    request.title = u"選擇票樣"_s;
    request.SelectCommandText =
        Statement(u"SELECT NoTicketForm FROM OR_TicketForm WHERE NoContract = ?"_s, {u"C0001"_s});
    request.MultiSelect = true;
    const SelectionResult picked = AppDialogs().selectItem(nullptr, *db, request);
    EXPECT_EQ(picked.SelectedCount, 2);
    EXPECT_EQ(picked.SelectedValue, (QStringList{u"C0001-001"_s, u"C0001-002"_s}));
    // Names not given are empty texts, so both lists have one entry per row.
    EXPECT_EQ(picked.SelectedName, (QStringList{u"春節禮卷"_s, QString()}));

    // An expectation without a title takes any title; without values it is a cancel.
    EXPECT_EQ(AppDialogs().selectItem(nullptr, *db, Selection()).SelectedCount, 0);

    ASSERT_EQ(dialogs.records().size(), 2u);
    const ScriptedDialogs::Record& first = dialogs.records()[0];
    EXPECT_EQ(first.kind, ScriptedDialogs::Kind::Selection);
    EXPECT_EQ(first.title, u"選擇票樣"_s);
    EXPECT_EQ(first.text, request.SelectCommandText.sql);
    EXPECT_EQ(first.selection.SelectCommandText.binds, request.SelectCommandText.binds);
    EXPECT_TRUE(first.selection.MultiSelect);
    EXPECT_EQ(dialogs.records()[1].title, u"選擇"_s);
}

TEST(ScriptedSelection, FailsOnAnUnexpectedOrDifferentDialog) {
    test::ScratchDatabase scratch(test::Backend::Sqlite);
    const std::unique_ptr<Database> db = scratch.connect();
    auto unexpected = [&] {
        ScriptedDialogs dialogs;
        EXPECT_EQ(AppDialogs().selectItem(nullptr, *db, Selection()).SelectedCount, 0);
    };
    EXPECT_NONFATAL_FAILURE(unexpected(), "unexpected selection dialog");

    auto otherTitle = [&] {
        ScriptedDialogs dialogs;
        dialogs.expectSelection(u"選擇票樣"_s, {u"C0001-001"_s});
        AppDialogs().selectItem(nullptr, *db, Selection());
    };
    EXPECT_NONFATAL_FAILURE(otherTitle(), "differs");

    auto otherKind = [&] {
        ScriptedDialogs dialogs;
        dialogs.expectDate(u"2024/03/05"_s);
        EXPECT_EQ(AppDialogs().selectItem(nullptr, *db, Selection()).SelectedCount, 0);
    };
    EXPECT_NONFATAL_FAILURE(otherKind(), "differs");

    auto unusedDate = [] {
        ScriptedDialogs dialogs;
        dialogs.expectDate(u"2024/03/05"_s);
    };
    EXPECT_NONFATAL_FAILURE(unusedDate(), "never opened: date picker");
}

// --- How the user picks, sorts and closes (the backend does not matter here) ---

class SelectItem : public ::testing::Test {
protected:
    void SetUp() override {
        scratch_ = std::make_unique<test::ScratchDatabase>(test::Backend::Sqlite);
        db_ = scratch_->connect();
        SchemaInstaller::Install(*db_);
        AddIssuers(*db_);
    }

    std::unique_ptr<test::ScratchDatabase> scratch_;
    std::unique_ptr<Database> db_;
};

TEST_F(SelectItem, IsAFixedSizeDialogCentredOverItsOwner) {
    QMainWindow owner;
    owner.setGeometry(100, 80, 900, 700);
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));

    SelectionDialog dialog(*db_, &owner);
    dialog.open(BuildPickerCommand(FieldKind::ContractNumber, QString()));

    EXPECT_EQ(dialog->windowTitle(), u"選擇"_s);
    EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize());
    EXPECT_EQ(dialog->size(), TwipsToPixels(frmAP_ModSelectItem::WidthTwips,
                                            frmAP_ModSelectItem::HeightTwips, dialog.table()));
    EXPECT_FALSE(dialog->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(dialog->windowFlags() & Qt::WindowMaximizeButtonHint);
    const QPoint offset = dialog->frameGeometry().center() - owner.frameGeometry().center();
    EXPECT_LE(offset.manhattanLength(), 2);

    EXPECT_EQ(dialog.table()->toolTip(), u"滑鼠點選標題列可以該欄資料進行排序"_s);
    EXPECT_EQ(dialog.button(u"cmdOK"_s)->text(), u"確定"_s);
    EXPECT_EQ(dialog.button(u"cmdCancel"_s)->text(), u"取消"_s);
    EXPECT_EQ(dialog.table()->selectionMode(), QAbstractItemView::SingleSelection);

    // Equal columns that leave 300 twips of the table's width free.
    const int expected = (dialog.table()->width() - TwipsToPixelsX(300, dialog.table())) / 2;
    EXPECT_EQ(dialog.header()->sectionSize(0), expected);
    EXPECT_EQ(dialog.header()->sectionSize(1), expected);
    // The buttons lie below the table, inside the dialog.
    EXPECT_GT(dialog.button(u"cmdOK"_s)->geometry().top(), dialog.table()->geometry().bottom());
    EXPECT_LE(dialog.button(u"cmdOK"_s)->geometry().bottom(), dialog->height());
}

TEST_F(SelectItem, TakesOneRowUnlessMultipleSelectionIsAsked) {
    SelectionDialog dialog(*db_);
    dialog.open(BuildPickerCommand(FieldKind::ContractNumber, QString()));
    dialog.clickRow(0);
    dialog.clickRow(2, Qt::ControlModifier);
    QTest::mouseClick(dialog.button(u"cmdOK"_s), Qt::LeftButton);
    EXPECT_EQ(dialog->SelectedValue(), QStringList{u"C0003"_s});
}

// How the dialog is closed, with or without a row selected, and what it returns.
struct CloseCase {
    const char* name;
    bool rowSelected;
    std::function<void(SelectionDialog&)> close;
    int count;
};

std::ostream& operator<<(std::ostream& os, const CloseCase& c) {
    return os << c.name;
}

class SelectItemClose : public SelectItem, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(SelectItemClose, ReturnsTheSelectedRowOnlyForOkEnterAndDoubleClick) {
    const CloseCase& c = GetParam();
    SelectionDialog dialog(*db_);
    dialog.open(BuildPickerCommand(FieldKind::ContractNumber, QString()));
    if (c.rowSelected) {
        dialog.clickRow(2);
    }
    c.close(dialog);

    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->SelectedCount(), c.count);
    if (c.count == 1) {
        EXPECT_EQ(dialog->SelectedValue(), QStringList{u"C0003"_s});
        EXPECT_EQ(dialog->SelectedName(), QStringList{u"林記商行"_s});
    } else {
        EXPECT_TRUE(dialog->SelectedValue().isEmpty());
        EXPECT_TRUE(dialog->SelectedName().isEmpty());
    }
}

void ClickOk(SelectionDialog& d) {
    QTest::mouseClick(d.button(u"cmdOK"_s), Qt::LeftButton);
}
void PressEnter(SelectionDialog& d) {
    QTest::keyClick(d.table(), Qt::Key_Return);
}
void ClickCancel(SelectionDialog& d) {
    QTest::mouseClick(d.button(u"cmdCancel"_s), Qt::LeftButton);
}
void PressEscape(SelectionDialog& d) {
    QTest::keyClick(d.table(), Qt::Key_Escape);
}
void CloseBox(SelectionDialog& d) {
    d->close();
}
// A double click as the window system delivers it: press and release, then the double click.
void DoubleClickRow2(SelectionDialog& d) {
    QTest::mouseClick(d.table()->viewport(), Qt::LeftButton, Qt::NoModifier, d.cellCentre(2));
    QTest::mouseDClick(d.table()->viewport(), Qt::LeftButton, Qt::NoModifier, d.cellCentre(2));
}

INSTANTIATE_TEST_SUITE_P(
    Ways, SelectItemClose,
    ::testing::Values(CloseCase{"OkWithRow", true, ClickOk, 1},
                      CloseCase{"OkWithoutRow", false, ClickOk, 0},
                      CloseCase{"EnterWithRow", true, PressEnter, 1},
                      CloseCase{"EnterWithoutRow", false, PressEnter, 0},
                      CloseCase{"DoubleClickOnARow", false, DoubleClickRow2, 1},
                      CloseCase{"Cancel", true, ClickCancel, 0},
                      CloseCase{"Escape", true, PressEscape, 0},
                      CloseCase{"CloseBox", true, CloseBox, 0}),
    [](const ::testing::TestParamInfo<CloseCase>& info) { return std::string(info.param.name); });

TEST_F(SelectItem, HeaderClicksSortAsTextAndTheSelectionFollowsItsRow) {
    SelectionDialog dialog(*db_);
    dialog.open(BuildPickerCommand(FieldKind::ContractNumber, QString()));
    dialog.clickRow(1);
    ASSERT_EQ(dialog.selectedNames(), Names({u"大同百貨"}));
    EXPECT_EQ(dialog.header()->sortIndicatorSection(), -1);

    struct Click {
        int column;
        Qt::SortOrder order;
        int shownColumn;  // the column whose texts are checked
        QStringList texts;
    };
    const Click clicks[] = {
        // The first click sorts ascending, in Chinese stroke order (王 before 林).
        {1, Qt::AscendingOrder, 1,
         Names({u"大同百貨", u"王品餐飲股份有限公司", u"林記商行", u"ABC Mart"})},
        // The same header again: the other way.
        {1, Qt::DescendingOrder, 1,
         Names({u"ABC Mart", u"林記商行", u"王品餐飲股份有限公司", u"大同百貨"})},
        // Another header keeps the direction.
        {0, Qt::DescendingOrder, 0, {u"D0100"_s, u"C0003"_s, u"C0002"_s, u"C0001"_s}},
        {0, Qt::AscendingOrder, 0, {u"C0001"_s, u"C0002"_s, u"C0003"_s, u"D0100"_s}},
        {1, Qt::AscendingOrder, 1,
         Names({u"大同百貨", u"王品餐飲股份有限公司", u"林記商行", u"ABC Mart"})},
    };
    int step = 0;
    for (const Click& click : clicks) {
        SCOPED_TRACE(++step);
        dialog.clickHeader(click.column);
        EXPECT_EQ(dialog.header()->sortIndicatorSection(), click.column);
        EXPECT_EQ(dialog.header()->sortIndicatorOrder(), click.order);
        EXPECT_EQ(dialog.column(click.shownColumn), click.texts);
        // The selection stays on its row wherever the row goes.
        EXPECT_EQ(dialog.selectedNames(), Names({u"大同百貨"}));
    }

    ClickOk(dialog);
    EXPECT_EQ(dialog->SelectedValue(), QStringList{u"C0002"_s});
}

TEST_F(SelectItem, ReturnsSeveralRowsTopToBottomOrByTheOrderColumn) {
    struct Case {
        int selectOrderIndex;
        QStringList values;
    };
    // The table is shown sorted by name descending: ABC, 林記, 王品, 大同; the user picks the
    // last three.
    const Case cases[] = {
        {0, {u"C0003"_s, u"C0001"_s, u"C0002"_s}},  // as shown
        {1, {u"C0001"_s, u"C0002"_s, u"C0003"_s}},  // by contract number
        {2, {u"C0002"_s, u"C0001"_s, u"C0003"_s}},  // by name, ascending
        {3, {u"C0003"_s, u"C0001"_s, u"C0002"_s}},  // no such column: as shown
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.selectOrderIndex);
        SelectionDialog dialog(*db_);
        dialog->setMultiSelect(true);
        dialog->setSelectOrderIndex(c.selectOrderIndex);
        dialog.open(BuildPickerCommand(FieldKind::ContractNumber, QString()));
        dialog.clickHeader(1);
        dialog.clickHeader(1);
        dialog.clickRow(3);
        dialog.clickRow(1, Qt::ControlModifier);
        dialog.clickRow(2, Qt::ControlModifier);
        ClickOk(dialog);
        EXPECT_EQ(dialog->SelectedCount(), 3);
        EXPECT_EQ(dialog->SelectedValue(), c.values);
    }
}

TEST_F(SelectItem, AnEmptyQueryShowsAnEmptyTable) {
    SelectionDialog dialog(*db_);
    dialog.open(Statement());
    EXPECT_EQ(dialog.table()->model()->columnCount(), 0);
    EXPECT_EQ(dialog.table()->model()->rowCount(), 0);
    PressEnter(dialog);
    EXPECT_EQ(dialog->SelectedCount(), 0);
}

// The picture in the documentation, taken as a user sees the dialog; nothing in it may be cut
// off. Written to $QUORVANE_SCREENSHOT_DIR when that is set.
TEST_F(SelectItem, ScreenshotShowsEveryCaptionWhole) {
    // In the program's own font.
    const QFont before = QApplication::font();
    InstallFontSubstitutions();
    const auto restoreFont = qScopeGuard([&] { QApplication::setFont(before); });

    AddIssuers(*db_, {{u"C0004"_s, u"新光三越百貨股份有限公司"_s},
                      {u"C0005"_s, u"統一超商"_s},
                      {u"C0006"_s, u"遠東百貨"_s}});
    QMainWindow owner;
    owner.resize(900, 640);
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    SelectionDialog dialog(*db_, &owner);
    dialog.open(BuildPickerCommand(FieldKind::ContractNumber, QString()));
    dialog.clickRow(2);

    const QFontMetrics header(dialog.header()->font());
    for (int column = 0; column < 2; ++column) {
        const QString caption = dialog.captions().at(column);
        EXPECT_LT(header.horizontalAdvance(caption), dialog.header()->sectionSize(column))
            << caption.toStdString();
    }
    const QFontMetrics cells(dialog.table()->font());
    for (const QString& name : dialog.column(1)) {
        EXPECT_LT(cells.horizontalAdvance(name), dialog.header()->sectionSize(1))
            << name.toStdString();
    }
    for (const char* name : {"cmdOK", "cmdCancel"}) {
        const QPushButton* button = dialog.button(QString::fromLatin1(name));
        EXPECT_GE(button->width(), button->sizeHint().width()) << name;
        EXPECT_GE(button->height(), button->sizeHint().height()) << name;
    }

    const QImage image = dialog->grab().toImage();
    ASSERT_FALSE(image.isNull());
    const QString folder = qEnvironmentVariable("QUORVANE_SCREENSHOT_DIR");
    if (!folder.isEmpty()) {
        EXPECT_TRUE(image.save(QDir(folder).filePath(u"frmAP_ModSelectItem.png"_s)));
    }
}

}  // namespace
}  // namespace quorvane
