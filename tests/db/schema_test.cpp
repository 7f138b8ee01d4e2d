#include "core/Failure.h"
#include "db/Database.h"
#include "db/SchemaInstaller.h"
#include "db/ScriptSplitter.h"
#include "support/TestDatabase.h"

#include <QRectF>
#include <QSet>
#include <QSqlRecord>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace quorvane {
namespace {

using test::Backend;
using test::BackendTest;
using test::ScratchDatabase;

QList<QVariantList> rows(Database& db, const QString& sql, const QVariantList& binds = {}) {
    UnitOfWork unit(db);
    QSqlQuery query = db.Query(Statement(sql, binds));
    QList<QVariantList> result;
    while (query.next()) {
        QVariantList row;
        for (int i = 0; i < query.record().count(); ++i) {
            row.append(query.value(i));
        }
        result.append(row);
    }
    return result;
}

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

QSet<QString> objectsOf(Database& db) {
    const QString sql = db.dialect().isSqlite()
                            ? QStringLiteral(
                                  "SELECT name FROM sqlite_master WHERE type IN ('table', 'view') "
                                  "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\'")
                            : QStringLiteral(
                                  "SELECT table_name FROM information_schema.tables "
                                  "WHERE table_schema = current_schema()");
    QSet<QString> names;
    for (const QVariantList& row : rows(db, sql)) {
        names.insert(row.front().toString().toLower());
    }
    return names;
}

QString failureText(const std::function<void()>& work) {
    try {
        work();
    } catch (const Failure& failure) {
        return failure.description();
    }
    return {};
}

// ---- Script splitting -------------------------------------------------------------------

struct SplitCase {
    const char* name;
    const char* script;
    std::vector<const char*> expected;
};

TEST(ScriptSplitterTest, SplitsOnlyAtStatementEndingSemicolons) {
    const SplitCase cases[] = {
        {"plain",
         "CREATE TABLE a (x INT);\nCREATE TABLE b (y INT);",
         {"CREATE TABLE a (x INT)", "CREATE TABLE b (y INT)"}},
        {"last statement without semicolon", "SELECT 1; SELECT 2", {"SELECT 1", "SELECT 2"}},
        {"empty statements and whitespace", " ;;\n SELECT 1 ;\n\n", {"SELECT 1"}},
        {"semicolon and quotes in a string",
         "INSERT INTO t VALUES ('a;b', 'it''s; ok');",
         {"INSERT INTO t VALUES ('a;b', 'it''s; ok')"}},
        {"semicolon in a quoted identifier", "SELECT 1 AS \"a;b\";", {"SELECT 1 AS \"a;b\""}},
        {"line comments dropped",
         "-- head; comment\nSELECT 1; -- tail; comment\n-- only\n",
         {"SELECT 1"}},
        {"comment marker inside a string kept", "SELECT '--x;' AS c;", {"SELECT '--x;' AS c"}},
        {"nested block comment", "SELECT /* a; /* b; */ c; */ 1;", {"SELECT   1"}},
        {"dollar body",
         "CREATE FUNCTION f() RETURNS int AS $$ SELECT 1; $$ LANGUAGE sql; SELECT 2",
         {"CREATE FUNCTION f() RETURNS int AS $$ SELECT 1; $$ LANGUAGE sql", "SELECT 2"}},
        {"tagged dollar body holding $$",
         "DO $x$ BEGIN PERFORM '$$;'; END $x$; SELECT 3",
         {"DO $x$ BEGIN PERFORM '$$;'; END $x$", "SELECT 3"}},
        {"positional parameter is no tag", "SELECT $1; SELECT $2", {"SELECT $1", "SELECT $2"}},
        {"Chinese text",
         "INSERT INTO t VALUES ('票卷標題；一');",
         {"INSERT INTO t VALUES ('票卷標題；一')"}},
    };
    for (const SplitCase& c : cases) {
        QStringList expected;
        for (const char* statement : c.expected) {
            expected.append(QString::fromUtf8(statement));
        }
        EXPECT_EQ(SplitSqlScript(QString::fromUtf8(c.script)), expected) << c.name;
    }
}

TEST(ScriptSplitterTest, RefusesUnterminatedPieces) {
    const char* const scripts[] = {
        "SELECT 'open;",
        "SELECT \"open;",
        "SELECT 1 /* open;",
        "CREATE FUNCTION f() AS $$ SELECT 1;",
    };
    for (const char* script : scripts) {
        EXPECT_THROW(SplitSqlScript(QString::fromUtf8(script)), Failure) << script;
    }
}

// ---- The installed schema ---------------------------------------------------------------

class SchemaTest : public BackendTest {
protected:
    void exec(const QString& sql, const QVariantList& binds = {}) {
        db().ConnExecute(Statement(sql, binds));
    }
    qint64 count(const QString& table) {
        return db().LookupInt64(Statement(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)));
    }

