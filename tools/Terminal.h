#pragma once

#include <QString>

#include <cstdio>

namespace quorvane::tool {

// How quorvane-db talks with the administrator: its messages, and the answers it reads.

// Text from the command line, a file name or a database as it is quoted in a message: every
// control character is shown as \xNN (ESC as \x1b, a line feed as \x0a), so that no input can
// move the cursor, recolour or clear the terminal, or forge a line of output.
QString Shown(const QString& text);

// Writes one of the tool's messages. Its own line feeds and tabs are kept (the CR LF line ends
// of database messages become LF); any other control character is shown as by Shown.
void Print(std::FILE* stream, const QString& text);

// Reads a new password: on a terminal it is asked twice without echo and both answers must
// agree; otherwise one line is read from standard input. Throws Failure when nothing can be
// read or the two answers differ. The text is returned as typed (no trimming here).
QString ReadNewPassword();

// Asks before data is destroyed: prints `loss` (what would be lost) on standard error, then
// returns when `allowed` (the administrator's --destroy-data) or when the administrator types
// `name` back on the terminal. Anything else, and a standard input that is no terminal
// without `allowed`, throws Failure.
void ConfirmDestruction(const QString& loss, const QString& name, bool allowed);

}  // namespace quorvane::tool
