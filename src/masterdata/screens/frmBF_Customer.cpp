#include "masterdata/screens/frmBF_Customer.h"

#include "core/CurrentUser.h"
#include "core/FailureRouting.h"
#include "db/FieldReaders.h"
#include "ui/Dialogs.h"
#include "ui/FieldKinds.h"
#include "ui/ScreenNames.h"
#include "ui/ScreenRegistry.h"

#include <QAction>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QSqlRecord>

namespace quorvane {

namespace {

const QString kTable = QStringLiteral("BF_Customer");
const QString kKey = QStringLiteral("NoContract");

// The fields top to bottom: column, label, maximum length.
struct FieldLayout {
    const char* column;
    const char* label;
    int maxLength;
};
constexpr FieldLayout kFields[] = {
    {"NoContract", "契約編號", 12},
    {"NoVAT", "統一編號", 8},
    {"NameCEO", "負責人姓名", 4},
    {"NameCompany", "發行業者", 16},
    {"TelCompany", "服務電話", 35},
    {"AddressCompany", "登記地址", 30},
    {"NameContact", "聯絡人", 4},
    {"DateContract", "簽約日", 10},
    {"TelContact", "聯絡電話", 20},
    {"TelFax", "傳真號碼", 20},
    {"AddressEmail", "電子郵件", 30},
    {"AddressContact", "通訊地址", 30},
    {"Note", "備註", 50},
    {"AddressWeb", "網址", 30},
};

QString column(const FieldLayout& layout) {
    return QString::fromLatin1(layout.column);
}

}  // namespace

frmBF_Customer::frmBF_Customer(Database& db, QWidget* parent)
    : RecordForm(db,
                 {QStringLiteral("B1-發行業者基本資料建檔"), QStringLiteral("契約編號：發行業者")},
                 {{QStringLiteral("AddNew"), QStringLiteral("新增"),
                   QStringLiteral("新增一筆發行業者紀錄（快速鍵：Ctrl + N）")},
                  {QStringLiteral("Edit"), QStringLiteral("修改"), QStringLiteral("修改")},
                  {QStringLiteral("Delete"), QStringLiteral("刪除"), QStringLiteral("作廢")},
                  {QStringLiteral("Cancel"), QStringLiteral("取消"), QStringLiteral("取消")},
                  {QStringLiteral("Save"), QStringLiteral("儲存"), QStringLiteral("存檔")},
                  {QStringLiteral("AccountAddNew"), QStringLiteral("新增額度"), QString()},
                  {QStringLiteral("AccountOpen"), QStringLiteral("檢視額度"), QString()},
                  {QStringLiteral("Quit"), QStringLiteral("離開"),
                   QStringLiteral("(Ctrl + Q) 離開此表單")}},
                 parent),
      issuers_(db) {
    setObjectName(QStringLiteral("frmBF_Customer"));
    buildFields();
    formLoad();
}

void frmBF_Customer::buildFields() {
    auto* grid = new QGridLayout(dataFrame());
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);
    int row = 0;
    for (const FieldLayout& layout : kFields) {
        auto* field = new QLineEdit(dataFrame());
        field->setObjectName(QStringLiteral("txt") + column(layout));
        field->setMaxLength(layout.maxLength);
        AddFieldRow(grid, row, QString::fromUtf8(layout.label), field)
            ->setObjectName(QStringLiteral("ssp") + column(layout));
        fields_.insert(column(layout), field);
        ++row;
    }
    sspNoContract_ = findChild<QLabel*>(QStringLiteral("sspNoContract"));

    // The business-number marks beside txtNoVAT.
    noVatMarks_.emplace(dataFrame(), QStringLiteral("imgNoVatOK"),
                        QStringLiteral("統一編號長度正確"), QStringLiteral("imgNoVatReject"),
                        QStringLiteral("統一編號應為 8 碼"));
    grid->addLayout(noVatMarks_->layout(), 1, 2);