    void addIssuer(const QString& contract) {
        exec(QStringLiteral("INSERT INTO BF_Customer (NoContract, NameCompany, NoVAT) "
                            "VALUES (?, ?, ?)"),
             {contract, QStringLiteral("發行業者 ") + contract, QStringLiteral("12345678")});
    }
    // verdict: NULL not reviewed, 1 approved, 0 returned.
    void addApplication(const QString& contract, int item, qint32 amount, const QVariant& verdict,
                        int active = 1) {
        exec(QStringLiteral("INSERT INTO OR_Account (NoAccount, NoContract, NoItem, Amount, "
                            "VerifyApprove, Active) VALUES (?, ?, ?, ?, ?, ?)"),
             {QStringLiteral("%1-%2").arg(contract).arg(item, 2, 10, QLatin1Char('0')), contract,
              item, amount, verdict, active});
    }
    QString addSample(const QString& contract, int item, qint32 faceValue) {
        const QString number =
            QStringLiteral("%1-%2").arg(contract).arg(item, 3, 10, QLatin1Char('0'));
        exec(QStringLiteral("INSERT INTO OR_TicketForm (NoTicketForm, NoContract, NoItem, "
                            "AmountTicket, VerifyApprove, Active) VALUES (?, ?, ?, ?, 1, 1)"),
             {number, contract, item, faceValue});
        return number;
    }
    // Vouchers with serials first .. first + n - 1; check codes follow from the serials.
    void addVouchers(const QString& sample, qint64 first, int n, int active = 1) {
        Transaction transaction(db());
        for (int i = 0; i < n; ++i) {
            const qint64 serial = first + i;
            exec(QStringLiteral("INSERT INTO OR_TicketPrint (NoTicket, NoTicketForm, NoItem, "
                                "NoTicketCheck, Active) VALUES (?, ?, ?, ?, ?)"),
                 {serial, sample, i + 1, serial * 7 + 1000000000000LL, active});
        }
        transaction.commit();
    }

    struct Balance {
        QVariant approve, printed, remain;
    };
    Balance balance(const QString& contract) {
        const QList<QVariantList> found =
            rows(db(),
                 QStringLiteral("SELECT AmountApprove, AmountTicketPrint, AmountRemain "
                                "FROM v_BF_Customer_ApproveAmount_TicketPrint "
                                "WHERE NoContract = ?"),
                 {contract});
        EXPECT_EQ(found.size(), 1) << contract.toStdString();
        return found.isEmpty() ? Balance{} : Balance{found[0][0], found[0][1], found[0][2]};
    }
};

