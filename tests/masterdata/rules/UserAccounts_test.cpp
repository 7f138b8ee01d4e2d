#include "masterdata/rules/UserAccounts.h"
#include "core/Text.h"

#include "core/Failure.h"
#include "core/Password.h"
#include "db/FieldReaders.h"
#include "db/SchemaInstaller.h"
#include "support/Fixtures.h"
#include "support/TestDatabase.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace quorvane {
namespace {

using test::AddUser;
using test::CountRows;
using test::kAdmin;
using test::kClerk;
using test::kGuest;
using test::kSupervisor;
using test::StoredUser;

using Refusal = UserAccounts::Refusal;

const QString kLongEnough = QStringLiteral("Long enough");

TEST(UserAccountRules, WhoMayDoWhat) {
    const struct {
        const char* label;
        User actor;
        QString account;
        bool mayAdd;
        bool mayDelete;
        bool mayModify;
        bool mayChangeRole;
    } cases[] = {
        {"administrator, another account", kAdmin, QStringLiteral("CLERK"), true, true, true, true},
        {"administrator, own account", kAdmin, QStringLiteral("ADMIN"), true, true, true, false},
        {"administrator, own account in other case", kAdmin, QStringLiteral("admin"), true, true,
         true, false},
        {"clerk, own account", kClerk, QStringLiteral("CLERK"), false, false, true, false},
        {"clerk, another account", kClerk, QStringLiteral("ADMIN"), false, false, false, false},
        {"supervisor, own account", kSupervisor, QStringLiteral("SUPER"), false, false, true,
         false},
        {"no role, own account", kGuest, QStringLiteral("GUEST"), false, false, true, false},
        {"no role, another account", kGuest, QStringLiteral("SUPER"), false, false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(UserAccounts::MayAdd(c.actor), c.mayAdd);
        EXPECT_EQ(UserAccounts::MayDelete(c.actor), c.mayDelete);
        EXPECT_EQ(UserAccounts::MayModify(c.actor, c.account), c.mayModify);
        EXPECT_EQ(UserAccounts::MayChangeRole(c.actor, c.account), c.mayChangeRole);
    }
    EXPECT_FALSE(UserAccounts::IsOwnAccount(User{}, QString())) << "nobody logged in";
}

TEST(UserAccountRules, PermissionRefusalsNameTheMissingRole) {
    EXPECT_EQ(UserAccounts::AddRefusalText(),
              QStringLiteral("新增失敗\r\n\r\n您的使用者帳號不具「系統」權限，不允許新增使用者"));
    EXPECT_EQ(UserAccounts::EditRefusalText(),
              QStringLiteral("修改失敗\r\n\r\n您的使用者帳號不具「系統」權限，"
                             "不允許修改其他使用者的帳號"));
    EXPECT_EQ(UserAccounts::DeleteRefusalText(),
              QStringLiteral("刪除失敗\r\n\r\n您的使用者帳號不具「系統」權限，不允許刪除使用者"));
}

TEST(UserAccountRules, RolesAndTheirFlags) {
    EXPECT_EQ(FlagsOf(UserRole::Handling), (RoleFlags{true, false, false}));
    EXPECT_EQ(FlagsOf(UserRole::Verify), (RoleFlags{false, true, false}));
    EXPECT_EQ(FlagsOf(UserRole::System), (RoleFlags{false, false, true}));
    const struct {
        RoleFlags flags;
        std::optional<UserRole> role;
    } stored[] = {
        {{true, false, false}, UserRole::Handling},
        {{false, true, false}, UserRole::Verify},
        {{false, false, true}, UserRole::System},
        {{true, true, false}, UserRole::Handling},  // the clerk's role takes precedence
        {{true, true, true}, UserRole::System},
        {{false, false, false}, std::nullopt},
    };
    for (const auto& c : stored) {
        EXPECT_EQ(RoleOf(c.flags), c.role) << c.flags.handling << c.flags.verify << c.flags.system;
    }
}

TEST(UserAccountRules, NewIdsAreTrimmedOfSpacesAndUpperCased) {
    EXPECT_EQ(UserAccounts::NewId(QStringLiteral("  alice ")), QStringLiteral("ALICE"));
    EXPECT_EQ(UserAccounts::NewId(QStringLiteral("a b")), QStringLiteral("A B"));
    EXPECT_EQ(UserAccounts::NewId(QStringLiteral("\tbob")), QStringLiteral("\tBOB"))
        << "only spaces are trimmed, as the login trims";
    EXPECT_EQ(TrimSpaces(QStringLiteral("  Pa ss  ")), QStringLiteral("Pa ss"));
}

class UserAccountsTest : public test::BackendTest {
protected:
    RoleFlags flags(const QString& id) {
        const QSqlRecord row = StoredUser(db(), id);
        return {FieldBoolean(row, QStringLiteral("PMI_Handling")),
                FieldBoolean(row, QStringLiteral("PMI_Verify")),
                FieldBoolean(row, QStringLiteral("PMI_System"))};
    }
    qint64 count() { return CountRows(db(), QStringLiteral("BF_User")); }

    UserAccounts accounts() { return UserAccounts(db()); }
};

TEST_P(UserAccountsTest, AddStoresTheUpperCaseIdAHashOfTheTrimmedPasswordAndTheRole) {
    const struct {
        UserRole role;
        RoleFlags flags;
    } cases[] = {
        {UserRole::Handling, {true, false, false}},
        {UserRole::Verify, {false, true, false}},
        {UserRole::System, {false, false, true}},
    };
    int n = 0;
    for (const auto& c : cases) {
        const QString typed = QStringLiteral(" user%1 ").arg(++n);
        const QString id = QStringLiteral("USER%1").arg(n);
        const UserAccounts::Outcome outcome =
            accounts().add(kAdmin, {typed, QStringLiteral("小明"), QStringLiteral("O'Brien"),
                                    c.role, QStringLiteral("  Se cret! ")});
        ASSERT_TRUE(outcome.ok()) << outcome.message.toStdString();
        EXPECT_EQ(outcome.IdUser, id);
        const QSqlRecord row = StoredUser(db(), id);
        ASSERT_FALSE(row.isEmpty());
        EXPECT_EQ(flags(id), c.flags);
        const QString pwd = FieldText(row, QStringLiteral("PWD"));
        EXPECT_TRUE(pwd.startsWith(QStringLiteral("$argon2id$"))) << pwd.toStdString();
        EXPECT_TRUE(PasswordMatches(pwd, QStringLiteral("Se cret!")));
        EXPECT_FALSE(PasswordMatches(pwd, QStringLiteral("se cret!"))) << "case counts";
        EXPECT_EQ(FieldText(row, QStringLiteral("NameUser")), QStringLiteral("小明"));
        EXPECT_EQ(FieldText(row, QStringLiteral("Note")), QStringLiteral("O'Brien"));
        EXPECT_EQ(FieldText(row, QStringLiteral("IdUserAddNew")), QStringLiteral("ADMIN"));
        EXPECT_TRUE(FieldDateTime(row, QStringLiteral("TimeAddNew")).isValid());
    }
    // No role given: a new account is a clerk.
    ASSERT_TRUE(accounts()
                    .add(kAdmin, {QStringLiteral("plain"), {}, {}, {}, QStringLiteral("12345678")})
                    .ok());
    EXPECT_EQ(flags(QStringLiteral("PLAIN")), (RoleFlags{true, false, false}));
}

TEST_P(UserAccountsTest, AddRefusalsWriteNothing) {
    AddUser(db(), {QStringLiteral("Admin"), {}, false, false, true}, QStringLiteral("979899"));
    const struct {
        const char* label;
        User actor;
        QString id;
        Refusal refusal;
        QString message;
    } cases[] = {
        {"not an administrator", kClerk, QStringLiteral("NEW"), Refusal::NotAdministrator,
         QStringLiteral("新增失敗\r\n\r\n您的使用者帳號不具「系統」權限，不允許新增使用者")},
        {"blank id", kAdmin, QStringLiteral("   "), Refusal::BlankId,
         QStringLiteral("儲存失敗\r\n\r\n使用者帳號尚未輸入")},
        {"a character the login drops", kAdmin, QStringLiteral("a.b"), Refusal::IdNotTypeable,
         QStringLiteral("儲存失敗\r\n\r\n使用者帳號 [A.B] 含有登入時無法輸入的字元")},
        {"differs only in case", kAdmin, QStringLiteral("admin"), Refusal::IdDiffersInCase,
         QStringLiteral("儲存失敗\r\n\r\n使用者帳號 [ADMIN] 與已有的帳號 [Admin] 只有大小寫不同"
                        "\r\n登入時不分大小寫，請改用其他帳號")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const UserAccounts::Outcome outcome =
            accounts().add(c.actor, {c.id, {}, {}, UserRole::Handling, kLongEnough});
        EXPECT_EQ(outcome.refusal, c.refusal);
        EXPECT_EQ(outcome.message, c.message);
        EXPECT_EQ(count(), 1);
    }
    EXPECT_EQ(db().transactionDepth(), 0);
}

TEST_P(UserAccountsTest, AnExistingIdIsRefusedByTheTable) {
    AddUser(db(), {QStringLiteral("BOB"), {}, true, false, false}, QStringLiteral("979899"));
    EXPECT_THROW(accounts().add(kAdmin, {QStringLiteral("bob"), {}, {}, {}, kLongEnough}),
                 DatabaseFailure);
    EXPECT_EQ(count(), 1);
    EXPECT_EQ(FieldText(StoredUser(db(), QStringLiteral("BOB")), QStringLiteral("PWD")),
              QStringLiteral("979899"));
    // The table itself refuses ids that differ only in case, whoever writes them.
    EXPECT_THROW(AddUser(db(), {QStringLiteral("Bob"), {}, true, false, false}, QString()),
                 DatabaseFailure);
    EXPECT_EQ(db().transactionDepth(), 0);
    EXPECT_TRUE(accounts().add(kAdmin, {QStringLiteral("bobby"), {}, {}, {}, kLongEnough}).ok())
        << "the connection is usable after the refused insert";
}

TEST_P(UserAccountsTest, ModifyLeavesAnUntouchedPasswordAndRoleExactlyAsStored) {
    const QString hash = HashPassword(QStringLiteral("old"));
    const struct {
        QString id;
        QVariant password;
        RoleFlags flags;
    } rows[] = {
        {QStringLiteral("ENCODED"), QStringLiteral("-23388979899"), {true, true, false}},
        {QStringLiteral("HASHED"), hash, {false, true, false}},
        {QStringLiteral("NONE"), QVariant(QMetaType::fromType<QString>()), {false, false, false}},
    };
    AddUser(db(), {QStringLiteral("ADMIN"), {}, false, false, true}, QString());
    for (const auto& row : rows) {
        AddUser(db(), {row.id, {}, row.flags.handling, row.flags.verify, row.flags.system},
                row.password);
        const UserAccounts::Outcome outcome = accounts().modify(
            kAdmin, {row.id, QStringLiteral("新名"), QStringLiteral("備註"), {}, {}});
        ASSERT_TRUE(outcome.ok()) << outcome.message.toStdString();
        const QSqlRecord after = StoredUser(db(), row.id);
        EXPECT_EQ(after.value(QStringLiteral("PWD")).isNull(), row.password.isNull());
        EXPECT_EQ(FieldText(after, QStringLiteral("PWD")), row.password.toString());
        EXPECT_EQ(flags(row.id), row.flags);
        EXPECT_EQ(FieldText(after, QStringLiteral("NameUser")), QStringLiteral("新名"));
        EXPECT_EQ(FieldText(after, QStringLiteral("IdUserModifyFirst")), QStringLiteral("ADMIN"));
        EXPECT_EQ(FieldText(after, QStringLiteral("IdUserModifyLast")), QStringLiteral("ADMIN"));
    }
}

TEST_P(UserAccountsTest, ModifyWithAPasswordStoresItsHash) {
    AddUser(db(), {QStringLiteral("CLERK"), {}, true, false, false}, QStringLiteral("979899"));
    ASSERT_TRUE(
        accounts()
            .modify(kClerk, {QStringLiteral("CLERK"), {}, {}, {}, QStringLiteral(" New1 pwd ")})
            .ok());
    const QString pwd = FieldText(StoredUser(db(), QStringLiteral("CLERK")), QStringLiteral("PWD"));
    EXPECT_TRUE(PasswordMatches(pwd, QStringLiteral("New1 pwd")));
    EXPECT_FALSE(PasswordMatches(pwd, QStringLiteral("abc"))) << "the old password is gone";
    EXPECT_NE(pwd, HashPassword(QStringLiteral("New1 pwd"))) << "salted";
}

TEST_P(UserAccountsTest, NewPasswordsHaveAtLeastEightCharactersAndOldOnesStay) {
    AddUser(db(), {QStringLiteral("CLERK"), {}, true, false, false}, QStringLiteral("979899"));
    const QString message = QStringLiteral("儲存失敗\r\n\r\n密碼長度不足，至少須 8 個字元");
    const struct {
        const char* label;
        QString password;
        bool accepted;
    } cases[] = {
        {"empty", QString(), false},
        {"seven characters", QStringLiteral("1234567"), false},
        {"seven inside spaces", QStringLiteral("  abc def  "), false},
        {"eight characters", QStringLiteral("abcd1234"), true},
        {"eight Chinese characters", QStringLiteral("中文密碼也算字元"), true},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const QString id = QStringLiteral("NEW%1").arg(++n);
        const UserAccounts::Outcome added = accounts().add(kAdmin, {id, {}, {}, {}, c.password});
        const UserAccounts::Outcome modified =
            accounts().modify(kClerk, {QStringLiteral("CLERK"), {}, {}, {}, c.password});
        for (const UserAccounts::Outcome& outcome : {added, modified}) {
            EXPECT_EQ(outcome.ok(), c.accepted);
            if (!c.accepted) {
                EXPECT_EQ(outcome.refusal, Refusal::PasswordTooShort);
                EXPECT_EQ(outcome.message, message);
            }
        }
        EXPECT_EQ(StoredUser(db(), id).isEmpty(), !c.accepted);
        if (!c.accepted) {
            EXPECT_EQ(FieldText(StoredUser(db(), QStringLiteral("CLERK")), QStringLiteral("PWD")),
                      QStringLiteral("979899"));
        }
    }
    // Saving anything else leaves a short stored password alone.
    AddUser(db(), {QStringLiteral("OLD"), {}, true, false, false}, QStringLiteral("979899"));
    EXPECT_TRUE(accounts()
                    .modify(kAdmin, {QStringLiteral("OLD"), QStringLiteral("新名"), {}, {}, {}})
                    .ok());
    EXPECT_EQ(FieldText(StoredUser(db(), QStringLiteral("OLD")), QStringLiteral("PWD")),
              QStringLiteral("979899"));
}

TEST_P(UserAccountsTest, NobodyChangesTheirOwnRole) {
    AddUser(db(), {QStringLiteral("ADMIN"), {}, false, false, true}, QString());
    AddUser(db(), {QStringLiteral("ADMIN2"), {}, false, false, true}, QString());
    AddUser(db(), {QStringLiteral("CLERK"), {}, true, false, false}, QString());
    const QString message = QStringLiteral(
        "儲存失敗\r\n\r\n不允許變更自己的使用者權限\r\n請由其他具「系統」權限的使用者變更");
    const struct {
        const char* label;
        User actor;
        UserRole role;
    } cases[] = {
        {"administrator demoting themselves", kAdmin, UserRole::Handling},
        {"clerk making themselves administrator", kClerk, UserRole::System},
        {"clerk making themselves supervisor", kClerk, UserRole::Verify},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const RoleFlags before = flags(c.actor.IdUser);
        const UserAccounts::Outcome outcome =
            accounts().modify(c.actor, {c.actor.IdUser, QStringLiteral("改名"), {}, c.role, {}});
        EXPECT_EQ(outcome.refusal, Refusal::OwnRole);
        EXPECT_EQ(outcome.message, message);
        EXPECT_EQ(flags(c.actor.IdUser), before);
        EXPECT_TRUE(
            FieldText(StoredUser(db(), c.actor.IdUser), QStringLiteral("NameUser")).isEmpty());
    }
    // Giving one's own role unchanged is no change.
    EXPECT_TRUE(
        accounts().modify(kClerk, {QStringLiteral("CLERK"), {}, {}, UserRole::Handling, {}}).ok());
}

TEST_P(UserAccountsTest, OnlyAnAdministratorModifiesSomeoneElse) {
    AddUser(db(), {QStringLiteral("ADMIN"), {}, false, false, true}, QStringLiteral("979899"));
    const UserAccounts::Outcome outcome = accounts().modify(
        kClerk, {QStringLiteral("ADMIN"), QStringLiteral("X"), {}, {}, QStringLiteral("p")});
    EXPECT_EQ(outcome.refusal, Refusal::OtherAccount);
    EXPECT_EQ(outcome.message, QStringLiteral("儲存失敗\r\n\r\n您的使用者帳號不具「系統」權限，"
                                              "不允許修改其他使用者的帳號"));
    EXPECT_EQ(FieldText(StoredUser(db(), QStringLiteral("ADMIN")), QStringLiteral("PWD")),
              QStringLiteral("979899"));
}

TEST_P(UserAccountsTest, AnAdministratorChangesAnotherAccountsRole) {
    AddUser(db(), {QStringLiteral("ADMIN"), {}, false, false, true}, QString());
    AddUser(db(), {QStringLiteral("BOB"), {}, true, true, false}, QString());
    for (const UserRole role : {UserRole::Verify, UserRole::System, UserRole::Handling}) {
        ASSERT_TRUE(accounts().modify(kAdmin, {QStringLiteral("BOB"), {}, {}, role, {}}).ok());
        EXPECT_EQ(flags(QStringLiteral("BOB")), FlagsOf(role));
    }
}

TEST_P(UserAccountsTest, ModifyOfAnAccountDeletedMeanwhileSaysSo) {
    const UserAccounts::Outcome outcome =
        accounts().modify(kAdmin, {QStringLiteral("GONE"), {}, {}, {}, {}});
    EXPECT_EQ(outcome.refusal, Refusal::NotFound);
    EXPECT_EQ(outcome.message,
              QStringLiteral("儲存失敗\r\n\r\n無此筆紀錄 [GONE]\r\n此帳號可能已被其他使用者刪除"));
    EXPECT_EQ(count(), 0);
}

// Two administrators, each on a workstation still logged in as administrator after the other
// took that role away: whatever the screens believe, the table keeps one administrator.
TEST_P(UserAccountsTest, TheLastAdministratorCanBeNeitherDemotedNorDeleted) {
    AddUser(db(), {QStringLiteral("ANNA"), {}, false, false, true}, QString());
    AddUser(db(), {QStringLiteral("BEN"), {}, false, false, true}, QString());
    const User anna{QStringLiteral("ANNA"), {}, false, false, true};
    const User ben{QStringLiteral("BEN"), {}, false, false, true};
    auto other = scratch().connect();
    UserAccounts first(db());
    UserAccounts second(*other);

    ASSERT_TRUE(first.modify(anna, {QStringLiteral("BEN"), {}, {}, UserRole::Verify, {}}).ok());
    const UserAccounts::Outcome demoted =
        second.modify(ben, {QStringLiteral("ANNA"), {}, {}, UserRole::Handling, {}});
    EXPECT_EQ(demoted.refusal, Refusal::LastAdministrator);
    EXPECT_EQ(demoted.message,
              QStringLiteral("儲存失敗\r\n\r\n使用者 [ANNA] 是唯一具「系統」權限的使用者\r\n"
                             "取消其「系統」權限後將無人能維護使用者帳號"));
    EXPECT_TRUE(flags(QStringLiteral("ANNA")).system);

    const QString lastDelete = QStringLiteral(
        "刪除失敗\r\n\r\n使用者 [ANNA] 是唯一具「系統」權限的使用者\r\n"
        "刪除後將無人能維護使用者帳號");
    EXPECT_EQ(second.checkRemove(ben, QStringLiteral("ANNA")).message, lastDelete);
    const UserAccounts::Outcome deleted = second.remove(ben, QStringLiteral("ANNA"));
    EXPECT_EQ(deleted.refusal, Refusal::LastAdministrator);
    EXPECT_EQ(deleted.message, lastDelete);
    EXPECT_EQ(count(), 2);
    EXPECT_EQ(other->transactionDepth(), 0);

    // A second administrator again: now either may go.
    ASSERT_TRUE(first.modify(anna, {QStringLiteral("BEN"), {}, {}, UserRole::System, {}}).ok());
    EXPECT_TRUE(second.checkRemove(ben, QStringLiteral("ANNA")).ok());
    EXPECT_TRUE(second.remove(ben, QStringLiteral("ANNA")).ok());
    EXPECT_EQ(count(), 1);
}

TEST_P(UserAccountsTest, DeleteRefusals) {
    AddUser(db(), {QStringLiteral("ADMIN"), {}, false, false, true}, QString());
    AddUser(db(), {QStringLiteral("CLERK"), {}, true, false, false}, QString());
    const UserAccounts::Outcome clerk = accounts().remove(kClerk, QStringLiteral("CLERK"));
    EXPECT_EQ(clerk.refusal, Refusal::NotAdministrator);
    EXPECT_EQ(clerk.message,
              QStringLiteral("刪除失敗\r\n\r\n您的使用者帳號不具「系統」權限，不允許刪除使用者"));
    const UserAccounts::Outcome gone = accounts().remove(kAdmin, QStringLiteral("GONE"));
    EXPECT_EQ(gone.refusal, Refusal::NotFound);
    EXPECT_EQ(gone.message, QStringLiteral("刪除失敗\r\n\r\n無此筆紀錄"));
    EXPECT_EQ(accounts().remove(kAdmin, QStringLiteral("clerk")).refusal, Refusal::NotFound)
        << "the key is compared exactly";
    EXPECT_EQ(count(), 2);
    EXPECT_TRUE(accounts().remove(kAdmin, QStringLiteral("CLERK")).ok());
    EXPECT_EQ(count(), 1);
}

QUORVANE_INSTANTIATE_BACKENDS(UserAccountsTest);

// Two administrators demoting each other at the same moment: the second save waits for the
// first one's transaction and then finds itself demoting the last administrator.
TEST(UserAccountsPostgres, TwoAdministratorsDemotingEachOtherAtOnceLeaveOne) {
    test::ScratchDatabase scratch(test::Backend::Postgres);
    auto db = scratch.connect();
    SchemaInstaller::Install(*db);
    for (const QString& id : {QStringLiteral("ANNA"), QStringLiteral("BEN")}) {
        db->ConnExecute(Statement(
            QStringLiteral("INSERT INTO BF_User (IdUser, PMI_System) VALUES (?, 1)"), {id}));
    }
    auto watcher = scratch.connect();
    const User anna{QStringLiteral("ANNA"), {}, false, false, true};
    const User ben{QStringLiteral("BEN"), {}, false, false, true};

    Transaction held(*db);  // keeps the first save's transaction open
    ASSERT_TRUE(UserAccounts(*db)
                    .modify(anna, {QStringLiteral("BEN"), {}, {}, UserRole::Handling, {}})
                    .ok());

    UserAccounts::Outcome second;
    std::string failure;
    std::atomic<bool> finished{false};
    std::thread workstation([&] {
        auto own = scratch.connect();
        try {
            second = UserAccounts(*own).modify(
                ben, {QStringLiteral("ANNA"), {}, {}, UserRole::Handling, {}});
        } catch (const Failure& f) {
            failure = f.description().toStdString();
        }
        finished = true;
    });
    // Wait until the second save waits for the first one's locks (or has wrongly finished).
    bool waiting = false;
    for (int i = 0; i < 6000 && !finished && !waiting; ++i) {
        waiting = watcher->LookupLong(Statement(QStringLiteral(
                      "SELECT COUNT(*) FROM pg_stat_activity WHERE wait_event_type = 'Lock' "
                      "AND datname = current_database()"))) > 0;
        if (!waiting) {
            QThread::msleep(5);
        }
    }
    EXPECT_TRUE(waiting) << "the second save did not wait for the first";
    held.commit();
    workstation.join();

    EXPECT_EQ(failure, std::string());
    EXPECT_EQ(second.refusal, Refusal::LastAdministrator);
    EXPECT_EQ(watcher->LookupLong(
                  Statement(QStringLiteral("SELECT COUNT(*) FROM BF_User WHERE PMI_System = 1"))),
              1);
    EXPECT_EQ(watcher->LookupText(
                  Statement(QStringLiteral("SELECT IdUser FROM BF_User WHERE PMI_System = 1"))),
              QStringLiteral("ANNA"));
}

}  // namespace
}  // namespace quorvane
