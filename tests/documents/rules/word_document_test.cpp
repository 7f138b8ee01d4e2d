#include "documents/rules/WordDocument.h"

#include "core/Failure.h"
#include "documents/rules/ZipPackage.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

using namespace Qt::StringLiterals;

namespace quorvane {
namespace {

std::string Text(const QString& text) {
    return text.toStdString();
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << Text(path);
    return file.readAll();
}

TextBox Box(const QString& name, const QString& text) {
    TextBox box;
    box.name = name;
    box.text = text;
    box.left = MillimetresToEmu(10);
    box.top = MillimetresToEmu(20);
    box.width = MillimetresToEmu(50);
    box.height = MillimetresToEmu(8);
    box.font = Font{u"新細明體"_s, 10, false, false, false};
    return box;
}

// A document with a little of everything the builders put in one: page block, body text,
// a table holding a picture, a page header.
WordDocument LetterWithBoxes(const QList<TextBox>& boxes) {
    WordDocument document;
    document.page = PageSetup{210, 297, false, 22.2, 25.4, 30, 30, 15, 17.5};
    Paragraph title;
    title.alignment = Alignment::Centre;
    title.content.append(TextRun{u"禮 卷 票 樣 確 認 書"_s, Font{u"新細明體"_s, 24}});
    document.body.append(title);
    Table table;
    table.preferredWidthPoints = 18.4 * kPointsPerCentimetre;
    table.indentPoints = -1.5 * kPointsPerCentimetre;
    Paragraph picture;
    picture.content.append(
        Picture{QByteArray("\xff\xd8\xff\xe0 not really a jpeg"), 510.25, 198.45});
    table.rows = {{TableCell{{title}}}, {TableCell{{picture}}}};
    document.body.append(table);
    Paragraph header;
    header.alignment = Alignment::Right;
    header.content.append(TextRun{u"編號：A123-001"_s, Font{{}, 12, true}});
    document.header.append(header);
    document.textBoxes = boxes;
    return document;
}

// ---------------------------------------------------------------------------------------------
// Text boxes come back from the file as they were written.

TEST(WordDocument, TextBoxesComeBackWithNameTextFontPlaceAndDirection) {
    QString longText;
    for (int index = 0; longText.size() < 10000; ++index) {
        longText += u"票卷使用說明第"_s + QString::number(index) + u"項。"_s;
    }
    longText.truncate(10000);

    struct Case {
        TextBox box;
        QString expectedText;
    };
    std::vector<Case> cases;
    {
        TextBox box = Box(u"txtTicketTitle"_s, u"第一行\r\n第二行\n第三行"_s);
        box.font = Font{u"標楷體"_s, 26, true, false, false};
        box.direction = TextDirection::Downward;
        box.lineSpacingPoints = 28;
        box.left = MillimetresToEmu(52);
        box.top = MillimetresToEmu(20);
        box.width = MillimetresToEmu(8);
        box.height = MillimetresToEmu(60);
        cases.push_back({box, u"第一行\n第二行\n第三行"_s});
    }
    {
        TextBox box = Box(u"txtAddressWeb"_s, u"https://example.com/?a=1&b=\"2\"<3>'4'"_s);
        box.font = Font{u"新細明體"_s, 8, false, true, false};
        box.direction = TextDirection::Upward;
        cases.push_back({box, box.text});
    }
    {
        TextBox box = Box(u"txtTicketNote"_s, longText);
        box.direction = TextDirection::EastAsianVertical;
        box.lineSpacingPoints = 10.5;
        cases.push_back({box, longText});
    }
    {
        TextBox box = Box(u"txtTicketDate"_s, u"  2024/01/01～2025/02/01\t止  "_s);
        box.direction = TextDirection::Stacked;
        cases.push_back({box, box.text});
    }
    {
        TextBox box = Box(u"txtTicketCheck"_s, u"0000000000000"_s);
        box.font = Font{u"Arial"_s, 10.5, true, true, false};
        box.left = MillimetresToEmu(130.25);
        box.top = 1;
        cases.push_back({box, box.text});
    }
    {
        TextBox box = Box(u"txtNoVAT"_s, u"\n\n空行之間\n"_s);
        cases.push_back({box, box.text});
    }
    cases.push_back({Box(u"txtNameCEO"_s, QString()), QString()});

    QList<TextBox> boxes;
    for (const Case& c : cases) {
        boxes.append(c.box);
    }
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    for (const QString& name : {u"round-trip.docx"_s, u"round-trip.dotx"_s}) {
        SCOPED_TRACE(Text(name));
        const QString path = folder.filePath(name);
        WriteWordFile(LetterWithBoxes(boxes), path);
        const QList<TextBox> read = ReadTextBoxes(path);
        ASSERT_EQ(read.size(), static_cast<qsizetype>(cases.size()));
        for (std::size_t index = 0; index < cases.size(); ++index) {
            const TextBox& expected = cases[index].box;
            const TextBox& actual = read[static_cast<qsizetype>(index)];
            SCOPED_TRACE(Text(expected.name));
            EXPECT_EQ(Text(actual.name), Text(expected.name));
            EXPECT_EQ(Text(actual.text), Text(cases[index].expectedText));
            EXPECT_EQ(actual.left, expected.left);
            EXPECT_EQ(actual.top, expected.top);
            EXPECT_EQ(actual.width, expected.width);
            EXPECT_EQ(actual.height, expected.height);
            EXPECT_EQ(actual.direction, expected.direction);
            EXPECT_DOUBLE_EQ(actual.lineSpacingPoints, expected.lineSpacingPoints);
            EXPECT_EQ(Text(actual.font.face), Text(expected.font.face));
            EXPECT_DOUBLE_EQ(actual.font.points, expected.font.points);
            EXPECT_EQ(actual.font.bold, expected.font.bold);
            EXPECT_EQ(actual.font.italic, expected.font.italic);
        }
    }
}

TEST(WordDocument, PositionsConvertBetweenMillimetresAndEmu) {
    EXPECT_EQ(MillimetresToEmu(1), 36000);
    EXPECT_EQ(MillimetresToEmu(52.5), 1890000);
    EXPECT_DOUBLE_EQ(EmuToMillimetres(MillimetresToEmu(-1.25)), -1.25);
    // One centimetre handed over in points, as the builders compute it.
    EXPECT_EQ(std::llround(kPointsPerCentimetre * kEmuPerPoint), 360000);
}

// ---------------------------------------------------------------------------------------------
// The package holds what Word needs to open it.

TEST(WordDocument, PackageDeclaresItsKindPartsAndPictures) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    // The kind follows the extension, whatever its case.
    for (const auto& [name, mainType] :
         {std::pair{u"letter.docx"_s, "wordprocessingml.document.main+xml"},
          std::pair{u"票卷範本-A1.DOTX"_s, "wordprocessingml.template.main+xml"}}) {
        SCOPED_TRACE(Text(name));
        const QString path = folder.filePath(name);
        WriteWordFile(LetterWithBoxes({Box(u"txtTicketName"_s, u"商品"_s)}), path);
        const QHash<QString, QByteArray> parts = UnzipEntries(ReadAll(path), path);
        const QByteArray types = parts.value(u"[Content_Types].xml"_s);
        EXPECT_TRUE(types.contains(mainType)) << types.constData();
        EXPECT_TRUE(types.contains("PartName=\"/word/header1.xml\"")) << types.constData();
        for (const char* part :
             {"_rels/.rels", "word/_rels/document.xml.rels", "word/styles.xml", "word/settings.xml",
              "word/fontTable.xml", "word/header1.xml", "word/media/image1.jpeg"}) {
            EXPECT_TRUE(parts.contains(QString::fromLatin1(part))) << part;
        }
        // Every part is well-formed XML, and the main part refers only to relationships the
        // package defines.
        const QByteArray relationships = parts.value(u"word/_rels/document.xml.rels"_s);
        for (auto it = parts.cbegin(); it != parts.cend(); ++it) {
            if (!it.key().endsWith(u".xml"_s) && !it.key().endsWith(u".rels"_s)) {
                continue;
            }
            QXmlStreamReader xml(it.value());
            while (!xml.atEnd()) {
                xml.readNext();
                for (const QXmlStreamAttribute& attribute : xml.attributes()) {
                    if (attribute.qualifiedName() == u"r:id" ||
                        attribute.qualifiedName() == u"r:embed") {
                        EXPECT_TRUE(relationships.contains(
                            (u"Id=\""_s + attribute.value().toString() + u'"').toUtf8()))
                            << Text(attribute.value().toString());
                    }
                }
            }
            EXPECT_FALSE(xml.hasError()) << Text(it.key()) << ": " << Text(xml.errorString());
        }
        const QByteArray main = parts.value(u"word/document.xml"_s);
        EXPECT_TRUE(main.contains("w:eastAsia=\"新細明體\""));
        EXPECT_TRUE(
            main.contains("<wps:bodyPr rot=\"0\" vert=\"horz\" wrap=\"square\" lIns=\"0\" "
                          "tIns=\"0\" rIns=\"0\" bIns=\"0\""));
        EXPECT_TRUE(main.contains("<v:textbox inset=\"0,0,0,0\">"));
    }
}

// ---------------------------------------------------------------------------------------------
// Text directions.

TEST(TextDirection, OrientationNumbersMapToTheFilesVerticalKinds) {
    struct Case {
        int orientation;
        TextDirection direction;
        const char* vert;
    };
    const std::vector<Case> cases = {
        {0, TextDirection::Horizontal, "horz"},     {1, TextDirection::EastAsianVertical, "eaVert"},
        {2, TextDirection::Upward, "vert270"},      {3, TextDirection::Downward, "vert"},
        {5, TextDirection::Stacked, "wordArtVert"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.orientation);
        EXPECT_EQ(TextDirectionFromOrientation(c.orientation), c.direction);
        EXPECT_EQ(Text(VertAttribute(c.direction)), c.vert);
    }
    for (const int unknown : {-1, 4, 6, 99}) {
        try {
            TextDirectionFromOrientation(unknown);
            ADD_FAILURE() << "no failure for " << unknown;
        } catch (const Failure& failure) {
            EXPECT_TRUE(failure.description().contains(QString::number(unknown)));
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Writing replaces a file only when the new one is whole.

QString DescriptionOfFailure(const std::function<void()>& action) {
    try {
        action();
    } catch (const Failure& failure) {
        return failure.description();
    }
    ADD_FAILURE() << "no failure";
    return {};
}

TEST(WordDocument, AFailedWriteLeavesTheOldFileAndNoTemporaryFile) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(u"票卷範本-A123-001.dotx"_s);
    WriteWordFile(LetterWithBoxes({Box(u"txtTicketName"_s, u"舊商品"_s)}), path);
    const QByteArray old = ReadAll(path);

    // A picture that cannot be loaded fails the generation before anything is written.
    const QString missingPicture = folder.filePath(u"票卷圖檔(正面).jpg"_s);
    EXPECT_TRUE(DescriptionOfFailure([&] {
                    WordDocument document = LetterWithBoxes({Box(u"txtTicketName"_s, u"新"_s)});
                    Paragraph paragraph;
                    paragraph.content.append(LoadPicture(missingPicture, 10, 10));
                    document.body.append(paragraph);
                    WriteWordFile(document, path);
                }).contains(QDir::toNativeSeparators(missingPicture)));

    // The target cannot be replaced (a folder stands in its place): the failure names it.
    const QString blocked = folder.filePath(u"blocked.docx"_s);
    ASSERT_TRUE(QDir().mkdir(blocked));
    EXPECT_TRUE(DescriptionOfFailure([&] {
                    WriteWordFile(LetterWithBoxes({}), blocked);
                }).contains(QDir::toNativeSeparators(blocked)));
    EXPECT_TRUE(QFileInfo(blocked).isDir());

    EXPECT_EQ(ReadAll(path), old);
    EXPECT_EQ(ReadTextBoxes(path).first().text, u"舊商品"_s);
    const QStringList left = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(left, QStringList{u"票卷範本-A123-001.dotx"_s}) << Text(left.join(u", "_s));
}

TEST(WordDocument, AMissingFolderIsAFailureThatNamesIt) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString missing = folder.filePath(u"票卷列印範本檔"_s);
    const QString description =
        DescriptionOfFailure([&] { WriteWordFile(LetterWithBoxes({}), missing + u"/x.dotx"_s); });
    EXPECT_TRUE(description.contains(u"找不到存放文件的資料夾"_s)) << Text(description);
    EXPECT_TRUE(description.contains(QDir::toNativeSeparators(missing))) << Text(description);
    EXPECT_FALSE(QFileInfo::exists(missing));
}

TEST(WordDocument, AFolderThatCannotBeWrittenIsAFailureThatNamesIt) {
    // A folder nobody may create files in, whoever runs the test.
    const QString locked = u"/proc"_s;
    const QString description =
        DescriptionOfFailure([&] { WriteWordFile(LetterWithBoxes({}), locked + u"/x.docx"_s); });
    EXPECT_TRUE(description.contains(u"無法寫入文件"_s)) << Text(description);
    EXPECT_TRUE(description.contains(QDir::toNativeSeparators(locked))) << Text(description);
}

// ---------------------------------------------------------------------------------------------
// Reading what is not a whole Word file.

TEST(ReadTextBoxes, MissingOrDamagedFilesAreFailuresThatNameTheFile) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    };
    const QByteArray types = "<Types/>";
    struct Case {
        const char* what;
        QString path;
    };
    const std::vector<Case> cases = {
        {"no file", folder.filePath(u"none.docx"_s)},
        {"not a zip archive", write(u"text.docx"_s, "just some text")},
        {"no main part", write(u"empty.docx"_s, ZipEntries({{u"[Content_Types].xml"_s, types}}))},
        {"main part cut short",
         write(u"cut.docx"_s,
               ZipEntries({{u"word/document.xml"_s, "<w:document xmlns:w=\"x\"><w:body><w:p>"}}))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString description = DescriptionOfFailure([&] { ReadTextBoxes(c.path); });
        EXPECT_TRUE(description.contains(QDir::toNativeSeparators(c.path))) << Text(description);
    }
}

TEST(ReadTextBoxes, ADocumentWithoutBoxesHasNone) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(u"plain.docx"_s);
    WriteWordFile(LetterWithBoxes({}), path);
    EXPECT_TRUE(ReadTextBoxes(path).isEmpty());
}

}  // namespace
}  // namespace quorvane
