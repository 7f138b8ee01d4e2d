#include "masterdata/rules/Logins.h"

#include "core/Password.h"
#include "db/FieldReaders.h"
#include "db/SchemaInstaller.h"
#include "masterdata/rules/UserAccounts.h"
#include "support/Fixtures.h"
#include "support/TestDatabase.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <vector>

namespace quorvane {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;
using test::AddUser;
using test::StoredUser;

const QString kRefused = QStringLiteral("登入帳號或密碼錯誤");
const Workstation kDesk{QStringLiteral("TRUST-PC-07"), QStringLiteral("10.1.2.7")};

TEST(LoginWaits, DoubleFromOneSecondUpToTheLongest) {
    const struct {
        int failures;
        milliseconds wait;
    } cases[] = {
        {-1, milliseconds(0)}, {0, milliseconds(0)}, {1, seconds(1)},     {2, seconds(2)},
        {3, seconds(4)},       {4, seconds(8)},      {5, seconds(16)},    {6, seconds(30)},
        {7, seconds(30)},      {40, seconds(30)},    {1000, seconds(30)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Logins::WaitAfter(c.failures), c.wait) << c.failures;
    }
}

class LoginsTest : public test::BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        settings_ =
            std::make_unique<SettingsStore>(folder_.filePath(QStringLiteral("Quorvane.conf")));
        addUser(QStringLiteral("ADMIN"), HashPassword(QStringLiteral("Sec ret1")), false, false,
                true, QStringLiteral("王小明"));
        // Passwords stored before the minimum length still log in.
        addUser(QStringLiteral("clerk"), EncodePassword(QStringLiteral("abc")), true, false, false);
        addUser(QStringLiteral("王經辦"), EncodePassword(QStringLiteral("中文pw")), true, true,
                false);
        addUser(QStringLiteral("NOPWD"), QVariant(QMetaType::fromType<QString>()));
        addUser(QStringLiteral("BLANK"), QString(QLatin1String("")));
    }

    void addUser(const QString& id, const QVariant& pwd, bool handling = false, bool verify = false,
                 bool system = false, const QString& name = QStringLiteral("測試")) {
        AddUser(db(), {id, name, handling, verify, system}, pwd);
    }

    Logins logins(Database& database) { return Logins(database, *settings_, kDesk); }

    // The stored count of failures in a row and the lock of an account.
    std::pair<int, bool> stored(const QString& id) {
        const QSqlRecord row = StoredUser(db(), id);
        return {FieldLong(row, QStringLiteral("LoginFailures")),
                FieldBoolean(row, QStringLiteral("Locked"))};
    }
    qint64 logged(const QString& where = QStringLiteral("1 = 1")) {
        return db().LookupInt64(
            Statement(QStringLiteral("SELECT COUNT(*) FROM SYS_LoginFailure WHERE ") + where));
    }

    QTemporaryDir folder_;
    std::unique_ptr<SettingsStore> settings_;
};

