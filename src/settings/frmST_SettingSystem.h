#pragma once

#include "core/Settings.h"

#include <QDialog>
#include <QString>

class QAction;
class QLabel;
class QLineEdit;
class QShowEvent;
class QTabWidget;
class QToolBar;

namespace quorvane {

// E1-系統全域設定: the database server address of this workstation and the workstation's own
// facts. OK checks the address, then stores it (it takes effect at the next start) and reports
// the outcome; the screen stays open. An address start-up could not use is refused with what is
// wrong and nothing is stored. Esc or Quit closes it without storing.
class frmST_SettingSystem : public QDialog {
    Q_OBJECT

public:
    static constexpr int WidthTwips = 6000;
    static constexpr int HeightTwips = 2760;

    frmST_SettingSystem(const SettingsStore& settings, QString serverHostInUse,
                        QWidget* parent = nullptr);

    // Checks and stores the server address and shows the outcome (the toolbar's OK).
    void save();

protected:
    void showEvent(QShowEvent* event) override;

private:
    SettingsStore settings_;
    QToolBar* tlbOrder_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QLineEdit* txtSystem_ServerIP_ = nullptr;
    QLabel* sspInfo_NameComputer_ = nullptr;
    QLabel* sspInfo_NameUserOS_ = nullptr;
    QLabel* sspInfo_LocalIP_ = nullptr;
};

}  // namespace quorvane
