#include "core/Settings.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>
#include <optional>
#include <vector>

namespace quorvane {
namespace {

// Sets (or removes) an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::optional<QString>& value)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name)) {
        if (value) {
            qputenv(name_, value->toLocal8Bit());
        } else {
            qunsetenv(name_);
        }
    }
    ~ScopedEnv() {
        if (had_) {
            qputenv(name_, old_);
        } else {
            qunsetenv(name_);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// Read straight from the file, as another program would.
QVariant RawValue(const QString& path, const QString& key) {
    return QSettings(path, QSettings::IniFormat).value(key);
}

bool RunningAsRoot() {
    return geteuid() == 0;
}

class SettingsStoreTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder_.isValid()); }
    QString path(const QString& name) const { return folder_.filePath(name); }

    QTemporaryDir folder_;
};

// Every text value with its group and value name as they appear in the file.
struct TextValue {
    const char* key;
    std::function<bool(const SettingsStore&, const QString&)> set;
    std::function<QString(const SettingsStore&)> get;
};

const QString kDefaultPath = QStringLiteral("/opt/quorvane/票卷列印範本檔/");

std::vector<TextValue> TextValues() {
    return {
        {"User/IdUserLastLogin", &SettingsStore::SetIdUserLastLogin,
         &SettingsStore::GetIdUserLastLogin},
        {"Print/PathTicketTemplate", &SettingsStore::SetPathTicketTemplate,
         [](const SettingsStore& s) { return s.GetPathTicketTemplate(kDefaultPath); }},
        {"Print/PathTicketForm", &SettingsStore::SetPathTicketForm,
         [](const SettingsStore& s) { return s.GetPathTicketForm(kDefaultPath); }},
        {"Print/NamePrinterDefault", &SettingsStore::SetNamePrinterDefault,
         &SettingsStore::GetNamePrinterDefault},
        {"System/ServerIP", &SettingsStore::SetServerIP,
         [](const SettingsStore& s) { return s.GetServerIP().value_or(QStringLiteral("<none>")); }},
        {"RP_TicketPrint/Recent_NoContract", &SettingsStore::SetRecentNoContractTicketPrint,
         &SettingsStore::GetRecentNoContractTicketPrint},
        {"RP_AccountList/Recent_NoContract", &SettingsStore::SetRecentNoContractAccountList,
         &SettingsStore::GetRecentNoContractAccountList},
        {"Template/OffsetLeft", &SettingsStore::SetTemplateOffsetLeft,
         [](const SettingsStore& s) { return QString::number(s.GetTemplateOffsetLeft()); }},
        {"Template/OffsetTop", &SettingsStore::SetTemplateOffsetTop,
         [](const SettingsStore& s) { return QString::number(s.GetTemplateOffsetTop()); }},
        {"TicketForm/OffsetLeft", &SettingsStore::SetTicketFormOffsetLeft,
         [](const SettingsStore& s) { return QString::number(s.GetTicketFormOffsetLeft()); }},
        {"TicketForm/OffsetTop", &SettingsStore::SetTicketFormOffsetTop,
         [](const SettingsStore& s) { return QString::number(s.GetTicketFormOffsetTop()); }},
    };
}

void ExpectDefaults(const SettingsStore& store) {
    EXPECT_EQ(store.GetIdUserLastLogin(), QString());
    EXPECT_EQ(store.GetPathTicketTemplate(kDefaultPath), kDefaultPath);
    EXPECT_EQ(store.GetPathTicketForm(QStringLiteral("/x/")), QStringLiteral("/x/"));
    EXPECT_EQ(store.GetNamePrinterDefault(), QString());
    EXPECT_EQ(store.GetServerIP(), std::nullopt);
    EXPECT_EQ(store.GetRecentNoContractTicketPrint(), QString());
    EXPECT_EQ(store.GetRecentNoContractAccountList(), QString());
    EXPECT_EQ(store.GetTemplateOffsetLeft(), 0.0f);
    EXPECT_EQ(store.GetTemplateOffsetTop(), 0.0f);
    EXPECT_EQ(store.GetTicketFormOffsetLeft(), 0.0f);
    EXPECT_EQ(store.GetTicketFormOffsetTop(), 0.0f);
}

