#include "support/TestDatabase.h"

#include "db/SchemaInstaller.h"
#include "db/ScriptSplitter.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include <atomic>
#include <stdexcept>

namespace quorvane::test {

namespace {

QString postgresSocketFolder() {
    const QString folder = qEnvironmentVariable("QUORVANE_TEST_PGHOST");
    if (folder.isEmpty()) {
        throw std::runtime_error(
            "QUORVANE_TEST_PGHOST is not set: run the tests through ./test.sh, which starts a "
            "throwaway PostgreSQL cluster");
    }
    return folder;
}

// Runs one statement on the cluster's maintenance database.
void runOnCluster(const QString& sql) {
    const QString name = UniqueConnectionName();
    std::string error;
    {
        QSqlDatabase admin = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        admin.setConnectOptions(QStringLiteral("host=") + postgresSocketFolder() +
                                QStringLiteral(" dbname=postgres"));
        if (!admin.open()) {
            error = "cannot reach the test PostgreSQL cluster: " +
                    admin.lastError().text().toStdString();
        } else {
            QSqlQuery query(admin);
            if (!query.exec(sql)) {
                error = sql.toStdString() + ": " + query.lastError().text().toStdString();
            }
        }
    }
    QSqlDatabase::removeDatabase(name);
    if (!error.empty()) {
        throw std::runtime_error(error);
    }
}

}  // namespace

std::string BackendName(const testing::TestParamInfo<Backend>& info) {
    return info.param == Backend::Sqlite ? "Sqlite" : "Postgres";
}

QString UniqueConnectionName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("test_%1").arg(++counter);
}

ScratchDatabase::ScratchDatabase(Backend backend) : backend_(backend) {
    if (backend_ == Backend::Sqlite) {
        target_ = ConnectionTarget::Sqlite(folder_.filePath(QStringLiteral("quorvane.db")));
        // The program opens only existing files; an empty file is an empty SQLite database.
        QFile file(target_.location());
        if (!file.open(QIODevice::WriteOnly)) {
            throw std::runtime_error("cannot create the scratch SQLite file");
        }
        return;
    }
    postgresName_ =
        QStringLiteral("qv_") + QUuid::createUuid().toString(QUuid::Id128).left(16).toLower();
    runOnCluster(
        QStringLiteral("CREATE DATABASE %1 ENCODING 'UTF8' TEMPLATE template0").arg(postgresName_));
    target_ = ConnectionTarget::Postgres(QStringLiteral("host=") + postgresSocketFolder() +
                                         QStringLiteral(" dbname=") + postgresName_);
}

ScratchDatabase::~ScratchDatabase() {
    if (!postgresName_.isEmpty()) {
        try {
            runOnCluster(
                QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(postgresName_));
        } catch (const std::exception&) {
            // The cluster is thrown away with the test run.
        }
    }
}

QString ScratchDatabase::serverHost() const {
    return backend_ == Backend::Sqlite ? QStringLiteral("sqlite:") + target_.location()
                                       : target_.location();
}

std::unique_ptr<Database> ScratchDatabase::connect() {
    return std::make_unique<Database>(target_, UniqueConnectionName());
}

namespace {

// Runs a schema script of the backend in one transaction and records the version it reaches.
void runScript(Database& db, const QString& path, int version) {
    QFile script(path.arg(db.dialect().isSqlite() ? QStringLiteral("sqlite")
                                                  : QStringLiteral("postgresql")));
    if (!script.open(QIODevice::ReadOnly)) {
        throw std::runtime_error("cannot read " + script.fileName().toStdString());
    }
    Transaction transaction(db);
    for (const QString& statement : SplitSqlScript(QString::fromUtf8(script.readAll()))) {
        db.ConnExecute(Statement(statement));
    }
    db.ConnExecute(Statement(
        QStringLiteral("INSERT INTO SYS_SchemaVersion (Version, TimeInstalled) VALUES (?, ?)"),
        {version, db.GetServerTime()}));
    transaction.commit();
}

}  // namespace

void InstallSchemaVersion1(Database& db) {
    runScript(db, QStringLiteral(QUORVANE_SCHEMA_V1_DIR "/%1.sql"), 1);
}

void UpgradeToSchemaVersion2(Database& db) {
    runScript(db, QStringLiteral(QUORVANE_SCHEMA_DIR "/upgrade-2.%1.sql"), 2);
}

void BackendTest::SetUp() {
    scratch_ = std::make_unique<ScratchDatabase>(GetParam());
    db_ = scratch_->connect();
    SchemaInstaller::Install(*db_);
}

void BackendTest::TearDown() {
    db_.reset();
    scratch_.reset();
}

}  // namespace quorvane::test
