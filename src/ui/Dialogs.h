#pragma once

#include "core/FailureRouting.h"
#include "db/Statement.h"

#include <QString>
#include <QStringList>

class QWidget;

namespace quorvane {

class Database;

// What the selection dialog is to show: the query whose result is the table (its column
// aliases are the captions, its order the rows' order), the title, and how rows are picked.
struct Selection {
    QString title = QStringLiteral("選擇");
    Statement SelectCommandText;
    bool MultiSelect = false;
    // When above 0, the picked rows come back in ascending order of this column (1 = the first
    // column) instead of the order the table shows.
    int SelectOrderIndex = 0;
};

// The rows picked in the selection dialog, top to bottom: SelectedValue holds each row's
// first column (without surrounding spaces), SelectedName its second column (empty text when
// the query has only one). SelectedCount is 0 when nothing was picked.
struct SelectionResult {
    int SelectedCount = 0;
    QStringList SelectedValue;
    QStringList SelectedName;
};

// Every modal interaction of the program goes through this port. The program uses QtDialogs;
// tests use a scripted implementation that records each dialog and returns queued answers.
class Dialogs {
public:
    enum class Icon { None, Information, Warning, Critical, Question };
    // The buttons of a message box; the answer is one of them.
    enum class Button { Ok, Cancel, Yes, No };
    enum class Buttons { Ok, OkCancel, YesNo };

    virtual ~Dialogs() = default;

    virtual Button message(Icon icon, const QString& title, const QString& text,
                           Buttons buttons = Buttons::Ok, Button defaultButton = Button::Ok) = 0;

    // The exception dialog frmAP_ModErr with the text built by ShowException.
    virtual Answer exception(const QString& text) = 0;

    // A modal screen (settings screens, the user-account screen): runs it and returns when it
    // closes.
    virtual void runModal(QWidget* screen) = 0;

    // The folder chooser; the chosen folder, or empty when cancelled.
    virtual QString chooseFolder(QWidget* owner, const QString& title) = 0;

    // The print-setup dialog over `owner`, opened on the printer named `current`; the device
    // name of the printer chosen in it, or empty when cancelled.
    virtual QString choosePrinter(QWidget* owner, const QString& current) = 0;

    // The selection dialog frmAP_ModSelectItem over `owner`, showing the request's query run on
    // `db`; the rows the user picked.
    virtual SelectionResult selectItem(QWidget* owner, Database& db, const Selection& request) = 0;

    // The date picker frmAP_ModCalendar over `owner`, starting on today; the picked date as
    // "yyyy/MM/dd", or empty when cancelled.
    virtual QString pickDate(QWidget* owner) = 0;
};

// The folder chooser through the port: the chosen folder's full path ending with "/" (one
// appended when missing, so a file name can follow directly), or empty when cancelled.
QString BrowseFolder(QWidget* owner, const QString& title);

// The port the program uses; tests install their own.
Dialogs& AppDialogs();
void InstallDialogs(Dialogs* dialogs);

// Routes every failure shown by ShowException to the installed port's exception dialog.
void RouteFailuresToDialogs();

}  // namespace quorvane
