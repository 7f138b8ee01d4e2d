#include "ui/QtDialogs.h"

#include "support/ScriptedDialogs.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace quorvane {
namespace {

using Icon = Dialogs::Icon;
using Button = Dialogs::Button;
using Buttons = Dialogs::Buttons;

struct BoxCase {
    const char* name;
    Icon icon;
    Buttons buttons;
    Button defaultButton;
    QMessageBox::Icon qtIcon;
    QMessageBox::StandardButtons qtButtons;
    QMessageBox::StandardButton qtDefault;
    Button escapeAnswer;  // what the box answers when it is closed without a button
};

class MessageBoxMakeUp : public ::testing::TestWithParam<BoxCase> {};

TEST_P(MessageBoxMakeUp, MatchesWhatWasAsked) {
    const BoxCase& c = GetParam();
    const auto box = QtDialogs::buildMessageBox(c.icon, u"刪除程序"_s,
                                                u"是否欲刪除以下紀錄\r\n\r\n契約編號：C0001"_s,
                                                c.buttons, c.defaultButton, nullptr);
    EXPECT_EQ(box->icon(), c.qtIcon);
    EXPECT_EQ(box->windowTitle(), u"刪除程序"_s);
    EXPECT_EQ(box->text(), u"是否欲刪除以下紀錄\n\n契約編號：C0001"_s);
    EXPECT_EQ(box->standardButtons(), c.qtButtons);
    EXPECT_EQ(box->standardButton(box->defaultButton()), c.qtDefault);
    EXPECT_EQ(QtDialogs::answerOf(*box, c.buttons), c.escapeAnswer);

    // A click on a button is its answer.
    box->button(c.qtDefault)->click();
    EXPECT_EQ(QtDialogs::answerOf(*box, c.buttons), c.defaultButton);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MessageBoxMakeUp,
    ::testing::Values(
        BoxCase{"Information", Icon::Information, Buttons::Ok, Button::Ok, QMessageBox::Information,
                QMessageBox::Ok, QMessageBox::Ok, Button::Ok},
        BoxCase{"Plain", Icon::None, Buttons::Ok, Button::Ok, QMessageBox::NoIcon, QMessageBox::Ok,
                QMessageBox::Ok, Button::Ok},
        BoxCase{"QuestionCancelDefault", Icon::Question, Buttons::OkCancel, Button::Cancel,
                QMessageBox::Question, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel,
                Button::Cancel},
        BoxCase{"WarningYesNo", Icon::Warning, Buttons::YesNo, Button::Yes, QMessageBox::Warning,
                QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes, Button::No},
        BoxCase{"Critical", Icon::Critical, Buttons::Ok, Button::Ok, QMessageBox::Critical,
                QMessageBox::Ok, QMessageBox::Ok, Button::Ok}),
    [](const ::testing::TestParamInfo<BoxCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quorvane
