#pragma once

#include <QChar>
#include <QString>

namespace quorvane {

// The field kinds: each text field has one, which fixes its upper-casing, the characters it
// refuses and the look-up behind Enter. Kinds below 40 not named here only upper-case.
namespace FieldKind {
constexpr int Date = 2;
constexpr int YesNo = 4;
constexpr int PlainText = 10;
constexpr int ContractNumber = 12;
constexpr int BusinessNumber = 13;
constexpr int UserId = 16;
constexpr int Password = 17;
constexpr int SampleNumber = 18;
constexpr int SignedDecimal = 40;  // also 43 and 46 to 49
constexpr int UnsignedDecimal = 41;
constexpr int SignedWhole = 42;
constexpr int Digits = 44;  // also 45
}  // namespace FieldKind

// Whether the kind turns letters into upper case (every kind below 40 except passwords).
bool KindUpperCases(int kind);
// Whether the kind refuses a typed character. Control keys (codes 1 to 31) are never refused.
bool KindRefuses(int kind, QChar character);
// A typed character as the field receives it: upper-cased where the kind says so, or a null
// QChar when the kind refuses it.
QChar KindFilterKey(int kind, QChar character);
// Text that is inserted as a whole (pasted, dropped, committed by an input method): control
// characters dropped, then every character through KindFilterKey.
QString KindFilterText(int kind, const QString& text);
// Characters that never belong in a one-line field when they arrive inside inserted text:
// control characters (tabs, line ends) and the Unicode line and paragraph separators.
bool IsControlInText(QChar character);

}  // namespace quorvane
