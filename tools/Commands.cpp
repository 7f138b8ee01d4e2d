#include "Commands.h"

#include "DemoData.h"

#include "core/Failure.h"
#include "core/Password.h"
#include "db/Database.h"
#include "db/SchemaInstaller.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>

namespace quorvane::tool {

namespace {

const QString kSource = QStringLiteral("quorvane-db");
constexpr int kMaxUserId = 16;
constexpr int kMaxUserName = 4;
constexpr int kMaxPassword = 16;

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

bool isSqliteFile(const QString& path) {
    static const QByteArray header("SQLite format 3\0", 16);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        fail(QStringLiteral("無法讀取檔案，未做任何變更：") + path + QStringLiteral("（") +
             file.errorString() + QStringLiteral("）"));
    }
    return file.read(header.size()) == header;
}

// The file of an SQLite target, created empty (an empty file is an empty SQLite database)
// when it does not exist. Returns true when this call created it.
bool prepareSqliteFile(const QString& path) {
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        fail(QStringLiteral("指定的資料庫位置不是檔案，未做任何變更：") + info.absoluteFilePath());
    }
    const QDir folder = info.absoluteDir();
    if (!folder.exists()) {
        fail(QStringLiteral("找不到資料夾：") + folder.absolutePath() +
             QStringLiteral("\n請先建立該資料夾，或指定其他位置的資料庫檔案"));
    }
    if (info.exists()) {
        if (info.size() > 0 && !isSqliteFile(path)) {
            fail(QStringLiteral("檔案不是 SQLite 資料庫，未做任何變更：") +
                 info.absoluteFilePath() +
                 QStringLiteral("\n請指定新的檔案名稱或正確的資料庫檔案"));
        }
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        fail(QStringLiteral("無法建立資料庫檔案：") + info.absoluteFilePath() +
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

// Refuses a database on which init has not been run (or a newer program's database).
void requireInstalled(Database& db) {
    const int version = SchemaInstaller::InstalledVersion(db);
    if (version == 0) {
        if (SchemaInstaller::HasTables(db)) {
            fail(QStringLiteral(
                     "資料庫有資料表，但不是以 quorvane-db init 建立（找不到結構版本）：") +
                 db.target().describe());
        }
        fail(QStringLiteral("資料庫尚未建立資料表：") + db.target().describe() +
             QStringLiteral("\n請先執行 quorvane-db init"));
    }
    if (version > SchemaInstaller::kSchemaVersion) {
        fail(QStringLiteral("資料庫結構版本 %1 比本程式支援的版本 %2 新：")
                 .arg(version)
                 .arg(SchemaInstaller::kSchemaVersion) +
             db.target().describe() + QStringLiteral("\n請使用新版的 quorvane-db"));
    }
    if (version < SchemaInstaller::kSchemaVersion) {
        fail(QStringLiteral("資料庫結構版本 %1 比本程式使用的版本 %2 舊，未做任何變更：")
                 .arg(version)
                 .arg(SchemaInstaller::kSchemaVersion) +
             db.target().describe() + QStringLiteral("\n請先執行 quorvane-db upgrade"));
    }
}

// True when an account with this id exists in any letter case (the login matches ids
// case-insensitively, so such an id would be ambiguous).
bool userExists(Database& db, const QString& id) {
    return db.HasRows(
        Statement(QStringLiteral("SELECT IdUser FROM BF_User WHERE UPPER(IdUser) = ?"), {id}));
}

}  // namespace

void InitDatabase(const ConnectionTarget& target, bool force) {
    bool created = false;
    if (target.kind() == ConnectionTarget::Kind::Sqlite) {
        created = prepareSqliteFile(target.location());
    }
    try {
        Database db(target);
        SchemaInstaller::Install(db, force);
    } catch (...) {
        if (created) {
            removeSqliteFiles(target.location());
        }
        throw;
    }
}

int UpgradeDatabase(const ConnectionTarget& target) {
    if (target.kind() == ConnectionTarget::Kind::Sqlite && !QFileInfo::exists(target.location())) {
        fail(QStringLiteral("找不到資料庫檔案，未做任何變更：") + target.location());
    }
    Database db(target);
    return SchemaInstaller::Upgrade(db);
}

QString CheckUserId(const QString& id) {
    const QString text = id.trimmed().toUpper();
    if (text.isEmpty()) {
        fail(QStringLiteral("請以 --id 指定使用者帳號"));
    }
    if (text.size() > kMaxUserId) {
        fail(QStringLiteral("使用者帳號最多 %1 個字元：").arg(kMaxUserId) + text);
    }
    for (const QChar c : text) {
        if (c.isSpace()) {
            fail(QStringLiteral("使用者帳號不可含空白：") + text);
        }
    }
    if (const auto bad = untypeableCharacter(text)) {
        fail(QStringLiteral("使用者帳號含有登入畫面無法輸入的字元「%1」：").arg(*bad) + text);
    }
    return text;
}

QString CheckUserName(const QString& name) {
    const QString text = name.trimmed();
    if (text.size() > kMaxUserName) {
        fail(QStringLiteral("使用者姓名最多 %1 個字：").arg(kMaxUserName) + text);
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
        fail(QStringLiteral("密碼含有登入畫面無法輸入的字元「%1」，未做任何變更").arg(*bad));
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
    {
        UnitOfWork unit(db);
        requireInstalled(db);
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
    {
        UnitOfWork unit(db);
        requireInstalled(db);
        if (db.HasRows(Statement(QStringLiteral("SELECT NoContract FROM BF_Customer LIMIT 1")))) {
            fail(QStringLiteral("資料庫已有發行業者資料，未載入示範資料：") +
                 db.target().describe());
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
