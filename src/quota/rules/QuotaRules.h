#pragma once

#include "db/Database.h"

#include <QString>

namespace quorvane {

// The review state of a contract's newest active application, as GetAccountVerifyState
// reports it.
namespace AccountVerifyState {
constexpr short None = 0;      // the contract has no active application
constexpr short Returned = 1;  // VerifyApprove = 0
constexpr short Approved = 2;  // VerifyApprove = 1
constexpr short Pending = 11;  // VerifyApprove IS NULL
}  // namespace AccountVerifyState

// The review state of the contract's newest active application (highest NoItem among those
// with Active = 1). When there is one, `noAccount` receives its number; otherwise it is left as
// the caller gave it and the result is AccountVerifyState::None. Raises DatabaseFailure.
short GetAccountVerifyState(Database& db, const QString& noContract, QString& noAccount);

// The contract's quota in force, the face value printed from it (nullified vouchers do not
// count) and what remains, from the balance view, NULL read as 0. When the view has no row for
// the contract the three outputs keep the values the caller gave them. Always true; raises
// DatabaseFailure. Amounts are 64-bit: a sum of printed face values is not bounded by the
// 32-bit application amount.
bool GetAccountAmount(Database& db, const QString& noContract, qint64& amountApprove,
                      qint64& amountTicketPrint, qint64& amountRemain);

// GetAccountAmount, then whether the remainder covers `amount` (an equal remainder does).
bool IsAccountAmountEnough(Database& db, const QString& noContract, qint64 amount,
                           qint64& amountApprove, qint64& amountTicketPrint, qint64& amountRemain);

// An amount as the summary and the reports show it ("###,##0"): thousands separated by
// commas, 0 as "0".
QString FormatAmount(qint64 amount);

// An applied amount as the field beside "申請總額度" repeats it ("#,###,###"): thousands
// separated by commas, 0 as the empty text.
QString FormatAppliedAmount(qint64 amount);

// The largest applied quota: the field takes nine digits.
constexpr qint64 kMaxApplicationAmount = 999999999;

// Reads an applied quota as typed: a whole, non-negative number of dollars of one to nine
// digits, surrounding spaces ignored. A sign, a fraction, an exponent or any other character is
// refused (false) rather than rounded; `amount` is set only on success.
bool ParseApplicationAmount(const QString& text, qint64& amount);

}  // namespace quorvane
