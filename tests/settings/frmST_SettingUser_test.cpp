#include "settings/frmST_SettingUser.h"

#include "core/Settings.h"
#include "printing/rules/PrinterAccess.h"
#include "settings/SettingsScreenTest.h"
#include "support/ScriptedDialogs.h"
#include "support/TestCups.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

using namespace Qt::StringLiterals;

namespace quorvane {
namespace {

const QString kTitle = test::UserScreen::messageTitle();
const QString kStored = test::StoredText();

// What this screen shares with the other settings screens is checked in
// SettingsScreens_test.cpp.
class SettingUser : public test::SettingsScreenTest<test::UserScreen> {
protected:
    QLineEdit* templateField() const {
        return screen_->findChild<QLineEdit*>(u"txtPrint_PathTicketTemplate"_s);
    }
    QLineEdit* ticketFormField() const {
        return screen_->findChild<QLineEdit*>(u"txtPrint_PathTicketForm"_s);
    }
    QLabel* printerPanel() const {
        return screen_->findChild<QLabel*>(u"sspPrint_NamePrinterDefault"_s);
    }

    // Printer panel, template folder, sample document folder.
    QStringList shown() const {
        return {printerPanel()->text(), templateField()->text(), ticketFormField()->text()};
    }

    void press(const QString& buttonName) const {
        auto* button = screen_->findChild<QPushButton*>(buttonName);
        ASSERT_NE(button, nullptr) << buttonName.toStdString();
        QTest::mouseClick(button, Qt::LeftButton);
    }
};

TEST_F(SettingUser, WithNothingStoredShowsTheUsersDocumentFoldersAndNoPrinter) {
    open(store());
    const QString documents =
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + u"/Quorvane"_s;
    EXPECT_EQ(shown(), QStringList({QString(), documents + u"/票卷列印範本檔/"_s,
                                    documents + u"/客戶票樣確認/"_s}));
    EXPECT_FALSE(shown().at(1).startsWith(QCoreApplication::applicationDirPath()))
        << "never the program's own folder";
}

TEST_F(SettingUser, EachLabelNamesTheControlBesideItAndEachChoiceHasItsButton) {
    open(store());
    // Each label names the control beside it.
    const struct {
        QString label;
        QWidget* control;
    } rows[] = {{u"票卷列印預設印表機"_s, printerPanel()},
                {u"票樣文件預設路徑"_s, ticketFormField()},
                {u"票卷列印範本檔路徑"_s, templateField()}};
    for (const auto& row : rows) {
        const QLabel* found = nullptr;
        for (const QLabel* label : screen_->findChildren<QLabel*>()) {
            if (label->text() == row.label) {
                found = label;
            }
        }
        ASSERT_NE(found, nullptr) << row.label.toStdString();
        EXPECT_EQ(found->buddy(), row.control) << row.label.toStdString();
    }
    for (const QString& name :
         {u"cmdPrint_SelectPrintDefault"_s, u"cmdPrint_SelectPathTicketForm"_s,
          u"cmdPrint_SelectPathTemplate"_s}) {
        EXPECT_NE(screen_->findChild<QPushButton*>(name), nullptr) << name.toStdString();
    }
}

TEST_F(SettingUser, ShowsTheStoredValuesAsTheyAreAndTheSameOnTheSecondOpening) {
    const SettingsStore settings = store();
    // A folder stored without its trailing separator is shown, and kept, as it is.
    ASSERT_TRUE(settings.SetNamePrinterDefault(u"qv-voucher"_s));
    ASSERT_TRUE(settings.SetPathTicketTemplate(u"/srv/範本"_s));
    ASSERT_TRUE(settings.SetPathTicketForm(u"/srv/確認/"_s));
    open(settings);
    const QStringList expected = {u"qv-voucher"_s, u"/srv/範本"_s, u"/srv/確認/"_s};
    EXPECT_EQ(shown(), expected);

    retype(templateField(), u"/tmp/other/"_s);
    QTest::keyClick(templateField(), Qt::Key_Escape);
    ASSERT_FALSE(screen_->isVisible());
    screen_.reset();

    open(settings);
    EXPECT_EQ(shown(), expected);
}

TEST_F(SettingUser, SaveStoresExactlyWhatTheScreenHoldsReportsAndStaysOpen) {
    const SettingsStore settings = store();
    ASSERT_TRUE(settings.SetNamePrinterDefault(u"qv-voucher"_s));
    open(settings);
    retype(templateField(), u"/srv/templates"_s);
    retype(ticketFormField(), u"/srv/forms/"_s);

    ScriptedDialogs dialogs;
    dialogs.expectMessage(Dialogs::Icon::Information, kTitle, kStored);
    click(u"Save"_s);

    EXPECT_EQ(settings.GetNamePrinterDefault(), u"qv-voucher"_s);
    // As typed: the document screens append file names to it directly.
    EXPECT_EQ(settings.GetPathTicketTemplate(u"unused"_s), u"/srv/templates"_s);
    EXPECT_EQ(settings.GetPathTicketForm(u"unused"_s), u"/srv/forms/"_s);
    EXPECT_TRUE(screen_->isVisible());
}

TEST_F(SettingUser, SavingWithNothingStoredStoresTheDefaultsAndAnEmptyPrinter) {
    const SettingsStore settings = store();
    open(settings);
    const QStringList before = shown();

    ScriptedDialogs dialogs;
    dialogs.expectMessage(Dialogs::Icon::Information, kTitle, kStored);
    click(u"Save"_s);

    EXPECT_EQ(settings.read(u"Print"_s, u"NamePrinterDefault"_s),
              std::optional<QString>(QString()));
    EXPECT_EQ(settings.read(u"Print"_s, u"PathTicketTemplate"_s),
              std::optional<QString>(before[1]));
    EXPECT_EQ(settings.read(u"Print"_s, u"PathTicketForm"_s), std::optional<QString>(before[2]));
}

// --- Choosing a folder ---

struct FolderButton {
    const char* name;
    const char* button;
    const char* title;
    const char* field;
    const char* settingsValue;
};

const FolderButton kFolderButtons[] = {
    {"Template", "cmdPrint_SelectPathTemplate", "選擇票卷列印範本檔路徑",
     "txtPrint_PathTicketTemplate", "PathTicketTemplate"},
    {"TicketForm", "cmdPrint_SelectPathTicketForm", "選擇票樣文件檔路徑", "txtPrint_PathTicketForm",
     "PathTicketForm"},
};

class ChooseFolder : public SettingUser, public ::testing::WithParamInterface<FolderButton> {};

TEST_P(ChooseFolder, AnExistingFolderReplacesTheFieldAnythingElseLeavesIt) {
    const FolderButton& button = GetParam();
    const SettingsStore settings = store();
    ASSERT_TRUE(settings.SetPathTicketTemplate(u"/srv/範本/"_s));
    ASSERT_TRUE(settings.SetPathTicketForm(u"/srv/確認/"_s));
    const QString chosen = folder_.filePath(u"文件"_s);
    ASSERT_TRUE(QDir().mkpath(chosen));
    open(settings);
    auto* field = screen_->findChild<QLineEdit*>(QString::fromLatin1(button.field));
    ASSERT_NE(field, nullptr);
    const QString before = field->text();
    const QString title = QString::fromUtf8(button.title);

    const struct {
        const char* what;
        QString answer;
        QString shows;
    } cases[] = {
        {"cancelled", QString(), before},
        {"a folder that does not exist", folder_.filePath(u"missing"_s), before},
        {"a file, not a folder", settings.file(), before},
        {"an existing folder", chosen, chosen + u"/"_s},
        {"the root folder", u"/"_s, u"/"_s},
        {"an existing folder with its separator", chosen + u"/"_s, chosen + u"/"_s},
    };
    ScriptedDialogs dialogs;
    for (const auto& c : cases) {
        field->setText(before);
        dialogs.expectFolder(title, c.answer);
        press(QString::fromLatin1(button.button));
        EXPECT_EQ(field->text(), c.shows) << c.what;
    }
    EXPECT_EQ(dialogs.pending(), 0u);

    // What was chosen is what Save stores.
    dialogs.expectMessage(Dialogs::Icon::Information, kTitle, kStored);
    click(u"Save"_s);
    EXPECT_EQ(settings.read(u"Print"_s, QString::fromLatin1(button.settingsValue)),
              std::optional<QString>(chosen + u"/"_s));
}

INSTANTIATE_TEST_SUITE_P(Buttons, ChooseFolder, ::testing::ValuesIn(kFolderButtons),
                         [](const ::testing::TestParamInfo<FolderButton>& info) {
                             return std::string(info.param.name);
                         });

// --- Choosing the printer, among the queues of the tests' own CUPS scheduler ---

// The scripted dialogs, also noting how the screen stood while the print dialog was up.
class WatchingDialogs : public ScriptedDialogs {
public:
    QString choosePrinter(QWidget* owner, const QString& current) override {
        ownerWasEnabled = owner != nullptr && owner->isEnabled();
        const QCursor* cursor = QApplication::overrideCursor();
        showedHourglass = cursor != nullptr && cursor->shape() == Qt::WaitCursor;
        return ScriptedDialogs::choosePrinter(owner, current);
    }

