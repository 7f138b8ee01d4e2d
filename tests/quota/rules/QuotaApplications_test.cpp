#include "quota/rules/QuotaApplications.h"

#include "core/Failure.h"
#include "quota/rules/QuotaRules.h"
#include "support/Fixtures.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <set>
#include <thread>

namespace quorvane {
namespace {

using test::AddApplication;
using test::AddIssuer;
using test::AddSample;
using test::Application;
using test::ApplicationRow;
using test::CountApplications;
using test::kBoth;
using test::kClerk;
using test::kGuest;
using test::kSupervisor;
using test::PrintVouchers;
using test::StoredApplication;
using test::StoredVerdict;
using test::Verdict;

QuotaApplication NewApplication(const QString& contract, qint64 amount,
                                const QString& note = QString()) {
    QuotaApplication application;
    application.noContract = contract;
    application.amount = amount;
    application.noteHandling = note;
    return application;
}

QuotaApplication Review(const QString& noAccount, const QString& contract, ReviewChoice choice,
                        qint64 amountSeen, const QString& note = QString()) {
    QuotaApplication application;
    application.noAccount = noAccount;
    application.noContract = contract;
    application.amount = amountSeen;
    application.review = choice;
    application.noteVerify = note;
    return application;
}

// Every column of the row as text, for comparing a row before and after a save.
QMap<QString, QString> Columns(const QSqlRecord& row) {
    QMap<QString, QString> columns;
    for (int i = 0; i < row.count(); ++i) {
        const QVariant value = row.value(i);
        columns.insert(row.fieldName(i).toLower(),
                       value.isNull() ? QStringLiteral("<NULL>") : value.toString());
    }
    return columns;
}

std::set<std::string> ChangedColumns(const QSqlRecord& before, const QSqlRecord& after) {
    const QMap<QString, QString> old = Columns(before);
    const QMap<QString, QString> now = Columns(after);
    std::set<std::string> changed;
    for (auto it = now.cbegin(); it != now.cend(); ++it) {
        if (old.value(it.key()) != it.value()) {
            changed.insert(it.key().toStdString());
        }
    }
    return changed;
}

class QuotaApplicationsTest : public test::BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        AddIssuer(db(), QStringLiteral("K1"), QStringLiteral("晨曦百貨股份有限公司"));
    }

    QuotaSaveResult save(const QuotaApplication& application, const User& user) {
        QuotaApplicationWriter writer(db());
        return writer.save(application, user);
    }
};

TEST(QuotaNumbering, TheRunningNumberHasAtLeastTwoDigits) {
    const struct {
        const char* contract;
        int item;
        const char* number;
    } cases[] = {
        {"K1", 1, "K1-01"},      {"K1", 9, "K1-09"},    {"K1", 10, "K1-10"},
        {"K1", 99, "K1-99"},     {"K1", 100, "K1-100"}, {"T0012", 7, "T0012-07"},
        {"K1", 1234, "K1-1234"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatNoAccount(QString::fromLatin1(c.contract), c.item),
                  QString::fromLatin1(c.number));
    }
}

TEST(QuotaRoles, ClerkPermissionWinsOverSupervisor) {
    EXPECT_EQ(QuotaRoleOf(kClerk), QuotaRole::Clerk);
    EXPECT_EQ(QuotaRoleOf(kBoth), QuotaRole::Clerk);
    EXPECT_EQ(QuotaRoleOf(kSupervisor), QuotaRole::Supervisor);
    EXPECT_EQ(QuotaRoleOf(kGuest), QuotaRole::Neither);
}

TEST_P(QuotaApplicationsTest, ANewApplicationTakesOneMoreThanTheContractsHighestItem) {
    const struct {
        const char* contract;
        int existing;      // items 1 … existing already filed
        int inactiveFrom;  // items from here on are inactive (0: none)
        const char* expected;
    } cases[] = {
        {"A1", 0, 0, "A1-01"},
        {"A2", 9, 0, "A2-10"},
        {"A3", 99, 0, "A3-100"},
        {"A4", 5, 4, "A4-06"},
    };
    for (const auto& c : cases) {
        const QString contract = QString::fromLatin1(c.contract);
        AddIssuer(db(), contract, QStringLiteral("業者"));
        for (int item = 1; item <= c.existing; ++item) {
            ApplicationRow row = Application(contract, item, 1000);
            row.active = c.inactiveFrom > 0 && item >= c.inactiveFrom ? 0 : 1;
            AddApplication(db(), row);
        }
        const QuotaSaveResult result = save(NewApplication(contract, 1000), kClerk);
        ASSERT_TRUE(result.saved) << result.message.toStdString();
        EXPECT_EQ(result.noAccount, QString::fromLatin1(c.expected));
        EXPECT_EQ(result.noItem, c.existing + 1);
        EXPECT_FALSE(StoredApplication(db(), result.noAccount).isEmpty());
    }
}

