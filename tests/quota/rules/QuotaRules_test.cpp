#include "quota/rules/QuotaRules.h"

#include "support/Fixtures.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

using test::AddApplication;
using test::AddIssuer;
using test::AddSample;
using test::Application;
using test::ApplicationRow;
using test::PrintVouchers;
using test::Verdict;

struct Amounts {
    qint64 approve = 0;
    qint64 printed = 0;
    qint64 remain = 0;
    bool operator==(const Amounts& other) const {
        return approve == other.approve && printed == other.printed && remain == other.remain;
    }
};

void PrintTo(const Amounts& amounts, std::ostream* os) {
    *os << amounts.approve << " / " << amounts.printed << " / " << amounts.remain;
}

class QuotaRulesTest : public test::BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        AddIssuer(db(), QStringLiteral("K1"), QStringLiteral("晨曦百貨股份有限公司"));
    }

    Amounts amounts(const QString& contract) {
        Amounts result;
        EXPECT_TRUE(
            GetAccountAmount(db(), contract, result.approve, result.printed, result.remain));
        return result;
    }

    // The worked example: 500000 approved, then 200000 printed from a sample of 100000
    // vouchers (two live ones, one nullified that no longer counts).
    void firstQuotaAndPrints() {
        AddApplication(db(), Application(QStringLiteral("K1"), 1, 500000, Verdict::Approved));
        const QString sample = AddSample(db(), QStringLiteral("K1"), 1, 100000);
        PrintVouchers(db(), sample, 1, 2);
        PrintVouchers(db(), sample, 3, 1, 0);
    }
};

TEST_P(QuotaRulesTest, ANewerApprovedApplicationBecomesTheQuotaInForce) {
    firstQuotaAndPrints();
    EXPECT_EQ(amounts(QStringLiteral("K1")), (Amounts{500000, 200000, 300000}));

    const QString second =
        AddApplication(db(), Application(QStringLiteral("K1"), 2, 300000, Verdict::None));
    EXPECT_EQ(amounts(QStringLiteral("K1")), (Amounts{500000, 200000, 300000}))
        << "pending: the earlier approval stays in force";
    db().ConnExecute(Statement(
        QStringLiteral("UPDATE OR_Account SET VerifyApprove = 1 WHERE NoAccount = ?"), {second}));
    EXPECT_EQ(amounts(QStringLiteral("K1")), (Amounts{300000, 200000, 100000}));
}

TEST_P(QuotaRulesTest, NewerApplicationsThatAreNotInForceChangeNothing) {
    const struct {
        const char* what;
        Verdict verdict;
        int active;
    } cases[] = {
        {"pending", Verdict::None, 1},
        {"returned", Verdict::Returned, 1},
        {"approved but not active", Verdict::Approved, 0},
    };
    firstQuotaAndPrints();
    int item = 2;
    for (const auto& c : cases) {
        ApplicationRow row = Application(QStringLiteral("K1"), item++, 900000, c.verdict);
        row.active = c.active;
        AddApplication(db(), row);
        EXPECT_EQ(amounts(QStringLiteral("K1")), (Amounts{500000, 200000, 300000})) << c.what;
    }
}

TEST_P(QuotaRulesTest, AnIssuerWithNothingApprovedOrPrintedHasZeros) {
    AddIssuer(db(), QStringLiteral("M305"), QStringLiteral("海洋影城"));
    AddApplication(db(), Application(QStringLiteral("M305"), 1, 100000, Verdict::Returned));
    Amounts start{7, 8, 9};
    EXPECT_TRUE(
        GetAccountAmount(db(), QStringLiteral("M305"), start.approve, start.printed, start.remain));
    EXPECT_EQ(start, (Amounts{0, 0, 0})) << "NULL amounts read as 0";

    Amounts unknown{7, 8, 9};
    EXPECT_TRUE(GetAccountAmount(db(), QStringLiteral("NOSUCH"), unknown.approve, unknown.printed,
                                 unknown.remain));
    EXPECT_EQ(unknown, (Amounts{7, 8, 9})) << "no row in the view: the outputs are untouched";
}

TEST_P(QuotaRulesTest, EnoughMeansTheRemainderCoversTheAmount) {
    AddIssuer(db(), QStringLiteral("M305"), QStringLiteral("海洋影城"));
    firstQuotaAndPrints();  // K1 remains 300000
    const struct {
        const char* contract;
        qint64 amount;
        bool enough;
    } cases[] = {
        {"M305", 0, true},    {"M305", 1, false},    {"K1", 0, true},     {"K1", 299999, true},
        {"K1", 300000, true}, {"K1", 300001, false}, {"NOSUCH", 0, true}, {"NOSUCH", 1, false},
    };
    for (const auto& c : cases) {
        Amounts out;
        EXPECT_EQ(IsAccountAmountEnough(db(), QString::fromLatin1(c.contract), c.amount,
                                        out.approve, out.printed, out.remain),
                  c.enough)
            << c.contract << " " << c.amount;
    }
    Amounts out;
    IsAccountAmountEnough(db(), QStringLiteral("K1"), 1, out.approve, out.printed, out.remain);
    EXPECT_EQ(out, (Amounts{500000, 200000, 300000})) << "the outputs feed the caller's message";
}

