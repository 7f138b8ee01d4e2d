#include "quota/screens/frmOR_Account.h"

#include "core/CurrentUser.h"
#include "core/Failure.h"
#include "core/FailureRouting.h"
#include "db/BusinessLookups.h"
#include "db/FieldReaders.h"
#include "quota/rules/QuotaRules.h"
#include "ui/Dialogs.h"
#include "ui/FieldKinds.h"
#include "ui/FieldLookups.h"
#include "ui/FormWidgets.h"

#include <QAction>
#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSqlRecord>
#include <QVBoxLayout>

namespace quorvane {

namespace {

const QString kTable = QStringLiteral("OR_Account");
const QString kKey = QStringLiteral("NoAccount");
const QString kCheckTitle = QStringLiteral("表單查核");
// The amount field takes digits, the minus sign and the decimal point as typed; the form
// check refuses anything that is not a whole number of dollars.
constexpr int kAmountKind = 46;

QLineEdit* textField(const QString& name, int maxLength, QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setMaxLength(maxLength);
    return field;
}

QString timeText(const QSqlRecord& row, const QString& column) {
    return TimeText(FieldDateTime(row, column));
}

}  // namespace

frmOR_Account::frmOR_Account(Database& db, QWidget* parent)
    : RecordForm(db, {QStringLiteral("C1-禮卷額度申請單"), QStringLiteral("主瀏覽窗格：申請編號")},
                 {{QStringLiteral("AddNew"), QStringLiteral("新增"), QStringLiteral("新增")},
                  {QStringLiteral("Edit"), QStringLiteral("修改"), QStringLiteral("修改")},
                  {QStringLiteral("Cancel"), QStringLiteral("取消"), QStringLiteral("取消")},
                  {QStringLiteral("Save"), QStringLiteral("儲存"), QStringLiteral("存檔")},
                  {QStringLiteral("Find"), QStringLiteral("尋找全部"), QString()},
                  {QStringLiteral("FindUnApprove"), QStringLiteral("尋找未核"), QString()},
                  {QStringLiteral("Quit"), QStringLiteral("離開"), QStringLiteral("離開")}},
                 parent),
      applications_(db) {
    setObjectName(QStringLiteral("frmOR_Account"));
    buildFields();
    formLoad();
}

void frmOR_Account::buildFields() {
    auto* frames = new QVBoxLayout(dataFrame());
    frames->setSpacing(6);

    // 經辦: what the clerk enters.
    ssfHandling_ = new QGroupBox(QStringLiteral("經辦"), dataFrame());
    ssfHandling_->setObjectName(QStringLiteral("ssfHandling"));
    auto* handling = new QGridLayout(ssfHandling_);
    handling->setHorizontalSpacing(6);
    handling->setVerticalSpacing(5);
    txtNoContract_ = textField(QStringLiteral("txtNoContract"), 12, ssfHandling_);
    cmdSelectNoContract_ = MakeChooserButton(ssfHandling_, QStringLiteral("cmdSelectNoContract"));
    sspNameCompany_ = MakePanel(ssfHandling_, QStringLiteral("sspNameCompany"));
    sspNoAccount_ = MakePanel(ssfHandling_, QStringLiteral("sspNoAccount"));
    txtAmount_ = textField(QStringLiteral("txtAmount"), 9, ssfHandling_);
    txtAmount_->setAlignment(Qt::AlignRight);
    sspAmount_ = MakePanel(ssfHandling_, QStringLiteral("sspAmount"), {}, Qt::AlignRight);
    txtNoteHandling_ = textField(QStringLiteral("txtNoteHandling"), 30, ssfHandling_);
    sspIdUserAddNew_ = MakePanel(ssfHandling_, QStringLiteral("sspIdUserAddNew"));
    sspTimeAddNew_ = MakePanel(ssfHandling_, QStringLiteral("sspTimeAddNew"));

    auto* contract = new QHBoxLayout;
    contract->setSpacing(2);
    contract->addWidget(txtNoContract_, 1);
    contract->addWidget(cmdSelectNoContract_);
    handling->addWidget(new QLabel(QStringLiteral("契約編號"), ssfHandling_), 0, 0);
    handling->addLayout(contract, 0, 1);
    handling->addWidget(new QLabel(QStringLiteral("發行業者"), ssfHandling_), 0, 2);
    handling->addWidget(sspNameCompany_, 0, 3);
    handling->addWidget(sspNoAccount_, 1, 3);
    handling->addWidget(new QLabel(QStringLiteral("申請總額度"), ssfHandling_), 2, 0);
    handling->addWidget(txtAmount_, 2, 1);
    handling->addWidget(sspAmount_, 2, 2, 1, 2);
    handling->addWidget(new QLabel(QStringLiteral("申請備註"), ssfHandling_), 3, 0);
    handling->addWidget(txtNoteHandling_, 3, 1, 1, 3);
    handling->addWidget(new QLabel(QStringLiteral("經辦人員"), ssfHandling_), 4, 0);
    handling->addWidget(sspIdUserAddNew_, 4, 1);
    handling->addWidget(new QLabel(QStringLiteral("建檔時間"), ssfHandling_), 4, 2);
    handling->addWidget(sspTimeAddNew_, 4, 3);
    handling->setColumnStretch(1, 2);
    handling->setColumnStretch(3, 3);
    frames->addWidget(ssfHandling_);

    // 主管審核: the supervisor's verdict.
    ssfVerify_ = new QGroupBox(QStringLiteral("主管審核"), dataFrame());
    ssfVerify_->setObjectName(QStringLiteral("ssfVerify"));
    auto* verify = new QGridLayout(ssfVerify_);
    verify->setHorizontalSpacing(6);
    verify->setVerticalSpacing(5);
    ssoVerifyApprove_ = new QRadioButton(QStringLiteral("申請核准(&A)"), ssfVerify_);
    ssoVerifyApprove_->setObjectName(QStringLiteral("ssoVerify_Approve"));
    ssoVerifyReturn_ = new QRadioButton(QStringLiteral("申請退回(&R)"), ssfVerify_);
    ssoVerifyReturn_->setObjectName(QStringLiteral("ssoVerify_Return"));
    verdicts_ = new QButtonGroup(this);
    verdicts_->addButton(ssoVerifyApprove_);
    verdicts_->addButton(ssoVerifyReturn_);
    txtNoteVerify_ = textField(QStringLiteral("txtNoteVerify"), 30, ssfVerify_);
    sspIdUserVerifyApprove_ = MakePanel(ssfVerify_, QStringLiteral("sspIdUserVerifyApprove"));
    sspTimeVerifyApprove_ = MakePanel(ssfVerify_, QStringLiteral("sspTimeVerifyApprove"));
    sspIdUserVerifyReturn_ = MakePanel(ssfVerify_, QStringLiteral("sspIdUserVerifyReturn"));
    sspTimeVerifyReturn_ = MakePanel(ssfVerify_, QStringLiteral("sspTimeVerifyReturn"));
    auto* options = new QHBoxLayout;
    options->addWidget(ssoVerifyApprove_);
    options->addSpacing(12);
    options->addWidget(ssoVerifyReturn_);
    options->addStretch();
    verify->addWidget(new QLabel(QStringLiteral("核定結果"), ssfVerify_), 0, 0);
    verify->addLayout(options, 0, 1, 1, 2);
    verify->addWidget(new QLabel(QStringLiteral("核定備註"), ssfVerify_), 1, 0);
    verify->addWidget(txtNoteVerify_, 1, 1, 1, 2);
    verify->addWidget(new QLabel(QStringLiteral("主管核准"), ssfVerify_), 2, 0);
    verify->addWidget(sspIdUserVerifyApprove_, 2, 1);
    verify->addWidget(sspTimeVerifyApprove_, 2, 2);
    verify->addWidget(new QLabel(QStringLiteral("主管退回"), ssfVerify_), 3, 0);
    verify->addWidget(sspIdUserVerifyReturn_, 3, 1);
    verify->addWidget(sspTimeVerifyReturn_, 3, 2);
    verify->setColumnStretch(1, 2);
    verify->setColumnStretch(2, 3);
    frames->addWidget(ssfVerify_);

    // 統計資訊: the balance of the contract on screen.
    ssfAmount_ = new QGroupBox(QStringLiteral("統計資訊"), dataFrame());
    ssfAmount_->setObjectName(QStringLiteral("ssfAmount"));
    auto* amounts = new QGridLayout(ssfAmount_);
    amounts->setHorizontalSpacing(6);
    sspAmountApplyApprove_ =
        MakePanel(ssfAmount_, QStringLiteral("sspAmountApplyApprove"), {}, Qt::AlignRight);
    sspAmountTicketPrint_ =
        MakePanel(ssfAmount_, QStringLiteral("sspAmountTicketPrint"), {}, Qt::AlignRight);
    sspAmountRemain_ = MakePanel(ssfAmount_, QStringLiteral("sspAmountRemain"), {}, Qt::AlignRight);
    amounts->addWidget(new QLabel(QStringLiteral("目前總額"), ssfAmount_), 0, 0);
    amounts->addWidget(sspAmountApplyApprove_, 0, 1);
    amounts->addWidget(new QLabel(QStringLiteral("已使用額度"), ssfAmount_), 0, 2);
    amounts->addWidget(sspAmountTicketPrint_, 0, 3);
    amounts->addWidget(new QLabel(QStringLiteral("剩餘額度"), ssfAmount_), 0, 4);
    amounts->addWidget(sspAmountRemain_, 0, 5);
    for (int column : {1, 3, 5}) {
        amounts->setColumnStretch(column, 1);
    }
    frames->addWidget(ssfAmount_);
    frames->addStretch();

    // The panels stand as tall as the fields beside them.
    const int rowHeight = txtNoContract_->sizeHint().height();
    for (QLabel* label : dataFrame()->findChildren<QLabel*>()) {
        if (label->frameShape() == QFrame::Panel) {
            label->setMinimumHeight(rowHeight);
        }
    }

    // Field kinds and the order Enter and the arrows move in.
    FieldKindFilter::Attach(txtNoContract_, FieldKind::ContractNumber, {nullptr, txtAmount_});
    FieldKindFilter::Attach(txtAmount_, kAmountKind, {txtNoContract_, txtNoteHandling_});
    FieldKindFilter::Attach(txtNoteHandling_, FieldKind::PlainText, {txtAmount_, nullptr},
                            FieldKindFilter::Typing::Free);
    FieldKindFilter::Attach(txtNoteVerify_, FieldKind::PlainText, {},
                            FieldKindFilter::Typing::Free);

    connect(txtNoContract_, &QLineEdit::textChanged, this, [this] {
        if (!loading_) {
            refreshSummary();
        }
    });
    connect(txtAmount_, &QLineEdit::textChanged, this, [this] { showAppliedAmount(); });
    connect(cmdSelectNoContract_, &QPushButton::clicked, this, [this] { selectNoContract(); });
    refreshSummary();
}

QString frmOR_Account::tableName() const {
    return kTable;
}

QString frmOR_Account::keyColumn() const {
    return kKey;
}

Statement frmOR_Account::listQuery() const {
    return QuotaApplications::ListQuery();
}

QString frmOR_Account::loadLocation(const QString& key) {
    return ScreenLocation(QStringLiteral("ForLoadRecord")) + QStringLiteral("IndexKey　　　　：") +
           key + QStringLiteral("\r\nsSQL　　　　　　：") +
           QuotaApplications::RowQuery(key.trimmed()).describe() + QStringLiteral("\r\n");
}

void frmOR_Account::loadRecord(const QString& key) {
    const QSqlRecord row = applications_.row(key);
    if (row.isEmpty()) {
        clearRecord();
        return;
    }
    loading_ = true;
    sspNoAccount_->setText(FieldText(row, QStringLiteral("NoAccount")));
    txtNoContract_->setText(FieldText(row, QStringLiteral("NoContract")));
    txtAmount_->setText(FieldText(row, QStringLiteral("Amount")));
    txtNoteHandling_->setText(FieldText(row, QStringLiteral("NoteHandling")));
    txtNoteVerify_->setText(FieldText(row, QStringLiteral("NoteVerify")));
    sspIdUserAddNew_->setText(FieldText(row, QStringLiteral("IdUserAddNew")));
    sspTimeAddNew_->setText(timeText(row, QStringLiteral("TimeAddNew")));
    setReview(row.value(QStringLiteral("VerifyApprove")));
    sspIdUserVerifyApprove_->setText(FieldText(row, QStringLiteral("IdUserVerifyApprove")));
    sspTimeVerifyApprove_->setText(timeText(row, QStringLiteral("TimeVerifyApprove")));
    sspIdUserVerifyReturn_->setText(FieldText(row, QStringLiteral("IdUserVerifyReturn")));
    sspTimeVerifyReturn_->setText(timeText(row, QStringLiteral("TimeVerifyReturn")));
    loading_ = false;
    // Also after a save of the same contract, whose text does not change.
    refreshSummary();
}

void frmOR_Account::clearFields() {
    loading_ = true;
    sspNoAccount_->clear();
    txtNoContract_->clear();
    txtAmount_->clear();
    txtNoteHandling_->clear();
    txtNoteVerify_->clear();
    sspIdUserAddNew_->clear();
    sspTimeAddNew_->clear();
    setReview(QVariant());
    for (QLabel* stamp : {sspIdUserVerifyApprove_, sspTimeVerifyApprove_, sspIdUserVerifyReturn_,
                          sspTimeVerifyReturn_}) {
        stamp->clear();
    }
    loading_ = false;
}

void frmOR_Account::clearRecord() {
    clearFields();
    refreshSummary();
}

void frmOR_Account::setReview(const QVariant& verifyApprove) {
    // An exclusive group cannot show both options off; it is opened for the moment.
    verdicts_->setExclusive(false);
    const bool known = verifyApprove.isValid() && !verifyApprove.isNull();
    ssoVerifyApprove_->setChecked(known && verifyApprove.toInt() == 1);
    ssoVerifyReturn_->setChecked(known && verifyApprove.toInt() == 0);
    verdicts_->setExclusive(true);
}

QString frmOR_Account::fieldsKey() const {
    return sspNoAccount_ != nullptr ? sspNoAccount_->text() : QString();
}

void frmOR_Account::refreshSummary() {
    const QString contract = txtNoContract_->text();
    QString name;
    qint64 approve = 0;
    qint64 printed = 0;
    qint64 remain = 0;
    Procedure procedure(ScreenLocation(QStringLiteral("txtNoContract_Change")) +
                        QStringLiteral("契約編號　　　　：") + contract);
    // Whatever became of the look-up, the summary shows what it found (nothing when it failed)
    // rather than another contract's figures.
    static_cast<void>(procedure.step([&] {
        name = GetNameCompany(db(), contract);
        GetAccountAmount(db(), contract, approve, printed, remain);
    }));
    amountApprove_ = approve;
    amountTicketPrint_ = printed;
    amountRemain_ = remain;
    sspNameCompany_->setText(name);
    sspAmountApplyApprove_->setText(FormatAmount(approve));
    sspAmountTicketPrint_->setText(FormatAmount(printed));
    sspAmountRemain_->setText(FormatAmount(remain));
}

void frmOR_Account::showAppliedAmount() {
    // Repeats a whole number with its thousands; anything else is for the form check to refuse,
    // and is not shown as a rounded amount.
    static const QRegularExpression whole(QStringLiteral("^-?[0-9]{1,9}$"));
    const QString text = txtAmount_->text().trimmed();
    sspAmount_->setText(whole.match(text).hasMatch() ? FormatAppliedAmount(text.toLongLong())
                                                     : QString());
}

void frmOR_Account::selectNoContract() {
    QString contract;
    QString name;
    bool picked = false;
    Procedure procedure(ScreenLocation(QStringLiteral("cmdSelectNoContract_Click")));
    if (procedure.step([&] { picked = PickCustomer(this, db(), contract, name); }) !=
            StepOutcome::Done ||
        !picked) {
        return;
    }
    txtNoContract_->setText(contract);
    sspNameCompany_->setText(name);
    SetFocusTextBox(txtAmount_, true);
}

bool frmOR_Account::allowAdd() {
    if (QuotaRoleOf(CurrentUser()) != QuotaRole::Clerk) {
        AppDialogs().message(Dialogs::Icon::Warning, QStringLiteral("新增"), AddRefusalText());
        return false;
    }
    return true;
}

bool frmOR_Account::allowEdit() {
    const QString key = currentKey();
    QString refusal;
    Procedure procedure(ScreenLocation(QStringLiteral("subFormEdit")) +
                        QStringLiteral("主索引值　　　　：") + key);
    // The rule is applied to the row as it is now: another workstation may have reviewed it
    // since it was shown. A rule that was not applied allows nothing.
    const StepOutcome checked = procedure.step([&] {
        loadRecord(key);
        if (fieldsKey() != key) {
            return;
        }
        refusal = QuotaEditRefusal(db(), QuotaRoleOf(CurrentUser()), key, txtNoContract_->text(),
                                   ssoVerifyApprove_->isChecked());
    });
    if (checked != StepOutcome::Done || fieldsKey() != key) {
        return false;
    }
    if (!refusal.isEmpty()) {
        AppDialogs().message(Dialogs::Icon::Warning, QStringLiteral("修改"), refusal);
        return false;
    }
    return true;
}

void frmOR_Account::subFormAddNew(const QString& noContract) {
    pendingContract_ = noContract;
    RecordForm::subFormAddNew();
    pendingContract_.clear();
}

void frmOR_Account::beginAdd() {
    clearFields();
    txtNoContract_->setText(pendingContract_);
    refreshSummary();
    SetFocusTextBox(txtNoContract_, false, true);
}

void frmOR_Account::beginEdit() {
    if (QuotaRoleOf(CurrentUser()) == QuotaRole::Supervisor) {
        ssoVerifyApprove_->setFocus(Qt::OtherFocusReason);
    } else {
        SetFocusTextBox(txtAmount_, true);
    }
}

void frmOR_Account::modeChanged(bool editing) {
    const QuotaRole role = QuotaRoleOf(CurrentUser());
    ssfHandling_->setEnabled(editing && role != QuotaRole::Supervisor);
    ssfVerify_->setEnabled(editing && role != QuotaRole::Clerk);
    txtNoContract_->setEnabled(isAdding());
    cmdSelectNoContract_->setEnabled(isAdding());
    for (const QString& key : {QStringLiteral("Find"), QStringLiteral("FindUnApprove")}) {
        toolbarAction(key)->setEnabled(!editing);
    }
    if (!editing && fieldsKey().isEmpty()) {
        // Browsing without an application on display (an add cancelled on an empty table).
        clearRecord();
    }
}

bool frmOR_Account::checkRecord() {
    return formCheck();
}

bool frmOR_Account::formCheck() {
    const QString contract = txtNoContract_->text().trimmed();
    if (contract.isEmpty()) {
        warn(kCheckTitle,
             QStringLiteral("「契約代碼」錯誤\r\n\r\n尚未輸入「契約代碼」，請重新輸入"),
             txtNoContract_);
        return false;
    }
    bool exists = false;
    Procedure procedure(ScreenLocation(QStringLiteral("FormCheck")) +
                        QStringLiteral("契約編號　　　　：") + contract);
    if (procedure.step([&] { exists = IsExistNoContract(db(), contract); }) != StepOutcome::Done) {
        return false;
    }
    if (!exists) {
        warn(kCheckTitle, UnknownContractText(contract), txtNoContract_);
        return false;
    }
    const QString typed = txtAmount_->text().trimmed();
    if (typed.isEmpty()) {
        warn(kCheckTitle,
             QStringLiteral("「申請額度」錯誤\r\n\r\n尚未輸入「申請額度」，請重新輸入"),
             txtAmount_);
        return false;
    }
    qint64 amount = 0;
    if (!ParseApplicationAmount(typed, amount)) {
        warn(kCheckTitle, BadAmountText(typed), txtAmount_);
        return false;
    }
    // Against what is printed now, which the summary then shows.
    refreshSummary();
    if (amount < amountTicketPrint_) {
        warn(kCheckTitle, BelowPrintedText(amountTicketPrint_, amount), txtAmount_);
        return false;
    }
    return true;
}

std::optional<QString> frmOR_Account::formSave() {
    QuotaApplication application;
    application.noAccount = isAdding() ? QString() : fieldsKey();
    application.noContract = txtNoContract_->text().trimmed();
    ParseApplicationAmount(txtAmount_->text(), application.amount);
    application.noteHandling = txtNoteHandling_->text();
    application.review = ssoVerifyApprove_->isChecked()  ? ReviewChoice::Approve
                         : ssoVerifyReturn_->isChecked() ? ReviewChoice::Return
                                                         : ReviewChoice::Unchanged;
    application.noteVerify = txtNoteVerify_->text();

    QuotaApplicationWriter writer(db());
    QuotaSaveResult result;
    Procedure procedure(ScreenLocation(QStringLiteral("FormSave")));
    const StepOutcome outcome = procedure.step([&] {
        try {
            result = writer.save(application, CurrentUser());
        } catch (const Failure&) {
            procedure.setLocation(ScreenLocation(QStringLiteral("FormSave")) +
                                  QStringLiteral("sSQL　　　　　　：") + writer.statement() +
                                  QStringLiteral("\r\nlngNoItem　　　 ：") +
                                  QString::number(writer.noItem()) + QStringLiteral("\r\n"));
            throw;
        }
    });
    if (outcome != StepOutcome::Done) {
        return std::nullopt;  // the screen stays in its mode with everything as typed
    }
    if (!result.saved) {
        QWidget* focus = result.field == QuotaField::Contract ? txtNoContract_
                         : result.field == QuotaField::Amount ? txtAmount_
                                                              : nullptr;
        warn(result.title, result.message, focus);
        refreshSummary();
        return std::nullopt;
    }
    return result.noAccount;
}

std::optional<QString> frmOR_Account::writeRecord() {
    return formSave();
}

QString frmOR_Account::deleteDescription() const {
    return QStringLiteral("申請編號：") + fieldsKey();
}

QString frmOR_Account::showRecordTitle() const {
    return QStringLiteral("載入額度資料");
}

void frmOR_Account::toolbarKey(const QString& key) {
    if (key == QStringLiteral("Find")) {
        find(false);
    } else if (key == QStringLiteral("FindUnApprove")) {
        find(true);
    }
}

void frmOR_Account::find(bool notReviewedOnly) {
    if (isEditing()) {
        return;
    }
    Selection request;
    request.MultiSelect = false;
    request.title = notReviewedOnly ? QStringLiteral("額度編號（篩選尚未核定之額度申請）")
                                    : QStringLiteral("額度編號");
    request.SelectCommandText = applications_.selection(notReviewedOnly);
    SelectionResult picked;
    Procedure procedure(
        ScreenLocation(notReviewedOnly ? QStringLiteral("FindUnApprove") : QStringLiteral("Find")));
    if (procedure.step([&] { picked = AppDialogs().selectItem(this, db(), request); }) !=
            StepOutcome::Done ||
        picked.SelectedCount <= 0) {
        return;
    }
    subFormShowRecord(picked.SelectedValue.at(0));
}

void frmOR_Account::subFormShowRecordByNoContract(const QString& noContract) {
    const QString contract = noContract.trimmed();
    QString latest;
    Procedure procedure(ScreenLocation(QStringLiteral("subFormShowRecordByNoContract")) +
                        QStringLiteral("契約編號　　　　：") + contract);
    if (procedure.step([&] { latest = applications_.latestNoAccount(contract); }) !=
        StepOutcome::Done) {
        return;
    }
    if (latest.isEmpty()) {
        return;
    }
    if (!isEditing()) {
        // An application another workstation filed since the list was filled.
        subFormListRefresh();
    }
    subFormShowRecord(latest);
}

void frmOR_Account::warn(const QString& title, const QString& text, QWidget* focus) {
    AppDialogs().message(Dialogs::Icon::Warning, title, text);
    if (auto* field = qobject_cast<QLineEdit*>(focus)) {
        SetFocusTextBox(field, true);
    } else if (focus != nullptr) {
        SetFocusControl(focus);
    }
}

}  // namespace quorvane
