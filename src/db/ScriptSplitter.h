#pragma once

#include <QString>
#include <QStringList>

namespace quorvane {

// Splits an SQL script into its statements at the semicolons that end them. A semicolon
// inside a '...' string, a "..." identifier, a -- or /* */ comment or a PostgreSQL
// dollar-quoted body ($$ ... $$, $tag$ ... $tag$) does not end a statement. Comments outside
// strings and bodies are dropped; statements that hold nothing else are left out. Throws
// Failure when a string, identifier, comment or body is not closed before the end.
//
// Not for SQLite triggers, whose BEGIN ... END bodies hold unquoted semicolons.
QStringList SplitSqlScript(const QString& script);

}  // namespace quorvane
