#include "ui/FieldKinds.h"

#include "core/Failure.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <utility>

using namespace Qt::StringLiterals;

namespace quorvane {
namespace {

// A small screen: three fields in a row, a further field outside the navigation chain, and a
// button, shown and active so that focus moves as it does for a user.
class FieldScreen : public ::testing::Test {
protected:
    void SetUp() override {
        window_ = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(window_.get());
        previous_ = new QLineEdit(window_.get());
        field_ = new QLineEdit(window_.get());
        next_ = new QLineEdit(window_.get());
        other_ = new QLineEdit(window_.get());
        button_ = new QPushButton(u"確定"_s, window_.get());
        for (QWidget* widget :
             std::initializer_list<QWidget*>{previous_, field_, next_, other_, button_}) {
            layout->addWidget(widget);
        }
        window_->show();
        window_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
        SetLastTypedLength(0);
    }

    FieldKindFilter* attach(int kind,
                            FieldKindFilter::Typing typing = FieldKindFilter::Typing::Filtered) {
        FieldKindFilter::Attach(previous_, FieldKind::PlainText, {nullptr, field_});
        return FieldKindFilter::Attach(field_, kind, {previous_, next_}, typing);
    }

    // A key pressed by the user: it goes to the widget that has the focus.
    static void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        QTest::keyClick(focused, key, modifiers);
    }

    std::unique_ptr<QWidget> window_;
    QLineEdit* previous_ = nullptr;
    QLineEdit* field_ = nullptr;
    QLineEdit* next_ = nullptr;
    QLineEdit* other_ = nullptr;
    QPushButton* button_ = nullptr;
};

// --- What a kind lets into the field, whatever way the text arrives ---

enum class Route { Typed, KeyboardPaste, MenuPaste, Insert, InputMethodCommit };

const char* routeName(Route route) {
    switch (route) {
        case Route::Typed:
            return "Typed";
        case Route::KeyboardPaste:
            return "KeyboardPaste";
        case Route::MenuPaste:
            return "MenuPaste";
        case Route::Insert:
            return "Insert";
        case Route::InputMethodCommit:
            return "InputMethodCommit";
    }
    return "?";
}

// Types text as the keyboard would: ASCII through QTest's key clicks, anything else as a key
// event carrying the character.
void type(QLineEdit* field, const QString& text) {
    for (const QChar character : text) {
        if (character.unicode() < 128) {
            QTest::keyClick(field, char(character.unicode()));
        } else {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(character));
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier,
                              QString(character));
            QApplication::sendEvent(field, &press);
            QApplication::sendEvent(field, &release);
        }
    }
}

void commit(QLineEdit* field, const QString& text) {
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(field, &event);
}

void deliver(QLineEdit* field, const QString& text, Route route) {
    switch (route) {
        case Route::Typed:
            type(field, text);
            break;
        case Route::KeyboardPaste:
            QGuiApplication::clipboard()->setText(text);
            QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
            break;
        case Route::MenuPaste:
            // What the context menu's Paste runs.
            QGuiApplication::clipboard()->setText(text);
            field->paste();
            break;
        case Route::Insert:
            field->insert(text);
            break;
        case Route::InputMethodCommit:
            commit(field, text);
            break;
    }
}

struct KindCase {
    int kind;
    QString entered;
    QString kept;
};

std::ostream& operator<<(std::ostream& os, const KindCase& c) {
    return os << "kind " << c.kind << ": \"" << c.entered.toStdString() << "\" -> \""
              << c.kept.toStdString() << "\"";
}

