#include "documents/rules/WordDocument.h"
#include "support/PlacedText.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// Documents as a user sees them: LibreOffice turns the generated files into PDF, and the
// words of each text box must land where the box was placed.

namespace quorvane {
namespace {

using test::ExpectPlaced;
using test::FirstPdfPage;
using test::MarkedBox;
using test::RunTool;
using test::VoucherProbeBoxes;

TEST(LibreOfficeRendering, TextBoxesLandWhereTheyWerePlaced) {
    const QString soffice = QStandardPaths::findExecutable(u"soffice"_s);
    ASSERT_FALSE(soffice.isEmpty()) << "LibreOffice (libreoffice-writer-nogui) is not installed";
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());

    // The voucher template page, 70 x 180 mm, with a box in each direction.
    WordDocument voucher;
    voucher.page = PageSetup{70, 180, false, 10, 5, 0, 0, 0, 0};
    voucher.textBoxes = VoucherProbeBoxes();
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
        MarkedBox(u"Title"_s, 27, 74, 160, 12, TextDirection::Horizontal, u"標楷體"_s, 26),
        MarkedBox(u"Note"_s, 27, 98, 100, 22, TextDirection::Horizontal, u"新細明體"_s, 8),
        MarkedBox(u"Check"_s, 147, 133, 45, 6, TextDirection::Horizontal, u"新細明體"_s, 10),
    };
    const QString letterPath = folder.filePath(u"letter.docx"_s);
    WriteWordFile(letter, letterPath);

    // One conversion for both files, with a profile of its own.
    const QString profile = QUrl::fromLocalFile(folder.filePath(u"profile"_s)).toString();
    RunTool(soffice, {u"--headless"_s, u"-env:UserInstallation="_s + profile, u"--convert-to"_s,
                      u"pdf"_s, u"--outdir"_s, folder.path(), voucherPath, letterPath});

    const test::PdfPage voucherPage = FirstPdfPage(folder.filePath(u"voucher.pdf"_s));
    EXPECT_NEAR(voucherPage.widthMillimetres, 70, 0.1);
    EXPECT_NEAR(voucherPage.heightMillimetres, 180, 0.1);
    for (const TextBox& box : voucher.textBoxes) {
        ExpectPlaced(voucherPage, box);
    }
    const test::PdfPage letterPage = FirstPdfPage(folder.filePath(u"letter.pdf"_s));
    EXPECT_NEAR(letterPage.widthMillimetres, 210, 0.1);
    EXPECT_NEAR(letterPage.heightMillimetres, 297, 0.1);
    for (const TextBox& box : letter.textBoxes) {
        ExpectPlaced(letterPage, box);
    }
}

}  // namespace
}  // namespace quorvane
