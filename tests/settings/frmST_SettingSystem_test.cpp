#include "settings/frmST_SettingSystem.h"

#include "core/Settings.h"
#include "settings/SettingsScreenTest.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <optional>

using namespace Qt::StringLiterals;

// What this screen shares with the other settings screens is checked in
// SettingsScreens_test.cpp.

namespace quorvane {
namespace {

using SettingSystem = test::SettingsScreenTest<test::SystemScreen>;

TEST_F(SettingSystem, OkStoresTheAddressReportsAndStaysOpen) {
    const SettingsStore settings = store();
    open(settings, u"db.trust.local"_s);
    retype(field(u"txtSystem_ServerIP"_s), u"10.20.30.40"_s);

    ScriptedDialogs dialogs;
    dialogs.expectMessage(Dialogs::Icon::Information, test::SystemScreen::messageTitle(),
                          test::StoredText());
    click(u"OK"_s);

    EXPECT_EQ(settings.GetServerIP(), std::optional<QString>(u"10.20.30.40"_s));
    EXPECT_TRUE(screen_->isVisible());

    // Saving again without a change writes the same value and reports success again.
    dialogs.expectMessage(Dialogs::Icon::Information, test::SystemScreen::messageTitle(),
                          test::StoredText());
    click(u"OK"_s);
    EXPECT_EQ(settings.GetServerIP(), std::optional<QString>(u"10.20.30.40"_s));
}

}  // namespace
}  // namespace quorvane
