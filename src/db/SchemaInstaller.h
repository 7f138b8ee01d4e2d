#pragma once

#include "db/Database.h"

namespace quorvane {

// Creates the database objects from the schema script of the backend (compiled into the
// program) and loads the installation data, in one transaction; records the schema version.
class SchemaInstaller {
public:
    static constexpr int kSchemaVersion = 1;

    // Throws Failure when the database already holds tables (unless `force`, which drops the
    // program's own objects first) or when a statement fails; nothing is left half-created.
    static void Install(Database& db, bool force = false);

    // True when the database holds any table at all.
    static bool HasTables(Database& db);

    // The recorded schema version, 0 when none is recorded.
    static int InstalledVersion(Database& db);
};

}  // namespace quorvane
