#include "settings/frmST_SettingClient.h"

#include "core/PrintOffsets.h"
#include "db/FieldKind.h"
#include "settings/PrintOffsetText.h"
#include "settings/ServerHostCheck.h"
#include "settings/SettingsScreenBuilder.h"
#include "ui/Dialogs.h"
#include "ui/FieldKinds.h"
#include "ui/FormWidgets.h"
#include "ui/ScreenSizing.h"
#include "ui/Twips.h"

#include <QAction>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

#include <utility>

namespace quorvane {

namespace {

const QString kTitle = QStringLiteral("儲存系統設定");
const QString kTemplateGroup = QStringLiteral("票卷範本列印位置修正偏移值");
const QString kTicketFormGroup = QStringLiteral("票樣確認文件位置修正偏移值");
const QString kLeft = QStringLiteral("左邊界偏移值");
const QString kTop = QStringLiteral("上邊界偏移值");
const QString kUnit = QStringLiteral("公厘");

}  // namespace

frmST_SettingClient::frmST_SettingClient(const SettingsStore& settings, QString serverHostInUse,
                                         QWidget* parent)
    : QDialog(parent, SettingsScreenFlags()), settings_(settings) {
    setObjectName(QStringLiteral("frmST_SettingClient"));
    setWindowTitle(QStringLiteral("E2-電腦用戶端設定"));

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("tabMain"));
    txtSystem_ServerIP_ = AddServerTab(tabs_, serverHostInUse);
    txtSystem_ServerIP_->setFocus();
    const InfoPanels info = AddInfoTab(tabs_);
    sspInfo_NameComputer_ = info.sspInfo_NameComputer;
    sspInfo_NameUserOS_ = info.sspInfo_NameUserOS;
    sspInfo_LocalIP_ = info.sspInfo_LocalIP;
    tabs_->addTab(makePrintTab(), QStringLiteral("列印設定"));

    const SettingsKeys keys = MakeSettingsScreen(
        this, QStringLiteral("tlbOrder"), QStringLiteral("OK"), QStringLiteral("確定"), tabs_);
    tlbOrder_ = keys.bar;
    connect(keys.store, &QAction::triggered, this, &frmST_SettingClient::save);

    setFixedSize(TwipsToPixels(WidthTwips, HeightTwips, this).expandedTo(sizeHint()));
}

QLineEdit* frmST_SettingClient::makeOffsetField(QWidget* parent, const QString& objectName,
                                                float offset) {
    const QString text = PrintOffsetText(offset);
    auto* field = new QLineEdit(parent);
    field->setObjectName(objectName);
    // An offset put into the settings by other means may be longer than a typed one; it is
    // shown whole rather than cut.
    field->setMaxLength(qMax(OffsetLength, int(text.size())));
    field->setText(text);
    field->setAlignment(Qt::AlignRight);
    const QFontMetrics metrics(field->font());
    field->setFixedWidth(metrics.horizontalAdvance(QStringLiteral("-999")) + 16);
    return field;
}

QWidget* frmST_SettingClient::makePrintTab() {
    auto* page = new QWidget(tabs_);
    printPage_ = page;
    auto* column = new QVBoxLayout(page);

    const PrintOffsetValues& inUse = PrintOffsets();
    const auto addGroup = [&](const QString& caption, const QString& objectName,
                              const QString& leftName, float left, const QString& topName,
                              float top, QLineEdit*& leftField, QLineEdit*& topField) {
        auto* group = new QGroupBox(caption, page);
        group->setObjectName(objectName);
        auto* grid = new QGridLayout(group);
        leftField = makeOffsetField(group, leftName, left);
        topField = makeOffsetField(group, topName, top);
        int row = 0;
        for (const auto& [label, field] :
             {std::pair{kLeft, leftField}, std::pair{kTop, topField}}) {
            AddFieldRow(grid, row, label, field, Qt::AlignRight);
            grid->addWidget(new QLabel(kUnit, group), row, 2);
            offsets_.push_back({field, group->title(), label});
            ++row;
        }
        grid->setColumnStretch(3, 1);
        column->addWidget(group);
    };
    addGroup(kTemplateGroup, QStringLiteral("ssfPrint_Template"),
             QStringLiteral("txtPrintOffsetLeft"), inUse.templateLeft,
             QStringLiteral("txtPrintOffsetTop"), inUse.templateTop, txtPrintOffsetLeft_,
             txtPrintOffsetTop_);
    addGroup(kTicketFormGroup, QStringLiteral("ssfPrint_TicketForm"),
             QStringLiteral("txtPrintTFOffsetLeft"), inUse.ticketFormLeft,
             QStringLiteral("txtPrintTFOffsetTop"), inUse.ticketFormTop, txtPrintTFOffsetLeft_,
             txtPrintTFOffsetTop_);
    column->addStretch(1);

    // Whole text selected on focus, any characters typed; Enter moves on to the next offset.
    for (std::size_t i = 0; i < offsets_.size(); ++i) {
        QLineEdit* previous = i > 0 ? offsets_[i - 1].field : nullptr;
        QLineEdit* next = i + 1 < offsets_.size() ? offsets_[i + 1].field : nullptr;
        FieldKindFilter::Attach(offsets_[i].field, FieldKind::SignedDecimal,
                                {previous, next, nullptr, nullptr}, FieldKindFilter::Typing::Free);
    }
    return page;
}

const frmST_SettingClient::OffsetField* frmST_SettingClient::refusedOffset() const {
    for (const OffsetField& offset : offsets_) {
        if (!ParsePrintOffset(offset.field->text())) {
            return &offset;
        }
    }
    return nullptr;
}

void frmST_SettingClient::save() {
    // An offset start-up could not read would silently become 0 at the next start: refuse it
    // before anything is stored.
    if (const OffsetField* refused = refusedOffset()) {
        AppDialogs().message(Dialogs::Icon::Warning, kTitle,
                             QStringLiteral("偏移值不正確") + QStringLiteral("\r\n\r\n") +
                                 QStringLiteral("「") + refused->group + QStringLiteral("」的「") +
                                 refused->label + QStringLiteral("」必須是 ") +
                                 PrintOffsetText(LowestPrintOffset) + QStringLiteral(" 至 ") +
                                 PrintOffsetText(HighestPrintOffset) +
                                 QStringLiteral(" 之間的數字（") + kUnit + QStringLiteral("）"));
        tabs_->setCurrentWidget(printPage_);
        SetFocusTextBox(refused->field, true);
        return;
    }

    if (RefuseServerHost(txtSystem_ServerIP_, tabs_, kTitle)) {
        return;
    }

    const bool stored = settings_.SetServerIP(txtSystem_ServerIP_->text());
    // The offsets as typed; whether they were stored does not change the report.
    settings_.SetTemplateOffsetLeft(txtPrintOffsetLeft_->text());
    settings_.SetTemplateOffsetTop(txtPrintOffsetTop_->text());
    settings_.SetTicketFormOffsetLeft(txtPrintTFOffsetLeft_->text());
    settings_.SetTicketFormOffsetTop(txtPrintTFOffsetTop_->text());
    ReportSettingsStored(kTitle, stored);
}

void frmST_SettingClient::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        CentreOver(this, parentWidget());
    }
    QDialog::showEvent(event);
}

}  // namespace quorvane
