#include "quota/rules/QuotaApplications.h"

#include "db/FieldReaders.h"
#include "support/Fixtures.h"
#include "support/TestDatabase.h"

#include <QSqlQuery>
#include <QSqlRecord>

#include <gtest/gtest.h>

namespace quorvane {
namespace {

using test::AddApplication;
using test::AddIssuer;
using test::Application;
using test::ApplicationRow;
using test::Verdict;

// Every row of a statement, each as its columns' texts, after the column names.
QList<QStringList> Rows(Database& db, const Statement& statement) {
    QList<QStringList> rows;
    UnitOfWork unit(db);
    QSqlQuery query = db.Query(statement);
    const QSqlRecord record = query.record();
    QStringList names;
    for (int i = 0; i < record.count(); ++i) {
        names << record.fieldName(i);
    }
    rows << names;
    while (query.next()) {
        QStringList row;
        for (int i = 0; i < record.count(); ++i) {
            row << query.value(i).toString();
        }
        rows << row;
    }
    return rows;
}

class QuotaApplicationLookupsTest : public test::BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        AddIssuer(db(), QStringLiteral("K1"), QStringLiteral("晨曦百貨股份有限公司"));
        AddIssuer(db(), QStringLiteral("T0012"), QStringLiteral("福泰餐飲股份有限公司"));
        add(QStringLiteral("K1"), 1, 500000, Verdict::Approved, QStringLiteral("2024-03-05"));
        add(QStringLiteral("K1"), 2, 300000, Verdict::None, QStringLiteral("2024-11-20"));
        add(QStringLiteral("T0012"), 1, 250000, Verdict::Returned, QStringLiteral("2023-12-31"));
        ApplicationRow inactive = Application(QStringLiteral("T0012"), 2, 1000);
        inactive.active = 0;
        inactive.timeAddNew = QStringLiteral("2024-01-01 08:00:00.000");
        AddApplication(db(), inactive);
    }
    void add(const QString& contract, int noItem, qint64 amount, Verdict verdict,
             const QString& day) {
        ApplicationRow row = Application(contract, noItem, amount, verdict);
        row.timeAddNew = day + QStringLiteral(" 23:59:59.000");
        AddApplication(db(), row);
    }
    QuotaApplications applications() { return QuotaApplications(db()); }
};

TEST_P(QuotaApplicationLookupsTest, TheListShowsContractIssuerAndVerdictLatestFirst) {
    const QList<QStringList> rows = Rows(db(), QuotaApplications::ListQuery());
    EXPECT_EQ(rows.mid(1),
              (QList<QStringList>{
                  {QStringLiteral("K1：晨曦百貨（未核）"), QStringLiteral("K1-02")},
                  {QStringLiteral("K1：晨曦百貨（核准）"), QStringLiteral("K1-01")},
                  {QStringLiteral("T0012：福泰餐飲（未核）"), QStringLiteral("T0012-02")},
                  {QStringLiteral("T0012：福泰餐飲（退回）"), QStringLiteral("T0012-01")},
              }));
}

TEST_P(QuotaApplicationLookupsTest, OneApplicationsRowOrNone) {
    const QSqlRecord row = applications().row(QStringLiteral("K1-02"));
    ASSERT_FALSE(row.isEmpty());
    EXPECT_EQ(FieldText(row, QStringLiteral("NoContract")), QStringLiteral("K1"));
    EXPECT_EQ(FieldText(row, QStringLiteral("Amount")), QStringLiteral("300000"));
    EXPECT_TRUE(row.value(QStringLiteral("VerifyApprove")).isNull());
    EXPECT_TRUE(applications().row(QStringLiteral("K1-99")).isEmpty());
    EXPECT_TRUE(applications().row(QStringLiteral("k1-02")).isEmpty()) << "numbers compare exactly";
}

TEST_P(QuotaApplicationLookupsTest, TheSelectionListsShowTheShortDayFiled) {
    EXPECT_EQ(Rows(db(), applications().selection(false)),
              (QList<QStringList>{
                  {QStringLiteral("額度編號"), QStringLiteral("發行業者：建檔時間：申請額度")},
                  {QStringLiteral("K1-02"), QStringLiteral("晨曦百貨：24.11.20：300000")},
                  {QStringLiteral("K1-01"), QStringLiteral("晨曦百貨：24.03.05：500000")},
                  {QStringLiteral("T0012-02"), QStringLiteral("福泰餐飲：24.01.01：1000")},
                  {QStringLiteral("T0012-01"), QStringLiteral("福泰餐飲：23.12.31：250000")},
              }));
    EXPECT_EQ(Rows(db(), applications().selection(true)),
              (QList<QStringList>{
                  {QStringLiteral("額度編號"), QStringLiteral("發行業者：建檔時間")},
                  {QStringLiteral("K1-02"), QStringLiteral("晨曦百貨：24.11.20")},
              }))
        << "active applications not reviewed yet";
}

TEST_P(QuotaApplicationLookupsTest, TheLatestApplicationIsTheHighestItemNumber) {
    EXPECT_EQ(applications().latestNoAccount(QStringLiteral("K1")), QStringLiteral("K1-02"));
    EXPECT_EQ(applications().latestNoAccount(QStringLiteral("T0012")), QStringLiteral("T0012-02"))
        << "inactive ones count";
    EXPECT_EQ(applications().latestNoAccount(QStringLiteral("NONE")), QString());
    for (int item = 3; item <= 100; ++item) {
        AddApplication(db(), Application(QStringLiteral("K1"), item, 1));
    }
    EXPECT_EQ(applications().latestNoAccount(QStringLiteral("K1")), QStringLiteral("K1-100"))
        << "the hundredth application follows the ninety-ninth";
}

QUORVANE_INSTANTIATE_BACKENDS(QuotaApplicationLookupsTest);

}  // namespace
}  // namespace quorvane
