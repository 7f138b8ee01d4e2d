#include "masterdata/rules/Logins.h"

#include "core/HostInfo.h"
#include "core/Password.h"
#include "core/Text.h"
#include "db/FieldReaders.h"

#include <QSqlQuery>
#include <QSqlRecord>

#include <algorithm>

namespace quorvane {

namespace {

const QString kRefused = QStringLiteral("登入帳號或密碼錯誤");
// Widths of the login-failure log's text columns.
constexpr int kIdWidth = 16;
constexpr int kWorkstationWidth = 64;

QString waitText(std::chrono::milliseconds wait) {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(wait).count();
    return QStringLiteral("\r\n\r\n請於 %1 秒後再試").arg(seconds);
}

}  // namespace

struct Logins::Stored {
    User user;
    QString password;
    int failures = 0;
    bool locked = false;
};

Workstation Workstation::ThisOne() {
    return {GetComputerNameText(), GetLocalIP()};
}

std::chrono::milliseconds Logins::WaitAfter(int failuresInRow) {
    if (failuresInRow <= 0) {
        return std::chrono::milliseconds(0);
    }
    // Doubling stops well before the shift could overflow.
    const int doublings = std::min(failuresInRow - 1, 16);
    return std::min<std::chrono::milliseconds>(std::chrono::seconds(1) * (1LL << doublings),
                                               kLongestWait);
}

QString Logins::LockedText(const QString& idUser) {
    return QStringLiteral("帳號 [") + idUser +
           QStringLiteral("] 已因連續 %1 次登入失敗而鎖定，無法登入").arg(kFailuresToLock) +
           QStringLiteral(
               "\r\n\r\n請洽系統管理者（具「系統」權限的使用者）於"
               "「設定」選單的「E4-使用者帳號設定」解除鎖定");
}

Logins::Logins(Database& db, const SettingsStore& settings, Workstation workstation)
    : db_(db), settings_(settings), workstation_(std::move(workstation)) {}

LoginOutcome Logins::check(const QString& typedId, const QString& typedPassword) {
    const QString id = TrimSpaces(typedId).toUpper();
    const QString password = TrimSpaces(typedPassword);

    std::optional<Stored> account;
    {
        UnitOfWork unit(db_);
        QSqlQuery query = db_.Query(Statement(
            QStringLiteral("SELECT IdUser, PWD, NameUser, PMI_Handling, PMI_Verify, PMI_System, "
                           "LoginFailures, Locked FROM BF_User WHERE (UPPER(IdUser) = ?) "
                           "ORDER BY IdUser"),
            {id}));
        if (query.next()) {
            const QSqlRecord row = query.record();
            account = Stored{User{FieldText(row, QStringLiteral("IdUser")),
                                  FieldText(row, QStringLiteral("NameUser")),
                                  FieldBoolean(row, QStringLiteral("PMI_Handling")),
                                  FieldBoolean(row, QStringLiteral("PMI_Verify")),
                                  FieldBoolean(row, QStringLiteral("PMI_System"))},
                             FieldText(row, QStringLiteral("PWD")),
                             FieldLong(row, QStringLiteral("LoginFailures")),
                             FieldBoolean(row, QStringLiteral("Locked"))};
        }
    }

    // A locked account's password is not even compared: the answer is the same either way.
    if (account && !account->locked && PasswordMatches(account->password, password)) {
        // The count goes back to zero unless another workstation locked the account meanwhile.
        const qint32 reset =
            db_.ConnExecute(Statement(QStringLiteral("UPDATE BF_User SET LoginFailures = 0 "
                                                     "WHERE (IdUser = ?) AND (Locked = 0)"),
                                      {account->user.IdUser}));
        if (reset > 0) {
            failuresHere_ = 0;
            // Failing to remember the id does not stop the login.
            settings_.SetIdUserLastLogin(account->user.IdUser);
            return {account->user, QString(), std::chrono::milliseconds(0), false};
        }
        account->locked = true;
    }

    const auto [failures, locked] = recordFailure(TrimSpaces(typedId), account);
    ++failuresHere_;
    LoginOutcome outcome;
    outcome.locked = locked;
    outcome.wait = WaitAfter(std::max(failures, failuresHere_));
    if (!locked) {
        outcome.message = kRefused + waitText(outcome.wait);
    } else if (account->locked) {
        outcome.message = LockedText(account->user.IdUser);
    } else {
        outcome.message = kRefused + QStringLiteral("\r\n\r\n") + LockedText(account->user.IdUser);
    }
    return outcome;
}

std::pair<int, bool> Logins::recordFailure(const QString& typedId,
                                           const std::optional<Stored>& account) {
    Transaction transaction(db_);
    const QDateTime now = db_.GetServerTime();
    const QVariant idUser =
        account ? QVariant(account->user.IdUser) : QVariant(QMetaType::fromType<QString>());
    db_.ConnExecute(
        Statement(QStringLiteral("INSERT INTO SYS_LoginFailure (TimeFailure, IdUserTyped, IdUser, "
                                 "NameClientName, NameClientIP) VALUES (?, ?, ?, ?, ?)"),
                  {now, typedId.left(kIdWidth), idUser, workstation_.name.left(kWorkstationWidth),
                   workstation_.ip.left(kWorkstationWidth)}));
    if (!account) {
        transaction.commit();
        return {0, false};
    }
    if (!account->locked) {
        db_.ConnExecute(Statement(QStringLiteral("UPDATE BF_User SET LoginFailures = "
                                                 "LoginFailures + 1 WHERE (IdUser = ?) AND "
                                                 "(Locked = 0)"),
                                  {account->user.IdUser}));
        db_.ConnExecute(Statement(
            QStringLiteral("UPDATE BF_User SET Locked = 1, TimeLocked = ? WHERE (IdUser = ?) "
                           "AND (Locked = 0) AND (LoginFailures >= ?)"),
            {now, account->user.IdUser, kFailuresToLock}));
    }
    std::pair<int, bool> counted{0, false};
    {
        QSqlQuery query = db_.Query(Statement(
            QStringLiteral("SELECT LoginFailures, Locked FROM BF_User WHERE (IdUser = ?)"),
            {account->user.IdUser}));
        if (query.next()) {
            counted = {FieldLong(query.value(0)), FieldBoolean(query.value(1))};
        }
    }
    transaction.commit();
    return counted;
}

}  // namespace quorvane
