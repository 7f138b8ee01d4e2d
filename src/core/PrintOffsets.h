#pragma once

namespace quorvane {

// The four print offsets in millimetres, read once at start-up: voucher template left and
// top, sample confirmation document left and top.
struct PrintOffsetValues {
    float templateLeft = 0;
    float templateTop = 0;
    float ticketFormLeft = 0;
    float ticketFormTop = 0;
};

const PrintOffsetValues& PrintOffsets();
void SetPrintOffsets(const PrintOffsetValues& offsets);

}  // namespace quorvane
