#include "ui/FieldLookups.h"

#include "db/Database.h"
#include "db/FieldKind.h"
#include "db/SchemaInstaller.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"
#include "ui/FieldKinds.h"
#include "ui/frmAP_ModSelectItem.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTableView>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <vector>

using namespace Qt::StringLiterals;

namespace quorvane {
namespace {

void AddIssuers(Database& db) {
    const std::vector<std::pair<QString, QString>> issuers = {
        {u"C0001"_s, u"王品餐飲"_s},
        {u"C0002"_s, u"大同百貨"_s},
        {u"C0012"_s, u"林記商行"_s},
        {u"D0100"_s, u"ABC Mart"_s},
    };
    for (const auto& [noContract, name] : issuers) {
        db.ConnExecute(
            Statement(u"INSERT INTO BF_Customer (NoContract, NameCompany) VALUES (?, ?)"_s,
                      {noContract, name}));
    }
}

// The first column of every row a query returns, in its order.
QStringList FirstColumn(Database& db, const Statement& query) {
    UnitOfWork unit(db);
    QSqlQuery rows = db.Query(query);
    QStringList values;
    while (rows.next()) {
        values << rows.value(0).toString();
    }
    return values;
}

// A screen with a field of the kind under test between two others, shown and active, with the
// look-ups installed on the test's database.
class LookupScreen {
public:
    LookupScreen(Database& db, int kind, FieldKindFilter::Typing typing) {
        InstallFieldLookups(db);
        window_ = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(window_.get());
        previous_ = new QLineEdit(window_.get());
        field_ = new QLineEdit(window_.get());
        next_ = new QLineEdit(window_.get());
        next_->setText(u"下一欄"_s);
        layout->addWidget(previous_);
        layout->addWidget(field_);
        layout->addWidget(next_);
        FieldKindFilter::Attach(field_, kind, {previous_, next_}, typing);
        window_->show();
        window_->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window_.get()));
        field_->setFocus();
    }
    ~LookupScreen() { RemoveFieldLookups(); }
    LookupScreen(const LookupScreen&) = delete;
    LookupScreen& operator=(const LookupScreen&) = delete;

    // Types the text as the user would: ASCII by keys, anything else as an input-method commit.
    void type(const QString& text) const {
        for (const QChar character : text) {
            if (character.unicode() < 128) {
                QTest::keyClick(field_, char(character.unicode()));
            } else {
                QInputMethodEvent commit;
                commit.setCommitString(QString(character));
                QApplication::sendEvent(field_, &commit);
            }
        }
    }
    void pressEnter() const { QTest::keyClick(field_, Qt::Key_Return); }

    QLineEdit* field() const { return field_; }
    bool movedOn() const { return QApplication::focusWidget() == next_; }
    bool stayed() const { return QApplication::focusWidget() == field_; }
    bool nextSelected() const { return next_->selectedText() == next_->text(); }

private:
    std::unique_ptr<QWidget> window_;
    QLineEdit* previous_ = nullptr;
    QLineEdit* field_ = nullptr;
    QLineEdit* next_ = nullptr;
};

// --- Contract-number fields ---

struct ContractCase {
    const char* name;
    QString typed;
    bool dialog;          // the selection dialog opens
    QStringList offered;  // the contract numbers it offers, in order
    QString chosen;       // what the user picks there (empty: closes it without a choice)
    QString text;         // the field's text afterwards
    bool movesOn;
};

std::ostream& operator<<(std::ostream& os, const ContractCase& c) {
    return os << c.name;
}

class ContractLookup : public ::testing::TestWithParam<std::tuple<test::Backend, ContractCase>> {
protected:
    void SetUp() override {
        scratch_ = std::make_unique<test::ScratchDatabase>(std::get<0>(GetParam()));
        db_ = scratch_->connect();
        SchemaInstaller::Install(*db_);
        AddIssuers(*db_);
    }

    std::unique_ptr<test::ScratchDatabase> scratch_;
    std::unique_ptr<Database> db_;
};