const KindCase kKindCases[] = {
    // Contract numbers and their relatives: upper case, punctuation 33-44, 46, 47, 58-64 refused.
    {12, u"ab/c"_s, u"ABC"_s},
    {12, u"a!\"#$%&'()*+,.b"_s, u"AB"_s},
    {12, u"x/y:;<=>?@z"_s, u"XYZ"_s},
    {12, u" -[\\]^_`{|}~"_s, u" -[\\]^_`{|}~"_s},
    {12, u"中a/"_s, u"中A"_s},
    {13, u"a1-b2"_s, u"A1-B2"_s},
    {16, u"admin!"_s, u"ADMIN"_s},
    {16, u"王小明"_s, u"王小明"_s},
    {17, u"Pass:Wd@1"_s, u"PassWd1"_s},
    {17, u"a b-[~"_s, u"a b-[~"_s},
    {17, u"密碼ab"_s, u"密碼ab"_s},
    {18, u"t-001/x"_s, u"T-001X"_s},
    // Dates: digits, "-", "." and "/" only.
    {2, u"2024/01/05"_s, u"2024/01/05"_s},
    {2, u"20a4-1.5x,"_s, u"204-1.5"_s},
    {2, u"２０24"_s, u"24"_s},
    // Yes/no answers.
    {4, u"ynxYN1 "_s, u"YNYN"_s},
    {4, u"是y"_s, u"Y"_s},
    // Kinds below 40 without a filter only upper-case.
    {10, u"ab/c!"_s, u"AB/C!"_s},
    {3, u"ab/"_s, u"AB/"_s},
    // Numbers.
    {40, u"-12.5a,"_s, u"-12.5"_s},
    {43, u"1-.x"_s, u"1-."_s},
    {47, u"-3.e"_s, u"-3."_s},
    {49, u"+7"_s, u"7"_s},
    {41, u"-12.5"_s, u"12.5"_s},
    {42, u"-12.5"_s, u"-125"_s},
    {44, u"-1.2a3"_s, u"123"_s},
    {44, u"一2三"_s, u"2"_s},
    {45, u"9 8"_s, u"98"_s},
    // Other kinds from 40 up keep everything as it is.
    {50, u"ab/"_s, u"ab/"_s},
};

class KindFilter : public FieldScreen,
                   public ::testing::WithParamInterface<std::tuple<KindCase, Route>> {};

TEST_P(KindFilter, KeepsWhatTheKindAccepts) {
    const auto& [kindCase, route] = GetParam();
    attach(kindCase.kind);
    field_->setFocus();
    deliver(field_, kindCase.entered, route);
    EXPECT_EQ(field_->text(), kindCase.kept);
    EXPECT_EQ(field_->cursorPosition(), kindCase.kept.size());
}

INSTANTIATE_TEST_SUITE_P(EveryRoute, KindFilter,
                         ::testing::Combine(::testing::ValuesIn(kKindCases),
                                            ::testing::Values(Route::Typed, Route::KeyboardPaste,
                                                              Route::MenuPaste, Route::Insert,
                                                              Route::InputMethodCommit)),
                         [](const ::testing::TestParamInfo<KindFilter::ParamType>& info) {
                             return std::to_string(info.index) + "_kind" +
                                    std::to_string(std::get<0>(info.param).kind) + "_" +
                                    routeName(std::get<1>(info.param));
                         });

class InsertedText : public FieldScreen, public ::testing::WithParamInterface<Route> {};

TEST_P(InsertedText, DropsControlCharacters) {
    attach(FieldKind::ContractNumber);
    deliver(field_,
            u"a\tb\r\nc\x01"
            "d\u2028e"_s,
            GetParam());
    EXPECT_EQ(field_->text(), u"ABCDE"_s);

    // A field that keeps what is typed still refuses line ends and tabs.
    FieldKindFilter::Attach(other_, FieldKind::PlainText, {}, FieldKindFilter::Typing::Free);
    deliver(other_, u"ab\tc/\n"_s, GetParam());
    EXPECT_EQ(other_->text(), u"abc/"_s);
}

TEST_P(InsertedText, IsCutToTheFieldsMaximumLength) {
    attach(FieldKind::Digits);
    field_->setMaxLength(10);
    deliver(field_, QString(10000, u'7'), GetParam());
    EXPECT_EQ(field_->text(), u"7777777777"_s);
}

