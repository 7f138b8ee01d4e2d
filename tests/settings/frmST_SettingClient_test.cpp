#include "settings/frmST_SettingClient.h"

#include "core/PrintOffsets.h"
#include "core/Settings.h"
#include "settings/PrintOffsetText.h"
#include "settings/SettingsScreenTest.h"
#include "support/ScriptedDialogs.h"

#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <iterator>
#include <memory>
#include <optional>

using namespace Qt::StringLiterals;

namespace quorvane {
namespace {

const QString kTitle = test::ClientScreen::messageTitle();
const QString kStored = test::StoredText();

// The four offset fields with the settings value each one stores.
struct OffsetCase {
    const char* field;
    const char* group;
    const char* name;
    const char* groupCaption;
    const char* label;
};

const OffsetCase kOffsetFields[] = {
    {"txtPrintOffsetLeft", "Template", "OffsetLeft", "票卷範本列印位置修正偏移值", "左邊界偏移值"},
    {"txtPrintOffsetTop", "Template", "OffsetTop", "票卷範本列印位置修正偏移值", "上邊界偏移值"},
    {"txtPrintTFOffsetLeft", "TicketForm", "OffsetLeft", "票樣確認文件位置修正偏移值",
     "左邊界偏移值"},
    {"txtPrintTFOffsetTop", "TicketForm", "OffsetTop", "票樣確認文件位置修正偏移值",
     "上邊界偏移值"},
};

// Puts back the offsets the program read at start-up when a test has set its own.
class OffsetsInUse {
public:
    explicit OffsetsInUse(const PrintOffsetValues& offsets) : saved_(PrintOffsets()) {
        SetPrintOffsets(offsets);
    }
    ~OffsetsInUse() { SetPrintOffsets(saved_); }
    OffsetsInUse(const OffsetsInUse&) = delete;
    OffsetsInUse& operator=(const OffsetsInUse&) = delete;

private:
    PrintOffsetValues saved_;
};

// --- The offsets' text, free of the screen ---

struct TextCase {
    float offset;
    const char* text;
};

TEST(PrintOffsetText, IsTheShortestDecimalThatReadsBackAsTheSameNumber) {
    const TextCase cases[] = {
        {0.0f, "0"},     {-0.0f, "0"},    {1.0f, "1"},     {-2.0f, "-2"},
        {1.5f, "1.5"},   {0.1f, "0.1"},   {-0.3f, "-0.3"}, {12.25f, "12.25"},
        {100.0f, "100"}, {999.0f, "999"}, {-99.0f, "-99"}, {2.75f, "2.75"},
    };
    for (const TextCase& c : cases) {
        const QString text = PrintOffsetText(c.offset);
        EXPECT_EQ(text, QString::fromLatin1(c.text)) << c.offset;
        EXPECT_EQ(text.toFloat(), c.offset) << c.text;
    }
}

struct ParseCase {
    const char* text;
    std::optional<float> value;
};

TEST(ParsePrintOffset, TakesWhatStartUpReadsAsTheSameNumberAndRefusesTheRest) {
    const ParseCase cases[] = {
        {"0", 0.0f},
        {"5", 5.0f},
        {"-5", -5.0f},
        {"1.5", 1.5f},
        {".5", 0.5f},
        {"-.5", -0.5f},
        {" 7 ", 7.0f},
        {"999", 999.0f},
        {"-99", -99.0f},
        {"1e2", 100.0f},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"abc", std::nullopt},
        {"1,5", std::nullopt},
        {"1.2.", std::nullopt},
        {"--1", std::nullopt},
        {"nan", std::nullopt},
        {"inf", std::nullopt},
        {"-in", std::nullopt},
        {"1e9", std::nullopt},
        {"1000", std::nullopt},
        {"-100", std::nullopt},
        {"５", std::nullopt},
    };
    for (const ParseCase& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(ParsePrintOffset(text), c.value) << '"' << c.text << '"';
        if (c.value) {
            // What the screen accepts, the settings store reads back as the same number.
            QTemporaryDir folder;
            const SettingsStore store(folder.filePath(u"Quorvane.ini"_s));
            ASSERT_TRUE(store.SetTemplateOffsetLeft(text));
            EXPECT_EQ(store.GetTemplateOffsetLeft(), *c.value) << '"' << c.text << '"';
        }
    }
}

// --- The screen ---

// What this screen shares with the other settings screens is checked in
// SettingsScreens_test.cpp.
class SettingClient : public test::SettingsScreenTest<test::ClientScreen> {
protected:
    // What the screen shows, field by field.
    QStringList shown() const {
        QStringList values{field(u"txtSystem_ServerIP"_s)->text()};
        for (const OffsetCase& c : kOffsetFields) {
            values.append(field(c.field)->text());
        }
        return values;
    }
};

TEST_F(SettingClient, ShowsTheHostAndTheOffsetsInUseOnThePrintTab) {
    // 12.25 is longer than a typed offset can be (put into the settings by hand): shown whole.
    const OffsetsInUse inUse({1.5f, -2.0f, 0.0f, 12.25f});
    // Offsets stored since start-up are not the ones in use: the screen shows what the program
    // read when it started.
    const SettingsStore settings = store();
    ASSERT_TRUE(settings.SetTemplateOffsetLeft(u"9"_s));
    open(settings, u"db.trust.local"_s);

    EXPECT_EQ(shown(), QStringList({u"db.trust.local"_s, u"1.5"_s, u"-2"_s, u"0"_s, u"12.25"_s}));

    ASSERT_NE(tabs(), nullptr);
    ASSERT_EQ(tabs()->count(), 3);

    for (const OffsetCase& c : kOffsetFields) {
        QLineEdit* offset = field(c.field);
        EXPECT_TRUE(tabs()->widget(2)->isAncestorOf(offset)) << c.field;
        EXPECT_EQ(offset->maxLength(), qMax(3, int(offset->text().size()))) << c.field;
        const auto* group = qobject_cast<QGroupBox*>(offset->parentWidget());
        ASSERT_NE(group, nullptr) << c.field;
        EXPECT_EQ(group->title(), QString::fromUtf8(c.groupCaption)) << c.field;
    }
}

TEST_F(SettingClient, OpeningTwiceWithoutSavingShowsTheSameValues) {
    const OffsetsInUse inUse({3.0f, 0.5f, -1.0f, 12.0f});
    const SettingsStore settings = store();
    open(settings, u"10.1.1.5"_s);
    const QStringList first = shown();
    retype(field("txtPrintOffsetLeft"), u"7"_s);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    close();

    open(settings, u"10.1.1.5"_s);
    EXPECT_EQ(shown(), first);
    EXPECT_EQ(first, QStringList({u"10.1.1.5"_s, u"3"_s, u"0.5"_s, u"-1"_s, u"12"_s}));
}

TEST_F(SettingClient, OffsetFieldsSelectTheirWholeTextOnFocusAndTakeAnyCharacter) {
    const OffsetsInUse inUse({25.0f, 0.0f, 0.0f, 0.0f});
    open(store(), QString());
    tabs()->setCurrentIndex(2);
    QLineEdit* left = field("txtPrintOffsetLeft");
    QLineEdit* top = field("txtPrintOffsetTop");
    top->setFocus();

    left->setFocus();
    EXPECT_EQ(left->selectedText(), u"25"_s);
    QTest::keyClicks(left, u"a,x"_s);
    EXPECT_EQ(left->text(), u"a,x"_s);
    // Three characters at most.
    QTest::keyClicks(left, u"9"_s);
    EXPECT_EQ(left->text(), u"a,x"_s);
}

TEST_F(SettingClient, OkStoresExactlyWhatTheFieldsHoldReportsAndStaysOpen) {
    const OffsetsInUse inUse({0.0f, 0.0f, 0.0f, 0.0f});
    const SettingsStore settings = store();
    open(settings, u"db.trust.local"_s);
    retype(field(u"txtSystem_ServerIP"_s), u"10.20.30.40"_s);
    const QString typed[] = {u"1.5"_s, u"-2"_s, u" 7 "_s, u"1e2"_s};
    for (std::size_t i = 0; i < std::size(kOffsetFields); ++i) {
        retype(field(kOffsetFields[i].field), typed[i]);
    }

    ScriptedDialogs dialogs;
    dialogs.expectMessage(Dialogs::Icon::Information, kTitle, kStored);
    click(u"OK"_s);

    EXPECT_EQ(settings.GetServerIP(), std::optional<QString>(u"10.20.30.40"_s));
    for (std::size_t i = 0; i < std::size(kOffsetFields); ++i) {
        const OffsetCase& c = kOffsetFields[i];
        EXPECT_EQ(settings.read(QString::fromLatin1(c.group), QString::fromLatin1(c.name)),
                  std::optional<QString>(typed[i]))
            << c.field;
    }
    EXPECT_EQ(settings.GetTemplateOffsetLeft(), 1.5f);
    EXPECT_EQ(settings.GetTemplateOffsetTop(), -2.0f);
    EXPECT_EQ(settings.GetTicketFormOffsetLeft(), 7.0f);
    EXPECT_EQ(settings.GetTicketFormOffsetTop(), 100.0f);
    EXPECT_TRUE(screen_->isVisible());
    // The offsets in use stay until the next start.
    EXPECT_EQ(PrintOffsets().templateLeft, 0.0f);
}

TEST_F(SettingClient, SavingAnUnchangedScreenRewritesTheSameValuesAndReportsSuccess) {
    const OffsetsInUse inUse({2.5f, -1.0f, 0.0f, 4.0f});
    const SettingsStore settings = store();
    ASSERT_TRUE(settings.SetServerIP(u"db.trust.local"_s));
    ASSERT_TRUE(settings.SetTemplateOffsetLeft(u"2.5"_s));
    ASSERT_TRUE(settings.SetTemplateOffsetTop(u"-1"_s));
    ASSERT_TRUE(settings.SetTicketFormOffsetLeft(u"0"_s));
    ASSERT_TRUE(settings.SetTicketFormOffsetTop(u"4"_s));
    QFile file(settings.file());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    open(settings, u"db.trust.local"_s);

    ScriptedDialogs dialogs;
    dialogs.expectMessage(Dialogs::Icon::Information, kTitle, kStored);
    click(u"OK"_s);
    dialogs.expectMessage(Dialogs::Icon::Information, kTitle, kStored);
    click(u"OK"_s);

    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
}

struct RefusedCase {
    const char* what;
    const char* typed;
};

class RefusedOffset : public SettingClient,
                      public ::testing::WithParamInterface<std::tuple<int, RefusedCase>> {};

TEST_P(RefusedOffset, IsRefusedWithItsNameAndNothingIsStored) {
    const OffsetCase& offset = kOffsetFields[std::get<0>(GetParam())];
    const RefusedCase& refused = std::get<1>(GetParam());
    const OffsetsInUse inUse({1.0f, 2.0f, 3.0f, 4.0f});
    const SettingsStore settings = store();
    open(settings, u"db.trust.local"_s);
    retype(field(u"txtSystem_ServerIP"_s), u"10.20.30.40"_s);
    retype(field(offset.field), QString::fromUtf8(refused.typed));
    // Leave the tab, so the refusal has to bring the field back.
    tabs()->setCurrentIndex(0);

    ScriptedDialogs dialogs;
    dialogs.expectMessage(Dialogs::Icon::Warning, kTitle,
                          u"偏移值不正確\r\n\r\n「"_s + QString::fromUtf8(offset.groupCaption) +
                              u"」的「"_s + QString::fromUtf8(offset.label) +
                              u"」必須是 -99 至 999 之間的數字（公厘）"_s);
    click(u"OK"_s);

    EXPECT_FALSE(QFileInfo::exists(settings.file()));
    EXPECT_EQ(settings.GetServerIP(), std::nullopt);
    EXPECT_TRUE(screen_->isVisible());
    EXPECT_EQ(tabs()->currentIndex(), 2);
    EXPECT_EQ(QApplication::focusWidget(), field(offset.field));
    EXPECT_EQ(field(offset.field)->selectedText(), field(offset.field)->text());

    // Mended, the screen saves.
    retype(field(offset.field), u"5"_s);
    dialogs.expectMessage(Dialogs::Icon::Information, kTitle, kStored);
    click(u"OK"_s);
    EXPECT_EQ(settings.read(QString::fromLatin1(offset.group), QString::fromLatin1(offset.name)),
              std::optional<QString>(u"5"_s));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, RefusedOffset,
    ::testing::Combine(::testing::Range(0, int(std::size(kOffsetFields))),
                       ::testing::Values(RefusedCase{"Empty", ""}, RefusedCase{"Spaces", "  "},
                                         RefusedCase{"Letters", "abc"}, RefusedCase{"Comma", "1,5"},
                                         RefusedCase{"NotANumber", "nan"},
                                         RefusedCase{"Infinite", "inf"},
                                         RefusedCase{"TooLarge", "1e9"},
                                         RefusedCase{"FullWidthDigit", "５"})),
    [](const ::testing::TestParamInfo<std::tuple<int, RefusedCase>>& info) {
        return std::string(kOffsetFields[std::get<0>(info.param)].field) + "_" +
               std::get<1>(info.param).what;
    });

TEST_F(SettingClient, AnAddressStartUpCouldNotUseIsRefusedAndNothingIsStored) {
    const SettingsStore settings = store();
    open(settings, u"db.trust.local"_s);
    retype(field(u"txtSystem_ServerIP"_s), u"db server"_s);
    retype(field("txtPrintOffsetLeft"), u"5"_s);

    ScriptedDialogs dialogs;
    dialogs.expectMessage(Dialogs::Icon::Warning, kTitle, u"伺服器位址「db server」格式不正確"_s)
        .containing();
    click(u"OK"_s);
    EXPECT_FALSE(QFileInfo::exists(settings.file()));
    EXPECT_EQ(tabs()->currentIndex(), 0);
    EXPECT_EQ(QApplication::focusWidget(), field(u"txtSystem_ServerIP"_s));
}

TEST_F(SettingClient, TheFirstRefusedOffsetIsTheOneNamed) {
    open(store(), QString());
    retype(field("txtPrintOffsetTop"), u"x"_s);
    retype(field("txtPrintTFOffsetLeft"), u"y"_s);

    ScriptedDialogs dialogs;
    dialogs.expectMessage(Dialogs::Icon::Warning, kTitle,
                          u"偏移值不正確\r\n\r\n「票卷範本列印位置修正偏移值」的「上邊界偏移值」"
                          u"必須是 -99 至 999 之間的數字（公厘）"_s);
    click(u"OK"_s);
    EXPECT_EQ(QApplication::focusWidget(), field("txtPrintOffsetTop"));
}

}  // namespace
}  // namespace quorvane
