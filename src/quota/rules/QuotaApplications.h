#pragma once

#include "core/CurrentUser.h"
#include "db/Database.h"
#include "db/NextNumber.h"

#include <QSqlRecord>
#include <QString>

#include <functional>

namespace quorvane {

// The application number of a contract's n-th application: the contract number, "-", and the
// running number with at least two digits (K1-01, K1-10, K1-100).
QString FormatNoAccount(const QString& noContract, int noItem);

// What a user does with quota applications. PMI_Handling wins over PMI_Verify.
enum class QuotaRole {
    Clerk,       // files applications: amount and remark
    Supervisor,  // reviews them: verdict and remark
    Neither,     // may open a modification, writes no business column
};
QuotaRole QuotaRoleOf(const User& user);

// The supervisor's choice on saving: the two options, or neither of them on.
enum class ReviewChoice { Unchanged, Approve, Return };

// An application as the screen holds it when it is saved.
struct QuotaApplication {
    QString noAccount;  // empty for a new application
    QString noContract;
    // The applied amount: what a clerk's save writes, and what a supervisor's approval
    // approves (it must still be the stored amount).
    qint64 amount = 0;
    QString noteHandling;
    ReviewChoice review = ReviewChoice::Unchanged;
    QString noteVerify;
};

// The field a refusal is about, for the screen to put the focus in.
enum class QuotaField { None, Contract, Amount };

// The outcome of a save: saved under its number, or refused with a message (warning icon)
// and nothing written.
struct QuotaSaveResult {
    bool saved = false;
    QString noAccount;
    int noItem = 0;
    QString title;
    QString message;
    QuotaField field = QuotaField::None;
};

// --- The texts of the refusals, shared by the screen and the save ---

QString AddRefusalText();
QString ClerkEditRefusalText(const QString& noAccount);
QString SupervisorEditRefusalText(const QString& noAccount, const QString& newerNoAccount);
QString BadAmountText(const QString& typed);
QString BelowPrintedText(qint64 amountTicketPrint, qint64 amount);
QString UnknownContractText(const QString& noContract);
QString AmountChangedText(const QString& noAccount, qint64 stored, qint64 seen);

// The edit rule: a clerk may not modify an approved application; a supervisor without clerk
// permission may not modify one while a newer active application of its contract is approved;
// a user with neither permission is not refused. Empty when the modification is allowed,
// otherwise the refusal's text (title "修改").
QString QuotaEditRefusal(Database& db, QuotaRole role, const QString& noAccount,
                         const QString& noContract, bool approved);

// Saves a quota application: one transaction that first serialises on the issuer (the row lock
// on PostgreSQL; SQLite's write transaction holds the database), then takes the application's
// number or re-reads the row, re-checks the edit rule and the printed amount against what other
// workstations committed meanwhile, and writes only the columns of the user's role with the
// audit stamps. A failure rolls everything back and leaves the connection usable. An insert
// that meets a number another workstation took is run again with the next number, a few times
// at most, and then refused with a message.
class QuotaApplicationWriter {
public:
    static constexpr int kAttempts = NextNumber::kAttempts;

    explicit QuotaApplicationWriter(Database& db)
        : db_(db),
          numbers_(db,
                   {QStringLiteral("OR_Account"), QStringLiteral("NoItem"),
                    QStringLiteral("NoContract")},
                   statement_) {}

    // Raises Failure for a database failure other than a number taken meanwhile.
    QuotaSaveResult save(const QuotaApplication& application, const User& user);

    // Runs inside the transaction, after the lock and the checks and just before the row is
    // written, with the item number: the moment another workstation's save would have to wait.
    void setBeforeWrite(std::function<void(int noItem)> hook) { beforeWrite_ = std::move(hook); }

    // The statement being run and the item number, for the failure's location text.
    const QString& statement() const { return statement_; }
    int noItem() const { return noItem_; }

private:
    QuotaSaveResult attempt(const QuotaApplication& application, const User& user);

    Database& db_;
    std::function<void(int)> beforeWrite_;
    QString statement_;
    NextNumber numbers_;
    int noItem_ = 0;
};

// What the quota application screen looks up: its list, one application, the selection lists
// of its Find keys and a contract's latest application. Raises DatabaseFailure.
class QuotaApplications {
public:
    explicit QuotaApplications(Database& db) : db_(db) {}

    // The screen's list: "contract：issuer（verdict）" (the issuer's first four characters;
    // 核准, 退回 or 未核) and the application number, by contract, the latest number first.
    static Statement ListQuery();
    // The statement that reads one application's row.
    static Statement RowQuery(const QString& noAccount);

    // The application's row as stored, or an empty record when there is none.
    QSqlRecord row(const QString& noAccount);

    // The selection list of every application ("額度編號", "發行業者：建檔時間：申請額度"), or
    // of the active ones not reviewed yet ("額度編號", "發行業者：建檔時間"), the latest filed
    // first; the day filed is shown as "yy.MM.dd".
    Statement selection(bool notReviewedOnly) const;

    // The contract's latest application: the one with the highest item number (K1-100 comes
    // after K1-99, whatever the width of its text); empty when none.
    QString latestNoAccount(const QString& noContract);

private:
    Database& db_;
};

}  // namespace quorvane
