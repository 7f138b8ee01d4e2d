#include "ui/FormWidgets.h"

#include <QDateTime>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace quorvane {

namespace {

QLabel* makeMark(QWidget* parent, const QString& name, QStyle::StandardPixmap picture,
                 const QString& hint) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setPixmap(parent->style()->standardIcon(picture).pixmap(16, 16));
    label->setToolTip(hint);
    return label;
}

}  // namespace

QLabel* MakePanel(QWidget* parent, const QString& objectName, const QString& text,
                  Qt::Alignment alignment) {
    auto* panel = new QLabel(text, parent);
    panel->setObjectName(objectName);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setAlignment(alignment | Qt::AlignVCenter);
    panel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    panel->setMinimumWidth(90);
    return panel;
}

QPushButton* MakeChooserButton(QWidget* parent, const QString& objectName) {
    auto* button = new QPushButton(QStringLiteral("..."), parent);
    button->setObjectName(objectName);
    button->setAutoDefault(false);
    // Narrower than the style's smallest push button: just the dots and a margin.
    button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 12);
    return button;
}

QLabel* AddFieldRow(QGridLayout* grid, int row, const QString& caption, QWidget* field,
                    Qt::Alignment captionAlignment) {
    auto* label = new QLabel(caption, field->parentWidget());
    label->setAlignment(captionAlignment | Qt::AlignVCenter);
    label->setBuddy(field);
    grid->addWidget(label, row, 0);
    grid->addWidget(field, row, 1);
    return label;
}

OutcomeMarks::OutcomeMarks(QWidget* parent, const QString& okName, const QString& okHint,
                           const QString& refusedName, const QString& refusedHint)
    : ok_(makeMark(parent, okName, QStyle::SP_DialogApplyButton, okHint)),
      refused_(makeMark(parent, refusedName, QStyle::SP_DialogCancelButton, refusedHint)),
      layout_(new QHBoxLayout) {
    layout_->addWidget(ok_);
    layout_->addWidget(refused_);
    layout_->addStretch();
    show(Mark::None);
}

void OutcomeMarks::show(Mark mark) {
    ok_->setVisible(mark == Mark::Ok);
    refused_->setVisible(mark == Mark::Refused);
}

QString TimeText(const QDateTime& time) {
    return time.isValid() ? time.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")) : QString();
}

}  // namespace quorvane