TEST_P(SchemaTest, BalanceViewTakesNewestApprovalAndLiveVouchers) {
    addIssuer(QStringLiteral("K1"));
    addApplication(QStringLiteral("K1"), 1, 500000, 1);
    addApplication(QStringLiteral("K1"), 2, 300000, 1);
    // Newer applications that are not in force: not reviewed, returned, inactive.
    addApplication(QStringLiteral("K1"), 3, 900000, QVariant(QMetaType::fromType<int>()));
    addApplication(QStringLiteral("K1"), 4, 700000, 0);
    addApplication(QStringLiteral("K1"), 5, 600000, 1, 0);
    const QString sample = addSample(QStringLiteral("K1"), 1, 1000);
    addVouchers(sample, 1, 200);
    addVouchers(sample, 201, 5, 0);  // nullified

    addIssuer(QStringLiteral("E1"));  // nothing at all

    addIssuer(QStringLiteral("P1"));  // vouchers but no quota in force
    addApplication(QStringLiteral("P1"), 1, 50000, QVariant(QMetaType::fromType<int>()));
    addVouchers(addSample(QStringLiteral("P1"), 1, 1000), 1001, 2);

    const Balance k1 = balance(QStringLiteral("K1"));
    EXPECT_EQ(k1.approve.toLongLong(), 300000);
    EXPECT_EQ(k1.printed.toLongLong(), 200000);
    EXPECT_EQ(k1.remain.toLongLong(), 100000);

    const Balance e1 = balance(QStringLiteral("E1"));
    EXPECT_TRUE(e1.approve.isNull());
    EXPECT_TRUE(e1.printed.isNull());
    EXPECT_TRUE(e1.remain.isNull());

    const Balance p1 = balance(QStringLiteral("P1"));
    EXPECT_TRUE(p1.approve.isNull());
    EXPECT_EQ(p1.printed.toLongLong(), 2000);
    EXPECT_EQ(p1.remain.toLongLong(), -2000);

    EXPECT_EQ(count(QStringLiteral("v_BF_Customer_ApproveAmount_TicketPrint")), 3);
    // The issuer report carries the same balance.
    EXPECT_EQ(db().LookupInt64(Statement(
                  QStringLiteral("SELECT AmountRemain FROM v_BF_Customer WHERE NoContract = ?"),
                  {QStringLiteral("K1")})),
              100000);
}

TEST_P(SchemaTest, BalanceSumsDoNotOverflow32Bits) {
    addIssuer(QStringLiteral("B1"));
    addApplication(QStringLiteral("B1"), 1, 2000000000, 1);
    addVouchers(addSample(QStringLiteral("B1"), 1, 1000000), 1, 2200);

    const Balance b1 = balance(QStringLiteral("B1"));
    EXPECT_EQ(b1.printed.toLongLong(), 2200000000LL);
    EXPECT_EQ(b1.remain.toLongLong(), -200000000LL);
    EXPECT_EQ(
        db().LookupInt64(Statement(
            QStringLiteral("SELECT AmountTicketPrint FROM v_BF_Customer WHERE NoContract = ?"),
            {QStringLiteral("B1")})),
        2200000000LL);
}

TEST_P(SchemaTest, DeletingAnIssuerTakesItsApplicationsButNotItsSamples) {
    addIssuer(QStringLiteral("C1"));
    addApplication(QStringLiteral("C1"), 1, 1000, 1);
    addApplication(QStringLiteral("C1"), 2, 2000, QVariant(QMetaType::fromType<int>()));
    addIssuer(QStringLiteral("C2"));
    addApplication(QStringLiteral("C2"), 1, 1000, 1);
    const QString sample = addSample(QStringLiteral("C2"), 1, 100);
    addVouchers(sample, 1, 1);

    exec(QStringLiteral("DELETE FROM BF_Customer WHERE NoContract = ?"), {QStringLiteral("C1")});
    EXPECT_EQ(db().LookupInt64(
                  Statement(QStringLiteral("SELECT COUNT(*) FROM OR_Account WHERE NoContract = ?"),
                            {QStringLiteral("C1")})),
              0);

    EXPECT_THROW(exec(QStringLiteral("DELETE FROM BF_Customer WHERE NoContract = ?"),
                      {QStringLiteral("C2")}),
                 DatabaseFailure);
    EXPECT_THROW(exec(QStringLiteral("DELETE FROM OR_TicketForm WHERE NoTicketForm = ?"), {sample}),
                 DatabaseFailure);
    EXPECT_EQ(count(QStringLiteral("BF_Customer")), 1);
    EXPECT_EQ(count(QStringLiteral("OR_Account")), 1);
    EXPECT_EQ(count(QStringLiteral("OR_TicketForm")), 1);
}

