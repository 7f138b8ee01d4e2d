#include "ui/FieldKinds.h"

#include "core/FailureRouting.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QValidator>
#include <QWidget>

#include <map>
#include <utility>

namespace quorvane {

namespace {

short& lastTypedLengthStorage() {
    static short length = 0;
    return length;
}

std::map<int, EnterLookup>& enterLookups() {
    static std::map<int, EnterLookup> lookups;
    return lookups;
}

short lengthOf(const QLineEdit* field) {
    return static_cast<short>(qMin<qsizetype>(field->text().size(), 32767));
}

// Whether a key event would make QLineEdit insert its text (the test QLineEdit itself
// applies): Ctrl and Ctrl+Shift combinations are shortcuts, not typing.
bool typesText(const QKeyEvent* event) {
    const QString text = event->text();
    if (text.isEmpty()) {
        return false;
    }
    const QChar first = text.front();
    if (first.category() == QChar::Other_Format) {
        return true;
    }
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (modifiers == Qt::ControlModifier ||
        modifiers == (Qt::ControlModifier | Qt::ShiftModifier)) {
        return false;
    }
    if (first.isPrint() || first.category() == QChar::Other_PrivateUse) {
        return true;
    }
    return first.isHighSurrogate() && text.size() > 1 && text.at(1).isLowSurrogate();
}

// The selection's start, or the caret when nothing is selected.
int selectionStartOrCaret(const QLineEdit* field) {
    return field->hasSelectedText() ? field->selectionStart() : field->cursorPosition();
}

// Runs the kind's look-up behind Enter; true when the focus is to move on.
bool lookupLetsMoveOn(QLineEdit* field, int kind) {
    const auto found = enterLookups().find(kind);
    if (found == enterLookups().end() || !found->second) {
        return true;
    }
    const EnterLookup lookup = found->second;
    AfterLookup after = AfterLookup::MoveOn;
    Procedure procedure(QStringLiteral("例外程序：\tmodUI.TextBoxKeyDown"));
    if (procedure.step([&] { after = lookup(field, kind); }) == StepOutcome::Left) {
        return false;
    }
    return after == AfterLookup::MoveOn;
}

// Moves the focus back to the previous field; false when it cannot take the focus.
bool moveBack(const FieldNeighbours& neighbours) {
    const bool selectAll = neighbours.back == FieldNeighbours::Back::SelectAll;
    return SetFocusTextBox(neighbours.previousField, selectAll, !selectAll, false);
}

// Moves the focus forward from a field; true when it had to go elsewhere than the next field.
bool moveForward(QLineEdit* field, const FieldNeighbours& neighbours, bool selectAll,
                 bool caretStart) {
    if (SetFocusTextBox(neighbours.nextField, selectAll, false, caretStart)) {
        return false;
    }
    if (SetFocusControl(neighbours.nextControl) || SetFocusControl(neighbours.nextButton)) {
        return true;
    }
    // Nothing named can take the focus: move on as the Tab key would.
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QCoreApplication::sendEvent(field, &tab);
    return true;
}

}  // namespace

// --- The shared field handlers ---

FieldNeighbours::FieldNeighbours(QLineEdit* previous, QLineEdit* next, QWidget* control,
                                 QWidget* button, Back back)
    : previousField(previous),
      nextField(next),
      nextControl(control),
      nextButton(button),
      back(back) {}

short LastTypedLength() {
    return lastTypedLengthStorage();
}

void SetLastTypedLength(short length) {
    lastTypedLengthStorage() = length;
}

void TextBoxGotFocus(QLineEdit* field) {
    if (field != nullptr && !field->text().isEmpty()) {
        field->selectAll();
    }
}

QChar TextBoxKeyPress(QChar character, QLineEdit* field, int kind) {
    if (field != nullptr) {
        SetLastTypedLength(lengthOf(field));
    }
    return KindFilterKey(kind, character);
}

KeyDownResult TextBoxKeyDown(int key, int kind, QLineEdit* field,
                             const FieldNeighbours& neighbours) {
    KeyDownResult result;
    if (field == nullptr) {
        return result;
    }
    switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            result.handled = true;
            if (lookupLetsMoveOn(field, kind)) {
                result.fellBack = moveForward(field, neighbours, true, false);
            }
            break;
        case Qt::Key_Right:
            if (selectionStartOrCaret(field) >= field->text().size()) {
                result.handled = true;
                result.fellBack = moveForward(field, neighbours, false, true);
            }
            break;
        case Qt::Key_Left:
            if (!field->hasSelectedText() && field->cursorPosition() == 0) {
                result.handled = moveBack(neighbours);
            }
            break;
        case Qt::Key_Backspace:
            // Checked before the key is recorded as typed: in a field emptied by the previous
            // Backspace the last typed length still holds that key's length, so it takes one
            // more Backspace to move back.
            if (field->text().isEmpty() && !field->hasSelectedText() && LastTypedLength() == 0) {
                result.handled = moveBack(neighbours);
            }
            break;
        default:
            break;
    }
    return result;
}

