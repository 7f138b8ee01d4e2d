#include "masterdata/screens/frmBF_Customer.h"
#include "core/CurrentUser.h"
#include "db/FieldReaders.h"
#include "db/SchemaInstaller.h"
#include "support/Fixtures.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"
#include "ui/FieldKinds.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace quorvane {
namespace {

using test::AddIssuer;
using test::CountRows;
using test::kClerk;
using test::StoredIssuer;

const QString kTitle = QStringLiteral("B1-發行業者基本資料建檔");

class CustomerScreenTest : public test::BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        SetCurrentUser(kClerk);
        SetLastTypedLength(0);
    }
    void TearDown() override {
        screen_.reset();
        BackendTest::TearDown();
    }

    frmBF_Customer& open() {
        screen_ = std::make_unique<frmBF_Customer>(db());
        screen_->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(screen_.get()));
        return *screen_;
    }
    QLineEdit* field(const QString& column) { return screen_->field(column); }
    QAction* key(const QString& name) { return screen_->toolbarAction(name); }
    void type(QLineEdit* target, const QString& text) {
        target->setFocus();
        target->selectAll();
        QTest::keyClicks(target, text);
    }

    ScriptedDialogs dialogs_;
    std::unique_ptr<frmBF_Customer> screen_;
};

TEST_P(CustomerScreenTest, AnEmptyTableOpensBlankAndOnlyAddIsPossible) {
    frmBF_Customer& screen = open();
    EXPECT_EQ(screen.windowTitle(), kTitle + QStringLiteral("： - （瀏覽模式）"));
    EXPECT_TRUE(key(QStringLiteral("AddNew"))->isEnabled());
    EXPECT_FALSE(key(QStringLiteral("Edit"))->isEnabled());
    EXPECT_FALSE(key(QStringLiteral("Delete"))->isEnabled());
    EXPECT_FALSE(key(QStringLiteral("Save"))->isEnabled());
    EXPECT_FALSE(key(QStringLiteral("AccountAddNew"))->isEnabled()) << "no quota screen yet";
    EXPECT_EQ(field(QStringLiteral("NoContract"))->text(), QString());
}

