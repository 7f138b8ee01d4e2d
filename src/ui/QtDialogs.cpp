#include "ui/QtDialogs.h"

#include "ui/frmAP_ModCalendar.h"
#include "ui/frmAP_ModErr.h"
#include "ui/frmAP_ModSelectItem.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QFileDialog>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QWidget>

namespace quorvane {

namespace {

QMessageBox::Icon qtIcon(Dialogs::Icon icon) {
    switch (icon) {
        case Dialogs::Icon::Information:
            return QMessageBox::Information;
        case Dialogs::Icon::Warning:
            return QMessageBox::Warning;
        case Dialogs::Icon::Critical:
            return QMessageBox::Critical;
        case Dialogs::Icon::Question:
            return QMessageBox::Question;
        case Dialogs::Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons qtButtons(Dialogs::Buttons buttons) {
    switch (buttons) {
        case Dialogs::Buttons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case Dialogs::Buttons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case Dialogs::Buttons::Ok:
            break;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButton qtButton(Dialogs::Button button) {
    switch (button) {
        case Dialogs::Button::Cancel:
            return QMessageBox::Cancel;
        case Dialogs::Button::Yes:
            return QMessageBox::Yes;
        case Dialogs::Button::No:
            return QMessageBox::No;
        case Dialogs::Button::Ok:
            break;
    }
    return QMessageBox::Ok;
}

// The texts of the program join their lines with CR LF; labels want bare line feeds.
QString withLineFeeds(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

// Ends an event loop when the watched widget is hidden or destroyed.
class CloseWatcher : public QObject {
public:
    CloseWatcher(QWidget* watched, QEventLoop* loop) : QObject(watched), loop_(loop) {
        watched->installEventFilter(this);
        connect(watched, &QObject::destroyed, loop, &QEventLoop::quit);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Hide && !static_cast<QWidget*>(watched)->isVisible()) {
            loop_->quit();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QEventLoop* loop_;
};

}  // namespace

std::unique_ptr<QMessageBox> QtDialogs::buildMessageBox(Icon icon, const QString& title,
                                                        const QString& text, Buttons buttons,
                                                        Button defaultButton, QWidget* parent) {
    auto box = std::make_unique<QMessageBox>(qtIcon(icon), title, withLineFeeds(text),
                                             qtButtons(buttons), parent);
    box->setTextFormat(Qt::PlainText);
    const QMessageBox::StandardButton preferred = qtButton(defaultButton);
    if (box->button(preferred) != nullptr) {
        box->setDefaultButton(preferred);
    }
    return box;
}

Dialogs::Button QtDialogs::answerOf(const QMessageBox& box, Buttons buttons) {
    switch (box.standardButton(box.clickedButton())) {
        case QMessageBox::Ok:
            return Button::Ok;
        case QMessageBox::Cancel:
            return Button::Cancel;
        case QMessageBox::Yes:
            return Button::Yes;
        case QMessageBox::No:
            return Button::No;
        default:
            break;
    }
    switch (buttons) {
        case Buttons::OkCancel:
            return Button::Cancel;
        case Buttons::YesNo:
            return Button::No;
        case Buttons::Ok:
            break;
    }
    return Button::Ok;
}

Dialogs::Button QtDialogs::message(Icon icon, const QString& title, const QString& text,
                                   Buttons buttons, Button defaultButton) {
    auto box =
        buildMessageBox(icon, title, text, buttons, defaultButton, QApplication::activeWindow());
    box->exec();
    return answerOf(*box, buttons);
}

Answer QtDialogs::exception(const QString& text) {
    // A failure can arrive while a statement holds the hourglass: the dialog takes the normal
    // pointer for as long as it is open.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    frmAP_ModErr dialog(QApplication::activeWindow());
    dialog.setDetails(text);
    dialog.exec();
    QApplication::restoreOverrideCursor();
    return dialog.answer();
}

void QtDialogs::runModal(QWidget* screen) {
    if (screen == nullptr) {
        return;
    }
    if (auto* dialog = qobject_cast<QDialog*>(screen)) {
        dialog->exec();
        return;
    }
    // A plain widget: show it application-modal and wait until it is closed.
    QPointer<QWidget> guarded(screen);
    QEventLoop loop;
    auto* watcher = new CloseWatcher(screen, &loop);
    screen->setWindowModality(Qt::ApplicationModal);
    screen->show();
    loop.exec(QEventLoop::DialogExec);
    if (guarded) {
        delete watcher;
    }
}

QString QtDialogs::chooseFolder(QWidget* owner, const QString& title) {
    return QFileDialog::getExistingDirectory(owner, title, QString(), QFileDialog::ShowDirsOnly);
}

QString QtDialogs::choosePrinter(QWidget* owner, const QString& current) {
    QPrinter printer;
    if (!current.isEmpty()) {
        printer.setPrinterName(current);
    }
    QPrintDialog dialog(&printer, owner);
    // Only the choice of a printer: no printing to a file, no page ranges.
    dialog.setOptions(QAbstractPrintDialog::PrintDialogOptions());
    // The owner may be busy while the dialog is up; the dialog takes input, so it shows the
    // normal pointer.
    const bool busyPointer = QApplication::overrideCursor() != nullptr;
    if (busyPointer) {
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    const bool chosen = dialog.exec() == QDialog::Accepted;
    if (busyPointer) {
        QApplication::restoreOverrideCursor();
    }
    return chosen ? printer.printerName() : QString();
}

SelectionResult QtDialogs::selectItem(QWidget* owner, Database& db, const Selection& request) {
    frmAP_ModSelectItem dialog(db, owner != nullptr ? owner : QApplication::activeWindow());
    dialog.setWindowTitle(request.title);
    dialog.setSelectCommandText(request.SelectCommandText);
    dialog.setMultiSelect(request.MultiSelect);
    dialog.setSelectOrderIndex(request.SelectOrderIndex);
    dialog.exec();
    return dialog.selection();
}

QString QtDialogs::pickDate(QWidget* owner) {
    frmAP_ModCalendar dialog(owner != nullptr ? owner : QApplication::activeWindow());
    dialog.exec();
    return dialog.pickedDate();
}

}  // namespace quorvane
