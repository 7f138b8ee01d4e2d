#include "ui/frmAP_ModErr.h"

#include "core/Failure.h"
#include "core/FailureRouting.h"
#include "support/ScriptedDialogs.h"
#include "ui/Twips.h"

#include <QApplication>
#include <QClipboard>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace Qt::StringLiterals;

namespace quorvane {
namespace {

const QString kLocation =
    u"例外程序：\tmodDB.ExecuteNoQuery\r\nStatement  :\tDELETE FROM "
    u"BF_Customer\r\nOptions    :\t0"_s;

// An exception dialog opened as ShowException opens it, but without blocking: shown, active,
// and driven with QTest.
class ModErr : public ::testing::Test {
protected:
    void SetUp() override {
        dialog_ = std::make_unique<frmAP_ModErr>();
        const Failure failure(-2147217900, u"違反 PRIMARY KEY 條件約束"_s, u"QPSQL"_s);
        dialog_->setDetails(FailureDetails(&failure, kLocation));
        open();
    }

    void open() {
        dialog_->show();
        dialog_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog_.get()));
    }

    QPushButton* button(const QString& name) const {
        auto* found = dialog_->findChild<QPushButton*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }

    QPlainTextEdit* txtErr() const { return dialog_->findChild<QPlainTextEdit*>(u"txtErr"_s); }

    int pixels(int twips) const { return TwipsToPixelsY(twips, dialog_.get()); }

    std::unique_ptr<frmAP_ModErr> dialog_;
};

struct ButtonCase {
    const char* button;
    Answer answer;
};

class AnswerButton : public ModErr, public ::testing::WithParamInterface<ButtonCase> {};

TEST_P(AnswerButton, ClosesWithItsAnswer) {
    QTest::mouseClick(button(QString::fromLatin1(GetParam().button)), Qt::LeftButton);
    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_EQ(dialog_->answer(), GetParam().answer);
    EXPECT_EQ(dialog_->result(), int(GetParam().answer));
}

INSTANTIATE_TEST_SUITE_P(Buttons, AnswerButton,
                         ::testing::Values(ButtonCase{"cmdIgnore", Answer::Ignore},
                                           ButtonCase{"cmdRetry", Answer::Retry},
                                           ButtonCase{"cmdExit", Answer::Exit}),
                         [](const ::testing::TestParamInfo<ButtonCase>& info) {
                             return std::string(info.param.button);
                         });

TEST_F(ModErr, ClosingItAnyOtherWayAnswersExit) {
    dialog_->close();  // the close box
    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_EQ(dialog_->answer(), Answer::Exit);

    open();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_EQ(dialog_->answer(), Answer::Exit);
}

TEST_F(ModErr, EnterChoosesIgnore) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_EQ(dialog_->answer(), Answer::Ignore);
}

TEST_F(ModErr, EnterAfterShowingTheDetailsStillChoosesIgnore) {
    QTest::mouseClick(button(u"cmdDetail"_s), Qt::LeftButton);
    txtErr()->setFocus();
    QTest::keyClick(txtErr(), Qt::Key_Return);
    EXPECT_EQ(dialog_->answer(), Answer::Ignore);
}

TEST_F(ModErr, DetailsButtonTogglesTheDetailsAndTheHeight) {
    EXPECT_FALSE(txtErr()->isVisible());
    EXPECT_EQ(dialog_->height(), pixels(3384));

    QTest::mouseClick(button(u"cmdDetail"_s), Qt::LeftButton);
    EXPECT_TRUE(dialog_->isVisible());
    EXPECT_TRUE(txtErr()->isVisible());
    EXPECT_EQ(dialog_->height(), pixels(5784));
    EXPECT_GT(txtErr()->geometry().bottom(), pixels(3384));
    EXPECT_LE(txtErr()->geometry().bottom(), dialog_->height());

    QTest::mouseClick(button(u"cmdDetail"_s), Qt::LeftButton);
    EXPECT_FALSE(txtErr()->isVisible());
    EXPECT_EQ(dialog_->height(), pixels(3384));
}

