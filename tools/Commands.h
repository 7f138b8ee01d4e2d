#pragma once

#include "db/ConnectionTarget.h"

#include <QList>
#include <QString>

#include <functional>

namespace quorvane::tool {

// The commands of quorvane-db. Each throws Failure with a message for the administrator
// when it cannot do its work, and then leaves the database as it found it.

// Creates the program's database objects and installation data. An SQLite file is created
// when it does not exist yet (its folder must); an existing database that already holds
// tables is refused unless `force`, which rebuilds the program's own objects.
void InitDatabase(const ConnectionTarget& target, bool force);

// Brings a database of an older schema version forward to the one of this program, in one
// transaction; returns the version it had (the current one when there was nothing to do).
int UpgradeDatabase(const ConnectionTarget& target);

// The rules a new account must meet to be usable on the login screen, which upper-cases the
// id, trims both texts and drops some punctuation. Each returns the text as it is stored
// (id trimmed and upper-cased, name and password trimmed) or throws Failure. A new password
// has at least kMinPasswordLength characters, as everywhere the program stores one.
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
