#include "settings/PrintOffsetText.h"

#include <charconv>
#include <cmath>

namespace quorvane {

QString PrintOffsetText(float offset) {
    if (offset == 0.0f) {
        return QStringLiteral("0");
    }
    // std::to_chars without a format gives the shortest text that reads back as the same float
    // (not the same double, which would show 0.1f as 0.10000000149011612).
    char buffer[64];
    const std::to_chars_result result = std::to_chars(buffer, buffer + sizeof buffer, offset);
    if (result.ec != std::errc()) {
        return QString::number(double(offset));
    }
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

std::optional<float> ParsePrintOffset(const QString& text) {
    // The same reading the settings store applies at start-up.
    bool ok = false;
    const float value = text.trimmed().toFloat(&ok);
    if (!ok || !std::isfinite(value) || value < LowestPrintOffset || value > HighestPrintOffset) {
        return std::nullopt;
    }
    return value;
}

}  // namespace quorvane
