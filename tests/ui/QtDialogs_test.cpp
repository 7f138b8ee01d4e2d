#include "ui/QtDialogs.h"

#include "support/ScriptedDialogs.h"

#include <QAbstractButton>
#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QMessageBox>
#include <QPainter>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolBar>
#include <QUrl>

#include <gtest/gtest.h>

#include <vector>

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

// A face with a bold italic style, for the dialog to be able to give both.
QString BoldItalicFace() {
    const QStringList families = QFontDatabase::families();
    for (const QString& family : families) {
        const QStringList styles = QFontDatabase::styles(family);
        for (const QString& style : styles) {
            if (QFontDatabase::bold(family, style) && QFontDatabase::italic(family, style)) {
                return family;
            }
        }
    }
    return {};
}

TEST(FontDialog, OpensOnTheFaceAndGivesTheChosenFaceSizeAndStyleOrACancel) {
    const QString kai = u"AR PL UKai TW"_s;
    ASSERT_TRUE(QFontDatabase::hasFamily(kai)) << "the program's voucher fonts are not installed";
    const QString face = BoldItalicFace();
    ASSERT_FALSE(face.isEmpty()) << "no installed face has a bold italic style";

    const auto dialog = QtDialogs::buildFontDialog(kai, nullptr);
    EXPECT_TRUE(dialog->testOption(QFontDialog::ScalableFonts));
    EXPECT_EQ(dialog->currentFont().family(), kai);

    QFont chosen(face);
    chosen.setPointSize(14);
    chosen.setBold(true);
    chosen.setItalic(true);
    dialog->setCurrentFont(chosen);
    dialog->accept();
    const FontChoice choice = QtDialogs::choiceOf(*dialog);
    EXPECT_TRUE(choice.accepted);
    EXPECT_EQ(choice.face, face);
    EXPECT_EQ(choice.pointSize, 14);
    EXPECT_TRUE(choice.bold);
    EXPECT_TRUE(choice.italic);

    const auto cancelled = QtDialogs::buildFontDialog(kai, nullptr);
    cancelled->setCurrentFont(chosen);
    cancelled->reject();
    EXPECT_FALSE(QtDialogs::choiceOf(*cancelled).accepted);
}

TEST(PrintPreview, ShowsEveryPageTheProgramDrawsAndOffersNoPrinting) {
    std::vector<int> drawn;
    std::vector<QSizeF> pageSizes;
    PreviewPages pages;
    pages.title = u"票卷列印範本預覽"_s;
    pages.count = 3;
    pages.layout = QPageLayout(QPageSize(QSizeF(70, 180), QPageSize::Millimeter),
                               QPageLayout::Portrait, QMarginsF());
    pages.paint = [&](QPainter& painter, int page) {
        drawn.push_back(page);
        const QPaintDevice* device = painter.device();
        // The device is the whole page, in millimetres at its own resolution.
        pageSizes.emplace_back(device->width() * 25.4 / device->logicalDpiX(),
                               device->height() * 25.4 / device->logicalDpiY());
        painter.drawRect(10, 10, 100, 100);
    };
    QPrinter printer(QPrinter::HighResolution);
    const auto dialog = QtDialogs::buildPreview(pages, printer, nullptr);
    EXPECT_EQ(dialog->windowTitle(), u"票卷列印範本預覽"_s);
    auto* preview = dialog->findChild<QPrintPreviewWidget*>(u"preview"_s);
    ASSERT_NE(preview, nullptr);
    preview->updatePreview();
    EXPECT_EQ(preview->pageCount(), 3);
    EXPECT_EQ(drawn, (std::vector<int>{0, 1, 2}));
    ASSERT_FALSE(pageSizes.empty());
    EXPECT_NEAR(pageSizes[0].width(), 70, 0.5);
    EXPECT_NEAR(pageSizes[0].height(), 180, 0.5);

    auto* bar = dialog->findChild<QToolBar*>(u"tlbPreview"_s);
    ASSERT_NE(bar, nullptr);
    QStringList keys;
    for (const QAction* action : bar->actions()) {
        keys.append(action->objectName());
    }
    EXPECT_EQ(keys, QStringList({u"PreviousPage"_s, u"NextPage"_s, u"ZoomIn"_s, u"ZoomOut"_s,
                                 u"FitPage"_s, u"Quit"_s}));
    const auto trigger = [&](const QString& name) {
        bar->findChild<QAction*>(name)->trigger();
        return preview->currentPage();
    };
    EXPECT_EQ(preview->currentPage(), 1);
    EXPECT_EQ(trigger(u"NextPage"_s), 2);
    EXPECT_EQ(trigger(u"NextPage"_s), 3);
    EXPECT_EQ(trigger(u"NextPage"_s), 3);
    EXPECT_EQ(trigger(u"PreviousPage"_s), 2);

    dialog->show();
    trigger(u"Quit"_s);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
}

