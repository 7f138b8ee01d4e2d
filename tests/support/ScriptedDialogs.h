#pragma once

#include "support/TestDatabase.h"
#include "ui/Dialogs.h"

#include <QImage>
#include <QString>

#include <deque>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace quorvane {

// The dialogs of a test. It records every dialog the code under test opens and answers each
// with what the test queued, in order; a dialog nobody queued, or one that differs from the one
// queued, fails the test, and so does an expectation still unused when it is destroyed.
//
// Creating one installs it as the program's dialogs; destroying it puts back the ones before.
//
//     ScriptedDialogs dialogs;
//     dialogs.expectMessage(Dialogs::Icon::Question, u"刪除程序"_s, text, Dialogs::Button::Ok)
//         .withButtons(Dialogs::Buttons::OkCancel, Dialogs::Button::Cancel);
//     screen.deleteRecord();
//     EXPECT_EQ(dialogs.records().size(), 1u);
class ScriptedDialogs : public Dialogs {
public:
    enum class Kind {
        Message,
        Exception,
        Modal,
        Folder,
        Printer,
        Selection,
        Date,
        Font,
        Preview,
        OpenFile
    };

    // One dialog as it was opened.
    struct Record {
        Kind kind = Kind::Message;
        Icon icon = Icon::None;
        QString title;  // the message box's title, the folder chooser's, the selection dialog's
        // the message text, the exception text, the modal screen's object name, the printer
        // the print-setup dialog was opened on, the selection dialog's query text, the face the
        // font dialog was opened on, the preview's title, the file to open
        QString text;
        Buttons buttons = Buttons::Ok;
        Button defaultButton = Button::Ok;
        // The selection dialog's whole request (query with its values, multiple selection).
        Selection selection;
        // The print preview's pages, to render with renderPage().
        PreviewPages preview;
    };

    // One queued dialog and its answer.
    struct Expectation {
        Kind kind = Kind::Message;
        Icon icon = Icon::None;
        QString title;
        QString text;
        bool checkButtons = false;
        Buttons buttons = Buttons::Ok;
        Button defaultButton = Button::Ok;
        Button button = Button::Ok;
        Answer answer = Answer::Exit;
        QString folder;
        QString printer;  // the print-setup dialog's answer
        std::function<void(QWidget*)> drive;
        SelectionResult picked;  // the selection dialog's answer
        QString date;            // the date picker's answer
        FontChoice font;         // the font dialog's answer
        bool opened = true;      // whether the desktop opened the file

        bool textContains = false;

        // Also checks the message box's buttons and its default button.
        Expectation& withButtons(Buttons expectedButtons, Button expectedDefault);
        // The message's text must contain the expected text instead of equalling it (for texts
        // that quote a driver's message).
        Expectation& containing() {
            textContains = true;
            return *this;
        }
    };

    ScriptedDialogs();
    ~ScriptedDialogs() override;
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

    // The next dialog is a message box with this icon, title and text, answered with `answer`.
    Expectation& expectMessage(Icon icon, const QString& title, const QString& text,
                               Button answer = Button::Ok);
    // The next dialog is the exception dialog, answered with `answer`. A non-empty
    // `textContains` must occur in its text.
    Expectation& expectException(Answer answer, const QString& textContains = {});
    // The next dialog is a modal screen (with this object name unless it is empty). The screen
    // is shown, not modal, and activated; `drive` then works it (QTest key and mouse events)
    // and should close it. A screen still open afterwards fails the test and is closed.
    Expectation& expectModal(std::function<void(QWidget*)> drive, const QString& objectName = {});
    // The next dialog is the folder chooser with this title, answered with `folder`.
    Expectation& expectFolder(const QString& title, const QString& folder);
    // The next dialog is the print-setup dialog opened on the printer named `current`,
    // answered with the printer name `chosen` (empty: the user cancelled).
    Expectation& expectPrinter(const QString& current, const QString& chosen);
    // The next dialog is the selection dialog (titled `title` unless it is empty), answered as
    // if the user had picked rows whose first columns are `values` and second columns `names`
    // (missing names are empty texts). No values: the user cancelled. The query it was opened
    // on is in the record (Record::selection).
    //
    //     dialogs.expectSelection(u"選擇"_s, {u"C0002"_s}, {u"大同百貨"_s});
    Expectation& expectSelection(const QString& title, const QStringList& values = {},
                                 const QStringList& names = {});
    // The next dialog is the date picker, answered with `date` ("yyyy/MM/dd"; empty: the user
    // cancelled).
    Expectation& expectDate(const QString& date);
    // The next dialog is the font dialog opened on the face `currentFace`, answered with
    // `chosen` (its `accepted` false: the user cancelled).
    Expectation& expectFont(const QString& currentFace, const FontChoice& chosen);
    // The next dialog is a print preview titled `title`, closed at once; its pages are in the
    // record (Record::preview), for renderPage().
    Expectation& expectPreview(const QString& title);
    // The next request opens the file at `path` with the desktop's application; `opened` false
    // stands for a desktop with no application for it (the port has then told the user what to
    // install).
    Expectation& expectOpenFile(const QString& path, bool opened = true);

    // Draws one page of a preview as the preview would, onto a white image of the page's size
    // at `dotsPerInch`.
    static QImage renderPage(const PreviewPages& pages, int page, int dotsPerInch = 96);

    const std::vector<Record>& records() const { return records_; }
    // Expectations not used yet.
    std::size_t pending() const { return expected_.size(); }

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

    static std::string describe(const Record& record);
    static std::string describe(const Expectation& expectation);

private:
    // Takes the next expectation for a dialog just recorded; false (after failing the test)
    // when there is none or it does not match.
    bool take(const Record& record, Expectation& taken);

    std::deque<Expectation> expected_;
    std::vector<Record> records_;
    Dialogs* previous_ = nullptr;
};

}  // namespace quorvane
