#pragma once

#include "core/Settings.h"

#include <QDialog>
#include <QString>

#include <vector>

class QLabel;
class QLineEdit;
class QShowEvent;
class QTabWidget;
class QToolBar;

namespace quorvane {

// E2-電腦用戶端設定: this workstation's database server address, the print offsets of the
// voucher template and of the sample confirmation document, and the workstation's own facts.
// The offsets shown are the ones the program read at start-up. OK checks the four offsets and
// the address, stores the address and the offsets (they take effect at the next start) and reports
// the outcome; the screen stays open. Esc or Quit closes it without storing.
class frmST_SettingClient : public QDialog {
    Q_OBJECT

public:
    static constexpr int WidthTwips = 6000;
    static constexpr int HeightTwips = 3600;
    // The offset fields hold at most this many characters.
    static constexpr int OffsetLength = 3;

    // `parent` is the main window, over which the screen opens centred.
    frmST_SettingClient(const SettingsStore& settings, QString serverHostInUse,
                        QWidget* parent = nullptr);

    // Checks the offsets and the address, stores everything and shows the outcome (the toolbar's
    // OK). An offset that is not a number, or an address start-up could not use, is refused
    // with a message and the focus in its field; nothing is stored then.
    void save();

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct OffsetField {
        QLineEdit* field;
        QString group;  // the caption of the group the field is in
        QString label;
    };
    QLineEdit* makeOffsetField(QWidget* parent, const QString& objectName, float offset);
    QWidget* makePrintTab();
    // The first offset field that holds no acceptable offset, or null.
    const OffsetField* refusedOffset() const;

    SettingsStore settings_;
    QToolBar* tlbOrder_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QWidget* printPage_ = nullptr;
    QLineEdit* txtSystem_ServerIP_ = nullptr;
    QLabel* sspInfo_NameComputer_ = nullptr;
    QLabel* sspInfo_NameUserOS_ = nullptr;
    QLabel* sspInfo_LocalIP_ = nullptr;
    QLineEdit* txtPrintOffsetLeft_ = nullptr;
    QLineEdit* txtPrintOffsetTop_ = nullptr;
    QLineEdit* txtPrintTFOffsetLeft_ = nullptr;
    QLineEdit* txtPrintTFOffsetTop_ = nullptr;
    std::vector<OffsetField> offsets_;
};

}  // namespace quorvane
