#include "documents/rules/VoucherRenderer.h"

#include "core/Failure.h"
#include "support/PlacedText.h"

#include <QDir>
#include <QImage>
#include <QPageSize>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

using namespace Qt::StringLiterals;

// Vouchers drawn from a template as they will be printed: the ink of every box lands inside
// the box, in the box's direction, and the check code is written out in full where its box is.

namespace quorvane {
namespace {

constexpr int kDotsPerInch = 150;
const QString kLongLine = u"新臺幣壹仟元整禮券兌換"_s;

TextBox Box(const QString& name, QRectF millimetres, TextDirection direction, const QString& face,
            const QString& text) {
    TextBox box;
    box.name = name;
    box.left = MillimetresToEmu(millimetres.left());
    box.top = MillimetresToEmu(millimetres.top());
    box.width = MillimetresToEmu(millimetres.width());
    box.height = MillimetresToEmu(millimetres.height());
    box.direction = direction;
    box.font = Font{face, 14};
    box.lineSpacingPoints = 20;
    box.text = text;
    return box;
}

// Where each box's first (long) line and second (one character) line must show, and where no
// ink may be, as fractions of the box: lines follow the direction, the first line where the
// direction begins.
struct DirectionCase {
    TextBox box;
    QRectF longLineArea;
    QRectF shortLineArea;
    QRectF emptyArea;
};

QList<DirectionCase> DirectionCases() {
    const QString text = kLongLine + u"\n券"_s;
    return {
        {Box(u"txtTitle"_s, {5, 5, 60, 16}, TextDirection::Horizontal, u"新細明體"_s, text),
         {0, 0, 1, 0.5},
         {0, 0.5, 0.25, 0.5},
         {0.25, 0.5, 0.75, 0.5}},
        {Box(u"txtAmount"_s, {48, 30, 16, 80}, TextDirection::Downward, u"標楷體"_s, text),
         {0.5, 0, 0.5, 1},
         {0, 0, 0.5, 0.25},
         {0, 0.25, 0.5, 0.75}},
        {Box(u"txtBack"_s, {27, 30, 16, 80}, TextDirection::Upward, u"標楷體"_s, text),
         {0, 0, 0.5, 1},
         {0.5, 0.75, 0.5, 0.25},
         {0.5, 0, 0.5, 0.75}},
        {Box(u"txtNote"_s, {6, 30, 16, 80}, TextDirection::EastAsianVertical, u"新細明體"_s, text),
         {0.5, 0, 0.5, 1},
         {0, 0, 0.5, 0.25},
         {0, 0.25, 0.5, 0.75}},
    };
}

TextBox CheckBox() {
    TextBox box = Box(u"txtTicketCheck"_s, {10, 150, 50, 8}, TextDirection::Horizontal,
                      u"新細明體"_s, u"檢查碼"_s);
    box.font.points = 10;
    box.lineSpacingPoints = 12;
    return box;
}

QRectF Millimetres(const TextBox& box) {
    return {EmuToMillimetres(box.left), EmuToMillimetres(box.top), EmuToMillimetres(box.width),
            EmuToMillimetres(box.height)};
}

QRectF Part(const QRectF& whole, const QRectF& fraction) {
    return {whole.left() + fraction.left() * whole.width(),
            whole.top() + fraction.top() * whole.height(), fraction.width() * whole.width(),
            fraction.height() * whole.height()};
}

class VoucherRendererTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        WordDocument document;
        document.page.widthMillimetres = VoucherRenderer::kPageWidthMillimetres;
        document.page.heightMillimetres = VoucherRenderer::kPageHeightMillimetres;
        for (const DirectionCase& directionCase : DirectionCases()) {
            document.textBoxes.append(directionCase.box);
        }
        document.textBoxes.append(CheckBox());
        templatePath_ = folder_.filePath(u"票卷範本-A01.dotx"_s);
        WriteWordFile(document, templatePath_);
    }

    QImage RenderImage(qint64 checkCode) const {
        const double pixelsPerMillimetre = kDotsPerInch / 25.4;
        QImage image(qRound(VoucherRenderer::kPageWidthMillimetres * pixelsPerMillimetre),
                     qRound(VoucherRenderer::kPageHeightMillimetres * pixelsPerMillimetre),
                     QImage::Format_RGB32);
        image.setDotsPerMeterX(qRound(pixelsPerMillimetre * 1000));
        image.setDotsPerMeterY(qRound(pixelsPerMillimetre * 1000));
        image.fill(Qt::white);
        VoucherRenderer(templatePath_).render(image, checkCode);
        return image;
    }

    QTemporaryDir folder_;
    QString templatePath_;
};

bool Dark(const QImage& image, int x, int y) {
    return qGray(image.pixel(x, y)) < 160;
}

// The bounds, in millimetres, of the ink inside `area` (millimetres); empty when there is none.
QRectF InkBounds(const QImage& image, const QRectF& area) {
    const double pixelsPerMillimetre = kDotsPerInch / 25.4;
    const QRect pixels =
        QRectF(area.topLeft() * pixelsPerMillimetre, area.bottomRight() * pixelsPerMillimetre)
            .toRect()
            .intersected(image.rect());
    QRect bounds;
    for (int y = pixels.top(); y <= pixels.bottom(); ++y) {
        for (int x = pixels.left(); x <= pixels.right(); ++x) {
            if (Dark(image, x, y)) {
                bounds |= QRect(x, y, 1, 1);
            }
        }
    }
    if (bounds.isEmpty()) {
        return {};
    }
    return {QPointF(bounds.topLeft()) / pixelsPerMillimetre,
            QPointF(bounds.bottomRight() + QPoint(1, 1)) / pixelsPerMillimetre};
}

