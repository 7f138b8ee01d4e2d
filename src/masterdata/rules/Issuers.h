#pragma once

#include "core/CurrentUser.h"
#include "db/Database.h"

#include <QMap>
#include <QString>

namespace quorvane {

// One issuer as the issuer screen saves it: the contract number as typed and the other
// columns of BF_Customer by name, as text.
struct Issuer {
    QString NoContract;
    QMap<QString, QString> columns;
};

// The rules of the issuers, free of any window: their writes and what stands against a delete.
// Each write is one transaction; a database failure is thrown.
class Issuers {
public:
    explicit Issuers(Database& db) : db_(db) {}

    // Inserts the issuer under its contract number (the spaces around it are not part of it)
    // with the audit stamps, and returns that number. A contract number that exists already is
    // refused by the table's key (DatabaseFailure).
    QString add(const User& actor, const Issuer& issuer);
    // Updates the issuer's columns and its modification stamps, and returns the contract
    // number. An issuer another workstation deleted meanwhile is a Failure.
    QString modify(const User& actor, const Issuer& issuer);

    // What stands against deleting the issuer: empty when it may go, otherwise the message
    // (an issuer whose contract a voucher sample names stays).
    QString deleteRefusal(const QString& noContract);

private:
    QString write(const User& actor, const Issuer& issuer, bool adding);

    Database& db_;
};

}  // namespace quorvane
