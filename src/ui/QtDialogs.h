#pragma once

#include "ui/Dialogs.h"

#include <QMessageBox>

#include <memory>

namespace quorvane {

// The program's dialogs: Qt message boxes, the exception dialog frmAP_ModErr, modal screens,
// the desktop's folder chooser, Qt's print dialog over the CUPS printers, the selection dialog
// frmAP_ModSelectItem and the date picker frmAP_ModCalendar. Every call blocks until the user
// closes the dialog.
class QtDialogs : public Dialogs {
public:
    Button message(Icon icon, const QString& title, const QString& text,
                   Buttons buttons = Buttons::Ok, Button defaultButton = Button::Ok) override;
    Answer exception(const QString& text) override;
    void runModal(QWidget* screen) override;
    QString chooseFolder(QWidget* owner, const QString& title) override;
    QString choosePrinter(QWidget* owner, const QString& current) override;
    SelectionResult selectItem(QWidget* owner, Database& db, const Selection& request) override;
    QString pickDate(QWidget* owner) override;

    // The message box that message() runs, made up but not shown.
    static std::unique_ptr<QMessageBox> buildMessageBox(Icon icon, const QString& title,
                                                        const QString& text, Buttons buttons,
                                                        Button defaultButton, QWidget* parent);
    // The answer a closed message box stands for (Cancel or No when it was closed by Esc
    // without such a button being pressed).
    static Button answerOf(const QMessageBox& box, Buttons buttons);
};

}  // namespace quorvane
