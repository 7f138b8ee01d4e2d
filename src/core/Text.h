#pragma once

#include <QString>

namespace quorvane {

// The text with the spaces at both ends removed; other white space is kept, as typed. Ids and
// passwords are taken this way wherever they are typed.
QString TrimSpaces(const QString& text);

}  // namespace quorvane