bool SetFocusTextBox(QLineEdit* field, bool selectAll, bool caretEnd, bool caretStart) {
    if (field == nullptr || !field->isEnabled() || !field->isVisible()) {
        return false;
    }
    // Focus-in is delivered at once (TextBoxGotFocus runs inside setFocus), so the selection
    // applied below is the one that stays.
    field->setFocus(Qt::OtherFocusReason);
    if (selectAll) {
        field->selectAll();
    }
    if (caretEnd) {
        field->deselect();
        field->setCursorPosition(int(field->text().size()));
    }
    if (caretStart) {
        field->deselect();
        field->setCursorPosition(0);
    }
    return true;
}

bool SetFocusControl(QWidget* control) {
    if (control == nullptr || !control->isEnabled() || !control->isVisible()) {
        return false;
    }
    control->setFocus(Qt::OtherFocusReason);
    return true;
}

EnterLookup SetEnterLookup(int kind, EnterLookup lookup) {
    EnterLookup previous;
    const auto found = enterLookups().find(kind);
    if (found != enterLookups().end()) {
        previous = std::move(found->second);
        enterLookups().erase(found);
    }
    if (lookup) {
        enterLookups()[kind] = std::move(lookup);
    }
    return previous;
}

// --- The filter ---

// The last line of defence: every edit of the field passes its validator before the field
// takes it and before any signal reports it. Typed keys, input-method commits and keyboard
// pastes arrive here already filtered; anything else is filtered here.
class FieldKindFilter::Guard : public QValidator {
public:
    Guard(const FieldKindFilter* owner, QObject* parent) : QValidator(parent), owner_(owner) {}

    State validate(QString& input, int& pos) const override {
        owner_->filterEdit(input, pos);
        return Acceptable;
    }

private:
    const FieldKindFilter* owner_;
};

FieldKindFilter* FieldKindFilter::Attach(QLineEdit* field, int kind,
                                         const FieldNeighbours& neighbours, Typing typing) {
    if (field == nullptr) {
        return nullptr;
    }
    if (FieldKindFilter* previous = Of(field)) {
        previous->detach();
        delete previous;
    }
    return new FieldKindFilter(field, kind, neighbours, typing);
}

FieldKindFilter* FieldKindFilter::Of(const QLineEdit* field) {
    if (field == nullptr) {
        return nullptr;
    }
    return field->findChild<FieldKindFilter*>(QString(), Qt::FindDirectChildrenOnly);
}

FieldKindFilter::FieldKindFilter(QLineEdit* field, int kind, const FieldNeighbours& neighbours,
                                 Typing typing)
    : QObject(field),
      field_(field),
      kind_(kind),
      neighbours_(neighbours),
      typing_(typing),
      lastText_(field->text()) {
    guard_ = new Guard(this, this);
    field->setValidator(guard_);
    field->installEventFilter(this);
    connect(field, &QLineEdit::textChanged, this,
            [this](const QString& text) { lastText_ = text; });
}

void FieldKindFilter::detach() {
    field_->removeEventFilter(this);
    if (field_->validator() == guard_) {
        field_->setValidator(nullptr);
    }
    disconnect(field_, nullptr, this, nullptr);
}

