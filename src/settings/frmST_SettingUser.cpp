#include "settings/frmST_SettingUser.h"

#include "core/DocumentFolders.h"
#include "core/HostInfo.h"
#include "printing/rules/PrinterAccess.h"
#include "settings/SettingsScreenBuilder.h"
#include "ui/Dialogs.h"
#include "ui/FormWidgets.h"
#include "ui/ScreenSizing.h"
#include "ui/SetBusy.h"
#include "ui/Twips.h"

#include <QAction>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>

namespace quorvane {

frmST_SettingUser::frmST_SettingUser(const SettingsStore& settings, QWidget* parent)
    : QDialog(parent, SettingsScreenFlags()), settings_(settings) {
    setObjectName(QStringLiteral("frmST_SettingUser"));
    setWindowTitle(QStringLiteral("E3-使用者環境設定"));

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("tabMain"));
    auto* page = new QWidget(tabs_);
    auto* grid = new QGridLayout(page);

    sspPrint_NamePrinterDefault_ = MakePanel(page, QStringLiteral("sspPrint_NamePrinterDefault"),
                                             settings_.GetNamePrinterDefault());
    cmdPrint_SelectPrintDefault_ =
        MakeChooserButton(page, QStringLiteral("cmdPrint_SelectPrintDefault"));
    txtPrint_PathTicketForm_ =
        new QLineEdit(settings_.GetPathTicketForm(DefaultPathTicketForm()), page);
    txtPrint_PathTicketForm_->setObjectName(QStringLiteral("txtPrint_PathTicketForm"));
    cmdPrint_SelectPathTicketForm_ =
        MakeChooserButton(page, QStringLiteral("cmdPrint_SelectPathTicketForm"));
    txtPrint_PathTicketTemplate_ =
        new QLineEdit(settings_.GetPathTicketTemplate(DefaultPathTicketTemplate()), page);
    txtPrint_PathTicketTemplate_->setObjectName(QStringLiteral("txtPrint_PathTicketTemplate"));
    cmdPrint_SelectPathTemplate_ =
        MakeChooserButton(page, QStringLiteral("cmdPrint_SelectPathTemplate"));

    const struct {
        QString label;
        QWidget* content;
        QPushButton* chooser;
    } rows[] = {
        {QStringLiteral("票卷列印預設印表機"), sspPrint_NamePrinterDefault_,
         cmdPrint_SelectPrintDefault_},
        {QStringLiteral("票樣文件預設路徑"), txtPrint_PathTicketForm_,
         cmdPrint_SelectPathTicketForm_},
        {QStringLiteral("票卷列印範本檔路徑"), txtPrint_PathTicketTemplate_,
         cmdPrint_SelectPathTemplate_},
    };
    int row = 0;
    for (const auto& line : rows) {
        AddFieldRow(grid, row, line.label, line.content, Qt::AlignRight);
        grid->addWidget(line.chooser, row, 2);
        ++row;
    }
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(row, 1);
    tabs_->addTab(page, QStringLiteral("列印"));

    connect(cmdPrint_SelectPrintDefault_, &QPushButton::clicked, this,
            &frmST_SettingUser::selectPrinter);
    connect(cmdPrint_SelectPathTicketForm_, &QPushButton::clicked, this,
            &frmST_SettingUser::selectPathTicketForm);
    connect(cmdPrint_SelectPathTemplate_, &QPushButton::clicked, this,
            &frmST_SettingUser::selectPathTemplate);

    const SettingsKeys keys = MakeSettingsScreen(
        this, QStringLiteral("tlbMain"), QStringLiteral("Save"), QStringLiteral("儲存"), tabs_);
    tlbMain_ = keys.bar;
    connect(keys.store, &QAction::triggered, this, &frmST_SettingUser::save);

    setFixedSize(TwipsToPixels(WidthTwips, HeightTwips, this).expandedTo(sizeHint()));
}

void frmST_SettingUser::selectPrinter() {
    SetBusy(this, true);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    const QString current = CurrentPrinter().name;
    const QString chosen = AppDialogs().choosePrinter(this, current);
    // The chosen printer becomes the program's current printer, as it would be at the next
    // start with this printer stored.
    if (!chosen.isEmpty() && UsePrint(chosen)) {
        sspPrint_NamePrinterDefault_->setText(chosen);
    } else {
        sspPrint_NamePrinterDefault_->setText(current);
    }
    SetBusy(this, false);
}

void frmST_SettingUser::selectPathTemplate() {
    selectFolder(txtPrint_PathTicketTemplate_, QStringLiteral("選擇票卷列印範本檔路徑"));
}

void frmST_SettingUser::selectPathTicketForm() {
    selectFolder(txtPrint_PathTicketForm_, QStringLiteral("選擇票樣文件檔路徑"));
}

void frmST_SettingUser::selectFolder(QLineEdit* field, const QString& title) {
    const QString folder = BrowseFolder(this, title);
    if (!folder.isEmpty() && FolderExists(folder)) {
        field->setText(folder);
    }
}

void frmST_SettingUser::save() {
    settings_.SetNamePrinterDefault(sspPrint_NamePrinterDefault_->text());
    settings_.SetPathTicketTemplate(txtPrint_PathTicketTemplate_->text());
    // The last store decides the report.
    ReportSettingsStored(QStringLiteral("儲存使用者環境設定"),
                         settings_.SetPathTicketForm(txtPrint_PathTicketForm_->text()));
}

void frmST_SettingUser::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        CentreOnScreen(this);
    }
    QDialog::showEvent(event);
}

}  // namespace quorvane
