#pragma once

#include "db/Database.h"

namespace quorvane {

// Creates the database objects from the schema script of the backend (compiled into the
// program) and loads the installation data, in one transaction; records the schema version.
// Brings a database of an older version forward with the upgrade scripts kept beside the
// schema scripts (upgrade-N.<backend>.sql takes version N-1 to N).
class SchemaInstaller {
public:
    // 2: failed logins counted per account, the account lock and the login-failure log.
    // 3: layout 0 prints its text turned with the voucher; installation settings (the trust
    // department's fax number).
    static constexpr int kSchemaVersion = 3;

    // Throws Failure when the database already holds tables (unless `force`, which drops the
    // program's own objects first) or when a statement fails; nothing is left half-created.
    static void Install(Database& db, bool force = false);

    // True when the database holds any table at all.
    static bool HasTables(Database& db);

    // The recorded schema version, 0 when none is recorded.
    static int InstalledVersion(Database& db);

    // Applies every upgrade from the installed version to kSchemaVersion in one transaction
    // and records each version reached; returns the version the database had. A database at
    // kSchemaVersion is left as it is. Throws Failure, with nothing changed, for a database
    // without a recorded version, one newer than this program, or a failed statement.
    static int Upgrade(Database& db);
};

}  // namespace quorvane