TEST_P(QuotaApplicationsTest, AClerksNewApplicationCarriesOnlyTheClerksColumns) {
    const QDateTime before = db().GetServerTime();
    QuotaApplication application =
        NewApplication(QStringLiteral("K1"), 500000, QStringLiteral("首次申請 O'Brien"));
    application.review = ReviewChoice::Approve;  // not the clerk's to give
    application.noteVerify = QStringLiteral("不該寫入");
    const QuotaSaveResult result = save(application, kClerk);
    ASSERT_TRUE(result.saved);
    const QSqlRecord row = StoredApplication(db(), QStringLiteral("K1-01"));
    EXPECT_EQ(FieldText(row, QStringLiteral("NoContract")), QStringLiteral("K1"));
    EXPECT_EQ(FieldLong(row, QStringLiteral("NoItem")), 1);
    EXPECT_EQ(FieldInt64(row, QStringLiteral("Amount")), 500000);
    EXPECT_EQ(FieldText(row, QStringLiteral("NoteHandling")), QStringLiteral("首次申請 O'Brien"));
    EXPECT_EQ(FieldLong(row, QStringLiteral("Active")), 1);
    EXPECT_EQ(FieldText(row, QStringLiteral("IdUserAddNew")), QStringLiteral("CLERK"));
    EXPECT_LE(before, FieldDateTime(row, QStringLiteral("TimeAddNew")));
    for (const char* column :
         {"VerifyApprove", "IdUserVerifyApprove", "TimeVerifyApprove", "IdUserVerifyReturn",
          "TimeVerifyReturn", "NoteVerify", "IdUserModifyFirst", "TimeModifyLast"}) {
        EXPECT_TRUE(row.value(QString::fromLatin1(column)).isNull()) << column;
    }
}

TEST_P(QuotaApplicationsTest, ASaveWritesOnlyTheColumnsOfTheUsersRole) {
    // A returned application that was approved once before: both stamp pairs are filled.
    const std::set<std::string> stamps{"idusermodifyfirst", "timemodifyfirst", "idusermodifylast",
                                       "timemodifylast"};
    const auto with = [&stamps](std::set<std::string> columns) {
        columns.insert(stamps.begin(), stamps.end());
        return columns;
    };
    const struct {
        const char* what;
        User user;
        ReviewChoice choice;
        qint64 amount;
        std::set<std::string> changed;
        std::optional<int> verdict;
    } cases[] = {
        {"clerk", kClerk, ReviewChoice::Approve, 650000, with({"amount", "notehandling"}), 0},
        {"both flags", kBoth, ReviewChoice::Approve, 650000, with({"amount", "notehandling"}), 0},
        {"supervisor approving", kSupervisor, ReviewChoice::Approve, 500000,
         with({"verifyapprove", "iduserverifyapprove", "timeverifyapprove", "noteverify"}), 1},
        {"supervisor returning", kSupervisor, ReviewChoice::Return, 500000,
         with({"iduserverifyreturn", "timeverifyreturn", "noteverify"}), 0},
        {"supervisor with neither option", kSupervisor, ReviewChoice::Unchanged, 500000,
         with({"noteverify"}), 0},
        {"neither permission", kGuest, ReviewChoice::Approve, 650000, stamps, 0},
    };
    int item = 1;
    for (const auto& c : cases) {
        const QString number = FormatNoAccount(QStringLiteral("K1"), item);
        db().ConnExecute(Statement(
            QStringLiteral("INSERT INTO OR_Account (NoAccount, NoContract, NoItem, Amount, "
                           "NoteHandling, VerifyApprove, IdUserVerifyApprove, TimeVerifyApprove, "
                           "IdUserVerifyReturn, TimeVerifyReturn, NoteVerify, Active, "
                           "IdUserAddNew, TimeAddNew) VALUES (?, 'K1', ?, 500000, '原備註', 0, "
                           "'OLDSUP', '2024-01-02 03:04:05.000', 'OLDRET', "
                           "'2024-02-03 04:05:06.000', '原核定備註', 1, 'SEED', "
                           "'2024-01-01 00:00:00.000')"),
            {number, item}));
        ++item;
        const QSqlRecord before = StoredApplication(db(), number);
        QuotaApplication application =
            Review(number, QStringLiteral("K1"), c.choice, c.amount, QStringLiteral("新核定備註"));
        application.noteHandling = QStringLiteral("新備註");
        const QuotaSaveResult result = save(application, c.user);
        ASSERT_TRUE(result.saved) << c.what << ": " << result.message.toStdString();
        const QSqlRecord after = StoredApplication(db(), number);
        EXPECT_EQ(ChangedColumns(before, after), c.changed) << c.what;
        EXPECT_EQ(StoredVerdict(after), c.verdict) << c.what;
        EXPECT_EQ(FieldText(after, QStringLiteral("IdUserModifyLast")), c.user.IdUser) << c.what;
        if (c.changed.count("iduserverifyapprove") > 0) {
            EXPECT_EQ(FieldText(after, QStringLiteral("IdUserVerifyApprove")), c.user.IdUser);
        }
        if (c.changed.count("iduserverifyreturn") > 0) {
            EXPECT_EQ(FieldText(after, QStringLiteral("IdUserVerifyReturn")), c.user.IdUser);
        }
    }
}

