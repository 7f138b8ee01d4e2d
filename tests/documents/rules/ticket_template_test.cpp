#include "documents/rules/TicketTemplates.h"

#include "core/DocumentFolders.h"
#include "core/Failure.h"
#include "support/Fixtures.h"
#include "support/ScriptedFailures.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace quorvane {
namespace {

// Positions written in EMU come back within a hundredth of a millimetre.
constexpr double kTolerance = 0.01;

const QString kContract = u"A123"_s;

class TicketTemplateTest : public test::BackendTest {
protected:
    void SetUp() override {
        test::BackendTest::SetUp();
        ASSERT_TRUE(folder_.isValid());
        test::AddIssuer(db(), kContract, u"晨曦百貨股份有限公司"_s, u"12345678"_s);
        db().ConnExecute(
            Statement(u"UPDATE BF_Customer SET NameCEO = ?, AddressCompany = ?, TelCompany = ?, "
                      u"AddressWeb = ? WHERE NoContract = ?"_s,
                      {u"林董事"_s, u"臺北市中山區南京東路一段1號"_s, u"02-2345-6789"_s,
                       u"https://www.example.com.tw"_s, kContract}));
        sample_ = test::AddSample(db(), kContract, 1, 1000);
        db().ConnExecute(Statement(
            u"UPDATE OR_TicketForm SET TitleTicket = ?, NameTicket = ?, NoteTicket = ?, "
            u"DateBeginning = ?, DateEnd = ? WHERE NoTicketForm = ?"_s,
            {u"晨曦百貨\r\n禮券"_s, u"商品禮券"_s, u"一、本券不找零。\r\n二、請妥善保管。"_s,
             u"2024/01/01"_s, u"2025/02/01"_s, sample_}));
    }

    QString path() const { return folder_.filePath(u"範本/"_s) + TicketTemplateFileName(sample_); }

    void setLayout(const QString& name, double left, double top, double width, double height) {
        db().ConnExecute(
            Statement(u"UPDATE ST_TicketPrintTemplate SET ShapeLeft = ?, "
                      u"ShapeTop = ?, ShapeWidth = ?, ShapeHeight = ? "
                      u"WHERE IdTemplate = 0 AND NameShape = ?"_s,
                      {left, top, width, height, name}));
    }

    // Moves the box's row to another layout number, where layout 0 does not see it.
    void moveLayout(const QString& name, int from, int to) {
        db().ConnExecute(
            Statement(u"UPDATE ST_TicketPrintTemplate SET IdTemplate = ? "
                      u"WHERE IdTemplate = ? AND NameShape = ?"_s,
                      {to, from, name}));
    }

    static std::optional<TextBox> Find(const QList<TextBox>& boxes, const QString& name) {
        for (const TextBox& box : boxes) {
            if (box.name == name) {
                return box;
            }
        }
        return std::nullopt;
    }

