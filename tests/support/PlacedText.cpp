#include "support/PlacedText.h"

#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace quorvane::test {
namespace {

constexpr double kPointsPerMillimetre = 72.0 / 25.4;

}  // namespace

QString RunTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(240000)) << program.toStdString();
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

PdfPage FirstPdfPage(const QString& pdf) {
    const QString html =
        RunTool(u"pdftotext"_s, {u"-bbox"_s, u"-f"_s, u"1"_s, u"-l"_s, u"1"_s, pdf, u"-"_s});
    PdfPage page;
    static const QRegularExpression pageSize(u"<page width=\"([\\d.]+)\" height=\"([\\d.]+)\""_s);
    const QRegularExpressionMatch size = pageSize.match(html);
    EXPECT_TRUE(size.hasMatch()) << html.toStdString();
    page.widthMillimetres = size.captured(1).toDouble() / kPointsPerMillimetre;
    page.heightMillimetres = size.captured(2).toDouble() / kPointsPerMillimetre;
    static const QRegularExpression word(
        u"<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">"
        "([^<]*)</word>"_s);
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        page.words.push_back({match.captured(5),
                              match.captured(1).toDouble() / kPointsPerMillimetre,
                              match.captured(2).toDouble() / kPointsPerMillimetre,
                              match.captured(3).toDouble() / kPointsPerMillimetre,
                              match.captured(4).toDouble() / kPointsPerMillimetre});
    }
    return page;
}

TextBox MarkedBox(const QString& marker, double left, double top, double width, double height,
                  TextDirection direction, const QString& face, double points) {
    TextBox box;
    box.name = u"txt"_s + marker;
    box.left = MillimetresToEmu(left);
    box.top = MillimetresToEmu(top);
    box.width = MillimetresToEmu(width);
    box.height = MillimetresToEmu(height);
    box.direction = direction;
    box.font = Font{face, points};
    box.lineSpacingPoints = points + 2;
    box.text = marker + u" 票卷文字"_s;
    return box;
}

QList<TextBox> VoucherProbeBoxes() {
    return {
        MarkedBox(u"Down"_s, 52, 20, 12, 150, TextDirection::Downward, u"標楷體"_s, 20),
        MarkedBox(u"Flat"_s, 5, 20, 40, 10, TextDirection::Horizontal, u"新細明體"_s, 12),
        MarkedBox(u"Up"_s, 20, 60, 10, 80, TextDirection::Upward, u"新細明體"_s, 12),
        MarkedBox(u"East"_s, 38, 60, 10, 80, TextDirection::EastAsianVertical, u"新細明體"_s, 12),
        MarkedBox(u"Stack"_s, 5, 150, 10, 25, TextDirection::Stacked, u"新細明體"_s, 9),
    };
}

void ExpectPlaced(const PdfPage& page, const TextBox& box) {
    SCOPED_TRACE(box.name.toStdString());
    const QString marker = box.text.section(u' ', 0, 0);
    const auto found = std::find_if(page.words.begin(), page.words.end(),
                                    [&](const PdfWord& word) { return word.text == marker; });
    ASSERT_NE(found, page.words.end()) << "not rendered";
    const PdfWord& word = *found;
    const double tolerance = kPlacementToleranceMillimetres;
    const double left = EmuToMillimetres(box.left);
    const double top = EmuToMillimetres(box.top);
    const double right = left + EmuToMillimetres(box.width);
    const double bottom = top + EmuToMillimetres(box.height);
    switch (box.direction) {
        case TextDirection::Horizontal:
            EXPECT_NEAR(word.left, left, tolerance);
            EXPECT_NEAR(word.top, top, tolerance);
            break;
        case TextDirection::Downward:
        case TextDirection::EastAsianVertical:
        case TextDirection::Stacked:
            // Lines run down the page, the first along the box's right side.
            EXPECT_NEAR(word.top, top, tolerance);
            EXPECT_NEAR(word.right, right, tolerance);
            break;
        case TextDirection::Upward:
            // Lines run up the page, the first along the box's left side.
            EXPECT_NEAR(word.bottom, bottom, tolerance);
            EXPECT_NEAR(word.left, left, tolerance);
            break;
    }
    EXPECT_GE(word.left, left - tolerance);
    EXPECT_GE(word.top, top - tolerance);
    EXPECT_LE(word.right, right + tolerance);
    EXPECT_LE(word.bottom, bottom + tolerance);
}

}  // namespace quorvane::test
