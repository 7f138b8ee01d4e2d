#include "db/TableReader.h"

#include "core/Failure.h"
#include "support/TestDatabase.h"

#include <QSqlRecord>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

namespace quorvane {
namespace {

using test::Backend;
using test::ScratchDatabase;

// A scratch database with a table of five rows, on each backend.
class TableReaderTest : public testing::TestWithParam<Backend> {
protected:
    void SetUp() override {
        scratch_ = std::make_unique<ScratchDatabase>(GetParam());
        db_ = scratch_->connect();
        db_->ConnExecute(u"CREATE TABLE Item (Id INTEGER PRIMARY KEY, Name VARCHAR(20))"_s);
        for (int id = 1; id <= 5; ++id) {
            db_->ConnExecute(Statement(u"INSERT INTO Item (Id, Name) VALUES (?, ?)"_s,
                                       {id, u"項目%1"_s.arg(id)}));
        }
    }

    // Reads the first column of every row; the rows read before a failure stay in `read`.
    void readIds(const Statement& statement, QStringList& read) {
        TableReader rows(*db_, statement);
        EXPECT_EQ(db_->openUnits(), 1);
        while (rows.next()) {
            read << rows.value(0).toString();
        }
    }

    // Statements whose fourth row cannot be computed, so the read fails after three rows.
    std::vector<QString> failingInTheFourthRow() const {
        if (GetParam() == Backend::Sqlite) {
            return {
                // abs() of the smallest 64-bit integer overflows.
                u"SELECT Id, CASE WHEN Id < 4 THEN Id ELSE abs(-9223372036854775807 - 1) END "
                u"FROM Item ORDER BY Id"_s,
                u"SELECT Id, CASE WHEN Id < 4 THEN Name ELSE json('{not json') END "
                u"FROM Item ORDER BY Id"_s,
            };
        }
        return {
            u"SELECT Id, 10 / (4 - Id) FROM Item ORDER BY Id"_s,
            u"SELECT Id, CAST(CASE WHEN Id < 4 THEN '1' ELSE Name END AS INTEGER) "
            u"FROM Item ORDER BY Id"_s,
        };
    }

    std::unique_ptr<ScratchDatabase> scratch_;
    std::unique_ptr<Database> db_;
};

TEST_P(TableReaderTest, ReadsEveryRowWithTheColumnNamesAndReleasesTheConnection) {
    {
        TableReader rows(*db_, Statement(u"SELECT Id AS \"編號\", Name AS \"名稱\" FROM Item "
                                         u"WHERE Id >= ? ORDER BY Id"_s,
                                         {2}));
        ASSERT_EQ(rows.columnCount(), 2);
        EXPECT_EQ(rows.columns().fieldName(0), u"編號"_s);
        EXPECT_EQ(rows.columns().fieldName(1), u"名稱"_s);
        QStringList names;
        while (rows.next()) {
            names << rows.value(1).toString();
        }
        EXPECT_EQ(names, (QStringList{u"項目2"_s, u"項目3"_s, u"項目4"_s, u"項目5"_s}));
        EXPECT_FALSE(rows.next());
    }
    EXPECT_EQ(db_->openUnits(), 0);

    // No rows: the columns are still known.
    TableReader none(*db_, u"SELECT Id, Name FROM Item WHERE Id > 99"_s);
    EXPECT_EQ(none.columnCount(), 2);
    EXPECT_FALSE(none.next());
}

TEST_P(TableReaderTest, AReadErrorPartWayIsAFailureAfterTheRowsBeforeIt) {
    for (const QString& sql : failingInTheFourthRow()) {
        SCOPED_TRACE(sql.toStdString());
        QStringList read;
        try {
            readIds(sql, read);
            ADD_FAILURE() << "the read ended without a failure after " << read.size() << " rows";
        } catch (const DatabaseFailure& failure) {
            EXPECT_FALSE(failure.description().isEmpty());
            EXPECT_TRUE(failure.source().contains(sql)) << failure.source().toStdString();
        }
        EXPECT_EQ(read, (QStringList{u"1"_s, u"2"_s, u"3"_s}));
        EXPECT_EQ(db_->openUnits(), 0);
        // The connection goes on serving.
        EXPECT_EQ(db_->LookupLong(u"SELECT COUNT(*) FROM Item"_s), 5);
    }
}

TEST_P(TableReaderTest, AQueryThatCannotRunIsAFailureAndHoldsNoConnection) {
    QStringList read;
    EXPECT_THROW(readIds(u"SELECT Id FROM NoSuchTable"_s, read), DatabaseFailure);
    EXPECT_TRUE(read.isEmpty());
    EXPECT_EQ(db_->openUnits(), 0);
}

QUORVANE_INSTANTIATE_BACKENDS(TableReaderTest);

}  // namespace
}  // namespace quorvane
