#include "settings/SettingsScreenBuilder.h"

#include "core/HostInfo.h"
#include "ui/Dialogs.h"
#include "ui/FormWidgets.h"

#include <QAction>
#include <QDialog>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace quorvane {

Qt::WindowFlags SettingsScreenFlags() {
    return Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
           Qt::MSWindowsFixedSizeDialogHint;
}

QFormLayout* MakeForm(QWidget* page) {
    auto* form = new QFormLayout(page);
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->setRowWrapPolicy(QFormLayout::DontWrapRows);
    return form;
}

SettingsKeys MakeSettingsScreen(QDialog* screen, const QString& barName, const QString& storeKey,
                                const QString& storeCaption, QWidget* body) {
    SettingsKeys keys;
    keys.bar = new QToolBar(screen);
    keys.bar->setObjectName(barName);
    keys.bar->setMovable(false);
    keys.bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    keys.store = keys.bar->addAction(screen->style()->standardIcon(QStyle::SP_DialogSaveButton),
                                     storeCaption);
    keys.store->setObjectName(storeKey);
    keys.quit = keys.bar->addAction(screen->style()->standardIcon(QStyle::SP_DialogCloseButton),
                                    QStringLiteral("離開"));
    keys.quit->setObjectName(QStringLiteral("Quit"));
    QObject::connect(keys.quit, &QAction::triggered, screen, &QDialog::reject);

    auto* layout = new QVBoxLayout(screen);
    layout->setContentsMargins(6, 0, 6, 6);
    layout->setMenuBar(keys.bar);
    layout->addWidget(body);
    return keys;
}

QLineEdit* AddServerTab(QTabWidget* tabs, const QString& hostInUse) {
    auto* page = new QWidget(tabs);
    QFormLayout* form = MakeForm(page);
    auto* field = new QLineEdit(hostInUse, page);
    field->setObjectName(QStringLiteral("txtSystem_ServerIP"));
    form->addRow(QStringLiteral("伺服器位址"), field);
    tabs->addTab(page, QStringLiteral("系統設定"));
    return field;
}

InfoPanels AddInfoTab(QTabWidget* tabs) {
    auto* page = new QWidget(tabs);
    QFormLayout* form = MakeForm(page);
    InfoPanels panels;
    panels.sspInfo_NameComputer =
        MakePanel(page, QStringLiteral("sspInfo_NameComputer"), GetComputerNameText());
    panels.sspInfo_NameUserOS =
        MakePanel(page, QStringLiteral("sspInfo_NameUserOS"), GetUserNameOS());
    panels.sspInfo_LocalIP = MakePanel(page, QStringLiteral("sspInfo_LocalIP"), GetLocalIP());
    form->addRow(QStringLiteral("電腦名稱"), panels.sspInfo_NameComputer);
    form->addRow(QStringLiteral("作業系統用戶"), panels.sspInfo_NameUserOS);
    form->addRow(QStringLiteral("用戶端IP"), panels.sspInfo_LocalIP);
    tabs->addTab(page, QStringLiteral("系統資訊"));
    return panels;
}

void ReportSettingsStored(const QString& title, bool stored) {
    if (stored) {
        AppDialogs().message(Dialogs::Icon::Information, title,
                             QStringLiteral("設定已完成") + QStringLiteral("\r\n\r\n") +
                                 QStringLiteral("請重新啟動系統"));
    } else {
        AppDialogs().message(Dialogs::Icon::None, title, QStringLiteral("儲存失敗"));
    }
}

}  // namespace quorvane
