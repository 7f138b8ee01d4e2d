#include "quota/rules/QuotaRules.h"

#include "db/FieldReaders.h"

#include <QSqlQuery>

namespace quorvane {

short GetAccountVerifyState(Database& db, const QString& noContract, QString& noAccount) {
    UnitOfWork unit(db);
    QSqlQuery query = db.Query(Statement(
        QStringLiteral("SELECT NoAccount, VerifyApprove FROM OR_Account "
                       "WHERE (NoContract = ?) AND (Active = 1) ORDER BY NoItem DESC LIMIT 1"),
        {noContract}));
    if (!query.next()) {
        return AccountVerifyState::None;
    }
    noAccount = FieldText(query.value(0));
    const QVariant verdict = query.value(1);
    if (verdict.isNull()) {
        return AccountVerifyState::Pending;
    }
    return verdict.toInt() == 1 ? AccountVerifyState::Approved : AccountVerifyState::Returned;
}

bool GetAccountAmount(Database& db, const QString& noContract, qint64& amountApprove,
                      qint64& amountTicketPrint, qint64& amountRemain) {
    UnitOfWork unit(db);
    QSqlQuery query =
        db.Query(Statement(QStringLiteral("SELECT AmountRemain, AmountApprove, AmountTicketPrint "
                                          "FROM v_BF_Customer_ApproveAmount_TicketPrint "
                                          "WHERE (NoContract = ?)"),
                           {noContract}));
    if (query.next()) {
        amountRemain = FieldInt64(query.value(0));
        amountApprove = FieldInt64(query.value(1));
        amountTicketPrint = FieldInt64(query.value(2));
    }
    return true;
}

bool IsAccountAmountEnough(Database& db, const QString& noContract, qint64 amount,
                           qint64& amountApprove, qint64& amountTicketPrint, qint64& amountRemain) {
    GetAccountAmount(db, noContract, amountApprove, amountTicketPrint, amountRemain);
    return amountRemain >= amount;
}

QString FormatAmount(qint64 amount) {
    // Digits grouped by hand: the C locale omits group separators, and the user's locale
    // must not change what a money amount looks like.
    const bool negative = amount < 0;
    QString digits = QString::number(amount);
    if (negative) {
        digits.remove(0, 1);
    }
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3) {
        digits.insert(at, QLatin1Char(','));
    }
    return negative ? QLatin1Char('-') + digits : digits;
}

QString FormatAppliedAmount(qint64 amount) {
    return amount == 0 ? QString() : FormatAmount(amount);
}

bool ParseApplicationAmount(const QString& text, qint64& amount) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.size() > 9) {
        return false;
    }
    for (const QChar character : trimmed) {
        if (character < QLatin1Char('0') || character > QLatin1Char('9')) {
            return false;
        }
    }
    amount = trimmed.toLongLong();
    return true;
}

}  // namespace quorvane