TEST_P(QuotaApplicationsTest, TheEditRuleIsCheckedAgainAgainstTheRowAsItIsNow) {
    const QString first =
        AddApplication(db(), Application(QStringLiteral("K1"), 1, 500000, Verdict::Approved));
    const QString second =
        AddApplication(db(), Application(QStringLiteral("K1"), 2, 800000, Verdict::Approved));
    const struct {
        const char* what;
        QuotaApplication application;
        User user;
        QString message;
    } cases[] = {
        {"clerk on an approved application", NewApplication(QStringLiteral("K1"), 900000), kClerk,
         ClerkEditRefusalText(second)},
        {"supervisor on an older application",
         Review(first, QStringLiteral("K1"), ReviewChoice::Return, 500000), kSupervisor,
         SupervisorEditRefusalText(first, second)},
        {"supervisor approving an amount changed meanwhile",
         Review(second, QStringLiteral("K1"), ReviewChoice::Approve, 700000), kSupervisor,
         AmountChangedText(second, 800000, 700000)},
    };
    for (auto c : cases) {
        if (c.application.noAccount.isEmpty()) {
            c.application.noAccount = second;
        }
        const QSqlRecord before = StoredApplication(db(), c.application.noAccount);
        const QuotaSaveResult result = save(c.application, c.user);
        EXPECT_FALSE(result.saved) << c.what;
        EXPECT_EQ(result.title, QStringLiteral("修改")) << c.what;
        EXPECT_EQ(result.message, c.message) << c.what;
        EXPECT_TRUE(
            ChangedColumns(before, StoredApplication(db(), c.application.noAccount)).empty())
            << c.what << ": nothing written";
    }
    // The supervisor may still review the newest one again.
    EXPECT_TRUE(
        save(Review(second, QStringLiteral("K1"), ReviewChoice::Return, 800000), kSupervisor)
            .saved);
}

TEST_P(QuotaApplicationsTest, TheAmountIsCheckedAgainstWhatIsPrintedWhenItIsWritten) {
    AddApplication(db(), Application(QStringLiteral("K1"), 1, 500000, Verdict::Approved));
    const QString sample = AddSample(db(), QStringLiteral("K1"), 1, 100000);
    PrintVouchers(db(), sample, 1, 2);  // 200000 printed since the screen's summary
    const struct {
        qint64 amount;
        bool saved;
    } cases[] = {{199999, false}, {0, false}, {200000, true}, {200001, true}};
    for (const auto& c : cases) {
        const qint64 rows = CountApplications(db());
        const QuotaSaveResult result = save(NewApplication(QStringLiteral("K1"), c.amount), kClerk);
        EXPECT_EQ(result.saved, c.saved) << c.amount;
        EXPECT_EQ(CountApplications(db()), rows + (c.saved ? 1 : 0)) << c.amount;
        if (!c.saved) {
            EXPECT_EQ(result.title, QStringLiteral("表單查核"));
            EXPECT_EQ(result.message, BelowPrintedText(200000, c.amount));
            EXPECT_EQ(result.field, QuotaField::Amount);
        }
    }
    EXPECT_EQ(BelowPrintedText(200000, 199999),
              QStringLiteral("「申請額度」錯誤\r\n\r\n目前的使用額度為：200,000\r\n"
                             "目前申請的額度為：199,999\r\n\r\n此作業將造成剩餘額度不足"));
}

