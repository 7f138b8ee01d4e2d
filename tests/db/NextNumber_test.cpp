#include "db/NextNumber.h"

#include "core/Failure.h"
#include "support/Fixtures.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <thread>
#include <vector>

namespace quorvane {
namespace {

using test::AddIssuer;
using test::AddSample;
using test::PrintVouchers;

const NumberSeries kSamples{QStringLiteral("OR_TicketForm"), QStringLiteral("NoItem"),
                            QStringLiteral("NoContract")};
const NumberSeries kSerials{QStringLiteral("OR_TicketPrint"), QStringLiteral("NoTicket"), {}};
const NumberSeries kSampleItems{QStringLiteral("OR_TicketPrint"), QStringLiteral("NoItem"),
                                QStringLiteral("NoTicketForm")};

// Adds a voucher sample of the contract the way the sample screen does: the whole numbered
// insert. `beforeInsert` runs inside the transaction with the number taken, just before the
// insert. The sample's number; an empty text when the issuer does not exist; nothing when every
// attempt met a number another workstation took.
std::optional<QString> AddNumberedSample(Database& db, const QString& contract,
                                         const std::function<void(qint64)>& beforeInsert = {}) {
    QString statement;
    NextNumber numbers(db, kSamples, statement);
    return numbers.insert([&]() -> QString {
        Transaction transaction(db);
        if (!numbers.lockIssuer(contract)) {
            return {};
        }
        const qint64 item = numbers.take(contract);
        const QString noTicketForm = NumberText(contract + QLatin1Char('-'), item, 3);
        if (beforeInsert) {
            beforeInsert(item);
        }
        db.ConnExecute(Statement(QStringLiteral("INSERT INTO OR_TicketForm (NoTicketForm, "
                                                "NoContract, NoItem) VALUES (?, ?, ?)"),
                                 {noTicketForm, contract, item}));
        transaction.commit();
        return noTicketForm;
    });
}

// Prints one voucher of the sample as a print run records it: its serial the next of the whole
// table, its item the next of the sample. The serial; nothing when every attempt met a serial
// another workstation took.
std::optional<qint64> AddNumberedVoucher(Database& db, const QString& contract,
                                         const QString& sample) {
    QString statement;
    NextNumber serials(db, kSerials, statement);
    NextNumber items(db, kSampleItems, statement);
    return serials.insert([&]() -> qint64 {
        Transaction transaction(db);
        if (!serials.lockIssuer(contract)) {
            return 0;
        }
        const qint64 serial = serials.take();
        db.ConnExecute(Statement(QStringLiteral("INSERT INTO OR_TicketPrint (NoTicket, "
                                                "NoTicketForm, NoItem, NoTicketCheck) "
                                                "VALUES (?, ?, ?, ?)"),
                                 {serial, sample, items.take(sample), serial}));
        transaction.commit();
        return serial;
    });
}

TEST(NumberText, FillsToTheMinimumWidthAndGrowsPastIt) {
    const struct {
        const char* prefix;
        qint64 number;
        int minDigits;
        const char* text;
    } cases[] = {
        {"K1-", 1, 2, "K1-01"},
        {"K1-", 99, 2, "K1-99"},
        {"K1-", 100, 2, "K1-100"},
        {"A123-", 7, 3, "A123-007"},
        {"A123-", 999, 3, "A123-999"},
        {"A123-", 1000, 3, "A123-1000"},
        {"", 9999999999, 10, "9999999999"},
        {"", 42, 10, "0000000042"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NumberText(QString::fromUtf8(c.prefix), c.number, c.minDigits),
                  QString::fromUtf8(c.text))
            << c.prefix << c.number;
    }
}

class NextNumberTest : public test::BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        AddIssuer(db(), QStringLiteral("A123"), QStringLiteral("晨曦百貨股份有限公司"));
        AddIssuer(db(), QStringLiteral("B7"), QStringLiteral("大同百貨"));
    }

    qint64 count(const QString& table) {
        return db().LookupInt64(Statement(QStringLiteral("SELECT COUNT(*) FROM ") + table));
    }
};

TEST_P(NextNumberTest, TextNumbersRunOnByNumberWithinTheirContract) {
    const struct {
        const char* what;
        std::vector<int> existing;
        const char* next;
    } cases[] = {
        {"from empty", {}, "A123-001"},
        {"after existing rows", {1, 2, 3}, "A123-004"},
        {"after a gap", {1, 7}, "A123-008"},
        {"past 999", {998, 999}, "A123-1000"},
        // As text, A123-999 sorts after A123-1000.
        {"after 1000", {999, 1000}, "A123-1001"},
        {"past 9999", {9999}, "A123-10000"},
    };
    // Another contract's samples, numbered higher, never count.
    for (int item = 1; item <= 12; ++item) {
        AddSample(db(), QStringLiteral("B7"), item * 1000, 100);
    }
    for (const auto& c : cases) {
        db().ConnExecute(
            Statement(QStringLiteral("DELETE FROM OR_TicketForm WHERE NoContract = 'A123'")));
        for (const int item : c.existing) {
            AddSample(db(), QStringLiteral("A123"), item, 100);
        }
        const std::optional<QString> added = AddNumberedSample(db(), QStringLiteral("A123"));
        ASSERT_TRUE(added) << c.what;
        EXPECT_EQ(*added, QString::fromUtf8(c.next)) << c.what;
        EXPECT_EQ(db().LookupText(Statement(
                      QStringLiteral("SELECT NoContract FROM OR_TicketForm WHERE NoTicketForm = ?"),
                      {*added})),
                  QStringLiteral("A123"))
            << c.what;
        EXPECT_EQ(db().transactionDepth(), 0) << c.what;
    }
}

