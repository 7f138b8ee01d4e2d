#pragma once

#include "core/Failure.h"
#include "core/Settings.h"
#include "db/ConnectionTarget.h"
#include "db/Database.h"
#include "ui/Dialogs.h"

#include <QString>

#include <memory>

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

// How start-up ended: ready for the login, ended because no server is set (the user was shown
// the system settings screen, and the next start uses what was stored there), or failed.
enum class StartupOutcome { Ready, Unconfigured, Failed };

// Reads the server host with the database timeouts, and the print offsets. With an empty server
// host it warns, shows the system settings screen and ends the start (Unconfigured). A settings
// file that cannot be read is reported and fails the start.
StartupOutcome InitializeSystem(const SettingsStore& settings, Dialogs& dialogs,
                                StartupState& state);

// The message that ends the program when its database cannot be used: the failure's
// description (which names the file or server and what to do) and that the program ends.
QString DatabaseUnavailableText(const Failure& failure);

// The program's database, opened once before the login so that a database that cannot be
// used is reported at start-up. Null (after the message) when it cannot be opened.
std::unique_ptr<Database> OpenDatabase(const ConnectionTarget& target, Dialogs& dialogs);

// Whether the database holds the schema version this program works with. Otherwise says so
// (naming quorvane-db upgrade for an older database) and returns false: the program then ends
// without a login. A database failure is raised to the caller.
bool CheckDatabaseVersion(Database& db, Dialogs& dialogs);

}  // namespace quorvane