    QTemporaryDir folder_;
    QString sample_;
};

TEST_P(TicketTemplateTest, TemplateHoldsTheSampleAndIssuerTextsInLayoutOrder) {
    const TicketTemplateTexts texts = StoredTicketTemplateTexts(db(), sample_);
    const TicketTemplateOutcome outcome =
        CreateTicketDocumentsTemplate(db(), path(), texts, PrintOffsetValues{});
    EXPECT_TRUE(outcome.built) << outcome.message.toStdString();

    const QList<TextBox> boxes = ReadTextBoxes(path());
    const std::pair<QString, QString> expected[] = {
        {u"txtTicketTitle"_s, u"晨曦百貨\n禮券"_s},
        {u"txtAddressWeb"_s, u"https://www.example.com.tw"_s},
        {u"txtTicketName"_s, u"商品禮券"_s},
        {u"txtTicketAmount"_s, u"1000"_s},
        {u"txtNameCompany"_s, u"晨曦百貨股份有限公司"_s},
        {u"txtNoVAT"_s, u"12345678"_s},
        {u"txtNameCEO"_s, u"林董事"_s},
        {u"txtAddressCompany"_s, u"臺北市中山區南京東路一段1號"_s},
        {u"txtTelCompany"_s, u"02-2345-6789"_s},
        {u"txtTicketNote"_s, u"一、本券不找零。\n二、請妥善保管。"_s},
        {u"txtTicketDate"_s, u"2024/01/01～2025/02/01"_s},
        {u"txtTicketCheck"_s, u"0000000000000"_s},
    };
    ASSERT_EQ(boxes.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(boxes[int(i)].name, expected[i].first);
        EXPECT_EQ(boxes[int(i)].text, expected[i].second) << expected[i].first.toStdString();
    }

    // Fonts, spacing and direction come from the layout rows as installed.
    const TextBox& title = boxes[0];
    EXPECT_EQ(title.font.face, u"標楷體"_s);
    EXPECT_EQ(title.font.points, 26);
    EXPECT_TRUE(title.font.bold);
    EXPECT_FALSE(title.font.italic);
    EXPECT_EQ(title.lineSpacingPoints, 28);
    EXPECT_EQ(title.direction, TextDirection::Downward);
    const TextBox& company = boxes[4];
    EXPECT_EQ(company.font.face, u"新細明體"_s);
    EXPECT_EQ(company.font.points, 11);
    EXPECT_FALSE(company.font.bold);
    EXPECT_EQ(company.lineSpacingPoints, 13);
}

TEST_P(TicketTemplateTest, TemplateFollowsTheRowsFontAndDirection) {
    db().ConnExecute(Statement(
        u"UPDATE ST_TicketPrintTemplate SET TextOrientation = 2, FontName = ?, FontSize = 14, "
        u"FontBold = 0, FontItalic = 1, ParagraphLineSpacing = 16 "
        u"WHERE IdTemplate = 0 AND NameShape = 'txtTicketName'"_s,
        {u"Noto Sans CJK TC"_s}));
    ASSERT_TRUE(CreateTicketDocumentsTemplate(
                    db(), path(), StoredTicketTemplateTexts(db(), sample_), PrintOffsetValues{})
                    .built);
    const std::optional<TextBox> name = Find(ReadTextBoxes(path()), u"txtTicketName"_s);
    ASSERT_TRUE(name);
    EXPECT_EQ(name->direction, TextDirection::Upward);
    EXPECT_EQ(name->font.face, u"Noto Sans CJK TC"_s);
    EXPECT_EQ(name->font.points, 14);
    EXPECT_FALSE(name->font.bold);
    EXPECT_TRUE(name->font.italic);
    EXPECT_EQ(name->lineSpacingPoints, 16);
}

// A layout row L 20, T 10, W 60, H 8 on the voucher, turned onto the template page.
TEST_P(TicketTemplateTest, TemplateBoxesLieWhereTheTurnedVoucherPutsThem) {
    struct Case {
        float offsetLeft;
        float offsetTop;
        double left;
        double top;
    };
    const Case cases[] = {
        {0, 0, 52, 20},
        {2, -1, 51, 22},
        {-3, 4.5f, 56.5, 17},
    };
    setLayout(u"txtTicketName"_s, 20, 10, 60, 8);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "offsets " << c.offsetLeft << ", " << c.offsetTop);
        PrintOffsetValues offsets;
        offsets.templateLeft = c.offsetLeft;
        offsets.templateTop = c.offsetTop;
        // The confirmation letter's offsets do not move the template.
        offsets.ticketFormLeft = 7;
        offsets.ticketFormTop = 9;
        ASSERT_TRUE(CreateTicketDocumentsTemplate(db(), path(),
                                                  StoredTicketTemplateTexts(db(), sample_), offsets)
                        .built);
        const std::optional<TextBox> box = Find(ReadTextBoxes(path()), u"txtTicketName"_s);
        ASSERT_TRUE(box);
        EXPECT_NEAR(EmuToMillimetres(box->left), c.left, kTolerance);
        EXPECT_NEAR(EmuToMillimetres(box->top), c.top, kTolerance);
        EXPECT_NEAR(EmuToMillimetres(box->width), 8, kTolerance);
        EXPECT_NEAR(EmuToMillimetres(box->height), 60, kTolerance);
    }
}

TEST_P(TicketTemplateTest, ConfirmationBoxLiesOverTheFrontImageAndIsHorizontal) {
    setLayout(u"txtTicketName"_s, 20, 10, 60, 8);
    db().ConnExecute(
        Statement(u"UPDATE ST_TicketPrintTemplate SET TextOrientation = 3 "
                  u"WHERE IdTemplate = 0 AND NameShape = 'txtTicketName'"_s));
    PrintOffsetValues offsets;
    offsets.templateLeft = 5;
    offsets.templateTop = 5;
    offsets.ticketFormLeft = 1.5f;
    offsets.ticketFormTop = -2;
    WordDocument document;
    ASSERT_TRUE(CreateTicketTemplateShape(db(), document, u"txtTicketName"_s, u"商品"_s,
                                          ShapeMode::Confirmation, offsets));
    ASSERT_EQ(document.textBoxes.size(), 1);
    const TextBox& box = document.textBoxes[0];
    EXPECT_EQ(box.text, u"商品"_s);
    EXPECT_EQ(box.direction, TextDirection::Horizontal);
    EXPECT_NEAR(EmuToMillimetres(box.left), 20 + 17 + 1.5, kTolerance);
    EXPECT_NEAR(EmuToMillimetres(box.top), 10 + 71 - 2, kTolerance);
    EXPECT_NEAR(EmuToMillimetres(box.width), 60, kTolerance);
    EXPECT_NEAR(EmuToMillimetres(box.height), 8, kTolerance);
}