TEST_P(QuotaApplicationsTest, RefusalsWriteNothing) {
    const struct {
        const char* what;
        QuotaApplication application;
        User user;
        QString title;
        QString message;
    } cases[] = {
        {"unknown contract", NewApplication(QStringLiteral("NOSUCH"), 1000), kClerk,
         QStringLiteral("表單查核"), UnknownContractText(QStringLiteral("NOSUCH"))},
        {"supervisor adding", NewApplication(QStringLiteral("K1"), 1000), kSupervisor,
         QStringLiteral("新增"), AddRefusalText()},
        {"no permission adding", NewApplication(QStringLiteral("K1"), 1000), kGuest,
         QStringLiteral("新增"), AddRefusalText()},
        {"negative amount", NewApplication(QStringLiteral("K1"), -5), kClerk,
         QStringLiteral("表單查核"), BadAmountText(QStringLiteral("-5"))},
        {"ten digits", NewApplication(QStringLiteral("K1"), 1000000000), kClerk,
         QStringLiteral("表單查核"), BadAmountText(QStringLiteral("1000000000"))},
    };
    for (const auto& c : cases) {
        const QuotaSaveResult result = save(c.application, c.user);
        EXPECT_FALSE(result.saved) << c.what;
        EXPECT_EQ(result.title, c.title) << c.what;
        EXPECT_EQ(result.message, c.message) << c.what;
    }
    EXPECT_EQ(CountApplications(db()), 0);
}

TEST_P(QuotaApplicationsTest, AFailureInsideTheSaveRollsBackAndLeavesTheConnectionUsable) {
    QuotaApplicationWriter writer(db());
    writer.setBeforeWrite([this](int) {
        // Written inside the transaction, then undone with it.
        db().ConnExecute(Statement(
            QStringLiteral("UPDATE BF_Customer SET NameCompany = '改名' WHERE NoContract = 'K1'")));
        throw Failure(0, QStringLiteral("中途失敗"), QStringLiteral("test"));
    });
    EXPECT_THROW(writer.save(NewApplication(QStringLiteral("K1"), 1000), kClerk), Failure);
    EXPECT_EQ(db().transactionDepth(), 0);
    EXPECT_EQ(db().openUnits(), 0);
    EXPECT_EQ(CountApplications(db()), 0);
    EXPECT_EQ(db().LookupText(Statement(
                  QStringLiteral("SELECT NameCompany FROM BF_Customer WHERE NoContract = 'K1'"))),
              QStringLiteral("晨曦百貨股份有限公司"));

    writer.setBeforeWrite({});
    const QuotaSaveResult result = writer.save(NewApplication(QStringLiteral("K1"), 1000), kClerk);
    EXPECT_TRUE(result.saved);
    EXPECT_EQ(result.noAccount, QStringLiteral("K1-01")) << "the number was not used up";
}

TEST_P(QuotaApplicationsTest, ANumberTakenMeanwhileIsTakenAgainThenRefusedClearly) {
    // The conflicting row lands just before the insert, as another workstation's would that
    // did not wait for the issuer's lock.
    const auto takeNumber = [this](int noItem) {
        db().ConnExecute(
            Statement(QStringLiteral("INSERT INTO OR_Account (NoAccount, NoContract, NoItem, "
                                     "Amount) VALUES (?, 'K1', ?, 1)"),
                      {FormatNoAccount(QStringLiteral("K1"), noItem), noItem}));
    };
    int calls = 0;
    QuotaApplicationWriter writer(db());
    writer.setBeforeWrite([&](int noItem) {
        if (++calls == 1) {
            takeNumber(noItem);
        }
    });
    const QuotaSaveResult retried = writer.save(NewApplication(QStringLiteral("K1"), 1000), kClerk);
    EXPECT_TRUE(retried.saved) << retried.message.toStdString();
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(retried.noAccount, QStringLiteral("K1-01"));
    EXPECT_EQ(CountApplications(db()), 1);

    calls = 0;
    writer.setBeforeWrite([&](int noItem) {
        ++calls;
        takeNumber(noItem);
    });
    const QuotaSaveResult refused = writer.save(NewApplication(QStringLiteral("K1"), 2000), kClerk);
    EXPECT_FALSE(refused.saved);
    EXPECT_EQ(calls, QuotaApplicationWriter::kAttempts);
    EXPECT_EQ(refused.title, QStringLiteral("儲存"));
    EXPECT_TRUE(refused.message.startsWith(QStringLiteral("儲存失敗\r\n\r\n")));
    EXPECT_EQ(CountApplications(db()), 1);
    EXPECT_EQ(db().transactionDepth(), 0);

    writer.setBeforeWrite({});
    EXPECT_EQ(writer.save(NewApplication(QStringLiteral("K1"), 2000), kClerk).noAccount,
              QStringLiteral("K1-02"));
}

