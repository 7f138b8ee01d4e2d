#include "quota/screens/frmOR_Account.h"

#include "core/CurrentUser.h"
#include "core/FailureRouting.h"
#include "db/SchemaInstaller.h"
#include "quota/rules/QuotaApplications.h"
#include "support/Fixtures.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"
#include "ui/FieldKinds.h"
#include "ui/FieldLookups.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace quorvane {
namespace {

using test::AddApplication;
using test::AddIssuer;
using test::AddSample;
using test::Application;
using test::ApplicationRow;
using test::CountApplications;
using test::kBoth;
using test::kClerk;
using test::kGuest;
using test::kSupervisor;
using test::PrintVouchers;
using test::RefuseInserts;
using test::StoredApplication;
using test::StoredVerdict;
using test::Verdict;

const QString kTitle = QStringLiteral("C1-禮卷額度申請單");
const QString kK1Name = QStringLiteral("晨曦百貨股份有限公司");
const QString kT12Name = QStringLiteral("福泰餐飲股份有限公司");
const QString kSaved = QStringLiteral("儲存成功");

class QuotaScreenTest : public test::BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        SetCurrentUser(kClerk);
        SetLastTypedLength(0);
        InstallFieldLookups(db());
        AddIssuer(db(), QStringLiteral("K1"), kK1Name);
        AddIssuer(db(), QStringLiteral("T0012"), kT12Name);
    }
    void TearDown() override {
        screen_.reset();
        RemoveFieldLookups();
        BackendTest::TearDown();
    }

    // The worked example before the newer application is approved: K1-01 500000 approved,
    // 200000 printed, K1-02 300000 pending; and a returned application of another issuer.
    void seedExample() {
        AddApplication(db(), Application(QStringLiteral("K1"), 1, 500000, Verdict::Approved));
        ApplicationRow second = Application(QStringLiteral("K1"), 2, 300000);
        second.noteHandling = QStringLiteral("增額");
        AddApplication(db(), second);
        ApplicationRow returned =
            Application(QStringLiteral("T0012"), 1, 250000, Verdict::Returned);
        AddApplication(db(), returned);
        db().ConnExecute(Statement(QStringLiteral(
            "UPDATE OR_Account SET IdUserVerifyReturn = 'OLDSUP', "
            "TimeVerifyReturn = '2024-04-01 08:00:00.000' WHERE NoAccount = 'T0012-01'")));
        const QString sample = AddSample(db(), QStringLiteral("K1"), 1, 100000);
        PrintVouchers(db(), sample, 1, 2);
    }

    frmOR_Account& open() {
        screen_ = std::make_unique<frmOR_Account>(db());
        screen_->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(screen_.get()));
        screen_->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(screen_.get()));
        return *screen_;
    }
    template <typename T = QWidget>
    T* child(const QString& name) {
        T* found = screen_->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    QLineEdit* field(const QString& name) { return child<QLineEdit>(name); }
    QString panel(const QString& name) { return child<QLabel>(name)->text(); }
    QAction* key(const QString& name) { return screen_->toolbarAction(name); }
    QStringList summary() {
        return {panel(QStringLiteral("sspAmountApplyApprove")),
                panel(QStringLiteral("sspAmountTicketPrint")),
                panel(QStringLiteral("sspAmountRemain"))};
    }
    QStringList listTexts() {
        QStringList texts;
        const QAbstractItemModel* model = screen_->lstMain()->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            texts << model->index(row, 0).data().toString();
        }
        return texts;
    }
    QString shown() { return screen_->lstMain()->currentIndex().data().toString(); }
    void type(QLineEdit* target, const QString& text) {
        target->setFocus();
        target->selectAll();
        QTest::keyClick(target, Qt::Key_Delete);
        QTest::keyClicks(target, text);
    }
    // Text that only an input method types.
    void commit(QLineEdit* target, const QString& text) {
        target->setFocus();
        target->selectAll();
        QInputMethodEvent event;
        event.setCommitString(text);
        QApplication::sendEvent(target, &event);
    }
    void save() {
        dialogs_.expectMessage(Dialogs::Icon::Information, QStringLiteral("儲存"), kSaved);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
        EXPECT_FALSE(screen_->isEditing());
    }
    QRadioButton* approve() { return child<QRadioButton>(QStringLiteral("ssoVerify_Approve")); }
    QRadioButton* giveBack() { return child<QRadioButton>(QStringLiteral("ssoVerify_Return")); }

    ScriptedDialogs dialogs_;
    std::unique_ptr<frmOR_Account> screen_;
};

