#include "db/SchemaInstaller.h"

#include "core/Failure.h"
#include "db/ScriptSplitter.h"

#include <QFile>
#include <QRegularExpression>

#include <mutex>

// The scripts are compiled into the static db library, whose resource registration the linker
// would drop as unreferenced: register them explicitly (from the global namespace, as the
// macro requires).
static void registerSchemaResources() {
    static std::once_flag registered;
    std::call_once(registered, [] { Q_INIT_RESOURCE(schema); });
}

namespace quorvane {

namespace {

const QString kSource = QStringLiteral("SchemaInstaller");

// Longest piece of a failed statement quoted in the message.
constexpr int kQuotedStatementLength = 160;

QString backendName(const Dialect& dialect) {
    return dialect.isSqlite() ? QStringLiteral("sqlite") : QStringLiteral("postgresql");
}

// The script that creates the schema, or with `upgradeTo` the one that takes the schema from
// the version before it to that version.
QString readScript(const Dialect& dialect, int upgradeTo = 0) {
    registerSchemaResources();
    QFile file(upgradeTo == 0 ? QStringLiteral(":/schema/%1.sql").arg(backendName(dialect))
                              : QStringLiteral(":/schema/upgrade-%1.%2.sql")
                                    .arg(upgradeTo)
                                    .arg(backendName(dialect)));
    if (!file.open(QIODevice::ReadOnly)) {
        throw Failure(0, QStringLiteral("程式內找不到資料庫結構指令碼 ") + file.fileName(),
                      kSource);
    }
    return QString::fromUtf8(file.readAll());
}

// An object the script creates, to be dropped again by a forced installation.
struct ScriptObject {
    QString kind;  // TABLE, VIEW or FUNCTION
    QString name;
};

QList<ScriptObject> createdObjects(const QStringList& statements) {
    static const QRegularExpression create(
        QStringLiteral("^CREATE\\s+(?:OR\\s+REPLACE\\s+)?(TABLE|VIEW|FUNCTION)\\s+"
                       "(?:IF\\s+NOT\\s+EXISTS\\s+)?([A-Za-z_][A-Za-z0-9_]*)"),
        QRegularExpression::CaseInsensitiveOption);
    QList<ScriptObject> objects;
    for (const QString& statement : statements) {
        const QRegularExpressionMatch match = create.match(statement);
        if (match.hasMatch()) {
            objects.append({match.captured(1).toUpper(), match.captured(2)});
        }
    }
    return objects;
}

const QString kInstallFailed = QStringLiteral("資料庫結構安裝失敗，未做任何變更：");
const QString kUpgradeFailed = QStringLiteral("資料庫結構更新失敗，未做任何變更：");

// Runs one script statement inside the installation's (or upgrade's) transaction. A failure
// names the database and the statement, and says that the transaction leaves nothing changed.
void run(Database& db, const QString& sql, const QString& heading = kInstallFailed) {
    try {
        db.ConnExecute(Statement(sql));
    } catch (const DatabaseFailure& failure) {
        QString quoted = sql.simplified();
        if (quoted.size() > kQuotedStatementLength) {
            quoted = quoted.left(kQuotedStatementLength) + QStringLiteral("…");
        }
        throw DatabaseFailure(failure.number(),
                              heading + db.target().describe() + QStringLiteral("\r\n") +
                                  failure.description() + QStringLiteral("\r\n指令：") + quoted,
                              kSource, failure.sqlState());
    }
}

// Drops what the script creates, in the reverse order of creation: views and functions come
// after the tables they read, and tables that refer to others after those, so every object
// goes before what it depends on. Objects of other programs are left alone; one that depends
// on ours makes the drop, and so the whole installation, fail.
void dropObjects(Database& db, const QList<ScriptObject>& objects) {
    for (auto it = objects.crbegin(); it != objects.crend(); ++it) {
        run(db, QStringLiteral("DROP %1 IF EXISTS %2").arg(it->kind, it->name));
    }
}

bool hasTable(Database& db, const QString& name) {
    const QString sql = db.dialect().isSqlite()
                            ? QStringLiteral(
                                  "SELECT name FROM sqlite_master "
                                  "WHERE type = 'table' AND lower(name) = lower(?)")
                            : QStringLiteral(
                                  "SELECT table_name FROM information_schema.tables "
                                  "WHERE table_schema = current_schema() "
                                  "AND lower(table_name) = lower(?)");
    return db.HasRows(Statement(sql, {name}));
}

void recordVersion(Database& db, int version) {
    db.ConnExecute(
        Statement(QStringLiteral("INSERT INTO SYS_SchemaVersion (Version, TimeInstalled) "
                                 "VALUES (?, ?)"),
                  {version, db.GetServerTime()}));
}

}  // namespace

bool SchemaInstaller::HasTables(Database& db) {
    const QString sql = db.dialect().isSqlite()
                            ? QStringLiteral(
                                  "SELECT name FROM sqlite_master "
                                  "WHERE type IN ('table', 'view') "
                                  "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' LIMIT 1")
                            : QStringLiteral(
                                  "SELECT table_name FROM information_schema.tables "
                                  "WHERE table_schema = current_schema() LIMIT 1");
    return db.HasRows(Statement(sql));
}

int SchemaInstaller::InstalledVersion(Database& db) {
    UnitOfWork unit(db);
    if (!hasTable(db, QStringLiteral("SYS_SchemaVersion"))) {
        return 0;
    }
    return db.LookupLong(Statement(QStringLiteral("SELECT MAX(Version) FROM SYS_SchemaVersion")));
}

void SchemaInstaller::Install(Database& db, bool force) {
    const QStringList statements = SplitSqlScript(readScript(db.dialect()));

    Transaction transaction(db);
    if (HasTables(db)) {
        if (!force) {
            throw Failure(0,
                          QStringLiteral("資料庫已有資料表，未做任何變更：") +
                              db.target().describe() +
                              QStringLiteral("（若要重建，請加上 --force）"),
                          kSource);
        }
        dropObjects(db, createdObjects(statements));
    }
    for (const QString& statement : statements) {
        run(db, statement);
    }
    recordVersion(db, kSchemaVersion);
    transaction.commit();
}

int SchemaInstaller::Upgrade(Database& db) {
    Transaction transaction(db);
    const int installed = InstalledVersion(db);
    if (installed == 0) {
        throw Failure(0,
                      QStringLiteral("資料庫沒有結構版本紀錄（尚未建立資料表，或不是以 "
                                     "quorvane-db init 建立），未做任何變更：") +
                          db.target().describe(),
                      kSource);
    }
    if (installed > kSchemaVersion) {
        throw Failure(0,
                      QStringLiteral("資料庫結構版本 %1 比本程式支援的版本 %2 新，未做任何變更：")
                              .arg(installed)
                              .arg(kSchemaVersion) +
                          db.target().describe(),
                      kSource);
    }
    for (int version = installed + 1; version <= kSchemaVersion; ++version) {
        for (const QString& statement : SplitSqlScript(readScript(db.dialect(), version))) {
            run(db, statement, kUpgradeFailed);
        }
        recordVersion(db, version);
    }
    transaction.commit();
    return installed;
}

}  // namespace quorvane
