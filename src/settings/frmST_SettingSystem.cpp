#include "settings/frmST_SettingSystem.h"

#include "core/HostInfo.h"
#include "ui/Dialogs.h"
#include "ui/ScreenSizing.h"
#include "ui/Twips.h"

#include <QAction>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include <utility>

namespace quorvane {

namespace {

// A read-only panel showing one fact.
QLabel* makePanel(QWidget* parent, const QString& objectName, const QString& text) {
    auto* panel = new QLabel(text, parent);
    panel->setObjectName(objectName);
    panel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    panel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    panel->setMinimumHeight(panel->sizeHint().height() + 4);
    panel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return panel;
}

QFormLayout* makeForm(QWidget* page) {
    auto* form = new QFormLayout(page);
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->setRowWrapPolicy(QFormLayout::DontWrapRows);
    return form;
}

}  // namespace

frmST_SettingSystem::frmST_SettingSystem(const SettingsStore& settings, QString serverHostInUse,
                                         QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      settings_(settings) {
    setObjectName(QStringLiteral("frmST_SettingSystem"));
    setWindowTitle(QStringLiteral("E1-系統全域設定"));

    tlbOrder_ = new QToolBar(this);
    tlbOrder_->setObjectName(QStringLiteral("tlbOrder"));
    tlbOrder_->setMovable(false);
    tlbOrder_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    QAction* ok = tlbOrder_->addAction(style()->standardIcon(QStyle::SP_DialogSaveButton),
                                       QStringLiteral("確定"));
    ok->setObjectName(QStringLiteral("OK"));
    QAction* quit = tlbOrder_->addAction(style()->standardIcon(QStyle::SP_DialogCloseButton),
                                         QStringLiteral("離開"));
    quit->setObjectName(QStringLiteral("Quit"));
    connect(ok, &QAction::triggered, this, &frmST_SettingSystem::save);
    connect(quit, &QAction::triggered, this, &QDialog::reject);

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("tabMain"));

    auto* systemPage = new QWidget(tabs_);
    QFormLayout* systemForm = makeForm(systemPage);
    txtSystem_ServerIP_ = new QLineEdit(std::move(serverHostInUse), systemPage);
    txtSystem_ServerIP_->setObjectName(QStringLiteral("txtSystem_ServerIP"));
    systemForm->addRow(QStringLiteral("伺服器位址"), txtSystem_ServerIP_);
    tabs_->addTab(systemPage, QStringLiteral("系統設定"));

    auto* infoPage = new QWidget(tabs_);
    QFormLayout* infoForm = makeForm(infoPage);
    sspInfo_NameComputer_ =
        makePanel(infoPage, QStringLiteral("sspInfo_NameComputer"), GetComputerNameText());
    sspInfo_NameUserOS_ =
        makePanel(infoPage, QStringLiteral("sspInfo_NameUserOS"), GetUserNameOS());
    sspInfo_LocalIP_ = makePanel(infoPage, QStringLiteral("sspInfo_LocalIP"), GetLocalIP());
    infoForm->addRow(QStringLiteral("電腦名稱"), sspInfo_NameComputer_);
    infoForm->addRow(QStringLiteral("作業系統用戶"), sspInfo_NameUserOS_);
    infoForm->addRow(QStringLiteral("用戶端IP"), sspInfo_LocalIP_);
    tabs_->addTab(infoPage, QStringLiteral("系統資訊"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 0, 6, 6);
    layout->setMenuBar(tlbOrder_);
    layout->addWidget(tabs_);

    setFixedSize(TwipsToPixels(WidthTwips, HeightTwips, this).expandedTo(sizeHint()));
}

void frmST_SettingSystem::save() {
    const QString title = QStringLiteral("儲存系統設定");
    if (settings_.SetServerIP(txtSystem_ServerIP_->text())) {
        AppDialogs().message(Dialogs::Icon::Information, title,
                             QStringLiteral("設定已完成") + QStringLiteral("\r\n\r\n") +
                                 QStringLiteral("請重新啟動系統"));
    } else {
        AppDialogs().message(Dialogs::Icon::None, title, QStringLiteral("儲存失敗"));
    }
}

void frmST_SettingSystem::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        CentreOnScreen(this);
    }
    QDialog::showEvent(event);
}

}  // namespace quorvane
