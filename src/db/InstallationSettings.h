#pragma once

#include "db/Database.h"

#include <QDateTime>
#include <QString>

namespace quorvane {

// Installation settings shared by every workstation (table SYS_Setting), read and changed by
// the letter builder, the administrator's screen and quorvane-db.

// The trust department's fax number, printed in the confirmation letter.
struct FaxSetting {
    QString number;
    QString idUserModify;  // empty while the installation's placeholder stands
    QDateTime timeModify;  // invalid while the installation's placeholder stands

    // True while no real number has been stored.
    bool isPlaceholder() const;
};

// What a new or upgraded database holds until a real number is stored; deliberately not a
// valid number, so that it stands out wherever it is printed.
extern const QString kFaxPlaceholder;

// Longest fax number stored.
constexpr int kMaxFaxNumber = 20;

// The number as stored (spaces around it dropped), or Failure with a message a clerk can act
// on: at least one digit, only digits, spaces, "-", "(", ")" and "#", at most kMaxFaxNumber
// characters.
QString CheckFaxNumber(const QString& number);

// The stored setting; Failure when the database has none (a database of an older version).
FaxSetting ReadFaxNumber(Database& db);

// Checks and stores the number with who changed it and the server's time.
void WriteFaxNumber(Database& db, const QString& number, const QString& idUserModify);

}  // namespace quorvane