TEST_F(SettingsStoreTest, MissingFileGivesDefaultsAndReadingCreatesNothing) {
    const SettingsStore store(path(QStringLiteral("none/Quorvane.conf")));
    ExpectDefaults(store);
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("none"))));
}

TEST_F(SettingsStoreTest, EachSetterWritesItsOwnGroupAndValueName) {
    const QString file = path(QStringLiteral("new/folder/Quorvane.conf"));
    const SettingsStore store(file);
    const std::vector<TextValue> values = TextValues();
    for (std::size_t i = 0; i < values.size(); ++i) {
        const QString value = QString::number(i + 1);
        ASSERT_TRUE(values[i].set(store, value)) << values[i].key;
        EXPECT_EQ(values[i].get(store), value) << values[i].key;
    }
    // Read back independently: every value under its exact name, as text, none overwritten.
    ASSERT_TRUE(QFileInfo(file).isFile());
    for (std::size_t i = 0; i < values.size(); ++i) {
        const QVariant raw = RawValue(file, QString::fromLatin1(values[i].key));
        EXPECT_EQ(raw.typeId(), QMetaType::QString) << values[i].key;
        EXPECT_EQ(raw.toString(), QString::number(i + 1)) << values[i].key;
    }
    EXPECT_EQ(QSettings(file, QSettings::IniFormat).allKeys().size(),
              static_cast<qsizetype>(values.size()));
}

TEST_F(SettingsStoreTest, TextsAreStoredExactly) {
    const SettingsStore store(path(QStringLiteral("Quorvane.conf")));
    const QString texts[] = {
        QStringLiteral("中文印表機"),
        QStringLiteral("\"quoted\" and 'single'"),
        QStringLiteral("a=b;c#d"),
        QStringLiteral("#starts like a comment"),
        QStringLiteral(";starts like a comment"),
        QStringLiteral("[Print]"),
        QStringLiteral("  leading and trailing  "),
        QStringLiteral(" "),
        QStringLiteral("one,two"),
        QStringLiteral("@Variant(0)"),
        QStringLiteral("C:\\票卷列印範本檔\\"),
        QStringLiteral("tab\there, line\r\nbreak"),
        QString(1000, QChar(u'票')),
    };
    // The name values only: offsets are read back as numbers.
    const std::vector<TextValue> values = TextValues();
    for (const QString& text : texts) {
        for (std::size_t i = 0; i < 7; ++i) {
            ASSERT_TRUE(values[i].set(store, text)) << values[i].key;
            EXPECT_EQ(values[i].get(store), text) << values[i].key << " " << text.toStdString();
        }
    }
}

TEST_F(SettingsStoreTest, StoredEmptyTextIsNotMissing) {
    const SettingsStore store(path(QStringLiteral("Quorvane.conf")));
    EXPECT_EQ(store.GetServerIP(), std::nullopt);
    ASSERT_TRUE(store.SetServerIP(QString()));
    EXPECT_EQ(store.GetServerIP(), std::optional<QString>(QString()));
    ASSERT_TRUE(store.SetPathTicketTemplate(QString()));
    EXPECT_EQ(store.GetPathTicketTemplate(kDefaultPath), QString());
    ASSERT_TRUE(store.SetServerIP(QStringLiteral("dbserver")));
    EXPECT_EQ(store.GetServerIP(), std::optional<QString>(QStringLiteral("dbserver")));
}

TEST_F(SettingsStoreTest, ReportsKeepTheirOwnRecentContract) {
    const SettingsStore store(path(QStringLiteral("Quorvane.conf")));
    ASSERT_TRUE(store.SetRecentNoContractTicketPrint(QStringLiteral("T001")));
    ASSERT_TRUE(store.SetRecentNoContractAccountList(QStringLiteral("A002")));
    ASSERT_TRUE(store.SetRecentNoContractTicketPrint(QStringLiteral("T003")));
    EXPECT_EQ(store.GetRecentNoContractTicketPrint(), QStringLiteral("T003"));
    EXPECT_EQ(store.GetRecentNoContractAccountList(), QStringLiteral("A002"));
}