TEST_P(CustomerScreenTest, AddTypesFiltersAndSavesWithAuditStamps) {
    frmBF_Customer& screen = open();
    QTest::keyClick(&screen, Qt::Key_N, Qt::ControlModifier);
    ASSERT_TRUE(screen.isAdding());
    EXPECT_EQ(QApplication::focusWidget(), field(QStringLiteral("NoContract")));
    QTest::keyClicks(field(QStringLiteral("NoContract")), QStringLiteral("k1-a/b.c"));
    EXPECT_EQ(field(QStringLiteral("NoContract"))->text(), QStringLiteral("K1-ABC"));
    field(QStringLiteral("NameCompany"))->setText(QStringLiteral("宏遠百貨"));
    field(QStringLiteral("Note"))->setText(QStringLiteral("O'Brien; DROP TABLE BF_Customer; --"));
    EXPECT_EQ(screen.windowTitle(), kTitle + QStringLiteral("：K1-ABC - 宏遠百貨（新增模式）"));

    const QDateTime before = db().GetServerTime();
    dialogs_.expectMessage(Dialogs::Icon::Information, QStringLiteral("儲存"),
                           QStringLiteral("儲存成功"));
    QTest::keyClick(&screen, Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(screen.isEditing());
    EXPECT_EQ(screen.windowTitle(), kTitle + QStringLiteral("：K1-ABC - 宏遠百貨（瀏覽模式）"));

    const QSqlRecord row = StoredIssuer(db(), QStringLiteral("K1-ABC"));
    ASSERT_FALSE(row.isEmpty());
    EXPECT_EQ(FieldText(row, QStringLiteral("NameCompany")), QStringLiteral("宏遠百貨"));
    EXPECT_EQ(FieldText(row, QStringLiteral("Note")),
              QStringLiteral("O'Brien; DROP TABLE BF_Customer; --"));
    EXPECT_FALSE(row.value(QStringLiteral("TelFax")).isNull()) << "an empty field is stored as ''";
    EXPECT_EQ(FieldText(row, QStringLiteral("IdUserAddNew")), QStringLiteral("CLERK"));
    const QDateTime added = FieldDateTime(row, QStringLiteral("TimeAddNew"));
    EXPECT_LE(before, added);
    EXPECT_TRUE(row.value(QStringLiteral("TimeModifyFirst")).isNull());
    EXPECT_EQ(screen.lstMain()->currentIndex().data().toString(),
              QStringLiteral("K1-ABC：宏遠百貨"));
    EXPECT_EQ(screen.findChild<QLabel*>(QStringLiteral("sspIdUserAddNew"))->text(),
              QStringLiteral("CLERK"));
}

TEST_P(CustomerScreenTest, AddStartsFromTheIssuerShownAndCancelReturnsToIt) {
    AddIssuer(db(), QStringLiteral("K1"), QStringLiteral("宏遠百貨"), QStringLiteral("12345678"));
    frmBF_Customer& screen = open();
    QTest::keyClick(&screen, Qt::Key_Insert);
    EXPECT_EQ(field(QStringLiteral("NoContract"))->text(), QString());
    EXPECT_EQ(field(QStringLiteral("NameCompany"))->text(), QStringLiteral("宏遠百貨"));
    EXPECT_EQ(field(QStringLiteral("NoVAT"))->text(), QStringLiteral("12345678"));
    EXPECT_EQ(screen.findChild<QLabel*>(QStringLiteral("sspIdUserAddNew"))->text(), QString());
    EXPECT_FALSE(screen.lstMain()->isEnabled());

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(screen.isEditing());
    EXPECT_EQ(field(QStringLiteral("NoContract"))->text(), QStringLiteral("K1"));
    EXPECT_EQ(QApplication::focusWidget(), screen.lstMain());
}

TEST_P(CustomerScreenTest, SaveCheckAndDuplicateKeyKeepTheScreenAsTyped) {
    AddIssuer(db(), QStringLiteral("K1"), QStringLiteral("宏遠百貨"));
    frmBF_Customer& screen = open();
    screen.subFormAddNew();
    QTest::keyClicks(field(QStringLiteral("NoContract")), QStringLiteral("   "));
    dialogs_.expectMessage(Dialogs::Icon::Warning, QStringLiteral("儲存檢查"),
                           QStringLiteral("契約尚未輸入\r\n\r\n請重新輸入契約編號"));
    EXPECT_FALSE(screen.subFormSave());
    EXPECT_TRUE(screen.isAdding());
    EXPECT_EQ(QApplication::focusWidget(), field(QStringLiteral("NoContract")));

    type(field(QStringLiteral("NoContract")), QStringLiteral("K1"));
    field(QStringLiteral("NameCompany"))->setText(QStringLiteral("另一家"));
    // Neither answer reports the refused write as saved.
    for (const Answer answer : {Answer::Exit, Answer::Ignore}) {
        dialogs_.expectException(answer, QStringLiteral("例外程序　　　　：subFormSave"));
        EXPECT_FALSE(screen.subFormSave());
        EXPECT_TRUE(screen.isAdding());
        EXPECT_EQ(field(QStringLiteral("NameCompany"))->text(), QStringLiteral("另一家"));
    }
    EXPECT_EQ(FieldText(StoredIssuer(db(), QStringLiteral("K1")), QStringLiteral("NameCompany")),
              QStringLiteral("宏遠百貨"));
    EXPECT_EQ(CountRows(db(), QStringLiteral("BF_Customer")), 1);
}

TEST_P(CustomerScreenTest, ModifyKeepsTheFirstModifierAndStampsTheLast) {
    AddIssuer(db(), QStringLiteral("K1"), QStringLiteral("宏遠百貨"));
    frmBF_Customer& screen = open();
    QTest::keyClick(screen.lstMain(), Qt::Key_F2);
    ASSERT_TRUE(screen.isEditing());
    EXPECT_FALSE(field(QStringLiteral("NoContract"))->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), field(QStringLiteral("NoVAT")));
    field(QStringLiteral("TelCompany"))->setText(QStringLiteral("02-2345-6789"));
    dialogs_.expectMessage(Dialogs::Icon::Information, QStringLiteral("儲存"),
                           QStringLiteral("儲存成功"));
    ASSERT_TRUE(screen.subFormSave());
    const QSqlRecord first = StoredIssuer(db(), QStringLiteral("K1"));

    SetCurrentUser({QStringLiteral("SUPER"), QStringLiteral("主管"), false, true, false});
    screen.subFormEdit();
    field(QStringLiteral("TelCompany"))->setText(QStringLiteral("02-8765-4321"));
    dialogs_.expectMessage(Dialogs::Icon::Information, QStringLiteral("儲存"),
                           QStringLiteral("儲存成功"));
    ASSERT_TRUE(screen.subFormSave());
    const QSqlRecord second = StoredIssuer(db(), QStringLiteral("K1"));

    EXPECT_EQ(FieldText(second, QStringLiteral("TelCompany")), QStringLiteral("02-8765-4321"));
    EXPECT_EQ(FieldText(second, QStringLiteral("IdUserModifyFirst")), QStringLiteral("CLERK"));
    EXPECT_EQ(FieldDateTime(second, QStringLiteral("TimeModifyFirst")),
              FieldDateTime(first, QStringLiteral("TimeModifyFirst")));
    EXPECT_EQ(FieldText(second, QStringLiteral("IdUserModifyLast")), QStringLiteral("SUPER"));
    EXPECT_LE(FieldDateTime(first, QStringLiteral("TimeModifyLast")),
              FieldDateTime(second, QStringLiteral("TimeModifyLast")));
    EXPECT_TRUE(FieldText(second, QStringLiteral("IdUserAddNew")).isEmpty())
        << "insert stamps untouched";
}

