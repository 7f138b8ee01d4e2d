#include "masterdata/screens/frmBF_User.h"

#include "core/CurrentUser.h"
#include "core/FailureRouting.h"
#include "db/FieldReaders.h"
#include "ui/Dialogs.h"
#include "ui/FieldKinds.h"

#include <QAction>
#include <QButtonGroup>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QRadioButton>
#include <QSqlQuery>
#include <QSqlRecord>

#include <functional>

namespace quorvane {

namespace {

const QString kTable = QStringLiteral("BF_User");
const QString kKey = QStringLiteral("IdUser");
const QString kDeleteTitle = QStringLiteral("刪除程序");
// Typed ids and passwords hold at most 16 characters, as on the login screen.
constexpr int kIdLength = 16;
constexpr int kPasswordLength = 16;
// "*" is one of the characters the password fields (and the login) refuse, so the placeholder
// can never be mistaken for a typed password.
constexpr QLatin1Char kPlaceholderCharacter('*');
constexpr int kPlaceholderLength = 8;

// Sees a widget's events before the filters installed earlier; the handler returns true for
// an event it has used up.
class EventTap : public QObject {
public:
    EventTap(QObject* watched, std::function<bool(QEvent*)> handler)
        : QObject(watched), handler_(std::move(handler)) {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        return handler_(event) || QObject::eventFilter(watched, event);
    }

private:
    std::function<bool(QEvent*)> handler_;
};

}  // namespace

frmBF_User::frmBF_User(Database& db, QWidget* parent)
    : RecordForm(db,
                 {QStringLiteral("E3-使用者基本資料建檔"), QStringLiteral("使用者帳號"), 8400, 5040,
                  2280, 3900},
                 {{QStringLiteral("AddNew"), QStringLiteral("新增"),
                   QStringLiteral("新增一筆使用者帳號（快速鍵：Ctrl + N）")},
                  {QStringLiteral("Edit"), QStringLiteral("修改"), QStringLiteral("修改")},
                  {QStringLiteral("Delete"), QStringLiteral("刪除"), QStringLiteral("刪除")},
                  {QStringLiteral("Cancel"), QStringLiteral("取消"), QStringLiteral("取消")},
                  {QStringLiteral("Save"), QStringLiteral("儲存"), QStringLiteral("存檔")},
                  {QStringLiteral("Unlock"), QStringLiteral("解除鎖定"),
                   QStringLiteral("解除此帳號因連續登入失敗而生的鎖定")},
                  {QStringLiteral("Print"), QStringLiteral("列印"), QString()},
                  {QStringLiteral("Quit"), QStringLiteral("離開"), QStringLiteral("離開此表單")}},
                 parent),
      accounts_(db) {
    setObjectName(QStringLiteral("frmBF_User"));
    // A dialog window of its own, of fixed size, without minimise or maximise box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(sizeHint());
    // A user who is not an administrator has no list to focus; the form takes the focus so
    // that its keys (F2, Esc) still work.
    setFocusPolicy(Qt::ClickFocus);
    buildFields();

    formLoad();
}

QString frmBF_User::PasswordPlaceholder() {
    return QString(kPlaceholderLength, kPlaceholderCharacter);
}

void frmBF_User::buildFields() {
    auto* grid = new QGridLayout(dataFrame());
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);
    const auto addField = [&](const QString& column, const QString& caption, int maxLength,
                              int row) {
        auto* field = new QLineEdit(dataFrame());
        field->setObjectName(QStringLiteral("txt") + column);
        field->setMaxLength(maxLength);
        AddFieldRow(grid, row, caption, field)->setObjectName(QStringLiteral("ssp") + column);
        return field;
    };
    txtIdUser_ = addField(QStringLiteral("IdUser"), QStringLiteral("使用者帳號"), kIdLength, 0);
    sspIdUser_ = findChild<QLabel*>(QStringLiteral("sspIdUser"));
    txtPWD_ = addField(QStringLiteral("PWD"), QStringLiteral("使用者密碼"), kPasswordLength, 1);
    txtPwdVerify_ =
        addField(QStringLiteral("PwdVerify"), QStringLiteral("密碼驗證"), kPasswordLength, 2);
    txtNameUser_ = addField(QStringLiteral("NameUser"), QStringLiteral("姓名"), 4, 3);
    txtNote_ = addField(QStringLiteral("Note"), QStringLiteral("備註"), 30, 4);
    for (QLineEdit* masked : {txtPWD_, txtPwdVerify_}) {
        masked->setEchoMode(QLineEdit::Password);
        masked->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));  // "*"
        masked->setPalette(dataFrame()->palette());  // readable while browsing, as the others
    }

    // The match indicator beside the verification field.
    passwordMarks_.emplace(dataFrame(), QStringLiteral("imgPwdOK"),
                           QStringLiteral("兩次輸入的密碼相同"), QStringLiteral("imgPwdReject"),
                           QStringLiteral("兩次輸入的密碼不同"));
    grid->addLayout(passwordMarks_->layout(), 2, 2);

    ssfPMI_ = new QGroupBox(QStringLiteral("權限"), dataFrame());
    ssfPMI_->setObjectName(QStringLiteral("ssfPMI"));
    roles_ = new QButtonGroup(this);
    roles_->setExclusive(true);
    auto* options = new QHBoxLayout(ssfPMI_);
    const struct {
        UserRole role;
        const char* name;
        const char* caption;
    } roleOptions[] = {
        {UserRole::Handling, "ssoPMI_Handling", "經辦"},
        {UserRole::Verify, "ssoPMI_Verify", "主管"},
        {UserRole::System, "ssoPMI_System", "系統"},
    };
    for (const auto& option : roleOptions) {
        auto* button = new QRadioButton(QString::fromUtf8(option.caption), ssfPMI_);
        button->setObjectName(QString::fromLatin1(option.name));
        roles_->addButton(button, static_cast<int>(option.role));
        options->addWidget(button);
    }
    options->addStretch();
    grid->addWidget(ssfPMI_, 5, 0, 1, 3);

    sspIdUserAddNew_ = MakePanel(dataFrame(), QStringLiteral("sspIdUserAddNew"));
    AddFieldRow(grid, 6, QStringLiteral("建檔人員"), sspIdUserAddNew_);
    sspTimeAddNew_ = MakePanel(dataFrame(), QStringLiteral("sspTimeAddNew"));
    AddFieldRow(grid, 7, QStringLiteral("建檔時間"), sspTimeAddNew_);
    sspLocked_ = MakePanel(dataFrame(), QStringLiteral("sspLocked"));
    AddFieldRow(grid, 8, QStringLiteral("帳號狀態"), sspLocked_);
    grid->setRowStretch(9, 1);
    grid->setColumnStretch(1, 1);
    grid->setColumnMinimumWidth(2, 20);  // the indicator's place, kept while it is hidden

    // Field kinds and the order Enter and the arrows move in. The id and the passwords take
    // the login screen's filters, so that whatever is stored here can be typed at the login.
    using Typing = FieldKindFilter::Typing;
    FieldKindFilter::Attach(txtIdUser_, FieldKind::UserId, {nullptr, txtPWD_}, Typing::Filtered);
    FieldKindFilter::Attach(txtPWD_, FieldKind::Password, {txtIdUser_, txtPwdVerify_},
                            Typing::Filtered);
    FieldKindFilter::Attach(txtPwdVerify_, FieldKind::Password, {txtPWD_, txtNameUser_},
                            Typing::Filtered);
    FieldKindFilter::Attach(txtNameUser_, FieldKind::PlainText, {txtPwdVerify_, txtNote_},
                            Typing::Free);
    FieldKindFilter::Attach(txtNote_, FieldKind::PlainText, {txtNameUser_, nullptr}, Typing::Free);

    for (QLineEdit* titled : {txtIdUser_, txtNameUser_}) {
        connect(titled, &QLineEdit::textChanged, this, [this] { updateTitle(); });
    }
    connect(txtPWD_, &QLineEdit::textChanged, this, [this] { hidePasswordMarks(); });
    connect(txtPWD_, &QLineEdit::textEdited, this, [this] {
        passwordTyped_ = true;
        dropPlaceholder(txtPWD_);
    });
    connect(txtPwdVerify_, &QLineEdit::textEdited, this,
            [this] { dropPlaceholder(txtPwdVerify_); });
    new EventTap(txtPwdVerify_, [this](QEvent* event) {
        if (event->type() == QEvent::FocusOut) {
            markPasswords();
        }
        return false;
    });
}