INSTANTIATE_TEST_SUITE_P(Routes, InsertedText,
                         ::testing::Values(Route::KeyboardPaste, Route::MenuPaste, Route::Insert,
                                           Route::InputMethodCommit),
                         [](const ::testing::TestParamInfo<Route>& info) {
                             return std::string(routeName(info.param));
                         });

TEST_F(FieldScreen, KeyboardPasteFiltersBeforeTheMaximumLengthCuts) {
    attach(FieldKind::Digits);
    field_->setMaxLength(10);
    QString clipboard;
    for (int i = 0; i < 5000; ++i) {
        clipboard += u"1-"_s;
    }
    deliver(field_, clipboard, Route::KeyboardPaste);
    EXPECT_EQ(field_->text(), u"1111111111"_s);
}

TEST_F(FieldScreen, PasteReplacesTheSelection) {
    attach(FieldKind::ContractNumber);
    field_->setText(u"AB12"_s);
    field_->setSelection(1, 2);
    deliver(field_, u"x/y"_s, Route::KeyboardPaste);
    EXPECT_EQ(field_->text(), u"AXY2"_s);
}

TEST_F(FieldScreen, TextSetByTheProgramIsKeptAsItIs) {
    attach(FieldKind::ContractNumber);
    field_->setText(u"ab/c"_s);
    EXPECT_EQ(field_->text(), u"ab/c"_s);
    field_->end(false);
    type(field_, u"d/"_s);
    EXPECT_EQ(field_->text(), u"ab/cD"_s);
    field_->home(false);
    field_->insert(u"e!"_s);
    EXPECT_EQ(field_->text(), u"Eab/cD"_s);
    EXPECT_EQ(field_->cursorPosition(), 1);
}

TEST_F(FieldScreen, RefusedCharactersNeverReachTheFieldsSignals) {
    attach(FieldKind::ContractNumber);
    QStringList reported;
    QObject::connect(field_, &QLineEdit::textChanged,
                     [&](const QString& text) { reported.append(text); });
    type(field_, u"a/"_s);
    deliver(field_, u"b!"_s, Route::MenuPaste);
    deliver(field_, u"c:"_s, Route::Insert);
    deliver(field_, u"d@"_s, Route::InputMethodCommit);
    EXPECT_EQ(reported, QStringList({u"A"_s, u"AB"_s, u"ABC"_s, u"ABCD"_s}));
}

TEST_F(FieldScreen, TypedKeysKeepTheUndoHistory) {
    attach(FieldKind::ContractNumber);
    field_->setFocus();
    type(field_, u"ab/"_s);
    ASSERT_EQ(field_->text(), u"AB"_s);
    EXPECT_TRUE(field_->isModified());
    ASSERT_TRUE(field_->isUndoAvailable());
    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_NE(field_->text(), u"AB"_s);
}

TEST_F(FieldScreen, FreeTypingKeepsCaseAndCharacters) {
    attach(FieldKind::Date, FieldKindFilter::Typing::Free);
    type(field_, u"2024/13/40abc!"_s);
    EXPECT_EQ(field_->text(), u"2024/13/40abc!"_s);
}

TEST_F(FieldScreen, ShortcutsStillWorkInAFilteredField) {
    attach(FieldKind::Digits);
    type(field_, u"123"_s);
    QTest::keyClick(field_, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(field_->selectedText(), u"123"_s);
    QTest::keyClick(field_, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"123"_s);
}

TEST_F(FieldScreen, InputMethodCommitKeepsItsPreedit) {
    attach(FieldKind::Digits);
    type(field_, u"12"_s);
    QInputMethodEvent event(u"ㄓ"_s, {});
    event.setCommitString(u"中3"_s);
    QApplication::sendEvent(field_, &event);
    EXPECT_EQ(field_->text(), u"123"_s);
    EXPECT_EQ(field_->displayText(), u"123"_s);
}

// --- Focus and navigation ---

TEST_F(FieldScreen, EnteringAFieldSelectsItsText) {
    attach(FieldKind::ContractNumber);
    field_->setText(u"C001"_s);
    previous_->setFocus();
    press(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), field_);
    EXPECT_EQ(field_->selectedText(), u"C001"_s);

    // Focus given by the program selects too.
    previous_->setFocus();
    field_->setFocus(Qt::OtherFocusReason);
    EXPECT_EQ(field_->selectedText(), u"C001"_s);
}