TEST_P(CustomerScreenTest, BusinessNumberMarksTestOnlyTheLength) {
    AddIssuer(db(), QStringLiteral("K1"), QStringLiteral("宏遠百貨"));
    frmBF_Customer& screen = open();
    screen.subFormEdit();
    QLineEdit* vat = field(QStringLiteral("NoVAT"));
    auto* ok = screen.findChild<QLabel*>(QStringLiteral("imgNoVatOK"));
    auto* reject = screen.findChild<QLabel*>(QStringLiteral("imgNoVatReject"));
    const struct {
        QString typed;
        bool ok;
        bool reject;
    } cases[] = {
        {QStringLiteral("1234567"), false, true},
        {QStringLiteral("1234567A"), true, false},
        {QString(), false, false},
        {QStringLiteral("12345678"), true, false},
    };
    for (const auto& c : cases) {
        vat->setFocus();
        vat->selectAll();
        QTest::keyClick(vat, Qt::Key_Delete);
        QTest::keyClicks(vat, c.typed);
        QTest::keyClick(vat, Qt::Key_Return);  // leaving the field validates it
        EXPECT_EQ(ok->isVisible(), c.ok) << c.typed.toStdString();
        EXPECT_EQ(reject->isVisible(), c.reject) << c.typed.toStdString();
    }
    vat->setText(QStringLiteral("1234567"));
    dialogs_.expectMessage(Dialogs::Icon::Information, QStringLiteral("儲存"),
                           QStringLiteral("儲存成功"));
    EXPECT_TRUE(screen.subFormSave());
    EXPECT_FALSE(ok->isVisible());
    EXPECT_FALSE(reject->isVisible());
}