    bool ownerWasEnabled = true;
    bool showedHourglass = false;
};

class ChoosePrinter : public SettingUser {
protected:
    void SetUp() override {
        SettingUser::SetUp();
        const test::TestCups cups = test::TestCups::FromEnvironment();
        ASSERT_FALSE(HasFailure());
        voucher_ = cups.voucher;
        branch_ = cups.branch;
        idle_ = cups.idle;
        held_ = cups.held;
        ASSERT_TRUE(UsePrint(idle_));
        ASSERT_EQ(CurrentPrinter().name, idle_);
    }

    // The screen after the print dialog: not busy any more.
    void expectNotBusy() const {
        EXPECT_TRUE(screen_->isEnabled());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }

    QString voucher_;
    QString branch_;
    QString idle_;
    QString held_;
};

TEST_F(ChoosePrinter, TheChosenPrinterIsShownBecomesCurrentAndIsWhatSaveStores) {
    const SettingsStore settings = store();
    ASSERT_TRUE(settings.SetNamePrinterDefault(voucher_));
    open(settings);

    WatchingDialogs dialogs;
    // The dialog opens on the program's current printer, not on the stored one.
    dialogs.expectPrinter(idle_, held_);
    press(u"cmdPrint_SelectPrintDefault"_s);
    EXPECT_FALSE(dialogs.ownerWasEnabled);
    EXPECT_TRUE(dialogs.showedHourglass);
    expectNotBusy();
    EXPECT_EQ(printerPanel()->text(), held_);
    EXPECT_EQ(CurrentPrinter().name, held_);
    // Chosen, not yet stored.
    EXPECT_EQ(settings.GetNamePrinterDefault(), voucher_);

    dialogs.expectMessage(Dialogs::Icon::Information, kTitle, kStored);
    click(u"Save"_s);
    EXPECT_EQ(settings.GetNamePrinterDefault(), held_);
}

TEST_F(ChoosePrinter, CancelledThePanelShowsTheCurrentPrinter) {
    const SettingsStore settings = store();
    ASSERT_TRUE(settings.SetNamePrinterDefault(voucher_));
    open(settings);
    ASSERT_EQ(printerPanel()->text(), voucher_);

    WatchingDialogs dialogs;
    dialogs.expectPrinter(idle_, QString());
    press(u"cmdPrint_SelectPrintDefault"_s);
    EXPECT_FALSE(dialogs.ownerWasEnabled);
    expectNotBusy();
    EXPECT_EQ(printerPanel()->text(), idle_);
    EXPECT_EQ(CurrentPrinter().name, idle_);
}

TEST_F(ChoosePrinter, TheCurrentPrinterIsTheOneTheNextStartSelectsWithTheChosenName) {
    // Two queues end alike: the next start selects, by the chosen name, the first of them in
    // CUPS's order, and so does the choice now. The panel and the store keep the chosen name.
    const SettingsStore settings = store();
    open(settings);

    ScriptedDialogs dialogs;
    dialogs.expectPrinter(idle_, voucher_);
    press(u"cmdPrint_SelectPrintDefault"_s);
    EXPECT_EQ(printerPanel()->text(), voucher_);
    EXPECT_EQ(CurrentPrinter().name, branch_);

    dialogs.expectMessage(Dialogs::Icon::Information, kTitle, kStored);
    click(u"Save"_s);
    EXPECT_EQ(settings.GetNamePrinterDefault(), voucher_);
    EXPECT_EQ(CheckDefaultPrinter(settings).outcome, DefaultPrinterCheck::Outcome::Selected);
    EXPECT_EQ(CurrentPrinter().name, branch_);
}

}  // namespace
}  // namespace quorvane