TEST_F(FieldScreen, EnterMovesOnWithTheNextFieldsTextSelected) {
    attach(FieldKind::ContractNumber);
    next_->setText(u"NEXT"_s);
    field_->setFocus();
    type(field_, u"c1"_s);
    press(Qt::Key_Return);
    ASSERT_EQ(QApplication::focusWidget(), next_);
    EXPECT_EQ(next_->selectedText(), u"NEXT"_s);
    EXPECT_EQ(field_->text(), u"C1"_s);

    // The keypad's Enter does the same.
    SetFocusTextBox(field_, false);
    press(Qt::Key_Enter);
    EXPECT_EQ(QApplication::focusWidget(), next_);
}

// Where moving forward lands when the next field cannot take the focus.
struct ForwardCase {
    const char* name;
    bool nextFieldUsable;
    bool nextControlUsable;
    bool nextButtonUsable;
    const char* landsOn;  // objectName
    bool fellBack;
};

class MoveForward : public FieldScreen, public ::testing::WithParamInterface<ForwardCase> {};

TEST_P(MoveForward, FallsBackInOrder) {
    const ForwardCase& c = GetParam();
    previous_->setObjectName(u"previous"_s);
    field_->setObjectName(u"field"_s);
    next_->setObjectName(u"next"_s);
    other_->setObjectName(u"other"_s);
    button_->setObjectName(u"button"_s);
    auto* control = new QLineEdit(window_.get());
    control->setObjectName(u"control"_s);
    window_->layout()->addWidget(control);
    control->show();
    // Tab order: previous, field, next, other, button, control.
    next_->setEnabled(c.nextFieldUsable);
    control->setVisible(c.nextControlUsable);
    button_->setEnabled(c.nextButtonUsable);
    FieldNeighbours neighbours{previous_, next_, control, button_};
    field_->setFocus();

    const KeyDownResult result =
        TextBoxKeyDown(Qt::Key_Return, FieldKind::ContractNumber, field_, neighbours);
    EXPECT_TRUE(result.handled);
    EXPECT_EQ(result.fellBack, c.fellBack);
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    EXPECT_EQ(QApplication::focusWidget()->objectName().toStdString(), c.landsOn);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MoveForward,
    ::testing::Values(ForwardCase{"NextField", true, true, true, "next", false},
                      ForwardCase{"NextControl", false, true, true, "control", true},
                      ForwardCase{"NextButton", false, false, true, "button", true},
                      // Nothing named can take it: Tab moves on from the field (the next field
                      // is disabled, so Tab lands on the one after it).
                      ForwardCase{"AsTabWould", false, false, false, "other", true}),
    [](const ::testing::TestParamInfo<ForwardCase>& info) { return std::string(info.param.name); });

TEST_F(FieldScreen, RightArrowAtTheEndMovesOnWithTheCaretAtTheStart) {
    attach(FieldKind::ContractNumber);
    next_->setText(u"NEXT"_s);
    field_->setFocus();
    type(field_, u"ab"_s);
    field_->setCursorPosition(1);
    press(Qt::Key_Right);  // inside the text: the caret moves
    ASSERT_EQ(QApplication::focusWidget(), field_);
    EXPECT_EQ(field_->cursorPosition(), 2);
    press(Qt::Key_Right);  // at the end: on to the next field
    ASSERT_EQ(QApplication::focusWidget(), next_);
    EXPECT_FALSE(next_->hasSelectedText());
    EXPECT_EQ(next_->cursorPosition(), 0);
}

