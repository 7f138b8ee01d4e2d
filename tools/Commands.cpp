#include "Commands.h"

#include "DemoData.h"
#include "Terminal.h"

#include "core/Failure.h"
#include "core/Password.h"
#include "db/Database.h"
#include "db/SchemaInstaller.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <optional>

namespace quorvane::tool {

namespace {

const QString kSource = QStringLiteral("quorvane-db");
constexpr int kMaxUserId = 16;
constexpr int kMaxUserName = 4;
constexpr int kMaxPassword = 16;
// Length of SYS_Setting.IdUserModify.
constexpr int kMaxModifier = 64;

// The tables of the program's data, with what they hold, in the order the loss is listed.
// The installation's fixed data (text directions) and the schema version are rebuilt as they
// were; the voucher layout and the settings are listed because changes made to them are lost.
struct DataTable {
    const char* name;
    const char* holds;
};
constexpr DataTable kDataTables[] = {
    {"BF_Customer", "發行業者"},
    {"BF_User", "使用者帳號"},
    {"OR_Account", "額度申請"},
    {"OR_TicketForm", "票樣"},
    {"ST_TicketTask", "列印作業紀錄"},
    {"OR_TicketPrint", "已列印票卷"},
    {"ST_TicketPrintTemplate", "票面版面"},
    {"SYS_LoginFailure", "登入失敗紀錄"},
    {"SYS_Setting", "系統設定（信託部傳真號碼）"},
};

// What a database holds, as far as this tool is concerned.
enum class Contents { NoTables, OtherTables, Quorvane };

[[noreturn]] void fail(const QString& text) {
    throw Failure(0, text, kSource);
}

// The characters the login screen drops from the id and password fields (codes 33 to 44, 46,
// 47 and 58 to 64): an account holding one could never log in.
std::optional<QChar> untypeableCharacter(const QString& text) {
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if ((code >= 33 && code <= 44) || code == 46 || code == 47 || (code >= 58 && code <= 64) ||
            c.category() == QChar::Other_Control) {
            return c;
        }
    }
    return std::nullopt;
}

QString notSqlite(const QString& path) {
    return QStringLiteral("檔案不是 SQLite 資料庫，未做任何變更：") + Shown(path) +
           QStringLiteral("\n請指定新的檔案名稱或正確的資料庫檔案");
}

QString notQuorvane(const ConnectionTarget& target) {
    return QStringLiteral(
               "資料庫有資料表，但不是以 quorvane-db init 建立（找不到結構版本），"
               "未做任何變更：") +
           Shown(target.describe());
}

bool isSqliteFile(const QString& path) {
    static const QByteArray header("SQLite format 3\0", 16);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        fail(QStringLiteral("無法讀取檔案，未做任何變更：") + Shown(path) + QStringLiteral("（") +
             file.errorString() + QStringLiteral("）"));
    }
    return file.read(header.size()) == header;
}

// The file of an SQLite target, created empty (an empty file is an empty SQLite database)
// when it does not exist. Returns true when this call created it.
bool prepareSqliteFile(const QString& path) {
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        fail(QStringLiteral("指定的資料庫位置不是檔案，未做任何變更：") +
             Shown(info.absoluteFilePath()));
    }
    const QDir folder = info.absoluteDir();
    if (!folder.exists()) {
        fail(QStringLiteral("找不到資料夾：") + Shown(folder.absolutePath()) +
             QStringLiteral("\n請先建立該資料夾，或指定其他位置的資料庫檔案"));
    }
    if (info.exists()) {
        if (info.size() > 0 && !isSqliteFile(path)) {
            fail(notSqlite(path));
        }
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        fail(QStringLiteral("無法建立資料庫檔案：") + Shown(info.absoluteFilePath()) +
             QStringLiteral("（") + file.errorString() + QStringLiteral("）"));
    }
    return true;
}

