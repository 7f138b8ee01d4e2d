// Opening the issuer screen on 10,000 issuers (its list filled and the first issuer shown)
// against the bare queries it stands on, run through the same driver and connection: the
// list query read to its end and the first issuer's row. SQLite always; PostgreSQL when
// QUORVANE_BENCH_PG names a database (bench/run.sh starts a throwaway cluster).

#include "core/CurrentUser.h"
#include "db/Database.h"
#include "db/SchemaInstaller.h"
#include "masterdata/screens/frmBF_Customer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

using quorvane::ConnectionTarget;
using quorvane::Database;
using quorvane::Statement;

constexpr int kIssuers = 10000;
constexpr int kRuns = 9;

void fill(Database& db) {
    if (!quorvane::SchemaInstaller::HasTables(db)) {
        quorvane::SchemaInstaller::Install(db);
    }
    quorvane::Transaction transaction(db);
    db.ConnExecute(Statement(QStringLiteral("DELETE FROM BF_Customer")));
    for (int i = 0; i < kIssuers; ++i) {
        db.ConnExecute(Statement(
            QStringLiteral(
                "INSERT INTO BF_Customer (NoContract, NameCompany, NoVAT, AddressCompany) "
                "VALUES (?, ?, ?, ?)"),
            {QStringLiteral("T%1").arg(i, 5, 10, QLatin1Char('0')),
             QStringLiteral("發行業者股份有限公司%1").arg(i),
             QStringLiteral("%1").arg(10000000 + i),
             QStringLiteral("台北市信義區忠孝東路五段%1號").arg(i)}));
    }
    transaction.commit();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void measure(const char* backend, Database& db, const QString& connection) {
    std::vector<double> screen;
    std::vector<double> bare;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        { quorvane::frmBF_Customer issuers(db); }
        screen.push_back(timer.nsecsElapsed() / 1e6);

        db.ConnOpen();
        timer.restart();
        {
            QSqlQuery list(QSqlDatabase::database(connection, false));
            list.setForwardOnly(true);
            list.exec(QStringLiteral(
                "SELECT NoContract || '：' || COALESCE(NameCompany, '') AS ListField, "
                "NoContract FROM BF_Customer ORDER BY NoContract"));
            QStringList rows;
            while (list.next()) {
                rows << list.value(0).toString() << list.value(1).toString();
            }
            QSqlQuery first(QSqlDatabase::database(connection, false));
            first.exec(QStringLiteral("SELECT * FROM BF_Customer WHERE (NoContract = 'T00000')"));
            first.next();
        }
        bare.push_back(timer.nsecsElapsed() / 1e6);
        db.ConnClose();
    }
    const double s = median(screen);
    const double b = median(bare);
    std::printf(
        "%-9s issuer screen %7.1f ms | bare queries %7.1f ms | ratio %.2f  (medians of %d, %d "
        "issuers)\n",
        backend, s, b, s / b, kRuns, kIssuers);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    quorvane::SetCurrentUser({QStringLiteral("BENCH"), QString(), true, false, false});
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("bench.db"));
    QFile(file).open(QIODevice::WriteOnly);
    {
        Database sqlite(ConnectionTarget::Sqlite(file), QStringLiteral("sqlite"));
        fill(sqlite);
        measure("sqlite", sqlite, QStringLiteral("sqlite"));
    }
    const QString conninfo = qEnvironmentVariable("QUORVANE_BENCH_PG");
    if (!conninfo.isEmpty()) {
        Database postgres(ConnectionTarget::Postgres(conninfo), QStringLiteral("postgres"));
        fill(postgres);
        measure("postgres", postgres, QStringLiteral("postgres"));
    }
    return 0;
}