TEST_F(FieldScreen, RightArrowOnASelectedTextStaysFirst) {
    attach(FieldKind::ContractNumber);
    field_->setText(u"AB"_s);
    SetFocusTextBox(field_, true);
    press(Qt::Key_Right);
    EXPECT_EQ(QApplication::focusWidget(), field_);
    press(Qt::Key_Right);
    EXPECT_EQ(QApplication::focusWidget(), next_);
}

TEST_F(FieldScreen, LeftArrowAtTheStartMovesBackWithTheCaretAtTheEnd) {
    attach(FieldKind::ContractNumber);
    previous_->setText(u"PRE"_s);
    field_->setText(u"AB"_s);
    SetFocusTextBox(field_, false, false, true);
    press(Qt::Key_Left);
    ASSERT_EQ(QApplication::focusWidget(), previous_);
    EXPECT_FALSE(previous_->hasSelectedText());
    EXPECT_EQ(previous_->cursorPosition(), 3);
}

TEST_F(FieldScreen, LeftArrowWithTheTextSelectedStaysFirst) {
    attach(FieldKind::ContractNumber);
    field_->setText(u"AB"_s);
    SetFocusTextBox(field_, true);
    field_->setSelection(0, 2);
    press(Qt::Key_Left);
    ASSERT_EQ(QApplication::focusWidget(), field_);
    EXPECT_FALSE(field_->hasSelectedText());
    press(Qt::Key_Home);
    press(Qt::Key_Left);
    EXPECT_EQ(QApplication::focusWidget(), previous_);
}

TEST_F(FieldScreen, BackspaceMovesBackOnlyOnceTheFieldWasEmptyBeforeTheLastKey) {
    attach(FieldKind::ContractNumber);
    previous_->setText(u"PRE"_s);
    field_->setFocus();
    type(field_, u"x"_s);
    ASSERT_EQ(field_->text(), u"X"_s);

    press(Qt::Key_Backspace);  // empties the field
    EXPECT_EQ(field_->text(), QString());
    EXPECT_EQ(QApplication::focusWidget(), field_);
    EXPECT_EQ(LastTypedLength(), 1);

    press(Qt::Key_Backspace);  // the last typed length was still 1
    EXPECT_EQ(QApplication::focusWidget(), field_);
    EXPECT_EQ(LastTypedLength(), 0);

    press(Qt::Key_Backspace);  // now it moves back
    ASSERT_EQ(QApplication::focusWidget(), previous_);
    EXPECT_EQ(previous_->text(), u"PRE"_s);
    EXPECT_FALSE(previous_->hasSelectedText());
    EXPECT_EQ(previous_->cursorPosition(), 3);
}

TEST_F(FieldScreen, BackspaceInAnEmptyFieldMovesBackAtOnceWhenNothingWasTyped) {
    attach(FieldKind::ContractNumber);
    field_->setFocus();
    press(Qt::Key_Backspace);
    EXPECT_EQ(QApplication::focusWidget(), previous_);
}

TEST_F(FieldScreen, BackspaceWithTheTextSelectedErases) {
    attach(FieldKind::ContractNumber);
    field_->setText(u"AB"_s);
    SetFocusTextBox(field_, true);
    press(Qt::Key_Backspace);
    EXPECT_EQ(field_->text(), QString());
    EXPECT_EQ(QApplication::focusWidget(), field_);
}

TEST_F(FieldScreen, SetFocusTextBoxRefusesFieldsThatCannotTakeTheFocus) {
    EXPECT_FALSE(SetFocusTextBox(nullptr, true));
    next_->setEnabled(false);
    EXPECT_FALSE(SetFocusTextBox(next_, true));
    other_->hide();
    EXPECT_FALSE(SetFocusTextBox(other_, true));
    EXPECT_FALSE(SetFocusControl(other_));

    field_->setText(u"ABCD"_s);
    ASSERT_TRUE(SetFocusTextBox(field_, false, true, false));
    EXPECT_EQ(QApplication::focusWidget(), field_);
    EXPECT_FALSE(field_->hasSelectedText());
    EXPECT_EQ(field_->cursorPosition(), 4);
}