TEST_F(ModErr, DetailsShowTheTextLineByLine) {
    QTest::mouseClick(button(u"cmdDetail"_s), Qt::LeftButton);
    const QStringList lines = txtErr()->toPlainText().split(u'\n');
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[0], u"例外編號　　　　：-2147217900"_s);
    EXPECT_EQ(lines[3], u"例外程序：\tmodDB.ExecuteNoQuery"_s);
    EXPECT_TRUE(txtErr()->isReadOnly());
}

TEST_F(ModErr, CopyPutsTheWholeDetailsOnTheClipboardAndStaysOpen) {
    QGuiApplication::clipboard()->clear();
    QTest::mouseClick(button(u"cmdCopy"_s), Qt::LeftButton);
    const QString copied = QGuiApplication::clipboard()->text();
    EXPECT_TRUE(copied.startsWith(u"例外編號　　　　：-2147217900\r\n"_s)) << copied.toStdString();
    EXPECT_TRUE(copied.endsWith(kLocation)) << copied.toStdString();
    EXPECT_EQ(copied, dialog_->details());
    EXPECT_TRUE(dialog_->isVisible());
    EXPECT_EQ(button(u"cmdCopy"_s)->toolTip(), u"複製詳細資料內的資訊至剪貼簿"_s);
}

TEST_F(ModErr, EveryOpeningStartsWithDetailsHiddenAndAnswerExit) {
    QTest::mouseClick(button(u"cmdDetail"_s), Qt::LeftButton);
    ASSERT_TRUE(dialog_->detailsShown());
    QTest::mouseClick(button(u"cmdRetry"_s), Qt::LeftButton);
    ASSERT_EQ(dialog_->answer(), Answer::Retry);

    // The same dialog opened again.
    open();
    EXPECT_FALSE(dialog_->detailsShown());
    EXPECT_FALSE(txtErr()->isVisible());
    EXPECT_EQ(dialog_->height(), pixels(3384));
    EXPECT_EQ(dialog_->answer(), Answer::Exit);

    // A fresh dialog, as each failure opens one.
    QTest::mouseClick(button(u"cmdDetail"_s), Qt::LeftButton);
    dialog_ = std::make_unique<frmAP_ModErr>();
    open();
    EXPECT_FALSE(dialog_->detailsShown());
    EXPECT_EQ(dialog_->height(), pixels(3384));
}

TEST_F(ModErr, IsAFixedToolWindowCentredOnTheScreen) {
    EXPECT_EQ(dialog_->windowTitle(), u"程式例外"_s);
    const Qt::WindowFlags flags = dialog_->windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(dialog_->minimumSize(), dialog_->maximumSize());

    const QPoint offset =
        dialog_->frameGeometry().center() - dialog_->screen()->availableGeometry().center();
    EXPECT_LE(offset.manhattanLength(), 2);
}

TEST_F(ModErr, FixedTextsReadTopToBottomAboveTheRule) {
    QList<QLabel*> labels = dialog_->findChildren<QLabel*>();
    std::sort(labels.begin(), labels.end(),
              [](const QLabel* a, const QLabel* b) { return a->y() < b->y(); });
    QStringList texts;
    for (const QLabel* label : labels) {
        texts.append(label->text());
        // Nothing is cut off: each text fits its label.
        EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
    }
    EXPECT_EQ(texts,
              QStringList({u"程式發生可處理的不明例外狀況"_s, u"您可選擇以下三種的處理動作"_s,
                           u"忽略：　　　忽略此例外，並繼續執行"_s,
                           u"重試：　　　重新嘗試剛才發生例外的步驟"_s,
                           u"離開此程序：結束剛才發生例外的步驟"_s}));
    const auto* rule = dialog_->findChild<QFrame*>(u"linRule"_s);
    ASSERT_NE(rule, nullptr);
    EXPECT_EQ(rule->frameShape(), QFrame::HLine);
    EXPECT_GT(rule->y(), labels.back()->geometry().bottom());
    EXPECT_GT(button(u"cmdDetail"_s)->y(), rule->y());
}

}  // namespace
}  // namespace quorvane