QString FieldKindFilter::filterInserted(const QString& text) const {
    if (typing_ == Typing::Filtered) {
        return KindFilterText(kind_, text);
    }
    QString kept;
    kept.reserve(text.size());
    for (const QChar character : text) {
        if (!IsControlInText(character)) {
            kept += character;
        }
    }
    return kept;
}

void FieldKindFilter::filterEdit(QString& text, int& cursor) const {
    // QLineEdit::setText resets the modified flag before its text is validated: text the
    // program sets (a record loaded from the database) is taken as it is.
    if (!field_->isModified()) {
        return;
    }
    // The edit replaced one stretch of the previous text; only that stretch is new.
    const QString& before = lastText_;
    const qsizetype shorter = qMin(before.size(), text.size());
    qsizetype prefix = 0;
    while (prefix < shorter && before.at(prefix) == text.at(prefix)) {
        ++prefix;
    }
    qsizetype suffix = 0;
    while (suffix < shorter - prefix &&
           before.at(before.size() - 1 - suffix) == text.at(text.size() - 1 - suffix)) {
        ++suffix;
    }
    const QString inserted = text.mid(prefix, text.size() - prefix - suffix);
    const QString kept = filterInserted(inserted);
    if (kept == inserted) {
        return;
    }
    if (cursor >= prefix + inserted.size()) {
        cursor -= int(inserted.size() - kept.size());
    } else if (cursor > prefix) {
        cursor = int(prefix + filterInserted(inserted.left(cursor - prefix)).size());
    }
    text = text.left(prefix) + kept + text.right(suffix);
}

bool FieldKindFilter::eventFilter(QObject* watched, QEvent* event) {
    if (watched != field_ || replaying_) {
        return QObject::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::FocusIn: {
            // Coming back to the window or from a pop-up menu is not entering the field.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
                TextBoxGotFocus(field_);
            }
            break;
        }
        case QEvent::KeyPress:
            return keyPress(static_cast<QKeyEvent*>(event));
        case QEvent::InputMethod:
            return inputMethod(static_cast<QInputMethodEvent*>(event));
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

bool FieldKindFilter::keyPress(QKeyEvent* event) {
    // Navigation is looked at first, with the text as it is before the key.
    if (TextBoxKeyDown(event->key(), kind_, field_, neighbours_).handled) {
        return true;
    }
    if (typing_ == Typing::Free || field_->isReadOnly()) {
        return false;
    }
    if (event->matches(QKeySequence::Paste)) {
        SetLastTypedLength(lengthOf(field_));
        pasteFiltered();
        return true;
    }
    if (event->key() == Qt::Key_Backspace) {
        TextBoxKeyPress(QChar(8), field_, kind_);
        return false;
    }
    if (!typesText(event)) {
        return false;
    }
    const QString text = event->text();
    QString delivered;
    for (const QChar character : text) {
        const QChar kept = TextBoxKeyPress(character, field_, kind_);
        if (!kept.isNull()) {
            delivered += kept;
        }
    }
    if (delivered == text) {
        return false;
    }
    if (!delivered.isEmpty()) {
        QKeyEvent replacement(QEvent::KeyPress, event->key(), event->modifiers(), delivered,
                              event->isAutoRepeat(), event->count());
        replay(&replacement);
    }
    return true;
}

bool FieldKindFilter::inputMethod(QInputMethodEvent* event) {
    if (typing_ == Typing::Free || event->commitString().isEmpty()) {
        return false;
    }
    SetLastTypedLength(lengthOf(field_));
    const QString kept = KindFilterText(kind_, event->commitString());
    if (kept == event->commitString()) {
        return false;
    }
    QInputMethodEvent replacement(event->preeditString(), event->attributes());
    replacement.setCommitString(kept, event->replacementStart(), event->replacementLength());
    replay(&replacement);
    return true;
}

void FieldKindFilter::pasteFiltered() {
    // Filtered before it is inserted, so the field's maxLength keeps as much as fits.
    const QString kept = KindFilterText(kind_, QGuiApplication::clipboard()->text());
    if (!kept.isEmpty() || field_->hasSelectedText()) {
        field_->insert(kept);
    }
}

void FieldKindFilter::replay(QEvent* event) {
    const QScopedValueRollback<bool> replaying(replaying_, true);
    QCoreApplication::sendEvent(field_, event);
}

}  // namespace quorvane