TEST_F(SettingsStoreTest, OffsetsReadOnlyCompleteNumbers) {
    const SettingsStore store(path(QStringLiteral("Quorvane.conf")));
    const struct {
        QString stored;
        float value;
    } cases[] = {
        {QStringLiteral("12.5"), 12.5f}, {QStringLiteral(" -3.25 "), -3.25f},
        {QStringLiteral("+2"), 2.0f},    {QStringLiteral("1e1"), 10.0f},
        {QStringLiteral("0"), 0.0f},     {QString(), 0.0f},
        {QStringLiteral("   "), 0.0f},   {QStringLiteral("abc"), 0.0f},
        {QStringLiteral("1.5mm"), 0.0f}, {QStringLiteral("1,5"), 0.0f},
        {QStringLiteral("1 2"), 0.0f},   {QStringLiteral("nan"), 0.0f},
        {QStringLiteral("inf"), 0.0f},   {QStringLiteral("1e100"), 0.0f},
        {QStringLiteral("１２"), 0.0f},  // full-width digits
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(store.SetTicketFormOffsetTop(c.stored));
        EXPECT_EQ(store.GetTicketFormOffsetTop(), c.value) << c.stored.toStdString();
    }
}

TEST_F(SettingsStoreTest, DatabaseTimeoutsAreWholeSecondsOrTheirDefaults) {
    const SettingsStore store(path(QStringLiteral("Quorvane.conf")));
    const DatabaseTimeouts defaults;
    EXPECT_EQ(store.GetDatabaseTimeouts(), defaults);
    const struct {
        const char* name;
        int DatabaseTimeouts::*field;
    } values[] = {
        {"ConnectTimeout", &DatabaseTimeouts::connectSeconds},
        {"StatementTimeout", &DatabaseTimeouts::statementSeconds},
        {"LockTimeout", &DatabaseTimeouts::lockSeconds},
        {"BusyTimeout", &DatabaseTimeouts::busySeconds},
    };
    // Zero would mean "wait for ever" to the servers, so it is no timeout the store hands out.
    const struct {
        QString stored;
        std::optional<int> seconds;  // nullopt: the default
    } cases[] = {
        {QStringLiteral("2"), 2},
        {QStringLiteral(" 17 "), 17},
        {QStringLiteral("3600"), 3600},
        {QStringLiteral("3601"), std::nullopt},
        {QStringLiteral("0"), std::nullopt},
        {QStringLiteral("-5"), std::nullopt},
        {QStringLiteral("1.5"), std::nullopt},
        {QStringLiteral("abc"), std::nullopt},
        {QString(), std::nullopt},
        {QStringLiteral("99999999999"), std::nullopt},
    };
    for (const auto& value : values) {
        for (const auto& c : cases) {
            ASSERT_TRUE(
                store.write(QStringLiteral("System"), QString::fromLatin1(value.name), c.stored));
            DatabaseTimeouts expected = defaults;
            expected.*value.field = c.seconds.value_or(defaults.*value.field);
            EXPECT_EQ(store.GetDatabaseTimeouts(), expected)
                << value.name << "=" << c.stored.toStdString();
        }
        ASSERT_TRUE(
            store.write(QStringLiteral("System"), QString::fromLatin1(value.name), QString()));
    }
}

TEST_F(SettingsStoreTest, FallbackFileSuppliesWhatTheFileLacks) {
    const QString systemFile = path(QStringLiteral("system/Zanthel/Quorvane.conf"));
    const QString userFile = path(QStringLiteral("user/Zanthel/Quorvane.conf"));
    const SettingsStore system(systemFile);
    ASSERT_TRUE(system.SetServerIP(QStringLiteral("dbserver")));
    ASSERT_TRUE(system.SetNamePrinterDefault(QStringLiteral("系統印表機")));
    ASSERT_TRUE(system.SetTemplateOffsetLeft(QStringLiteral("1.5")));
    const QByteArray systemBytes = FileBytes(systemFile);

    const SettingsStore user(userFile, systemFile);
    EXPECT_EQ(user.GetServerIP(), std::optional<QString>(QStringLiteral("dbserver")));
    EXPECT_EQ(user.GetTemplateOffsetLeft(), 1.5f);
    ASSERT_TRUE(user.SetNamePrinterDefault(QStringLiteral("我的印表機")));
    EXPECT_EQ(user.GetNamePrinterDefault(), QStringLiteral("我的印表機"));
    EXPECT_EQ(user.GetIdUserLastLogin(), QString());
    EXPECT_EQ(FileBytes(systemFile), systemBytes);
    EXPECT_EQ(RawValue(userFile, QStringLiteral("Print/NamePrinterDefault")).toString(),
              QStringLiteral("我的印表機"));
}

