#include "settings/frmST_SettingSystem.h"

#include "core/Settings.h"
#include "settings/SettingsScreenTest.h"
#include "support/ScriptedDialogs.h"

#include <QFile>

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

TEST_F(SettingSystem, AnAddressStartUpCouldNotUseIsRefusedAndNothingIsStored) {
    const SettingsStore settings = store();
    ASSERT_TRUE(settings.SetServerIP(u"db.trust.local"_s));
    open(settings, u"db.trust.local"_s);
    const QString missing = folder_.filePath(u"missing.db"_s);
    struct Case {
        QString typed;
        QString says;
    };
    const Case cases[] = {
        {QString(), u"伺服器位址不可空白"_s},
        {u"sqlite:"_s + missing, u"找不到資料庫檔案："_s + missing},
        {u"dbserver:99999"_s, u"連接埠「99999」不正確"_s},
    };
    ScriptedDialogs dialogs;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        retype(field(u"txtSystem_ServerIP"_s), c.typed);
        tabs()->setCurrentIndex(1);
        dialogs.expectMessage(Dialogs::Icon::Warning, test::SystemScreen::messageTitle(), c.says)
            .containing();
        click(u"OK"_s);
        EXPECT_NE(dialogs.records().back().text, test::StoredText());
        EXPECT_EQ(settings.GetServerIP(), std::optional<QString>(u"db.trust.local"_s));
        EXPECT_TRUE(screen_->isVisible());
        EXPECT_EQ(tabs()->currentIndex(), 0);
        EXPECT_EQ(QApplication::focusWidget(), field(u"txtSystem_ServerIP"_s));
    }

    // Mended, the address is stored.
    {
        QFile file(missing);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    retype(field(u"txtSystem_ServerIP"_s), u"sqlite:"_s + missing);
    dialogs.expectMessage(Dialogs::Icon::Information, test::SystemScreen::messageTitle(),
                          test::StoredText());
    click(u"OK"_s);
    EXPECT_EQ(settings.GetServerIP(), std::optional<QString>(u"sqlite:"_s + missing));
}

}  // namespace
}  // namespace quorvane
