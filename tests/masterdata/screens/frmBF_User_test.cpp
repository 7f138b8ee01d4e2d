#include "masterdata/screens/frmBF_User.h"
#include "core/Text.h"

#include "core/CurrentUser.h"
#include "core/FailureRouting.h"
#include "core/Password.h"
#include "db/FieldReaders.h"
#include "support/Fixtures.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"
#include "ui/FieldKinds.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QRadioButton>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace quorvane {
namespace {

using test::AddUser;
using test::CountRows;
using test::kAdmin;
using test::kClerk;
using test::kGuest;
using test::kSupervisor;
using test::StoredUser;

const QString kTitle = QStringLiteral("E3-使用者基本資料建檔");
const QString kSaved = QStringLiteral("儲存成功");
const QString kDeleteTitle = QStringLiteral("刪除程序");

class UserScreenTest : public test::BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        SetLastTypedLength(0);
    }
    void TearDown() override {
        screen_.reset();
        SetCurrentUser({});
        BackendTest::TearDown();
    }

    frmBF_User& open(const User& user) {
        SetCurrentUser(user);
        screen_ = std::make_unique<frmBF_User>(db());
        screen_->show();
        screen_->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(screen_.get()));
        return *screen_;
    }
    QString storedPassword(const QString& id) {
        return FieldText(StoredUser(db(), id), QStringLiteral("PWD"));
    }
    RoleFlags flags(const QString& id) {
        const QSqlRecord row = StoredUser(db(), id);
        return {FieldBoolean(row, QStringLiteral("PMI_Handling")),
                FieldBoolean(row, QStringLiteral("PMI_Verify")),
                FieldBoolean(row, QStringLiteral("PMI_System"))};
    }
    qint64 count() { return CountRows(db(), QStringLiteral("BF_User")); }
    QAction* key(const QString& name) { return screen_->toolbarAction(name); }
    QStringList listed() {
        QStringList ids;
        QAbstractItemModel* model = screen_->lstMain()->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            ids << model->index(row, 0).data().toString();
        }
        return ids;
    }
    QLabel* label(const QString& name) { return screen_->findChild<QLabel*>(name); }
    bool okShown() { return label(QStringLiteral("imgPwdOK"))->isVisible(); }
    bool rejectShown() { return label(QStringLiteral("imgPwdReject"))->isVisible(); }
    void retype(QLineEdit* field, const QString& text) {
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClicks(field, text);
    }
    void expectSaved() {
        dialogs_.expectMessage(Dialogs::Icon::Information, QStringLiteral("儲存"), kSaved);
    }
    // The login's own test of a typed password: spaces around it are not part of it.
    static bool loginAccepts(const QString& stored, const QString& typed) {
        return PasswordMatches(stored, TrimSpaces(typed));
    }

    ScriptedDialogs dialogs_;
    std::unique_ptr<frmBF_User> screen_;
};

