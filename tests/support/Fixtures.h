#pragma once

// The users and rows the tests start from: accounts, issuers, applications, voucher samples and
// printed vouchers, written straight into the tables as another part of the program (or another
// workstation) would have left them, and the rows as stored.

#include "core/CurrentUser.h"
#include "db/Database.h"
#include "db/FieldReaders.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QVariant>

#include <optional>

namespace quorvane::test {

// One user of each kind of permission.
inline const User kAdmin{QStringLiteral("ADMIN"), QStringLiteral("王小明"), false, false, true};
inline const User kClerk{QStringLiteral("CLERK"), QStringLiteral("陳經辦"), true, false, false};
inline const User kSupervisor{QStringLiteral("SUPER"), QStringLiteral("林主管"), false, true,
                              false};
inline const User kBoth{QStringLiteral("BOTH"), QStringLiteral("兼任"), true, true, false};
inline const User kGuest{QStringLiteral("GUEST"), QStringLiteral("訪客"), false, false, false};

// The row of a table with this key, or an empty record.
inline QSqlRecord StoredRow(Database& db, const QString& table, const QString& keyColumn,
                            const QVariant& key) {
    UnitOfWork unit(db);
    QSqlQuery query = db.Query(
        Statement(QStringLiteral("SELECT * FROM %1 WHERE %2 = ?").arg(table, keyColumn), {key}));
    return query.next() ? query.record() : QSqlRecord();
}

inline qint64 CountRows(Database& db, const QString& table) {
    return db.LookupInt64(Statement(QStringLiteral("SELECT COUNT(*) FROM ") + table));
}

// Makes every later insert into the table fail with a database error, as a full disk or a
// constraint of another version of the schema would: for driving a failed save.
inline void RefuseInserts(Database& db, const QString& table) {
    if (db.dialect().isSqlite()) {
        db.ConnExecute(Statement(QStringLiteral("CREATE TRIGGER RefuseInserts BEFORE INSERT ON %1 "
                                                "BEGIN SELECT RAISE(ABORT, 'refused'); END")
                                     .arg(table)));
        return;
    }
    db.ConnExecute(
        Statement(QStringLiteral("CREATE OR REPLACE FUNCTION RefuseInserts() RETURNS trigger AS $$ "
                                 "BEGIN RAISE EXCEPTION 'refused'; END $$ LANGUAGE plpgsql")));
    db.ConnExecute(Statement(QStringLiteral("CREATE TRIGGER RefuseInserts BEFORE INSERT ON %1 "
                                            "FOR EACH ROW EXECUTE FUNCTION RefuseInserts()")
                                 .arg(table)));
}

// An account with the user's id, name and permissions and this stored password, added by SEED.
inline void AddUser(Database& db, const User& user, const QVariant& password) {
    db.ConnExecute(Statement(
        QStringLiteral("INSERT INTO BF_User (IdUser, PWD, NameUser, PMI_Handling, PMI_Verify, "
                       "PMI_System, IdUserAddNew) VALUES (?, ?, ?, ?, ?, ?, 'SEED')"),
        {user.IdUser, password, user.NameUser, user.PMI_Handling ? 1 : 0, user.PMI_Verify ? 1 : 0,
         user.PMI_System ? 1 : 0}));
}

inline QSqlRecord StoredUser(Database& db, const QString& id) {
    return StoredRow(db, QStringLiteral("BF_User"), QStringLiteral("IdUser"), id);
}

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

inline void AddIssuer(Database& db, const QString& contract, const QString& name,
                      const QString& noVAT = QString()) {
    db.ConnExecute(Statement(
        QStringLiteral("INSERT INTO BF_Customer (NoContract, NameCompany, NoVAT) VALUES (?, ?, ?)"),
        {contract, name, noVAT}));
}

inline QSqlRecord StoredIssuer(Database& db, const QString& contract) {
    return StoredRow(db, QStringLiteral("BF_Customer"), QStringLiteral("NoContract"), contract);
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

inline QSqlRecord StoredApplication(Database& db, const QString& noAccount) {
    return StoredRow(db, QStringLiteral("OR_Account"), QStringLiteral("NoAccount"), noAccount);
}

inline qint64 CountApplications(Database& db) {
    return CountRows(db, QStringLiteral("OR_Account"));
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
