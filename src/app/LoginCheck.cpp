#include "app/LoginCheck.h"

#include "core/Password.h"
#include "core/Text.h"
#include "db/FieldReaders.h"

#include <QSqlQuery>

namespace quorvane {

std::optional<User> LoginCheck(Database& db, const SettingsStore& settings, const QString& typedId,
                               const QString& typedPassword, QString& message) {
    const QString id = TrimSpaces(typedId).toUpper();
    const QString password = TrimSpaces(typedPassword);
    const QString refused = QStringLiteral("登入帳號或密碼錯誤");

    std::optional<User> user;
    QString storedPassword;
    {
        UnitOfWork unit(db);
        QSqlQuery query = db.Query(Statement(
            QStringLiteral("SELECT IdUser, PWD, NameUser, PMI_Handling, PMI_Verify, PMI_System "
                           "FROM BF_User WHERE (UPPER(IdUser) = ?) ORDER BY IdUser"),
            {id}));
        if (query.next()) {
            const QSqlRecord row = query.record();
            storedPassword = FieldText(row, QStringLiteral("PWD"));
            user = User{FieldText(row, QStringLiteral("IdUser")),
                        FieldText(row, QStringLiteral("NameUser")),
                        FieldBoolean(row, QStringLiteral("PMI_Handling")),
                        FieldBoolean(row, QStringLiteral("PMI_Verify")),
                        FieldBoolean(row, QStringLiteral("PMI_System"))};
        }
    }
    if (!user || !PasswordMatches(storedPassword, password)) {
        message = refused;
        return std::nullopt;
    }
    // Failing to remember the id does not stop the login.
    settings.SetIdUserLastLogin(user->IdUser);
    return user;
}

}  // namespace quorvane
