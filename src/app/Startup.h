#pragma once

#include "core/Settings.h"
#include "db/ConnectionTarget.h"
#include "ui/Dialogs.h"

#include <QString>

namespace quorvane {

// The embedded database of this user, in the user's data folder.
QString DefaultDatabaseFile();

// The built-in server host: the embedded database, so a fresh machine starts without any
// configuration.
QString DefaultServerHost();

// A stored System/ServerIP wins over the built-in default, even when it is empty.
QString ServerHostFor(const SettingsStore& settings);

// What start-up prepares for the rest of the run.
struct StartupState {
    QString serverHost;
    ConnectionTarget target;
};

// Reads the server host with the database timeouts, and the print offsets. With an empty server
// host it warns, shows the system settings screen and returns false: the program then ends without
// a login. A settings file that cannot be read is reported and also ends the program.
bool InitializeSystem(const SettingsStore& settings, Dialogs& dialogs, StartupState& state);

}  // namespace quorvane