// --- Two workstations on one database ---

// A second workstation: its own connection, made and used on its own thread (a connection
// belongs to the thread that made it).
class Workstation {
public:
    Workstation(test::ScratchDatabase& scratch, QuotaApplication application, User user)
        : thread_([this, &scratch, application = std::move(application), user = std::move(user)] {
              try {
                  std::unique_ptr<Database> db = scratch.connect();
                  db->ConnOpen();  // connected before the save is timed
                  db->ConnClose();
                  started_ = true;
                  result_ = QuotaApplicationWriter(*db).save(application, user);
              } catch (const std::exception& failure) {
                  error_ = failure.what();
              }
              done_ = true;
          }) {}
    ~Workstation() { join(); }

    void join() {
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    bool started() const { return started_; }
    bool done() const { return done_; }
    // After join().
    const QuotaSaveResult& result() const { return result_; }
    const std::string& error() const { return error_; }

private:
    std::atomic<bool> started_{false};
    std::atomic<bool> done_{false};
    QuotaSaveResult result_;
    std::string error_;
    std::thread thread_;
};

class TwoWorkstationsTest : public QuotaApplicationsTest {
protected:
    // Waits until the other workstation's save waits for the lock this one holds. False when
    // it finished instead: it did not wait at all.
    bool waitsForTheLock(const Workstation& other) {
        using namespace std::chrono_literals;
        while (!other.started()) {
            std::this_thread::sleep_for(1ms);
        }
        if (GetParam() == test::Backend::Postgres) {
            std::unique_ptr<Database> probe = scratch().connect();
            const Statement waiting(QStringLiteral(
                "SELECT COUNT(*) FROM pg_stat_activity WHERE datname = current_database() "
                "AND wait_event_type = 'Lock'"));
            while (!other.done() && probe->LookupLong(waiting) == 0) {
                std::this_thread::sleep_for(5ms);
            }
        } else {
            // SQLite shows no waiting writer; give it the time to reach its BEGIN IMMEDIATE.
            std::this_thread::sleep_for(300ms);
        }
        return !other.done();
    }
};

TEST_P(TwoWorkstationsTest, TwoClerksAddingAtOnceGetDistinctNumbers) {
    std::unique_ptr<Workstation> other;
    bool waited = false;
    QuotaApplicationWriter writer(db());
    writer.setBeforeWrite([&](int noItem) {
        EXPECT_EQ(noItem, 1);
        other = std::make_unique<Workstation>(
            scratch(), NewApplication(QStringLiteral("K1"), 300000, QStringLiteral("乙")), kClerk);
        waited = waitsForTheLock(*other);
    });
    const QuotaSaveResult mine =
        writer.save(NewApplication(QStringLiteral("K1"), 500000, QStringLiteral("甲")), kClerk);
    ASSERT_TRUE(other);
    other->join();
    EXPECT_TRUE(waited) << "the second workstation did not wait for the first one's lock";
    ASSERT_TRUE(other->error().empty()) << other->error();
    ASSERT_TRUE(mine.saved);
    ASSERT_TRUE(other->result().saved) << other->result().message.toStdString();
    EXPECT_EQ(mine.noAccount, QStringLiteral("K1-01"));
    EXPECT_EQ(other->result().noAccount, QStringLiteral("K1-02"));
    EXPECT_EQ(
        FieldText(StoredApplication(db(), QStringLiteral("K1-01")), QStringLiteral("NoteHandling")),
        QStringLiteral("甲"));
    EXPECT_EQ(
        FieldText(StoredApplication(db(), QStringLiteral("K1-02")), QStringLiteral("NoteHandling")),
        QStringLiteral("乙"));
}

TEST_P(TwoWorkstationsTest, ManySavesFromTwoWorkstationsLoseNothingAndReuseNoNumber) {
    constexpr int kEach = 8;
    std::atomic<int> failures{0};
    const auto clerkSaves = [&](Database& db) {
        QuotaApplicationWriter writer(db);
        for (int i = 0; i < kEach; ++i) {
            try {
                if (!writer.save(NewApplication(QStringLiteral("K1"), 1000 + i), kClerk).saved) {
                    ++failures;
                }
            } catch (const std::exception&) {
                ++failures;
            }
        }
    };
    std::thread other([&] {
        std::unique_ptr<Database> db = scratch().connect();
        clerkSaves(*db);
    });
    clerkSaves(db());
    other.join();
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(CountApplications(db()), 2 * kEach);
    EXPECT_EQ(
        db().LookupLong(Statement(QStringLiteral("SELECT COUNT(DISTINCT NoItem) FROM OR_Account"))),
        2 * kEach);
    EXPECT_EQ(db().LookupLong(Statement(QStringLiteral("SELECT MAX(NoItem) FROM OR_Account"))),
              2 * kEach);
}

TEST_P(TwoWorkstationsTest, AClerksSaveBehindASupervisorsApprovalIsRefused) {
    const QString number =
        AddApplication(db(), Application(QStringLiteral("K1"), 1, 500000, Verdict::None));
    std::unique_ptr<Workstation> clerk;
    bool waited = false;
    QuotaApplicationWriter supervisor(db());
    supervisor.setBeforeWrite([&](int) {
        // The clerk had opened the application while it was pending, and saves now.
        QuotaApplication change = NewApplication(QStringLiteral("K1"), 900000);
        change.noAccount = number;
        clerk = std::make_unique<Workstation>(scratch(), change, kClerk);
        waited = waitsForTheLock(*clerk);
    });
    const QuotaSaveResult approved = supervisor.save(
        Review(number, QStringLiteral("K1"), ReviewChoice::Approve, 500000, QStringLiteral("同意")),
        kSupervisor);
    ASSERT_TRUE(clerk);
    clerk->join();
    EXPECT_TRUE(waited) << "the clerk's save did not wait for the supervisor's lock";
    ASSERT_TRUE(clerk->error().empty()) << clerk->error();
    ASSERT_TRUE(approved.saved);
    EXPECT_FALSE(clerk->result().saved);
    EXPECT_EQ(clerk->result().title, QStringLiteral("修改"));
    EXPECT_EQ(clerk->result().message, ClerkEditRefusalText(number));
    const QSqlRecord row = StoredApplication(db(), number);
    EXPECT_EQ(StoredVerdict(row), 1);
    EXPECT_EQ(FieldInt64(row, QStringLiteral("Amount")), 500000);
    EXPECT_EQ(FieldText(row, QStringLiteral("IdUserVerifyApprove")), QStringLiteral("SUPER"));
    EXPECT_EQ(FieldText(row, QStringLiteral("IdUserModifyLast")), QStringLiteral("SUPER"));
}

TEST_P(TwoWorkstationsTest, AnApprovalBehindAClerksChangeIsRefused) {
    const QString number =
        AddApplication(db(), Application(QStringLiteral("K1"), 1, 500000, Verdict::None));
    std::unique_ptr<Workstation> supervisor;
    bool waited = false;
    QuotaApplicationWriter clerk(db());
    clerk.setBeforeWrite([&](int) {
        // The supervisor saw 500000 and approves it while the clerk raises the amount.
        supervisor = std::make_unique<Workstation>(
            scratch(), Review(number, QStringLiteral("K1"), ReviewChoice::Approve, 500000),
            kSupervisor);
        waited = waitsForTheLock(*supervisor);
    });
    QuotaApplication change = NewApplication(QStringLiteral("K1"), 5000000);
    change.noAccount = number;
    const QuotaSaveResult changed = clerk.save(change, kClerk);
    ASSERT_TRUE(supervisor);
    supervisor->join();
    EXPECT_TRUE(waited);
    ASSERT_TRUE(supervisor->error().empty()) << supervisor->error();
    ASSERT_TRUE(changed.saved);
    EXPECT_FALSE(supervisor->result().saved);
    EXPECT_EQ(supervisor->result().message, AmountChangedText(number, 5000000, 500000));
    const QSqlRecord row = StoredApplication(db(), number);
    EXPECT_EQ(StoredVerdict(row), std::nullopt) << "an amount nobody approved stays unapproved";
    EXPECT_EQ(FieldInt64(row, QStringLiteral("Amount")), 5000000);
}

QUORVANE_INSTANTIATE_BACKENDS(QuotaApplicationsTest);
QUORVANE_INSTANTIATE_BACKENDS(TwoWorkstationsTest);

}  // namespace
}  // namespace quorvane