QRadioButton* frmBF_User::roleOption(UserRole role) const {
    return qobject_cast<QRadioButton*>(roles_->button(static_cast<int>(role)));
}

QString frmBF_User::tableName() const {
    return kTable;
}

QString frmBF_User::keyColumn() const {
    return kKey;
}

Statement frmBF_User::listQuery() const {
    if (isAdministrator()) {
        return Statement(
            QStringLiteral("SELECT IdUser AS ListField, IdUser FROM BF_User ORDER BY IdUser"));
    }
    // Anybody else sees their own account only.
    return Statement(QStringLiteral("SELECT IdUser AS ListField, IdUser FROM BF_User "
                                    "WHERE (IdUser = ?) ORDER BY IdUser"),
                     {CurrentUser().IdUser});
}

void frmBF_User::loadRecord(const QString& key) {
    if (!isAdministrator() && !UserAccounts::IsOwnAccount(CurrentUser(), key)) {
        return;  // nobody else's account is shown to them
    }
    UnitOfWork unit(db());
    // The stored password itself is never read: only whether there is one.
    QSqlQuery query = db().Query(Statement(
        QStringLiteral("SELECT IdUser, NameUser, Note, PMI_Handling, PMI_Verify, PMI_System, "
                       "CASE WHEN COALESCE(PWD, '') = '' THEN 0 ELSE 1 END AS HasPassword, "
                       "IdUserAddNew, TimeAddNew, Locked, TimeLocked FROM BF_User "
                       "WHERE (IdUser = ?)"),
        {key}));
    if (!query.next()) {
        return;
    }
    const QSqlRecord row = query.record();
    txtIdUser_->setText(FieldText(row, QStringLiteral("IdUser")));
    txtNameUser_->setText(FieldText(row, QStringLiteral("NameUser")));
    txtNote_->setText(FieldText(row, QStringLiteral("Note")));
    loadedRole_ = RoleOf({FieldBoolean(row, QStringLiteral("PMI_Handling")),
                          FieldBoolean(row, QStringLiteral("PMI_Verify")),
                          FieldBoolean(row, QStringLiteral("PMI_System"))});
    showRole(loadedRole_);
    const QString shown =
        FieldBoolean(row, QStringLiteral("HasPassword")) ? PasswordPlaceholder() : QString();
    txtPWD_->setText(shown);
    txtPwdVerify_->setText(shown);
    passwordTyped_ = false;
    sspIdUserAddNew_->setText(FieldText(row, QStringLiteral("IdUserAddNew")));
    sspTimeAddNew_->setText(TimeText(FieldDateTime(row, QStringLiteral("TimeAddNew"))));
    showLockState(FieldBoolean(row, QStringLiteral("Locked")),
                  FieldDateTime(row, QStringLiteral("TimeLocked")));
}