TEST_F(SettingsStoreTest, CorruptFileGivesDefaultsAndIsNotOverwritten) {
    const QByteArray contents[] = {
        QByteArray("\xff\xfe\x00[User]\x00IdUserLastLogin=x\x01", 24),  // binary
        QByteArray("[User]\nIdUserLastLogin=\xa4\xa4\n"),               // Big5, not UTF-8
        QByteArray("[User\nIdUserLastLogin=x\n"),                       // QSettings refuses it
    };
    const QString file = path(QStringLiteral("Quorvane.conf"));
    for (const QByteArray& bytes : contents) {
        WriteBytes(file, bytes);
        const SettingsStore store(file);
        ExpectDefaults(store);
        EXPECT_FALSE(store.SetIdUserLastLogin(QStringLiteral("ADMIN")));
        EXPECT_FALSE(store.SetTemplateOffsetTop(QStringLiteral("2")));
        EXPECT_EQ(FileBytes(file), bytes);
    }
}

TEST_F(SettingsStoreTest, HandWrittenFileIsReadAndKept) {
    const QString file = path(QStringLiteral("Quorvane.conf"));
    WriteBytes(file, QByteArray("; set up by the administrator\r\n"
                                "[User]\r\n"
                                "  IdUserLastLogin = ADMIN  \r\n"
                                "\r\n"
                                "[Print]\r\n"
                                "NamePrinterDefault=HP, 2F\r\n"
                                "[Template]\r\n"
                                "OffsetLeft=1.5\r\n"));
    const SettingsStore store(file);
    EXPECT_EQ(store.GetIdUserLastLogin(), QStringLiteral("ADMIN"));
    // An unquoted comma splits a value into a list for QSettings; it is read as one text.
    EXPECT_EQ(store.GetNamePrinterDefault(), QStringLiteral("HP,2F"));
    EXPECT_EQ(store.GetTemplateOffsetLeft(), 1.5f);
    ASSERT_TRUE(store.SetTemplateOffsetTop(QStringLiteral("2")));
    EXPECT_EQ(store.GetIdUserLastLogin(), QStringLiteral("ADMIN"));
    EXPECT_EQ(store.GetTemplateOffsetLeft(), 1.5f);
    EXPECT_EQ(store.GetTemplateOffsetTop(), 2.0f);
}

TEST_F(SettingsStoreTest, CorruptFileFallsBackForReading) {
    const QString systemFile = path(QStringLiteral("system.conf"));
    ASSERT_TRUE(SettingsStore(systemFile).SetIdUserLastLogin(QStringLiteral("CLERK")));
    const QString userFile = path(QStringLiteral("user.conf"));
    WriteBytes(userFile, QByteArray("[User]\nIdUserLastLogin=\xff\n"));
    EXPECT_EQ(SettingsStore(userFile, systemFile).GetIdUserLastLogin(), QStringLiteral("CLERK"));
}

// A folder where the file should be: nobody, not even root, can read or write it as a file.
TEST_F(SettingsStoreTest, FolderInPlaceOfTheFileIsNeitherReadNorWritten) {
    const QString file = path(QStringLiteral("Quorvane.conf"));
    ASSERT_TRUE(QDir().mkpath(file));
    const SettingsStore store(file);
    ExpectDefaults(store);
    EXPECT_FALSE(store.SetIdUserLastLogin(QStringLiteral("ADMIN")));
    EXPECT_TRUE(QDir(file).isEmpty());
}

// A file where a folder should be: the folder cannot be created, even by root.
TEST_F(SettingsStoreTest, UncreatableFolderMakesSettersFail) {
    WriteBytes(path(QStringLiteral("plain")), QByteArray("not a folder"));
    const SettingsStore store(path(QStringLiteral("plain/Zanthel/Quorvane.conf")));
    EXPECT_FALSE(store.SetIdUserLastLogin(QStringLiteral("ADMIN")));
    EXPECT_FALSE(store.SetTemplateOffsetLeft(QStringLiteral("1")));
    ExpectDefaults(store);
    EXPECT_EQ(FileBytes(path(QStringLiteral("plain"))), QByteArray("not a folder"));
}

