#pragma once

#include "db/ConnectionTarget.h"
#include "db/Database.h"

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

// Lets GoogleTest print QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace quorvane::test {

enum class Backend { Sqlite, Postgres };

std::string BackendName(const testing::TestParamInfo<Backend>& info);

// A fresh, empty database of one backend, removed again when the object goes. PostgreSQL
// databases are made on the throwaway cluster whose socket folder ./test.sh exports as
// QUORVANE_TEST_PGHOST; without it the test fails (it never skips).
class ScratchDatabase {
public:
    explicit ScratchDatabase(Backend backend);
    ~ScratchDatabase();
    ScratchDatabase(const ScratchDatabase&) = delete;
    ScratchDatabase& operator=(const ScratchDatabase&) = delete;

    Backend backend() const { return backend_; }
    const ConnectionTarget& target() const { return target_; }
    // The server host text that start-up would read from the settings store for this database.
    QString serverHost() const;

    // A new connection of its own (a second workstation, say).
    std::unique_ptr<Database> connect();

private:
    Backend backend_;
    QTemporaryDir folder_;
    QString postgresName_;
    ConnectionTarget target_;
};

// The schema's database with the schema installed, on each backend in turn.
class BackendTest : public testing::TestWithParam<Backend> {
protected:
    void SetUp() override;
    void TearDown() override;

    Database& db() { return *db_; }
    ScratchDatabase& scratch() { return *scratch_; }

private:
    std::unique_ptr<ScratchDatabase> scratch_;
    std::unique_ptr<Database> db_;
};

// A connection name no other connection of this process uses.
QString UniqueConnectionName();

// Builds in an empty database the schema as the first release installed it (version 1, from
// that release's scripts kept beside this file in schema-v1/), with its installation data and
// its version record: the database an upgrade starts from.
void InstallSchemaVersion1(Database& db);

// Brings a database of version 1 (as built above) to version 2 with the released upgrade
// script alone (src/db/schema/upgrade-2.*.sql), recording that version: the database a
// version-3 upgrade starts from.
void UpgradeToSchemaVersion2(Database& db);

}  // namespace quorvane::test

#define QUORVANE_INSTANTIATE_BACKENDS(Fixture)                                                   \
    INSTANTIATE_TEST_SUITE_P(                                                                    \
        Backends, Fixture,                                                                       \
        testing::Values(::quorvane::test::Backend::Sqlite, ::quorvane::test::Backend::Postgres), \
        ::quorvane::test::BackendName)
