#include "core/Failure.h"
#include "documents/rules/WordDocument.h"
#include "documents/rules/ZipPackage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
#include <QXmlStreamWriter>

#include <cmath>

using namespace Qt::StringLiterals;

namespace quorvane {
namespace {

const QString kSource = QStringLiteral("WordDocument");

const QString kW = QStringLiteral("http://schemas.openxmlformats.org/wordprocessingml/2006/main");
const QString kR =
    QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships");
const QString kWp =
    QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing");
const QString kA = QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/main");
const QString kPic = QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/picture");
const QString kWps =
    QStringLiteral("http://schemas.microsoft.com/office/word/2010/wordprocessingShape");
const QString kMc = QStringLiteral("http://schemas.openxmlformats.org/markup-compatibility/2006");
const QString kV = QStringLiteral("urn:schemas-microsoft-com:vml");
const QString kO = QStringLiteral("urn:schemas-microsoft-com:office:office");
const QString kRelationshipType =
    QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/");

// Distance between a text box and the body text on its left and right: 0.32 cm.
constexpr qint64 kBoxSideDistance = 115200;

int Twips(double millimetres) {
    return static_cast<int>(std::lround(millimetres * 1440.0 / 25.4));
}
int PointTwips(double points) {
    return static_cast<int>(std::lround(points * 20.0));
}
qint64 PointEmu(double points) {
    return std::llround(points * kEmuPerPoint);
}
QString Number(qint64 value) {
    return QString::number(value);
}
QString Points(qint64 emu) {
    return QString::number(emu / kEmuPerPoint, 'f', 2) + u"pt"_s;
}

// Characters an XML 1.0 file cannot hold (control characters other than tab and line breaks)
// are left out.
QString XmlSafe(const QString& text) {
    QString safe;
    safe.reserve(text.size());
    for (const QChar c : text) {
        if (c.unicode() >= 0x20 || c == u'\t' || c == u'\n' || c == u'\r') {
            safe.append(c);
        }
    }
    return safe;
}

QStringList Lines(const QString& text) {
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    return XmlSafe(text).split(lineBreak);
}

QString AlignmentValue(Alignment alignment) {
    switch (alignment) {
        case Alignment::Left:
            return QStringLiteral("left");
        case Alignment::Centre:
            return QStringLiteral("center");
        case Alignment::Right:
            return QStringLiteral("right");
        case Alignment::Justified:
            return QStringLiteral("both");
        case Alignment::Distributed:
            return QStringLiteral("distribute");
    }
    return QStringLiteral("left");
}

// Style of the VML text box that Word versions without drawing shapes show instead.
QString VmlLayoutFlow(TextDirection direction) {
    switch (direction) {
        case TextDirection::Horizontal:
            return {};
        case TextDirection::EastAsianVertical:
            return QStringLiteral("layout-flow:vertical-ideographic");
        case TextDirection::Upward:
            return QStringLiteral("layout-flow:vertical;mso-layout-flow-alt:bottom-to-top");
        case TextDirection::Downward:
            return QStringLiteral("layout-flow:vertical");
        case TextDirection::Stacked:
            return QStringLiteral("mso-layout-flow-alt:top-to-bottom");
    }
    return {};
}

struct Relationship {
    QString id;
    QString type;
    QString target;
};

// Writes the parts of one package, collecting the relationships, media and fonts they use.
class PackageWriter {
public:
    explicit PackageWriter(const WordDocument& document) : document_(document) {}

    QList<std::pair<QString, QByteArray>> parts(bool isTemplate);

private:
    QByteArray documentPart();
    QByteArray headerPart();
    void startRoot(QXmlStreamWriter& xml, const QString& name);
    void paragraph(QXmlStreamWriter& xml, const Paragraph& paragraph, const QList<TextBox>& boxes);
    void table(QXmlStreamWriter& xml, const Table& table);
    void runProperties(QXmlStreamWriter& xml, const Font& font);
    void text(QXmlStreamWriter& xml, const QString& text);
    void picture(QXmlStreamWriter& xml, const Picture& picture);
    void textBox(QXmlStreamWriter& xml, const TextBox& box);
    void boxContent(QXmlStreamWriter& xml, const TextBox& box);
    QString addRelationship(const QString& type, const QString& target);

