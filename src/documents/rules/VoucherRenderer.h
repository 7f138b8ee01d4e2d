#pragma once

#include "documents/rules/WordDocument.h"

#include <QList>
#include <QString>

class QPaintDevice;
class QPainter;

namespace quorvane {

// Draws vouchers from a voucher template (.dotx): every text box of the template at its place
// on the 70 × 180 mm portrait template page, in its face, size, weight, slant, underline, line
// spacing and text direction, words wrapped inside the box. The box named "txtTicketCheck" shows
// the voucher's check code. The template is read once; each voucher is then one render call, so
// previews, proofs and the printed vouchers come from the same drawing.
class VoucherRenderer {
public:
    static constexpr double kPageWidthMillimetres = 70;
    static constexpr double kPageHeightMillimetres = 180;

    // Reads the template's text boxes; a missing or damaged file is a Failure naming it.
    explicit VoucherRenderer(const QString& templatePath);

    const QList<TextBox>& boxes() const { return boxes_; }

    // Draws the voucher with `checkCode` (13 digits, zero-filled) with the page's top left corner
    // at the painter's origin, millimetres mapped through the painted device's resolution. A
    // code that does not fit in 13 digits is a Failure.
    void render(QPainter& painter, qint64 checkCode) const;
    // Begins a painter on `device` (a fresh image, PDF page or printer page) and draws on it.
    void render(QPaintDevice& device, qint64 checkCode) const;

private:
    QList<TextBox> boxes_;
};

}  // namespace quorvane
