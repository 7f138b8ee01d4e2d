#include "db/BusinessLookups.h"
#include "support/TestDatabase.h"

#include <QSqlQuery>
#include <QStringList>

#include <gtest/gtest.h>

namespace quorvane {
namespace {

class LookupsTest : public test::BackendTest {
protected:
    void addIssuer(const QString& contract, const QString& name) {
        db().ConnExecute(Statement(
            QStringLiteral("INSERT INTO BF_Customer (NoContract, NameCompany) VALUES (?, ?)"),
            {contract, name}));
    }
    void addSample(const QString& sample, const QString& contract) {
        db().ConnExecute(
            Statement(QStringLiteral("INSERT INTO OR_TicketForm (NoTicketForm, NoContract, NoItem, "
                                     "AmountTicket) VALUES (?, ?, 1, 1000)"),
                      {sample, contract}));
    }
    void addVoucher(qint64 serial, const QString& sample, qint64 check) {
        db().ConnExecute(
            Statement(QStringLiteral("INSERT INTO OR_TicketPrint (NoTicket, NoTicketForm, NoItem, "
                                     "NoTicketCheck, Active) VALUES (?, ?, 1, ?, 1)"),
                      {serial, sample, check}));
    }
    // The rows a picker statement offers, as "contract name" lines.
    QStringList offered(const Statement& picker) {
        UnitOfWork unit(db());
        QSqlQuery query = db().Query(picker);
        QStringList rows;
        while (query.next()) {
            rows << query.value(0).toString() + QLatin1Char(' ') + query.value(1).toString();
        }
        return rows;
    }
};

TEST_P(LookupsTest, IssuerAndSampleLookupsMatchTheStoredKeyExactly) {
    addIssuer(QStringLiteral("K1"), QStringLiteral("宏遠百貨"));
    addSample(QStringLiteral("K1-001"), QStringLiteral("K1"));

    EXPECT_EQ(GetNameCompany(db(), QStringLiteral("K1")), QStringLiteral("宏遠百貨"));
    EXPECT_EQ(GetNameCompany(db(), QStringLiteral("  ")), QString());
    EXPECT_EQ(GetNameCompany(db(), QStringLiteral("K2")), QString());

    EXPECT_TRUE(IsExistNoContract(db(), QStringLiteral("K1")));
    EXPECT_FALSE(IsExistNoContract(db(), QStringLiteral("k1")));
    EXPECT_FALSE(IsExistNoContract(db(), QStringLiteral(" ")));
    EXPECT_TRUE(IsExistNoTicketForm(db(), QStringLiteral("K1-001")));
    EXPECT_FALSE(IsExistNoTicketForm(db(), QStringLiteral("K1-002")));

    EXPECT_TRUE(IsKeyExists(db(), QStringLiteral("K1"), FieldKind::ContractNumber));
    EXPECT_TRUE(IsKeyExists(db(), QStringLiteral("K1-001"), FieldKind::SampleNumber));
    EXPECT_FALSE(IsKeyExists(db(), QStringLiteral("K1-001"), FieldKind::ContractNumber));
    EXPECT_FALSE(IsKeyExists(db(), QStringLiteral("K1"), 10));
    EXPECT_FALSE(IsKeyExists(db(), QString(), FieldKind::ContractNumber));
}

TEST_P(LookupsTest, VoucherSerialLookups) {
    EXPECT_EQ(GetMaxNoTicket(db()), 0);
    addIssuer(QStringLiteral("K1"), QStringLiteral("宏遠百貨"));
    addSample(QStringLiteral("K1-001"), QStringLiteral("K1"));
    addVoucher(100, QStringLiteral("K1-001"), 1234567890123);
    addVoucher(9999999999, QStringLiteral("K1-001"), 9999999999999);

    EXPECT_EQ(GetMaxNoTicket(db()), Q_INT64_C(9999999999));

    QString found = QStringLiteral("stale");
    EXPECT_TRUE(IsNoTicketRangeFree(db(), 1, 99, found));
    EXPECT_EQ(found, QString());
    EXPECT_FALSE(IsNoTicketRangeFree(db(), 90, 100, found));
    EXPECT_EQ(found, QStringLiteral("K1-001"));
    EXPECT_TRUE(IsNoTicketRangeFree(db(), 200, 100, found)) << "first above last finds nothing";

    EXPECT_TRUE(IsExistNoTicketCheck(db(), 1234567890123));
    EXPECT_TRUE(IsExistNoTicketCheck(db(), 9999999999999));
    EXPECT_FALSE(IsExistNoTicketCheck(db(), 1234567890124));

    QString sample;
    EXPECT_TRUE(GetTicketFormOfTicket(db(), 9999999999, sample));
    EXPECT_EQ(sample, QStringLiteral("K1-001"));
    sample.clear();
    EXPECT_FALSE(GetTicketFormOfTicket(db(), 101, sample));
    EXPECT_EQ(sample, QString());
}

TEST_P(LookupsTest, PickerOffersIssuersWhoseNumberOrNameBeginsWithTheText) {
    addIssuer(QStringLiteral("K1"), QStringLiteral("乙和商行"));
    addIssuer(QStringLiteral("K2"), QStringLiteral("甲興百貨"));
    addIssuer(QStringLiteral("T0012"), QStringLiteral("Kappa Foods"));
    addIssuer(QStringLiteral("A_1"), QStringLiteral("丙泰"));

    struct Case {
        QString typed;
        QStringList rows;
    };
    const std::vector<Case> cases = {
        {QString(),
         {QStringLiteral("T0012 Kappa Foods"), QStringLiteral("K1 乙和商行"),
          QStringLiteral("A_1 丙泰"), QStringLiteral("K2 甲興百貨")}},
        {QStringLiteral(" K "),
         {QStringLiteral("T0012 Kappa Foods"), QStringLiteral("K1 乙和商行"),
          QStringLiteral("K2 甲興百貨")}},
        {QStringLiteral("甲"), {QStringLiteral("K2 甲興百貨")}},
        {QStringLiteral("A_"), {QStringLiteral("A_1 丙泰")}},
        {QStringLiteral("_"), {}},  // "_" is a character here, not a wildcard
        {QStringLiteral("'; DROP TABLE BF_Customer; --"), {}},
    };
    // Compared as sets here; the order is checked below.
    for (const Case& c : cases) {
        QStringList got = offered(BuildPickerCommand(FieldKind::ContractNumber, c.typed));
        QStringList want = c.rows;
        got.sort();
        want.sort();
        EXPECT_EQ(got, want) << c.typed.toStdString();
    }
    const QStringList all = offered(BuildPickerCommand(FieldKind::ContractNumber, QString()));
    QStringList names;
    for (const QString& row : all) {
        names << row.section(QLatin1Char(' '), 1);
    }
    // Both test databases collate by code point.
    QStringList sorted = names;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(names, sorted);
    EXPECT_TRUE(BuildPickerCommand(FieldKind::SampleNumber, QStringLiteral("K")).sql.isEmpty());
}

QUORVANE_INSTANTIATE_BACKENDS(LookupsTest);

}  // namespace
}  // namespace quorvane
