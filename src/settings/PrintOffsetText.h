#pragma once

#include <QString>

#include <optional>

namespace quorvane {

// The print offsets as the client settings screen shows and takes them, in millimetres.

// The shortest decimal text that reads back as exactly `offset` ("1.5", "-2", "0.1"); zero,
// also a negative zero, shows as "0".
QString PrintOffsetText(float offset);

// The offsets a field may hold: what start-up reads back as the same number. The text,
// without surrounding spaces, must be a finite number from -99 to 999 (the field holds at most
// three characters); anything else, the empty text included, is refused.
constexpr float LowestPrintOffset = -99.0f;
constexpr float HighestPrintOffset = 999.0f;

// The number a typed offset stands for, or nullopt when it is refused (see above).
std::optional<float> ParsePrintOffset(const QString& text);

}  // namespace quorvane