struct RefusedWrite {
    const char* name;
    const char* table;
    const char* sql;
    QVariantList binds;
};

TEST_P(SchemaTest, KeysAndConstraintsRefuseBadRows) {
    addIssuer(QStringLiteral("K1"));
    addApplication(QStringLiteral("K1"), 1, 1000, 1);
    const QString sample = addSample(QStringLiteral("K1"), 1, 100);
    exec(QStringLiteral("INSERT INTO OR_TicketPrint (NoTicket, NoTicketForm, NoTicketCheck) "
                        "VALUES (1, ?, 111)"),
         {sample});
    exec(QStringLiteral("INSERT INTO BF_User (IdUser) VALUES ('ADMIN')"));

    const RefusedWrite cases[] = {
        {"duplicate contract",
         "BF_Customer",
         "INSERT INTO BF_Customer (NoContract) VALUES (?)",
         {QStringLiteral("K1")}},
        {"duplicate user",
         "BF_User",
         "INSERT INTO BF_User (IdUser) VALUES (?)",
         {QStringLiteral("ADMIN")}},
        {"user id differing only in case",
         "BF_User",
         "INSERT INTO BF_User (IdUser) VALUES (?)",
         {QStringLiteral("Admin")}},
        {"duplicate serial",
         "OR_TicketPrint",
         "INSERT INTO OR_TicketPrint (NoTicket, NoTicketForm, NoTicketCheck) VALUES (?, ?, ?)",
         {1, sample, 222}},
        {"duplicate check code",
         "OR_TicketPrint",
         "INSERT INTO OR_TicketPrint (NoTicket, NoTicketForm, NoTicketCheck) VALUES (?, ?, ?)",
         {2, sample, 111}},
        {"check code over 13 digits",
         "OR_TicketPrint",
         "INSERT INTO OR_TicketPrint (NoTicket, NoTicketForm, NoTicketCheck) VALUES (?, ?, ?)",
         {3, sample, 10000000000000LL}},
        {"voucher of an unknown sample",
         "OR_TicketPrint",
         "INSERT INTO OR_TicketPrint (NoTicket, NoTicketForm, NoTicketCheck) VALUES (?, ?, ?)",
         {4, QStringLiteral("Z9-001"), 444}},
        {"duplicate application item",
         "OR_Account",
         "INSERT INTO OR_Account (NoAccount, NoContract, NoItem) VALUES (?, ?, ?)",
         {QStringLiteral("K1-01B"), QStringLiteral("K1"), 1}},
        {"application of an unknown issuer",
         "OR_Account",
         "INSERT INTO OR_Account (NoAccount, NoContract, NoItem) VALUES (?, ?, ?)",
         {QStringLiteral("Z9-01"), QStringLiteral("Z9"), 1}},
        {"duplicate sample item",
         "OR_TicketForm",
         "INSERT INTO OR_TicketForm (NoTicketForm, NoContract, NoItem) VALUES (?, ?, ?)",
         {QStringLiteral("K1-001B"), QStringLiteral("K1"), 1}},
        {"sample of an unknown issuer",
         "OR_TicketForm",
         "INSERT INTO OR_TicketForm (NoTicketForm, NoContract, NoItem) VALUES (?, ?, ?)",
         {QStringLiteral("Z9-001"), QStringLiteral("Z9"), 1}},
        {"bit column out of range",
         "OR_Account",
         "INSERT INTO OR_Account (NoAccount, NoContract, NoItem, VerifyApprove) "
         "VALUES (?, ?, ?, ?)",
         {QStringLiteral("K1-02"), QStringLiteral("K1"), 2, 2}},
    };
    for (const RefusedWrite& c : cases) {
        const QString table = QString::fromUtf8(c.table);
        const qint64 before = count(table);
        EXPECT_THROW(exec(QString::fromUtf8(c.sql), c.binds), DatabaseFailure) << c.name;
        EXPECT_EQ(count(table), before) << c.name;
    }
}