TEST_P(UserScreenTest, AnAdministratorSeesEveryAccountButNoStoredPassword) {
    const QString hash = HashPassword(QStringLiteral("admin-pass"));
    AddUser(db(), {QStringLiteral("CAROL"), QStringLiteral("林主管"), false, true, false},
            QVariant(QMetaType::fromType<QString>()));
    AddUser(db(), kAdmin, hash);
    AddUser(db(), {QStringLiteral("BOB"), QStringLiteral("小明"), true, false, false},
            EncodePassword(QStringLiteral("abc")));
    frmBF_User& screen = open(kAdmin);

    EXPECT_EQ(screen.windowTitle(), kTitle + QStringLiteral("：ADMIN - 王小明（瀏覽模式）"));
    EXPECT_EQ(listed(), (QStringList{QStringLiteral("ADMIN"), QStringLiteral("BOB"),
                                     QStringLiteral("CAROL")}));
    EXPECT_TRUE(screen.lstMain()->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), screen.lstMain());
    for (const char* name : {"AddNew", "Edit", "Delete", "Quit", "Print"}) {
        EXPECT_TRUE(key(QString::fromLatin1(name))->isEnabled()) << name;
    }
    EXPECT_FALSE(key(QStringLiteral("Save"))->isEnabled());
    EXPECT_FALSE(key(QStringLiteral("Cancel"))->isEnabled());
    EXPECT_FALSE(screen.dataFrame()->isEnabled());
    EXPECT_TRUE(screen.roleOption(UserRole::System)->isChecked());
    EXPECT_EQ(label(QStringLiteral("sspIdUserAddNew"))->text(), QStringLiteral("SEED"));

    // Each masked field shows the placeholder, never what is stored.
    for (QLineEdit* masked : {screen.txtPWD(), screen.txtPwdVerify()}) {
        EXPECT_EQ(masked->echoMode(), QLineEdit::Password);
        EXPECT_EQ(masked->text(), frmBF_User::PasswordPlaceholder());
        EXPECT_NE(masked->text(), hash);
    }
    QTest::keyClick(screen.lstMain(), Qt::Key_Down);
    EXPECT_EQ(screen.txtIdUser()->text(), QStringLiteral("BOB"));
    EXPECT_EQ(screen.txtPWD()->text(), frmBF_User::PasswordPlaceholder());
    EXPECT_NE(screen.txtPWD()->text(), QStringLiteral("abc"));
    EXPECT_TRUE(screen.roleOption(UserRole::Handling)->isChecked());
    QTest::keyClick(screen.lstMain(), Qt::Key_Down);
    EXPECT_EQ(screen.txtIdUser()->text(), QStringLiteral("CAROL"));
    EXPECT_EQ(screen.txtPWD()->text(), QString()) << "an account without a password";
    EXPECT_TRUE(screen.roleOption(UserRole::Verify)->isChecked());
    EXPECT_EQ(screen.windowTitle(), kTitle + QStringLiteral("：CAROL - 林主管（瀏覽模式）"));

    // A dialog window of fixed size without minimise or maximise box.
    EXPECT_TRUE(screen.isWindow());
    EXPECT_EQ(screen.minimumSize(), screen.maximumSize());
    EXPECT_FALSE(screen.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(screen.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(screen.objectName(), QStringLiteral("frmBF_User"));
}

TEST_P(UserScreenTest, AnAdministratorAddsAnAccountWithTheKeys) {
    AddUser(db(), kAdmin, QString());
    frmBF_User& screen = open(kAdmin);
    QTest::keyClick(screen.lstMain(), Qt::Key_N, Qt::ControlModifier);
    ASSERT_TRUE(screen.isAdding());
    EXPECT_EQ(QApplication::focusWidget(), screen.txtIdUser());
    for (QLineEdit* field : {screen.txtIdUser(), screen.txtPWD(), screen.txtPwdVerify(),
                             screen.txtNameUser(), screen.txtNote()}) {
        EXPECT_EQ(field->text(), QString()) << field->objectName().toStdString();
    }
    EXPECT_EQ(label(QStringLiteral("sspIdUserAddNew"))->text(), QString());
    EXPECT_TRUE(screen.roleOption(UserRole::Handling)->isChecked()) << "a new account is a clerk";
    EXPECT_TRUE(screen.roleFrame()->isEnabled());
    EXPECT_FALSE(screen.lstMain()->isEnabled());

    // The id takes the login's filter: upper case, no characters the login drops.
    QTest::keyClicks(screen.txtIdUser(), QStringLiteral("al!ice"));
    EXPECT_EQ(screen.txtIdUser()->text(), QStringLiteral("ALICE"));
    QTest::keyClick(screen.txtIdUser(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), screen.txtPWD());
    QTest::keyClicks(screen.txtPWD(), QStringLiteral("  Se cret9 "));
    QTest::keyClick(screen.txtPWD(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), screen.txtPwdVerify());
    QTest::keyClicks(screen.txtPwdVerify(), QStringLiteral("  Se cret9 "));
    QTest::keyClick(screen.txtPwdVerify(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), screen.txtNameUser());
    EXPECT_TRUE(okShown());
    EXPECT_FALSE(rejectShown());
    screen.txtNameUser()->setText(QStringLiteral("愛麗絲"));
    QTest::mouseClick(screen.roleOption(UserRole::Verify), Qt::LeftButton);
    EXPECT_EQ(screen.windowTitle(), kTitle + QStringLiteral("：ALICE - 愛麗絲（新增模式）"));

    expectSaved();
    QTest::keyClick(screen.txtNameUser(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(screen.isEditing());
    const QSqlRecord row = StoredUser(db(), QStringLiteral("ALICE"));
    ASSERT_FALSE(row.isEmpty());
    EXPECT_EQ(flags(QStringLiteral("ALICE")), (RoleFlags{false, true, false}));
    const QString pwd = FieldText(row, QStringLiteral("PWD"));
    EXPECT_TRUE(pwd.startsWith(QStringLiteral("$argon2id$")));
    EXPECT_TRUE(PasswordMatches(pwd, QStringLiteral("Se cret9")));
    EXPECT_TRUE(loginAccepts(pwd, QStringLiteral("  Se cret9 ")));
    EXPECT_FALSE(loginAccepts(pwd, QStringLiteral("Secret9")));
    EXPECT_EQ(FieldText(row, QStringLiteral("NameUser")), QStringLiteral("愛麗絲"));
    EXPECT_EQ(FieldText(row, QStringLiteral("IdUserAddNew")), QStringLiteral("ADMIN"));
    EXPECT_TRUE(FieldDateTime(row, QStringLiteral("TimeAddNew")).isValid());
    EXPECT_EQ(screen.lstMain()->currentIndex().data().toString(), QStringLiteral("ALICE"));
    EXPECT_EQ(screen.txtPWD()->text(), frmBF_User::PasswordPlaceholder());
    EXPECT_EQ(screen.windowTitle(), kTitle + QStringLiteral("：ALICE - 愛麗絲（瀏覽模式）"));
}

TEST_P(UserScreenTest, TheRoleOptionGroupWritesTheThreeFlags) {
    AddUser(db(), {QStringLiteral("ADMIN"), {}, false, false, true}, QString());
    AddUser(db(), {QStringLiteral("BOB"), {}, true, true, false}, QStringLiteral("979899"));
    frmBF_User& screen = open(kAdmin);
    const struct {
        UserRole role;
        RoleFlags flags;
    } cases[] = {
        {UserRole::Verify, {false, true, false}},
        {UserRole::System, {false, false, true}},
        {UserRole::Handling, {true, false, false}},
    };
    screen.subFormShowRecord(QStringLiteral("BOB"));
    for (const auto& c : cases) {
        QTest::keyClick(screen.lstMain(), Qt::Key_F2);
        ASSERT_TRUE(screen.isEditing());
        EXPECT_TRUE(screen.roleFrame()->isEnabled()) << "another user's account";
        QTest::mouseClick(screen.roleOption(c.role), Qt::LeftButton);
        int checked = 0;
        for (UserRole role : {UserRole::Handling, UserRole::Verify, UserRole::System}) {
            checked += screen.roleOption(role)->isChecked() ? 1 : 0;
        }
        EXPECT_EQ(checked, 1);
        expectSaved();
        ASSERT_TRUE(screen.subFormSave());
        EXPECT_EQ(flags(QStringLiteral("BOB")), c.flags);
        EXPECT_EQ(storedPassword(QStringLiteral("BOB")), QStringLiteral("979899"));
    }
}

TEST_P(UserScreenTest, ThePasswordMatchIndicator) {
    AddUser(db(), {QStringLiteral("ADMIN"), {}, false, false, true}, QStringLiteral("979899"));
    frmBF_User& screen = open(kAdmin);
    EXPECT_FALSE(okShown());
    EXPECT_FALSE(rejectShown());
    const struct {
        const char* label;
        std::optional<QString> password;  // none: left untouched
        std::optional<QString> verify;
        bool same;
    } cases[] = {
        {"both untouched", std::nullopt, std::nullopt, true},
        {"the same", QStringLiteral("abc"), QStringLiteral("abc"), true},
        {"different", QStringLiteral("abc"), QStringLiteral("abd"), false},
        {"different case", QStringLiteral("abc"), QStringLiteral("ABC"), false},
        {"new password, verification untouched", QStringLiteral("abc"), std::nullopt, false},
        {"both emptied", QString(), QString(), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        screen.subFormEdit();
        ASSERT_TRUE(screen.isEditing());
        if (c.password) {
            retype(screen.txtPWD(), *c.password);
        }
        if (c.verify) {
            retype(screen.txtPwdVerify(), *c.verify);
        }
        EXPECT_FALSE(okShown());
        EXPECT_FALSE(rejectShown());
        screen.txtPwdVerify()->setFocus();
        QTest::keyClick(screen.txtPwdVerify(), Qt::Key_Tab);  // leaving the field
        EXPECT_NE(QApplication::focusWidget(), screen.txtPwdVerify());
        EXPECT_EQ(okShown(), c.same);
        EXPECT_EQ(rejectShown(), !c.same);
        // Any change of the password hides both.
        screen.txtPWD()->setFocus();
        QTest::keyClick(screen.txtPWD(), Qt::Key_End);
        QTest::keyClicks(screen.txtPWD(), QStringLiteral("x"));
        EXPECT_FALSE(okShown());
        EXPECT_FALSE(rejectShown());
        screen.txtPwdVerify()->setFocus();
        screen.txtNote()->setFocus();
        EXPECT_TRUE(okShown() || rejectShown());
        QTest::keyClick(screen.txtNote(), Qt::Key_Escape);
        EXPECT_FALSE(screen.isEditing());
        EXPECT_FALSE(okShown()) << "hidden in browse mode";
        EXPECT_FALSE(rejectShown());
    }
    EXPECT_EQ(storedPassword(QStringLiteral("ADMIN")), QStringLiteral("979899"));
}

TEST_P(UserScreenTest, DifferentTextsInTheTwoFieldsStoreTheFirst) {
    AddUser(db(), {QStringLiteral("ADMIN"), {}, false, false, true}, QStringLiteral("979899"));
    frmBF_User& screen = open(kAdmin);
    QTest::keyClick(screen.lstMain(), Qt::Key_Return);
    ASSERT_TRUE(screen.isEditing());
    EXPECT_EQ(QApplication::focusWidget(), screen.txtPWD());
    EXPECT_EQ(screen.txtPWD()->selectedText().size(), screen.txtPWD()->text().size())
        << "the placeholder is selected, so typing replaces it";
    QTest::keyClicks(screen.txtPWD(), QStringLiteral("first123"));
    retype(screen.txtPwdVerify(), QStringLiteral("second12"));
    expectSaved();
    ASSERT_TRUE(screen.subFormSave());
    EXPECT_TRUE(loginAccepts(storedPassword(QStringLiteral("ADMIN")), QStringLiteral("first123")));
    EXPECT_FALSE(loginAccepts(storedPassword(QStringLiteral("ADMIN")), QStringLiteral("second12")));
}

TEST_P(UserScreenTest, AnUntouchedPasswordStaysExactlyAsStored) {
    const struct {
        const char* label;
        User actor;
        QString password;
    } cases[] = {
        // "abc" in the old encoding: a password with lower-case letters.
        {"old encoding, administrator", kAdmin, EncodePassword(QStringLiteral("abc"))},
        {"hash, administrator", kAdmin, HashPassword(QStringLiteral("Secret"))},
        {"old encoding, own account", kClerk, EncodePassword(QStringLiteral("中abc"))},
        {"hash, own account", kClerk, HashPassword(QStringLiteral("Secret"))},
    };
    AddUser(db(), {QStringLiteral("ADMIN"), {}, false, false, true}, QString());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        db().ConnExecute(Statement(QStringLiteral("DELETE FROM BF_User WHERE IdUser = 'CLERK'")));
        AddUser(db(), {QStringLiteral("CLERK"), QStringLiteral("陳"), true, false, false},
                c.password);
        frmBF_User& screen = open(c.actor);
        screen.subFormShowRecord(QStringLiteral("CLERK"));
        screen.subFormEdit();
        ASSERT_TRUE(screen.isEditing());
        screen.txtNameUser()->setFocus();
        QTest::keyClick(screen.txtNameUser(), Qt::Key_End);
        QTest::keyClicks(screen.txtNameUser(), QStringLiteral("X"));
        retype(screen.txtNote(), QStringLiteral("note"));
        expectSaved();
        ASSERT_TRUE(screen.subFormSave());
        EXPECT_EQ(storedPassword(QStringLiteral("CLERK")), c.password);
        EXPECT_EQ(FieldText(StoredUser(db(), QStringLiteral("CLERK")), QStringLiteral("NameUser")),
                  QStringLiteral("陳X"));
        EXPECT_EQ(FieldText(StoredUser(db(), QStringLiteral("CLERK")),
                            QStringLiteral("IdUserModifyLast")),
                  c.actor.IdUser);
    }
}

TEST_P(UserScreenTest, TypingIntoThePlaceholderKeepsOnlyWhatWasTyped) {
    AddUser(db(), {QStringLiteral("ADMIN"), {}, false, false, true}, QStringLiteral("979899"));
    frmBF_User& screen = open(kAdmin);
    const struct {
        const char* label;
        Qt::Key before;  // pressed first, with the placeholder in the field
        QString typed;
        QString kept;
    } cases[] = {
        {"typed after it", Qt::Key_End, QStringLiteral("x1234567"), QStringLiteral("x1234567")},
        {"typed before it", Qt::Key_Home, QStringLiteral("y2345678"), QStringLiteral("y2345678")},
        {"one character of it erased", Qt::Key_Backspace, QStringLiteral("z3456789"),
         QStringLiteral("z3456789")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        screen.subFormEdit();
        ASSERT_EQ(screen.txtPWD()->text(), frmBF_User::PasswordPlaceholder());
        if (c.before == Qt::Key_Backspace) {
            QTest::keyClick(screen.txtPWD(), Qt::Key_End);
        }
        QTest::keyClick(screen.txtPWD(), c.before);
        QTest::keyClicks(screen.txtPWD(), c.typed);
        EXPECT_EQ(screen.txtPWD()->text(), c.kept);
        expectSaved();
        ASSERT_TRUE(screen.subFormSave());
        EXPECT_TRUE(loginAccepts(storedPassword(QStringLiteral("ADMIN")), c.kept));
        // Back to a stored password for the next case.
        db().ConnExecute(
            Statement(QStringLiteral("UPDATE BF_User SET PWD = '979899' WHERE IdUser = 'ADMIN'")));
        screen.subFormShowRecord(QStringLiteral("ADMIN"));
    }
    // The placeholder's character cannot be typed or pasted into the field.
    screen.subFormEdit();
    retype(screen.txtPWD(), QStringLiteral("a*b"));
    EXPECT_EQ(screen.txtPWD()->text(), QStringLiteral("ab"));
    QTest::keyClick(screen.txtPWD(), Qt::Key_Escape);
}

TEST_P(UserScreenTest, TheKeysByRoleAndAccount) {
    AddUser(db(), kAdmin, QString());
    AddUser(db(), kClerk, QString());
    AddUser(db(), kSupervisor, QString());
    AddUser(db(), kGuest, QString());
    const struct {
        const char* label;
        User actor;
        QString shown;
        QStringList list;
        bool add, edit, remove, listEnabled, roleWhileModifying;
    } cases[] = {
        {"administrator, own account",
         kAdmin,
         QStringLiteral("ADMIN"),
         {QStringLiteral("ADMIN"), QStringLiteral("CLERK"), QStringLiteral("GUEST"),
          QStringLiteral("SUPER")},
         true,
         true,
         true,
         true,
         false},
        {"administrator, another account",
         kAdmin,
         QStringLiteral("CLERK"),
         {QStringLiteral("ADMIN"), QStringLiteral("CLERK"), QStringLiteral("GUEST"),
          QStringLiteral("SUPER")},
         true,
         true,
         true,
         true,
         true},
        {"clerk",
         kClerk,
         QStringLiteral("CLERK"),
         {QStringLiteral("CLERK")},
         false,
         true,
         false,
         false,
         false},
        {"supervisor",
         kSupervisor,
         QStringLiteral("SUPER"),
         {QStringLiteral("SUPER")},
         false,
         true,
         false,
         false,
         false},
        {"no role",
         kGuest,
         QStringLiteral("GUEST"),
         {QStringLiteral("GUEST")},
         false,
         true,
         false,
         false,
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        frmBF_User& screen = open(c.actor);
        screen.subFormShowRecord(c.shown);
        EXPECT_EQ(screen.txtIdUser()->text(), c.shown);
        EXPECT_EQ(listed(), c.list);
        EXPECT_EQ(key(QStringLiteral("AddNew"))->isEnabled(), c.add);
        EXPECT_EQ(key(QStringLiteral("Edit"))->isEnabled(), c.edit);
        EXPECT_EQ(key(QStringLiteral("Delete"))->isEnabled(), c.remove);
        EXPECT_TRUE(key(QStringLiteral("Quit"))->isEnabled());
        EXPECT_EQ(screen.lstMain()->isEnabled(), c.listEnabled);
        EXPECT_FALSE(screen.roleFrame()->isEnabled());
        // F2 works from wherever the focus is, list or no list.
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
        ASSERT_TRUE(screen.isEditing());
        EXPECT_TRUE(screen.dataFrame()->isEnabled());
        EXPECT_FALSE(screen.txtIdUser()->isEnabled());
        EXPECT_EQ(screen.roleFrame()->isEnabled(), c.roleWhileModifying);
        EXPECT_EQ(QApplication::focusWidget(), screen.txtPWD());
        EXPECT_FALSE(key(QStringLiteral("AddNew"))->isEnabled());
        EXPECT_TRUE(key(QStringLiteral("Save"))->isEnabled());
        EXPECT_TRUE(key(QStringLiteral("Cancel"))->isEnabled());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        EXPECT_FALSE(screen.isEditing());
        EXPECT_TRUE(screen.isVisible());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        EXPECT_FALSE(screen.isVisible()) << "Esc in browse mode leaves";
    }
}

TEST_P(UserScreenTest, AUserWithoutTheSystemRoleChangesOnlyTheirOwnNamePasswordAndRemark) {
    AddUser(db(), {QStringLiteral("ADMIN"), {}, false, false, true}, QString());
    AddUser(db(), kClerk, EncodePassword(QStringLiteral("old")));
    frmBF_User& screen = open(kClerk);
    EXPECT_EQ(screen.windowTitle(), kTitle + QStringLiteral("：CLERK - 陳經辦（瀏覽模式）"));

    // Neither the keys nor the operations add or delete.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_N, Qt::ControlModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Insert);
    EXPECT_FALSE(screen.isEditing());
    dialogs_.expectMessage(
        Dialogs::Icon::None, QStringLiteral("新增"),
        QStringLiteral("新增失敗\r\n\r\n您的使用者帳號不具「系統」權限，不允許新增使用者"));
    screen.subFormAddNew();
    EXPECT_FALSE(screen.isEditing());
    dialogs_.expectMessage(
        Dialogs::Icon::None, kDeleteTitle,
        QStringLiteral("刪除失敗\r\n\r\n您的使用者帳號不具「系統」權限，不允許刪除使用者"));
    screen.subFormDelete();
    EXPECT_EQ(count(), 2);
    // Nor is anybody else's account shown to them.
    screen.subFormShowRecord(QStringLiteral("ADMIN"));
    EXPECT_EQ(screen.txtIdUser()->text(), QStringLiteral("CLERK"));
    EXPECT_TRUE(key(QStringLiteral("Edit"))->isEnabled());

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
    ASSERT_TRUE(screen.isEditing());
    EXPECT_FALSE(screen.roleFrame()->isEnabled());
    QTest::keyClicks(screen.txtPWD(), QStringLiteral("n3wpassw"));
    retype(screen.txtPwdVerify(), QStringLiteral("n3wpassw"));
    retype(screen.txtNameUser(), QStringLiteral("Chen"));
    retype(screen.txtNote(), QStringLiteral("remark"));
    expectSaved();
    QTest::keyClick(screen.txtNote(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(screen.isEditing());
    const QSqlRecord row = StoredUser(db(), QStringLiteral("CLERK"));
    EXPECT_EQ(FieldText(row, QStringLiteral("NameUser")), QStringLiteral("Chen"))
        << "cut to the name's four characters";
    EXPECT_EQ(FieldText(row, QStringLiteral("Note")), QStringLiteral("remark"));
    EXPECT_TRUE(loginAccepts(FieldText(row, QStringLiteral("PWD")), QStringLiteral("n3wpassw")));
    EXPECT_EQ(flags(QStringLiteral("CLERK")), (RoleFlags{true, false, false}));
    EXPECT_EQ(FieldText(row, QStringLiteral("IdUserModifyLast")), QStringLiteral("CLERK"));
    EXPECT_EQ(listed(), QStringList{QStringLiteral("CLERK")});
}

TEST_P(UserScreenTest, NobodyChangesTheirOwnRoleNotEvenAForcedOne) {
    AddUser(db(), kAdmin, QString());
    AddUser(db(), {QStringLiteral("ADMIN2"), {}, false, false, true}, QString());
    frmBF_User& screen = open(kAdmin);
    QTest::keyClick(screen.lstMain(), Qt::Key_F2);
    ASSERT_TRUE(screen.isEditing());
    EXPECT_FALSE(screen.roleFrame()->isEnabled());
    // The disabled group cannot be clicked; an option turned on behind its back is refused.
    QTest::mouseClick(screen.roleOption(UserRole::Handling), Qt::LeftButton);
    EXPECT_TRUE(screen.roleOption(UserRole::System)->isChecked());
    screen.roleOption(UserRole::Handling)->setChecked(true);
    dialogs_.expectMessage(
        Dialogs::Icon::Warning, QStringLiteral("儲存"),
        QStringLiteral(
            "儲存失敗\r\n\r\n不允許變更自己的使用者權限\r\n請由其他具「系統」權限的使用者變更"));
    EXPECT_FALSE(screen.subFormSave());
    EXPECT_TRUE(screen.isEditing());
    EXPECT_EQ(flags(QStringLiteral("ADMIN")), (RoleFlags{false, false, true}));
    screen.subFormCancel();
    EXPECT_TRUE(screen.roleOption(UserRole::System)->isChecked());

    // Saving one's own account otherwise keeps the role.
    screen.subFormEdit();
    screen.txtNote()->setText(QStringLiteral("自己"));
    expectSaved();
    ASSERT_TRUE(screen.subFormSave());
    EXPECT_EQ(flags(QStringLiteral("ADMIN")), (RoleFlags{false, false, true}));
}

TEST_P(UserScreenTest, TheLastAdministratorCanBeNeitherDeletedNorDemoted) {
    AddUser(db(), kAdmin, QString());
    AddUser(db(), {QStringLiteral("BOB"), {}, true, false, false}, QString());
    frmBF_User& screen = open(kAdmin);
    const QString refusal = QStringLiteral(
        "刪除失敗\r\n\r\n使用者 [ADMIN] 是唯一具「系統」權限的使用者\r\n"
        "刪除後將無人能維護使用者帳號");
    dialogs_.expectMessage(Dialogs::Icon::Warning, kDeleteTitle, refusal);
    QTest::keyClick(screen.lstMain(), Qt::Key_Delete);
    EXPECT_EQ(count(), 2);
    dialogs_.expectMessage(Dialogs::Icon::Warning, kDeleteTitle, refusal);
    key(QStringLiteral("Delete"))->trigger();
    EXPECT_EQ(count(), 2);

    // ADMIN and ANNA are administrators. On her workstation ANNA takes ADMIN's role away while
    // ADMIN's screen still believes ADMIN is one: ADMIN demoting ANNA now would leave nobody.
    db().ConnExecute(
        Statement(QStringLiteral("INSERT INTO BF_User (IdUser, PMI_System) VALUES ('ANNA', 1)")));
    auto elsewhere = scratch().connect();
    ASSERT_TRUE(UserAccounts(*elsewhere)
                    .modify({QStringLiteral("ANNA"), {}, false, false, true},
                            {QStringLiteral("ADMIN"), {}, {}, UserRole::Handling, {}})
                    .ok());
    screen.subFormListRefresh();
    screen.subFormShowRecord(QStringLiteral("ANNA"));
    screen.subFormEdit();
    ASSERT_TRUE(screen.roleFrame()->isEnabled());
    QTest::mouseClick(screen.roleOption(UserRole::Verify), Qt::LeftButton);
    dialogs_.expectMessage(
        Dialogs::Icon::Warning, QStringLiteral("儲存"),
        QStringLiteral("儲存失敗\r\n\r\n使用者 [ANNA] 是唯一具「系統」權限的使用者"
                       "\r\n取消其「系統」權限後將無人能維護使用者帳號"));
    EXPECT_FALSE(screen.subFormSave());
    EXPECT_TRUE(screen.isEditing()) << "the screen stays as typed";
    EXPECT_TRUE(screen.roleOption(UserRole::Verify)->isChecked());
    EXPECT_EQ(flags(QStringLiteral("ANNA")), (RoleFlags{false, false, true}));
}

TEST_P(UserScreenTest, DeleteAsksThenDeletesAndShowsTheSmallestId) {
    AddUser(db(), {QStringLiteral("BOB"), QStringLiteral("小明"), true, false, false}, QString());
    AddUser(db(), kAdmin, QString());
    AddUser(db(), {QStringLiteral("CAROL"), QStringLiteral("林主管"), false, true, false},
            QString());
    frmBF_User& screen = open(kAdmin);
    screen.subFormShowRecord(QStringLiteral("BOB"));
    const QString question =
        QStringLiteral("是否欲刪除以下紀錄\r\n\r\n帳　號：BOB\r\n使用者：小明");
    dialogs_.expectMessage(Dialogs::Icon::Question, kDeleteTitle, question, Dialogs::Button::Cancel)
        .withButtons(Dialogs::Buttons::OkCancel, Dialogs::Button::Cancel);
    dialogs_.expectMessage(Dialogs::Icon::Warning, kDeleteTitle,
                           QStringLiteral("刪除失敗\r\n\r\n使用者已取消操作"));
    key(QStringLiteral("Delete"))->trigger();
    EXPECT_EQ(count(), 3);

    dialogs_.expectMessage(Dialogs::Icon::Question, kDeleteTitle, question, Dialogs::Button::Ok)
        .withButtons(Dialogs::Buttons::OkCancel, Dialogs::Button::Cancel);
    dialogs_.expectMessage(Dialogs::Icon::Information, kDeleteTitle,
                           QStringLiteral("已刪除 [BOB] "));
    QTest::keyClick(screen.lstMain(), Qt::Key_Delete);
    EXPECT_TRUE(StoredUser(db(), QStringLiteral("BOB")).isEmpty());
    EXPECT_EQ(screen.txtIdUser()->text(), QStringLiteral("ADMIN"));
    EXPECT_EQ(screen.lstMain()->currentIndex().data().toString(), QStringLiteral("ADMIN"));
    EXPECT_EQ(listed(), (QStringList{QStringLiteral("ADMIN"), QStringLiteral("CAROL")}));

    // Deleted meanwhile on another workstation.
    screen.subFormShowRecord(QStringLiteral("CAROL"));
    db().ConnExecute(Statement(QStringLiteral("DELETE FROM BF_User WHERE IdUser = 'CAROL'")));
    dialogs_.expectMessage(Dialogs::Icon::Warning, kDeleteTitle,
                           QStringLiteral("刪除失敗\r\n\r\n無此筆紀錄"));
    screen.subFormDelete();
}

TEST_P(UserScreenTest, NewIdsBlankDuplicatedOrDifferingOnlyInCaseAreRefused) {
    AddUser(db(), {QStringLiteral("Admin"), QStringLiteral("王小明"), false, false, true},
            QString());
    AddUser(db(), {QStringLiteral("BOB"), {}, true, false, false}, QStringLiteral("979899"));
    frmBF_User& screen = open({QStringLiteral("Admin"), {}, false, false, true});
    screen.subFormAddNew();
    QTest::keyClicks(screen.txtIdUser(), QStringLiteral("   "));
    dialogs_.expectMessage(Dialogs::Icon::Warning, QStringLiteral("儲存"),
                           QStringLiteral("儲存失敗\r\n\r\n使用者帳號尚未輸入"));
    EXPECT_FALSE(screen.subFormSave());
    EXPECT_TRUE(screen.isAdding());
    EXPECT_EQ(QApplication::focusWidget(), screen.txtIdUser());

    // A new password has at least eight characters.
    retype(screen.txtIdUser(), QStringLiteral("carol"));
    retype(screen.txtPWD(), QStringLiteral(" short7 "));
    dialogs_.expectMessage(Dialogs::Icon::Warning, QStringLiteral("儲存"),
                           QStringLiteral("儲存失敗\r\n\r\n密碼長度不足，至少須 8 個字元"));
    EXPECT_FALSE(screen.subFormSave());
    EXPECT_TRUE(screen.isAdding());
    EXPECT_EQ(QApplication::focusWidget(), screen.txtPWD());
    EXPECT_EQ(count(), 2);
    retype(screen.txtPWD(), QStringLiteral("long enough"));

    retype(screen.txtIdUser(), QStringLiteral("admin"));
    dialogs_.expectMessage(
        Dialogs::Icon::Warning, QStringLiteral("儲存"),
        QStringLiteral("儲存失敗\r\n\r\n使用者帳號 [ADMIN] 與已有的帳號 [Admin] 只有大小寫不同"
                       "\r\n登入時不分大小寫，請改用其他帳號"));
    EXPECT_FALSE(screen.subFormSave());
    EXPECT_TRUE(screen.isAdding());

    retype(screen.txtIdUser(), QStringLiteral("bob"));
    screen.txtNameUser()->setText(QStringLiteral("重複"));
    // Neither answer reports the refused write as saved.
    for (const Answer answer : {Answer::Exit, Answer::Ignore}) {
        dialogs_.expectException(answer, QStringLiteral("例外程序　　　　：subFormSave"));
        EXPECT_FALSE(screen.subFormSave());
        EXPECT_TRUE(screen.isAdding());
        EXPECT_EQ(screen.txtNameUser()->text(), QStringLiteral("重複"));
    }
    EXPECT_EQ(count(), 2);
    EXPECT_EQ(storedPassword(QStringLiteral("BOB")), QStringLiteral("979899"));

    retype(screen.txtIdUser(), QStringLiteral(" dave "));
    expectSaved();
    ASSERT_TRUE(screen.subFormSave());
    EXPECT_FALSE(StoredUser(db(), QStringLiteral("DAVE")).isEmpty());
}

TEST_P(UserScreenTest, TheLockIsShownAndAnAdministratorLiftsIt) {
    AddUser(db(), kAdmin, QString());
    AddUser(db(), kClerk, QStringLiteral("979899"));
    db().ConnExecute(
        Statement(QStringLiteral("UPDATE BF_User SET LoginFailures = 5, Locked = 1, TimeLocked = "
                                 "'2024-05-06 07:08:09.000' WHERE IdUser = 'CLERK'")));
    frmBF_User& screen = open(kAdmin);
    QAction* unlock = key(QStringLiteral("Unlock"));
    ASSERT_NE(unlock, nullptr);
    EXPECT_EQ(unlock->text(), QStringLiteral("解除鎖定"));
    const QString locked = QStringLiteral("已鎖定（2024/05/06 07:08:09 起）");

    screen.subFormShowRecord(QStringLiteral("ADMIN"));
    EXPECT_EQ(screen.lockState()->text(), QStringLiteral("正常"));
    EXPECT_FALSE(unlock->isEnabled());
    screen.subFormShowRecord(QStringLiteral("CLERK"));
    EXPECT_EQ(screen.lockState()->text(), locked);
    EXPECT_TRUE(unlock->isEnabled());
    screen.subFormEdit();
    EXPECT_FALSE(unlock->isEnabled()) << "not while modifying";
    screen.subFormCancel();
    EXPECT_TRUE(unlock->isEnabled());

    const QString question =
        QStringLiteral("確定要解除此帳號的鎖定？\r\n\r\n帳　號：CLERK\r\n使用者：陳經辦");
    dialogs_
        .expectMessage(Dialogs::Icon::Question, QStringLiteral("解除鎖定"), question,
                       Dialogs::Button::No)
        .withButtons(Dialogs::Buttons::YesNo, Dialogs::Button::No);
    unlock->trigger();
    EXPECT_TRUE(FieldBoolean(StoredUser(db(), QStringLiteral("CLERK")), QStringLiteral("Locked")));
    EXPECT_EQ(screen.lockState()->text(), locked);

    dialogs_.expectMessage(Dialogs::Icon::Question, QStringLiteral("解除鎖定"), question,
                           Dialogs::Button::Yes);
    unlock->trigger();
    const QSqlRecord row = StoredUser(db(), QStringLiteral("CLERK"));
    EXPECT_FALSE(FieldBoolean(row, QStringLiteral("Locked")));
    EXPECT_EQ(FieldLong(row, QStringLiteral("LoginFailures")), 0);
    EXPECT_EQ(FieldText(row, QStringLiteral("PWD")), QStringLiteral("979899"));
    EXPECT_EQ(screen.txtIdUser()->text(), QStringLiteral("CLERK"));
    EXPECT_EQ(screen.lockState()->text(), QStringLiteral("正常"));
    EXPECT_FALSE(unlock->isEnabled());
    EXPECT_EQ(dialogs_.pending(), 0U);
}

TEST_P(UserScreenTest, OnlyAnAdministratorMayUnlock) {
    AddUser(db(), kClerk, QStringLiteral("979899"));
    db().ConnExecute(
        Statement(QStringLiteral("UPDATE BF_User SET Locked = 1 WHERE IdUser = 'CLERK'")));
    frmBF_User& screen = open(kClerk);
    EXPECT_TRUE(screen.lockState()->text().startsWith(QStringLiteral("已鎖定")));
    EXPECT_FALSE(key(QStringLiteral("Unlock"))->isEnabled());
}

TEST_P(UserScreenTest, AListFailureAtOpeningNamesTheConnection) {
    AddUser(db(), kAdmin, QString());
    SetCurrentUser(kAdmin);
    db().ConnExecute(Statement(QStringLiteral("ALTER TABLE BF_User RENAME TO BF_User_Away")));
    dialogs_.expectException(Answer::Ignore, InitializeLocation(db().target().location()));
    screen_ = std::make_unique<frmBF_User>(db());
    ASSERT_EQ(dialogs_.records().size(), 1u);
    EXPECT_TRUE(dialogs_.records().back().text.endsWith(
        QStringLiteral("例外程序　　　　：Initialize\r\n連線字串　　　　：") +
        db().target().location() + QStringLiteral("\r\n")));
    EXPECT_TRUE(listed().isEmpty());

    // A refresh later names itself.
    dialogs_.expectException(Answer::Exit, ScreenLocation(QStringLiteral("subFormListRefresh")));
    screen_->subFormListRefresh();
    db().ConnExecute(Statement(QStringLiteral("ALTER TABLE BF_User_Away RENAME TO BF_User")));
    screen_->subFormListRefresh();
    EXPECT_EQ(listed(), QStringList{QStringLiteral("ADMIN")});
}

TEST_P(UserScreenTest, TheMainWindowRunsItAsAModalDialog) {
    AddUser(db(), kAdmin, QString());
    SetCurrentUser(kAdmin);
    QWidget owner;
    owner.show();
    auto* screen = new frmBF_User(db(), &owner);
    EXPECT_TRUE(screen->isWindow()) << "a window of its own, not a child of the main window";
    bool driven = false;
    dialogs_.expectModal(
        [&](QWidget* shown) {
            auto* users = qobject_cast<frmBF_User*>(shown);
            ASSERT_NE(users, nullptr);
            users->subFormEdit();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            EXPECT_TRUE(users->isVisible()) << "Esc first cancels the modify";
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            driven = true;
        },
        QStringLiteral("frmBF_User"));
    AppDialogs().runModal(screen);
    EXPECT_TRUE(driven);
    EXPECT_FALSE(screen->isVisible());
    delete screen;
}

QUORVANE_INSTANTIATE_BACKENDS(UserScreenTest);

}  // namespace
}  // namespace quorvane