TEST_F(SettingsStoreTest, UnreadableFileGivesDefaults) {
    if (RunningAsRoot()) {
        GTEST_SKIP() << "root reads files whatever their permissions";
    }
    const QString file = path(QStringLiteral("Quorvane.conf"));
    ASSERT_TRUE(SettingsStore(file).SetIdUserLastLogin(QStringLiteral("ADMIN")));
    const QByteArray bytes = FileBytes(file);
    ASSERT_TRUE(QFile::setPermissions(file, QFileDevice::Permissions()));
    const SettingsStore store(file);
    ExpectDefaults(store);
    EXPECT_FALSE(store.SetIdUserLastLogin(QStringLiteral("OTHER")));
    ASSERT_TRUE(QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    EXPECT_EQ(FileBytes(file), bytes);
}

TEST_F(SettingsStoreTest, UnwritableFileOrFolderKeepsEverything) {
    if (RunningAsRoot()) {
        GTEST_SKIP() << "root writes files whatever their permissions";
    }
    const QString folder = path(QStringLiteral("locked"));
    const QString file = folder + QStringLiteral("/Quorvane.conf");
    ASSERT_TRUE(SettingsStore(file).SetIdUserLastLogin(QStringLiteral("ADMIN")));
    const QByteArray bytes = FileBytes(file);
    const auto readOnly = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    const auto folderOpen = readOnly | QFileDevice::ExeOwner;
    const auto all = folderOpen | QFileDevice::WriteOwner;
    const struct {
        const char* what;
        QFileDevice::Permissions filePermissions;
        QFileDevice::Permissions folderPermissions;
    } cases[] = {
        {"read-only file", readOnly, all},
        {"read-only folder", readOnly | QFileDevice::WriteOwner, folderOpen},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(QFile::setPermissions(file, c.filePermissions));
        ASSERT_TRUE(QFile::setPermissions(folder, c.folderPermissions));
        const SettingsStore store(file);
        EXPECT_FALSE(store.SetIdUserLastLogin(QStringLiteral("OTHER"))) << c.what;
        EXPECT_FALSE(store.SetServerIP(QStringLiteral("dbserver"))) << c.what;
        EXPECT_EQ(store.GetIdUserLastLogin(), QStringLiteral("ADMIN")) << c.what;
        EXPECT_EQ(store.GetServerIP(), std::nullopt) << c.what;
        EXPECT_EQ(FileBytes(file), bytes) << c.what;
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 1) << c.what;
        ASSERT_TRUE(QFile::setPermissions(folder, all));
    }
    ASSERT_TRUE(QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
}

class WorkstationStoreTest : public SettingsStoreTest {
protected:
    QString settingsIn(const QString& folder) const {
        return path(folder) + QStringLiteral("/Zanthel/Quorvane.conf");
    }
};

TEST_F(WorkstationStoreTest, UsesTheFirstAbsoluteSystemFolderWhenItCanBeWritten) {
    const ScopedEnv dirs("XDG_CONFIG_DIRS", QStringLiteral("relative/xdg:") +
                                                path(QStringLiteral("sys1")) + QLatin1Char(':') +
                                                path(QStringLiteral("sys2")));
    const ScopedEnv home("XDG_CONFIG_HOME", path(QStringLiteral("home")));
    const SettingsStore store = SettingsStore::ForWorkstation();
    EXPECT_EQ(store.file(), settingsIn(QStringLiteral("sys1")));
    EXPECT_EQ(store.fallbackFile(), QString());
    // Choosing the file creates nothing; the first setter creates its folder.
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("sys1"))));
    ASSERT_TRUE(store.SetIdUserLastLogin(QStringLiteral("ADMIN")));
    EXPECT_EQ(RawValue(settingsIn(QStringLiteral("sys1")), QStringLiteral("User/IdUserLastLogin")),
              QStringLiteral("ADMIN"));
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("home"))));
}