TEST_P(SchemaTest, TextColumnsHoldTheLongestTypedValues) {
    struct Width {
        const char* table;
        const char* key;
        const char* column;
        int width;
    };
    addIssuer(QStringLiteral("K1"));
    addApplication(QStringLiteral("K1"), 1, 1000, 1);
    addSample(QStringLiteral("K1"), 1, 100);
    exec(QStringLiteral("INSERT INTO BF_User (IdUser) VALUES ('ADMIN')"));
    const Width widths[] = {
        {"BF_Customer", "NoContract", "NameCompany", 16},
        {"BF_Customer", "NoContract", "NameCEO", 4},
        {"BF_Customer", "NoContract", "TelCompany", 35},
        {"BF_Customer", "NoContract", "AddressCompany", 30},
        {"BF_Customer", "NoContract", "TelContact", 20},
        {"BF_Customer", "NoContract", "AddressEmail", 30},
        {"BF_Customer", "NoContract", "Note", 50},
        {"BF_Customer", "NoContract", "AddressWeb", 30},
        {"BF_User", "IdUser", "PWD", 255},
        {"BF_User", "IdUser", "NameUser", 4},
        {"BF_User", "IdUser", "Note", 30},
        {"OR_Account", "NoContract", "NoteHandling", 30},
        {"OR_TicketForm", "NoContract", "TitleTicket", 30},
        {"OR_TicketForm", "NoContract", "NameTicket", 16},
        {"OR_TicketForm", "NoContract", "NoteHandling", 50},
        {"OR_TicketForm", "NoContract", "NoteTicket", 2000},
        {"OR_TicketForm", "NoContract", "DateBeginning", 10},
    };
    for (const Width& w : widths) {
        const QString value(w.width, QChar(0x7968));  // 票
        const QString table = QString::fromUtf8(w.table);
        const QString column = QString::fromUtf8(w.column);
        const QString keyColumn = QString::fromUtf8(w.key);
        const QString key =
            keyColumn == QStringLiteral("IdUser") ? QStringLiteral("ADMIN") : QStringLiteral("K1");
        exec(QStringLiteral("UPDATE %1 SET %2 = ? WHERE %3 = ?").arg(table, column, keyColumn),
             {value, key});
        EXPECT_EQ(
            db().LookupText(Statement(
                QStringLiteral("SELECT %2 FROM %1 WHERE %3 = ?").arg(table, column, keyColumn),
                {key})),
            value)
            << w.table << "." << w.column;
    }
    // The longest numbers: a 12-character contract with its hundredth application.
    const QString contract(12, QLatin1Char('Z'));
    addIssuer(contract);
    addApplication(contract, 100, 1, 1);
    EXPECT_EQ(
        db().LookupText(Statement(
            QStringLiteral("SELECT NoAccount FROM OR_Account WHERE NoContract = ?"), {contract})),
        contract + QStringLiteral("-100"));
}

