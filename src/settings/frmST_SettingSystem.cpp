#include "settings/frmST_SettingSystem.h"

#include "settings/ServerHostCheck.h"
#include "settings/SettingsScreenBuilder.h"
#include "ui/ScreenSizing.h"
#include "ui/Twips.h"

#include <QAction>
#include <QLineEdit>
#include <QShowEvent>
#include <QTabWidget>

namespace quorvane {

frmST_SettingSystem::frmST_SettingSystem(const SettingsStore& settings, QString serverHostInUse,
                                         QWidget* parent)
    : QDialog(parent, SettingsScreenFlags()), settings_(settings) {
    setObjectName(QStringLiteral("frmST_SettingSystem"));
    setWindowTitle(QStringLiteral("E1-系統全域設定"));

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("tabMain"));
    txtSystem_ServerIP_ = AddServerTab(tabs_, serverHostInUse);
    txtSystem_ServerIP_->setFocus();
    const InfoPanels info = AddInfoTab(tabs_);
    sspInfo_NameComputer_ = info.sspInfo_NameComputer;
    sspInfo_NameUserOS_ = info.sspInfo_NameUserOS;
    sspInfo_LocalIP_ = info.sspInfo_LocalIP;

    const SettingsKeys keys = MakeSettingsScreen(
        this, QStringLiteral("tlbOrder"), QStringLiteral("OK"), QStringLiteral("確定"), tabs_);
    tlbOrder_ = keys.bar;
    connect(keys.store, &QAction::triggered, this, &frmST_SettingSystem::save);

    setFixedSize(TwipsToPixels(WidthTwips, HeightTwips, this).expandedTo(sizeHint()));
}

void frmST_SettingSystem::save() {
    const QString title = QStringLiteral("儲存系統設定");
    if (RefuseServerHost(txtSystem_ServerIP_, tabs_, title)) {
        return;
    }
    ReportSettingsStored(title, settings_.SetServerIP(txtSystem_ServerIP_->text()));
}

void frmST_SettingSystem::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        CentreOnScreen(this);
    }
    QDialog::showEvent(event);
}

}  // namespace quorvane
