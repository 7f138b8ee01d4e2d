#pragma once

#include "core/CurrentUser.h"
#include "db/Database.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace quorvane {

// The role of an account. Each account has one, stored as the three permission flags of
// BF_User with exactly the role's flag set.
enum class UserRole { Handling, Verify, System };

struct RoleFlags {
    bool handling = false;
    bool verify = false;
    bool system = false;

    bool operator==(const RoleFlags& other) const {
        return handling == other.handling && verify == other.verify && system == other.system;
    }
    bool operator!=(const RoleFlags& other) const { return !(*this == other); }
};

RoleFlags FlagsOf(UserRole role);
// The role stored flags stand for: 系統 before 經辦 before 主管 (accounts written by older
// tools may hold several flags); none when no flag is set.
std::optional<UserRole> RoleOf(const RoleFlags& flags);

// One account as the user-account screen saves it.
struct UserAccount {
    // Adding: the id as typed. Modifying: the id exactly as stored.
    QString IdUser;
    QString NameUser;
    QString Note;
    // The role to store; none leaves the stored flags as they are (a new account is a clerk).
    std::optional<UserRole> role;
    // The password as typed (the spaces around it are not part of it); none leaves the stored
    // password exactly as it is.
    std::optional<QString> password;
};

// The rules of the user accounts, free of any window: who may add, modify and delete which
// account, and the writes themselves. Each write is one transaction that first locks the
// administrators' rows (SQLite: the IMMEDIATE transaction holds the write lock), so that the
// rule "somebody keeps the 系統 role" holds however many workstations save at once.
//
// A refused operation writes nothing and returns its refusal with the message to show; a
// database failure is thrown.
class UserAccounts {
public:
    enum class Refusal {
        None,
        NotAdministrator,   // adding or deleting without the 系統 role
        OtherAccount,       // modifying someone else's account without the 系統 role
        BlankId,            // a new account without an id
        IdNotTypeable,      // an id holding characters the login screen drops
        IdDiffersInCase,    // an id that differs from an existing one only in letter case
        OwnRole,            // a change of one's own role
        LastAdministrator,  // the only account with the 系統 role demoted or deleted
        NotFound,           // the account is gone (another workstation deleted it)
        PasswordTooShort,   // a new password of fewer than kMinPasswordLength characters
    };

    struct Outcome {
        Refusal refusal = Refusal::None;
        // The account's id as stored (a new account's id as written).
        QString IdUser;
        // The message of a refusal, a heading and the details joined with CR LF.
        QString message;

        bool ok() const { return refusal == Refusal::None; }
    };

    explicit UserAccounts(Database& db) : db_(db) {}

    // The id a new account is stored with: trimmed and in upper case, as the login looks it up.
    static QString NewId(const QString& typed);

    static bool IsOwnAccount(const User& actor, const QString& id);
    static bool MayAdd(const User& actor) { return actor.PMI_System; }
    static bool MayDelete(const User& actor) { return actor.PMI_System; }
    // An administrator modifies every account, anybody else only their own.
    static bool MayModify(const User& actor, const QString& id);
    // Only an administrator changes a role, and never their own.
    static bool MayChangeRole(const User& actor, const QString& id);
    // Only an administrator unlocks an account that failed logins locked.
    static bool MayUnlock(const User& actor) { return actor.PMI_System; }

    // The messages of a user without the permission to add an account, to modify someone
    // else's and to delete one: a heading and the reason joined with CR LF CR LF.
    static QString AddRefusalText();
    static QString EditRefusalText();
    static QString DeleteRefusalText();
    static QString UnlockRefusalText();

    // Inserts a new account with the audit stamps. An id that exists already exactly as given
    // is refused by the table's key (thrown as DatabaseFailure). The password must have at
    // least kMinPasswordLength characters.
    Outcome add(const User& actor, const UserAccount& account);
    // Updates an account's name, remark and, where given, role and password (a given one must
    // have at least kMinPasswordLength characters; a stored shorter one is left alone).
    Outcome modify(const User& actor, const UserAccount& account);
    // Lifts the lock that failed logins put on the account and sets its count of failures in a
    // row back to zero, with the audit stamps of a modification.
    Outcome unlock(const User& actor, const QString& id);
    // The refusal a delete of the account meets as the table stands now; checked before the
    // user is asked, and again by remove() inside its transaction.
    Outcome checkRemove(const User& actor, const QString& id);
    Outcome remove(const User& actor, const QString& id);

private:
    // The ids of the accounts with the 系統 role, locked until the transaction ends.
    QStringList lockAdministrators();
    // The stored flags of an account (locked), or none when it has no row.
    std::optional<RoleFlags> storedFlags(const QString& id, bool lock);
    // What stands against deleting the account, given its stored flags and the number of
    // administrators.
    static Outcome removeRefusal(const User& actor, const QString& id,
                                 const std::optional<RoleFlags>& stored, qint64 administrators);

    Database& db_;
};

}  // namespace quorvane
