#pragma once

#include "core/Failure.h"
#include "db/Database.h"

#include <QString>
#include <QVariant>

#include <optional>
#include <type_traits>
#include <utility>

namespace quorvane {

// Whether a database failure is a unique-key conflict (a number another workstation took).
bool IsUniqueConflict(const DatabaseFailure& failure);

// A number as text: the prefix and the number zero-filled to at least `minDigits` digits
// ("K1-", 7, 3 gives "K1-007"; "K1-", 1000, 3 gives "K1-1000").
QString NumberText(const QString& prefix, qint64 number, int minDigits);

// The refusal once every attempt met a number another workstation had just taken: what could
// not be saved (`record`, e.g. 額度申請) and which number it could not get (`number`, e.g.
// 申請編號).
QString NumberBusyText(const QString& noContract, const QString& record, const QString& number);

// A series of numbers taken as the largest so far + 1: the numbers in `column` of `table`, one
// series for each value of `scopeColumn` (the contract of an application or a voucher sample,
// the sample of a printed voucher), or one series over the whole table when `scopeColumn` is
// empty (voucher serials). The column holds the number itself, so the largest is the largest
// number whatever width its text has: K1-1000 follows K1-999.
struct NumberSeries {
    QString table;
    QString column;
    QString scopeColumn;
};

// Takes the next number of a series for a new row, the one way every numbered insert does it:
// inside the insert's transaction, first serialise on the issuer, then take the largest + 1,
// then insert. Two workstations adding for one issuer thus take their numbers one after the
// other. An insert that still meets a number another workstation took (a series that spans
// issuers) is run again in a fresh transaction, a few times at most:
//
//     NextNumber numbers(db, {u"OR_TicketForm"_s, u"NoItem"_s, u"NoContract"_s}, statement);
//     const std::optional<bool> saved = numbers.insert([&] {
//         Transaction transaction(db);
//         if (!numbers.lockIssuer(contract)) {
//             return false;
//         }
//         const QString noTicketForm = NumberText(contract + u'-', numbers.take(contract), 3);
//         ... insert the row ...
//         transaction.commit();
//         return true;
//     });
//     if (!saved) {
//         ... refuse with NumberBusyText(contract, u"票樣"_s, u"票樣編號"_s) ...
//     }
class NextNumber {
public:
    static constexpr int kAttempts = 5;

    // `statement` receives each statement as it is run, for the failure's location text.
    NextNumber(Database& db, NumberSeries series, QString& statement);

    // Serialises the open transaction on the issuer: the issuer's row lock on PostgreSQL; on
    // SQLite the transaction began IMMEDIATE and holds the database's write lock already.
    // False when there is no issuer with this contract number.
    bool lockIssuer(const QString& noContract);

    // The next number of the series (1 when it has none yet), for the scope's value; call it
    // after lockIssuer, inside the transaction that inserts the number.
    qint64 take(const QVariant& scope = {});

    // Runs `attempt` (one whole transaction: lock, take, insert, commit) and returns its result;
    // an attempt that fails on a unique-key conflict is run again. Empty when all kAttempts
    // attempts met one. Any other failure goes to the caller.
    template <typename Attempt>
    std::optional<std::invoke_result_t<Attempt&>> insert(Attempt&& attempt) {
        for (int attemptNumber = 1; attemptNumber <= kAttempts; ++attemptNumber) {
            try {
                return attempt();
            } catch (const DatabaseFailure& failure) {
                // The attempt's transaction is rolled back already.
                if (!IsUniqueConflict(failure)) {
                    throw;
                }
            }
        }
        return std::nullopt;
    }

private:
    Database& db_;
    NumberSeries series_;
    QString& statement_;
};

}  // namespace quorvane
