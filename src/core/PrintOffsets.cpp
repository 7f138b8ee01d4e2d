#include "core/PrintOffsets.h"

namespace quorvane {

namespace {
PrintOffsetValues& storage() {
    static PrintOffsetValues offsets;
    return offsets;
}
}  // namespace

const PrintOffsetValues& PrintOffsets() {
    return storage();
}

void SetPrintOffsets(const PrintOffsetValues& offsets) {
    storage() = offsets;
}

}  // namespace quorvane