    cmdCopyAddress_ = new QPushButton(QStringLiteral("同登記地址"), dataFrame());
    cmdCopyAddress_->setObjectName(QStringLiteral("cmdCopyAddress"));
    cmdCopyAddress_->setToolTip(QStringLiteral("將登記地址複製到通訊地址"));
    grid->addWidget(cmdCopyAddress_, 11, 2);

    sspIdUserAddNew_ = MakePanel(dataFrame(), QStringLiteral("sspIdUserAddNew"));
    AddFieldRow(grid, row, QStringLiteral("建檔人員"), sspIdUserAddNew_);
    ++row;
    sspTimeAddNew_ = MakePanel(dataFrame(), QStringLiteral("sspTimeAddNew"));
    AddFieldRow(grid, row, QStringLiteral("建檔時間"), sspTimeAddNew_);
    grid->setRowStretch(row + 1, 1);
    grid->setColumnStretch(1, 1);

    // Field kinds and the order Enter and the arrows move in.
    QLineEdit* previous = nullptr;
    for (std::size_t i = 0; i < std::size(kFields); ++i) {
        QLineEdit* current = fields_.value(column(kFields[i]));
        QLineEdit* next =
            i + 1 < std::size(kFields) ? fields_.value(column(kFields[i + 1])) : nullptr;
        const QString name = column(kFields[i]);
        const int kind = name == kKey                      ? FieldKind::ContractNumber
                         : name == QStringLiteral("NoVAT") ? FieldKind::BusinessNumber
                                                           : FieldKind::PlainText;
        const auto typing = kind == FieldKind::PlainText ? FieldKindFilter::Typing::Free
                                                         : FieldKindFilter::Typing::Filtered;
        FieldKindFilter::Attach(current, kind, {previous, next, nullptr, nullptr}, typing);
        previous = current;
    }

    for (const QString& name : {kKey, QStringLiteral("NameCompany")}) {
        connect(fields_.value(name), &QLineEdit::textChanged, this, [this] { updateTitle(); });
    }
    QLineEdit* noVAT = fields_.value(QStringLiteral("NoVAT"));
    connect(noVAT, &QLineEdit::textChanged, this, [this] { hideNoVATMarks(); });
    connect(noVAT, &QLineEdit::editingFinished, this, [this] { markNoVAT(); });
    connect(cmdCopyAddress_, &QPushButton::clicked, this, [this] {
        QLineEdit* contact = fields_.value(QStringLiteral("AddressContact"));
        contact->setText(fields_.value(QStringLiteral("AddressCompany"))->text());
        contact->setFocus();
    });
}

QString frmBF_Customer::tableName() const {
    return kTable;
}

QString frmBF_Customer::keyColumn() const {
    return kKey;
}

Statement frmBF_Customer::listQuery() const {
    return Statement(QStringLiteral(
        "SELECT NoContract || '：' || COALESCE(NameCompany, '') AS ListField, NoContract "
        "FROM BF_Customer ORDER BY NoContract"));
}

void frmBF_Customer::loadRecord(const QString& key) {
    UnitOfWork unit(db());
    QSqlQuery query = db().Query(
        Statement(QStringLiteral("SELECT * FROM BF_Customer WHERE (NoContract = ?)"), {key}));
    if (!query.next()) {
        return;
    }
    const QSqlRecord row = query.record();
    for (auto it = fields_.cbegin(); it != fields_.cend(); ++it) {
        it.value()->setText(FieldText(row, it.key()));
    }
    sspIdUserAddNew_->setText(FieldText(row, QStringLiteral("IdUserAddNew")));
    sspTimeAddNew_->setText(TimeText(FieldDateTime(row, QStringLiteral("TimeAddNew"))));
}

void frmBF_Customer::clearRecord() {
    for (QLineEdit* field : std::as_const(fields_)) {
        field->clear();
    }
    sspIdUserAddNew_->clear();
    sspTimeAddNew_->clear();
}

QString frmBF_Customer::fieldsKey() const {
    return fields_.value(kKey)->text();
}

QString frmBF_Customer::fieldsName() const {
    return fields_.value(QStringLiteral("NameCompany"))->text();
}