TEST_P(QuotaRulesTest, PrintedSumsBeyondThirtyTwoBitsAreExact) {
    AddApplication(db(), Application(QStringLiteral("K1"), 1, 999999999, Verdict::Approved));
    const QString sample = AddSample(db(), QStringLiteral("K1"), 1, 1000000000);
    PrintVouchers(db(), sample, 1, 3);
    EXPECT_EQ(amounts(QStringLiteral("K1")),
              (Amounts{999999999, 3000000000LL, 999999999 - 3000000000LL}));
}

TEST_P(QuotaRulesTest, VerifyStateIsThatOfTheNewestActiveApplicationByItem) {
    QString noAccount = QStringLiteral("untouched");
    EXPECT_EQ(GetAccountVerifyState(db(), QStringLiteral("K1"), noAccount),
              AccountVerifyState::None);
    EXPECT_EQ(noAccount, QStringLiteral("untouched"));

    const struct {
        Verdict verdict;
        short state;
    } cases[] = {
        {Verdict::None, AccountVerifyState::Pending},
        {Verdict::Approved, AccountVerifyState::Approved},
        {Verdict::Returned, AccountVerifyState::Returned},
    };
    int item = 1;
    for (const auto& c : cases) {
        // Each newer application was filed earlier than the one before it: the item decides.
        ApplicationRow row = Application(QStringLiteral("K1"), item, 100000 * item, c.verdict);
        row.timeAddNew = QStringLiteral("2024-0%1-01 09:00:00.000").arg(9 - item);
        const QString number = AddApplication(db(), row);
        ++item;
        EXPECT_EQ(GetAccountVerifyState(db(), QStringLiteral("K1"), noAccount), c.state);
        EXPECT_EQ(noAccount, number);
    }

    ApplicationRow inactive = Application(QStringLiteral("K1"), 4, 100000, Verdict::Approved);
    inactive.active = 0;
    AddApplication(db(), inactive);
    EXPECT_EQ(GetAccountVerifyState(db(), QStringLiteral("K1"), noAccount),
              AccountVerifyState::Returned);
    EXPECT_EQ(noAccount, QStringLiteral("K1-03")) << "the inactive K1-04 is skipped";
}

QUORVANE_INSTANTIATE_BACKENDS(QuotaRulesTest);

TEST(QuotaAmountText, FormatsAsTheSummaryAndTheAmountFieldShowThem) {
    const struct {
        qint64 amount;
        const char* summary;
        const char* applied;
    } cases[] = {
        {0, "0", ""},
        {7, "7", "7"},
        {999, "999", "999"},
        {1000, "1,000", "1,000"},
        {200000, "200,000", "200,000"},
        {1234567, "1,234,567", "1,234,567"},
        {999999999, "999,999,999", "999,999,999"},
        {3000000000LL, "3,000,000,000", "3,000,000,000"},
        {-2000000001LL, "-2,000,000,001", "-2,000,000,001"},
        {-5, "-5", "-5"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatAmount(c.amount), QString::fromLatin1(c.summary)) << c.amount;
        EXPECT_EQ(FormatAppliedAmount(c.amount), QString::fromLatin1(c.applied)) << c.amount;
    }
}

TEST(QuotaAmountText, AnAppliedAmountIsAWholeNumberOfAtMostNineDigits) {
    const struct {
        QString typed;
        bool accepted;
        qint64 amount;
    } cases[] = {
        {QStringLiteral("500000"), true, 500000},
        {QStringLiteral(" 42 "), true, 42},
        {QStringLiteral("0"), true, 0},
        {QStringLiteral("000123"), true, 123},
        {QStringLiteral("999999999"), true, 999999999},
        {QStringLiteral("1000000000"), false, 0},
        {QStringLiteral("2147483648"), false, 0},
        {QStringLiteral("-5"), false, 0},
        {QStringLiteral("12.5"), false, 0},
        {QStringLiteral("12."), false, 0},
        {QStringLiteral("1e3"), false, 0},
        {QStringLiteral("+5"), false, 0},
        {QStringLiteral("5-"), false, 0},
        {QStringLiteral("1 000"), false, 0},
        {QStringLiteral("1,000"), false, 0},
        {QStringLiteral("１２"), false, 0},
        {QString(), false, 0},
        {QStringLiteral("   "), false, 0},
    };
    for (const auto& c : cases) {
        qint64 amount = -1;
        EXPECT_EQ(ParseApplicationAmount(c.typed, amount), c.accepted) << c.typed.toStdString();
        EXPECT_EQ(amount, c.accepted ? c.amount : -1)
            << c.typed.toStdString() << ": set only on success";
    }
}

}  // namespace
}  // namespace quorvane
