#include "masterdata/rules/Issuers.h"

#include "db/RowWriter.h"

namespace quorvane {

namespace {

const QString kTable = QStringLiteral("BF_Customer");
const QString kKey = QStringLiteral("NoContract");

}  // namespace

QString Issuers::add(const User& actor, const Issuer& issuer) {
    return write(actor, issuer, true);
}

QString Issuers::modify(const User& actor, const Issuer& issuer) {
    return write(actor, issuer, false);
}

QString Issuers::write(const User& actor, const Issuer& issuer, bool adding) {
    const QString key = issuer.NoContract.trimmed();
    Transaction transaction(db_);
    RowWriter row(kTable, kKey, key);
    for (auto it = issuer.columns.cbegin(); it != issuer.columns.cend(); ++it) {
        row.set(it.key(), it.value());
    }
    const QDateTime now = db_.GetServerTime();
    if (adding) {
        row.insert(db_, actor.IdUser, now);
    } else {
        row.update(db_, actor.IdUser, now);
    }
    transaction.commit();
    return key;
}

QString Issuers::deleteRefusal(const QString& noContract) {
    const QString sample = db_.LookupText(
        Statement(QStringLiteral("SELECT NoContract FROM OR_TicketForm WHERE (NoContract = ?)"),
                  {noContract}));
    if (sample == noContract) {
        return QStringLiteral("刪除失敗\r\n\r\n此筆客戶資料已建立於「禮卷票樣確認單」，不允許刪除");
    }
    return {};
}

}  // namespace quorvane