TEST_P(LoginsTest, AcceptsOnlyTheMatchingPassword) {
    struct Case {
        QString id;
        QString password;
        QString storedId;  // empty: refused
    };
    const std::vector<Case> cases = {
        {QStringLiteral("  admin "), QStringLiteral("Sec ret1"), QStringLiteral("ADMIN")},
        {QStringLiteral("ADMIN"), QStringLiteral("  Sec ret1  "), QStringLiteral("ADMIN")},
        {QStringLiteral("ADMIN"), QStringLiteral("sec ret1"), QString()},
        {QStringLiteral("ADMIN"), QStringLiteral("Secret1"), QString()},
        {QStringLiteral("ADMIN"), QString(), QString()},
        {QStringLiteral("Clerk"), QStringLiteral("abc"), QStringLiteral("clerk")},
        {QStringLiteral("CLERK"), QStringLiteral("ABC"), QString()},
        {QStringLiteral("王經辦"), QStringLiteral("中文pw"), QStringLiteral("王經辦")},
        {QStringLiteral("NOPWD"), QString(), QStringLiteral("NOPWD")},
        {QStringLiteral("NOPWD"), QStringLiteral("x"), QString()},
        {QStringLiteral("BLANK"), QStringLiteral("   "), QStringLiteral("BLANK")},
        {QStringLiteral("NOBODY"), QString(), QString()},
        {QStringLiteral("' OR '1'='1"), QStringLiteral("' OR '1'='1"), QString()},
        {QStringLiteral("ADMIN'; DELETE FROM BF_User; --"), QStringLiteral("x"), QString()},
        {QString(10000, QLatin1Char('A')), QString(10000, QLatin1Char('p')), QString()},
        {QStringLiteral("AD\x01MIN\t"), QStringLiteral("Sec ret1\r\n"), QString()},
    };
    Logins rules = logins(db());
    for (const Case& c : cases) {
        const LoginOutcome outcome = rules.check(c.id, c.password);
        if (c.storedId.isEmpty()) {
            EXPECT_FALSE(outcome.user.has_value()) << c.id.left(40).toStdString();
            EXPECT_TRUE(outcome.message.startsWith(kRefused)) << outcome.message.toStdString();
            EXPECT_FALSE(outcome.locked);
        } else {
            ASSERT_TRUE(outcome.user.has_value()) << c.id.toStdString();
            EXPECT_EQ(outcome.user->IdUser, c.storedId);
            EXPECT_EQ(outcome.wait, milliseconds(0));
            EXPECT_EQ(settings_->GetIdUserLastLogin(), c.storedId);
        }
    }
    EXPECT_EQ(db().LookupLong(Statement(QStringLiteral("SELECT COUNT(*) FROM BF_User"))), 5);
    EXPECT_EQ(logged(), 10);
}

TEST_P(LoginsTest, CopiesTheUsersFlagsAndRemembersOnlySuccessfulLogins) {
    Logins rules = logins(db());
    EXPECT_FALSE(rules.check(QStringLiteral("ADMIN"), QStringLiteral("bad")).user);
    EXPECT_EQ(settings_->GetIdUserLastLogin(), QString());

    const std::optional<User> admin =
        rules.check(QStringLiteral("admin"), QStringLiteral("Sec ret1")).user;
    ASSERT_TRUE(admin.has_value());
    EXPECT_EQ(admin->NameUser, QStringLiteral("王小明"));
    EXPECT_FALSE(admin->PMI_Handling);
    EXPECT_FALSE(admin->PMI_Verify);
    EXPECT_TRUE(admin->PMI_System);

    const std::optional<User> both =
        rules.check(QStringLiteral("王經辦"), QStringLiteral("中文pw")).user;
    ASSERT_TRUE(both.has_value());
    EXPECT_TRUE(both->PMI_Handling);
    EXPECT_TRUE(both->PMI_Verify);
    EXPECT_FALSE(both->PMI_System);
    EXPECT_EQ(db().openUnits(), 0);
    EXPECT_EQ(db().transactionDepth(), 0);
}

