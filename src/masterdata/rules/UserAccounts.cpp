#include "masterdata/rules/UserAccounts.h"

#include "core/Text.h"

#include "core/Password.h"
#include "db/FieldKind.h"
#include "db/FieldReaders.h"
#include "db/RowWriter.h"
#include "db/TableReader.h"

#include <QSqlQuery>
#include <QSqlRecord>

namespace quorvane {

namespace {

const QString kTable = QStringLiteral("BF_User");
const QString kKey = QStringLiteral("IdUser");
const QString kBreak = QStringLiteral("\r\n\r\n");

UserAccounts::Outcome refused(UserAccounts::Refusal refusal, const QString& id,
                              const QString& message) {
    return {refusal, id, message};
}

UserAccounts::Outcome done(const QString& id) {
    return {UserAccounts::Refusal::None, id, QString()};
}

const QString kNoPermission = QStringLiteral("您的使用者帳號不具「系統」權限，");

QString saveRefusal(const QString& details) {
    return QStringLiteral("儲存失敗") + kBreak + details;
}

QString deleteRefusal(const QString& details) {
    return QStringLiteral("刪除失敗") + kBreak + details;
}

// The refusal of a new password that is too short, or none.
std::optional<UserAccounts::Outcome> passwordRefusal(const QString& id,
                                                     const std::optional<QString>& password) {
    if (!password || TrimSpaces(*password).size() >= kMinPasswordLength) {
        return std::nullopt;
    }
    return refused(
        UserAccounts::Refusal::PasswordTooShort, id,
        saveRefusal(QStringLiteral("密碼長度不足，至少須 %1 個字元").arg(kMinPasswordLength)));
}

void setRole(RowWriter& row, UserRole role) {
    const RoleFlags flags = FlagsOf(role);
    row.set(QStringLiteral("PMI_Handling"), flags.handling ? 1 : 0);
    row.set(QStringLiteral("PMI_Verify"), flags.verify ? 1 : 0);
    row.set(QStringLiteral("PMI_System"), flags.system ? 1 : 0);
}

}  // namespace

RoleFlags FlagsOf(UserRole role) {
    return {role == UserRole::Handling, role == UserRole::Verify, role == UserRole::System};
}

std::optional<UserRole> RoleOf(const RoleFlags& flags) {
    if (flags.system) {
        return UserRole::System;
    }
    if (flags.handling) {
        return UserRole::Handling;
    }
    if (flags.verify) {
        return UserRole::Verify;
    }
    return std::nullopt;
}

QString UserAccounts::NewId(const QString& typed) {
    return TrimSpaces(typed).toUpper();
}

bool UserAccounts::IsOwnAccount(const User& actor, const QString& id) {
    // Ids are unique regardless of case, so this names one account either way.
    return !actor.IdUser.isEmpty() && actor.IdUser.compare(id, Qt::CaseInsensitive) == 0;
}

QString UserAccounts::AddRefusalText() {
    return QStringLiteral("新增失敗") + kBreak + kNoPermission + QStringLiteral("不允許新增使用者");
}

QString UserAccounts::EditRefusalText() {
    return QStringLiteral("修改失敗") + kBreak + kNoPermission +
           QStringLiteral("不允許修改其他使用者的帳號");
}

QString UserAccounts::DeleteRefusalText() {
    return deleteRefusal(kNoPermission + QStringLiteral("不允許刪除使用者"));
}

QString UserAccounts::UnlockRefusalText() {
    return QStringLiteral("解除鎖定失敗") + kBreak + kNoPermission +
           QStringLiteral("不允許解除使用者帳號的鎖定");
}

bool UserAccounts::MayModify(const User& actor, const QString& id) {
    return actor.PMI_System || IsOwnAccount(actor, id);
}

bool UserAccounts::MayChangeRole(const User& actor, const QString& id) {
    return actor.PMI_System && !IsOwnAccount(actor, id);
}

QStringList UserAccounts::lockAdministrators() {
    QStringList ids;
    TableReader rows(db_,
                     Statement(QStringLiteral("SELECT IdUser FROM BF_User WHERE (PMI_System = 1)") +
                               db_.dialect().forUpdate()));
    while (rows.next()) {
        ids << FieldText(rows.value(0));
    }
    return ids;
}

std::optional<RoleFlags> UserAccounts::storedFlags(const QString& id, bool lock) {
    QSqlQuery query = db_.Query(
        Statement(QStringLiteral("SELECT PMI_Handling, PMI_Verify, PMI_System FROM BF_User "
                                 "WHERE (IdUser = ?)") +
                      (lock ? db_.dialect().forUpdate() : QString()),
                  {id}));
    if (!query.next()) {
        return std::nullopt;
    }
    return RoleFlags{FieldBoolean(query.value(0)), FieldBoolean(query.value(1)),
                     FieldBoolean(query.value(2))};
}

UserAccounts::Outcome UserAccounts::add(const User& actor, const UserAccount& account) {
    const QString id = NewId(account.IdUser);
    if (!MayAdd(actor)) {
        return refused(Refusal::NotAdministrator, id, AddRefusalText());
    }
    if (id.isEmpty()) {
        return refused(Refusal::BlankId, id, saveRefusal(QStringLiteral("使用者帳號尚未輸入")));
    }
    for (const QChar c : id) {
        if (KindRefuses(FieldKind::UserId, c) || c.unicode() < 32) {
            return refused(Refusal::IdNotTypeable, id,
                           saveRefusal(QStringLiteral("使用者帳號 [") + id +
                                       QStringLiteral("] 含有登入時無法輸入的字元")));
        }
    }
    const QString password = account.password.value_or(QString());
    if (auto refusal = passwordRefusal(id, password)) {
        return *refusal;
    }
    // Hashing takes a moment: done before the transaction, so the table is not held meanwhile.
    const QString hash = HashPassword(TrimSpaces(password));

    Transaction transaction(db_);
    const QString existing = db_.LookupText(
        Statement(QStringLiteral("SELECT IdUser FROM BF_User WHERE (UPPER(IdUser) = ?)"), {id}));
    if (!existing.isEmpty() && existing != id) {
        return refused(
            Refusal::IdDiffersInCase, id,
            saveRefusal(QStringLiteral("使用者帳號 [") + id + QStringLiteral("] 與已有的帳號 [") +
                        existing + QStringLiteral("] 只有大小寫不同") + QStringLiteral("\r\n") +
                        QStringLiteral("登入時不分大小寫，請改用其他帳號")));
    }
    RowWriter row(kTable, kKey, id);
    row.set(QStringLiteral("NameUser"), account.NameUser)
        .set(QStringLiteral("PWD"), hash)
        .set(QStringLiteral("Note"), account.Note);
    setRole(row, account.role.value_or(UserRole::Handling));
    row.insert(db_, actor.IdUser, db_.GetServerTime());
    transaction.commit();
    return done(id);
}

UserAccounts::Outcome UserAccounts::modify(const User& actor, const UserAccount& account) {
    const QString& id = account.IdUser;
    if (!MayModify(actor, id)) {
        return refused(Refusal::OtherAccount, id,
                       saveRefusal(kNoPermission + QStringLiteral("不允許修改其他使用者的帳號")));
    }
    if (auto refusal = passwordRefusal(id, account.password)) {
        return *refusal;
    }
    std::optional<QString> hash;
    if (account.password) {
        hash = HashPassword(TrimSpaces(*account.password));
    }

    Transaction transaction(db_);
    const QStringList administrators = lockAdministrators();
    const std::optional<RoleFlags> stored = storedFlags(id, true);
    if (!stored) {
        return refused(
            Refusal::NotFound, id,
            saveRefusal(QStringLiteral("無此筆紀錄 [") + id + QStringLiteral("]") +
                        QStringLiteral("\r\n") + QStringLiteral("此帳號可能已被其他使用者刪除")));
    }
    const bool roleChanges = account.role && FlagsOf(*account.role) != *stored;
    if (roleChanges && !MayChangeRole(actor, id)) {
        return refused(
            Refusal::OwnRole, id,
            saveRefusal(QStringLiteral("不允許變更自己的使用者權限") + QStringLiteral("\r\n") +
                        QStringLiteral("請由其他具「系統」權限的使用者變更")));
    }
    if (roleChanges && stored->system && !FlagsOf(*account.role).system &&
        administrators.size() <= 1) {
        return refused(
            Refusal::LastAdministrator, id,
            saveRefusal(QStringLiteral("使用者 [") + id +
                        QStringLiteral("] 是唯一具「系統」權限的使用者") + QStringLiteral("\r\n") +
                        QStringLiteral("取消其「系統」權限後將無人能維護使用者帳號")));
    }
    RowWriter row(kTable, kKey, id);
    row.set(QStringLiteral("NameUser"), account.NameUser).set(QStringLiteral("Note"), account.Note);
    if (hash) {
        row.set(QStringLiteral("PWD"), *hash);
    }
    if (account.role) {
        setRole(row, *account.role);
    }
    row.update(db_, actor.IdUser, db_.GetServerTime());
    transaction.commit();
    return done(id);
}

UserAccounts::Outcome UserAccounts::unlock(const User& actor, const QString& id) {
    if (!MayUnlock(actor)) {
        return refused(Refusal::NotAdministrator, id, UnlockRefusalText());
    }
    Transaction transaction(db_);
    if (!storedFlags(id, true)) {
        return refused(Refusal::NotFound, id,
                       QStringLiteral("解除鎖定失敗") + kBreak + QStringLiteral("無此筆紀錄 [") +
                           id + QStringLiteral("]") + QStringLiteral("\r\n") +
                           QStringLiteral("此帳號可能已被其他使用者刪除"));
    }
    RowWriter row(kTable, kKey, id);
    row.set(QStringLiteral("Locked"), 0)
        .set(QStringLiteral("LoginFailures"), 0)
        .set(QStringLiteral("TimeLocked"), QVariant(QMetaType::fromType<QString>()));
    row.update(db_, actor.IdUser, db_.GetServerTime());
    transaction.commit();
    return done(id);
}

UserAccounts::Outcome UserAccounts::checkRemove(const User& actor, const QString& id) {
    if (!MayDelete(actor)) {
        return removeRefusal(actor, id, std::nullopt, 0);
    }
    UnitOfWork unit(db_);
    const std::optional<RoleFlags> stored = storedFlags(id, false);
    const qint64 administrators = db_.LookupInt64(
        Statement(QStringLiteral("SELECT COUNT(*) FROM BF_User WHERE (PMI_System = 1)")));
    return removeRefusal(actor, id, stored, administrators);
}

UserAccounts::Outcome UserAccounts::remove(const User& actor, const QString& id) {
    if (!MayDelete(actor)) {
        return removeRefusal(actor, id, std::nullopt, 0);
    }
    Transaction transaction(db_);
    // With the administrators' rows locked, the count is the one the delete leaves behind.
    const QStringList administrators = lockAdministrators();
    const std::optional<RoleFlags> stored = storedFlags(id, true);
    Outcome outcome = removeRefusal(actor, id, stored, administrators.size());
    if (!outcome.ok()) {
        return outcome;
    }
    db_.ConnExecute(Statement(QStringLiteral("DELETE FROM BF_User WHERE (IdUser = ?)"), {id}));
    transaction.commit();
    return outcome;
}

UserAccounts::Outcome UserAccounts::removeRefusal(const User& actor, const QString& id,
                                                  const std::optional<RoleFlags>& stored,
                                                  qint64 administrators) {
    if (!MayDelete(actor)) {
        return refused(Refusal::NotAdministrator, id, DeleteRefusalText());
    }
    if (!stored) {
        return refused(Refusal::NotFound, id, deleteRefusal(QStringLiteral("無此筆紀錄")));
    }
    if (stored->system && administrators <= 1) {
        return refused(
            Refusal::LastAdministrator, id,
            deleteRefusal(QStringLiteral("使用者 [") + id +
                          QStringLiteral("] 是唯一具「系統」權限的使用者") +
                          QStringLiteral("\r\n") + QStringLiteral("刪除後將無人能維護使用者帳號")));
    }
    return done(id);
}

}  // namespace quorvane
