#pragma once

#include "core/CurrentUser.h"
#include "core/Settings.h"
#include "db/Database.h"

#include <QString>

#include <chrono>
#include <optional>

namespace quorvane {

// The workstation a login is typed on, as the login-failure log records it.
struct Workstation {
    QString name;
    QString ip;

    // This machine: its computer name and local IPv4 address.
    static Workstation ThisOne();
};

// What one login attempt came to.
struct LoginOutcome {
    // The user as stored, on success.
    std::optional<User> user;
    // The message for the clerk when refused.
    QString message;
    // How long the login screen takes no further attempt (zero after a success).
    std::chrono::milliseconds wait{0};
    // Whether the account named is locked (by this attempt or before it).
    bool locked = false;
};

// The login rules: a typed id and password checked against BF_User, with failed logins
// counted per account. The id is matched without regard to letter case, after trimming
// spaces; the password, trimmed, must match the stored one exactly (a stored hash or the old
// encoded form, of whatever length it was stored with).
//
// Every refused attempt is logged in SYS_LoginFailure with the server's time, the id as typed
// and the workstation. A wrong password adds one to the account's failures in a row; the
// kFailuresToLock-th locks the account, and a locked account is refused whatever password is
// typed until an administrator unlocks it (UserAccounts::unlock). A successful login sets the
// count back to zero. After each refusal the screen waits WaitAfter(failures in a row) before
// it takes the next attempt: the failures in a row of the account named or of this login
// screen (whichever ids were typed), the more of the two.
class Logins {
public:
    static constexpr int kFailuresToLock = 5;
    static constexpr std::chrono::seconds kLongestWait{30};

    // 1 s after the first failure, doubling with each further one up to kLongestWait; none
    // before any failure.
    static std::chrono::milliseconds WaitAfter(int failuresInRow);

    // The message a locked account's login gets: who can unlock it, and where.
    static QString LockedText(const QString& idUser);

    Logins(Database& db, const SettingsStore& settings,
           Workstation workstation = Workstation::ThisOne());

    // On success also remembers the stored id as the workstation's last login id. A database
    // failure is raised to the caller.
    LoginOutcome check(const QString& typedId, const QString& typedPassword);

private:
    struct Stored;
    // Logs the refused attempt and, for an unlocked account, counts it (locking the account
    // at the limit); returns the account's failures in a row and whether it is now locked.
    std::pair<int, bool> recordFailure(const QString& typedId,
                                       const std::optional<Stored>& account);

    Database& db_;
    const SettingsStore& settings_;
    Workstation workstation_;
    // Refusals in a row on this screen, whichever ids were typed.
    int failuresHere_ = 0;
};

}  // namespace quorvane
