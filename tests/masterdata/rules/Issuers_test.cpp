#include "masterdata/rules/Issuers.h"

#include "core/Failure.h"
#include "db/FieldReaders.h"
#include "support/Fixtures.h"
#include "support/TestDatabase.h"

#include <QSqlRecord>

#include <gtest/gtest.h>

namespace quorvane {
namespace {

using test::AddIssuer;
using test::CountRows;
using test::kClerk;
using test::kSupervisor;
using test::StoredIssuer;

class IssuersTest : public test::BackendTest {
protected:
    Issuer issuer(const QString& contract, const QString& name, const QString& note = QString()) {
        Issuer row;
        row.NoContract = contract;
        row.columns.insert(QStringLiteral("NameCompany"), name);
        row.columns.insert(QStringLiteral("NoVAT"), QStringLiteral("12345678"));
        row.columns.insert(QStringLiteral("Note"), note);
        return row;
    }
    Issuers issuers() { return Issuers(db()); }
};

TEST_P(IssuersTest, AddStoresTheTrimmedContractTheColumnsAsTypedAndTheAddStamps) {
    const QString note = QStringLiteral("O'Brien \"引號\" ") + QString(40, QChar(0x6F22));
    EXPECT_EQ(
        issuers().add(kClerk, issuer(QStringLiteral("  K1 "), QStringLiteral("宏遠百貨"), note)),
        QStringLiteral("K1"));
    const QSqlRecord row = StoredIssuer(db(), QStringLiteral("K1"));
    ASSERT_FALSE(row.isEmpty());
    EXPECT_EQ(FieldText(row, QStringLiteral("NameCompany")), QStringLiteral("宏遠百貨"));
    EXPECT_EQ(FieldText(row, QStringLiteral("NoVAT")), QStringLiteral("12345678"));
    EXPECT_EQ(FieldText(row, QStringLiteral("Note")), note);
    EXPECT_EQ(FieldText(row, QStringLiteral("IdUserAddNew")), QStringLiteral("CLERK"));
    EXPECT_TRUE(FieldDateTime(row, QStringLiteral("TimeAddNew")).isValid());
    EXPECT_TRUE(row.value(QStringLiteral("IdUserModifyLast")).isNull());
}

TEST_P(IssuersTest, ModifyKeepsTheFirstModifierAndStampsTheLast) {
    issuers().add(kClerk, issuer(QStringLiteral("K1"), QStringLiteral("宏遠百貨")));
    EXPECT_EQ(issuers().modify(kClerk, issuer(QStringLiteral("K1"), QStringLiteral("宏遠"))),
              QStringLiteral("K1"));
    EXPECT_EQ(issuers().modify(kSupervisor, issuer(QStringLiteral("K1"), QStringLiteral("新宏遠"))),
              QStringLiteral("K1"));
    const QSqlRecord row = StoredIssuer(db(), QStringLiteral("K1"));
    EXPECT_EQ(FieldText(row, QStringLiteral("NameCompany")), QStringLiteral("新宏遠"));
    EXPECT_EQ(FieldText(row, QStringLiteral("IdUserAddNew")), QStringLiteral("CLERK"));
    EXPECT_EQ(FieldText(row, QStringLiteral("IdUserModifyFirst")), QStringLiteral("CLERK"));
    EXPECT_EQ(FieldText(row, QStringLiteral("IdUserModifyLast")), QStringLiteral("SUPER"));
}

TEST_P(IssuersTest, AFailedWriteLeavesTheTableAndTheConnectionAsTheyWere) {
    AddIssuer(db(), QStringLiteral("K1"), QStringLiteral("宏遠百貨"));
    EXPECT_THROW(issuers().add(kClerk, issuer(QStringLiteral("K1"), QStringLiteral("另一家"))),
                 DatabaseFailure)
        << "the table's key refuses an existing contract";
    EXPECT_THROW(issuers().modify(kClerk, issuer(QStringLiteral("GONE"), QStringLiteral("無"))),
                 Failure)
        << "an issuer deleted meanwhile is not reported as saved";
    EXPECT_EQ(db().transactionDepth(), 0);
    EXPECT_EQ(FieldText(StoredIssuer(db(), QStringLiteral("K1")), QStringLiteral("NameCompany")),
              QStringLiteral("宏遠百貨"));
    EXPECT_EQ(CountRows(db(), QStringLiteral("BF_Customer")), 1);
    EXPECT_EQ(issuers().add(kClerk, issuer(QStringLiteral("K2"), QStringLiteral("福泰"))),
              QStringLiteral("K2"));
}

TEST_P(IssuersTest, AnIssuerWithAVoucherSampleMayNotBeDeleted) {
    AddIssuer(db(), QStringLiteral("K1"), QStringLiteral("宏遠百貨"));
    AddIssuer(db(), QStringLiteral("K2"), QStringLiteral("福泰"));
    test::AddSample(db(), QStringLiteral("K1"), 1, 500);
    EXPECT_EQ(issuers().deleteRefusal(QStringLiteral("K1")),
              QStringLiteral("刪除失敗\r\n\r\n此筆客戶資料已建立於「禮卷票樣確認單」，不允許刪除"));
    EXPECT_EQ(issuers().deleteRefusal(QStringLiteral("K2")), QString());
    EXPECT_EQ(issuers().deleteRefusal(QStringLiteral("k1")), QString())
        << "contract numbers compare exactly";
}

QUORVANE_INSTANTIATE_BACKENDS(IssuersTest);

}  // namespace
}  // namespace quorvane
