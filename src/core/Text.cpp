#include "core/Text.h"

namespace quorvane {

QString TrimSpaces(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' ')) {
        ++begin;
    }
    while (end > begin && text.at(end - 1) == QLatin1Char(' ')) {
        --end;
    }
    return text.mid(begin, end - begin);
}

}  // namespace quorvane