    const WordDocument& document_;
    QList<Relationship> relationships_;
    QList<std::pair<QString, QByteArray>> media_;
    QStringList fonts_;
    int drawingId_ = 0;
};

QString PackageWriter::addRelationship(const QString& type, const QString& target) {
    Relationship relationship{u"rId"_s + QString::number(relationships_.size() + 1),
                              kRelationshipType + type, target};
    relationships_.append(relationship);
    return relationship.id;
}

void PackageWriter::startRoot(QXmlStreamWriter& xml, const QString& name) {
    xml.setAutoFormatting(false);
    xml.writeStartDocument(QStringLiteral("1.0"), true);
    xml.writeNamespace(kW, QStringLiteral("w"));
    xml.writeNamespace(kR, QStringLiteral("r"));
    xml.writeNamespace(kWp, QStringLiteral("wp"));
    xml.writeNamespace(kA, QStringLiteral("a"));
    xml.writeNamespace(kPic, QStringLiteral("pic"));
    xml.writeNamespace(kWps, QStringLiteral("wps"));
    xml.writeNamespace(kMc, QStringLiteral("mc"));
    xml.writeNamespace(kV, QStringLiteral("v"));
    xml.writeNamespace(kO, QStringLiteral("o"));
    xml.writeStartElement(kW, name);
}

void PackageWriter::runProperties(QXmlStreamWriter& xml, const Font& font) {
    xml.writeStartElement(kW, QStringLiteral("rPr"));
    if (!font.face.isEmpty()) {
        if (!fonts_.contains(font.face)) {
            fonts_.append(font.face);
        }
        xml.writeEmptyElement(kW, QStringLiteral("rFonts"));
        for (const char* slot : {"ascii", "eastAsia", "hAnsi", "cs"}) {
            xml.writeAttribute(kW, QString::fromLatin1(slot), font.face);
        }
    }
    if (font.bold) {
        xml.writeEmptyElement(kW, QStringLiteral("b"));
        xml.writeEmptyElement(kW, QStringLiteral("bCs"));
    }
    if (font.italic) {
        xml.writeEmptyElement(kW, QStringLiteral("i"));
        xml.writeEmptyElement(kW, QStringLiteral("iCs"));
    }
    const QString halfPoints = QString::number(std::lround(font.points * 2.0));
    xml.writeEmptyElement(kW, QStringLiteral("sz"));
    xml.writeAttribute(kW, QStringLiteral("val"), halfPoints);
    xml.writeEmptyElement(kW, QStringLiteral("szCs"));
    xml.writeAttribute(kW, QStringLiteral("val"), halfPoints);
    if (font.underline) {
        xml.writeEmptyElement(kW, QStringLiteral("u"));
        xml.writeAttribute(kW, QStringLiteral("val"), QStringLiteral("single"));
    }
    xml.writeEndElement();
}

void PackageWriter::text(QXmlStreamWriter& xml, const QString& text) {
    const QStringList lines = Lines(text);
    for (qsizetype line = 0; line < lines.size(); ++line) {
        if (line > 0) {
            xml.writeEmptyElement(kW, QStringLiteral("br"));
        }
        const QStringList pieces = lines[line].split(u'\t');
        for (qsizetype piece = 0; piece < pieces.size(); ++piece) {
            if (piece > 0) {
                xml.writeEmptyElement(kW, QStringLiteral("tab"));
            }
            if (!pieces[piece].isEmpty()) {
                xml.writeStartElement(kW, QStringLiteral("t"));
                xml.writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
                xml.writeCharacters(pieces[piece]);
                xml.writeEndElement();
            }
        }
    }
}

void PackageWriter::picture(QXmlStreamWriter& xml, const Picture& picture) {
    const bool png = picture.data.startsWith("\x89PNG");
    const QString file = u"image"_s + QString::number(media_.size() + 1) +
                         (png ? QStringLiteral(".png") : QStringLiteral(".jpeg"));
    media_.append({u"word/media/"_s + file, picture.data});
    const QString id = addRelationship(QStringLiteral("image"), u"media/"_s + file);
    const QString cx = Number(PointEmu(picture.widthPoints));
    const QString cy = Number(PointEmu(picture.heightPoints));
    ++drawingId_;

    xml.writeStartElement(kW, QStringLiteral("drawing"));
    xml.writeStartElement(kWp, QStringLiteral("inline"));
    for (const char* distance : {"distT", "distB", "distL", "distR"}) {
        xml.writeAttribute(QString::fromLatin1(distance), QStringLiteral("0"));
    }
    xml.writeEmptyElement(kWp, QStringLiteral("extent"));
    xml.writeAttribute(QStringLiteral("cx"), cx);
    xml.writeAttribute(QStringLiteral("cy"), cy);
    xml.writeEmptyElement(kWp, QStringLiteral("docPr"));
    xml.writeAttribute(QStringLiteral("id"), QString::number(drawingId_));
    xml.writeAttribute(QStringLiteral("name"), u"Picture "_s + QString::number(drawingId_));
    xml.writeStartElement(kWp, QStringLiteral("cNvGraphicFramePr"));
    xml.writeEmptyElement(kA, QStringLiteral("graphicFrameLocks"));
    xml.writeAttribute(QStringLiteral("noChangeAspect"), QStringLiteral("1"));
    xml.writeEndElement();
    xml.writeStartElement(kA, QStringLiteral("graphic"));
    xml.writeStartElement(kA, QStringLiteral("graphicData"));
    xml.writeAttribute(QStringLiteral("uri"), kPic);
    xml.writeStartElement(kPic, QStringLiteral("pic"));
    xml.writeStartElement(kPic, QStringLiteral("nvPicPr"));
    xml.writeEmptyElement(kPic, QStringLiteral("cNvPr"));
    xml.writeAttribute(QStringLiteral("id"), QString::number(drawingId_));
    xml.writeAttribute(QStringLiteral("name"), file);
    xml.writeEmptyElement(kPic, QStringLiteral("cNvPicPr"));
    xml.writeEndElement();
    xml.writeStartElement(kPic, QStringLiteral("blipFill"));
    xml.writeEmptyElement(kA, QStringLiteral("blip"));
    xml.writeAttribute(kR, QStringLiteral("embed"), id);
    xml.writeStartElement(kA, QStringLiteral("stretch"));
    xml.writeEmptyElement(kA, QStringLiteral("fillRect"));
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeStartElement(kPic, QStringLiteral("spPr"));
    xml.writeStartElement(kA, QStringLiteral("xfrm"));
    xml.writeEmptyElement(kA, QStringLiteral("off"));
    xml.writeAttribute(QStringLiteral("x"), QStringLiteral("0"));
    xml.writeAttribute(QStringLiteral("y"), QStringLiteral("0"));
    xml.writeEmptyElement(kA, QStringLiteral("ext"));
    xml.writeAttribute(QStringLiteral("cx"), cx);
    xml.writeAttribute(QStringLiteral("cy"), cy);
    xml.writeEndElement();
    xml.writeStartElement(kA, QStringLiteral("prstGeom"));
    xml.writeAttribute(QStringLiteral("prst"), QStringLiteral("rect"));
    xml.writeEmptyElement(kA, QStringLiteral("avLst"));
    xml.writeEndElement();
    xml.writeEndElement();  // spPr
    xml.writeEndElement();  // pic
    xml.writeEndElement();  // graphicData
    xml.writeEndElement();  // graphic
    xml.writeEndElement();  // inline
    xml.writeEndElement();  // drawing
}

// The paragraphs inside a text box: one per line of its text, all with the box's format.
void PackageWriter::boxContent(QXmlStreamWriter& xml, const TextBox& box) {
    xml.writeStartElement(kW, QStringLiteral("txbxContent"));
    for (const QString& line : Lines(box.text)) {
        xml.writeStartElement(kW, QStringLiteral("p"));
        xml.writeStartElement(kW, QStringLiteral("pPr"));
        xml.writeEmptyElement(kW, QStringLiteral("widowControl"));
        xml.writeAttribute(kW, QStringLiteral("val"), QStringLiteral("0"));
        xml.writeEmptyElement(kW, QStringLiteral("snapToGrid"));
        xml.writeAttribute(kW, QStringLiteral("val"), QStringLiteral("0"));
        xml.writeEmptyElement(kW, QStringLiteral("spacing"));
        xml.writeAttribute(kW, QStringLiteral("before"), QStringLiteral("0"));
        xml.writeAttribute(kW, QStringLiteral("after"), QStringLiteral("0"));
        xml.writeAttribute(kW, QStringLiteral("line"),
                           QString::number(PointTwips(box.lineSpacingPoints)));
        xml.writeAttribute(kW, QStringLiteral("lineRule"), QStringLiteral("exact"));
        xml.writeEmptyElement(kW, QStringLiteral("ind"));
        xml.writeAttribute(kW, QStringLiteral("left"), QStringLiteral("0"));
        xml.writeAttribute(kW, QStringLiteral("right"), QStringLiteral("0"));
        xml.writeAttribute(kW, QStringLiteral("firstLine"), QStringLiteral("0"));
        xml.writeEmptyElement(kW, QStringLiteral("jc"));
        xml.writeAttribute(kW, QStringLiteral("val"), QStringLiteral("left"));
        xml.writeEmptyElement(kW, QStringLiteral("textAlignment"));
        xml.writeAttribute(kW, QStringLiteral("val"), QStringLiteral("auto"));
        runProperties(xml, box.font);
        xml.writeEndElement();  // pPr
        if (!line.isEmpty()) {
            xml.writeStartElement(kW, QStringLiteral("r"));
            runProperties(xml, box.font);
            text(xml, line);
            xml.writeEndElement();
        }
        xml.writeEndElement();  // p
    }
    xml.writeEndElement();  // txbxContent
}

void PackageWriter::textBox(QXmlStreamWriter& xml, const TextBox& box) {
    ++drawingId_;
    xml.writeStartElement(kW, QStringLiteral("r"));
    xml.writeStartElement(kMc, QStringLiteral("AlternateContent"));
    xml.writeStartElement(kMc, QStringLiteral("Choice"));
    xml.writeAttribute(QStringLiteral("Requires"), QStringLiteral("wps"));
    xml.writeStartElement(kW, QStringLiteral("drawing"));
    xml.writeStartElement(kWp, QStringLiteral("anchor"));
    xml.writeAttribute(QStringLiteral("distT"), QStringLiteral("0"));
    xml.writeAttribute(QStringLiteral("distB"), QStringLiteral("0"));
    xml.writeAttribute(QStringLiteral("distL"), Number(kBoxSideDistance));
    xml.writeAttribute(QStringLiteral("distR"), Number(kBoxSideDistance));
    xml.writeAttribute(QStringLiteral("simplePos"), QStringLiteral("0"));
    xml.writeAttribute(QStringLiteral("relativeHeight"), QString::number(drawingId_));
    xml.writeAttribute(QStringLiteral("behindDoc"), QStringLiteral("0"));
    xml.writeAttribute(QStringLiteral("locked"), QStringLiteral("0"));
    xml.writeAttribute(QStringLiteral("layoutInCell"), QStringLiteral("1"));
    xml.writeAttribute(QStringLiteral("allowOverlap"), QStringLiteral("1"));
    xml.writeEmptyElement(kWp, QStringLiteral("simplePos"));
    xml.writeAttribute(QStringLiteral("x"), QStringLiteral("0"));
    xml.writeAttribute(QStringLiteral("y"), QStringLiteral("0"));
    for (const auto& [axis, offset] : {std::pair{QStringLiteral("positionH"), box.left},
                                       std::pair{QStringLiteral("positionV"), box.top}}) {
        xml.writeStartElement(kWp, axis);
        xml.writeAttribute(QStringLiteral("relativeFrom"), QStringLiteral("page"));
        xml.writeTextElement(kWp, QStringLiteral("posOffset"), Number(offset));
        xml.writeEndElement();
    }
    xml.writeEmptyElement(kWp, QStringLiteral("extent"));
    xml.writeAttribute(QStringLiteral("cx"), Number(box.width));
    xml.writeAttribute(QStringLiteral("cy"), Number(box.height));
    xml.writeEmptyElement(kWp, QStringLiteral("effectExtent"));
    for (const char* side : {"l", "t", "r", "b"}) {
        xml.writeAttribute(QString::fromLatin1(side), QStringLiteral("0"));
    }
    xml.writeEmptyElement(kWp, QStringLiteral("wrapNone"));
    xml.writeEmptyElement(kWp, QStringLiteral("docPr"));
    xml.writeAttribute(QStringLiteral("id"), QString::number(drawingId_));
    xml.writeAttribute(QStringLiteral("name"), XmlSafe(box.name));
    xml.writeEmptyElement(kWp, QStringLiteral("cNvGraphicFramePr"));
    xml.writeStartElement(kA, QStringLiteral("graphic"));
    xml.writeStartElement(kA, QStringLiteral("graphicData"));
    xml.writeAttribute(QStringLiteral("uri"), kWps);
    xml.writeStartElement(kWps, QStringLiteral("wsp"));
    xml.writeEmptyElement(kWps, QStringLiteral("cNvSpPr"));
    xml.writeAttribute(QStringLiteral("txBox"), QStringLiteral("1"));
    xml.writeStartElement(kWps, QStringLiteral("spPr"));
    xml.writeStartElement(kA, QStringLiteral("xfrm"));
    xml.writeEmptyElement(kA, QStringLiteral("off"));
    xml.writeAttribute(QStringLiteral("x"), QStringLiteral("0"));
    xml.writeAttribute(QStringLiteral("y"), QStringLiteral("0"));
    xml.writeEmptyElement(kA, QStringLiteral("ext"));
    xml.writeAttribute(QStringLiteral("cx"), Number(box.width));
    xml.writeAttribute(QStringLiteral("cy"), Number(box.height));
    xml.writeEndElement();
    xml.writeStartElement(kA, QStringLiteral("prstGeom"));
    xml.writeAttribute(QStringLiteral("prst"), QStringLiteral("rect"));
    xml.writeEmptyElement(kA, QStringLiteral("avLst"));
    xml.writeEndElement();
    xml.writeEmptyElement(kA, QStringLiteral("noFill"));
    xml.writeStartElement(kA, QStringLiteral("ln"));
    xml.writeEmptyElement(kA, QStringLiteral("noFill"));
    xml.writeEndElement();
    xml.writeEndElement();  // spPr
    xml.writeStartElement(kWps, QStringLiteral("txbx"));
    boxContent(xml, box);
    xml.writeEndElement();
    xml.writeStartElement(kWps, QStringLiteral("bodyPr"));
    xml.writeAttribute(QStringLiteral("rot"), QStringLiteral("0"));
    xml.writeAttribute(QStringLiteral("vert"), VertAttribute(box.direction));
    xml.writeAttribute(QStringLiteral("wrap"), QStringLiteral("square"));
    for (const char* inset : {"lIns", "tIns", "rIns", "bIns"}) {
        xml.writeAttribute(QString::fromLatin1(inset), QStringLiteral("0"));
    }
    xml.writeAttribute(QStringLiteral("anchor"), QStringLiteral("t"));
    xml.writeAttribute(QStringLiteral("anchorCtr"), QStringLiteral("0"));
    xml.writeAttribute(QStringLiteral("upright"), QStringLiteral("0"));
    xml.writeEmptyElement(kA, QStringLiteral("noAutofit"));
    xml.writeEndElement();  // bodyPr
    xml.writeEndElement();  // wsp
    xml.writeEndElement();  // graphicData
    xml.writeEndElement();  // graphic
    xml.writeEndElement();  // anchor
    xml.writeEndElement();  // drawing
    xml.writeEndElement();  // Choice

    // The same box for Word versions that show only VML shapes.
    xml.writeStartElement(kMc, QStringLiteral("Fallback"));
    xml.writeStartElement(kW, QStringLiteral("pict"));
    xml.writeStartElement(kV, QStringLiteral("shape"));
    xml.writeAttribute(QStringLiteral("id"), XmlSafe(box.name));
    xml.writeAttribute(kO, QStringLiteral("spid"),
                       u"_x0000_s"_s + QString::number(1024 + drawingId_));
    xml.writeAttribute(
        QStringLiteral("style"),
        u"position:absolute;margin-left:"_s + Points(box.left) + u";margin-top:"_s +
            Points(box.top) + u";width:"_s + Points(box.width) + u";height:"_s +
            Points(box.height) + u";z-index:"_s + QString::number(drawingId_) +
            u";mso-position-horizontal-relative:page;mso-position-vertical-relative:page"_s);
    xml.writeAttribute(QStringLiteral("filled"), QStringLiteral("f"));
    xml.writeAttribute(QStringLiteral("stroked"), QStringLiteral("f"));
    xml.writeStartElement(kV, QStringLiteral("textbox"));
    const QString flow = VmlLayoutFlow(box.direction);
    if (!flow.isEmpty()) {
        xml.writeAttribute(QStringLiteral("style"), flow);
    }
    xml.writeAttribute(QStringLiteral("inset"), QStringLiteral("0,0,0,0"));
    boxContent(xml, box);
    xml.writeEndElement();  // textbox
    xml.writeEndElement();  // shape
    xml.writeEndElement();  // pict
    xml.writeEndElement();  // Fallback
    xml.writeEndElement();  // AlternateContent
    xml.writeEndElement();  // r
}

void PackageWriter::paragraph(QXmlStreamWriter& xml, const Paragraph& paragraph,
                              const QList<TextBox>& boxes) {
    xml.writeStartElement(kW, QStringLiteral("p"));
    xml.writeStartElement(kW, QStringLiteral("pPr"));
    xml.writeEmptyElement(kW, QStringLiteral("spacing"));
    xml.writeAttribute(kW, QStringLiteral("before"),
                       QString::number(PointTwips(paragraph.spaceBeforePoints)));
    xml.writeAttribute(kW, QStringLiteral("after"),
                       QString::number(PointTwips(paragraph.spaceAfterPoints)));
    if (paragraph.lineRule != LineRule::Single) {
        xml.writeAttribute(kW, QStringLiteral("line"),
                           QString::number(PointTwips(paragraph.lineSpacingPoints)));
        xml.writeAttribute(kW, QStringLiteral("lineRule"),
                           paragraph.lineRule == LineRule::Exact     ? QStringLiteral("exact")
                           : paragraph.lineRule == LineRule::AtLeast ? QStringLiteral("atLeast")
                                                                     : QStringLiteral("auto"));
    }
    xml.writeEmptyElement(kW, QStringLiteral("jc"));
    xml.writeAttribute(kW, QStringLiteral("val"), AlignmentValue(paragraph.alignment));
    xml.writeEndElement();  // pPr
    for (const TextBox& box : boxes) {
        textBox(xml, box);
    }
    for (const auto& content : paragraph.content) {
        xml.writeStartElement(kW, QStringLiteral("r"));
        if (const auto* run = std::get_if<TextRun>(&content)) {
            runProperties(xml, run->font);
            text(xml, run->text);
        } else {
            xml.writeStartElement(kW, QStringLiteral("rPr"));
            xml.writeEmptyElement(kW, QStringLiteral("noProof"));
            xml.writeEndElement();
            picture(xml, std::get<Picture>(content));
        }
        xml.writeEndElement();
    }
    xml.writeEndElement();  // p
}

void PackageWriter::table(QXmlStreamWriter& xml, const Table& table) {
    qsizetype columns = 1;
    for (const auto& row : table.rows) {
        columns = std::max(columns, row.size());
    }
    const int width = PointTwips(table.preferredWidthPoints);
    const int columnWidth = static_cast<int>(width / columns);
    xml.writeStartElement(kW, QStringLiteral("tbl"));
    xml.writeStartElement(kW, QStringLiteral("tblPr"));
    if (table.textWrapsAround) {
        xml.writeEmptyElement(kW, QStringLiteral("tblpPr"));
        xml.writeAttribute(kW, QStringLiteral("leftFromText"), QStringLiteral("180"));
        xml.writeAttribute(kW, QStringLiteral("rightFromText"), QStringLiteral("180"));
        xml.writeAttribute(kW, QStringLiteral("vertAnchor"), QStringLiteral("text"));
        xml.writeAttribute(kW, QStringLiteral("horzAnchor"), QStringLiteral("margin"));
        xml.writeAttribute(kW, QStringLiteral("tblpXSpec"),
                           table.rowAlignment == Alignment::Right    ? QStringLiteral("right")
                           : table.rowAlignment == Alignment::Centre ? QStringLiteral("center")
                                                                     : QStringLiteral("left"));
        xml.writeAttribute(kW, QStringLiteral("tblpY"), QStringLiteral("1"));
    }
    xml.writeEmptyElement(kW, QStringLiteral("tblW"));
    xml.writeAttribute(kW, QStringLiteral("w"), QString::number(width));
    xml.writeAttribute(kW, QStringLiteral("type"), QStringLiteral("dxa"));
    xml.writeEmptyElement(kW, QStringLiteral("jc"));
    xml.writeAttribute(kW, QStringLiteral("val"), AlignmentValue(table.rowAlignment));
    xml.writeEmptyElement(kW, QStringLiteral("tblInd"));
    xml.writeAttribute(kW, QStringLiteral("w"), QString::number(PointTwips(table.indentPoints)));
    xml.writeAttribute(kW, QStringLiteral("type"), QStringLiteral("dxa"));
    xml.writeStartElement(kW, QStringLiteral("tblBorders"));
    for (const char* edge : {"top", "left", "bottom", "right", "insideH", "insideV"}) {
        xml.writeEmptyElement(kW, QString::fromLatin1(edge));
        xml.writeAttribute(kW, QStringLiteral("val"), QStringLiteral("single"));
        xml.writeAttribute(kW, QStringLiteral("sz"), QStringLiteral("4"));
        xml.writeAttribute(kW, QStringLiteral("space"), QStringLiteral("0"));
        xml.writeAttribute(kW, QStringLiteral("color"), QStringLiteral("auto"));
    }
    xml.writeEndElement();
    xml.writeEmptyElement(kW, QStringLiteral("tblLayout"));
    xml.writeAttribute(kW, QStringLiteral("type"), QStringLiteral("fixed"));
    xml.writeEndElement();  // tblPr
    xml.writeStartElement(kW, QStringLiteral("tblGrid"));
    for (qsizetype column = 0; column < columns; ++column) {
        xml.writeEmptyElement(kW, QStringLiteral("gridCol"));
        xml.writeAttribute(kW, QStringLiteral("w"), QString::number(columnWidth));
    }
    xml.writeEndElement();
    for (const auto& row : table.rows) {
        xml.writeStartElement(kW, QStringLiteral("tr"));
        for (qsizetype column = 0; column < columns; ++column) {
            xml.writeStartElement(kW, QStringLiteral("tc"));
            xml.writeStartElement(kW, QStringLiteral("tcPr"));
            xml.writeEmptyElement(kW, QStringLiteral("tcW"));
            xml.writeAttribute(kW, QStringLiteral("w"), QString::number(columnWidth));
            xml.writeAttribute(kW, QStringLiteral("type"), QStringLiteral("dxa"));
            xml.writeEndElement();
            // A cell ends with a paragraph, even an empty one.
            const QList<Paragraph> paragraphs =
                column < row.size() && !row[column].paragraphs.isEmpty()
                    ? row[column].paragraphs
                    : QList<Paragraph>{Paragraph{}};
            for (const Paragraph& cellParagraph : paragraphs) {
                paragraph(xml, cellParagraph, {});
            }
            xml.writeEndElement();  // tc
        }
        xml.writeEndElement();  // tr
    }
    xml.writeEndElement();  // tbl
}

QByteArray PackageWriter::headerPart() {
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    startRoot(xml, QStringLiteral("hdr"));
    for (const Paragraph& line : document_.header) {
        paragraph(xml, line, {});
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes;
}

QByteArray PackageWriter::documentPart() {
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    startRoot(xml, QStringLiteral("document"));
    xml.writeStartElement(kW, QStringLiteral("body"));
    // The text boxes hang on the first paragraph; their positions are taken from the page.
    QList<Block> body = document_.body;
    if (body.isEmpty() || !std::holds_alternative<Paragraph>(body.first())) {
        body.prepend(Paragraph{});
    }
    // The body ends with a paragraph, even after a table.
    if (!std::holds_alternative<Paragraph>(body.last())) {
        body.append(Paragraph{});
    }
    for (qsizetype index = 0; index < body.size(); ++index) {
        if (const auto* block = std::get_if<Paragraph>(&body[index])) {
            paragraph(xml, *block, index == 0 ? document_.textBoxes : QList<TextBox>{});
        } else {
            table(xml, std::get<Table>(body[index]));
        }
    }
    const PageSetup& page = document_.page;
    xml.writeStartElement(kW, QStringLiteral("sectPr"));
    if (!document_.header.isEmpty()) {
        xml.writeEmptyElement(kW, QStringLiteral("headerReference"));
        xml.writeAttribute(kW, QStringLiteral("type"), QStringLiteral("default"));
        xml.writeAttribute(
            kR, QStringLiteral("id"),
            addRelationship(QStringLiteral("header"), QStringLiteral("header1.xml")));
    }
    xml.writeEmptyElement(kW, QStringLiteral("pgSz"));
    xml.writeAttribute(kW, QStringLiteral("w"), QString::number(Twips(page.widthMillimetres)));
    xml.writeAttribute(kW, QStringLiteral("h"), QString::number(Twips(page.heightMillimetres)));
    if (page.landscape) {
        xml.writeAttribute(kW, QStringLiteral("orient"), QStringLiteral("landscape"));
    }
    xml.writeEmptyElement(kW, QStringLiteral("pgMar"));
    xml.writeAttribute(kW, QStringLiteral("top"), QString::number(Twips(page.topMillimetres)));
    xml.writeAttribute(kW, QStringLiteral("right"), QString::number(Twips(page.rightMillimetres)));
    xml.writeAttribute(kW, QStringLiteral("bottom"),
                       QString::number(Twips(page.bottomMillimetres)));
    xml.writeAttribute(kW, QStringLiteral("left"), QString::number(Twips(page.leftMillimetres)));
    xml.writeAttribute(kW, QStringLiteral("header"),
                       QString::number(Twips(page.headerMillimetres)));
    xml.writeAttribute(kW, QStringLiteral("footer"),
                       QString::number(Twips(page.footerMillimetres)));
    xml.writeAttribute(kW, QStringLiteral("gutter"), QStringLiteral("0"));
    xml.writeEmptyElement(kW, QStringLiteral("cols"));
    xml.writeAttribute(kW, QStringLiteral("space"), QStringLiteral("425"));
    xml.writeEmptyElement(kW, QStringLiteral("docGrid"));
    xml.writeAttribute(kW, QStringLiteral("type"), QStringLiteral("lines"));
    xml.writeAttribute(kW, QStringLiteral("linePitch"), QStringLiteral("360"));
    xml.writeEndElement();  // sectPr
    xml.writeEndElement();  // body
    xml.writeEndElement();  // document
    xml.writeEndDocument();
    return bytes;
}

QByteArray SimplePart(const QString& root, const QString& content) {
    return (u"<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<w:"_s + root +
            u" xmlns:w=\""_s + kW + u"\">"_s + content + u"</w:"_s + root + u">"_s)
        .toUtf8();
}

QByteArray StylesPart() {
    return SimplePart(
        QStringLiteral("styles"),
        QStringLiteral(
            "<w:docDefaults><w:rPrDefault><w:rPr><w:rFonts w:ascii=\"Times New Roman\" "
            "w:eastAsia=\"新細明體\" w:hAnsi=\"Times New Roman\" w:cs=\"Times New Roman\"/>"
            "<w:kern w:val=\"2\"/><w:sz w:val=\"24\"/><w:szCs w:val=\"24\"/>"
            "<w:lang w:val=\"en-US\" w:eastAsia=\"zh-TW\" w:bidi=\"ar-SA\"/></w:rPr>"
            "</w:rPrDefault><w:pPrDefault/></w:docDefaults>"
            "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\">"
            "<w:name w:val=\"Normal\"/><w:qFormat/><w:pPr><w:widowControl w:val=\"0\"/></w:pPr>"
            "</w:style>"
            "<w:style w:type=\"table\" w:default=\"1\" w:styleId=\"TableNormal\">"
            "<w:name w:val=\"Normal Table\"/><w:tblPr><w:tblInd w:w=\"0\" w:type=\"dxa\"/>"
            "<w:tblCellMar><w:top w:w=\"0\" w:type=\"dxa\"/><w:left w:w=\"108\" w:type=\"dxa\"/>"
            "<w:bottom w:w=\"0\" w:type=\"dxa\"/><w:right w:w=\"108\" w:type=\"dxa\"/>"
            "</w:tblCellMar></w:tblPr></w:style>"));
}

QByteArray SettingsPart() {
    return SimplePart(
        QStringLiteral("settings"),
        QStringLiteral(
            "<w:defaultTabStop w:val=\"480\"/>"
            "<w:characterSpacingControl w:val=\"compressPunctuation\"/>"
            "<w:compat><w:compatSetting w:name=\"compatibilityMode\" "
            "w:uri=\"http://schemas.microsoft.com/office/word\" w:val=\"15\"/></w:compat>"));
}

QByteArray FontTablePart(const QStringList& fonts) {
    QString content;
    for (const QString& font : fonts) {
        content += u"<w:font w:name=\""_s + font.toHtmlEscaped() + u"\"/>"_s;
    }
    return SimplePart(QStringLiteral("fonts"), content);
}

QByteArray RelationshipsPart(const QList<Relationship>& relationships) {
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    const QString ns =
        QStringLiteral("http://schemas.openxmlformats.org/package/2006/relationships");
    xml.writeStartDocument(QStringLiteral("1.0"), true);
    xml.writeDefaultNamespace(ns);
    xml.writeStartElement(ns, QStringLiteral("Relationships"));
    for (const Relationship& relationship : relationships) {
        xml.writeEmptyElement(ns, QStringLiteral("Relationship"));
        xml.writeAttribute(QStringLiteral("Id"), relationship.id);
        xml.writeAttribute(QStringLiteral("Type"), relationship.type);
        xml.writeAttribute(QStringLiteral("Target"), relationship.target);
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes;
}

QByteArray ContentTypesPart(bool isTemplate, bool hasHeader) {
    const QString main = isTemplate
                             ? QStringLiteral(
                                   "application/vnd.openxmlformats-officedocument.wordprocessingml."
                                   "template.main+xml")
                             : QStringLiteral(
                                   "application/vnd.openxmlformats-officedocument.wordprocessingml."
                                   "document.main+xml");
    const QString part =
        QStringLiteral("application/vnd.openxmlformats-officedocument.wordprocessingml.");
    QString overrides =
        u"<Override PartName=\"/word/document.xml\" ContentType=\""_s + main + u"\"/>"_s;
    QStringList names = {QStringLiteral("styles"), QStringLiteral("settings"),
                         QStringLiteral("fontTable")};
    if (hasHeader) {
        names.append(QStringLiteral("header1"));
    }
    for (const QString& name : names) {
        const QString type = name == u"header1" ? QStringLiteral("header") : name;
        overrides += u"<Override PartName=\"/word/"_s + name + u".xml\" ContentType=\""_s + part +
                     type + u"+xml\"/>"_s;
    }
    return (QStringLiteral(
                "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                "<Default Extension=\"rels\" "
                "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
                "<Default Extension=\"png\" ContentType=\"image/png\"/>"
                "<Default Extension=\"jpeg\" ContentType=\"image/jpeg\"/>") +
            overrides + u"</Types>"_s)
        .toUtf8();
}

QList<std::pair<QString, QByteArray>> PackageWriter::parts(bool isTemplate) {
    addRelationship(QStringLiteral("styles"), QStringLiteral("styles.xml"));
    addRelationship(QStringLiteral("settings"), QStringLiteral("settings.xml"));
    addRelationship(QStringLiteral("fontTable"), QStringLiteral("fontTable.xml"));
    const QByteArray header = document_.header.isEmpty() ? QByteArray() : headerPart();
    const QByteArray main = documentPart();
    QList<std::pair<QString, QByteArray>> parts = {
        {QStringLiteral("[Content_Types].xml"), ContentTypesPart(isTemplate, !header.isEmpty())},
        {QStringLiteral("_rels/.rels"),
         RelationshipsPart({{QStringLiteral("rId1"), kRelationshipType + u"officeDocument"_s,
                             QStringLiteral("word/document.xml")}})},
        {QStringLiteral("word/document.xml"), main},
        {QStringLiteral("word/_rels/document.xml.rels"), RelationshipsPart(relationships_)},
        {QStringLiteral("word/styles.xml"), StylesPart()},
        {QStringLiteral("word/settings.xml"), SettingsPart()},
        {QStringLiteral("word/fontTable.xml"), FontTablePart(fonts_)},
    };
    if (!header.isEmpty()) {
        parts.append({QStringLiteral("word/header1.xml"), header});
    }
    parts.append(media_);
    return parts;
}

// Puts `bytes` in place of the file at `path` only once they are completely on disk.
void SaveWhole(const QByteArray& bytes, const QString& path) {
    const QFileInfo info(path);
    const QString folder = QDir::toNativeSeparators(info.absolutePath());
    if (!info.absoluteDir().exists()) {
        throw Failure(0,
                      u"找不到存放文件的資料夾：\n"_s + folder +
                          u"\n\n請確認此資料夾存在，或在系統設定中改選其他資料夾。"_s,
                      kSource);
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        throw Failure(0,
                      u"無法寫入文件：\n"_s + QDir::toNativeSeparators(path) +
                          u"\n\n請確認您有寫入此資料夾的權限，且沒有同名的資料夾；"_s
                          u"或在系統設定中改選其他資料夾。\n"_s +
                          file.errorString(),
                      kSource);
    }
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        throw Failure(0,
                      u"文件儲存失敗，原有檔案未變更：\n"_s + QDir::toNativeSeparators(path) +
                          u"\n\n請確認磁碟空間足夠，且此檔案不是資料夾或唯讀檔案。\n"_s +
                          file.errorString(),
                      kSource);
    }
}

}  // namespace

qint64 MillimetresToEmu(double millimetres) {
    return std::llround(millimetres * kEmuPerMillimetre);
}

double EmuToMillimetres(qint64 emu) {
    return static_cast<double>(emu) / kEmuPerMillimetre;
}

TextDirection TextDirectionFromOrientation(int orientation) {
    switch (orientation) {
        case 0:
            return TextDirection::Horizontal;
        case 1:
            return TextDirection::EastAsianVertical;
        case 2:
            return TextDirection::Upward;
        case 3:
            return TextDirection::Downward;
        case 5:
            return TextDirection::Stacked;
        default:
            throw Failure(0,
                          u"文字書寫方向 "_s + QString::number(orientation) +
                              u" 無法用於文件。\n\n請在範本設定中改選其他文字書寫方向。"_s,
                          kSource);
    }
}

QString VertAttribute(TextDirection direction) {
    switch (direction) {
        case TextDirection::Horizontal:
            return QStringLiteral("horz");
        case TextDirection::EastAsianVertical:
            return QStringLiteral("eaVert");
        case TextDirection::Upward:
            return QStringLiteral("vert270");
        case TextDirection::Downward:
            return QStringLiteral("vert");
        case TextDirection::Stacked:
            return QStringLiteral("wordArtVert");
    }
    return QStringLiteral("horz");
}

Picture LoadPicture(const QString& path, double widthPoints, double heightPoints) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw Failure(0,
                      u"找不到圖檔或無法讀取：\n"_s + QDir::toNativeSeparators(path) +
                          u"\n\n請確認此檔案存在。"_s,
                      kSource);
    }
    Picture picture{file.readAll(), widthPoints, heightPoints};
    if (!picture.data.startsWith("\x89PNG\r\n\x1a\n") && !picture.data.startsWith("\xff\xd8\xff")) {
        throw Failure(0,
                      u"圖檔不是 PNG 或 JPEG 格式：\n"_s + QDir::toNativeSeparators(path) +
                          u"\n\n請改存為 JPEG 或 PNG 圖檔後再試一次。"_s,
                      kSource);
    }
    return picture;
}

void WriteWordFile(const WordDocument& document, const QString& path) {
    PackageWriter writer(document);
    SaveWhole(ZipEntries(writer.parts(path.endsWith(u".dotx"_s, Qt::CaseInsensitive))), path);
}

}  // namespace quorvane
