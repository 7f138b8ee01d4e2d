#include "db/BusinessLookups.h"

#include "core/FailureRouting.h"

namespace quorvane {

QString GetNameCompany(Database& db, const QString& noContract) {
    if (noContract.trimmed().isEmpty()) {
        return {};
    }
    const Statement query(
        QStringLiteral("SELECT NameCompany FROM BF_Customer WHERE (NoContract = ?)"), {noContract});
    SetExceptionText(query.describe());
    return db.LookupText(query);
}

bool IsExistNoContract(Database& db, const QString& noContract) {
    if (noContract.trimmed().isEmpty()) {
        return false;
    }
    return db.IsValueExists(QStringLiteral("BF_Customer"), QStringLiteral("NoContract"),
                            noContract);
}

bool IsExistNoTicketForm(Database& db, const QString& noTicketForm) {
    if (noTicketForm.trimmed().isEmpty()) {
        return false;
    }
    return db.IsValueExists(QStringLiteral("OR_TicketForm"), QStringLiteral("NoTicketForm"),
                            noTicketForm);
}

bool IsKeyExists(Database& db, const QString& text, int fieldKind) {
    if (text.isEmpty()) {
        return false;
    }
    QString table;
    QString column;
    switch (fieldKind) {
        case FieldKind::ContractNumber:
            table = QStringLiteral("BF_Customer");
            column = QStringLiteral("NoContract");
            break;
        case FieldKind::SampleNumber:
            table = QStringLiteral("OR_TicketForm");
            column = QStringLiteral("NoTicketForm");
            break;
        default:
            return false;
    }
    return !db
                .LookupText(Statement(
                    QStringLiteral("SELECT %2 FROM %1 WHERE (%2 = ?)").arg(table, column), {text}))
                .isEmpty();
}

bool IsNoTicketRangeFree(Database& db, qint64 first, qint64 last, QString& foundTicketForm) {
    foundTicketForm = db.LookupText(Statement(
        QStringLiteral("SELECT NoTicketForm FROM OR_TicketPrint WHERE (NoTicket BETWEEN ? AND ?)"),
        {first, last}));
    return foundTicketForm.isEmpty();
}

qint64 GetMaxNoTicket(Database& db) {
    const qint64 highest =
        db.LookupInt64(Statement(QStringLiteral("SELECT MAX(NoTicket) FROM OR_TicketPrint")));
    return highest > 0 ? highest : 0;
}

bool IsExistNoTicketCheck(Database& db, qint64 noTicketCheck) {
    UnitOfWork unit(db);
    return db.Query(Statement(db.dialect().isExistNoTicketCheck(), {noTicketCheck})).next();
}

bool GetTicketFormOfTicket(Database& db, qint64 noTicket, QString& noTicketForm) {
    UnitOfWork unit(db);
    QSqlQuery query = db.Query(Statement(db.dialect().isExistNoTicket(), {noTicket}));
    if (!query.next()) {
        return false;
    }
    noTicketForm = query.value(0).toString();
    return true;
}

QString LikePrefix(const QString& text) {
    QString escaped = text;
    escaped.replace(QStringLiteral("\\"), QStringLiteral("\\\\"));
    escaped.replace(QStringLiteral("%"), QStringLiteral("\\%"));
    escaped.replace(QStringLiteral("_"), QStringLiteral("\\_"));
    return escaped + QStringLiteral("%");
}

Statement BuildPickerCommand(int fieldKind, const QString& text) {
    if (fieldKind != FieldKind::ContractNumber) {
        return {};
    }
    const QString typed = text.trimmed();
    QString sql = QStringLiteral(
        "SELECT NoContract AS \"契約編號\", NameCompany AS \"發行業者\" FROM BF_Customer ");
    QVariantList binds;
    if (!typed.isEmpty()) {
        // Upper case on both sides: the match ignores letter case, as the clerk expects.
        sql += QStringLiteral(
            "WHERE (UPPER(NoContract) LIKE ? ESCAPE '\\' OR UPPER(NameCompany) LIKE ? ESCAPE "
            "'\\') ");
        const QString pattern = LikePrefix(typed.toUpper());
        binds << pattern << pattern;
    }
    sql += QStringLiteral("ORDER BY NameCompany");
    return Statement(sql, binds);
}

}  // namespace quorvane
