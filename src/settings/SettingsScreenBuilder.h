#pragma once

#include <QString>
#include <Qt>

class QAction;
class QDialog;
class QFormLayout;
class QLabel;
class QLineEdit;
class QTabWidget;
class QToolBar;
class QWidget;

namespace quorvane {

// The pieces the workstation settings screens have in common, built one way for all of them.

// The window of a settings screen: a fixed dialog with a title and a close box, no minimise or
// maximise box.
Qt::WindowFlags SettingsScreenFlags();

// Label and field rows, labels right-aligned, fields taking the width.
QFormLayout* MakeForm(QWidget* page);

// A settings screen's toolbar: the key that stores (object name and caption) and Quit "離開",
// which closes the screen without storing. Both are laid out above `body`, which fills the
// screen.
struct SettingsKeys {
    QToolBar* bar = nullptr;
    QAction* store = nullptr;
    QAction* quit = nullptr;
};
SettingsKeys MakeSettingsScreen(QDialog* screen, const QString& barName, const QString& storeKey,
                                const QString& storeCaption, QWidget* body);

// The tab "系統設定": the server address field txtSystem_ServerIP, showing `hostInUse`.
QLineEdit* AddServerTab(QTabWidget* tabs, const QString& hostInUse);

// The tab "系統資訊": the workstation's computer name, operating-system user and local IP.
struct InfoPanels {
    QLabel* sspInfo_NameComputer = nullptr;
    QLabel* sspInfo_NameUserOS = nullptr;
    QLabel* sspInfo_LocalIP = nullptr;
};
InfoPanels AddInfoTab(QTabWidget* tabs);

// The outcome of a save, in a box titled `title`: "設定已完成" and "請重新啟動系統" with the
// information icon when the value that counts was stored, a plain "儲存失敗" otherwise.
void ReportSettingsStored(const QString& title, bool stored);

}  // namespace quorvane
