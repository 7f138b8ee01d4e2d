#pragma once

#include "core/CurrentUser.h"
#include "core/Settings.h"
#include "db/Database.h"

#include <QString>

#include <optional>

namespace quorvane {

// Checks a typed id and password against BF_User. The id is matched without regard to
// letter case, after trimming spaces; the password, trimmed, must match the stored one
// exactly (a stored hash or the old encoded form). On success returns the user as stored and
// remembers the stored id as the workstation's last login id; otherwise returns nullopt with
// the message for the clerk. A database failure is raised to the caller.
std::optional<User> LoginCheck(Database& db, const SettingsStore& settings, const QString& typedId,
                               const QString& typedPassword, QString& message);

}  // namespace quorvane