void frmBF_Customer::beginAdd() {
    // A new issuer starts as a copy of the one shown, but for its contract number.
    QLineEdit* key = fields_.value(kKey);
    key->clear();
    key->setEnabled(true);
    sspNoContract_->setEnabled(true);
    sspIdUserAddNew_->clear();
    sspTimeAddNew_->clear();
    key->setFocus();
}

void frmBF_Customer::beginEdit() {
    fields_.value(kKey)->setEnabled(false);
    sspNoContract_->setEnabled(false);
    SetFocusTextBox(fields_.value(QStringLiteral("NoVAT")), true);
}

bool frmBF_Customer::checkRecord() {
    QLineEdit* key = fields_.value(kKey);
    if (key->text().trimmed().isEmpty()) {
        key->setFocus();
        AppDialogs().message(Dialogs::Icon::Warning, QStringLiteral("儲存檢查"),
                             QStringLiteral("契約尚未輸入\r\n\r\n請重新輸入契約編號"));
        return false;
    }
    return true;
}

std::optional<QString> frmBF_Customer::writeRecord() {
    Issuer issuer;
    issuer.NoContract = fieldsKey();
    for (auto it = fields_.cbegin(); it != fields_.cend(); ++it) {
        if (it.key() != kKey) {
            issuer.columns.insert(it.key(), it.value()->text());
        }
    }
    return isAdding() ? issuers_.add(CurrentUser(), issuer)
                      : issuers_.modify(CurrentUser(), issuer);
}

QString frmBF_Customer::deleteDescription() const {
    return QStringLiteral("契約編號：") + fieldsKey() + QStringLiteral("\r\n發行業者：") +
           fieldsName() + QStringLiteral("\r\n統一編號：") +
           fields_.value(QStringLiteral("NoVAT"))->text();
}

QString frmBF_Customer::deleteRefusal(const QString& key) {
    return issuers_.deleteRefusal(key);
}

QString frmBF_Customer::deleteNotFound(const QString& key) const {
    return QStringLiteral("刪除失敗\r\n\r\n無此筆紀錄[ ") + key + QStringLiteral(" ]");
}

QString frmBF_Customer::showRecordTitle() const {
    return QStringLiteral("載入發行業者資料");
}

void frmBF_Customer::modeChanged(bool editing) {
    fields_.value(kKey)->setEnabled(isAdding());
    sspNoContract_->setEnabled(isAdding());
    sspIdUserAddNew_->setEnabled(editing);
    sspTimeAddNew_->setEnabled(editing);
    const bool quota =
        !editing && AppScreens() != nullptr && AppScreens()->hasScreen(screen::QuotaApplications);
    for (const QString& key : {QStringLiteral("AccountAddNew"), QStringLiteral("AccountOpen")}) {
        toolbarAction(key)->setEnabled(quota);
    }
    if (!editing) {
        hideNoVATMarks();
    }
}

void frmBF_Customer::toolbarKey(const QString& key) {
    if (key == QStringLiteral("AccountAddNew")) {
        openQuotaScreen("subFormAddNew");
    } else if (key == QStringLiteral("AccountOpen")) {
        openQuotaScreen("subFormShowRecordByNoContract");
    }
}

void frmBF_Customer::openQuotaScreen(const char* operation) {
    ScreenRegistry* screens = AppScreens();
    if (screens == nullptr) {
        return;
    }
    Procedure procedure(ScreenLocation(QStringLiteral("tlbMain.ButtonClick")));
    // Nothing follows the call: whatever the answer, the key's work ends here.
    static_cast<void>(
        procedure.step([&] { screens->call(screen::QuotaApplications, operation, fieldsKey()); }));
}

void frmBF_Customer::markNoVAT() {
    const qsizetype length = fields_.value(QStringLiteral("NoVAT"))->text().trimmed().size();
    noVatMarks_->show(length == 0   ? OutcomeMarks::Mark::None
                      : length == 8 ? OutcomeMarks::Mark::Ok
                                    : OutcomeMarks::Mark::Refused);
}

void frmBF_Customer::hideNoVATMarks() {
    noVatMarks_->show(OutcomeMarks::Mark::None);
}

}  // namespace quorvane
