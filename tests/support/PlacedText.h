#pragma once

#include "documents/rules/WordDocument.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace quorvane::test {

// Documents checked as their PDF shows them: the words pdftotext finds on a page, and where a
// text box's first word must land for its direction.

constexpr double kPlacementToleranceMillimetres = 1.0;

struct PdfWord {
    QString text;
    double left, top, right, bottom;  // millimetres from the page's top left corner
};

struct PdfPage {
    double widthMillimetres = 0;
    double heightMillimetres = 0;
    std::vector<PdfWord> words;
};

// Runs `program` to its end and returns its output; a failure to finish or a non-zero exit
// fails the test.
QString RunTool(const QString& program, const QStringList& arguments);

// The first page of `pdf` with its words, as `pdftotext -bbox` finds them.
PdfPage FirstPdfPage(const QString& pdf);

// A box named "txt" + marker whose text begins with the marker as a word of its own, followed
// by Chinese text (which shows that the face is found); line spacing 2 points over the size.
TextBox MarkedBox(const QString& marker, double left, double top, double width, double height,
                  TextDirection direction, const QString& face, double points);

// Marked boxes on the 70 x 180 mm voucher template page, one in each text direction.
QList<TextBox> VoucherProbeBoxes();

// The marker of `box` starts at the corner where its text begins, and stays inside the box.
void ExpectPlaced(const PdfPage& page, const TextBox& box);

}  // namespace quorvane::test
