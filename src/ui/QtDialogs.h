#pragma once

#include "ui/Dialogs.h"

#include <QDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QPrinter>

#include <memory>

namespace quorvane {

// The program's dialogs: Qt message boxes, the exception dialog frmAP_ModErr, modal screens,
// the desktop's folder chooser, Qt's print dialog over the CUPS printers, the selection dialog
// frmAP_ModSelectItem, the date picker frmAP_ModCalendar, Qt's font dialog, a print preview and
// the desktop's application for a file. Every dialog blocks until the user closes it.
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
    FontChoice chooseFont(QWidget* owner, const QString& currentFace) override;
    void previewPages(QWidget* owner, const PreviewPages& pages) override;
    bool openFile(const QString& path) override;

    // The message box that message() runs, made up but not shown.
    static std::unique_ptr<QMessageBox> buildMessageBox(Icon icon, const QString& title,
                                                        const QString& text, Buttons buttons,
                                                        Button defaultButton, QWidget* parent);
    // The answer a closed message box stands for (Cancel or No when it was closed by Esc
    // without such a button being pressed).
    static Button answerOf(const QMessageBox& box, Buttons buttons);

    // The font dialog that chooseFont() runs, made up but not shown, and what it stands for
    // once closed.
    static std::unique_ptr<QFontDialog> buildFontDialog(const QString& currentFace,
                                                        QWidget* parent);
    static FontChoice choiceOf(const QFontDialog& dialog);

    // The preview that previewPages() runs, made up but not shown: the pages drawn on `printer`
    // (which must outlive it) in a preview widget under a toolbar to page and zoom, and no
    // means to print.
    static std::unique_ptr<QDialog> buildPreview(const PreviewPages& pages, QPrinter& printer,
                                                 QWidget* parent);

    // The message when a file cannot be opened: it names the application to install for the
    // file's type, and the desktop's means of opening files (xdg-utils) when that is missing.
    static QString noApplicationText(const QString& path, bool desktopOpener);
};

}  // namespace quorvane