void removeSqliteFiles(const QString& path) {
    for (const QString& suffix :
         {QString(), QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")}) {
        QFile::remove(path + suffix);
    }
}

// What an existing SQLite file holds, read through a read-only connection of its own: the
// program's connections turn a file into a write-ahead-log database (writing to it, and
// growing an empty file), which must never happen to a file that is no Quorvane database.
Contents sqliteFileContents(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        fail(QStringLiteral("找不到資料庫檔案：") + Shown(path) +
             QStringLiteral("\n請先執行 quorvane-db init 建立資料庫"));
    }
    if (!info.isFile()) {
        fail(QStringLiteral("指定的資料庫位置不是檔案，未做任何變更：") + Shown(path));
    }
    if (info.size() == 0) {
        return Contents::NoTables;
    }
    if (!isSqliteFile(path)) {
        fail(notSqlite(path));
    }
    const QString connection = QStringLiteral("quorvane-db-inspect");
    std::optional<Contents> contents;
    QString error;
    {
        QSqlDatabase file = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        file.setDatabaseName(path);
        file.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (file.open()) {
            QSqlQuery query(file);
            if (query.exec(QStringLiteral(
                    "SELECT COUNT(*), COUNT(CASE WHEN lower(name) = 'sys_schemaversion' "
                    "THEN 1 END) FROM sqlite_master WHERE type IN ('table', 'view') "
                    "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\'")) &&
                query.next()) {
                contents = query.value(1).toInt() > 0   ? Contents::Quorvane
                           : query.value(0).toInt() > 0 ? Contents::OtherTables
                                                        : Contents::NoTables;
            } else {
                error = query.lastError().text();
            }
        } else {
            error = file.lastError().text();
        }
        file.close();
    }
    QSqlDatabase::removeDatabase(connection);
    if (!contents) {
        fail(QStringLiteral("無法讀取資料庫檔案，未做任何變更：") + Shown(path) +
             QStringLiteral("（") + error + QStringLiteral("）"));
    }
    return *contents;
}

Contents contentsOf(Database& db) {
    if (db.target().kind() == ConnectionTarget::Kind::Sqlite) {
        return sqliteFileContents(db.target().location());
    }
    UnitOfWork unit(db);
    if (SchemaInstaller::InstalledVersion(db) > 0) {
        return Contents::Quorvane;
    }
    return SchemaInstaller::HasTables(db) ? Contents::OtherTables : Contents::NoTables;
}

// Refuses a Quorvane database whose schema version this program does not know.
void requireKnownVersion(Database& db) {
    const int version = SchemaInstaller::InstalledVersion(db);
    if (version == 0) {
        fail(notQuorvane(db.target()));
    }
    if (version > SchemaInstaller::kSchemaVersion) {
        fail(QStringLiteral("資料庫結構版本 %1 比本程式支援的版本 %2 新：")
                 .arg(version)
                 .arg(SchemaInstaller::kSchemaVersion) +
             Shown(db.target().describe()) + QStringLiteral("\n請使用新版的 quorvane-db"));
    }
    if (version < SchemaInstaller::kSchemaVersion) {
        fail(QStringLiteral("資料庫結構版本 %1 比本程式使用的版本 %2 舊，未做任何變更：")
                 .arg(version)
                 .arg(SchemaInstaller::kSchemaVersion) +
             db.target().describe() + QStringLiteral("\n請先執行 quorvane-db upgrade"));
    }
}

// Refuses a database on which init has not been run (or a newer program's database), looking
// at an SQLite file before opening it for writing.
void requireInstalled(Database& db) {
    switch (contentsOf(db)) {
        case Contents::NoTables:
            fail(QStringLiteral("資料庫尚未建立資料表：") + Shown(db.target().describe()) +
                 QStringLiteral("\n請先執行 quorvane-db init"));
        case Contents::OtherTables:
            fail(notQuorvane(db.target()));
        case Contents::Quorvane:
            requireKnownVersion(db);
            return;
    }
}

// What a forced init would destroy: the rows of each table of the program's data, and the
// other sessions of a PostgreSQL database (workstations still logged in).
QString lossReport(Database& db) {
    UnitOfWork unit(db);
    QString text = QStringLiteral("重建將刪除 ") + Shown(db.target().describe()) +
                   QStringLiteral(" 的全部資料：\n");
    for (const DataTable& table : kDataTables) {
        const QString name = QString::fromLatin1(table.name);
        text += QStringLiteral("  %1（%2）：%3 筆\n")
                    .arg(QString::fromUtf8(table.holds), name)
                    .arg(db.LookupInt64(Statement(QStringLiteral("SELECT COUNT(*) FROM ") + name)));
    }
    if (db.dialect().isSqlite()) {
        text += QStringLiteral("重建前會先將原資料庫檔案複製一份備份在同一資料夾。\n");
    } else {
        const qint64 sessions = db.LookupInt64(Statement(QStringLiteral(
            "SELECT COUNT(*) FROM pg_stat_activity WHERE datname = current_database() "
            "AND pid <> pg_backend_pid() AND backend_type = 'client backend'")));
        if (sessions > 0) {
            text += QStringLiteral("此資料庫目前另有 %1 個連線（可能有工作站仍在使用）。\n")
                        .arg(sessions);
        }
        text +=
            QStringLiteral("PostgreSQL 資料庫不會自動備份；如需保留資料，請先以 pg_dump 備份。\n");
    }
    return text;
}