TEST_P(ContractLookup, Enter) {
    const ContractCase& c = std::get<1>(GetParam());
    LookupScreen screen(*db_, FieldKind::ContractNumber, FieldKindFilter::Typing::Filtered);
    ScriptedDialogs dialogs;
    if (c.dialog) {
        dialogs.expectSelection(u"選擇"_s,
                                c.chosen.isEmpty() ? QStringList() : QStringList{c.chosen});
    }
    screen.type(c.typed);
    screen.pressEnter();

    EXPECT_EQ(dialogs.pending(), 0u);
    if (c.dialog && !dialogs.records().empty()) {
        const Selection& request = dialogs.records()[0].selection;
        EXPECT_FALSE(request.MultiSelect);
        EXPECT_EQ(FirstColumn(*db_, request.SelectCommandText), c.offered);
    }
    EXPECT_EQ(screen.field()->text(), c.text);
    EXPECT_EQ(screen.movedOn(), c.movesOn);
    EXPECT_EQ(screen.stayed(), !c.movesOn);
    if (c.movesOn) {
        EXPECT_TRUE(screen.nextSelected());
    }
}

const ContractCase kContractCases[] = {
    // Every issuer, by name.
    {"EmptyListsEveryIssuer",
     QString(),
     true,
     {u"D0100"_s, u"C0002"_s, u"C0012"_s, u"C0001"_s},
     u"C0002"_s,
     u"C0002"_s,
     true},
    {"ExistingNumberMovesOnWithoutADialog", u"C0001"_s, false, {}, {}, u"C0001"_s, true},
    {"TypedInLowerCaseIsTheExistingNumber", u"c0012"_s, false, {}, {}, u"C0012"_s, true},
    {"PartialNumberOffersTheMatches",
     u"C00"_s,
     true,
     {u"C0002"_s, u"C0012"_s, u"C0001"_s},
     u"C0012"_s,
     u"C0012"_s,
     true},
    {"PartialNameOffersTheMatches", u"王"_s, true, {u"C0001"_s}, u"C0001"_s, u"C0001"_s, true},
    {"NoChoiceKeepsTheFocus",
     u"C00"_s,
     true,
     {u"C0002"_s, u"C0012"_s, u"C0001"_s},
     {},
     u"C00"_s,
     false},
    {"NothingMatchesMovesOnWithoutADialog", u"Z9"_s, false, {}, {}, u"Z9"_s, true},
};

INSTANTIATE_TEST_SUITE_P(Cases, ContractLookup,
                         ::testing::Combine(::testing::Values(test::Backend::Sqlite,
                                                              test::Backend::Postgres),
                                            ::testing::ValuesIn(kContractCases)),
                         [](const ::testing::TestParamInfo<ContractLookup::ParamType>& info) {
                             return std::string(std::get<0>(info.param) == test::Backend::Sqlite
                                                    ? "Sqlite_"
                                                    : "Postgres_") +
                                    std::get<1>(info.param).name;
                         });

class ContractLookupFailure : public test::BackendTest {};

TEST_P(ContractLookupFailure, IsShownAndExitKeepsTheFocus) {
    LookupScreen screen(db(), FieldKind::ContractNumber, FieldKindFilter::Typing::Filtered);
    // The issuers' table is gone: the look-up's first query fails.
    db().ConnExecute(scratch().backend() == test::Backend::Sqlite
                         ? Statement(u"DROP TABLE BF_Customer"_s)
                         : Statement(u"DROP TABLE BF_Customer CASCADE"_s));
    ScriptedDialogs dialogs;
    dialogs.expectException(Answer::Exit, u"modUI.TextBoxKeyDown"_s);
    screen.type(u"C1"_s);
    screen.pressEnter();
    EXPECT_TRUE(screen.stayed());
}

QUORVANE_INSTANTIATE_BACKENDS(ContractLookupFailure);

// --- PickCustomer ---

class PickCustomerTest : public test::BackendTest {
protected:
    void SetUp() override {
        test::BackendTest::SetUp();
        AddIssuers(db());
    }
};

TEST_P(PickCustomerTest, OffersEveryIssuerByContractNumberAndReturnsTheChosenOne) {
    ScriptedDialogs dialogs;
    dialogs.expectSelection(u"選擇"_s, {u"林記商行"_s}, {u"C0012"_s});
    QString noContract = u"before"_s;
    QString name = u"before"_s;
    EXPECT_TRUE(PickCustomer(nullptr, db(), noContract, name));
    EXPECT_EQ(noContract, u"C0012"_s);
    EXPECT_EQ(name, u"林記商行"_s);

    // The query it opened, in the real dialog: name first, number second, by number.
    ASSERT_EQ(dialogs.records().size(), 1u);
    const Selection& request = dialogs.records()[0].selection;
    EXPECT_FALSE(request.MultiSelect);
    frmAP_ModSelectItem dialog(db());
    auto* table = dialog.findChild<QTableView*>(u"lstvMain"_s);
    QAbstractItemModelTester tester(table->model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    dialog.setSelectCommandText(request.SelectCommandText);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    const QAbstractItemModel* model = table->model();
    ASSERT_EQ(model->columnCount(), 2);
    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), u"發行業者"_s);
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), u"契約編號"_s);
    QStringList numbers;
    for (int row = 0; row < model->rowCount(); ++row) {
        numbers << model->index(row, 1).data().toString();
    }
    EXPECT_EQ(numbers, (QStringList{u"C0001"_s, u"C0002"_s, u"C0012"_s, u"D0100"_s}));

    // Picking 林記商行 there gives what PickCustomer returned above.
    const QModelIndex row = model->index(2, 0);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier,
                      table->visualRect(row).center());
    QTest::mouseClick(dialog.findChild<QPushButton*>(u"cmdOK"_s), Qt::LeftButton);
    EXPECT_EQ(dialog.SelectedValue(), QStringList{u"林記商行"_s});
    EXPECT_EQ(dialog.SelectedName(), QStringList{u"C0012"_s});
}