TEST_P(LoginsTest, SixWrongPasswordsLockTheAccountUntilAnAdministratorUnlocksIt) {
    Logins rules = logins(db());
    const QString locked = Logins::LockedText(QStringLiteral("clerk"));
    EXPECT_EQ(locked, QStringLiteral("帳號 [clerk] 已因連續 5 次登入失敗而鎖定，無法登入\r\n\r\n"
                                     "請洽系統管理者（具「系統」權限的使用者）於"
                                     "「設定」選單的「E4-使用者帳號設定」解除鎖定"));
    const struct {
        milliseconds wait;
        bool locked;
        QString message;
    } wrong[] = {
        {seconds(1), false, kRefused + QStringLiteral("\r\n\r\n請於 1 秒後再試")},
        {seconds(2), false, kRefused + QStringLiteral("\r\n\r\n請於 2 秒後再試")},
        {seconds(4), false, kRefused + QStringLiteral("\r\n\r\n請於 4 秒後再試")},
        {seconds(8), false, kRefused + QStringLiteral("\r\n\r\n請於 8 秒後再試")},
        {seconds(16), true, kRefused + QStringLiteral("\r\n\r\n") + locked},
        {seconds(30), true, locked},
    };
    int n = 0;
    for (const auto& expected : wrong) {
        SCOPED_TRACE(++n);
        const LoginOutcome outcome =
            rules.check(QStringLiteral("CLERK"), QStringLiteral("guess%1").arg(n));
        EXPECT_FALSE(outcome.user.has_value());
        EXPECT_EQ(outcome.wait, expected.wait);
        EXPECT_EQ(outcome.locked, expected.locked);
        EXPECT_EQ(outcome.message, expected.message);
    }
    EXPECT_EQ(stored(QStringLiteral("clerk")), std::make_pair(5, true));
    EXPECT_TRUE(
        FieldDateTime(StoredUser(db(), QStringLiteral("clerk")), QStringLiteral("TimeLocked"))
            .isValid());

    // The right password is refused now, also after a restart (a new connection).
    const LoginOutcome right = rules.check(QStringLiteral("clerk"), QStringLiteral("abc"));
    EXPECT_FALSE(right.user.has_value());
    EXPECT_EQ(right.message, locked);
    const std::unique_ptr<Database> restarted = scratch().connect();
    Logins afterRestart = logins(*restarted);
    EXPECT_FALSE(afterRestart.check(QStringLiteral("clerk"), QStringLiteral("abc")).user);
    EXPECT_EQ(logged(QStringLiteral("IdUser = 'clerk'")), 8);
    EXPECT_EQ(settings_->GetIdUserLastLogin(), QString());

    // Only an administrator unlocks it.
    UserAccounts accounts(*restarted);
    const UserAccounts::Outcome byClerk = accounts.unlock(test::kClerk, QStringLiteral("clerk"));
    EXPECT_EQ(byClerk.refusal, UserAccounts::Refusal::NotAdministrator);
    EXPECT_EQ(byClerk.message, UserAccounts::UnlockRefusalText());
    EXPECT_EQ(stored(QStringLiteral("clerk")), std::make_pair(5, true));
    EXPECT_EQ(accounts.unlock(test::kAdmin, QStringLiteral("GONE")).refusal,
              UserAccounts::Refusal::NotFound);

    ASSERT_TRUE(accounts.unlock(test::kAdmin, QStringLiteral("clerk")).ok());
    const QSqlRecord row = StoredUser(db(), QStringLiteral("clerk"));
    EXPECT_EQ(stored(QStringLiteral("clerk")), std::make_pair(0, false));
    EXPECT_TRUE(row.value(QStringLiteral("TimeLocked")).isNull());
    EXPECT_EQ(FieldText(row, QStringLiteral("IdUserModifyLast")), QStringLiteral("ADMIN"));
    const LoginOutcome unlocked =
        afterRestart.check(QStringLiteral("clerk"), QStringLiteral("abc"));
    ASSERT_TRUE(unlocked.user.has_value());
    EXPECT_EQ(unlocked.user->IdUser, QStringLiteral("clerk"));
}

TEST_P(LoginsTest, ASuccessfulLoginSetsTheCountBackToZero) {
    Logins rules = logins(db());
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < Logins::kFailuresToLock - 1; ++i) {
            EXPECT_FALSE(rules.check(QStringLiteral("admin"), QStringLiteral("wrong")).locked);
        }
        EXPECT_EQ(stored(QStringLiteral("ADMIN")),
                  std::make_pair(Logins::kFailuresToLock - 1, false));
        ASSERT_TRUE(rules.check(QStringLiteral("admin"), QStringLiteral("Sec ret1")).user);
        EXPECT_EQ(stored(QStringLiteral("ADMIN")), std::make_pair(0, false));
    }
    // The next failure waits from the start again.
    EXPECT_EQ(rules.check(QStringLiteral("admin"), QStringLiteral("wrong")).wait, seconds(1));
}

TEST_P(LoginsTest, TheWaitFollowsTheAccountEvenOnAnotherLoginScreen) {
    Logins first = logins(db());
    EXPECT_EQ(first.check(QStringLiteral("ADMIN"), QStringLiteral("x")).wait, seconds(1));
    EXPECT_EQ(first.check(QStringLiteral("ADMIN"), QStringLiteral("x")).wait, seconds(2));
    Logins second = logins(db());
    EXPECT_EQ(second.check(QStringLiteral("ADMIN"), QStringLiteral("x")).wait, seconds(4));
    // Refusals in a row count on the screen too, whichever ids were typed; ids that name no
    // account lock nothing.
    EXPECT_EQ(second.check(QStringLiteral("NOBODY"), QStringLiteral("x")).wait, seconds(2));
    EXPECT_EQ(second.check(QStringLiteral("NOBODY"), QStringLiteral("x")).wait, seconds(4));
    const LoginOutcome unknown = second.check(QStringLiteral("NOBODY2"), QStringLiteral("x"));
    EXPECT_EQ(unknown.wait, seconds(8));
    EXPECT_FALSE(unknown.locked);
    EXPECT_EQ(unknown.message, kRefused + QStringLiteral("\r\n\r\n請於 8 秒後再試"));
    EXPECT_EQ(second.check(QStringLiteral("ADMIN"), QStringLiteral("x")).wait, seconds(16))
        << "the screen's five refusals in a row outweigh the account's four";
}

