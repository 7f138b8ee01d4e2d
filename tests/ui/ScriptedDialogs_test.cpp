#include "support/ScriptedDialogs.h"

#include "core/Failure.h"
#include "core/FailureRouting.h"
#include "ui/FieldKinds.h"

#include <QDialog>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <vector>

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

// A voucher's template page, 70 x 180 mm: a frame on every page, a bar on the second.
PreviewPages VoucherPages(std::vector<QSize>* devices = nullptr) {
    PreviewPages pages;
    pages.title = u"票卷列印範本預覽"_s;
    pages.count = 2;
    pages.layout = QPageLayout(QPageSize(QSizeF(70, 180), QPageSize::Millimeter),
                               QPageLayout::Portrait, QMarginsF());
    pages.paint = [devices](QPainter& painter, int page) {
        const QRect whole(0, 0, painter.device()->width(), painter.device()->height());
        if (devices != nullptr) {
            devices->push_back(whole.size());
        }
        painter.setPen(QPen(Qt::black, 3));
        painter.drawRect(whole.adjusted(5, 5, -5, -5));
        if (page == 1) {
            painter.fillRect(QRect(whole.center(), QSize(20, 20)), Qt::black);
        }
    };
    return pages;
}

int DarkPixels(const QImage& image) {
    int dark = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            dark += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
        }
    }
    return dark;
}

TEST(ScriptedDialogs, AnswersTheFontDialogThePreviewAndOpeningAFile) {
    ScriptedDialogs dialogs;
    const FontChoice chosen{true, u"AR PL UKai TW"_s, 10.5, true, false};
    dialogs.expectFont(u"標楷體"_s, chosen);
    dialogs.expectFont(u"AR PL UKai TW"_s, FontChoice{});
    dialogs.expectPreview(u"票卷列印範本預覽"_s);
    dialogs.expectOpenFile(u"/srv/範本/客戶票樣確認-A123-001.docx"_s);
    dialogs.expectOpenFile(u"/srv/匯出/額度查詢.xlsx"_s, false);

    const FontChoice answer = AppDialogs().chooseFont(nullptr, u"標楷體"_s);
    EXPECT_TRUE(answer.accepted);
    EXPECT_EQ(answer.face, u"AR PL UKai TW"_s);
    EXPECT_EQ(answer.pointSize, 10.5);
    EXPECT_TRUE(answer.bold);
    EXPECT_FALSE(answer.italic);
    EXPECT_FALSE(AppDialogs().chooseFont(nullptr, u"AR PL UKai TW"_s).accepted);

    AppDialogs().previewPages(nullptr, VoucherPages());
    EXPECT_TRUE(AppDialogs().openFile(u"/srv/範本/客戶票樣確認-A123-001.docx"_s));
    EXPECT_FALSE(AppDialogs().openFile(u"/srv/匯出/額度查詢.xlsx"_s));

    ASSERT_EQ(dialogs.records().size(), 5u);
    EXPECT_EQ(dialogs.records()[0].kind, ScriptedDialogs::Kind::Font);
    EXPECT_EQ(dialogs.records()[0].text, u"標楷體"_s);
    EXPECT_EQ(dialogs.records()[2].kind, ScriptedDialogs::Kind::Preview);
    EXPECT_EQ(dialogs.records()[2].preview.count, 2);
    EXPECT_EQ(dialogs.records()[3].kind, ScriptedDialogs::Kind::OpenFile);
    EXPECT_EQ(dialogs.pending(), 0u);
}

TEST(ScriptedDialogs, FailsOnAFontPreviewOrFileOtherThanTheOneExpected) {
    auto wrongFace = [] {
        ScriptedDialogs dialogs;
        dialogs.expectFont(u"標楷體"_s, FontChoice{});
        AppDialogs().chooseFont(nullptr, u"新細明體"_s);
    };
    EXPECT_NONFATAL_FAILURE(wrongFace(), "differs");

    auto wrongPreview = [] {
        ScriptedDialogs dialogs;
        dialogs.expectPreview(u"票樣確認文件預覽"_s);
        AppDialogs().previewPages(nullptr, VoucherPages());
    };
    EXPECT_NONFATAL_FAILURE(wrongPreview(), "differs");

    auto wrongFile = [] {
        ScriptedDialogs dialogs;
        dialogs.expectOpenFile(u"/srv/a.xlsx"_s);
        EXPECT_FALSE(AppDialogs().openFile(u"/srv/b.xlsx"_s));
    };
    EXPECT_NONFATAL_FAILURE(wrongFile(), "differs");

    auto unexpected = [] {
        ScriptedDialogs dialogs;
        EXPECT_FALSE(AppDialogs().openFile(u"/srv/a.xlsx"_s));
    };
    EXPECT_NONFATAL_FAILURE(unexpected(), "unexpected opening of a file");
}

TEST(ScriptedDialogs, RendersAPreviewedPageOnAnImageOfThePagesSize) {
    ScriptedDialogs dialogs;
    dialogs.expectPreview(u"票卷列印範本預覽"_s);
    std::vector<QSize> devices;
    AppDialogs().previewPages(nullptr, VoucherPages(&devices));
    EXPECT_TRUE(devices.empty()) << "the scripted preview draws nothing by itself";
    const PreviewPages& pages = dialogs.records().at(0).preview;

    const QImage first = ScriptedDialogs::renderPage(pages, 0);
    const QImage second = ScriptedDialogs::renderPage(pages, 1);
    // 70 x 180 mm at 96 dots per inch.
    EXPECT_EQ(first.size(), QSize(265, 680));
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0], first.size());
    EXPECT_GT(DarkPixels(first), 0);
    EXPECT_GT(DarkPixels(second), DarkPixels(first));
    EXPECT_EQ(ScriptedDialogs::renderPage(pages, 0, 300).size(), QSize(827, 2126));

    EXPECT_NONFATAL_FAILURE(ScriptedDialogs::renderPage(pages, 2), "has no page 2");
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
