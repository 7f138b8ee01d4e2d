#pragma once

#include <QString>

namespace quorvane {

// The folder that holds the program's executable, without a trailing "/".
QString ProgramFolder();

// The document folders used when the settings hold none: below the program's folder, each
// ending with "/" so that a file name can follow directly.
QString DefaultPathTicketTemplate();
QString DefaultPathTicketForm();

}  // namespace quorvane