TEST(NoApplicationText, NamesWhatToInstallForTheFilesType) {
    const struct {
        const char* path;
        bool desktopOpener;
        const char* install;
    } cases[] = {
        {"/srv/確認/客戶票樣確認-A123-001.docx", true, "LibreOffice Writer"},
        {"/srv/範本/票卷範本-A123-001.DOTX", true, "LibreOffice Writer"},
        {"/srv/匯出/額度查詢.xlsx", true, "LibreOffice Calc"},
        {"/srv/匯出/說明.abc", true, "可開啟「.abc」檔案的應用程式"},
        {"/srv/匯出/額度查詢.xlsx", false, "桌面開啟檔案的工具 xdg-utils 與 LibreOffice Calc"},
    };
    for (const auto& c : cases) {
        const QString path = QString::fromUtf8(c.path);
        EXPECT_EQ(QtDialogs::noApplicationText(path, c.desktopOpener),
                  u"無法開啟檔案\r\n\r\n"_s + path +
                      u"\r\n\r\n此電腦沒有可開啟這類檔案的應用程式，請安裝 "_s +
                      QString::fromUtf8(c.install) + u" 後再開啟一次\r\n檔案已保留在上述位置"_s)
            << c.path;
    }
}

// --- Opening a file with the desktop's application ---

// The program's dialogs, except that a message is noted instead of shown.
class NotingDialogs : public QtDialogs {
public:
    struct Shown {
        Icon icon;
        QString title;
        QString text;
    };

    Button message(Icon icon, const QString& title, const QString& text, Buttons /*buttons*/,
                   Button defaultButton) override {
        shown.push_back({icon, title, text});
        return defaultButton;
    }

    std::vector<Shown> shown;
};

// Stands in for the desktop's launcher: takes the file URLs the program hands to the desktop.
class Launcher : public QObject {
    Q_OBJECT

public:
    Launcher() { QDesktopServices::setUrlHandler(u"file"_s, this, "open"); }
    ~Launcher() override { QDesktopServices::unsetUrlHandler(u"file"_s); }

    std::vector<QUrl> opened;

public Q_SLOTS:
    void open(const QUrl& url) { opened.push_back(url); }
};

// The desktop's own tools on a PATH of the test's making: an xdg-mime that notes what it was
// asked and names the desktop entry the test gave it (none when it is empty).
class OpenFile : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        ASSERT_TRUE(QDir().mkpath(folder_.filePath(u"bin"_s)));
        savedPath_ = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(folder_.filePath(u"bin"_s)));
    }
    void TearDown() override { qputenv("PATH", savedPath_); }

    void installXdgMime(const QString& defaultEntry) {
        QFile script(folder_.filePath(u"bin/xdg-mime"_s));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        // Shell built-ins only: nothing else is on the PATH.
        script.write("#!/bin/sh\necho \"$@\" >> '" + QFile::encodeName(asked()) + "'\n");
        if (!defaultEntry.isEmpty()) {
            script.write("echo '" + defaultEntry.toUtf8() + "'\n");
        }
        script.close();
        ASSERT_TRUE(script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }

    QString asked() const { return folder_.filePath(u"asked"_s); }
    QString askedText() const {
        QFile file(asked());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    QString document(const QString& name) const { return folder_.filePath(name); }

    QTemporaryDir folder_;
    QByteArray savedPath_;
};

TEST_F(OpenFile, ARegisteredApplicationGetsTheFile) {
    installXdgMime(u"libreoffice-writer.desktop"_s);
    Launcher launcher;
    NotingDialogs dialogs;
    const QString path = document(u"客戶票樣確認-A123-001.docx"_s);
    EXPECT_TRUE(dialogs.openFile(path));
    EXPECT_EQ(launcher.opened, std::vector<QUrl>{QUrl::fromLocalFile(path)});
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(askedText(),
              u"query default application/vnd.openxmlformats-officedocument.wordprocessingml."
              u"document\n"_s);
}

TEST_F(OpenFile, AFileTypeWithoutApplicationIsNotHandedOnAndTheMessageNamesOne) {
    installXdgMime(QString());
    Launcher launcher;
    NotingDialogs dialogs;
    const QString path = document(u"額度查詢.xlsx"_s);
    EXPECT_FALSE(dialogs.openFile(path));
    EXPECT_TRUE(launcher.opened.empty());
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].icon, Icon::Warning);
    EXPECT_EQ(dialogs.shown[0].title, u"開啟檔案"_s);
    EXPECT_EQ(dialogs.shown[0].text, QtDialogs::noApplicationText(path, true));
    EXPECT_TRUE(dialogs.shown[0].text.contains(u"LibreOffice Calc"_s));
    EXPECT_EQ(
        askedText(),
        u"query default application/vnd.openxmlformats-officedocument.spreadsheetml.sheet\n"_s);
}

TEST_F(OpenFile, WithoutTheDesktopsToolsTheDesktopDecidesAndAFailureNamesThem) {
    const QString path = document(u"票卷範本-A123-001.dotx"_s);
    {
        // A desktop that opens files by its own means.
        Launcher launcher;
        NotingDialogs dialogs;
        EXPECT_TRUE(dialogs.openFile(path));
        EXPECT_EQ(launcher.opened.size(), 1u);
        EXPECT_TRUE(dialogs.shown.empty());
    }
    // No launcher at all (the offscreen platform has none).
    NotingDialogs dialogs;
    EXPECT_FALSE(dialogs.openFile(path));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, QtDialogs::noApplicationText(path, false));
    EXPECT_TRUE(dialogs.shown[0].text.contains(u"xdg-utils"_s));
    EXPECT_TRUE(dialogs.shown[0].text.contains(u"LibreOffice Writer"_s));
}

}  // namespace
}  // namespace quorvane

#include "QtDialogs_test.moc"
