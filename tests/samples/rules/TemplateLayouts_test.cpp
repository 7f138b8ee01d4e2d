#include "samples/rules/TemplateLayouts.h"

#include "core/Failure.h"
#include "support/Fixtures.h"
#include "support/TestDatabase.h"

#include <QSqlQuery>

#include <gtest/gtest.h>

namespace quorvane {
namespace {

using test::StoredRow;

ShapeLayoutEntry GoodEntry() {
    ShapeLayoutEntry entry;
    entry.ShapeLeft = QStringLiteral("25");
    entry.ShapeTop = QStringLiteral("16.5");
    entry.ShapeWidth = QStringLiteral("100");
    entry.ShapeHeight = QStringLiteral("9");
    entry.TextOrientation = 1;
    entry.ParagraphLineSpacing = QStringLiteral("20");
    entry.FontName = QStringLiteral("新細明體");
    entry.FontSize = QStringLiteral("20");
    entry.FontBold = true;
    entry.FontItalic = false;
    return entry;
}

TEST(WholePointsTest, HalvesGoToTheEvenNeighbour) {
    const struct {
        double points;
        int expected;
    } cases[] = {{10.5, 10}, {11.5, 12}, {12.5, 12}, {9.4, 9}, {9.6, 10}, {0.4, 0}, {0, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(WholePoints(c.points), c.expected) << c.points;
    }
}

TEST(LayoutPointSizesTest, TwelveSizesWithoutTwenty) {
    EXPECT_EQ(LayoutPointSizes(),
              (QStringList{QStringLiteral("8"), QStringLiteral("9"), QStringLiteral("10"),
                           QStringLiteral("11"), QStringLiteral("12"), QStringLiteral("14"),
                           QStringLiteral("16"), QStringLiteral("18"), QStringLiteral("22"),
                           QStringLiteral("24"), QStringLiteral("26"), QStringLiteral("28")}));
}

TEST(CheckShapeLayoutTest, AcceptsNumbersAndConvertsThem) {
    ShapeLayoutEntry entry = GoodEntry();
    entry.ShapeLeft = QStringLiteral(" 0 ");
    entry.FontSize = QStringLiteral("10.5");
    const ShapeLayoutCheck check = CheckShapeLayout(QStringLiteral(" txtTicketName "), entry);
    ASSERT_TRUE(check.layout) << check.refusal.toStdString();
    EXPECT_EQ(check.layout->NameShape, QStringLiteral("txtTicketName"));
    EXPECT_FLOAT_EQ(check.layout->ShapeLeft, 0.0F);
    EXPECT_FLOAT_EQ(check.layout->ShapeTop, 16.5F);
    EXPECT_FLOAT_EQ(check.layout->ShapeWidth, 100.0F);
    EXPECT_FLOAT_EQ(check.layout->ShapeHeight, 9.0F);
    EXPECT_EQ(check.layout->TextOrientation, 1);
    EXPECT_EQ(check.layout->ParagraphLineSpacing, 20);
    EXPECT_EQ(check.layout->FontSize, 10) << "a typed half point rounds as the dialog's does";
    EXPECT_EQ(check.layout->FontName, QStringLiteral("新細明體"));
    EXPECT_TRUE(check.layout->FontBold);
    EXPECT_FALSE(check.layout->FontItalic);
}

TEST(CheckShapeLayoutTest, RefusesWhatTheColumnsCannotHoldNamingTheField) {
    const struct {
        QString ShapeLayoutEntry::*field;
        const char* text;
        const char* label;
    } cases[] = {
        {&ShapeLayoutEntry::ShapeLeft, "abc", "水平位置(公厘)"},
        {&ShapeLayoutEntry::ShapeLeft, "", "水平位置(公厘)"},
        {&ShapeLayoutEntry::ShapeLeft, "-1", "水平位置(公厘)"},
        {&ShapeLayoutEntry::ShapeTop, "1e99", "垂直位置(公厘)"},
        {&ShapeLayoutEntry::ShapeTop, "nan", "垂直位置(公厘)"},
        {&ShapeLayoutEntry::ShapeWidth, "0", "方塊寬度(公厘)"},
        {&ShapeLayoutEntry::ShapeHeight, "10000", "方塊高度(公厘)"},
        {&ShapeLayoutEntry::ParagraphLineSpacing, "0", "段落行高(pt)"},
        {&ShapeLayoutEntry::ParagraphLineSpacing, "40000", "段落行高(pt)"},
        {&ShapeLayoutEntry::FontSize, "x", "字體大小"},
        {&ShapeLayoutEntry::FontSize, "0.4", "字體大小"},
        {&ShapeLayoutEntry::FontSize, "", "字體大小"},
    };
    for (const auto& c : cases) {
        ShapeLayoutEntry entry = GoodEntry();
        entry.*c.field = QString::fromUtf8(c.text);
        const ShapeLayoutCheck check = CheckShapeLayout(QStringLiteral("txtTicketName"), entry);
        EXPECT_FALSE(check.layout) << c.text;
        EXPECT_TRUE(check.refusal.startsWith(QStringLiteral("儲存失敗\r\n\r\n「") +
                                             QString::fromUtf8(c.label) + QStringLiteral("」")))
            << check.refusal.toStdString();
        EXPECT_TRUE(check.refusal.contains(QStringLiteral("「") + QString::fromUtf8(c.text) +
                                           QStringLiteral("」")))
            << check.refusal.toStdString();
    }
}

class TemplateLayoutsTest : public test::BackendTest {};

TEST_P(TemplateLayoutsTest, ReadsTheInstalledBoxesOfLayoutZeroOnly) {
    db().ConnExecute(Statement(QStringLiteral(
        "INSERT INTO ST_TicketPrintTemplate (IdTemplate, NameShape, DescriptionShape, "
        "OrderShape, ShapeLeft) VALUES (1, 'txtTicketTitle', '其他版面', 0, 99)")));
    TemplateLayouts layouts(db());
    const std::optional<ShapeLayout> title = layouts.read(QStringLiteral(" txtTicketTitle "));
    ASSERT_TRUE(title);
    EXPECT_EQ(title->DescriptionShape, QStringLiteral("票卷標題"));
    EXPECT_FLOAT_EQ(title->ShapeLeft, 10.0F);
    EXPECT_FLOAT_EQ(title->ShapeTop, 3.0F);
    EXPECT_FLOAT_EQ(title->ShapeWidth, 160.0F);
    EXPECT_FLOAT_EQ(title->ShapeHeight, 12.0F);
    EXPECT_EQ(title->ParagraphLineSpacing, 28);
    EXPECT_EQ(title->FontName, QStringLiteral("標楷體"));
    EXPECT_EQ(title->FontSize, 26);
    EXPECT_TRUE(title->FontBold);
    EXPECT_FALSE(title->FontItalic);
    EXPECT_FALSE(layouts.read(QStringLiteral("txtNoSuchBox")));

    QStringList names;
    {
        UnitOfWork unit(db());
        QSqlQuery rows = db().Query(TemplateLayouts::listQuery());
        while (rows.next()) {
            names.append(rows.value(1).toString());
        }
    }
    EXPECT_EQ(names,
              (QStringList{QStringLiteral("txtTicketTitle"), QStringLiteral("txtAddressWeb"),
                           QStringLiteral("txtTicketName"), QStringLiteral("txtTicketAmount"),
                           QStringLiteral("txtNameCompany"), QStringLiteral("txtNoVAT"),
                           QStringLiteral("txtNameCEO"), QStringLiteral("txtAddressCompany"),
                           QStringLiteral("txtTelCompany"), QStringLiteral("txtTicketNote"),
                           QStringLiteral("txtTicketDate"), QStringLiteral("txtTicketCheck")}));
}

TEST_P(TemplateLayoutsTest, NullColumnsReadAsZeroEmptyAndFalse) {
    db().ConnExecute(Statement(QStringLiteral(
        "INSERT INTO ST_TicketPrintTemplate (IdTemplate, NameShape) VALUES (0, 'txtBare')")));
    const std::optional<ShapeLayout> bare = TemplateLayouts(db()).read(QStringLiteral("txtBare"));
    ASSERT_TRUE(bare);
    EXPECT_FLOAT_EQ(bare->ShapeLeft, 0.0F);
    EXPECT_EQ(bare->ParagraphLineSpacing, 0);
    EXPECT_EQ(bare->FontSize, 0);
    EXPECT_EQ(bare->FontName, QString());
    EXPECT_FALSE(bare->FontBold);
}

TEST_P(TemplateLayoutsTest, OrientationsComeInDisplayOrder) {
    const QList<TextOrientationChoice> choices = TemplateLayouts(db()).orientations();
    ASSERT_EQ(choices.size(), 4);
    EXPECT_EQ(choices.front().value, 0);
    EXPECT_EQ(choices.front().name, QStringLiteral("水平"));
    EXPECT_EQ(choices.back().value, 3);
}

TEST_P(TemplateLayoutsTest, SaveStoresTheBoxAndLeavesTheOthers) {
    TemplateLayouts layouts(db());
    ShapeLayoutCheck check = CheckShapeLayout(QStringLiteral("txtTicketName"), GoodEntry());
    ASSERT_TRUE(check.layout);
    layouts.save(*check.layout);

    const std::optional<ShapeLayout> stored = layouts.read(QStringLiteral("txtTicketName"));
    ASSERT_TRUE(stored);
    EXPECT_FLOAT_EQ(stored->ShapeLeft, 25.0F);
    EXPECT_FLOAT_EQ(stored->ShapeTop, 16.5F);
    EXPECT_EQ(stored->TextOrientation, 1);
    EXPECT_EQ(stored->ParagraphLineSpacing, 20);
    EXPECT_EQ(stored->FontSize, 20);
    EXPECT_EQ(stored->FontName, QStringLiteral("新細明體"));
    EXPECT_TRUE(stored->FontBold);
    EXPECT_EQ(stored->DescriptionShape, QStringLiteral("商品名稱"));
    const std::optional<ShapeLayout> amount = layouts.read(QStringLiteral("txtTicketAmount"));
    ASSERT_TRUE(amount);
    EXPECT_FLOAT_EQ(amount->ShapeLeft, 115.0F);
}

TEST_P(TemplateLayoutsTest, SavingABoxThatIsGoneFailsAndWritesNothing) {
    ShapeLayoutCheck check = CheckShapeLayout(QStringLiteral("txtNoSuchBox"), GoodEntry());
    ASSERT_TRUE(check.layout);
    EXPECT_THROW(TemplateLayouts(db()).save(*check.layout), Failure);
    EXPECT_EQ(db().transactionDepth(), 0);
    EXPECT_EQ(test::CountRows(db(), QStringLiteral("ST_TicketPrintTemplate")), 12);
}

TEST_P(TemplateLayoutsTest, TwoWorkstationsSavingOneBoxLeaveOneWholeLayout) {
    std::unique_ptr<Database> other = scratch().connect();
    ShapeLayoutEntry first = GoodEntry();
    ShapeLayoutEntry second = GoodEntry();
    second.ShapeLeft = QStringLiteral("40");
    second.FontName = QStringLiteral("標楷體");
    second.FontSize = QStringLiteral("12");
    second.FontBold = false;
    TemplateLayouts(db()).save(*CheckShapeLayout(QStringLiteral("txtTicketName"), first).layout);
    TemplateLayouts(*other).save(*CheckShapeLayout(QStringLiteral("txtTicketName"), second).layout);

    const std::optional<ShapeLayout> stored =
        TemplateLayouts(db()).read(QStringLiteral("txtTicketName"));
    ASSERT_TRUE(stored);
    EXPECT_FLOAT_EQ(stored->ShapeLeft, 40.0F);
    EXPECT_EQ(stored->FontName, QStringLiteral("標楷體"));
    EXPECT_EQ(stored->FontSize, 12);
    EXPECT_FALSE(stored->FontBold);
}

QUORVANE_INSTANTIATE_BACKENDS(TemplateLayoutsTest);

}  // namespace
}  // namespace quorvane
