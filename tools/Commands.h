#pragma once

#include "db/ConnectionTarget.h"
#include "db/InstallationSettings.h"

#include <QList>
#include <QString>

#include <functional>

namespace quorvane::tool {

// The commands of quorvane-db. Each throws Failure with a message for the administrator
// when it cannot do its work, and then leaves the database as it found it.

// Asked before a forced init drops a Quorvane database: `loss` lists what would be lost (the
// rows of every table of the program's data), `name` is the database's name (the PostgreSQL
// database, or the SQLite file's name) for the administrator to type back. Throws Failure to
// keep the data.
using ConfirmLoss = std::function<void(const QString& loss, const QString& name)>;

// Creates the program's database objects and installation data. An SQLite file is created
// when it does not exist yet (its folder must). A database of another program (tables, but no
// recorded schema version) is refused. A Quorvane database is refused unless `force`, which,
// once `confirmLoss` agreed, rebuilds the program's own objects; an SQLite file is copied
// beside itself first. `fax`, when not empty, is stored as the trust department's fax number
// in the same transaction (checked first); otherwise the installation's placeholder stands.
// Returns the SQLite copy's path (empty when none was made).
QString InitDatabase(const ConnectionTarget& target, bool force, const ConfirmLoss& confirmLoss,
                     const QString& fax = {});

// Brings a database of an older schema version forward to the one of this program, in one
// transaction; returns the version it had (the current one when there was nothing to do).
int UpgradeDatabase(const ConnectionTarget& target);

// The trust department's fax number stored in an initialised database of this version.
FaxSetting ShowFax(const ConnectionTarget& target);

// Checks and stores the trust department's fax number, recorded as changed by quorvane-db and
// the operating system's user (FaxModifier); returns the setting as stored.
FaxSetting SetFax(const ConnectionTarget& target, const QString& number);

// Who the tool records as the modifier of a setting: "quorvane-db:" and the operating
// system's user ("quorvane-db" alone when the user is unknown).
QString FaxModifier();

// The rules a new account must meet to be usable on the login screen, which upper-cases the
// id, trims both texts and drops some punctuation. Each returns the text as it is stored
// (id trimmed and upper-cased, name and password trimmed) or throws Failure. A name that is
// empty once trimmed is refused: an account is listed by its name. A new password has at least
// kMinPasswordLength characters, as everywhere the program stores one.
QString CheckUserId(const QString& id);
QString CheckUserName(const QString& name);
QString CheckPassword(const QString& password);

// Adds a system administrator: PMI_System only, the password stored hashed, created by
// itself. `readPassword` is asked only once the database and the id have been checked.
void CreateAdministrator(const ConnectionTarget& target, const QString& id, const QString& name,
                         const std::function<QString()>& readPassword);

struct Credential {
    QString id;
    QString role;
    QString password;
};

// Loads the demo data set (issuers, quota applications in every review state, voucher
// samples, one user of each role with a random password) into an initialised database that
// holds no issuers yet. Returns the users' ids and passwords.
QList<Credential> LoadDemoData(const ConnectionTarget& target);

}  // namespace quorvane::tool