TEST_P(CustomerScreenTest, DeleteRefusesAnIssuerWithASampleAndTakesQuotaApplicationsAlong) {
    AddIssuer(db(), QStringLiteral("K1"), QStringLiteral("宏遠百貨"), QStringLiteral("12345678"));
    AddIssuer(db(), QStringLiteral("K2"), QStringLiteral("甲興"));
    db().ConnExecute(
        Statement(QStringLiteral("INSERT INTO OR_TicketForm (NoTicketForm, NoContract, NoItem) "
                                 "VALUES ('K2-001', 'K2', 1)")));
    db().ConnExecute(
        Statement(QStringLiteral("INSERT INTO OR_Account (NoAccount, NoContract, NoItem, Amount, "
                                 "VerifyApprove) VALUES ('K1-01', 'K1', 1, 500000, 1)")));
    frmBF_Customer& screen = open();
    const QString title = QStringLiteral("刪除程序");

    screen.subFormShowRecord(QStringLiteral("K2"));
    dialogs_.expectMessage(
        Dialogs::Icon::Warning, title,
        QStringLiteral("刪除失敗\r\n\r\n此筆客戶資料已建立於「禮卷票樣確認單」，不允許刪除"));
    screen.subFormDelete();

    screen.subFormShowRecord(QStringLiteral("K1"));
    const QString question = QStringLiteral(
        "是否欲刪除以下紀錄\r\n\r\n契約編號：K1\r\n發行業者：宏遠百貨\r\n統一編號：12345678");
    dialogs_.expectMessage(Dialogs::Icon::Question, title, question, Dialogs::Button::Cancel)
        .withButtons(Dialogs::Buttons::OkCancel, Dialogs::Button::Cancel);
    dialogs_.expectMessage(Dialogs::Icon::Warning, title,
                           QStringLiteral("刪除失敗\r\n\r\n使用者已取消操作"));
    screen.subFormDelete();
    EXPECT_EQ(CountRows(db(), QStringLiteral("BF_Customer")), 2);

    dialogs_.expectMessage(Dialogs::Icon::Question, title, question, Dialogs::Button::Ok);
    dialogs_.expectMessage(Dialogs::Icon::Information, title, QStringLiteral("已刪除 [K1] "));
    QTest::keyClick(screen.lstMain(), Qt::Key_Delete);
    EXPECT_EQ(CountRows(db(), QStringLiteral("BF_Customer")), 1);
    EXPECT_EQ(CountRows(db(), QStringLiteral("OR_Account")), 0)
        << "the issuer's applications go with it";
    EXPECT_EQ(field(QStringLiteral("NoContract"))->text(), QStringLiteral("K2"))
        << "shows the first again";

    // Deleted meanwhile on another workstation.
    db().ConnExecute(Statement(QStringLiteral("DELETE FROM OR_TicketForm")));
    db().ConnExecute(Statement(QStringLiteral("DELETE FROM BF_Customer")));
    dialogs_.expectMessage(Dialogs::Icon::Warning, title,
                           QStringLiteral("刪除失敗\r\n\r\n無此筆紀錄[ K2 ]"));
    screen.subFormDelete();
}

TEST_P(CustomerScreenTest, ShowRecordWhileModifyingAsksBeforeAbandoningTheEdit) {
    AddIssuer(db(), QStringLiteral("K1"), QStringLiteral("宏遠百貨"));
    AddIssuer(db(), QStringLiteral("K2"), QStringLiteral("甲興"));
    frmBF_Customer& screen = open();
    screen.subFormEdit();
    field(QStringLiteral("NameCompany"))->setText(QStringLiteral("改名中"));
    const QString question = QStringLiteral(
        "表單使用中，是否強制載入？\r\n\r\n目前表單〔B1-發行業者基本資料建檔〕正處於〔修改模式〕"
        "是否欲放棄目前的作業並載入票樣編號 K2 ？");
    dialogs_
        .expectMessage(Dialogs::Icon::Question, QStringLiteral("載入發行業者資料"), question,
                       Dialogs::Button::Cancel)
        .withButtons(Dialogs::Buttons::OkCancel, Dialogs::Button::Cancel);
    screen.subFormShowRecord(QStringLiteral("K2"));
    EXPECT_TRUE(screen.isEditing());
    EXPECT_EQ(field(QStringLiteral("NameCompany"))->text(), QStringLiteral("改名中"));

    dialogs_.expectMessage(Dialogs::Icon::Question, QStringLiteral("載入發行業者資料"), question,
                           Dialogs::Button::Ok);
    screen.subFormShowRecord(QStringLiteral("K2"));
    EXPECT_FALSE(screen.isEditing());
    EXPECT_EQ(field(QStringLiteral("NameCompany"))->text(), QStringLiteral("甲興"));
    EXPECT_EQ(FieldText(StoredIssuer(db(), QStringLiteral("K1")), QStringLiteral("NameCompany")),
              QStringLiteral("宏遠百貨"));
    EXPECT_EQ(screen.windowTitle(), kTitle + QStringLiteral("：K2 - 甲興（瀏覽模式）"));
}

