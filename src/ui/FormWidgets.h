#pragma once

#include <QString>
#include <Qt>

class QDateTime;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QWidget;

namespace quorvane {

// The small pieces the screens build their forms from, made one way for every screen.

// A sunken panel showing one fact the user cannot edit (the screens' "ssp" panels): its text
// aligned as asked and centred vertically, selectable with the mouse so that it can be copied.
QLabel* MakePanel(QWidget* parent, const QString& objectName, const QString& text = {},
                  Qt::Alignment alignment = Qt::AlignLeft);

// The small "..." button beside a field that opens a chooser (a folder, a printer, a record).
// It is never the default button: Enter in the field beside it must not open the chooser.
QPushButton* MakeChooserButton(QWidget* parent, const QString& objectName);

// A caption and its field on one row of a grid: the caption in column 0, as the field's buddy
// (its mnemonic focuses the field), the field in column 1. Returns the caption.
QLabel* AddFieldRow(QGridLayout* grid, int row, const QString& caption, QWidget* field,
                    Qt::Alignment captionAlignment = Qt::AlignLeft);

// The pair of marks beside a field that say whether what it holds is right: a tick (OK) or a
// cross (refused), each with its hint; neither shows while there is nothing to judge.
class OutcomeMarks {
public:
    enum class Mark { None, Ok, Refused };

    OutcomeMarks(QWidget* parent, const QString& okName, const QString& okHint,
                 const QString& refusedName, const QString& refusedHint);

    // The two marks side by side, left-aligned, to put beside the field.
    QHBoxLayout* layout() const { return layout_; }
    void show(Mark mark);

private:
    QLabel* ok_;
    QLabel* refused_;
    QHBoxLayout* layout_;
};

// A time as the screens and grids show it: "yyyy/MM/dd HH:mm:ss"; empty for no time.
QString TimeText(const QDateTime& time);

}  // namespace quorvane
