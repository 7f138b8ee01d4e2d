#pragma once

#include "db/FieldKind.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QEvent;
class QInputMethodEvent;
class QKeyEvent;
class QLineEdit;
class QWidget;

namespace quorvane {

// --- The shared field handlers ---

// The process-wide last typed length: the length of the field's text before the last key
// typed into a filtered field. The Backspace rule of TextBoxKeyDown reads it.
short LastTypedLength();
void SetLastTypedLength(short length);

// The fields and controls around a field, as navigation needs them. Any may be absent.
struct FieldNeighbours {
    // How the previous field takes the focus back (Backspace in the empty field, Left at its
    // start): the caret after its last character, or its whole text selected, as the login's
    // id field has it, so that typing there replaces the remembered id.
    enum class Back { CaretAtEnd, SelectAll };

    FieldNeighbours(QLineEdit* previous = nullptr, QLineEdit* next = nullptr,
                    QWidget* control = nullptr, QWidget* button = nullptr,
                    Back back = Back::CaretAtEnd);

    QPointer<QLineEdit> previousField;
    QPointer<QLineEdit> nextField;
    QPointer<QWidget> nextControl;
    QPointer<QWidget> nextButton;
    Back back;
};

// Focus entering a field: a field that is not empty gets its whole text selected.
void TextBoxGotFocus(QLineEdit* field);

// A character typed into a filtered field: stores the last typed length (the field's length
// before the key) and returns the character to deliver, or a null QChar when it is dropped.
QChar TextBoxKeyPress(QChar character, QLineEdit* field, int kind);

struct KeyDownResult {
    // The key was used for navigation and must not reach the field.
    bool handled = false;
    // Moving forward had to fall back to a control other than the next field.
    bool fellBack = false;
};

// Navigation keys of a field: Enter (look-up, then forward with the next field's text
// selected), Right at the end (forward, caret at the start), Left at the start with nothing
// selected (back, caret at the end or text selected as the neighbours say), Backspace in an
// empty field when the last typed length is also 0 (back, the same way). Moving forward tries the
// next field, then the next control, then the next button, and finally moves on as Tab would.
KeyDownResult TextBoxKeyDown(int key, int kind, QLineEdit* field,
                             const FieldNeighbours& neighbours);

// Focuses a field when it is enabled and visible, then applies the selection asked for: the
// whole text, the caret after the last character, or the caret before the first. False for a
// field that is absent, disabled or hidden.
bool SetFocusTextBox(QLineEdit* field, bool selectAll, bool caretEnd = false,
                     bool caretStart = false);

// Focuses any control when it is enabled and visible.
bool SetFocusControl(QWidget* control);

// What Enter does after a kind's look-up.
enum class AfterLookup { MoveOn, Stay };
// The look-up behind Enter for a kind (the date picker for dates, the issuer selection for
// contract numbers). It may change the field's text. A Failure it throws is shown with the
// location of TextBoxKeyDown; Exit then keeps the focus in the field.
using EnterLookup = std::function<AfterLookup(QLineEdit* field, int kind)>;
// Sets the process-wide look-up of a kind (an empty function removes it) and returns the one
// it replaces. Kinds without a look-up just move on.
EnterLookup SetEnterLookup(int kind, EnterLookup lookup);

// --- Attaching a kind to a field ---

// The event filter that gives a QLineEdit its kind's behaviour: selection on focus, the
// navigation keys, and the character filter for everything that enters the field. Typed keys
// and input-method commits are filtered before the field sees them; a keyboard paste inserts
// the clipboard text filtered (so the field's maxLength cuts what survives the filter). Text
// arriving any other way (the context menu's paste, a drop, QLineEdit::insert) is filtered by
// the validator the filter installs on the field, before the field's signals report it. Text
// the program sets with setText is taken as it is. The validator is the filter's own: a field
// with a kind takes no other validator.
class FieldKindFilter : public QObject {
    Q_OBJECT

public:
    // Filtered: the kind's upper-casing and character filter apply to what is typed and pasted.
    // Free: the field keeps what is typed (date and plain-text fields of most screens); only
    // control characters in inserted text are dropped. Focus and navigation work either way.
    enum class Typing { Filtered, Free };

    // Attaches a filter to the field (replacing one attached before) and returns it; the field
    // owns it.
    static FieldKindFilter* Attach(QLineEdit* field, int kind,
                                   const FieldNeighbours& neighbours = {},
                                   Typing typing = Typing::Filtered);
    // The filter attached to a field, or null.
    static FieldKindFilter* Of(const QLineEdit* field);

    QLineEdit* field() const { return field_; }
    int kind() const { return kind_; }
    Typing typing() const { return typing_; }
    const FieldNeighbours& neighbours() const { return neighbours_; }
    void setNeighbours(const FieldNeighbours& neighbours) { neighbours_ = neighbours; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class Guard;

    FieldKindFilter(QLineEdit* field, int kind, const FieldNeighbours& neighbours, Typing typing);

    void detach();
    void filterEdit(QString& text, int& cursor) const;
    bool keyPress(QKeyEvent* event);
    bool inputMethod(QInputMethodEvent* event);
    void pasteFiltered();
    QString filterInserted(const QString& text) const;
    void replay(QEvent* event);

    QLineEdit* field_;
    int kind_;
    FieldNeighbours neighbours_;
    Typing typing_;
    Guard* guard_ = nullptr;
    QString lastText_;
    bool replaying_ = false;
};

}  // namespace quorvane
