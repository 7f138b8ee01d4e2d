#include "ui/frmAP_ModCalendar.h"

#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QDate>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace quorvane {
namespace {

// The date picker shown without blocking and driven as a user would.
class Calendar : public ::testing::Test {
protected:
    void SetUp() override {
        dialog_ = std::make_unique<frmAP_ModCalendar>();
        dialog_->show();
        dialog_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog_.get()));
        ASSERT_NE(calendar(), nullptr);
        ASSERT_NE(days(), nullptr);
    }

    QCalendarWidget* calendar() const { return dialog_->findChild<QCalendarWidget*>(u"mvw"_s); }
    // The grid of days inside the calendar.
    QTableView* days() const { return calendar()->findChild<QTableView*>(); }

    std::unique_ptr<frmAP_ModCalendar> dialog_;
};

TEST_F(Calendar, IsAFixedSizeDialogStartingOnToday) {
    EXPECT_EQ(dialog_->windowTitle(), u"選擇日期"_s);
    EXPECT_EQ(dialog_->minimumSize(), dialog_->maximumSize());
    EXPECT_FALSE(dialog_->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(dialog_->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(calendar()->selectedDate(), QDate::currentDate());
    EXPECT_TRUE(calendar()->isAncestorOf(QApplication::focusWidget()) ||
                QApplication::focusWidget() == calendar());
    EXPECT_TRUE(dialog_->pickedDate().isEmpty());
}

TEST_F(Calendar, ClickingADayPicksItAndCloses) {
    calendar()->setSelectedDate(QDate(2024, 3, 5));
    const QModelIndex day = days()->currentIndex();
    ASSERT_EQ(day.data().toString(), u"5"_s);

    QTest::mouseClick(days()->viewport(), Qt::LeftButton, Qt::NoModifier,
                      days()->visualRect(day).center());

    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_EQ(dialog_->result(), QDialog::Accepted);
    EXPECT_EQ(dialog_->pickedDate(), u"2024/03/05"_s);
}

TEST_F(Calendar, EnterPicksTheSelectedDay) {
    QTest::keyClick(days(), Qt::Key_Return);
    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_EQ(dialog_->pickedDate(), QDate::currentDate().toString(u"yyyy/MM/dd"_s));

    // After moving with the keyboard, Enter takes the day moved to.
    dialog_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog_.get()));
    calendar()->setSelectedDate(QDate(2023, 12, 31));
    QTest::keyClick(days(), Qt::Key_Right);
    EXPECT_TRUE(dialog_->isVisible());  // moving does not pick
    QTest::keyClick(days(), Qt::Key_Enter);
    EXPECT_EQ(dialog_->pickedDate(), u"2024/01/01"_s);
}

TEST_F(Calendar, EscapeCancels) {
    QTest::keyClick(days(), Qt::Key_Escape);
    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_EQ(dialog_->result(), QDialog::Rejected);
    EXPECT_TRUE(dialog_->pickedDate().isEmpty());
}

TEST(DateText, HasTwoDigitMonthsAndDays) {
    EXPECT_EQ(frmAP_ModCalendar::DateText(QDate(2024, 3, 5)), u"2024/03/05"_s);
    EXPECT_EQ(frmAP_ModCalendar::DateText(QDate(1999, 12, 31)), u"1999/12/31"_s);
}

TEST(PickDate, WritesAPickedDateAndLeavesTheOutputAfterACancel) {
    struct Case {
        QString answer;
        bool picked;
        QString output;
    };
    const Case cases[] = {
        {u"2024/03/05"_s, true, u"2024/03/05"_s},
        {QString(), false, u"2020/01/01"_s},
    };
    for (const Case& c : cases) {
        ScriptedDialogs dialogs;
        dialogs.expectDate(c.answer);
        QString output = u"2020/01/01"_s;
        EXPECT_EQ(PickDate(output), c.picked);
        EXPECT_EQ(output, c.output);
        ASSERT_EQ(dialogs.records().size(), 1u);
        EXPECT_EQ(dialogs.records()[0].kind, ScriptedDialogs::Kind::Date);
    }
}

}  // namespace
}  // namespace quorvane