TEST_P(NextNumberTest, PlainNumbersRunOverTheWholeTableOrTheirScopeAndPass32Bits) {
    const QString sample = AddSample(db(), QStringLiteral("A123"), 1, 100);
    const QString other = AddSample(db(), QStringLiteral("B7"), 1, 100);
    EXPECT_EQ(AddNumberedVoucher(db(), QStringLiteral("A123"), sample), 1);

    // Serials run on across samples and issuers; items within their sample.
    PrintVouchers(db(), other, 9999999990, 8);
    EXPECT_EQ(AddNumberedVoucher(db(), QStringLiteral("A123"), sample), 9999999998);
    EXPECT_EQ(AddNumberedVoucher(db(), QStringLiteral("B7"), other), 9999999999);
    const auto itemOf = [this](qint64 serial) {
        return db().LookupInt64(Statement(
            QStringLiteral("SELECT NoItem FROM OR_TicketPrint WHERE NoTicket = ?"), {serial}));
    };
    EXPECT_EQ(itemOf(9999999998), 2);
    EXPECT_EQ(itemOf(9999999999), 9);
}

TEST_P(NextNumberTest, AnUnknownIssuerTakesNoNumberAndWritesNothing) {
    const std::optional<QString> added = AddNumberedSample(db(), QStringLiteral("ZZ9"));
    ASSERT_TRUE(added);
    EXPECT_TRUE(added->isEmpty());
    EXPECT_EQ(count(QStringLiteral("OR_TicketForm")), 0);
    EXPECT_EQ(db().transactionDepth(), 0);
}

TEST_P(NextNumberTest, ANumberTakenMeanwhileIsTakenAgainAFewTimesAtMost) {
    // The conflicting row lands just before the insert, as another workstation's would that
    // did not wait for the issuer's lock; it goes with the attempt's rollback.
    const auto takeNumber = [this](qint64 item) {
        db().ConnExecute(Statement(QStringLiteral("INSERT INTO OR_TicketForm (NoTicketForm, "
                                                  "NoContract, NoItem) VALUES (?, 'A123', ?)"),
                                   {NumberText(QStringLiteral("A123-"), item, 3), item}));
    };
    int calls = 0;
    const std::optional<QString> retried =
        AddNumberedSample(db(), QStringLiteral("A123"), [&](qint64 item) {
            if (++calls == 1) {
                takeNumber(item);
            }
        });
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(retried, std::optional<QString>(QStringLiteral("A123-001")));
    EXPECT_EQ(count(QStringLiteral("OR_TicketForm")), 1);

    calls = 0;
    const std::optional<QString> refused =
        AddNumberedSample(db(), QStringLiteral("A123"), [&](qint64 item) {
            ++calls;
            takeNumber(item);
        });
    EXPECT_EQ(refused, std::nullopt);
    EXPECT_EQ(calls, NextNumber::kAttempts);
    EXPECT_EQ(count(QStringLiteral("OR_TicketForm")), 1);
    EXPECT_EQ(db().transactionDepth(), 0);
    EXPECT_EQ(db().openUnits(), 0);

    EXPECT_EQ(AddNumberedSample(db(), QStringLiteral("A123")),
              std::optional<QString>(QStringLiteral("A123-002")));
}

TEST_P(NextNumberTest, AnyOtherFailureGoesToTheCallerAtOnce) {
    int calls = 0;
    EXPECT_THROW(AddNumberedSample(db(), QStringLiteral("A123"),
                                   [&](qint64) {
                                       ++calls;
                                       db().ConnExecute(Statement(
                                           QStringLiteral("UPDATE NoSuchTable SET x = 1")));
                                   }),
                 DatabaseFailure);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(db().transactionDepth(), 0);
    EXPECT_EQ(count(QStringLiteral("OR_TicketForm")), 0);
}

TEST_P(NextNumberTest, IsRefusedOutsideATransactionAndForNamesThatAreNoIdentifiers) {
    QString statement;
    NextNumber numbers(db(), kSamples, statement);
    UnitOfWork unit(db());
    EXPECT_THROW(numbers.lockIssuer(QStringLiteral("A123")), Failure);
    EXPECT_THROW(numbers.take(QStringLiteral("A123")), Failure);
    EXPECT_THROW(
        NextNumber(
            db(),
            {QStringLiteral("OR_TicketForm; DROP TABLE BF_User"), QStringLiteral("NoItem"), {}},
            statement),
        Failure);
}