TEST_P(SchemaTest, TimesKeepMillisecondsAndTasksAreNumberedByTheServer) {
    const QDateTime time(QDate(2024, 5, 6), QTime(7, 8, 9, 123));
    exec(QStringLiteral("INSERT INTO BF_User (IdUser, TimeAddNew) VALUES ('A', ?)"), {time});
    EXPECT_EQ(db().LookupDate(Statement(QStringLiteral("SELECT TimeAddNew FROM BF_User"))), time);

    addIssuer(QStringLiteral("K1"));
    const QString sample = addSample(QStringLiteral("K1"), 1, 100);
    for (int i = 0; i < 3; ++i) {
        exec(QStringLiteral("INSERT INTO ST_TicketTask (IdUser, NoTicketForm, TimeTaskStart) "
                            "VALUES ('A', ?, ?)"),
             {sample, time});
    }
    const QList<QVariantList> tasks =
        rows(db(), QStringLiteral("SELECT IdTicketTask, NoContract, NameCompany, TaskPrint, "
                                  "TaskNullify, TaskComplete FROM v_ST_TicketTask"));
    ASSERT_EQ(tasks.size(), 3);
    for (int i = 1; i < tasks.size(); ++i) {
        EXPECT_GT(tasks[i][0].toLongLong(), tasks[i - 1][0].toLongLong());
    }
    EXPECT_EQ(tasks[0][1].toString(), QStringLiteral("K1"));
    EXPECT_EQ(tasks[0][2].toString(), QStringLiteral("發行業者 K1"));
    EXPECT_EQ(tasks[0][3].toInt(), 1);
    EXPECT_EQ(tasks[0][4].toInt(), 0);
    EXPECT_TRUE(tasks[0][5].isNull());

    exec(QStringLiteral("INSERT INTO OR_TicketPrint (NoTicket, NoTicketForm, NoTicketCheck, "
                        "IdTicketTask) VALUES (1, ?, 1, ?)"),
         {sample, tasks[0][0]});
    EXPECT_THROW(exec(QStringLiteral("INSERT INTO OR_TicketPrint (NoTicket, NoTicketForm, "
                                     "NoTicketCheck, IdTicketTask) VALUES (2, ?, 2, ?)"),
                      {sample, tasks[2][0].toLongLong() + 1000}),
                 DatabaseFailure);
}

TEST_P(SchemaTest, ExistenceQueriesFindVouchersBySerialAndCheckCode) {
    addIssuer(QStringLiteral("K1"));
    const QString sample = addSample(QStringLiteral("K1"), 1, 100);
    exec(QStringLiteral("INSERT INTO OR_TicketPrint (NoTicket, NoTicketForm, NoTicketCheck) "
                        "VALUES (?, ?, ?)"),
         {qint64(9999999999LL), sample, qint64(9876543210123LL)});

    const Dialect& dialect = db().dialect();
    EXPECT_EQ(db().LookupText(Statement(dialect.isExistNoTicket(), {qint64(9999999999LL)})),
              sample);
    EXPECT_FALSE(db().HasRows(Statement(dialect.isExistNoTicket(), {qint64(1)})));
    EXPECT_TRUE(db().HasRows(Statement(dialect.isExistNoTicketCheck(), {qint64(9876543210123LL)})));
    EXPECT_FALSE(
        db().HasRows(Statement(dialect.isExistNoTicketCheck(), {qint64(9876543210124LL)})));
}

TEST_P(SchemaTest, LayoutZeroHasTwelveLegibleBoxesInsideTheVoucher) {
    const QStringList names{QStringLiteral("txtTicketTitle"), QStringLiteral("txtAddressWeb"),
                            QStringLiteral("txtTicketName"),  QStringLiteral("txtTicketAmount"),
                            QStringLiteral("txtNameCompany"), QStringLiteral("txtNoVAT"),
                            QStringLiteral("txtNameCEO"),     QStringLiteral("txtAddressCompany"),
                            QStringLiteral("txtTelCompany"),  QStringLiteral("txtTicketNote"),
                            QStringLiteral("txtTicketDate"),  QStringLiteral("txtTicketCheck")};
    const QSet<QString> kaiFaced{QStringLiteral("txtTicketTitle"), QStringLiteral("txtTicketName"),
                                 QStringLiteral("txtTicketAmount")};
    const QList<QVariantList> layout =
        rows(db(), QStringLiteral("SELECT NameShape, DescriptionShape, ShapeLeft, ShapeTop, "
                                  "ShapeWidth, ShapeHeight, TextOrientation, "
                                  "ParagraphLineSpacing, FontName, FontSize "
                                  "FROM ST_TicketPrintTemplate WHERE IdTemplate = 0 "
                                  "ORDER BY OrderShape"));
    QStringList found;
    QList<QRectF> boxes;
    const QRectF voucher(0, 0, 180, 70);
    for (const QVariantList& row : layout) {
        const QString name = row[0].toString();
        found.append(name);
        EXPECT_FALSE(row[1].toString().isEmpty()) << name.toStdString();
        const QRectF box(row[2].toDouble(), row[3].toDouble(), row[4].toDouble(),
                         row[5].toDouble());
        EXPECT_TRUE(box.isValid() && voucher.contains(box)) << name.toStdString();
        for (const QRectF& other : boxes) {
            EXPECT_FALSE(box.intersects(other)) << name.toStdString();
        }
        boxes.append(box);
        // Printed turned a quarter turn clockwise onto the portrait page, the text turns with
        // the voucher.
        EXPECT_EQ(row[6].toInt(), 3) << name.toStdString();
        const int size = row[9].toInt();
        EXPECT_GE(size, 8) << name.toStdString();
        EXPECT_LE(size, 26) << name.toStdString();
        EXPECT_GT(row[7].toInt(), size) << name.toStdString();
        // A box must hold at least one line at its line spacing (1 pt = 25.4 / 72 mm).
        EXPECT_GE(box.height(), row[7].toInt() * 25.4 / 72) << name.toStdString();
        EXPECT_EQ(row[8].toString(),
                  kaiFaced.contains(name) ? QStringLiteral("標楷體") : QStringLiteral("新細明體"))
            << name.toStdString();
    }
    EXPECT_EQ(found, names);  // also: ordered 1..12 as listed
}

