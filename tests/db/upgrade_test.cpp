#include "core/Failure.h"
#include "core/Password.h"
#include "db/Database.h"
#include "db/SchemaInstaller.h"
#include "support/Fixtures.h"
#include "support/TestDatabase.h"

#include <QSqlQuery>
#include <QSqlRecord>

#include <gtest/gtest.h>

#include <memory>

namespace quorvane {
namespace {

using test::Backend;
using test::ScratchDatabase;

// Column names of a table or view, lower-cased (PostgreSQL folds unquoted names).
QStringList columnsOf(Database& db, const QString& object) {
    UnitOfWork unit(db);
    const QSqlQuery query =
        db.Query(Statement(QStringLiteral("SELECT * FROM %1 WHERE 1 = 0").arg(object)));
    QStringList names;
    for (int i = 0; i < query.record().count(); ++i) {
        names.append(query.record().fieldName(i).toLower());
    }
    return names;
}

QStringList namesFrom(Database& db, const QString& sql) {
    UnitOfWork unit(db);
    QSqlQuery query = db.Query(Statement(sql));
    QStringList names;
    while (query.next()) {
        names.append(query.value(0).toString());
    }
    return names;
}

// The tables and views of the database, lower-cased and sorted.
QStringList relationsOf(Database& db) {
    return namesFrom(db,
                     db.dialect().isSqlite()
                         ? QStringLiteral("SELECT lower(name) FROM sqlite_master "
                                          "WHERE type IN ('table', 'view') "
                                          "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY 1")
                         : QStringLiteral("SELECT lower(table_name) FROM "
                                          "information_schema.tables WHERE table_schema = "
                                          "current_schema() ORDER BY 1"));
}

// The indexes made by name (not those of keys), lower-cased and sorted.
QStringList indexesOf(Database& db) {
    return namesFrom(db, db.dialect().isSqlite()
                             ? QStringLiteral("SELECT lower(name) FROM sqlite_master "
                                              "WHERE type = 'index' AND sql IS NOT NULL ORDER BY 1")
                             : QStringLiteral("SELECT lower(indexname) FROM pg_indexes "
                                              "WHERE schemaname = current_schema() AND "
                                              "(indexname LIKE 'ix\\_%' OR indexname LIKE "
                                              "'ux\\_%') ORDER BY 1"));
}

// Every row of the given columns of a table, sorted, as text.
QStringList contentOf(Database& db, const QString& table, const QStringList& columns) {
    QStringList positions;
    for (int i = 1; i <= columns.size(); ++i) {
        positions.append(QString::number(i));
    }
    UnitOfWork unit(db);
    QSqlQuery query = db.Query(Statement(
        QStringLiteral("SELECT %1 FROM %2 ORDER BY %3")
            .arg(columns.join(QLatin1Char(',')), table, positions.join(QLatin1Char(',')))));
    QStringList content;
    while (query.next()) {
        QStringList row;
        for (int i = 0; i < columns.size(); ++i) {
            const QVariant value = query.value(i);
            row.append(value.isNull() ? QStringLiteral("<NULL>") : value.toString());
        }
        content.append(row.join(QLatin1Char('|')));
    }
    return content;
}

QString failureText(const std::function<void()>& work) {
    try {
        work();
    } catch (const Failure& failure) {
        return failure.description();
    }
    return {};
}

const QStringList kSettingColumns = {QStringLiteral("Name"), QStringLiteral("Value"),
                                     QStringLiteral("IdUserModify"), QStringLiteral("TimeModify")};
const QStringList kLayoutColumns = {QStringLiteral("IdTemplate"), QStringLiteral("NameShape"),
                                    QStringLiteral("TextOrientation")};

// A database as the first release left it, holding a little of everything.
class UpgradeTest : public testing::TestWithParam<Backend> {
protected:
    void SetUp() override {
        scratch_ = std::make_unique<ScratchDatabase>(GetParam());
        db_ = scratch_->connect();
        test::InstallSchemaVersion1(db());
    }
    void TearDown() override {
        db_.reset();
        scratch_.reset();
    }
    Database& db() { return *db_; }

