#pragma once

#include <QDate>
#include <QDialog>
#include <QString>

class QCalendarWidget;
class QKeyEvent;
class QShowEvent;

namespace quorvane {

// The date picker: a month calendar that starts on today. Clicking a day picks it and closes
// the picker; Enter picks the day selected in the calendar; Esc (or the close box) cancels.
class frmAP_ModCalendar : public QDialog {
    Q_OBJECT

public:
    static constexpr int CalendarWidthTwips = 3840;
    static constexpr int CalendarHeightTwips = 2880;

    explicit frmAP_ModCalendar(QWidget* parent = nullptr);

    // The picked date as "yyyy/MM/dd"; empty when the picker was cancelled or is still open.
    QString pickedDate() const;

    // The date format of the program's date fields.
    static QString DateText(const QDate& date);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void pick(const QDate& date);

    QCalendarWidget* mvw_ = nullptr;
    QDate picked_;
};

// Opens the date picker through the program's dialogs. A picked date is written to `output`
// as "yyyy/MM/dd" and true returned; after a cancel `output` is left as it was.
bool PickDate(QString& output, QWidget* owner = nullptr);

}  // namespace quorvane
