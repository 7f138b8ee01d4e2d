#pragma once

#include "Commands.h"

#include "db/Database.h"

#include <QList>
#include <QString>

namespace quorvane::tool {

// One user of the demo data set.
struct DemoUser {
    QString id;
    QString name;
    QString role;  // as the role is called on the user-account screen
    bool handling;
    bool verify;
    bool system;
};

const QList<DemoUser>& DemoUsers();

// A random password of lowercase letters and digits from libsodium's generator.
QString RandomPassword(int length);

// What the demo data set holds, for the report after loading it.
QString DemoDataSummary();

// Writes the demo data set in one transaction and returns the users' credentials.
QList<Credential> WriteDemoData(Database& db);

}  // namespace quorvane::tool