// The name the administrator types to agree to the loss.
QString databaseName(Database& db) {
    if (db.dialect().isSqlite()) {
        return QFileInfo(db.target().location()).fileName();
    }
    return db.LookupText(Statement(QStringLiteral("SELECT current_database()")));
}

// Copies an SQLite database beside its file (quorvane.db.2026-12-11T16-30-00.bak), with the
// file's permissions: a consistent copy even while the write-ahead log holds recent changes.
QString backUpSqliteFile(Database& db) {
    const QString path = db.target().location();
    const QString stem =
        path + QLatin1Char('.') +
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddTHH-mm-ss"));
    QString backup = stem + QStringLiteral(".bak");
    for (int n = 2; QFileInfo::exists(backup); ++n) {
        backup = stem + QStringLiteral("-%1.bak").arg(n);
    }
    try {
        db.ConnExecute(Statement(QStringLiteral("VACUUM INTO ?"), {backup}));
    } catch (const DatabaseFailure& failure) {
        QFile::remove(backup);
        fail(QStringLiteral("無法備份資料庫檔案至 ") + Shown(backup) +
             QStringLiteral("，未做任何變更：") + failure.description());
    }
    QFile::setPermissions(backup, QFile::permissions(path));
    return backup;
}

// True when an account with this id exists in any letter case (the login matches ids
// case-insensitively, so such an id would be ambiguous).
bool userExists(Database& db, const QString& id) {
    return db.HasRows(
        Statement(QStringLiteral("SELECT IdUser FROM BF_User WHERE UPPER(IdUser) = ?"), {id}));
}

}  // namespace

QString InitDatabase(const ConnectionTarget& target, bool force, const ConfirmLoss& confirmLoss,
                     const QString& fax) {
    if (!fax.isEmpty()) {
        CheckFaxNumber(fax);
    }
    bool created = false;
    if (target.kind() == ConnectionTarget::Kind::Sqlite) {
        created = prepareSqliteFile(target.location());
    }
    QString backup;
    try {
        Database db(target);
        const Contents contents = contentsOf(db);
        if (contents == Contents::OtherTables) {
            fail(notQuorvane(target) +
                 QStringLiteral("\n請指定新的資料庫檔案或空的資料庫；本程式不刪除其他程式的資料"));
        }
        if (contents == Contents::Quorvane && force) {
            requireKnownVersion(db);
            // Asked outside any transaction: the database is not held while someone types.
            confirmLoss(lossReport(db), databaseName(db));
            if (db.dialect().isSqlite()) {
                backup = backUpSqliteFile(db);
            }
        }
        Transaction transaction(db);
        SchemaInstaller::Install(db, force);
        if (!fax.isEmpty()) {
            WriteFaxNumber(db, fax, FaxModifier());
        }
        transaction.commit();
    } catch (...) {
        if (created) {
            removeSqliteFiles(target.location());
        }
        // The rebuild rolled back, so the database itself is the copy.
        if (!backup.isEmpty()) {
            QFile::remove(backup);
        }
        throw;
    }
    return backup;
}

int UpgradeDatabase(const ConnectionTarget& target) {
    if (target.kind() == ConnectionTarget::Kind::Sqlite && !QFileInfo::exists(target.location())) {
        fail(QStringLiteral("找不到資料庫檔案，未做任何變更：") + target.location());
    }
    Database db(target);
    return SchemaInstaller::Upgrade(db);
}

QString FaxModifier() {
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty()) {
        user = qEnvironmentVariable("LOGNAME");
    }
    return user.isEmpty() ? kSource : (kSource + QLatin1Char(':') + user).left(kMaxModifier);
}

FaxSetting ShowFax(const ConnectionTarget& target) {
    Database db(target);
    requireInstalled(db);
    return ReadFaxNumber(db);
}

FaxSetting SetFax(const ConnectionTarget& target, const QString& number) {
    CheckFaxNumber(number);
    Database db(target);
    requireInstalled(db);
    WriteFaxNumber(db, number, FaxModifier());
    return ReadFaxNumber(db);
}