TEST_P(NextNumberTest, TheFailingStatementIsNamedForTheLocationText) {
    QString statement;
    NextNumber numbers(db(), kSamples, statement);
    Transaction transaction(db());
    EXPECT_TRUE(numbers.lockIssuer(QStringLiteral("A123")));
    EXPECT_TRUE(statement.contains(QStringLiteral("BF_Customer"))) << statement.toStdString();
    EXPECT_TRUE(statement.contains(QStringLiteral("A123"))) << statement.toStdString();
    EXPECT_EQ(numbers.take(QStringLiteral("A123")), 1);
    EXPECT_TRUE(statement.contains(QStringLiteral("MAX(NoItem) FROM OR_TicketForm")))
        << statement.toStdString();
}

// --- Two workstations, each on its own connection and thread ---

// Runs `work` on this thread and, at the same moment, on a second workstation: a connection of
// its own made and used on its own thread (a connection belongs to the thread that made it).
void OnTwoWorkstations(test::ScratchDatabase& scratch, Database& mine,
                       const std::function<void(Database&)>& work) {
    std::atomic<bool> ready{false};
    std::thread other([&] {
        std::unique_ptr<Database> db = scratch.connect();
        db->ConnOpen();
        db->ConnClose();
        ready = true;
        work(*db);
    });
    while (!ready) {
        std::this_thread::yield();
    }
    work(mine);
    other.join();
}

TEST_P(NextNumberTest, TwoWorkstationsAddingForOneIssuerNeverShareANumberNorLoseARow) {
    constexpr int kEach = 15;
    std::mutex mutex;
    std::vector<QString> added;
    std::atomic<int> failures{0};
    OnTwoWorkstations(scratch(), db(), [&](Database& db) {
        for (int i = 0; i < kEach; ++i) {
            try {
                const std::optional<QString> sample = AddNumberedSample(db, QStringLiteral("A123"));
                if (!sample || sample->isEmpty()) {
                    ++failures;
                    continue;
                }
                const std::lock_guard<std::mutex> hold(mutex);
                added.push_back(*sample);
            } catch (const std::exception&) {
                ++failures;
            }
        }
    });
    // Serialised on the issuer, no workstation ever meets the other's number.
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(added.size(), std::size_t(2 * kEach));
    EXPECT_EQ(std::set<QString>(added.begin(), added.end()).size(), added.size());
    EXPECT_EQ(count(QStringLiteral("OR_TicketForm")), 2 * kEach);
    EXPECT_EQ(db().LookupInt64(Statement(QStringLiteral("SELECT MAX(NoItem) FROM OR_TicketForm"))),
              2 * kEach);
    EXPECT_EQ(db().LookupInt64(
                  Statement(QStringLiteral("SELECT COUNT(DISTINCT NoItem) FROM OR_TicketForm"))),
              2 * kEach);
}

TEST_P(NextNumberTest, TwoWorkstationsTakingSerialsForTwoIssuersNeverShareOneNorLoseOne) {
    // The serials run over every issuer, so the issuers' locks do not keep the workstations
    // apart: a serial the other one took is taken again, or the insert is refused as such.
    constexpr int kEach = 15;
    const QString sampleA = AddSample(db(), QStringLiteral("A123"), 1, 100);
    const QString sampleB = AddSample(db(), QStringLiteral("B7"), 1, 100);
    std::mutex mutex;
    std::vector<qint64> printed;
    std::atomic<int> refused{0};
    std::atomic<int> failures{0};
    std::atomic<bool> first{true};
    OnTwoWorkstations(scratch(), db(), [&](Database& db) {
        const bool isA = first.exchange(false);
        for (int i = 0; i < kEach; ++i) {
            try {
                const std::optional<qint64> serial =
                    isA ? AddNumberedVoucher(db, QStringLiteral("A123"), sampleA)
                        : AddNumberedVoucher(db, QStringLiteral("B7"), sampleB);
                if (!serial) {
                    ++refused;
                    continue;
                }
                const std::lock_guard<std::mutex> hold(mutex);
                printed.push_back(*serial);
            } catch (const std::exception&) {
                ++failures;
            }
        }
    });
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(printed.size() + std::size_t(refused), std::size_t(2 * kEach));
    EXPECT_EQ(std::set<qint64>(printed.begin(), printed.end()).size(), printed.size());
    // Every voucher reported saved is stored, and nothing else is.
    EXPECT_EQ(count(QStringLiteral("OR_TicketPrint")), qint64(printed.size()));
    EXPECT_EQ(
        db().LookupInt64(Statement(QStringLiteral("SELECT MAX(NoTicket) FROM OR_TicketPrint"))),
        qint64(printed.size()));
}

QUORVANE_INSTANTIATE_BACKENDS(NextNumberTest);

}  // namespace
}  // namespace quorvane