TEST_P(TicketTemplateTest, MissingLayoutRowLeavesItsBoxOutOrFailsForTheIssuerName) {
    struct Case {
        QString missing;
        bool built;
    };
    const Case cases[] = {
        {u"txtTicketTitle"_s, true},
        {u"txtTicketAmount"_s, true},
        {u"txtNoVAT"_s, true},
        {u"txtNameCompany"_s, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.missing.toStdString());
        moveLayout(c.missing, 0, 1);
        const TicketTemplateOutcome outcome = CreateTicketDocumentsTemplate(
            db(), path(), StoredTicketTemplateTexts(db(), sample_), PrintOffsetValues{});
        moveLayout(c.missing, 1, 0);

        EXPECT_EQ(outcome.built, c.built);
        EXPECT_EQ(outcome.message.isEmpty(), c.built);
        if (!c.built) {
            EXPECT_TRUE(outcome.message.contains(c.missing)) << outcome.message.toStdString();
        }
        // The template is written either way, without the box whose row is missing.
        const QList<TextBox> boxes = ReadTextBoxes(path());
        EXPECT_EQ(boxes.size(), 11);
        EXPECT_FALSE(Find(boxes, c.missing));
        EXPECT_TRUE(Find(boxes, u"txtTicketCheck"_s));
    }
}

TEST_P(TicketTemplateTest, UnwritableFolderIsAFailureAndWritesNothing) {
    // A file stands where the template folder should be created.
    const QString blocker = folder_.filePath(u"blocker"_s);
    QFile file(blocker);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QString target = blocker + u"/範本/"_s + TicketTemplateFileName(sample_);
    try {
        (void)CreateTicketDocumentsTemplate(db(), target, StoredTicketTemplateTexts(db(), sample_),
                                            PrintOffsetValues{});
        FAIL() << "writing under a file succeeded";
    } catch (const Failure& failure) {
        EXPECT_TRUE(failure.description().contains(u"無法建立票卷範本資料夾"_s))
            << failure.description().toStdString();
        EXPECT_TRUE(failure.description().contains(QDir::toNativeSeparators(blocker)));
    }
    EXPECT_FALSE(QFileInfo::exists(target));
    EXPECT_TRUE(QFileInfo(blocker).isFile());
}

TEST_P(TicketTemplateTest, SampleWithoutIssuerIsNotFound) {
    for (const QString& sample : {u"NONE-001"_s, QString()}) {
        try {
            (void)StoredTicketTemplateTexts(db(), sample);
            ADD_FAILURE() << "found sample " << sample.toStdString();
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.description(), u"找不到票樣資料"_s);
        }
    }
}

TEST_P(TicketTemplateTest, FailedLayoutReadIsShownWithTheBuildersLocation) {
    test::ScriptedFailures failures;
    failures.expect(Answer::Ignore, u"modKVD_TicketPrint.CreateTicketTemplateShape"_s);
    db().ConnExecute(
        Statement(u"UPDATE ST_TicketPrintTemplate SET TextOrientation = 4 "
                  u"WHERE IdTemplate = 0 AND NameShape = 'txtTicketName'"_s));
    WordDocument document;
    EXPECT_FALSE(CreateTicketTemplateShape(db(), document, u"txtTicketName"_s, u"x"_s,
                                           ShapeMode::Template, PrintOffsetValues{}));
    EXPECT_TRUE(document.textBoxes.isEmpty());
}

TEST(TicketTemplateNames, FolderAndFileNames) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    SettingsStore settings(folder.filePath(u"settings.ini"_s));
    EXPECT_EQ(TicketTemplateFolder(settings), DefaultPathTicketTemplate());
    ASSERT_TRUE(settings.SetPathTicketTemplate(u"/srv/範本"_s));
    EXPECT_EQ(TicketTemplateFolder(settings), u"/srv/範本/"_s);
    ASSERT_TRUE(settings.SetPathTicketTemplate(u"/srv/範本/"_s));
    EXPECT_EQ(TicketTemplateFolder(settings), u"/srv/範本/"_s);
    EXPECT_EQ(TicketTemplateName(u"A123-001"_s), u"票卷範本-A123-001"_s);
    EXPECT_EQ(TicketTemplateFileName(u"A123-001"_s), u"票卷範本-A123-001.dotx"_s);
}

QUORVANE_INSTANTIATE_BACKENDS(TicketTemplateTest);

}  // namespace
}  // namespace quorvane