TEST_P(LoginsTest, EachFailureIsLoggedWithServerTimeIdAndWorkstation) {
    const QDateTime before = db().GetServerTime();
    Logins rules = logins(db());
    rules.check(QStringLiteral("  admin "), QStringLiteral("wrong"));
    rules.check(QStringLiteral(" 不存在的帳號ABCDEFGHIJKLMNOP "), QStringLiteral("x"));
    const QDateTime after = db().GetServerTime();

    UnitOfWork unit(db());
    QSqlQuery query = db().Query(Statement(
        QStringLiteral("SELECT TimeFailure, IdUserTyped, IdUser, NameClientName, NameClientIP "
                       "FROM SYS_LoginFailure ORDER BY IdLoginFailure")));
    const struct {
        QString typed;
        QVariant account;
    } expected[] = {
        {QStringLiteral("admin"), QStringLiteral("ADMIN")},
        {QStringLiteral("不存在的帳號ABCDEFGHIJ"), QVariant()},
    };
    for (const auto& e : expected) {
        ASSERT_TRUE(query.next());
        const QDateTime time = FieldDateTime(query.value(0));
        EXPECT_GE(time, before);
        EXPECT_LE(time, after);
        EXPECT_EQ(query.value(1).toString(), e.typed);
        EXPECT_EQ(query.value(2).isNull(), e.account.isNull());
        EXPECT_EQ(query.value(2).toString(), e.account.toString());
        EXPECT_EQ(query.value(3).toString(), kDesk.name);
        EXPECT_EQ(query.value(4).toString(), kDesk.ip);
    }
    EXPECT_FALSE(query.next());
}

TEST_P(LoginsTest, ThisWorkstationIsNamedByItsHostFacts) {
    const Workstation here = Workstation::ThisOne();
    EXPECT_FALSE(here.name.isEmpty());
    Logins rules(db(), *settings_);
    rules.check(QStringLiteral("NOBODY"), QString());
    EXPECT_EQ(db().LookupText(Statement(QStringLiteral("SELECT NameClientName FROM "
                                                       "SYS_LoginFailure"))),
              here.name);
}

QUORVANE_INSTANTIATE_BACKENDS(LoginsTest);

// An account kept through the upgrade from the first release logs in with its old password
// and is locked like any other.
class UpgradedLoginsTest : public testing::TestWithParam<test::Backend> {};

TEST_P(UpgradedLoginsTest, AnAccountFromVersionOneLogsInAndLocks) {
    test::ScratchDatabase scratch(GetParam());
    const std::unique_ptr<Database> db = scratch.connect();
    test::InstallSchemaVersion1(*db);
    AddUser(*db, test::kClerk, EncodePassword(QStringLiteral("abc")));
    ASSERT_EQ(SchemaInstaller::Upgrade(*db), 1);

    QTemporaryDir folder;
    const SettingsStore settings(folder.filePath(QStringLiteral("Quorvane.conf")));
    Logins rules(*db, settings, kDesk);
    EXPECT_TRUE(rules.check(QStringLiteral("clerk"), QStringLiteral("abc")).user);
    for (int i = 0; i < Logins::kFailuresToLock; ++i) {
        rules.check(QStringLiteral("clerk"), QStringLiteral("wrong"));
    }
    const LoginOutcome outcome = rules.check(QStringLiteral("clerk"), QStringLiteral("abc"));
    EXPECT_FALSE(outcome.user);
    EXPECT_TRUE(outcome.locked);
}

QUORVANE_INSTANTIATE_BACKENDS(UpgradedLoginsTest);

}  // namespace
}  // namespace quorvane