// --- The look-up behind Enter ---

// Installs a kind's look-up for one test and puts back the one before.
class ScopedLookup {
public:
    ScopedLookup(int kind, EnterLookup lookup)
        : kind_(kind), previous_(SetEnterLookup(kind, std::move(lookup))) {}
    ~ScopedLookup() { SetEnterLookup(kind_, previous_); }

private:
    int kind_;
    EnterLookup previous_;
};

TEST_F(FieldScreen, EnterLookupDecidesWhetherTheFocusMovesOn) {
    attach(FieldKind::ContractNumber);
    AfterLookup answer = AfterLookup::Stay;
    QString seen;
    ScopedLookup lookup(FieldKind::ContractNumber, [&](QLineEdit* field, int) {
        seen = field->text();
        field->setText(u"C0001"_s);
        return answer;
    });
    field_->setFocus();
    type(field_, u"c0"_s);

    press(Qt::Key_Return);
    EXPECT_EQ(seen, u"C0"_s);
    EXPECT_EQ(field_->text(), u"C0001"_s);
    EXPECT_EQ(QApplication::focusWidget(), field_);

    answer = AfterLookup::MoveOn;
    press(Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), next_);

    // Other kinds have no look-up and just move on.
    FieldKindFilter::Attach(previous_, FieldKind::BusinessNumber, {nullptr, field_});
    seen.clear();
    previous_->setFocus();
    press(Qt::Key_Return);
    EXPECT_EQ(seen, QString());
    EXPECT_EQ(QApplication::focusWidget(), field_);
}

struct FailingLookupCase {
    const char* name;
    Answer answer;
    bool movesOn;
};

class FailingLookup : public FieldScreen,
                      public ::testing::WithParamInterface<FailingLookupCase> {};

TEST_P(FailingLookup, ShowsTheFailureWithItsLocation) {
    attach(FieldKind::Date);
    ScopedLookup lookup(FieldKind::Date, [](QLineEdit*, int) -> AfterLookup {
        throw Failure(13, u"型態不符合"_s, u"modUI"_s);
    });
    ScriptedDialogs dialogs;
    dialogs.expectException(GetParam().answer, u"例外程序：\tmodUI.TextBoxKeyDown"_s);
    field_->setFocus();
    press(Qt::Key_Return);
    ASSERT_EQ(dialogs.records().size(), 1u);
    EXPECT_TRUE(dialogs.records().front().text.startsWith(u"例外編號　　　　：13\r\n"_s));
    EXPECT_EQ(QApplication::focusWidget(), GetParam().movesOn ? next_ : field_);
}

INSTANTIATE_TEST_SUITE_P(Answers, FailingLookup,
                         ::testing::Values(FailingLookupCase{"Ignore", Answer::Ignore, true},
                                           FailingLookupCase{"Exit", Answer::Exit, false}),
                         [](const ::testing::TestParamInfo<FailingLookupCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(FieldKindFilterAttach, ReplacesTheFilterAttachedBefore) {
    QLineEdit field;
    FieldKindFilter* first = FieldKindFilter::Attach(&field, FieldKind::Digits);
    EXPECT_EQ(FieldKindFilter::Of(&field), first);
    FieldKindFilter* second = FieldKindFilter::Attach(&field, FieldKind::ContractNumber);
    EXPECT_EQ(FieldKindFilter::Of(&field), second);
    EXPECT_EQ(field.findChildren<FieldKindFilter*>().size(), 1);
    type(&field, u"a1"_s);
    EXPECT_EQ(field.text(), u"A1"_s);
}

}  // namespace
}  // namespace quorvane