    void fill() {
        test::AddUser(db(), test::kAdmin, HashPassword(QStringLiteral("Secret12")));
        test::AddUser(db(), test::kClerk, EncodePassword(QStringLiteral("abc")));
        test::AddIssuer(db(), QStringLiteral("K1"), QStringLiteral("甲公司 O'Brien"));
        test::AddApplication(
            db(), test::Application(QStringLiteral("K1"), 1, 5000, test::Verdict::Approved));
        const QString sample = test::AddSample(db(), QStringLiteral("K1"), 1, 100);
        db().ConnExecute(Statement(QStringLiteral(
            "INSERT INTO ST_TicketTask (IdUser, NoTicketForm) VALUES ('CLERK', 'K1-001')")));
        test::PrintVouchers(db(), sample, 1000, 3);
    }

    // The upgraded database has exactly what a new one of this version has: the same tables,
    // views, columns and indexes, and the same settings. Returns the new database's text
    // directions of the layout rows.
    QStringList expectMatchesAFreshInstall() {
        ScratchDatabase freshScratch(GetParam());
        const std::unique_ptr<Database> fresh = freshScratch.connect();
        SchemaInstaller::Install(*fresh);
        const QStringList objects = relationsOf(*fresh);
        EXPECT_EQ(relationsOf(db()), objects);
        EXPECT_EQ(indexesOf(db()), indexesOf(*fresh));
        EXPECT_TRUE(indexesOf(db()).contains(QStringLiteral("ix_sys_loginfailure_iduser")));
        for (const QString& object : objects) {
            EXPECT_EQ(columnsOf(db(), object), columnsOf(*fresh, object)) << object.toStdString();
        }
        EXPECT_EQ(contentOf(db(), QStringLiteral("SYS_Setting"), kSettingColumns),
                  contentOf(*fresh, QStringLiteral("SYS_Setting"), kSettingColumns));
        EXPECT_EQ(contentOf(db(), QStringLiteral("SYS_Setting"), kSettingColumns),
                  QStringList{QStringLiteral("FaxTrustDepartment|待設定|<NULL>|<NULL>")});
        return contentOf(*fresh, QStringLiteral("ST_TicketPrintTemplate"), kLayoutColumns);
    }

