#pragma once

#include "db/Database.h"
#include "db/FieldKind.h"

#include <QString>

namespace quorvane {

// The issuer's name; empty for a blank contract number or an unknown one.
QString GetNameCompany(Database& db, const QString& noContract);

// True when the issuer exists under exactly this contract number (letter case included).
bool IsExistNoContract(Database& db, const QString& noContract);
// True when the voucher sample exists under exactly this number.
bool IsExistNoTicketForm(Database& db, const QString& noTicketForm);

// True when the text is an existing key of the field kind: contract numbers for kind 12,
// sample numbers for kind 18; false for every other kind and for empty text.
bool IsKeyExists(Database& db, const QString& text, int fieldKind);

// True when no printed voucher lies in first … last; otherwise `foundTicketForm` receives the
// sample of one that does.
bool IsNoTicketRangeFree(Database& db, qint64 first, qint64 last, QString& foundTicketForm);

// The highest printed voucher serial, 0 when none has been printed.
qint64 GetMaxNoTicket(Database& db);

// True when a printed voucher already carries this check code.
bool IsExistNoTicketCheck(Database& db, qint64 noTicketCheck);

// True when the voucher serial has been printed; `noTicketForm` receives its sample.
bool GetTicketFormOfTicket(Database& db, qint64 noTicket, QString& noTicketForm);

// The selection query behind Enter in a contract-number field: the issuers whose contract
// number or name begins with the text (every issuer for empty text), by name. Empty for every
// other field kind.
Statement BuildPickerCommand(int fieldKind, const QString& text);

// Escapes LIKE's wildcards in typed text, for "LIKE ? ESCAPE '\'".
QString LikePrefix(const QString& text);

}  // namespace quorvane
