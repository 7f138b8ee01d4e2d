#pragma once

#include "db/Database.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace quorvane {

// One text box of the voucher layout: a row of ST_TicketPrintTemplate. Geometry in
// millimetres on the voucher lying landscape (180 × 70, origin top left); sizes in points.
struct ShapeLayout {
    QString NameShape;
    QString DescriptionShape;
    float ShapeLeft = 0;
    float ShapeTop = 0;
    float ShapeWidth = 0;
    float ShapeHeight = 0;
    qint16 TextOrientation = 0;
    qint16 ParagraphLineSpacing = 0;
    QString FontName;
    qint16 FontSize = 0;
    bool FontBold = false;
    bool FontItalic = false;
};

// A text box's layout as the layout screen holds it: the numbers as typed.
struct ShapeLayoutEntry {
    QString ShapeLeft;
    QString ShapeTop;
    QString ShapeWidth;
    QString ShapeHeight;
    qint16 TextOrientation = 0;
    QString ParagraphLineSpacing;
    QString FontName;
    QString FontSize;
    bool FontBold = false;
    bool FontItalic = false;
};

// One text direction the layout screen offers (VBA_MsoTextOrientation).
struct TextOrientationChoice {
    qint16 value = 0;
    QString name;
};

// The outcome of checking an entry: the layout to store, or the message saying what to correct.
struct ShapeLayoutCheck {
    std::optional<ShapeLayout> layout;
    QString refusal;
};

// The sizes the layout screen offers for line spacing and font size, in points.
QStringList LayoutPointSizes();

// A font size the font dialog gives (10.5, say) as the whole points the layout stores: the
// nearest whole number, a half going to the even neighbour (10.5 → 10, 11.5 → 12).
int WholePoints(double points);

// Checks the texts of an entry against what the columns hold: the four measures are numbers
// from 0 to 9999 (width and height above 0), line spacing and font size whole points from 1 to
// 32767 (a fraction is rounded as WholePoints does). The refusal names the field by its label.
ShapeLayoutCheck CheckShapeLayout(const QString& nameShape, const ShapeLayoutEntry& entry);

// The text boxes of the layout the system uses (layout 0): reading them and storing a changed
// one. The set of boxes is installation data; nothing here adds or deletes one.
class TemplateLayouts {
public:
    static constexpr int Layout = 0;

    explicit TemplateLayouts(Database& db) : db_(db) {}

    // The boxes of the layout for the screen's list: description, then name, by OrderShape.
    static Statement listQuery();
    // The text directions in display order.
    QList<TextOrientationChoice> orientations();
    // The box of this name (the spaces around it are not part of it); nullopt when the layout
    // has no such box.
    std::optional<ShapeLayout> read(const QString& nameShape);
    // Stores the box's geometry, direction, spacing and font in one statement of one
    // transaction, so that two workstations saving the same box leave one of their layouts
    // whole. A box that is gone is a Failure.
    void save(const ShapeLayout& layout);

private:
    Database& db_;
};

}  // namespace quorvane