TEST_P(QuotaScreenTest, AnEmptyTableOpensClearedAndOnlyAddIsPossible) {
    frmOR_Account& screen = open();
    EXPECT_EQ(screen.objectName(), QStringLiteral("frmOR_Account"));
    EXPECT_EQ(screen.windowTitle(), kTitle + QStringLiteral("：（瀏覽模式）"));
    EXPECT_EQ(panel(QStringLiteral("sspBannerList")), QStringLiteral("主瀏覽窗格：申請編號"));
    EXPECT_TRUE(key(QStringLiteral("AddNew"))->isEnabled());
    EXPECT_FALSE(key(QStringLiteral("Edit"))->isEnabled());
    EXPECT_FALSE(key(QStringLiteral("Save"))->isEnabled());
    EXPECT_FALSE(key(QStringLiteral("Cancel"))->isEnabled());
    EXPECT_TRUE(key(QStringLiteral("Find"))->isEnabled());
    for (const QString& absent : {QStringLiteral("Nullify"), QStringLiteral("Export"),
                                  QStringLiteral("Print"), QStringLiteral("Delete")}) {
        EXPECT_EQ(key(absent), nullptr) << absent.toStdString() << " has no action here";
    }
    EXPECT_EQ(field(QStringLiteral("txtNoContract"))->text(), QString());
    EXPECT_EQ(summary(),
              (QStringList{QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0")}));
    QTest::keyClick(screen.lstMain(), Qt::Key_F2);
    EXPECT_FALSE(screen.isEditing());

    // An add cancelled on the empty table leaves nothing of what was typed.
    QTest::keyClick(&screen, Qt::Key_Insert);
    ASSERT_TRUE(screen.isAdding());
    type(field(QStringLiteral("txtNoContract")), QStringLiteral("K1"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(screen.isEditing());
    EXPECT_EQ(field(QStringLiteral("txtNoContract"))->text(), QString());
    EXPECT_EQ(panel(QStringLiteral("sspNameCompany")), QString());
}

TEST_P(QuotaScreenTest, OpensOnTheFirstApplicationWithItsContractsSummary) {
    seedExample();
    frmOR_Account& screen = open();
    EXPECT_EQ(listTexts(), (QStringList{QStringLiteral("K1：晨曦百貨（未核）"),
                                        QStringLiteral("K1：晨曦百貨（核准）"),
                                        QStringLiteral("T0012：福泰餐飲（退回）")}));
    EXPECT_EQ(panel(QStringLiteral("sspNoAccount")), QStringLiteral("K1-02"));
    EXPECT_EQ(screen.windowTitle(), kTitle + QStringLiteral("：K1-02（瀏覽模式）"));
    EXPECT_EQ(field(QStringLiteral("txtNoContract"))->text(), QStringLiteral("K1"));
    EXPECT_EQ(panel(QStringLiteral("sspNameCompany")), kK1Name);
    EXPECT_EQ(field(QStringLiteral("txtAmount"))->text(), QStringLiteral("300000"));
    EXPECT_EQ(panel(QStringLiteral("sspAmount")), QStringLiteral("300,000"));
    EXPECT_EQ(field(QStringLiteral("txtNoteHandling"))->text(), QStringLiteral("增額"));
    EXPECT_EQ(panel(QStringLiteral("sspIdUserAddNew")), QStringLiteral("SEED"));
    EXPECT_EQ(panel(QStringLiteral("sspTimeAddNew")), QStringLiteral("2024/03/05 10:00:00"));
    EXPECT_FALSE(approve()->isChecked());
    EXPECT_FALSE(giveBack()->isChecked());
    EXPECT_EQ(summary(), (QStringList{QStringLiteral("500,000"), QStringLiteral("200,000"),
                                      QStringLiteral("300,000")}));
    EXPECT_FALSE(child<QGroupBox>(QStringLiteral("ssfHandling"))->isEnabled());
    EXPECT_FALSE(child<QGroupBox>(QStringLiteral("ssfVerify"))->isEnabled());

    const QModelIndex returned = screen.lstMain()->model()->index(2, 0);
    QTest::mouseClick(screen.lstMain()->viewport(), Qt::LeftButton, {},
                      screen.lstMain()->visualRect(returned).center());
    EXPECT_EQ(panel(QStringLiteral("sspNoAccount")), QStringLiteral("T0012-01"));
    EXPECT_TRUE(giveBack()->isChecked());
    EXPECT_FALSE(approve()->isChecked());
    EXPECT_EQ(panel(QStringLiteral("sspIdUserVerifyReturn")), QStringLiteral("OLDSUP"));
    EXPECT_EQ(panel(QStringLiteral("sspTimeVerifyReturn")), QStringLiteral("2024/04/01 08:00:00"));
    EXPECT_EQ(panel(QStringLiteral("sspIdUserVerifyApprove")), QString());
    EXPECT_EQ(summary(),
              (QStringList{QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0")}));
    EXPECT_EQ(screen.windowTitle(), kTitle + QStringLiteral("：T0012-01（瀏覽模式）"));
}

TEST_P(QuotaScreenTest, AClerkFilesAnApplicationWithTheKeys) {
    frmOR_Account& screen = open();
    QTest::keyClick(&screen, Qt::Key_N, Qt::ControlModifier);
    ASSERT_TRUE(screen.isAdding());
    EXPECT_EQ(screen.windowTitle(), kTitle + QStringLiteral("：（新增模式）"));
    QLineEdit* contract = field(QStringLiteral("txtNoContract"));
    EXPECT_EQ(QApplication::focusWidget(), contract);
    EXPECT_TRUE(child<QPushButton>(QStringLiteral("cmdSelectNoContract"))->isEnabled());
    QTest::keyClicks(contract, QStringLiteral("k1/"));
    EXPECT_EQ(contract->text(), QStringLiteral("K1"));
    EXPECT_EQ(panel(QStringLiteral("sspNameCompany")), kK1Name);
    QTest::keyClick(contract, Qt::Key_Return);  // an existing contract moves on at once
    QLineEdit* amount = field(QStringLiteral("txtAmount"));
    EXPECT_EQ(QApplication::focusWidget(), amount);
    QTest::keyClicks(amount, QStringLiteral("1500000"));
    EXPECT_EQ(panel(QStringLiteral("sspAmount")), QStringLiteral("1,500,000"));
    QTest::keyClick(amount, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), field(QStringLiteral("txtNoteHandling")));
    commit(field(QStringLiteral("txtNoteHandling")), QStringLiteral("首次申請 O'Brien"));

    const QDateTime before = db().GetServerTime();
    save();
    EXPECT_EQ(screen.windowTitle(), kTitle + QStringLiteral("：K1-01（瀏覽模式）"));
    EXPECT_EQ(shown(), QStringLiteral("K1：晨曦百貨（未核）"));
    EXPECT_EQ(QApplication::focusWidget(), screen.lstMain());
    EXPECT_EQ(panel(QStringLiteral("sspIdUserAddNew")), QStringLiteral("CLERK"));
    const QSqlRecord row = StoredApplication(db(), QStringLiteral("K1-01"));
    ASSERT_FALSE(row.isEmpty());
    EXPECT_EQ(FieldInt64(row, QStringLiteral("Amount")), 1500000);
    EXPECT_EQ(FieldText(row, QStringLiteral("NoteHandling")), QStringLiteral("首次申請 O'Brien"));
    EXPECT_EQ(FieldLong(row, QStringLiteral("NoItem")), 1);
    EXPECT_EQ(FieldLong(row, QStringLiteral("Active")), 1);
    EXPECT_LE(before, FieldDateTime(row, QStringLiteral("TimeAddNew")));
    EXPECT_EQ(StoredVerdict(row), std::nullopt);

    // The toolbar key files the next one under the next number.
    key(QStringLiteral("AddNew"))->trigger();
    type(field(QStringLiteral("txtNoContract")), QStringLiteral("K1"));
    type(field(QStringLiteral("txtAmount")), QStringLiteral("0"));
    EXPECT_EQ(panel(QStringLiteral("sspAmount")), QString()) << "\"#,###,###\" shows 0 as nothing";
    save();
    EXPECT_EQ(panel(QStringLiteral("sspNoAccount")), QStringLiteral("K1-02"));
}

TEST_P(QuotaScreenTest, ThePickerPutsTheChosenIssuerIn) {
    frmOR_Account& screen = open();
    screen.subFormAddNew();
    auto* picker = child<QPushButton>(QStringLiteral("cmdSelectNoContract"));
    dialogs_.expectSelection(QString());  // closed without a choice
    QTest::mouseClick(picker, Qt::LeftButton);
    EXPECT_EQ(field(QStringLiteral("txtNoContract"))->text(), QString());

    dialogs_.expectSelection(QString(), {kT12Name}, {QStringLiteral("T0012")});
    QTest::mouseClick(picker, Qt::LeftButton);
    EXPECT_EQ(field(QStringLiteral("txtNoContract"))->text(), QStringLiteral("T0012"));
    EXPECT_EQ(panel(QStringLiteral("sspNameCompany")), kT12Name);
    EXPECT_EQ(QApplication::focusWidget(), field(QStringLiteral("txtAmount")));
    ASSERT_EQ(dialogs_.records().size(), 2u);
    EXPECT_TRUE(dialogs_.records().back().selection.SelectCommandText.sql.contains(
        QStringLiteral("FROM BF_Customer")));
}

TEST_P(QuotaScreenTest, TheIssuerScreensOperationsWorkByName) {
    seedExample();
    frmOR_Account& screen = open();
    ASSERT_TRUE(QMetaObject::invokeMethod(&screen, "subFormAddNew",
                                          Q_ARG(QString, QStringLiteral("T0012"))));
    ASSERT_TRUE(screen.isAdding());
    EXPECT_EQ(field(QStringLiteral("txtNoContract"))->text(), QStringLiteral("T0012"));
    EXPECT_TRUE(field(QStringLiteral("txtNoContract"))->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), field(QStringLiteral("txtNoContract")));
    EXPECT_EQ(panel(QStringLiteral("sspNameCompany")), kT12Name);
    EXPECT_EQ(panel(QStringLiteral("sspNoAccount")), QString());
    EXPECT_EQ(field(QStringLiteral("txtAmount"))->text(), QString());
    EXPECT_FALSE(giveBack()->isChecked());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(panel(QStringLiteral("sspNoAccount")), QStringLiteral("K1-02")) << "back to before";
    EXPECT_EQ(QApplication::focusWidget(), screen.lstMain());

    ASSERT_TRUE(QMetaObject::invokeMethod(&screen, "subFormShowRecordByNoContract",
                                          Q_ARG(QString, QStringLiteral("T0012"))));
    EXPECT_EQ(panel(QStringLiteral("sspNoAccount")), QStringLiteral("T0012-01"));
    EXPECT_EQ(shown(), QStringLiteral("T0012：福泰餐飲（退回）"));
    screen.subFormShowRecordByNoContract(QStringLiteral("NOSUCH"));
    EXPECT_EQ(panel(QStringLiteral("sspNoAccount")), QStringLiteral("T0012-01"));
}

TEST_P(QuotaScreenTest, NumbersGoPastNinetyNineAndTheLatestIsTheHighestItem) {
    {
        Transaction transaction(db());
        for (int item = 1; item <= 99; ++item) {
            AddApplication(db(), Application(QStringLiteral("K1"), item, 1000));
        }
        transaction.commit();
    }
    frmOR_Account& screen = open();
    screen.subFormAddNew(QStringLiteral("K1"));
    type(field(QStringLiteral("txtAmount")), QStringLiteral("1000"));
    save();
    EXPECT_EQ(panel(QStringLiteral("sspNoAccount")), QStringLiteral("K1-100"));
    EXPECT_EQ(
        FieldLong(StoredApplication(db(), QStringLiteral("K1-100")), QStringLiteral("NoItem")),
        100);

    screen.subFormShowRecordByNoContract(QStringLiteral("T0012"));  // none: nothing happens
    EXPECT_EQ(panel(QStringLiteral("sspNoAccount")), QStringLiteral("K1-100"));
    screen.subFormShowRecordByNoContract(QStringLiteral("K1"));
    EXPECT_EQ(panel(QStringLiteral("sspNoAccount")), QStringLiteral("K1-100"))
        << "the latest application, though \"K1-99\" is the larger text";
}

TEST_P(QuotaScreenTest, UsersWithoutClerkPermissionCannotAdd) {
    seedExample();
    for (const User& user : {kSupervisor, kGuest}) {
        SetCurrentUser(user);
        frmOR_Account& screen = open();
        const QString refusal =
            QStringLiteral("新增失敗\r\n\r\n您的使用者帳號不具「經辦」權限，不允許申辦額度");
        dialogs_.expectMessage(Dialogs::Icon::Warning, QStringLiteral("新增"), refusal)
            .withButtons(Dialogs::Buttons::Ok, Dialogs::Button::Ok);
        QTest::keyClick(&screen, Qt::Key_Insert);
        EXPECT_FALSE(screen.isEditing()) << user.IdUser.toStdString();
        dialogs_.expectMessage(Dialogs::Icon::Warning, QStringLiteral("新增"), refusal);
        QMetaObject::invokeMethod(&screen, "subFormAddNew", Q_ARG(QString, QStringLiteral("K1")));
        EXPECT_FALSE(screen.isEditing());
        EXPECT_EQ(panel(QStringLiteral("sspNoAccount")), QStringLiteral("K1-02"));
    }
    EXPECT_EQ(CountApplications(db()), 3);
}

TEST_P(QuotaScreenTest, TheFormCheckRefusesWithTheFieldToCorrect) {
    seedExample();  // 200000 printed on K1
    frmOR_Account& screen = open();
    const struct {
        QString contract;
        QString amount;
        QString message;
        const char* focus;
    } cases[] = {
        {QString(), QStringLiteral("1000"),
         QStringLiteral("「契約代碼」錯誤\r\n\r\n尚未輸入「契約代碼」，請重新輸入"),
         "txtNoContract"},
        {QStringLiteral("   "), QStringLiteral("1000"),
         QStringLiteral("「契約代碼」錯誤\r\n\r\n尚未輸入「契約代碼」，請重新輸入"),
         "txtNoContract"},
        {QStringLiteral("ZZ9"), QStringLiteral("1000"),
         QStringLiteral("「契約代碼」錯誤\r\n\r\n您輸入的契約代碼：ZZ9 不存在，請重新輸入"),
         "txtNoContract"},
        {QStringLiteral("K1"), QStringLiteral("  "),
         QStringLiteral("「申請額度」錯誤\r\n\r\n尚未輸入「申請額度」，請重新輸入"), "txtAmount"},
        {QStringLiteral("K1"), QStringLiteral("-5"), BadAmountText(QStringLiteral("-5")),
         "txtAmount"},
        {QStringLiteral("K1"), QStringLiteral("12.5"), BadAmountText(QStringLiteral("12.5")),
         "txtAmount"},
        {QStringLiteral("K1"), QStringLiteral("1e3"), BadAmountText(QStringLiteral("1e3")),
         "txtAmount"},
        {QStringLiteral("K1"), QStringLiteral("199999"),
         QStringLiteral("「申請額度」錯誤\r\n\r\n目前的使用額度為：200,000\r\n"
                        "目前申請的額度為：199,999\r\n\r\n此作業將造成剩餘額度不足"),
         "txtAmount"},
    };
    screen.subFormAddNew();
    for (const auto& c : cases) {
        field(QStringLiteral("txtNoContract"))->setText(c.contract);
        field(QStringLiteral("txtAmount"))->setText(c.amount);
        field(QStringLiteral("txtNoteHandling"))->setFocus();
        dialogs_.expectMessage(Dialogs::Icon::Warning, QStringLiteral("表單查核"), c.message);
        EXPECT_FALSE(screen.subFormSave()) << c.amount.toStdString();
        EXPECT_TRUE(screen.isAdding());
        EXPECT_EQ(QApplication::focusWidget()->objectName(), QString::fromLatin1(c.focus))
            << c.message.toStdString();
        EXPECT_EQ(field(QStringLiteral("txtAmount"))->text(), c.amount) << "kept as typed";
    }
    EXPECT_EQ(CountApplications(db()), 3);

    // Typed, a fraction is shown as typed and never as a rounded amount.
    type(field(QStringLiteral("txtAmount")), QStringLiteral("12.5"));
    EXPECT_EQ(field(QStringLiteral("txtAmount"))->text(), QStringLiteral("12.5"));
    EXPECT_EQ(panel(QStringLiteral("sspAmount")), QString());

    // Equal to what is printed passes.
    type(field(QStringLiteral("txtAmount")), QStringLiteral("200000"));
    save();
    EXPECT_EQ(
        FieldInt64(StoredApplication(db(), QStringLiteral("K1-03")), QStringLiteral("Amount")),
        200000);
}

TEST_P(QuotaScreenTest, AClerkMayCorrectAReturnedApplicationButNotAnApprovedOne) {
    seedExample();
    frmOR_Account& screen = open();
    screen.subFormShowRecord(QStringLiteral("K1-01"));
    dialogs_.expectMessage(Dialogs::Icon::Warning, QStringLiteral("修改"),
                           QStringLiteral("禁止修改！\r\n\r\n不允許經辦人員修改本額度申請 [K1-01] "
                                          "\r\n因為本額度已被主管完成核定 "));
    QTest::keyClick(screen.lstMain(), Qt::Key_Return);
    EXPECT_FALSE(screen.isEditing());

    screen.subFormShowRecord(QStringLiteral("T0012-01"));
    QTest::keyClick(screen.lstMain(), Qt::Key_F2);
    ASSERT_TRUE(screen.isEditing());
    EXPECT_EQ(screen.windowTitle(), kTitle + QStringLiteral("：T0012-01（修改模式）"));
    EXPECT_EQ(QApplication::focusWidget(), field(QStringLiteral("txtAmount")));
    EXPECT_FALSE(field(QStringLiteral("txtNoContract"))->isEnabled());
    EXPECT_FALSE(child<QPushButton>(QStringLiteral("cmdSelectNoContract"))->isEnabled());
    EXPECT_TRUE(child<QGroupBox>(QStringLiteral("ssfHandling"))->isEnabled());
    EXPECT_FALSE(child<QGroupBox>(QStringLiteral("ssfVerify"))->isEnabled());
    EXPECT_FALSE(key(QStringLiteral("Find"))->isEnabled());
    EXPECT_FALSE(screen.lstMain()->isEnabled());
    QTest::keyClicks(field(QStringLiteral("txtAmount")), QStringLiteral("260000"));
    save();
    const QSqlRecord row = StoredApplication(db(), QStringLiteral("T0012-01"));
    EXPECT_EQ(FieldInt64(row, QStringLiteral("Amount")), 260000);
    EXPECT_EQ(StoredVerdict(row), 0) << "a corrected returned application stays returned";
    EXPECT_EQ(FieldText(row, QStringLiteral("IdUserVerifyReturn")), QStringLiteral("OLDSUP"));
    EXPECT_EQ(FieldText(row, QStringLiteral("IdUserModifyFirst")), QStringLiteral("CLERK"));
    EXPECT_EQ(shown(), QStringLiteral("T0012：福泰餐飲（退回）"));
}

TEST_P(QuotaScreenTest, ASupervisorMayNotReviewAnApplicationBehindANewerApprovedOne) {
    const struct {
        const char* contract;
        Verdict newer;
        bool refused;
    } cases[] = {
        {"A1", Verdict::Approved, true},
        {"A2", Verdict::None, false},
        {"A3", Verdict::Returned, false},
    };
    for (const auto& c : cases) {
        const QString contract = QString::fromLatin1(c.contract);
        AddIssuer(db(), contract, QStringLiteral("業者"));
        AddApplication(db(), Application(contract, 1, 1000, Verdict::Approved));
        AddApplication(db(), Application(contract, 2, 2000, c.newer));
    }
    SetCurrentUser(kSupervisor);
    frmOR_Account& screen = open();
    for (const auto& c : cases) {
        const QString older = QString::fromLatin1(c.contract) + QStringLiteral("-01");
        const QString newer = QString::fromLatin1(c.contract) + QStringLiteral("-02");
        screen.subFormShowRecord(older);
        if (c.refused) {
            dialogs_.expectMessage(
                Dialogs::Icon::Warning, QStringLiteral("修改"),
                QStringLiteral("禁止修改！\r\n\r\n不允許主管人員修改本額度申請 [") + older +
                    QStringLiteral("] \r\n因為已有更新的額度申請 [") + newer +
                    QStringLiteral("] 已通過核定"));
        }
        QTest::keyClick(screen.lstMain(), Qt::Key_F2);
        EXPECT_EQ(screen.isEditing(), !c.refused) << c.contract;
        if (screen.isEditing()) {
            EXPECT_EQ(QApplication::focusWidget(), approve());
            EXPECT_TRUE(child<QGroupBox>(QStringLiteral("ssfVerify"))->isEnabled());
            EXPECT_FALSE(child<QGroupBox>(QStringLiteral("ssfHandling"))->isEnabled());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        }
        // The newest one may always be reviewed again.
        screen.subFormShowRecord(newer);
        QTest::keyClick(screen.lstMain(), Qt::Key_F2);
        EXPECT_TRUE(screen.isEditing()) << c.contract;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    }
}

TEST_P(QuotaScreenTest, ApprovalAndReturnStampsNeverClearEachOther) {
    seedExample();
    SetCurrentUser(kSupervisor);
    frmOR_Account& screen = open();
    screen.subFormShowRecord(QStringLiteral("K1-02"));
    QTest::keyClick(screen.lstMain(), Qt::Key_F2);
    ASSERT_TRUE(screen.isEditing());
    ASSERT_EQ(QApplication::focusWidget(), approve());
    QTest::keyClick(approve(), Qt::Key_Space);
    EXPECT_TRUE(approve()->isChecked());
    EXPECT_EQ(approve()->text(), QStringLiteral("申請核准(&A)"));
    EXPECT_EQ(giveBack()->text(), QStringLiteral("申請退回(&R)"));
    commit(field(QStringLiteral("txtNoteVerify")), QStringLiteral("同意"));
    // Not the supervisor's to change, whatever the field holds.
    field(QStringLiteral("txtNoteHandling"))->setText(QStringLiteral("被改掉"));
    save();
    QSqlRecord row = StoredApplication(db(), QStringLiteral("K1-02"));
    EXPECT_EQ(StoredVerdict(row), 1);
    EXPECT_EQ(FieldText(row, QStringLiteral("IdUserVerifyApprove")), QStringLiteral("SUPER"));
    const QDateTime approved = FieldDateTime(row, QStringLiteral("TimeVerifyApprove"));
    EXPECT_TRUE(approved.isValid());
    EXPECT_EQ(FieldText(row, QStringLiteral("NoteVerify")), QStringLiteral("同意"));
    EXPECT_EQ(FieldText(row, QStringLiteral("NoteHandling")), QStringLiteral("增額"));
    EXPECT_EQ(FieldInt64(row, QStringLiteral("Amount")), 300000);
    EXPECT_EQ(shown(), QStringLiteral("K1：晨曦百貨（核准）"));
    EXPECT_EQ(field(QStringLiteral("txtNoteHandling"))->text(), QStringLiteral("增額"));
    EXPECT_EQ(summary(), (QStringList{QStringLiteral("300,000"), QStringLiteral("200,000"),
                                      QStringLiteral("100,000")}))
        << "the newer approval is the quota in force";

    SetCurrentUser({QStringLiteral("SUPER2"), QString(), false, true, false});
    QTest::keyClick(screen.lstMain(), Qt::Key_F2);
    QTest::mouseClick(giveBack(), Qt::LeftButton);
    EXPECT_FALSE(approve()->isChecked());
    save();
    row = StoredApplication(db(), QStringLiteral("K1-02"));
    EXPECT_EQ(StoredVerdict(row), 0);
    EXPECT_EQ(FieldText(row, QStringLiteral("IdUserVerifyReturn")), QStringLiteral("SUPER2"));
    const QDateTime returned = FieldDateTime(row, QStringLiteral("TimeVerifyReturn"));
    EXPECT_LE(approved, returned);
    EXPECT_EQ(FieldText(row, QStringLiteral("IdUserVerifyApprove")), QStringLiteral("SUPER"));
    EXPECT_EQ(FieldDateTime(row, QStringLiteral("TimeVerifyApprove")), approved);
    EXPECT_EQ(panel(QStringLiteral("sspIdUserVerifyApprove")), QStringLiteral("SUPER"));
    EXPECT_EQ(panel(QStringLiteral("sspIdUserVerifyReturn")), QStringLiteral("SUPER2"));
    EXPECT_EQ(summary(), (QStringList{QStringLiteral("500,000"), QStringLiteral("200,000"),
                                      QStringLiteral("300,000")}))
        << "returned: the earlier approval is in force again";

    SetCurrentUser(kSupervisor);
    QTest::keyClick(screen.lstMain(), Qt::Key_F2);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_TRUE(approve()->isChecked());
    save();
    row = StoredApplication(db(), QStringLiteral("K1-02"));
    EXPECT_EQ(StoredVerdict(row), 1);
    EXPECT_LE(returned, FieldDateTime(row, QStringLiteral("TimeVerifyApprove")));
    EXPECT_EQ(FieldText(row, QStringLiteral("IdUserVerifyReturn")), QStringLiteral("SUPER2"));
    EXPECT_EQ(FieldDateTime(row, QStringLiteral("TimeVerifyReturn")), returned);
    EXPECT_EQ(FieldText(row, QStringLiteral("IdUserModifyFirst")), QStringLiteral("SUPER"));
    EXPECT_EQ(FieldText(row, QStringLiteral("IdUserModifyLast")), QStringLiteral("SUPER"));
}

TEST_P(QuotaScreenTest, AUserWithBothFlagsWorksAsAClerk) {
    seedExample();
    SetCurrentUser(kBoth);
    frmOR_Account& screen = open();
    screen.subFormShowRecord(QStringLiteral("K1-01"));
    dialogs_.expectMessage(Dialogs::Icon::Warning, QStringLiteral("修改"),
                           ClerkEditRefusalText(QStringLiteral("K1-01")));
    screen.subFormEdit();
    EXPECT_FALSE(screen.isEditing());

    screen.subFormShowRecord(QStringLiteral("T0012-01"));
    screen.subFormEdit();
    ASSERT_TRUE(screen.isEditing());
    EXPECT_TRUE(child<QGroupBox>(QStringLiteral("ssfHandling"))->isEnabled());
    EXPECT_FALSE(child<QGroupBox>(QStringLiteral("ssfVerify"))->isEnabled());
    type(field(QStringLiteral("txtAmount")), QStringLiteral("270000"));
    approve()->setChecked(true);  // the verdict is not the clerk's to write
    save();
    const QSqlRecord row = StoredApplication(db(), QStringLiteral("T0012-01"));
    EXPECT_EQ(FieldInt64(row, QStringLiteral("Amount")), 270000);
    EXPECT_EQ(StoredVerdict(row), 0);
    EXPECT_TRUE(row.value(QStringLiteral("IdUserVerifyApprove")).isNull());
    EXPECT_TRUE(giveBack()->isChecked()) << "the screen shows the row as stored";
}

TEST_P(QuotaScreenTest, AUserWithNeitherFlagWritesNoBusinessColumn) {
    seedExample();
    SetCurrentUser(kGuest);
    frmOR_Account& screen = open();
    screen.subFormShowRecord(QStringLiteral("K1-01"));
    QTest::keyClick(screen.lstMain(), Qt::Key_F2);
    ASSERT_TRUE(screen.isEditing()) << "not refused";
    EXPECT_TRUE(child<QGroupBox>(QStringLiteral("ssfHandling"))->isEnabled());
    EXPECT_TRUE(child<QGroupBox>(QStringLiteral("ssfVerify"))->isEnabled());
    type(field(QStringLiteral("txtAmount")), QStringLiteral("700000"));
    field(QStringLiteral("txtNoteHandling"))->setText(QStringLiteral("改"));
    QTest::mouseClick(giveBack(), Qt::LeftButton);
    field(QStringLiteral("txtNoteVerify"))->setText(QStringLiteral("改"));
    save();
    const QSqlRecord row = StoredApplication(db(), QStringLiteral("K1-01"));
    EXPECT_EQ(FieldInt64(row, QStringLiteral("Amount")), 500000);
    EXPECT_EQ(StoredVerdict(row), 1);
    EXPECT_EQ(FieldText(row, QStringLiteral("NoteHandling")), QString());
    EXPECT_EQ(FieldText(row, QStringLiteral("NoteVerify")), QString());
    EXPECT_TRUE(row.value(QStringLiteral("IdUserVerifyReturn")).isNull());
    EXPECT_EQ(FieldText(row, QStringLiteral("IdUserModifyLast")), QStringLiteral("GUEST"));
}

TEST_P(QuotaScreenTest, FindListsEveryApplicationAndFindUnApproveThePendingOnes) {
    seedExample();
    db().ConnExecute(Statement(QStringLiteral(
        "UPDATE OR_Account SET TimeAddNew = '2024-11-20 09:30:00.000' WHERE NoAccount = 'K1-02'")));
    db().ConnExecute(Statement(QStringLiteral(
        "UPDATE OR_Account SET TimeAddNew = '2023-12-31 23:59:59.000', VerifyApprove = NULL "
        "WHERE NoAccount = 'T0012-01'")));
    ApplicationRow inactive = Application(QStringLiteral("K1"), 3, 1000);
    inactive.active = 0;
    AddApplication(db(), inactive);
    db().ConnExecute(Statement(QStringLiteral(
        "UPDATE OR_Account SET TimeAddNew = '2024-01-01 00:00:00.000' WHERE NoAccount = 'K1-03'")));
    open();

    const auto rows = [this](const Selection& selection, QStringList* captions) {
        QList<QStringList> found;
        UnitOfWork unit(db());
        QSqlQuery query = db().Query(selection.SelectCommandText);
        const QSqlRecord record = query.record();
        for (int i = 0; i < record.count(); ++i) {
            captions->append(record.fieldName(i));
        }
        while (query.next()) {
            found.append({query.value(0).toString(), query.value(1).toString()});
        }
        return found;
    };

    dialogs_.expectSelection(QStringLiteral("額度編號"), {QStringLiteral("T0012-01")});
    key(QStringLiteral("Find"))->trigger();
    EXPECT_EQ(panel(QStringLiteral("sspNoAccount")), QStringLiteral("T0012-01"));
    EXPECT_EQ(shown(), QStringLiteral("T0012：福泰餐飲（未核）"));
    QStringList captions;
    EXPECT_EQ(rows(dialogs_.records().back().selection, &captions),
              (QList<QStringList>{
                  {QStringLiteral("K1-02"), QStringLiteral("晨曦百貨：24.11.20：300000")},
                  {QStringLiteral("K1-01"), QStringLiteral("晨曦百貨：24.03.05：500000")},
                  {QStringLiteral("K1-03"), QStringLiteral("晨曦百貨：24.01.01：1000")},
                  {QStringLiteral("T0012-01"), QStringLiteral("福泰餐飲：23.12.31：250000")}}));
    EXPECT_EQ(captions, (QStringList{QStringLiteral("額度編號"),
                                     QStringLiteral("發行業者：建檔時間：申請額度")}));
    EXPECT_FALSE(dialogs_.records().back().selection.MultiSelect);

    dialogs_.expectSelection(QStringLiteral("額度編號（篩選尚未核定之額度申請）"));  // cancelled
    key(QStringLiteral("FindUnApprove"))->trigger();
    EXPECT_EQ(panel(QStringLiteral("sspNoAccount")), QStringLiteral("T0012-01"));
    captions.clear();
    EXPECT_EQ(
        rows(dialogs_.records().back().selection, &captions),
        (QList<QStringList>{{QStringLiteral("K1-02"), QStringLiteral("晨曦百貨：24.11.20")},
                            {QStringLiteral("T0012-01"), QStringLiteral("福泰餐飲：23.12.31")}}));
    EXPECT_EQ(captions,
              (QStringList{QStringLiteral("額度編號"), QStringLiteral("發行業者：建檔時間")}));
}

TEST_P(QuotaScreenTest, ShowingAnotherApplicationWhileModifyingAsksFirst) {
    seedExample();
    frmOR_Account& screen = open();
    QTest::keyClick(screen.lstMain(), Qt::Key_F2);  // K1-02, pending
    ASSERT_TRUE(screen.isEditing());
    type(field(QStringLiteral("txtAmount")), QStringLiteral("350000"));
    const QString question = QStringLiteral(
        "表單使用中，是否強制載入？\r\n\r\n目前表單〔C1-禮卷額度申請單〕正處於〔修改模式〕"
        "是否欲放棄目前的作業並載入票樣編號 K1-01 ？");
    dialogs_
        .expectMessage(Dialogs::Icon::Question, QStringLiteral("載入額度資料"), question,
                       Dialogs::Button::Cancel)
        .withButtons(Dialogs::Buttons::OkCancel, Dialogs::Button::Cancel);
    screen.subFormShowRecord(QStringLiteral("K1-01"));
    EXPECT_TRUE(screen.isEditing());
    EXPECT_EQ(field(QStringLiteral("txtAmount"))->text(), QStringLiteral("350000"));

    dialogs_.expectMessage(Dialogs::Icon::Question, QStringLiteral("載入額度資料"), question,
                           Dialogs::Button::Ok);
    screen.subFormShowRecord(QStringLiteral("K1-01"));
    EXPECT_FALSE(screen.isEditing());
    EXPECT_EQ(panel(QStringLiteral("sspNoAccount")), QStringLiteral("K1-01"));
    EXPECT_EQ(
        FieldInt64(StoredApplication(db(), QStringLiteral("K1-02")), QStringLiteral("Amount")),
        300000);
}

TEST_P(QuotaScreenTest, AClerksSaveAfterAnApprovalOnAnotherWorkstationIsRefused) {
    seedExample();
    std::unique_ptr<Database> other = scratch().connect();
    frmOR_Account& clerkScreen = open();  // K1-02, pending
    QTest::keyClick(clerkScreen.lstMain(), Qt::Key_F2);
    ASSERT_TRUE(clerkScreen.isEditing());
    type(field(QStringLiteral("txtAmount")), QStringLiteral("900000"));

    // Meanwhile a supervisor approves it on another workstation.
    SetCurrentUser(kSupervisor);
    {
        frmOR_Account supervisorScreen(*other);
        supervisorScreen.show();
        supervisorScreen.subFormShowRecord(QStringLiteral("K1-02"));
        supervisorScreen.subFormEdit();
        ASSERT_TRUE(supervisorScreen.isEditing());
        supervisorScreen.findChild<QRadioButton*>(QStringLiteral("ssoVerify_Approve"))->click();
        dialogs_.expectMessage(Dialogs::Icon::Information, QStringLiteral("儲存"), kSaved);
        ASSERT_TRUE(supervisorScreen.subFormSave());
    }
    SetCurrentUser(kClerk);
    clerkScreen.activateWindow();
    dialogs_.expectMessage(Dialogs::Icon::Warning, QStringLiteral("修改"),
                           QStringLiteral("禁止修改！\r\n\r\n不允許經辦人員修改本額度申請 [K1-02] "
                                          "\r\n因為本額度已被主管完成核定 "));
    EXPECT_FALSE(clerkScreen.subFormSave());
    EXPECT_TRUE(clerkScreen.isEditing()) << "nothing typed is lost";
    EXPECT_EQ(field(QStringLiteral("txtAmount"))->text(), QStringLiteral("900000"));
    const QSqlRecord row = StoredApplication(db(), QStringLiteral("K1-02"));
    EXPECT_EQ(StoredVerdict(row), 1);
    EXPECT_EQ(FieldInt64(row, QStringLiteral("Amount")), 300000);
    EXPECT_EQ(FieldText(row, QStringLiteral("IdUserModifyLast")), QStringLiteral("SUPER"));

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_TRUE(approve()->isChecked()) << "cancelled, the screen shows the approval";
    dialogs_.expectMessage(Dialogs::Icon::Warning, QStringLiteral("修改"),
                           ClerkEditRefusalText(QStringLiteral("K1-02")));
    clerkScreen.subFormEdit();
    EXPECT_FALSE(clerkScreen.isEditing());
}

TEST_P(QuotaScreenTest, TheEditRuleReadsTheRowAsItIsNow) {
    seedExample();
    frmOR_Account& screen = open();  // K1-02 shown as pending
    db().ConnExecute(Statement(
        QStringLiteral("UPDATE OR_Account SET VerifyApprove = 1 WHERE NoAccount = 'K1-02'")));
    dialogs_.expectMessage(Dialogs::Icon::Warning, QStringLiteral("修改"),
                           ClerkEditRefusalText(QStringLiteral("K1-02")));
    QTest::keyClick(screen.lstMain(), Qt::Key_F2);
    EXPECT_FALSE(screen.isEditing());
    EXPECT_TRUE(approve()->isChecked());
}

TEST_P(QuotaScreenTest, AFailedLoadNamesItsProcedureTheKeyAndTheStatement) {
    seedExample();
    frmOR_Account& screen = open();
    ASSERT_EQ(panel(QStringLiteral("sspNoAccount")), QStringLiteral("K1-02"));
    db().ConnExecute(Statement(QStringLiteral("ALTER TABLE OR_Account RENAME TO OR_Account_Away")));
    dialogs_.expectException(Answer::Ignore, ScreenLocation(QStringLiteral("ForLoadRecord")));
    screen.subFormShowRecord(QStringLiteral("K1-01"));
    ASSERT_FALSE(dialogs_.records().empty());
    const QString text = dialogs_.records().back().text;
    EXPECT_TRUE(
        text.endsWith(QStringLiteral("例外程序　　　　：ForLoadRecord\r\n\r\n"
                                     "IndexKey　　　　：K1-01\r\n"
                                     "sSQL　　　　　　：SELECT * FROM OR_Account "
                                     "WHERE (NoAccount = ?)\r\n  ?1 = K1-01\r\n")))
        << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("主索引值")));
    EXPECT_EQ(panel(QStringLiteral("sspNoAccount")), QStringLiteral("K1-02"))
        << "the fields keep the application they showed";
}

TEST_P(QuotaScreenTest, ASaveThatFailedIsNeverReportedAsSaved) {
    frmOR_Account& screen = open();
    RefuseInserts(db(), QStringLiteral("OR_Account"));
    screen.subFormAddNew(QStringLiteral("K1"));
    field(QStringLiteral("txtAmount"))->setText(QStringLiteral("1000"));
    for (const Answer answer : {Answer::Ignore, Answer::Exit}) {
        dialogs_.expectException(answer,
                                 ScreenLocation(QStringLiteral("FormSave")) +
                                     QStringLiteral("sSQL　　　　　　：INSERT INTO OR_Account"));
        EXPECT_FALSE(screen.subFormSave());
        EXPECT_TRUE(screen.isAdding()) << "the screen stays with everything as typed";
        EXPECT_EQ(field(QStringLiteral("txtAmount"))->text(), QStringLiteral("1000"));
    }
    EXPECT_EQ(CountApplications(db()), 0);
}

TEST_P(QuotaScreenTest, EveryCaptionAndValueFitsItsPlace) {
    seedExample();
    db().ConnExecute(Statement(
        QStringLiteral(
            "UPDATE OR_Account SET NoteHandling = ?, IdUserVerifyApprove = 'SUPERVISOR01', "
            "TimeVerifyApprove = '2024-12-31 23:59:59.000' WHERE NoAccount = 'K1-01'"),
        {QString(30, QChar(0x5b57))}));
    const QString sample = AddSample(db(), QStringLiteral("K1"), 2, 1000000);
    PrintVouchers(db(), sample, 100, 321);  // 321,200,000 printed with the example's
    frmOR_Account& screen = open();
    screen.subFormShowRecord(QStringLiteral("K1-01"));
    const QRect frame = screen.dataFrame()->rect();
    EXPECT_LE(screen.dataFrame()->layout()->minimumSize().height(), frame.height());
    for (QWidget* widget : screen.dataFrame()->findChildren<QWidget*>()) {
        const QRect place(widget->mapTo(screen.dataFrame(), QPoint(0, 0)), widget->size());
        EXPECT_TRUE(frame.contains(place)) << widget->objectName().toStdString();
        if (auto* label = qobject_cast<QLabel*>(widget);
            label != nullptr && !label->text().isEmpty()) {
            EXPECT_GE(label->width(), label->sizeHint().width())
                << label->objectName().toStdString() << " " << label->text().toStdString();
            EXPECT_GE(label->height(), label->sizeHint().height()) << label->text().toStdString();
        }
        if (auto* option = qobject_cast<QRadioButton*>(widget)) {
            EXPECT_GE(option->width(), option->sizeHint().width()) << option->text().toStdString();
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            // The style's minimum width of a push button does not apply to the small "...".
            EXPECT_GT(button->width(), button->fontMetrics().horizontalAdvance(button->text()))
                << button->text().toStdString();
        }
    }
    EXPECT_EQ(summary(), (QStringList{QStringLiteral("500,000"), QStringLiteral("321,200,000"),
                                      QStringLiteral("-320,700,000")}));
}

QUORVANE_INSTANTIATE_BACKENDS(QuotaScreenTest);

TEST(QuotaScreenPostgres, RetryAfterTheConnectionWasLostSavesOnce) {
    test::ScratchDatabase scratch(test::Backend::Postgres);
    auto db = scratch.connect();
    SchemaInstaller::Install(*db);
    AddIssuer(*db, QStringLiteral("K1"), kK1Name);
    auto admin = scratch.connect();
    ScriptedDialogs dialogs;
    SetCurrentUser(kClerk);
    frmOR_Account screen(*db);
    screen.show();
    screen.subFormAddNew(QStringLiteral("K1"));
    screen.findChild<QLineEdit*>(QStringLiteral("txtAmount"))->setText(QStringLiteral("1000"));
    const qint32 pid = db->LookupLong(Statement(QStringLiteral("SELECT pg_backend_pid()")));
    admin->LookupText(Statement(QStringLiteral("SELECT pg_terminate_backend(?)"), {pid}));
    // The form check's first look-up meets the lost connection.
    dialogs.expectException(Answer::Retry, QStringLiteral("例外程序　　　　：FormCheck"));
    dialogs.expectMessage(Dialogs::Icon::Information, QStringLiteral("儲存"), kSaved);
    EXPECT_TRUE(screen.subFormSave());
    EXPECT_EQ(admin->LookupLong(Statement(QStringLiteral("SELECT COUNT(*) FROM OR_Account"))), 1);
}

}  // namespace
}  // namespace quorvane