TEST_F(WorkstationStoreTest, FallsBackToTheUserFileWhenTheSystemFolderCannotBeMade) {
    WriteBytes(path(QStringLiteral("plain")), QByteArray("x"));
    const ScopedEnv dirs("XDG_CONFIG_DIRS", path(QStringLiteral("plain/xdg")));
    const ScopedEnv home("XDG_CONFIG_HOME", path(QStringLiteral("home")));
    const SettingsStore store = SettingsStore::ForWorkstation();
    EXPECT_EQ(store.file(), settingsIn(QStringLiteral("home")));
    EXPECT_EQ(store.fallbackFile(), settingsIn(QStringLiteral("plain/xdg")));
    ExpectDefaults(store);
    ASSERT_TRUE(store.SetServerIP(QStringLiteral("dbserver")));
    EXPECT_EQ(RawValue(settingsIn(QStringLiteral("home")), QStringLiteral("System/ServerIP")),
              QStringLiteral("dbserver"));
}

TEST_F(WorkstationStoreTest, DefaultFoldersAreEtcXdgAndTheHomeConfigFolder) {
    const ScopedEnv dirs("XDG_CONFIG_DIRS", std::nullopt);
    const ScopedEnv configHome("XDG_CONFIG_HOME", std::nullopt);
    const ScopedEnv home("HOME", path(QStringLiteral("me")));
    const QString systemFile = QStringLiteral("/etc/xdg/Zanthel/Quorvane.conf");
    const QString userFile = path(QStringLiteral("me/.config/Zanthel/Quorvane.conf"));
    const SettingsStore store = SettingsStore::ForWorkstation();  // only chooses, writes nothing
    if (store.file() == systemFile) {
        EXPECT_EQ(store.fallbackFile(), QString());
    } else {
        EXPECT_EQ(store.file(), userFile);
        EXPECT_EQ(store.fallbackFile(), systemFile);
    }
}

TEST_F(WorkstationStoreTest, ReadOnlySystemFileIsReadThroughTheUserFile) {
    if (RunningAsRoot()) {
        GTEST_SKIP() << "root writes files whatever their permissions";
    }
    const QString systemFile = settingsIn(QStringLiteral("sys"));
    ASSERT_TRUE(SettingsStore(systemFile).SetServerIP(QStringLiteral("dbserver")));
    ASSERT_TRUE(SettingsStore(systemFile).SetIdUserLastLogin(QStringLiteral("ADMIN")));
    const QByteArray systemBytes = FileBytes(systemFile);
    const auto readOnly = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    ASSERT_TRUE(QFile::setPermissions(systemFile, readOnly));
    const ScopedEnv dirs("XDG_CONFIG_DIRS", path(QStringLiteral("sys")));
    const ScopedEnv home("XDG_CONFIG_HOME", path(QStringLiteral("home")));

    const SettingsStore store = SettingsStore::ForWorkstation();
    EXPECT_EQ(store.file(), settingsIn(QStringLiteral("home")));
    EXPECT_EQ(store.GetServerIP(), std::optional<QString>(QStringLiteral("dbserver")));
    ASSERT_TRUE(store.SetIdUserLastLogin(QStringLiteral("CLERK")));
    EXPECT_EQ(store.GetIdUserLastLogin(), QStringLiteral("CLERK"));
    EXPECT_EQ(FileBytes(systemFile), systemBytes);
    ASSERT_TRUE(QFile::setPermissions(systemFile, readOnly | QFileDevice::WriteOwner));
}

TEST(SettingsStoreGeneric, RefusesMalformedGroupAndValueNames) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString file = folder.filePath(QStringLiteral("Quorvane.conf"));
    const SettingsStore store(file);
    const QString names[] = {QString(), QStringLiteral("a/b"), QStringLiteral("a\\b")};
    for (const QString& name : names) {
        EXPECT_FALSE(store.write(name, QStringLiteral("v"), QStringLiteral("x")));
        EXPECT_FALSE(store.write(QStringLiteral("g"), name, QStringLiteral("x")));
        EXPECT_EQ(store.read(name, QStringLiteral("v")), std::nullopt);
    }
    EXPECT_FALSE(QFileInfo::exists(file));
    ASSERT_TRUE(store.write(QStringLiteral("g"), QStringLiteral("v"), QStringLiteral("x")));
    EXPECT_EQ(store.read(QStringLiteral("g"), QStringLiteral("v")), QStringLiteral("x"));
}

}  // namespace
}  // namespace quorvane