void frmBF_User::clearRecord() {
    for (QLineEdit* field : {txtIdUser_, txtPWD_, txtPwdVerify_, txtNameUser_, txtNote_}) {
        field->clear();
    }
    loadedRole_.reset();
    showRole(std::nullopt);
    passwordTyped_ = false;
    sspIdUserAddNew_->clear();
    sspTimeAddNew_->clear();
    showLockState(false, {});
    sspLocked_->clear();
    hidePasswordMarks();
}

QString frmBF_User::fieldsKey() const {
    return txtIdUser_->text();
}

QString frmBF_User::fieldsName() const {
    return txtNameUser_->text();
}

bool frmBF_User::isAdministrator() const {
    return CurrentUser().PMI_System;
}

bool frmBF_User::showsOwnAccount() const {
    return UserAccounts::IsOwnAccount(CurrentUser(), fieldsKey());
}

std::optional<UserRole> frmBF_User::shownRole() const {
    const int id = roles_->checkedId();
    if (id < 0) {
        return std::nullopt;
    }
    return static_cast<UserRole>(id);
}

void frmBF_User::showRole(std::optional<UserRole> role) {
    if (role) {
        roleOption(*role)->setChecked(true);
        return;
    }
    // An exclusive group never turns its last option off by itself.
    roles_->setExclusive(false);
    for (QAbstractButton* button : roles_->buttons()) {
        button->setChecked(false);
    }
    roles_->setExclusive(true);
}

