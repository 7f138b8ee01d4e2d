#pragma once

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

}  // namespace quorvane
