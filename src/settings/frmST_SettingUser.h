#pragma once

#include "core/Settings.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QShowEvent;
class QTabWidget;
class QToolBar;

namespace quorvane {

// E3-使用者環境設定: this workstation's voucher printer, chosen among the CUPS printers in the
// print dialog, and the folders of the print templates and of the sample confirmation
// documents, chosen in the folder chooser or typed. Save stores the three (the printer takes
// effect at the next start, the folders at their next use) and reports the outcome; the
// screen stays open. Esc or Quit closes it without storing.
class frmST_SettingUser : public QDialog {
    Q_OBJECT

public:
    static constexpr int WidthTwips = 7200;
    static constexpr int HeightTwips = 2400;

    explicit frmST_SettingUser(const SettingsStore& settings, QWidget* parent = nullptr);

    // The print dialog, opened on the program's current printer; the printer chosen becomes
    // the current printer and is shown in the panel. Cancelled, the panel shows the current
    // printer.
    void selectPrinter();
    // The folder chooser for the template folder and for the sample document folder; a chosen
    // folder that exists replaces the field's text, a cancelled choice changes nothing.
    void selectPathTemplate();
    void selectPathTicketForm();
    // Stores the printer and the two folders and shows the outcome (the toolbar's Save).
    void save();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void selectFolder(QLineEdit* field, const QString& title);

    SettingsStore settings_;
    QToolBar* tlbMain_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QLabel* sspPrint_NamePrinterDefault_ = nullptr;
    QPushButton* cmdPrint_SelectPrintDefault_ = nullptr;
    QLineEdit* txtPrint_PathTicketForm_ = nullptr;
    QPushButton* cmdPrint_SelectPathTicketForm_ = nullptr;
    QLineEdit* txtPrint_PathTicketTemplate_ = nullptr;
    QPushButton* cmdPrint_SelectPathTemplate_ = nullptr;
};

}  // namespace quorvane
