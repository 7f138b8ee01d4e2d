#include "documents/rules/WordDocument.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;

// Documents as a user sees them: LibreOffice turns the generated files into PDF, and the
// words of each text box must land where the box was placed.

namespace quorvane {
namespace {

constexpr double kPointsPerMillimetre = 72.0 / 25.4;
constexpr double kToleranceMillimetres = 1.0;

struct Word {
    QString text;
    double left, top, right, bottom;  // millimetres from the page's top left corner
};

struct RenderedPage {
    double widthMillimetres = 0;
    double heightMillimetres = 0;
    std::vector<Word> words;
};

QString RunTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(240000)) << program.toStdString();
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The first page of `pdf` with its words, as pdftotext finds them.
RenderedPage FirstPage(const QString& pdf) {
    const QString html =
        RunTool(u"pdftotext"_s, {u"-bbox"_s, u"-f"_s, u"1"_s, u"-l"_s, u"1"_s, pdf, u"-"_s});
    RenderedPage page;
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

TextBox Box(const QString& marker, double left, double top, double width, double height,
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
    // The marker is a word of its own; the Chinese text after it shows the face is found.
    box.text = marker + u" 票卷文字"_s;
    return box;
}

// The marker of `box` starts at the corner where its text begins, and stays inside the box.
void ExpectPlaced(const RenderedPage& page, const TextBox& box) {
    SCOPED_TRACE(box.name.toStdString());
    const QString marker = box.text.section(u' ', 0, 0);
    const auto found = std::find_if(page.words.begin(), page.words.end(),
                                    [&](const Word& word) { return word.text == marker; });
    ASSERT_NE(found, page.words.end()) << "not rendered";
    const Word& word = *found;
    const double left = EmuToMillimetres(box.left);
    const double top = EmuToMillimetres(box.top);
    const double right = left + EmuToMillimetres(box.width);
    const double bottom = top + EmuToMillimetres(box.height);
    switch (box.direction) {
        case TextDirection::Horizontal:
            EXPECT_NEAR(word.left, left, kToleranceMillimetres);
            EXPECT_NEAR(word.top, top, kToleranceMillimetres);
            break;
        case TextDirection::Downward:
        case TextDirection::EastAsianVertical:
        case TextDirection::Stacked:
            // Lines run down the page, the first along the box's right side.
            EXPECT_NEAR(word.top, top, kToleranceMillimetres);
            EXPECT_NEAR(word.right, right, kToleranceMillimetres);
            break;
        case TextDirection::Upward:
            // Lines run up the page, the first along the box's left side.
            EXPECT_NEAR(word.bottom, bottom, kToleranceMillimetres);
            EXPECT_NEAR(word.left, left, kToleranceMillimetres);
            break;
    }
    EXPECT_GE(word.left, left - kToleranceMillimetres);
    EXPECT_GE(word.top, top - kToleranceMillimetres);
    EXPECT_LE(word.right, right + kToleranceMillimetres);
    EXPECT_LE(word.bottom, bottom + kToleranceMillimetres);
}

TEST(LibreOfficeRendering, TextBoxesLandWhereTheyWerePlaced) {
    const QString soffice = QStandardPaths::findExecutable(u"soffice"_s);
    ASSERT_FALSE(soffice.isEmpty()) << "LibreOffice (libreoffice-writer-nogui) is not installed";
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());

    // The voucher template page, 70 x 180 mm, with a box in each direction.
    WordDocument voucher;
    voucher.page = PageSetup{70, 180, false, 10, 5, 0, 0, 0, 0};
    voucher.textBoxes = {
        Box(u"Down"_s, 52, 20, 12, 150, TextDirection::Downward, u"標楷體"_s, 20),
        Box(u"Flat"_s, 5, 20, 40, 10, TextDirection::Horizontal, u"新細明體"_s, 12),
        Box(u"Up"_s, 20, 60, 10, 80, TextDirection::Upward, u"新細明體"_s, 12),
        Box(u"East"_s, 38, 60, 10, 80, TextDirection::EastAsianVertical, u"新細明體"_s, 12),
        Box(u"Stack"_s, 5, 150, 10, 25, TextDirection::Stacked, u"新細明體"_s, 9),
    };
    const QString voucherPath = folder.filePath(u"voucher.dotx"_s);
    WriteWordFile(voucher, voucherPath);

    // An A4 letter: body text, a table and a header under horizontal boxes.
    WordDocument letter;
    letter.page = PageSetup{210, 297, false, 22.2, 25.4, 30, 30, 15, 17.5};
    Paragraph title;
    title.alignment = Alignment::Centre;
    title.content.append(TextRun{u"禮 卷 票 樣 確 認 書"_s, Font{u"新細明體"_s, 24}});
    Table table;
    table.preferredWidthPoints = 18.4 * kPointsPerCentimetre;
    table.indentPoints = -1.5 * kPointsPerCentimetre;
    table.rows = {{TableCell{{title}}}, {TableCell{}}};
    letter.body = {title, table};
    Paragraph header;
    header.alignment = Alignment::Right;
    header.content.append(TextRun{u"編號：A123-001"_s, Font{{}, 12, true}});
    letter.header = {header};
    letter.textBoxes = {
        Box(u"Title"_s, 27, 74, 160, 12, TextDirection::Horizontal, u"標楷體"_s, 26),
        Box(u"Note"_s, 27, 98, 100, 22, TextDirection::Horizontal, u"新細明體"_s, 8),
        Box(u"Check"_s, 147, 133, 45, 6, TextDirection::Horizontal, u"新細明體"_s, 10),
    };
    const QString letterPath = folder.filePath(u"letter.docx"_s);
    WriteWordFile(letter, letterPath);

    // One conversion for both files, with a profile of its own.
    const QString profile = QUrl::fromLocalFile(folder.filePath(u"profile"_s)).toString();
    RunTool(soffice, {u"--headless"_s, u"-env:UserInstallation="_s + profile, u"--convert-to"_s,
                      u"pdf"_s, u"--outdir"_s, folder.path(), voucherPath, letterPath});

    const RenderedPage voucherPage = FirstPage(folder.filePath(u"voucher.pdf"_s));
    EXPECT_NEAR(voucherPage.widthMillimetres, 70, 0.1);
    EXPECT_NEAR(voucherPage.heightMillimetres, 180, 0.1);
    for (const TextBox& box : voucher.textBoxes) {
        ExpectPlaced(voucherPage, box);
    }
    const RenderedPage letterPage = FirstPage(folder.filePath(u"letter.pdf"_s));
    EXPECT_NEAR(letterPage.widthMillimetres, 210, 0.1);
    EXPECT_NEAR(letterPage.heightMillimetres, 297, 0.1);
    for (const TextBox& box : letter.textBoxes) {
        ExpectPlaced(letterPage, box);
    }
}

}  // namespace
}  // namespace quorvane