TEST_P(PickCustomerTest, WithoutAChoiceLeavesTheOutputs) {
    ScriptedDialogs dialogs;
    dialogs.expectSelection(u"選擇"_s);
    QString noContract = u"C0001"_s;
    QString name = u"王品餐飲"_s;
    EXPECT_FALSE(PickCustomer(nullptr, db(), noContract, name));
    EXPECT_EQ(noContract, u"C0001"_s);
    EXPECT_EQ(name, u"王品餐飲"_s);
}

QUORVANE_INSTANTIATE_BACKENDS(PickCustomerTest);

// --- Date fields ---

struct DateCase {
    const char* name;
    QString typed;
    bool picker;
    QString picked;  // the picker's answer (empty: Esc)
    QString text;
};

std::ostream& operator<<(std::ostream& os, const DateCase& c) {
    return os << c.name;
}

class DateLookup : public ::testing::TestWithParam<DateCase> {
protected:
    // Date look-ups do not read the database; the connection is never opened.
    test::ScratchDatabase scratch_{test::Backend::Sqlite};
    std::unique_ptr<Database> db_ = scratch_.connect();
};

TEST_P(DateLookup, Enter) {
    const DateCase& c = GetParam();
    LookupScreen screen(*db_, FieldKind::Date, FieldKindFilter::Typing::Free);
    ScriptedDialogs dialogs;
    if (c.picker) {
        dialogs.expectDate(c.picked);
    }
    screen.type(c.typed);
    screen.pressEnter();

    EXPECT_EQ(dialogs.pending(), 0u);
    EXPECT_EQ(screen.field()->text(), c.text);
    // After the picker the focus moves on whether or not a date was picked.
    EXPECT_TRUE(screen.movedOn());
    EXPECT_TRUE(screen.nextSelected());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DateLookup,
    ::testing::Values(
        DateCase{
            "Month13OpensThePickerAndEscKeepsTheText", u"2024/13/01"_s, true, {}, u"2024/13/01"_s},
        DateCase{"Month13TakesThePickedDate", u"2024/13/01"_s, true, u"2024/03/05"_s,
                 u"2024/03/05"_s},
        DateCase{"EmptyOpensThePicker", QString(), true, u"2024/03/05"_s, u"2024/03/05"_s},
        DateCase{"ValidDateMovesOnWithoutAPicker", u"2024/03/05"_s, false, {}, u"2024/03/05"_s},
        DateCase{"ShortFormMovesOnAsTyped", u"2024-3-5"_s, false, {}, u"2024-3-5"_s}),
    [](const ::testing::TestParamInfo<DateCase>& info) { return std::string(info.param.name); });

TEST(IsDateText, AcceptsWhatAClerkTypes) {
    struct Case {
        QString text;
        bool date;
    };
    const Case cases[] = {
        {u"2024/03/05"_s, true},      {u"2024/3/5"_s, true},     {u"2024-03-05"_s, true},
        {u"2024.3.5"_s, true},        {u"2024/02/29"_s, true},   {u"2023/02/29"_s, false},
        {u"2024/13/01"_s, false},     {u"2024/00/10"_s, false},  {u"2024/04/31"_s, false},
        {u"2024/3-5"_s, false},       {u"24/03/05"_s, false},    {u"20240305"_s, false},
        {u"2024/03/05 "_s, false},    {u"2024/003/05"_s, false}, {QString(), false},
        {u"２０２４/03/05"_s, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsDateText(c.text), c.date) << c.text.toStdString();
    }
}

}  // namespace
}  // namespace quorvane
