#include "support/ScriptedDialogs.h"

#include "core/Failure.h"
#include "core/FailureRouting.h"
#include "ui/FieldKinds.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace quorvane {
namespace {

using Icon = Dialogs::Icon;
using Button = Dialogs::Button;
using Buttons = Dialogs::Buttons;

TEST(ScriptedDialogs, AnswersQueuedDialogsInOrderAndRecordsThem) {
    Dialogs* before = &AppDialogs();
    {
        ScriptedDialogs dialogs;
        EXPECT_EQ(&AppDialogs(), &dialogs);
        dialogs
            .expectMessage(Icon::Question, u"刪除程序"_s, u"是否欲刪除以下紀錄"_s, Button::Cancel)
            .withButtons(Buttons::OkCancel, Button::Cancel);
        dialogs.expectException(Answer::Retry, u"subFormSave"_s);
        dialogs.expectFolder(u"選擇票卷列印範本檔路徑"_s, u"/srv/templates/"_s);

        EXPECT_EQ(AppDialogs().message(Icon::Question, u"刪除程序"_s, u"是否欲刪除以下紀錄"_s,
                                       Buttons::OkCancel, Button::Cancel),
                  Button::Cancel);
        EXPECT_EQ(AppDialogs().exception(u"例外程序　　　　：subFormSave\r\n\r\n"_s),
                  Answer::Retry);
        EXPECT_EQ(AppDialogs().chooseFolder(nullptr, u"選擇票卷列印範本檔路徑"_s),
                  u"/srv/templates/"_s);

        ASSERT_EQ(dialogs.records().size(), 3u);
        EXPECT_EQ(dialogs.records()[0].kind, ScriptedDialogs::Kind::Message);
        EXPECT_EQ(dialogs.records()[0].buttons, Buttons::OkCancel);
        EXPECT_EQ(dialogs.records()[1].kind, ScriptedDialogs::Kind::Exception);
        EXPECT_EQ(dialogs.records()[2].title, u"選擇票卷列印範本檔路徑"_s);
        EXPECT_EQ(dialogs.pending(), 0u);
    }
    EXPECT_EQ(&AppDialogs(), before);
}

TEST(ScriptedDialogs, FailsOnADialogNobodyExpected) {
    auto run = [] {
        ScriptedDialogs dialogs;
        EXPECT_EQ(AppDialogs().message(Icon::Question, u"t"_s, u"x"_s, Buttons::YesNo, Button::Yes),
                  Button::No);
    };
    EXPECT_NONFATAL_FAILURE(run(), "unexpected message box");
}

TEST(ScriptedDialogs, FailsOnADialogThatDiffersFromTheOneExpected) {
    auto wrongText = [] {
        ScriptedDialogs dialogs;
        dialogs.expectMessage(Icon::Information, u"儲存"_s, u"儲存成功"_s);
        AppDialogs().message(Icon::Information, u"儲存"_s, u"儲存失敗"_s);
    };
    EXPECT_NONFATAL_FAILURE(wrongText(), "differs");

    auto wrongButtons = [] {
        ScriptedDialogs dialogs;
        dialogs.expectMessage(Icon::Question, u"刪除程序"_s, u"q"_s)
            .withButtons(Buttons::OkCancel, Button::Cancel);
        AppDialogs().message(Icon::Question, u"刪除程序"_s, u"q"_s, Buttons::OkCancel, Button::Ok);
    };
    EXPECT_NONFATAL_FAILURE(wrongButtons(), "differs");

    auto wrongKind = [] {
        ScriptedDialogs dialogs;
        dialogs.expectException(Answer::Ignore);
        AppDialogs().message(Icon::None, u"儲存系統設定"_s, u"儲存失敗"_s);
    };
    EXPECT_NONFATAL_FAILURE(wrongKind(), "differs");
}

TEST(ScriptedDialogs, FailsWhenAnExpectedDialogNeverOpens) {
    auto run = [] {
        ScriptedDialogs dialogs;
        dialogs.expectMessage(Icon::Information, u"儲存"_s, u"儲存成功"_s);
    };
    EXPECT_NONFATAL_FAILURE(run(), "never opened");
}

// A small modal screen: a contract-number field and an OK button that reports and accepts.
class SmallScreen : public QDialog {
public:
    SmallScreen() {
        setObjectName(u"frmSmall"_s);
        field = new QLineEdit(this);
        field->setObjectName(u"txtNoContract"_s);
        FieldKindFilter::Attach(field, FieldKind::ContractNumber);
        ok = new QPushButton(u"確定"_s, this);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(field);
        layout->addWidget(ok);
        connect(ok, &QPushButton::clicked, this, [this] {
            AppDialogs().message(Icon::Information, u"儲存"_s, field->text());
            accept();
        });
    }
    QLineEdit* field;
    QPushButton* ok;
};

TEST(ScriptedDialogs, RunModalLetsTheTestDriveTheScreen) {
    ScriptedDialogs dialogs;
    SmallScreen screen;
    dialogs.expectModal(
        [](QWidget* shown) {
            ASSERT_TRUE(shown->isActiveWindow());
            auto* field = shown->findChild<QLineEdit*>(u"txtNoContract"_s);
            field->setFocus();
            QTest::keyClicks(field, u"c0001/"_s);
            QTest::mouseClick(shown->findChild<QPushButton*>(), Qt::LeftButton);
        },
        u"frmSmall"_s);
    // The dialog the screen opens while it is driven comes next in the queue.
    dialogs.expectMessage(Icon::Information, u"儲存"_s, u"C0001"_s);

    AppDialogs().runModal(&screen);

    EXPECT_FALSE(screen.isVisible());
    EXPECT_EQ(screen.result(), QDialog::Accepted);
    EXPECT_EQ(dialogs.pending(), 0u);
}

TEST(ScriptedDialogs, RunModalFailsWhenTheScreenIsLeftOpen) {
    SmallScreen screen;
    auto run = [&] {
        ScriptedDialogs dialogs;
        dialogs.expectModal([](QWidget*) {});
        AppDialogs().runModal(&screen);
    };
    EXPECT_NONFATAL_FAILURE(run(), "left open");
    EXPECT_FALSE(screen.isVisible());
}

TEST(RouteFailuresToDialogs, ShowsEachFailureInTheExceptionDialog) {
    RouteFailuresToDialogs();
    ScriptedDialogs dialogs;
    const QString location = u"例外程序　　　　：subFormSave\r\n\r\n"_s;
    dialogs.expectException(Answer::Retry, location);
    dialogs.expectException(Answer::Exit, location);

    const Failure failure(2627, u"違反 PRIMARY KEY 條件約束"_s, u"QPSQL"_s);
    int attempts = 0;
    Procedure procedure(location);
    EXPECT_EQ(procedure.step([&] {
        ++attempts;
        throw failure;
    }),
              StepOutcome::Left);

    EXPECT_EQ(attempts, 2);  // Retry ran the step again; Exit left the procedure
    ASSERT_EQ(dialogs.records().size(), 2u);
    EXPECT_EQ(dialogs.records()[0].text, FailureDetails(&failure, location));
}

}  // namespace
}  // namespace quorvane
