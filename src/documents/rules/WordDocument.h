#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <variant>

namespace quorvane {

// The content of a Word file (.docx or .dotx) as the document builders describe it: one page
// block, a body of paragraphs and tables, a page header, and named text boxes placed on the
// page. WriteWordFile turns it into the file; ReadTextBoxes finds the boxes again.

// Lengths inside Word files: English Metric Units for drawings, twips for the page.
constexpr double kEmuPerMillimetre = 36000.0;
constexpr double kEmuPerPoint = 12700.0;
constexpr double kPointsPerCentimetre = 72.0 / 2.54;

qint64 MillimetresToEmu(double millimetres);
double EmuToMillimetres(qint64 emu);

struct Font {
    QString face;
    double points = 10.5;
    bool bold = false;
    bool italic = false;
    bool underline = false;
};

enum class Alignment { Left, Centre, Right, Justified, Distributed };

// How the distance between the lines of a paragraph is set. For Single nothing is written;
// Multiple counts 12 points as one line, as Word does when a line spacing is set in points.
enum class LineRule { Single, Exact, AtLeast, Multiple };

struct TextRun {
    // Line breaks (CR, LF or CR LF) become line breaks inside the paragraph; tabs become tabs.
    QString text;
    Font font;
};

// A picture stored in the file, in line with the text.
struct Picture {
    QByteArray data;  // PNG or JPEG
    double widthPoints = 0;
    double heightPoints = 0;
};

// The picture in the file at `path`, to be shown at the given size. A missing or unreadable
// file, or one that is neither PNG nor JPEG, is a Failure naming the file.
Picture LoadPicture(const QString& path, double widthPoints, double heightPoints);

struct Paragraph {
    QList<std::variant<TextRun, Picture>> content;
    Alignment alignment = Alignment::Left;
    double spaceBeforePoints = 0;
    double spaceAfterPoints = 0;
    LineRule lineRule = LineRule::Single;
    double lineSpacingPoints = 0;
};

struct TableCell {
    QList<Paragraph> paragraphs;
};

// A table with single borders on every cell, its columns sharing the preferred width equally.
struct Table {
    QList<QList<TableCell>> rows;
    double preferredWidthPoints = 0;
    double indentPoints = 0;
    // Where the rows sit between the margins; Left honours the indent.
    Alignment rowAlignment = Alignment::Left;
    // The body text flows around the table (Left, Centre or Right of the margins).
    bool textWrapsAround = false;
};

using Block = std::variant<Paragraph, Table>;

// Text directions of a text box, as the layout records store them (Word's text orientation
// numbers) and as the file writes them (`wps:bodyPr/@vert`).
enum class TextDirection {
    Horizontal,         // 0, "horz"
    EastAsianVertical,  // 1, "eaVert": characters upright, top to bottom, lines right to left
    Upward,             // 2, "vert270": turned a quarter turn anticlockwise
    Downward,           // 3, "vert": turned a quarter turn clockwise
    Stacked,            // 5, "wordArtVert": letters upright, one under the other
};

// The direction a layout record's orientation number stands for; a number without one is a
// Failure that names it.
TextDirection TextDirectionFromOrientation(int orientation);
QString VertAttribute(TextDirection direction);

// A named text box placed on the page: position and size in EMU from the page's top left
// corner; no line, no fill, inner margins 0, words wrapped inside the box, every line of the
// text its own left-aligned paragraph with exact line spacing.
struct TextBox {
    QString name;
    qint64 left = 0;
    qint64 top = 0;
    qint64 width = 0;
    qint64 height = 0;
    TextDirection direction = TextDirection::Horizontal;
    Font font;
    double lineSpacingPoints = 12;
    QString text;
};

// Page block in millimetres. Width and height are the sheet as it lies (a landscape page is
// wider than high).
struct PageSetup {
    double widthMillimetres = 210;
    double heightMillimetres = 297;
    bool landscape = false;
    double topMillimetres = 25.4;
    double bottomMillimetres = 25.4;
    double leftMillimetres = 31.75;
    double rightMillimetres = 31.75;
    double headerMillimetres = 15;
    double footerMillimetres = 17.5;
};

struct WordDocument {
    PageSetup page;
    QList<Block> body;
    QList<Paragraph> header;
    QList<TextBox> textBoxes;
};

// Writes the document to `path`: a template when the name ends in ".dotx", a document
// otherwise (Word opens a file only when its kind and its extension agree). The file is built in
// memory and replaces `path` only when it is completely written: a failure leaves an existing file
// as it was. A folder that does not exist or cannot be written, a picture that cannot be stored, or
// a failed write is a Failure whose description tells the clerk what to check.
void WriteWordFile(const WordDocument& document, const QString& path);

// The text boxes in the body of the Word file at `path`, in the order of the file,
// with their text: paragraphs and line breaks as "\n". Formats are taken from the box's first
// run and paragraph. A file that is missing, not a Word file or damaged is a Failure.
QList<TextBox> ReadTextBoxes(const QString& path);

}  // namespace quorvane
