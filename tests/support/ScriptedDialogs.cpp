#include "support/ScriptedDialogs.h"

#include <QDialog>
#include <QPainter>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <utility>

namespace quorvane {

namespace {

const char* kindName(ScriptedDialogs::Kind kind) {
    switch (kind) {
        case ScriptedDialogs::Kind::Message:
            return "message box";
        case ScriptedDialogs::Kind::Exception:
            return "exception dialog";
        case ScriptedDialogs::Kind::Modal:
            return "modal screen";
        case ScriptedDialogs::Kind::Folder:
            return "folder chooser";
        case ScriptedDialogs::Kind::Printer:
            return "print-setup dialog";
        case ScriptedDialogs::Kind::Selection:
            return "selection dialog";
        case ScriptedDialogs::Kind::Date:
            return "date picker";
        case ScriptedDialogs::Kind::Font:
            return "font dialog";
        case ScriptedDialogs::Kind::Preview:
            return "print preview";
        case ScriptedDialogs::Kind::OpenFile:
            return "opening of a file";
    }
    return "dialog";
}

const char* iconName(Dialogs::Icon icon) {
    switch (icon) {
        case Dialogs::Icon::None:
            return "no icon";
        case Dialogs::Icon::Information:
            return "information";
        case Dialogs::Icon::Warning:
            return "warning";
        case Dialogs::Icon::Critical:
            return "critical";
        case Dialogs::Icon::Question:
            return "question";
    }
    return "?";
}

const char* buttonsName(Dialogs::Buttons buttons) {
    switch (buttons) {
        case Dialogs::Buttons::Ok:
            return "Ok";
        case Dialogs::Buttons::OkCancel:
            return "OkCancel";
        case Dialogs::Buttons::YesNo:
            return "YesNo";
    }
    return "?";
}

const char* buttonName(Dialogs::Button button) {
    switch (button) {
        case Dialogs::Button::Ok:
            return "Ok";
        case Dialogs::Button::Cancel:
            return "Cancel";
        case Dialogs::Button::Yes:
            return "Yes";
        case Dialogs::Button::No:
            return "No";
    }
    return "?";
}

// The answer a message box gives when nobody scripted it: the one Esc would give.
Dialogs::Button escapeAnswer(Dialogs::Buttons buttons) {
    switch (buttons) {
        case Dialogs::Buttons::OkCancel:
            return Dialogs::Button::Cancel;
        case Dialogs::Buttons::YesNo:
            return Dialogs::Button::No;
        case Dialogs::Buttons::Ok:
            break;
    }
    return Dialogs::Button::Ok;
}

void closeScreen(QWidget* screen) {
    if (auto* dialog = qobject_cast<QDialog*>(screen)) {
        dialog->reject();
    } else {
        screen->close();
    }
}

}  // namespace

ScriptedDialogs::Expectation& ScriptedDialogs::Expectation::withButtons(Buttons expectedButtons,
                                                                        Button expectedDefault) {
    checkButtons = true;
    buttons = expectedButtons;
    defaultButton = expectedDefault;
    return *this;
}

ScriptedDialogs::ScriptedDialogs() : previous_(&AppDialogs()) {
    InstallDialogs(this);
}

ScriptedDialogs::~ScriptedDialogs() {
    InstallDialogs(previous_);
    for (const Expectation& left : expected_) {
        ADD_FAILURE() << "expected dialog never opened: " << describe(left);
    }
}

ScriptedDialogs::Expectation& ScriptedDialogs::expectMessage(Icon icon, const QString& title,
                                                             const QString& text, Button answer) {
    Expectation expectation;
    expectation.kind = Kind::Message;
    expectation.icon = icon;
    expectation.title = title;
    expectation.text = text;
    expectation.button = answer;
    expected_.push_back(std::move(expectation));
    return expected_.back();
}

ScriptedDialogs::Expectation& ScriptedDialogs::expectException(Answer answer,
                                                               const QString& textContains) {
    Expectation expectation;
    expectation.kind = Kind::Exception;
    expectation.text = textContains;
    expectation.answer = answer;
    expected_.push_back(std::move(expectation));
    return expected_.back();
}

ScriptedDialogs::Expectation& ScriptedDialogs::expectModal(std::function<void(QWidget*)> drive,
                                                           const QString& objectName) {
    Expectation expectation;
    expectation.kind = Kind::Modal;
    expectation.text = objectName;
    expectation.drive = std::move(drive);
    expected_.push_back(std::move(expectation));
    return expected_.back();
}

ScriptedDialogs::Expectation& ScriptedDialogs::expectFolder(const QString& title,
                                                            const QString& folder) {
    Expectation expectation;
    expectation.kind = Kind::Folder;
    expectation.title = title;
    expectation.folder = folder;
    expected_.push_back(std::move(expectation));
    return expected_.back();
}

ScriptedDialogs::Expectation& ScriptedDialogs::expectPrinter(const QString& current,
                                                             const QString& chosen) {
    Expectation expectation;
    expectation.kind = Kind::Printer;
    expectation.text = current;
    expectation.printer = chosen;
    expected_.push_back(std::move(expectation));
    return expected_.back();
}

ScriptedDialogs::Expectation& ScriptedDialogs::expectSelection(const QString& title,
                                                               const QStringList& values,
                                                               const QStringList& names) {
    Expectation expectation;
    expectation.kind = Kind::Selection;
    expectation.title = title;
    expectation.picked.SelectedCount = int(values.size());
    expectation.picked.SelectedValue = values;
    for (qsizetype row = 0; row < values.size(); ++row) {
        expectation.picked.SelectedName.append(row < names.size() ? names.at(row) : QString());
    }
    expected_.push_back(std::move(expectation));
    return expected_.back();
}

ScriptedDialogs::Expectation& ScriptedDialogs::expectDate(const QString& date) {
    Expectation expectation;
    expectation.kind = Kind::Date;
    expectation.date = date;
    expected_.push_back(std::move(expectation));
    return expected_.back();
}

ScriptedDialogs::Expectation& ScriptedDialogs::expectFont(const QString& currentFace,
                                                          const FontChoice& chosen) {
    Expectation expectation;
    expectation.kind = Kind::Font;
    expectation.text = currentFace;
    expectation.font = chosen;
    expected_.push_back(std::move(expectation));
    return expected_.back();
}

ScriptedDialogs::Expectation& ScriptedDialogs::expectPreview(const QString& title) {
    Expectation expectation;
    expectation.kind = Kind::Preview;
    expectation.text = title;
    expected_.push_back(std::move(expectation));
    return expected_.back();
}

ScriptedDialogs::Expectation& ScriptedDialogs::expectOpenFile(const QString& path, bool opened) {
    Expectation expectation;
    expectation.kind = Kind::OpenFile;
    expectation.text = path;
    expectation.opened = opened;
    expected_.push_back(std::move(expectation));
    return expected_.back();
}

QImage ScriptedDialogs::renderPage(const PreviewPages& pages, int page, int dotsPerInch) {
    const QRectF millimetres = pages.layout.fullRect(QPageLayout::Millimeter);
    constexpr double kMillimetresPerInch = 25.4;
    QImage image(qRound(millimetres.width() * dotsPerInch / kMillimetresPerInch),
                 qRound(millimetres.height() * dotsPerInch / kMillimetresPerInch),
                 QImage::Format_RGB32);
    const int dotsPerMetre = qRound(dotsPerInch * 1000 / kMillimetresPerInch);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    image.fill(Qt::white);
    if (page < 0 || page >= pages.count) {
        ADD_FAILURE() << "the preview has no page " << page << " (" << pages.count << " pages)";
        return image;
    }
    QPainter painter(&image);
    pages.paint(painter, page);
    return image;
}

std::string ScriptedDialogs::describe(const Record& record) {
    std::string text = kindName(record.kind);
    switch (record.kind) {
        case Kind::Message:
            text += std::string(" (") + iconName(record.icon) + ", " + buttonsName(record.buttons) +
                    ", default " + buttonName(record.defaultButton) + ") titled \"" +
                    record.title.toStdString() + "\": \"" + record.text.toStdString() + "\"";
            break;
        case Kind::Exception:
            text += ": \"" + record.text.toStdString() + "\"";
            break;
        case Kind::Modal:
            text += " \"" + record.text.toStdString() + "\"";
            break;
        case Kind::Folder:
            text += " titled \"" + record.title.toStdString() + "\"";
            break;
        case Kind::Printer:
            text += " on \"" + record.text.toStdString() + "\"";
            break;
        case Kind::Selection:
            text += " titled \"" + record.title.toStdString() + "\" on \"" +
                    record.selection.SelectCommandText.describe().toStdString() + "\"";
            break;
        case Kind::Date:
            break;
        case Kind::Font:
            text += " on \"" + record.text.toStdString() + "\"";
            break;
        case Kind::Preview:
            text += " titled \"" + record.text.toStdString() + "\" of " +
                    std::to_string(record.preview.count) + " pages";
            break;
        case Kind::OpenFile:
            text += " \"" + record.text.toStdString() + "\"";
            break;
    }
    return text;
}

std::string ScriptedDialogs::describe(const Expectation& expectation) {
    std::string text = kindName(expectation.kind);
    switch (expectation.kind) {
        case Kind::Message:
            text += std::string(" (") + iconName(expectation.icon);
            if (expectation.checkButtons) {
                text += std::string(", ") + buttonsName(expectation.buttons) + ", default " +
                        buttonName(expectation.defaultButton);
            }
            text += ") titled \"" + expectation.title.toStdString() + "\": \"" +
                    expectation.text.toStdString() + "\"";
            break;
        case Kind::Exception:
            if (!expectation.text.isEmpty()) {
                text += " containing \"" + expectation.text.toStdString() + "\"";
            }
            break;
        case Kind::Modal:
            if (!expectation.text.isEmpty()) {
                text += " \"" + expectation.text.toStdString() + "\"";
            }
            break;
        case Kind::Folder:
            text += " titled \"" + expectation.title.toStdString() + "\"";
            break;
        case Kind::Printer:
            text += " on \"" + expectation.text.toStdString() + "\"";
            break;
        case Kind::Selection:
            if (!expectation.title.isEmpty()) {
                text += " titled \"" + expectation.title.toStdString() + "\"";
            }
            break;
        case Kind::Date:
            break;
        case Kind::Font:
            text += " on \"" + expectation.text.toStdString() + "\"";
            break;
        case Kind::Preview:
            text += " titled \"" + expectation.text.toStdString() + "\"";
            break;
        case Kind::OpenFile:
            text += " \"" + expectation.text.toStdString() + "\"";
            break;
    }
    return text;
}

bool ScriptedDialogs::take(const Record& record, Expectation& taken) {
    records_.push_back(record);
    if (expected_.empty()) {
        ADD_FAILURE() << "unexpected " << describe(record);
        return false;
    }
    taken = std::move(expected_.front());
    expected_.pop_front();

    bool matches = taken.kind == record.kind;
    if (matches) {
        switch (record.kind) {
            case Kind::Message:
                matches = taken.icon == record.icon && taken.title == record.title &&
                          (taken.textContains ? record.text.contains(taken.text)
                                              : taken.text == record.text) &&
                          (!taken.checkButtons || (taken.buttons == record.buttons &&
                                                   taken.defaultButton == record.defaultButton));
                break;
            case Kind::Exception:
                matches = record.text.contains(taken.text);
                break;
            case Kind::Modal:
                matches = taken.text.isEmpty() || taken.text == record.text;
                break;
            case Kind::Folder:
                matches = taken.title == record.title;
                break;
            case Kind::Printer:
                matches = taken.text == record.text;
                break;
            case Kind::Selection:
                matches = taken.title.isEmpty() || taken.title == record.title;
                break;
            case Kind::Date:
                break;
            case Kind::Font:
            case Kind::Preview:
            case Kind::OpenFile:
                matches = taken.text == record.text;
                break;
        }
    }
    if (!matches) {
        ADD_FAILURE() << "dialog differs from the one expected\n  opened:   " << describe(record)
                      << "\n  expected: " << describe(taken);
    }
    return matches;
}

Dialogs::Button ScriptedDialogs::message(Icon icon, const QString& title, const QString& text,
                                         Buttons buttons, Button defaultButton) {
    Record record;
    record.kind = Kind::Message;
    record.icon = icon;
    record.title = title;
    record.text = text;
    record.buttons = buttons;
    record.defaultButton = defaultButton;
    Expectation taken;
    if (!take(record, taken)) {
        return escapeAnswer(buttons);
    }
    return taken.button;
}

Answer ScriptedDialogs::exception(const QString& text) {
    Record record;
    record.kind = Kind::Exception;
    record.text = text;
    Expectation taken;
    if (!take(record, taken)) {
        return Answer::Exit;
    }
    return taken.answer;
}

void ScriptedDialogs::runModal(QWidget* screen) {
    if (screen == nullptr) {
        ADD_FAILURE() << "runModal without a screen";
        return;
    }
    Record record;
    record.kind = Kind::Modal;
    record.text = screen->objectName();
    Expectation taken;
    if (!take(record, taken)) {
        return;
    }
    // Shown without modality, so the test goes on while the screen is up.
    screen->show();
    screen->activateWindow();
    if (!QTest::qWaitForWindowActive(screen)) {
        ADD_FAILURE() << "modal screen \"" << record.text.toStdString()
                      << "\" did not become active";
    }
    if (taken.drive) {
        taken.drive(screen);
    }
    if (screen->isVisible()) {
        if (taken.drive) {
            ADD_FAILURE() << "modal screen \"" << record.text.toStdString() << "\" was left open";
        }
        closeScreen(screen);
    }
}

QString ScriptedDialogs::chooseFolder(QWidget* /*owner*/, const QString& title) {
    Record record;
    record.kind = Kind::Folder;
    record.title = title;
    Expectation taken;
    if (!take(record, taken)) {
        return {};
    }
    return taken.folder;
}

QString ScriptedDialogs::choosePrinter(QWidget* /*owner*/, const QString& current) {
    Record record;
    record.kind = Kind::Printer;
    record.text = current;
    Expectation taken;
    if (!take(record, taken)) {
        return {};
    }
    return taken.printer;
}

SelectionResult ScriptedDialogs::selectItem(QWidget* /*owner*/, Database& /*db*/,
                                            const Selection& request) {
    Record record;
    record.kind = Kind::Selection;
    record.title = request.title;
    record.text = request.SelectCommandText.sql;
    record.selection = request;
    Expectation taken;
    if (!take(record, taken)) {
        return {};
    }
    return taken.picked;
}

QString ScriptedDialogs::pickDate(QWidget* /*owner*/) {
    Record record;
    record.kind = Kind::Date;
    Expectation taken;
    if (!take(record, taken)) {
        return {};
    }
    return taken.date;
}

FontChoice ScriptedDialogs::chooseFont(QWidget* /*owner*/, const QString& currentFace) {
    Record record;
    record.kind = Kind::Font;
    record.text = currentFace;
    Expectation taken;
    if (!take(record, taken)) {
        return {};
    }
    return taken.font;
}

void ScriptedDialogs::previewPages(QWidget* /*owner*/, const PreviewPages& pages) {
    Record record;
    record.kind = Kind::Preview;
    record.text = pages.title;
    record.preview = pages;
    Expectation taken;
    take(record, taken);
}

bool ScriptedDialogs::openFile(const QString& path) {
    Record record;
    record.kind = Kind::OpenFile;
    record.text = path;
    Expectation taken;
    if (!take(record, taken)) {
        return false;
    }
    return taken.opened;
}

}  // namespace quorvane