QString CheckUserId(const QString& id) {
    const QString text = id.trimmed().toUpper();
    if (text.isEmpty()) {
        fail(QStringLiteral("請以 --id 指定使用者帳號"));
    }
    if (text.size() > kMaxUserId) {
        fail(QStringLiteral("使用者帳號最多 %1 個字元：").arg(kMaxUserId) + Shown(text));
    }
    for (const QChar c : text) {
        if (c.isSpace()) {
            fail(QStringLiteral("使用者帳號不可含空白：") + Shown(text));
        }
    }
    if (const auto bad = untypeableCharacter(text)) {
        fail(QStringLiteral("使用者帳號含有登入畫面無法輸入的字元「%1」：").arg(Shown(*bad)) +
             Shown(text));
    }
    return text;
}

QString CheckUserName(const QString& name) {
    const QString text = name.trimmed();
    if (text.isEmpty()) {
        fail(QStringLiteral("使用者姓名不可空白，未做任何變更（省略 --name 則使用「管理者」）"));
    }
    if (text.size() > kMaxUserName) {
        fail(QStringLiteral("使用者姓名最多 %1 個字：").arg(kMaxUserName) + Shown(text));
    }
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control) {
            fail(QStringLiteral("使用者姓名不可含控制字元「%1」：").arg(Shown(c)) + Shown(text));
        }
    }
    return text;
}

QString CheckPassword(const QString& password) {
    // The login screen ignores spaces around the password, so they are not part of it.
    const QString text = password.trimmed();
    if (text.isEmpty()) {
        fail(QStringLiteral("密碼不可空白，未做任何變更"));
    }
    if (text.size() > kMaxPassword) {
        fail(QStringLiteral("密碼最多 %1 個字元，未做任何變更").arg(kMaxPassword));
    }
    if (const auto bad = untypeableCharacter(text)) {
        fail(QStringLiteral("密碼含有登入畫面無法輸入的字元「%1」，未做任何變更").arg(Shown(*bad)));
    }
    if (text.size() < kMinPasswordLength) {
        fail(QStringLiteral("密碼至少須 %1 個字元（輸入的密碼只有 %2 個字元），未做任何變更")
                 .arg(kMinPasswordLength)
                 .arg(text.size()));
    }
    return text;
}

void CreateAdministrator(const ConnectionTarget& target, const QString& id, const QString& name,
                         const std::function<QString()>& readPassword) {
    const QString userId = CheckUserId(id);
    const QString userName = CheckUserName(name);

    Database db(target);
    requireInstalled(db);
    {
        UnitOfWork unit(db);
        if (userExists(db, userId)) {
            fail(QStringLiteral("使用者帳號已存在，未做任何變更：") + userId);
        }
    }
    // Asked outside any transaction: the database is not held while someone types.
    const QString hash = HashPassword(CheckPassword(readPassword()));
    if (hash.isEmpty()) {
        fail(QStringLiteral("無法產生密碼雜湊，未做任何變更"));
    }

    Transaction transaction(db);
    if (userExists(db, userId)) {
        fail(QStringLiteral("使用者帳號已存在，未做任何變更：") + userId);
    }
    db.ConnExecute(
        Statement(QStringLiteral("INSERT INTO BF_User (IdUser, PWD, NameUser, Note, PMI_Handling, "
                                 "PMI_Verify, PMI_System, IdUserAddNew, TimeAddNew) "
                                 "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                  {userId, hash, userName, QStringLiteral("系統管理者"), 0, 0, 1, userId,
                   db.GetServerTime()}));
    transaction.commit();
}

QList<Credential> LoadDemoData(const ConnectionTarget& target) {
    Database db(target);
    requireInstalled(db);
    {
        UnitOfWork unit(db);
        if (db.HasRows(Statement(QStringLiteral("SELECT NoContract FROM BF_Customer LIMIT 1")))) {
            fail(QStringLiteral("資料庫已有發行業者資料，未載入示範資料：") +
                 Shown(db.target().describe()));
        }
        for (const DemoUser& user : DemoUsers()) {
            if (userExists(db, user.id)) {
                fail(QStringLiteral("使用者帳號已存在，未載入示範資料：") + user.id);
            }
        }
    }
    return WriteDemoData(db);
}

}  // namespace quorvane::tool
