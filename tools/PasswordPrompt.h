#pragma once

#include <QString>

namespace quorvane::tool {

// Reads a new password: on a terminal it is asked twice without echo and both answers must
// agree; otherwise one line is read from standard input. Throws Failure when nothing can be
// read or the two answers differ. The text is returned as typed (no trimming here).
QString ReadNewPassword();

}  // namespace quorvane::tool
