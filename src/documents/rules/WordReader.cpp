#include "core/Failure.h"
#include "documents/rules/WordDocument.h"
#include "documents/rules/ZipPackage.h"

#include <QDir>
#include <QFile>
#include <QXmlStreamReader>

#include <optional>

using namespace Qt::StringLiterals;

namespace quorvane {
namespace {

const QString kSource = QStringLiteral("WordDocument");
const QString kW = u"http://schemas.openxmlformats.org/wordprocessingml/2006/main"_s;
const QString kWp = u"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing"_s;
const QString kWps = u"http://schemas.microsoft.com/office/word/2010/wordprocessingShape"_s;
const QString kMc = u"http://schemas.openxmlformats.org/markup-compatibility/2006"_s;

[[noreturn]] void Damaged(const QString& path, const QString& detail) {
    throw Failure(0,
                  u"文件內容已損壞，無法讀取：\n"_s + QDir::toNativeSeparators(path) +
                      u"\n\n請重新產生此文件。\n"_s + detail,
                  kSource);
}

TextDirection DirectionFromVert(QStringView vert) {
    for (const TextDirection direction : {TextDirection::EastAsianVertical, TextDirection::Upward,
                                          TextDirection::Downward, TextDirection::Stacked}) {
        if (vert == VertAttribute(direction)) {
            return direction;
        }
    }
    return TextDirection::Horizontal;
}

// An on/off property such as <w:b/> or <w:b w:val="0"/>.
bool IsOn(const QXmlStreamAttributes& attributes) {
    const QStringView value = attributes.value(kW, u"val"_s);
    return value.isEmpty() || (value != u"0" && value != u"false" && value != u"off");
}

// Reads one wp:anchor (the reader stands on its start) and the text box it holds.
class AnchorReader {
public:
    explicit AnchorReader(QXmlStreamReader& xml) : xml_(xml) {}

    std::optional<TextBox> read() {
        TextBox box;
        bool isTextBox = false;
        bool inRun = false;
        bool fontTaken = false;
        bool fontFromRun = false;
        bool spacingTaken = false;
        int paragraphs = 0;
        QString axis;
        while (xml_.readNextStartElement() || !atAnchorEnd()) {
            if (xml_.isEndElement()) {
                if (xml_.namespaceUri() == kW && xml_.name() == u"r") {
                    inRun = false;
                } else if (xml_.name() == u"positionH" || xml_.name() == u"positionV") {
                    axis.clear();
                }
                continue;
            }
            const auto ns = xml_.namespaceUri();
            const auto name = xml_.name();
            const QXmlStreamAttributes attributes = xml_.attributes();
            if (ns == kWp && (name == u"positionH" || name == u"positionV")) {
                axis = name.toString();
            } else if (ns == kWp && name == u"posOffset") {
                const qint64 offset = xml_.readElementText().trimmed().toLongLong();
                (axis == u"positionH" ? box.left : box.top) = offset;
            } else if (ns == kWp && name == u"extent") {
                box.width = attributes.value(u"cx"_s).toLongLong();
                box.height = attributes.value(u"cy"_s).toLongLong();
            } else if (ns == kWp && name == u"docPr") {
                box.name = attributes.value(u"name"_s).toString();
            } else if (ns == kWps && name == u"bodyPr") {
                box.direction = DirectionFromVert(attributes.value(u"vert"_s));
            } else if (ns == kW && name == u"txbxContent") {
                isTextBox = true;
            } else if (ns == kW && name == u"p") {
                if (paragraphs++ > 0) {
                    box.text += u'\n';
                }
            } else if (ns == kW && name == u"r") {
                inRun = true;
            } else if (ns == kW && name == u"t") {
                box.text += xml_.readElementText();
            } else if (ns == kW && (name == u"br" || name == u"cr")) {
                box.text += u'\n';
            } else if (ns == kW && name == u"tab") {
                box.text += u'\t';
            } else if (ns == kW && name == u"spacing" && !spacingTaken) {
                spacingTaken = true;
                box.lineSpacingPoints = attributes.value(kW, u"line"_s).toDouble() / 20.0;
            } else if (ns == kW && name == u"rPr" && !fontFromRun && (inRun || !fontTaken)) {
                // The first run's font; a box without text keeps its paragraph mark's.
                fontTaken = true;
                fontFromRun = inRun;
                box.font = readFont();
            }
        }
        if (xml_.hasError() || !isTextBox) {
            return std::nullopt;
        }
        return box;
    }

private:
    bool atAnchorEnd() const {
        return xml_.atEnd() || xml_.hasError() ||
               (xml_.isEndElement() && xml_.namespaceUri() == kWp && xml_.name() == u"anchor");
    }

    // The run properties the reader stands on, up to their end.
    Font readFont() {
        Font font;
        font.points = 0;
        while (xml_.readNextStartElement()) {
            const QXmlStreamAttributes attributes = xml_.attributes();
            const auto name = xml_.name();
            if (name == u"rFonts") {
                font.face = attributes.value(kW, u"eastAsia"_s).toString();
                if (font.face.isEmpty()) {
                    font.face = attributes.value(kW, u"ascii"_s).toString();
                }
            } else if (name == u"b") {
                font.bold = IsOn(attributes);
            } else if (name == u"i") {
                font.italic = IsOn(attributes);
            } else if (name == u"u") {
                font.underline = attributes.value(kW, u"val"_s) != u"none";
            } else if (name == u"sz") {
                font.points = attributes.value(kW, u"val"_s).toDouble() / 2.0;
            }
            xml_.skipCurrentElement();
        }
        return font;
    }

    QXmlStreamReader& xml_;
};

QString MainPartName(const QHash<QString, QByteArray>& entries) {
    QXmlStreamReader xml(entries.value(u"_rels/.rels"_s));
    while (xml.readNextStartElement()) {
        if (xml.name() == u"Relationship" &&
            xml.attributes().value(u"Type"_s).endsWith(u"/officeDocument")) {
            QString target = xml.attributes().value(u"Target"_s).toString();
            return target.startsWith(u'/') ? target.mid(1) : target;
        }
        if (xml.name() != u"Relationships") {
            xml.skipCurrentElement();
        }
    }
    return u"word/document.xml"_s;
}

}  // namespace

QList<TextBox> ReadTextBoxes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw Failure(0,
                      u"找不到文件或無法開啟：\n"_s + QDir::toNativeSeparators(path) +
                          u"\n\n請確認此檔案存在，或重新產生此文件。"_s,
                      kSource);
    }
    const QHash<QString, QByteArray> entries = UnzipEntries(file.readAll(), path);
    const QString main = MainPartName(entries);
    if (!entries.contains(main)) {
        Damaged(path, u"缺少 "_s + main);
    }
    QList<TextBox> boxes;
    QXmlStreamReader xml(entries.value(main));
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) {
            continue;
        }
        if (xml.namespaceUri() == kMc && xml.name() == u"Fallback") {
            // The same drawing again, for older readers.
            xml.skipCurrentElement();
        } else if (xml.namespaceUri() == kWp && xml.name() == u"anchor") {
            if (std::optional<TextBox> box = AnchorReader(xml).read()) {
                boxes.append(*box);
            }
        }
    }
    if (xml.hasError()) {
        Damaged(path, xml.errorString());
    }
    return boxes;
}

}  // namespace quorvane
