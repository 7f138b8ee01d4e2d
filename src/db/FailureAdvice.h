#pragma once

#include "db/ConnectionTarget.h"

#include <QString>

namespace quorvane {

// What a clerk can do about a failure of the database: one sentence in the clerk's words that
// says what happened and what to do next (wait and retry, check the server, call the
// administrator). Failures of a file or of the connection name the file or the server; only a
// server's failures speak of a server.
//
// `code` is the driver's native error code: the SQLSTATE on PostgreSQL, the primary or
// extended result code on SQLite. `driverText` is the driver's message; it decides where the
// driver gives no code, as libpq does for failures of the connection itself.
QString FailureAdvice(const ConnectionTarget& target, const QString& code,
                      const QString& driverText);

// The description of a database failure: the advice, then the driver's own text on the next
// line for the administrator.
QString DatabaseFailureText(const ConnectionTarget& target, const QString& code,
                            const QString& driverText);

}  // namespace quorvane
