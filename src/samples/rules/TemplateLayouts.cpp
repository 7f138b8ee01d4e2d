#include "samples/rules/TemplateLayouts.h"

#include "core/Failure.h"
#include "db/FieldReaders.h"
#include "db/TableReader.h"

#include <QSqlQuery>
#include <QSqlRecord>

#include <cmath>
#include <limits>

namespace quorvane {

namespace {

constexpr double kLargestMeasure = 9999;  // four characters in the screen's fields
constexpr int kLargestPoints = std::numeric_limits<qint16>::max();

// A number typed by the clerk, or nullopt when the text is none (or not finite).
std::optional<double> TypedNumber(const QString& text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

QString Refused(const QString& label, const QString& text, const QString& rule) {
    return QStringLiteral("儲存失敗\r\n\r\n「") + label + QStringLiteral("」的內容「") + text +
           QStringLiteral("」不正確：") + rule;
}

}  // namespace

QStringList LayoutPointSizes() {
    return {QStringLiteral("8"),  QStringLiteral("9"),  QStringLiteral("10"), QStringLiteral("11"),
            QStringLiteral("12"), QStringLiteral("14"), QStringLiteral("16"), QStringLiteral("18"),
            QStringLiteral("22"), QStringLiteral("24"), QStringLiteral("26"), QStringLiteral("28")};
}

int WholePoints(double points) {
    // The default floating-point rounding mode rounds halves to the even neighbour.
    return static_cast<int>(std::nearbyint(points));
}

ShapeLayoutCheck CheckShapeLayout(const QString& nameShape, const ShapeLayoutEntry& entry) {
    ShapeLayout layout;
    layout.NameShape = nameShape.trimmed();
    struct Measure {
        const QString& text;
        const char* label;
        bool positive;
        float* target;
    };
    const Measure measures[] = {
        {entry.ShapeLeft, "水平位置(公厘)", false, &layout.ShapeLeft},
        {entry.ShapeTop, "垂直位置(公厘)", false, &layout.ShapeTop},
        {entry.ShapeWidth, "方塊寬度(公厘)", true, &layout.ShapeWidth},
        {entry.ShapeHeight, "方塊高度(公厘)", true, &layout.ShapeHeight},
    };
    for (const Measure& measure : measures) {
        const std::optional<double> value = TypedNumber(measure.text);
        const bool inRange =
            value && *value <= kLargestMeasure && (measure.positive ? *value > 0 : *value >= 0);
        if (!inRange) {
            return {std::nullopt,
                    Refused(QString::fromUtf8(measure.label), measure.text,
                            measure.positive ? QStringLiteral("請輸入大於 0、不超過 9999 的數字")
                                             : QStringLiteral("請輸入 0 到 9999 的數字"))};
        }
        *measure.target = static_cast<float>(*value);
    }
    struct Points {
        const QString& text;
        const char* label;
        qint16* target;
    };
    const Points points[] = {
        {entry.ParagraphLineSpacing, "段落行高(pt)", &layout.ParagraphLineSpacing},
        {entry.FontSize, "字體大小", &layout.FontSize},
    };
    for (const Points& size : points) {
        const std::optional<double> value = TypedNumber(size.text);
        if (!value || *value < 1 || *value > kLargestPoints || WholePoints(*value) < 1) {
            return {std::nullopt, Refused(QString::fromUtf8(size.label), size.text,
                                          QStringLiteral("請輸入 1 到 32767 的點數"))};
        }
        *size.target = static_cast<qint16>(WholePoints(*value));
    }
    layout.TextOrientation = entry.TextOrientation;
    layout.FontName = entry.FontName;
    layout.FontBold = entry.FontBold;
    layout.FontItalic = entry.FontItalic;
    return {layout, QString()};
}

Statement TemplateLayouts::listQuery() {
    return Statement(
        QStringLiteral("SELECT DescriptionShape, NameShape FROM ST_TicketPrintTemplate "
                       "WHERE (IdTemplate = %1) ORDER BY OrderShape ASC")
            .arg(Layout));
}

QList<TextOrientationChoice> TemplateLayouts::orientations() {
    QList<TextOrientationChoice> choices;
    TableReader rows(db_,
                     Statement(QStringLiteral("SELECT Value, NameDisplay FROM "
                                              "VBA_MsoTextOrientation ORDER BY OrderDisplay")));
    while (rows.next()) {
        choices.append({FieldInteger(rows.value(0)), FieldText(rows.value(1))});
    }
    return choices;
}

std::optional<ShapeLayout> TemplateLayouts::read(const QString& nameShape) {
    UnitOfWork unit(db_);
    QSqlQuery query =
        db_.Query(Statement(QStringLiteral("SELECT * FROM ST_TicketPrintTemplate "
                                           "WHERE (NameShape = ?) AND (IdTemplate = ?)"),
                            {nameShape.trimmed(), Layout}));
    if (!query.next()) {
        return std::nullopt;
    }
    const QSqlRecord row = query.record();
    ShapeLayout layout;
    layout.NameShape = FieldText(row, QStringLiteral("NameShape"));
    layout.DescriptionShape = FieldText(row, QStringLiteral("DescriptionShape"));
    layout.ShapeLeft = FieldSingle(row, QStringLiteral("ShapeLeft"));
    layout.ShapeTop = FieldSingle(row, QStringLiteral("ShapeTop"));
    layout.ShapeWidth = FieldSingle(row, QStringLiteral("ShapeWidth"));
    layout.ShapeHeight = FieldSingle(row, QStringLiteral("ShapeHeight"));
    layout.TextOrientation = FieldInteger(row, QStringLiteral("TextOrientation"));
    layout.ParagraphLineSpacing = FieldInteger(row, QStringLiteral("ParagraphLineSpacing"));
    layout.FontName = FieldText(row, QStringLiteral("FontName"));
    layout.FontSize = FieldInteger(row, QStringLiteral("FontSize"));
    layout.FontBold = FieldBoolean(row, QStringLiteral("FontBold"));
    layout.FontItalic = FieldBoolean(row, QStringLiteral("FontItalic"));
    return layout;
}

void TemplateLayouts::save(const ShapeLayout& layout) {
    Transaction transaction(db_);
    const qint32 rows = db_.ConnExecute(Statement(
        QStringLiteral("UPDATE ST_TicketPrintTemplate SET ShapeHeight = ?, ShapeWidth = ?, "
                       "ShapeTop = ?, ShapeLeft = ?, TextOrientation = ?, "
                       "ParagraphLineSpacing = ?, FontSize = ?, FontName = ?, FontBold = ?, "
                       "FontItalic = ? WHERE (NameShape = ?) AND (IdTemplate = ?)"),
        {layout.ShapeHeight, layout.ShapeWidth, layout.ShapeTop, layout.ShapeLeft,
         layout.TextOrientation, layout.ParagraphLineSpacing, layout.FontSize, layout.FontName,
         layout.FontBold ? 1 : 0, layout.FontItalic ? 1 : 0, layout.NameShape, Layout}));
    if (rows != 1) {
        throw Failure(
            0,
            QStringLiteral("找不到要更新的範本格式（可能已被其他使用者刪除）：") + layout.NameShape,
            QStringLiteral("modDB"));
    }
    transaction.commit();
}

}  // namespace quorvane