    std::unique_ptr<ScratchDatabase> scratch_;
    std::unique_ptr<Database> db_;
};

TEST_P(UpgradeTest, FromVersionOneKeepsEveryRowAndMatchesAFreshInstall) {
    fill();
    ASSERT_EQ(SchemaInstaller::InstalledVersion(db()), 1);
    const QStringList tables = {QStringLiteral("BF_User"),
                                QStringLiteral("BF_Customer"),
                                QStringLiteral("OR_Account"),
                                QStringLiteral("OR_TicketForm"),
                                QStringLiteral("ST_TicketTask"),
                                QStringLiteral("OR_TicketPrint"),
                                QStringLiteral("ST_TicketPrintTemplate"),
                                QStringLiteral("VBA_MsoTextOrientation"),
                                QStringLiteral("v_BF_Customer"),
                                QStringLiteral("v_ST_TicketTask")};
    QHash<QString, QStringList> columnsBefore;
    QHash<QString, QStringList> before;
    for (const QString& table : tables) {
        columnsBefore[table] = columnsOf(db(), table);
        // The layout's text directions change (checked below); everything else stays.
        columnsBefore[table].removeAll(QStringLiteral("textorientation"));
        before[table] = contentOf(db(), table, columnsBefore[table]);
        ASSERT_FALSE(before[table].isEmpty()) << table.toStdString();
    }

    EXPECT_EQ(SchemaInstaller::Upgrade(db()), 1);
    EXPECT_EQ(db().transactionDepth(), 0);
    EXPECT_EQ(db().openUnits(), 0);

    EXPECT_EQ(SchemaInstaller::InstalledVersion(db()), SchemaInstaller::kSchemaVersion);
    EXPECT_EQ(contentOf(db(), QStringLiteral("SYS_SchemaVersion"), {QStringLiteral("Version")}),
              (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
    for (const QString& table : tables) {
        EXPECT_EQ(contentOf(db(), table, columnsBefore[table]), before[table])
            << table.toStdString();
    }
    // The accounts start unlocked, with no failures counted.
    EXPECT_EQ(
        contentOf(db(), QStringLiteral("BF_User"),
                  {QStringLiteral("IdUser"), QStringLiteral("LoginFailures"),
                   QStringLiteral("Locked"), QStringLiteral("TimeLocked")}),
        (QStringList{QStringLiteral("ADMIN|0|0|<NULL>"), QStringLiteral("CLERK|0|0|<NULL>")}));

    // Layout 0 untouched since installation now turns its text exactly as a new one does.
    EXPECT_EQ(contentOf(db(), QStringLiteral("ST_TicketPrintTemplate"), kLayoutColumns),
              expectMatchesAFreshInstall());

    // The new columns and table take rows, and their checks hold.
    db().ConnExecute(Statement(QStringLiteral("UPDATE BF_User SET LoginFailures = 5, Locked = 1, "
                                              "TimeLocked = ? WHERE IdUser = 'CLERK'"),
                               {db().GetServerTime()}));
    EXPECT_THROW(db().ConnExecute(Statement(
                     QStringLiteral("UPDATE BF_User SET Locked = 2 WHERE IdUser = 'ADMIN'"))),
                 DatabaseFailure);
    EXPECT_THROW(db().ConnExecute(Statement(QStringLiteral(
                     "UPDATE BF_User SET LoginFailures = -1 WHERE IdUser = 'ADMIN'"))),
                 DatabaseFailure);
    for (int i = 0; i < 2; ++i) {
        db().ConnExecute(Statement(
            QStringLiteral("INSERT INTO SYS_LoginFailure (TimeFailure, IdUserTyped) VALUES (?, ?)"),
            {db().GetServerTime(), QStringLiteral("clerk")}));
    }
    EXPECT_EQ(contentOf(db(), QStringLiteral("SYS_LoginFailure"),
                        {QStringLiteral("IdLoginFailure"), QStringLiteral("IdUserTyped")}),
              (QStringList{QStringLiteral("1|clerk"), QStringLiteral("2|clerk")}));
}

TEST_P(UpgradeTest, FromVersionTwoTurnsLayoutZeroUnlessChangedAndAddsTheFaxSetting) {
    test::UpgradeToSchemaVersion2(db());
    fill();
    db().ConnExecute(
        Statement(QStringLiteral("UPDATE BF_User SET LoginFailures = 2, Locked = 1 "
                                 "WHERE IdUser = 'CLERK'")));
    db().ConnExecute(Statement(
        QStringLiteral("INSERT INTO SYS_LoginFailure (TimeFailure, IdUserTyped) VALUES (?, ?)"),
        {db().GetServerTime(), QStringLiteral("clerk")}));
    // A user turned one box of layout 0 upwards, and made a second layout of their own.
    db().ConnExecute(
        Statement(QStringLiteral("UPDATE ST_TicketPrintTemplate SET TextOrientation = 2 "
                                 "WHERE IdTemplate = 0 AND NameShape = 'txtTicketCheck'")));
    db().ConnExecute(Statement(QStringLiteral(
        "INSERT INTO ST_TicketPrintTemplate (IdTemplate, NameShape, TextOrientation) "
        "VALUES (1, 'txtTicketTitle', 0)")));
    ASSERT_EQ(SchemaInstaller::InstalledVersion(db()), 2);

    const QStringList tables = {
        QStringLiteral("BF_User"),          QStringLiteral("BF_Customer"),
        QStringLiteral("OR_Account"),       QStringLiteral("OR_TicketForm"),
        QStringLiteral("ST_TicketTask"),    QStringLiteral("OR_TicketPrint"),
        QStringLiteral("SYS_LoginFailure"), QStringLiteral("v_BF_Customer")};
    QHash<QString, QStringList> before;
    for (const QString& table : tables) {
        before[table] = contentOf(db(), table, columnsOf(db(), table));
        ASSERT_FALSE(before[table].isEmpty()) << table.toStdString();
    }
    QStringList layoutColumns = columnsOf(db(), QStringLiteral("ST_TicketPrintTemplate"));
    layoutColumns.removeAll(QStringLiteral("textorientation"));
    const QStringList layoutBefore =
        contentOf(db(), QStringLiteral("ST_TicketPrintTemplate"), layoutColumns);

    EXPECT_EQ(SchemaInstaller::Upgrade(db()), 2);
    EXPECT_EQ(db().transactionDepth(), 0);
    EXPECT_EQ(contentOf(db(), QStringLiteral("SYS_SchemaVersion"), {QStringLiteral("Version")}),
              (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
    for (const QString& table : tables) {
        EXPECT_EQ(contentOf(db(), table, columnsOf(db(), table)), before[table])
            << table.toStdString();
    }
    EXPECT_EQ(contentOf(db(), QStringLiteral("ST_TicketPrintTemplate"), layoutColumns),
              layoutBefore);

    // Layout 0 turns as a new installation's does, but for the box the user changed; the
    // user's own layout keeps its direction.
    QStringList expected = expectMatchesAFreshInstall();
    ASSERT_EQ(expected.size(), 12);
    for (const QString& row : expected) {
        EXPECT_TRUE(row.startsWith(QStringLiteral("0|")) && row.endsWith(QStringLiteral("|3")))
            << row.toStdString();
    }
    expected.replace(expected.indexOf(QStringLiteral("0|txtTicketCheck|3")),
                     QStringLiteral("0|txtTicketCheck|2"));
    expected.append(QStringLiteral("1|txtTicketTitle|0"));
    EXPECT_EQ(contentOf(db(), QStringLiteral("ST_TicketPrintTemplate"), kLayoutColumns), expected);
}

TEST_P(UpgradeTest, ACurrentDatabaseIsLeftAsItIs) {
    fill();
    ASSERT_EQ(SchemaInstaller::Upgrade(db()), 1);
    const QStringList versions =
        contentOf(db(), QStringLiteral("SYS_SchemaVersion"),
                  {QStringLiteral("Version"), QStringLiteral("TimeInstalled")});
    EXPECT_EQ(SchemaInstaller::Upgrade(db()), SchemaInstaller::kSchemaVersion);
    EXPECT_EQ(contentOf(db(), QStringLiteral("SYS_SchemaVersion"),
                        {QStringLiteral("Version"), QStringLiteral("TimeInstalled")}),
              versions);
}

TEST_P(UpgradeTest, AFailedUpgradeChangesNothing) {
    fill();
    // Another program's table under the name of the new one: its creation fails, and the
    // whole upgrade with it, the columns already added included.
    db().ConnExecute(Statement(QStringLiteral("CREATE TABLE SYS_LoginFailure (x INTEGER)")));
    const QStringList users =
        contentOf(db(), QStringLiteral("BF_User"), columnsOf(db(), QStringLiteral("BF_User")));

    const QString text = failureText([&] { SchemaInstaller::Upgrade(db()); });
    EXPECT_TRUE(text.startsWith(QStringLiteral("資料庫結構更新失敗，未做任何變更：")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("SYS_LoginFailure"))) << text.toStdString();
    EXPECT_EQ(SchemaInstaller::InstalledVersion(db()), 1);
    EXPECT_FALSE(columnsOf(db(), QStringLiteral("BF_User")).contains(QStringLiteral("locked")));
    EXPECT_EQ(
        contentOf(db(), QStringLiteral("BF_User"), columnsOf(db(), QStringLiteral("BF_User"))),
        users);
    EXPECT_EQ(db().transactionDepth(), 0);

    db().ConnExecute(Statement(QStringLiteral("DROP TABLE SYS_LoginFailure")));
    EXPECT_EQ(SchemaInstaller::Upgrade(db()), 1) << "the same database upgrades once it can";
}

TEST_P(UpgradeTest, DatabasesWithoutAVersionOrOfANewerOneAreRefused) {
    db().ConnExecute(Statement(QStringLiteral("UPDATE SYS_SchemaVersion SET Version = 9")));
    QString text = failureText([&] { SchemaInstaller::Upgrade(db()); });
    EXPECT_TRUE(text.contains(
        QStringLiteral("版本 9 比本程式支援的版本 %1 新").arg(SchemaInstaller::kSchemaVersion)))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("未做任何變更"))) << text.toStdString();

    ScratchDatabase emptyScratch(GetParam());
    const std::unique_ptr<Database> empty = emptyScratch.connect();
    text = failureText([&] { SchemaInstaller::Upgrade(*empty); });
    EXPECT_TRUE(text.contains(QStringLiteral("quorvane-db init"))) << text.toStdString();
    EXPECT_FALSE(SchemaInstaller::HasTables(*empty));
}

QUORVANE_INSTANTIATE_BACKENDS(UpgradeTest);

}  // namespace
}  // namespace quorvane
