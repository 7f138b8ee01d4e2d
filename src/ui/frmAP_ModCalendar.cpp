#include "ui/frmAP_ModCalendar.h"

#include "ui/Dialogs.h"
#include "ui/ScreenSizing.h"
#include "ui/Twips.h"

#include <QCalendarWidget>
#include <QKeyEvent>
#include <QLocale>
#include <QShowEvent>
#include <QVBoxLayout>

namespace quorvane {

frmAP_ModCalendar::frmAP_ModCalendar(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmAP_ModCalendar"));
    setWindowTitle(QStringLiteral("選擇日期"));

    mvw_ = new QCalendarWidget(this);
    mvw_->setObjectName(QStringLiteral("mvw"));
    // Month and day names in the interface's language, whatever the workstation's locale.
    mvw_->setLocale(QLocale(QLocale::Chinese, QLocale::Taiwan));
    mvw_->setFirstDayOfWeek(Qt::Sunday);
    mvw_->setSelectedDate(QDate::currentDate());
    mvw_->setMinimumSize(TwipsToPixels(CalendarWidthTwips, CalendarHeightTwips, this));
    mvw_->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    mvw_->setGridVisible(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(mvw_);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // clicked: a day released under the mouse; activated: Enter (or a double click).
    connect(mvw_, &QCalendarWidget::clicked, this, &frmAP_ModCalendar::pick);
    connect(mvw_, &QCalendarWidget::activated, this, &frmAP_ModCalendar::pick);
}

QString frmAP_ModCalendar::DateText(const QDate& date) {
    return date.toString(QStringLiteral("yyyy/MM/dd"));
}

QString frmAP_ModCalendar::pickedDate() const {
    return picked_.isValid() ? DateText(picked_) : QString();
}

void frmAP_ModCalendar::pick(const QDate& date) {
    if (!date.isValid()) {
        return;
    }
    picked_ = date;
    accept();
}

void frmAP_ModCalendar::keyPressEvent(QKeyEvent* event) {
    // Enter that the calendar did not take (the focus on its month bar): the selected day.
    if (event->modifiers() == Qt::NoModifier &&
        (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        pick(mvw_->selectedDate());
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmAP_ModCalendar::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        picked_ = {};
        CentreOver(this, parentWidget());
        mvw_->setFocus(Qt::OtherFocusReason);
    }
    QDialog::showEvent(event);
}

bool PickDate(QString& output, QWidget* owner) {
    const QString picked = AppDialogs().pickDate(owner);
    if (picked.isEmpty()) {
        return false;
    }
    output = picked;
    return true;
}

}  // namespace quorvane
