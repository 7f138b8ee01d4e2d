#pragma once

// Rows the quota tests start from: issuers, applications, voucher samples and printed vouchers,
// written straight into the tables as another part of the program (or another workstation)
// would have left them.

#include "db/Database.h"
#include "db/FieldReaders.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QVariant>

#include <optional>

namespace quorvane::test {

// A review verdict as stored: NULL (not reviewed), 1 (approved), 0 (returned).
enum class Verdict { None, Approved, Returned };

inline QVariant VerdictValue(Verdict verdict) {
    switch (verdict) {
        case Verdict::Approved:
            return 1;
        case Verdict::Returned:
            return 0;
        case Verdict::None:
            break;
    }
    return QVariant(QMetaType::fromType<int>());
}

inline void AddIssuer(Database& db, const QString& contract, const QString& name) {
    db.ConnExecute(
        Statement(QStringLiteral("INSERT INTO BF_Customer (NoContract, NameCompany) VALUES (?, ?)"),
                  {contract, name}));
}

struct ApplicationRow {
    QString contract;
    int noItem = 1;
    qint64 amount = 0;
    Verdict verdict = Verdict::None;
    int active = 1;
    QString timeAddNew = QStringLiteral("2024-03-05 10:00:00.000");
    QString noteHandling;
    QString noteVerify;
};

inline ApplicationRow Application(const QString& contract, int noItem, qint64 amount,
                                  Verdict verdict = Verdict::None) {
    ApplicationRow row;
    row.contract = contract;
    row.noItem = noItem;
    row.amount = amount;
    row.verdict = verdict;
    return row;
}

// Inserts an application under its usual number and returns the number.
inline QString AddApplication(Database& db, const ApplicationRow& row) {
    const QString number =
        row.contract + QStringLiteral("-%1").arg(row.noItem, 2, 10, QLatin1Char('0'));
    db.ConnExecute(
        Statement(QStringLiteral("INSERT INTO OR_Account (NoAccount, NoContract, NoItem, Amount, "
                                 "VerifyApprove, Active, NoteHandling, NoteVerify, IdUserAddNew, "
                                 "TimeAddNew) VALUES (?, ?, ?, ?, ?, ?, ?, ?, 'SEED', ?)"),
                  {number, row.contract, row.noItem, row.amount, VerdictValue(row.verdict),
                   row.active, row.noteHandling, row.noteVerify, row.timeAddNew}));
    return number;
}

// A voucher sample of the contract with this face value; returns its number.
inline QString AddSample(Database& db, const QString& contract, int noItem, qint64 faceValue) {
    const QString number = contract + QStringLiteral("-%1").arg(noItem, 3, 10, QLatin1Char('0'));
    db.ConnExecute(
        Statement(QStringLiteral("INSERT INTO OR_TicketForm (NoTicketForm, NoContract, NoItem, "
                                 "AmountTicket, VerifyApprove) VALUES (?, ?, ?, ?, 1)"),
                  {number, contract, noItem, faceValue}));
    return number;
}

// Prints `count` vouchers of the sample from serial `first` on; `active` 0 marks them nullified.
inline void PrintVouchers(Database& db, const QString& sample, qint64 first, int count,
                          int active = 1) {
    for (int i = 0; i < count; ++i) {
        const qint64 serial = first + i;
        db.ConnExecute(
            Statement(QStringLiteral("INSERT INTO OR_TicketPrint (NoTicket, NoTicketForm, NoItem, "
                                     "NoTicketCheck, Active) VALUES (?, ?, ?, ?, ?)"),
                      {serial, sample, i + 1, 1000000000000LL + serial, active}));
    }
}

// The application's row as stored, or an empty record.
inline QSqlRecord StoredApplication(Database& db, const QString& noAccount) {
    UnitOfWork unit(db);
    QSqlQuery query = db.Query(
        Statement(QStringLiteral("SELECT * FROM OR_Account WHERE NoAccount = ?"), {noAccount}));
    return query.next() ? query.record() : QSqlRecord();
}

inline qint64 CountApplications(Database& db) {
    return db.LookupInt64(Statement(QStringLiteral("SELECT COUNT(*) FROM OR_Account")));
}

// The review verdict as stored: empty for NULL.
inline std::optional<int> StoredVerdict(const QSqlRecord& row) {
    const QVariant value = row.value(QStringLiteral("VerifyApprove"));
    if (value.isNull()) {
        return std::nullopt;
    }
    return value.toInt();
}

}  // namespace quorvane::test