bool frmBF_User::allowAdd() {
    if (UserAccounts::MayAdd(CurrentUser())) {
        return true;
    }
    AppDialogs().message(Dialogs::Icon::None, QStringLiteral("新增"),
                         UserAccounts::AddRefusalText());
    return false;
}

bool frmBF_User::allowEdit() {
    if (UserAccounts::MayModify(CurrentUser(), fieldsKey())) {
        return true;
    }
    AppDialogs().message(Dialogs::Icon::None, QStringLiteral("修改"),
                         UserAccounts::EditRefusalText());
    return false;
}

void frmBF_User::beginAdd() {
    // A new account starts empty, as a clerk.
    for (QLineEdit* field : {txtIdUser_, txtPWD_, txtPwdVerify_, txtNameUser_, txtNote_}) {
        field->clear();
    }
    sspIdUserAddNew_->clear();
    sspTimeAddNew_->clear();
    showLockState(false, {});
    loadedRole_ = UserRole::Handling;
    showRole(loadedRole_);
    passwordTyped_ = false;
    hidePasswordMarks();
    txtIdUser_->setEnabled(true);
    sspIdUser_->setEnabled(true);
    txtIdUser_->setFocus();
}

void frmBF_User::beginEdit() {
    txtIdUser_->setEnabled(false);
    sspIdUser_->setEnabled(false);
    SetFocusTextBox(txtPWD_, true);
}

bool frmBF_User::checkRecord() {
    // Every check of an account is made by the rules inside the save's transaction.
    return true;
}

std::optional<QString> frmBF_User::writeRecord() {
    // What the rules refuse inside the transaction (the last administrator, one's own role)
    // is a message to the user, and the screen stays in its mode.
    UserAccount account;
    account.IdUser = fieldsKey();
    account.NameUser = txtNameUser_->text();
    account.Note = txtNote_->text();
    const std::optional<UserRole> role = shownRole();
    if (isAdding() || ssfPMI_->isEnabled() || role != loadedRole_) {
        account.role = role;
    }
    if (isAdding() || passwordTyped_) {
        account.password = txtPWD_->text();
    }

    Procedure procedure(ScreenLocation(QStringLiteral("subFormSave")));
    UserAccounts::Outcome outcome;
    if (procedure.step([&] {
            outcome = isAdding() ? accounts_.add(CurrentUser(), account)
                                 : accounts_.modify(CurrentUser(), account);
        }) != StepOutcome::Done) {
        return std::nullopt;
    }
    if (!outcome.ok()) {
        AppDialogs().message(Dialogs::Icon::Warning, QStringLiteral("儲存"), outcome.message);
        if (outcome.refusal == UserAccounts::Refusal::BlankId ||
            outcome.refusal == UserAccounts::Refusal::IdNotTypeable ||
            outcome.refusal == UserAccounts::Refusal::IdDiffersInCase) {
            SetFocusTextBox(txtIdUser_, true);
        } else if (outcome.refusal == UserAccounts::Refusal::PasswordTooShort) {
            SetFocusTextBox(txtPWD_, true);
        }
        return std::nullopt;
    }
    return outcome.IdUser;
}

QString frmBF_User::deleteDescription() const {
    return QStringLiteral("帳　號：") + fieldsKey() + QStringLiteral("\r\n使用者：") + fieldsName();
}

QString frmBF_User::deleteRefusal(const QString& key) {
    return accounts_.checkRemove(CurrentUser(), key).message;
}

bool frmBF_User::allowDelete() {
    if (UserAccounts::MayDelete(CurrentUser())) {
        return true;
    }
    AppDialogs().message(Dialogs::Icon::None, kDeleteTitle, UserAccounts::DeleteRefusalText());
    return false;
}