TEST_P(SchemaTest, TextDirectionsStartWithHorizontal) {
    const QList<QVariantList> directions =
        rows(db(), QStringLiteral("SELECT Value, NameDisplay FROM VBA_MsoTextOrientation "
                                  "ORDER BY OrderDisplay"));
    ASSERT_GE(directions.size(), 2);
    EXPECT_EQ(directions[0][0].toInt(), 0);
    EXPECT_EQ(directions[0][1].toString(), QStringLiteral("水平"));
}

TEST_P(SchemaTest, SecondInstallIsRefusedAndForceRebuilds) {
    addIssuer(QStringLiteral("K1"));
    addApplication(QStringLiteral("K1"), 1, 1000, 1);
    const QString sample = addSample(QStringLiteral("K1"), 1, 100);
    exec(QStringLiteral("INSERT INTO ST_TicketTask (IdUser) VALUES ('A')"));
    addVouchers(sample, 1, 3);

    const QString refusal = failureText([&] { SchemaInstaller::Install(db()); });
    EXPECT_TRUE(refusal.contains(QStringLiteral("未做任何變更"))) << refusal.toStdString();
    EXPECT_TRUE(refusal.contains(QStringLiteral("--force"))) << refusal.toStdString();
    EXPECT_TRUE(refusal.contains(db().target().describe())) << refusal.toStdString();
    EXPECT_EQ(count(QStringLiteral("OR_TicketPrint")), 3);

    SchemaInstaller::Install(db(), true);
    EXPECT_EQ(count(QStringLiteral("BF_Customer")), 0);
    EXPECT_EQ(count(QStringLiteral("OR_TicketPrint")), 0);
    EXPECT_EQ(count(QStringLiteral("ST_TicketPrintTemplate")), 12);
    EXPECT_EQ(SchemaInstaller::InstalledVersion(db()), SchemaInstaller::kSchemaVersion);
    EXPECT_EQ(db().openUnits(), 0);
    EXPECT_EQ(db().transactionDepth(), 0);
}

QUORVANE_INSTANTIATE_BACKENDS(SchemaTest);

// ---- Installing into a fresh database ---------------------------------------------------

class FreshDatabaseTest : public testing::TestWithParam<Backend> {
protected:
    void SetUp() override {
        scratch_ = std::make_unique<ScratchDatabase>(GetParam());
        db_ = scratch_->connect();
    }
    void TearDown() override {
        db_.reset();
        scratch_.reset();
    }
    Database& db() { return *db_; }

    std::unique_ptr<ScratchDatabase> scratch_;
    std::unique_ptr<Database> db_;
};

TEST_P(FreshDatabaseTest, InstallRecordsTheVersion) {
    EXPECT_FALSE(SchemaInstaller::HasTables(db()));
    EXPECT_EQ(SchemaInstaller::InstalledVersion(db()), 0);
    SchemaInstaller::Install(db());
    EXPECT_TRUE(SchemaInstaller::HasTables(db()));
    EXPECT_EQ(SchemaInstaller::InstalledVersion(db()), SchemaInstaller::kSchemaVersion);
}

