// The cost of one LookupText through the access layer against a bare "SELECT 1" through the
// same driver and connection, on SQLite and PostgreSQL. The PostgreSQL database is named by
// QUORVANE_BENCH_PG (a libpq connection string); bench/run.sh starts a throwaway cluster.

#include "db/Database.h"
#include "db/SchemaInstaller.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

using quorvane::ConnectionTarget;
using quorvane::Database;
using quorvane::Statement;

std::unique_ptr<Database> openWithIssuer(const ConnectionTarget& target, const QString& name) {
    auto db = std::make_unique<Database>(target, name);
    if (!quorvane::SchemaInstaller::HasTables(*db)) {
        quorvane::SchemaInstaller::Install(*db);
    }
    db->ConnExecute(Statement(QStringLiteral("DELETE FROM BF_Customer")));
    db->ConnExecute(
        Statement(QStringLiteral("INSERT INTO BF_Customer (NoContract, NameCompany) VALUES (?, ?)"),
                  {QStringLiteral("K1"), QStringLiteral("宏遠百貨股份有限公司")}));
    return db;
}

void lookupText(benchmark::State& state, Database& db) {
    const Statement query(
        QStringLiteral("SELECT NameCompany FROM BF_Customer WHERE (NoContract = ?)"),
        {QStringLiteral("K1")});
    for (auto _ : state) {
        benchmark::DoNotOptimize(db.LookupText(query));
    }
}

void bareSelect(benchmark::State& state, Database& db, const QString& name) {
    db.ConnOpen();  // the same physical connection, opened by the access layer
    QSqlDatabase handle = QSqlDatabase::database(name, false);
    for (auto _ : state) {
        QSqlQuery query(handle);
        query.exec(QStringLiteral("SELECT 1"));
        query.next();
        benchmark::DoNotOptimize(query.value(0));
    }
    db.ConnClose();
}

// The lookup's own statement, prepared once and run bare through the driver: what the access
// layer adds on top of the database's own work.
void bareLookup(benchmark::State& state, Database& db, const QString& name) {
    db.ConnOpen();
    QSqlDatabase handle = QSqlDatabase::database(name, false);
    QSqlQuery query(handle);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT NameCompany FROM BF_Customer WHERE (NoContract = ?)"));
    for (auto _ : state) {
        query.bindValue(0, QStringLiteral("K1"));
        query.exec();
        query.next();
        benchmark::DoNotOptimize(query.value(0));
        query.finish();
    }
    db.ConnClose();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("bench.db"));
    QFile(file).open(QIODevice::WriteOnly);
    auto sqlite = openWithIssuer(ConnectionTarget::Sqlite(file), QStringLiteral("sqlite"));

    std::unique_ptr<Database> postgres;
    const QString conninfo = qEnvironmentVariable("QUORVANE_BENCH_PG");
    if (!conninfo.isEmpty()) {
        postgres = openWithIssuer(ConnectionTarget::Postgres(conninfo), QStringLiteral("postgres"));
    }

    benchmark::RegisterBenchmark("sqlite/LookupText",
                                 [&](benchmark::State& s) { lookupText(s, *sqlite); });
    benchmark::RegisterBenchmark("sqlite/bare_SELECT_1", [&](benchmark::State& s) {
        bareSelect(s, *sqlite, QStringLiteral("sqlite"));
    });
    benchmark::RegisterBenchmark("sqlite/bare_lookup", [&](benchmark::State& s) {
        bareLookup(s, *sqlite, QStringLiteral("sqlite"));
    });
    if (postgres) {
        benchmark::RegisterBenchmark("postgres/bare_lookup", [&](benchmark::State& s) {
            bareLookup(s, *postgres, QStringLiteral("postgres"));
        });
        benchmark::RegisterBenchmark("postgres/LookupText",
                                     [&](benchmark::State& s) { lookupText(s, *postgres); });
        benchmark::RegisterBenchmark("postgres/bare_SELECT_1", [&](benchmark::State& s) {
            bareSelect(s, *postgres, QStringLiteral("postgres"));
        });
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
