#pragma once

#include "core/FailureRouting.h"
#include "db/Statement.h"

#include <QPageLayout>
#include <QString>
#include <QStringList>

#include <functional>

class QPainter;
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

// The font the font dialog gives back: face, size in points (a fraction such as 10.5 kept as
// it is), bold and italic. `accepted` is false when the user cancelled; the rest then means
// nothing.
struct FontChoice {
    bool accepted = false;
    QString face;
    double pointSize = 0;
    bool bold = false;
    bool italic = false;
};

// Pages the program draws, for a print preview. `paint` draws page `page` (0 for the first) with
// a painter on a device the size of `layout`'s full page, its origin at the page's top left
// corner; it reads the device's resolution from the painter, as it does for the printer.
struct PreviewPages {
    QString title;
    int count = 0;
    QPageLayout layout;
    std::function<void(QPainter& painter, int page)> paint;
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

    // The font dialog over `owner`, opened on the face `currentFace` with no size or style
    // chosen beforehand.
    virtual FontChoice chooseFont(QWidget* owner, const QString& currentFace) = 0;

    // A print preview of the pages over `owner`; returns when it is closed. It only shows the
    // pages: what is printed is printed where the program records it.
    virtual void previewPages(QWidget* owner, const PreviewPages& pages) = 0;

    // Opens the file with the desktop's application for its type. When there is none (or the
    // desktop cannot start one) a message says so and names what to install; false then.
    virtual bool openFile(const QString& path) = 0;
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