TEST_P(CustomerScreenTest, PastedTextIsCutToEachFieldsLength) {
    AddIssuer(db(), QStringLiteral("K1"), QStringLiteral("宏遠百貨"));
    frmBF_Customer& screen = open();
    screen.subFormEdit();
    QApplication::clipboard()->setText(QString(10000, QChar(0x5b57)));
    for (const QString& column :
         {QStringLiteral("NameCompany"), QStringLiteral("Note"), QStringLiteral("NoVAT")}) {
        QLineEdit* target = field(column);
        target->setFocus();
        target->selectAll();
        QTest::keyClick(target, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(target->text().size(), target->maxLength()) << column.toStdString();
    }
    dialogs_.expectMessage(Dialogs::Icon::Information, QStringLiteral("儲存"),
                           QStringLiteral("儲存成功"));
    ASSERT_TRUE(screen.subFormSave());
    EXPECT_EQ(FieldText(StoredIssuer(db(), QStringLiteral("K1")), QStringLiteral("Note")),
              QString(50, QChar(0x5b57)));
}

TEST_P(CustomerScreenTest, TheListFollowsTheWindowAndKeepsItsSizeWhenSqueezed) {
    frmBF_Customer& screen = open();
    const QSize design = screen.lstMain()->size();
    screen.resize(screen.width() + 100, screen.height() + 60);
    EXPECT_EQ(screen.lstMain()->size(), design + QSize(100, 60));
    EXPECT_EQ(screen.findChild<QLabel*>(QStringLiteral("sspBannerList"))->width(),
              design.width() + 100);
    const QSize grown = screen.lstMain()->size();
    screen.resize(screen.width() - design.width() - 200, screen.height());
    EXPECT_EQ(screen.lstMain()->size(), grown) << "a list with no width left keeps its size";
}

QUORVANE_INSTANTIATE_BACKENDS(CustomerScreenTest);

TEST(CustomerScreenPostgres, RetryAfterTheConnectionWasLostSavesOnce) {
    test::ScratchDatabase scratch(test::Backend::Postgres);
    auto db = scratch.connect();
    SchemaInstaller::Install(*db);
    auto admin = scratch.connect();
    ScriptedDialogs dialogs;
    SetCurrentUser({QStringLiteral("CLERK"), QString(), true, false, false});
    frmBF_Customer screen(*db);
    screen.show();
    screen.subFormAddNew();
    screen.field(QStringLiteral("NoContract"))->setText(QStringLiteral("K9"));
    screen.field(QStringLiteral("NameCompany"))->setText(QStringLiteral("斷線測試"));

    const qint32 pid = db->LookupLong(Statement(QStringLiteral("SELECT pg_backend_pid()")));
    admin->LookupText(Statement(QStringLiteral("SELECT pg_terminate_backend(?)"), {pid}));
    dialogs.expectException(Answer::Retry, QStringLiteral("例外程序　　　　：subFormSave"));
    dialogs.expectMessage(Dialogs::Icon::Information, QStringLiteral("儲存"),
                          QStringLiteral("儲存成功"));
    EXPECT_TRUE(screen.subFormSave());
    EXPECT_EQ(admin->LookupLong(Statement(
                  QStringLiteral("SELECT COUNT(*) FROM BF_Customer WHERE NoContract = 'K9'"))),
              1);
}

}  // namespace
}  // namespace quorvane