TEST_P(FreshDatabaseTest, FailedForcedInstallChangesNothing) {
    // Another program's table under the name of one of our views: the forced drop of the view
    // fails, and the whole installation with it.
    db().ConnExecute(Statement(QStringLiteral("CREATE TABLE Other (x INTEGER)")));
    EXPECT_TRUE(SchemaInstaller::HasTables(db()));
    EXPECT_FALSE(failureText([&] { SchemaInstaller::Install(db()); }).isEmpty());

    db().ConnExecute(Statement(QStringLiteral("CREATE TABLE v_BF_Customer (x INTEGER)")));
    const QString text = failureText([&] { SchemaInstaller::Install(db(), true); });
    EXPECT_TRUE(text.contains(QStringLiteral("未做任何變更"))) << text.toStdString();
    EXPECT_EQ(objectsOf(db()),
              (QSet<QString>{QStringLiteral("other"), QStringLiteral("v_bf_customer")}));
    EXPECT_EQ(SchemaInstaller::InstalledVersion(db()), 0);

    // Without the clash, force installs beside the other program's table and leaves it alone.
    db().ConnExecute(Statement(QStringLiteral("DROP TABLE v_BF_Customer")));
    SchemaInstaller::Install(db(), true);
    EXPECT_TRUE(objectsOf(db()).contains(QStringLiteral("other")));
    EXPECT_EQ(SchemaInstaller::InstalledVersion(db()), SchemaInstaller::kSchemaVersion);
}

QUORVANE_INSTANTIATE_BACKENDS(FreshDatabaseTest);

// ---- The two scripts agree --------------------------------------------------------------

TEST(SchemaParityTest, BothBackendsDefineTheSameObjectsAndColumns) {
    ScratchDatabase sqliteScratch(Backend::Sqlite);
    ScratchDatabase postgresScratch(Backend::Postgres);
    const std::unique_ptr<Database> sqlite = sqliteScratch.connect();
    const std::unique_ptr<Database> postgres = postgresScratch.connect();
    SchemaInstaller::Install(*sqlite);
    SchemaInstaller::Install(*postgres);

    const QSet<QString> objects = objectsOf(*sqlite);
    EXPECT_EQ(objectsOf(*postgres), objects);
    for (const char* required :
         {"bf_user", "bf_customer", "or_account", "or_ticketform", "or_ticketprint",
          "st_tickettask", "st_ticketprinttemplate", "vba_msotextorientation", "sys_schemaversion",
          "sys_loginfailure", "v_bf_customer_approveamount_ticketprint", "v_bf_customer",
          "v_st_tickettask"}) {
        EXPECT_TRUE(objects.contains(QString::fromUtf8(required))) << required;
    }
    for (const QString& object : objects) {
        EXPECT_EQ(columnsOf(*postgres, object), columnsOf(*sqlite, object)) << object.toStdString();
    }

    // The report views carry every column of the tables they report on.
    for (const auto& [view, table] : {std::pair{"v_BF_Customer", "BF_Customer"},
                                      std::pair{"v_ST_TicketTask", "ST_TicketTask"}}) {
        const QStringList viewColumns = columnsOf(*sqlite, QString::fromUtf8(view));
        for (const QString& column : columnsOf(*sqlite, QString::fromUtf8(table))) {
            EXPECT_TRUE(viewColumns.contains(column)) << view << " lacks " << column.toStdString();
        }
    }
    EXPECT_EQ(columnsOf(*sqlite, QStringLiteral("v_BF_Customer_ApproveAmount_TicketPrint")),
              (QStringList{QStringLiteral("nocontract"), QStringLiteral("namecompany"),
                           QStringLiteral("novat"), QStringLiteral("amountapprove"),
                           QStringLiteral("amountticketprint"), QStringLiteral("amountremain")}));
}

}  // namespace
}  // namespace quorvane
