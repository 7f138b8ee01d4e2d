#include "documents/rules/VoucherRenderer.h"

#include "core/Failure.h"
#include "documents/rules/FontFaces.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QRectF>
#include <QStringList>
#include <QTextBoundaryFinder>
#include <QTextLayout>

using namespace Qt::StringLiterals;

namespace quorvane {
namespace {

const QString kSource = u"VoucherRenderer"_s;
const QString kCheckBoxName = u"txtTicketCheck"_s;
constexpr qint64 kCheckCodeLimit = 10'000'000'000'000;  // 13 digits

QString CheckCodeText(qint64 checkCode) {
    if (checkCode < 0 || checkCode >= kCheckCodeLimit) {
        throw Failure(0,
                      u"票券檢查碼 "_s + QString::number(checkCode) +
                          u" 不是 13 位數字，無法列印此票券。\n請確認票券資料是否正確。"_s,
                      kSource);
    }
    return u"%1"_s.arg(checkCode, 13, 10, QLatin1Char('0'));
}

QFont BoxFont(const Font& font) {
    QFont result(font.face);
    result.setPointSizeF(font.points);
    result.setBold(font.bold);
    result.setItalic(font.italic);
    result.setUnderline(font.underline);
    return result;
}

// Lays the paragraphs of `text` out in lines `lineLength` long, one line every `pitch` downward
// from the origin, the font's line centred in each exact-height line, and draws them.
void DrawLines(QPainter& painter, const QString& text, const QFont& font, double lineLength,
               double pitch) {
    const QFontMetricsF metrics(font, painter.device());
    const double baseline = (pitch - metrics.ascent() - metrics.descent()) / 2 + metrics.ascent();
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    double top = 0;
    for (const QString& paragraph : text.split(u'\n')) {
        QTextLayout layout(paragraph, font, painter.device());
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(lineLength);
            line.setPosition(QPointF(0, top + baseline - line.ascent()));
            top += pitch;
        }
        layout.endLayout();
        layout.draw(&painter, QPointF(0, 0));
    }
}

// Chinese, Japanese and Korean characters and full-width forms stand upright in vertical text;
// other letters lie on their side.
bool Upright(const QString& grapheme) {
    const char32_t first = grapheme.toUcs4().value(0);
    switch (QChar::script(first)) {
        case QChar::Script_Han:
        case QChar::Script_Hiragana:
        case QChar::Script_Katakana:
        case QChar::Script_Hangul:
        case QChar::Script_Bopomofo:
            return true;
        default:
            return (first >= 0x3000 && first <= 0x303F) || (first >= 0xFF00 && first <= 0xFFEF);
    }
}

// The pieces a vertical column is filled with: each upright character alone, the other
// letters in words (spaces alone) laid on their side.
QStringList ColumnPieces(const QString& paragraph) {
    QStringList pieces;
    bool extendable = false;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, paragraph);
    for (qsizetype start = 0, end = finder.toNextBoundary(); end != -1;
         start = end, end = finder.toNextBoundary()) {
        const QString grapheme = paragraph.mid(start, end - start);
        const bool word = !Upright(grapheme) && !grapheme.at(0).isSpace();
        if (word && extendable) {
            pieces.last() += grapheme;
        } else {
            pieces.append(grapheme);
        }
        extendable = word;
    }
    return pieces;
}

// Vertical text as LibreOffice draws East Asian vertical and stacked boxes: columns `pitch`
// apart from the box's right edge leftward, filled top to bottom with upright characters one em
// each and other words turned a quarter turn clockwise; a new column when the column is full or
// a paragraph ends.
void DrawColumns(QPainter& painter, const QString& text, const QFont& font, const QRectF& box,
                 double pitch, double em) {
    painter.setFont(font);
    const QFontMetricsF metrics(font, painter.device());
    const double sidewaysBaseline = (metrics.ascent() - metrics.descent()) / 2;
    int column = 0;
    for (const QString& paragraph : text.split(u'\n')) {
        double top = 0;
        for (const QString& piece : ColumnPieces(paragraph)) {
            const bool upright = Upright(piece);
            const double advance = upright ? em : metrics.horizontalAdvance(piece);
            if (top > 0 && top + advance > box.height()) {
                ++column;
                top = 0;
            }
            const double left = box.right() - (column + 1) * pitch;
            if (upright) {
                painter.drawText(QRectF(left, box.top() + top, pitch, em), Qt::AlignCenter, piece);
            } else {
                painter.save();
                painter.translate(left + pitch / 2, box.top() + top);
                painter.rotate(90);
                painter.drawText(QPointF(0, sidewaysBaseline), piece);
                painter.restore();
            }
            top += advance;
        }
        ++column;
    }
}

}  // namespace

VoucherRenderer::VoucherRenderer(const QString& templatePath)
    : boxes_(ReadTextBoxes(templatePath)) {}

void VoucherRenderer::render(QPaintDevice& device, qint64 checkCode) const {
    QPainter painter(&device);
    render(painter, checkCode);
}

void VoucherRenderer::render(QPainter& painter, qint64 checkCode) const {
    const QString code = CheckCodeText(checkCode);
    InstallFaceSubstitutions();
    const QPaintDevice* device = painter.device();
    const double xPerEmu = device->logicalDpiX() / 25.4 / kEmuPerMillimetre;
    const double yPerEmu = device->logicalDpiY() / 25.4 / kEmuPerMillimetre;
    // Fonts are sized in points through the device's vertical resolution; line pitches too.
    const double unitsPerPoint = device->logicalDpiY() / 72.0;
    painter.save();
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(Qt::black);
    for (const TextBox& box : boxes_) {
        const QString text = box.name == kCheckBoxName ? code : box.text;
        const QRectF rect(box.left * xPerEmu, box.top * yPerEmu, box.width * xPerEmu,
                          box.height * yPerEmu);
        const QFont font = BoxFont(box.font);
        const double pitch = box.lineSpacingPoints * unitsPerPoint;
        painter.save();
        switch (box.direction) {
            case TextDirection::Horizontal:
                painter.translate(rect.topLeft());
                DrawLines(painter, text, font, rect.width(), pitch);
                break;
            case TextDirection::Downward:
                // Turned a quarter turn clockwise: lines run down the box, the first at its
                // right edge.
                painter.translate(rect.topRight());
                painter.rotate(90);
                DrawLines(painter, text, font, rect.height(), pitch);
                break;
            case TextDirection::Upward:
                painter.translate(rect.bottomLeft());
                painter.rotate(-90);
                DrawLines(painter, text, font, rect.height(), pitch);
                break;
            case TextDirection::EastAsianVertical:
            case TextDirection::Stacked:
                DrawColumns(painter, text, font, rect, pitch, box.font.points * unitsPerPoint);
                break;
        }
        painter.restore();
    }
    painter.restore();
}

}  // namespace quorvane
