#pragma once

#include "db/Database.h"

namespace quorvane {

// The guarded statement runner: runs one statement in its own unit of work and routes a
// failure to the exception dialog (Retry runs it again, Ignore and Exit give up). Returns the
// rows affected, or -1 for an empty statement or one that did not run. `options` is only shown
// in the failure's location text. The hourglass shows through the program's wait indicator
// (InstallWaitIndicator).
qint32 ExecuteNoQuery(Database& db, const Statement& statement, int options = 0);

}  // namespace quorvane