TEST_F(VoucherRendererTest, EachBoxIsDrawnInsideItsRectangleInItsDirection) {
    const QImage image = RenderImage(42);
    for (const DirectionCase& directionCase : DirectionCases()) {
        SCOPED_TRACE(directionCase.box.name.toStdString());
        const QRectF box = Millimetres(directionCase.box);
        const QRectF longLine = InkBounds(image, Part(box, directionCase.longLineArea));
        const QRectF shortLine = InkBounds(image, Part(box, directionCase.shortLineArea));
        ASSERT_FALSE(longLine.isEmpty());
        EXPECT_FALSE(shortLine.isEmpty());
        // The first line runs along the box's long side, well beyond the short line.
        const bool horizontal = directionCase.box.direction == TextDirection::Horizontal;
        const double length = horizontal ? longLine.width() : longLine.height();
        const double across = horizontal ? longLine.height() : longLine.width();
        EXPECT_GT(length, 0.6 * (horizontal ? box.width() : box.height()));
        EXPECT_LT(across, 8.0);
        EXPECT_TRUE(InkBounds(image, Part(box, directionCase.emptyArea)).isEmpty());
    }
}

TEST_F(VoucherRendererTest, NoInkFallsOutsideTheBoxes) {
    const QImage image = RenderImage(42);
    const double pixelsPerMillimetre = kDotsPerInch / 25.4;
    QList<QRectF> allowed;
    const VoucherRenderer renderer(templatePath_);
    for (const TextBox& box : renderer.boxes()) {
        allowed.append(Millimetres(box).adjusted(-1, -1, 1, 1));
    }
    int stray = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QPointF at = QPointF(x + 0.5, y + 0.5) / pixelsPerMillimetre;
            const bool inBox = std::any_of(allowed.cbegin(), allowed.cend(),
                                           [&](const QRectF& rect) { return rect.contains(at); });
            stray += !inBox && Dark(image, x, y);
        }
    }
    EXPECT_EQ(stray, 0);
    EXPECT_FALSE(InkBounds(image, Millimetres(CheckBox())).isEmpty());
}

TEST_F(VoucherRendererTest, CheckCodeIsWrittenInThirteenDigitsWhereItsBoxIs) {
    const QString pdf = folder_.filePath(u"voucher.pdf"_s);
    {
        QPdfWriter writer(pdf);
        writer.setPageSize(QPageSize(
            QSizeF(VoucherRenderer::kPageWidthMillimetres, VoucherRenderer::kPageHeightMillimetres),
            QPageSize::Millimeter));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        VoucherRenderer(templatePath_).render(writer, 42);
    }
    const test::PdfPage page = test::FirstPdfPage(pdf);
    const auto code = std::find_if(page.words.cbegin(), page.words.cend(), [](const auto& word) {
        return word.text == u"0000000000042"_s;
    });
    ASSERT_NE(code, page.words.cend());
    const QRectF box = Millimetres(CheckBox());
    EXPECT_NEAR(code->left, box.left(), test::kPlacementToleranceMillimetres);
    EXPECT_NEAR(code->top, box.top(), test::kPlacementToleranceMillimetres);
    // The template's own placeholder text gives way to the code.
    EXPECT_TRUE(std::none_of(page.words.cbegin(), page.words.cend(),
                             [](const auto& word) { return word.text.contains(u"檢查碼"_s); }));
    // The Windows faces the template names are drawn in the AR PL faces installed here.
    const QString fonts = test::RunTool(u"pdffonts"_s, {pdf});
    EXPECT_TRUE(fonts.contains(u"UKai"_s)) << fonts.toStdString();
    EXPECT_TRUE(fonts.contains(u"UMing"_s)) << fonts.toStdString();
}

TEST_F(VoucherRendererTest, MissingTemplateOrOverlongCodeIsAFailure) {
    const QString missing = folder_.filePath(u"票卷範本-ZZ.dotx"_s);
    try {
        VoucherRenderer renderer(missing);
        ADD_FAILURE() << "a missing template was read";
    } catch (const Failure& failure) {
        EXPECT_TRUE(failure.description().contains(QDir::toNativeSeparators(missing)))
            << failure.what();
    }
    QImage image(10, 10, QImage::Format_RGB32);
    const VoucherRenderer renderer(templatePath_);
    for (const qint64 code : {qint64(-1), qint64(10'000'000'000'000)}) {
        EXPECT_THROW(renderer.render(image, code), Failure) << code;
    }
}

// Each box's first word starts where LibreOffice starts it (the same probe boxes its rendering
// test places), so the preview and the printed voucher agree with the template as opened.
TEST(VoucherRendererPlacement, TextStartsWhereTheDirectionBeginsIt) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    WordDocument document;
    document.page = PageSetup{70, 180, false, 10, 5, 0, 0, 0, 0};
    document.textBoxes = test::VoucherProbeBoxes();
    const QString path = folder.filePath(u"probe.dotx"_s);
    WriteWordFile(document, path);
    const QString pdf = folder.filePath(u"probe.pdf"_s);
    {
        QPdfWriter writer(pdf);
        writer.setPageSize(QPageSize(QSizeF(70, 180), QPageSize::Millimeter));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        VoucherRenderer(path).render(writer, 1);
    }
    const test::PdfPage page = test::FirstPdfPage(pdf);
    for (const TextBox& box : document.textBoxes) {
        test::ExpectPlaced(page, box);
    }
}

}  // namespace
}  // namespace quorvane
