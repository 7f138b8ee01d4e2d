#pragma once

#include "core/FailureRouting.h"

#include <QString>

class QWidget;

namespace quorvane {

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