qint32 frmBF_User::deleteRecord(const QString& key) {
    // The rules delete inside a transaction that also guards the last administrator.
    UserAccounts::Outcome outcome;
    Procedure procedure(ScreenLocation(QStringLiteral("subFormDelete")));
    if (procedure.step([&] { outcome = accounts_.remove(CurrentUser(), key); }) !=
        StepOutcome::Done) {
        return -1;
    }
    if (!outcome.ok()) {
        AppDialogs().message(Dialogs::Icon::Warning, kDeleteTitle, outcome.message);
        return -1;
    }
    return 1;
}

QString frmBF_User::showRecordTitle() const {
    return QStringLiteral("載入使用者資料");
}

QString frmBF_User::openingLocation() {
    return InitializeLocation(db().target().location());
}

void frmBF_User::modeChanged(bool editing) {
    txtIdUser_->setEnabled(isAdding());
    sspIdUser_->setEnabled(isAdding());
    // Nobody changes their own role.
    ssfPMI_->setEnabled(isAdding() || (editing && isAdministrator() && !showsOwnAccount()));
    sspIdUserAddNew_->setEnabled(editing);
    sspTimeAddNew_->setEnabled(editing);
    sspLocked_->setEnabled(editing);
    enableUnlock();
    if (!isAdministrator()) {
        toolbarAction(QStringLiteral("AddNew"))->setEnabled(false);
        toolbarAction(QStringLiteral("Delete"))->setEnabled(false);
        QAction* edit = toolbarAction(QStringLiteral("Edit"));
        edit->setEnabled(edit->isEnabled() && showsOwnAccount());
        lstMain()->setEnabled(false);
        if (!editing) {
            setFocus();
        }
    }
    if (!editing) {
        hidePasswordMarks();
    }
}

void frmBF_User::toolbarKey(const QString& key) {
    if (key == QStringLiteral("Unlock")) {
        unlockAccount();
    }
}

void frmBF_User::showLockState(bool locked, const QDateTime& since) {
    shownLocked_ = locked;
    sspLocked_->setText(locked
                            ? QStringLiteral("已鎖定（") + TimeText(since) + QStringLiteral(" 起）")
                            : QStringLiteral("正常"));
    enableUnlock();
}

void frmBF_User::enableUnlock() {
    toolbarAction(QStringLiteral("Unlock"))
        ->setEnabled(!isEditing() && shownLocked_ && UserAccounts::MayUnlock(CurrentUser()));
}

void frmBF_User::unlockAccount() {
    const QString title = QStringLiteral("解除鎖定");
    if (!UserAccounts::MayUnlock(CurrentUser())) {
        AppDialogs().message(Dialogs::Icon::None, title, UserAccounts::UnlockRefusalText());
        return;
    }
    const QString key = fieldsKey();
    if (AppDialogs().message(
            Dialogs::Icon::Question, title,
            QStringLiteral("確定要解除此帳號的鎖定？\r\n\r\n") + deleteDescription(),
            Dialogs::Buttons::YesNo, Dialogs::Button::No) != Dialogs::Button::Yes) {
        return;
    }
    UserAccounts::Outcome outcome;
    Procedure procedure(ScreenLocation(QStringLiteral("subFormUnlock")));
    if (procedure.step([&] { outcome = accounts_.unlock(CurrentUser(), key); }) !=
        StepOutcome::Done) {
        return;
    }
    if (!outcome.ok()) {
        AppDialogs().message(Dialogs::Icon::Warning, title, outcome.message);
        return;
    }
    subFormShowRecord(key);
}

void frmBF_User::dropPlaceholder(QLineEdit* field) {
    const QString text = field->text();
    if (!text.contains(kPlaceholderCharacter)) {
        return;
    }
    const int cursor = field->cursorPosition();
    const int before = static_cast<int>(text.left(cursor).count(kPlaceholderCharacter));
    QString typed = text;
    typed.remove(kPlaceholderCharacter);
    field->setText(typed);
    field->setCursorPosition(cursor - before);
}

void frmBF_User::markPasswords() {
    if (!isEditing()) {
        return;
    }
    const bool same = txtPWD_->text() == txtPwdVerify_->text();
    passwordMarks_->show(same ? OutcomeMarks::Mark::Ok : OutcomeMarks::Mark::Refused);
}

void frmBF_User::hidePasswordMarks() {
    passwordMarks_->show(OutcomeMarks::Mark::None);
}

}  // namespace quorvane
