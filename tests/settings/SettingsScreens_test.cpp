// What the three settings screens have in common, checked on each of them.

#include "core/HostInfo.h"
#include "settings/SettingsScreenTest.h"
#include "support/ScriptedDialogs.h"

#include <QFileInfo>
#include <QScreen>

using namespace Qt::StringLiterals;

namespace quorvane {
namespace {

using test::ClientScreen;
using test::SystemScreen;
using test::UserScreen;

template <typename Kind>
class SettingsScreen : public test::SettingsScreenTest<Kind> {};

using AllScreens = ::testing::Types<SystemScreen, ClientScreen, UserScreen>;

class ScreenNames {
public:
    template <typename Kind>
    static std::string GetName(int /*index*/) {
        if (std::is_same_v<Kind, SystemScreen>) {
            return "System";
        }
        return std::is_same_v<Kind, ClientScreen> ? "Client" : "User";
    }
};

TYPED_TEST_SUITE(SettingsScreen, AllScreens, ScreenNames);

TYPED_TEST(SettingsScreen, IsTheScreenOfTheMenuWithItsTabsAndKeys) {
    this->open(this->store());
    EXPECT_EQ(this->screen_->windowTitle(), TypeParam::windowTitle());

    ASSERT_NE(this->tabs(), nullptr);
    QStringList captions;
    for (int page = 0; page < this->tabs()->count(); ++page) {
        captions.append(this->tabs()->tabText(page));
    }
    EXPECT_EQ(captions, TypeParam::tabCaptions());

    ASSERT_NE(this->toolbar(), nullptr);
    const auto* store = this->toolbar()->template findChild<QAction*>(TypeParam::storeKey());
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(store->text(), TypeParam::storeCaption());
    const auto* quit = this->toolbar()->template findChild<QAction*>(u"Quit"_s);
    ASSERT_NE(quit, nullptr);
    EXPECT_EQ(quit->text(), u"離開"_s);
}

TYPED_TEST(SettingsScreen, IsAFixedDialogCentredWhereItOpens) {
    this->open(this->store(), QString());
    EXPECT_EQ(this->screen_->minimumSize(), this->screen_->maximumSize());
    EXPECT_FALSE(this->screen_->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(this->screen_->windowFlags() & Qt::WindowMaximizeButtonHint);
    // Over the main window it opens from, or in the middle of the screen.
    const QPoint centre = TypeParam::kOverMainWindow
                              ? this->main_->frameGeometry().center()
                              : this->screen_->screen()->availableGeometry().center();
    const QPoint offset = this->screen_->frameGeometry().center() - centre;
    EXPECT_LE(offset.manhattanLength(), 2);
}

TYPED_TEST(SettingsScreen, AStoreThatCannotBeWrittenReportsTheFailureAndStaysOpen) {
    this->open(this->unwritableStore());

    ScriptedDialogs dialogs;
    dialogs.expectMessage(Dialogs::Icon::None, TypeParam::messageTitle(), u"儲存失敗"_s);
    this->click(TypeParam::storeKey());
    EXPECT_TRUE(this->screen_->isVisible());
}

TYPED_TEST(SettingsScreen, LeavingByEscapeOrQuitClosesAndStoresNothing) {
    for (const bool byEscape : {true, false}) {
        SCOPED_TRACE(byEscape ? "Escape" : "Quit");
        const SettingsStore settings = this->store();
        this->open(settings);
        for (const test::Typing& typing : TypeParam::changes()) {
            this->retype(this->field(typing.first), typing.second);
        }
        if (byEscape) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        } else {
            this->click(u"Quit"_s);
        }
        EXPECT_FALSE(this->screen_->isVisible());
        EXPECT_EQ(this->screen_->result(), QDialog::Rejected);
        EXPECT_FALSE(QFileInfo::exists(settings.file()));
        this->close();
    }
}

// The two screens that show the database server and the workstation's own facts.
template <typename Kind>
class ServerScreen : public test::SettingsScreenTest<Kind> {};

using ServerScreens = ::testing::Types<SystemScreen, ClientScreen>;
TYPED_TEST_SUITE(ServerScreen, ServerScreens, ScreenNames);

TYPED_TEST(ServerScreen, ShowsTheHostInUseAndTheWorkstationsFacts) {
    this->open(this->store(), u"db.trust.local"_s);
    EXPECT_EQ(this->field(u"txtSystem_ServerIP"_s)->text(), u"db.trust.local"_s);
    EXPECT_EQ(this->panel(u"sspInfo_NameComputer"_s), GetComputerNameText());
    EXPECT_EQ(this->panel(u"sspInfo_NameUserOS"_s), GetUserNameOS());
    EXPECT_EQ(this->panel(u"sspInfo_LocalIP"_s), GetLocalIP());
    EXPECT_FALSE(GetComputerNameText().isEmpty());
}

}  // namespace
}  // namespace quorvane
