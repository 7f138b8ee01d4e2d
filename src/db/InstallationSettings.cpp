#include "db/InstallationSettings.h"

#include "core/Failure.h"
#include "db/FieldReaders.h"

#include <QSqlQuery>

#include <algorithm>

namespace quorvane {

namespace {

const QString kSource = QStringLiteral("Settings");
const QString kFaxName = QStringLiteral("FaxTrustDepartment");

[[noreturn]] void fail(const QString& text) {
    throw Failure(0, text, kSource);
}

bool isFaxCharacter(QChar c) {
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char(' ') ||
           c == QLatin1Char('-') || c == QLatin1Char('(') || c == QLatin1Char(')') ||
           c == QLatin1Char('#');
}

}  // namespace

const QString kFaxPlaceholder = QStringLiteral("待設定");

bool FaxSetting::isPlaceholder() const {
    return number == kFaxPlaceholder;
}

QString CheckFaxNumber(const QString& number) {
    const QString text = number.trimmed();
    if (text.isEmpty()) {
        fail(QStringLiteral("請輸入信託部傳真號碼，未做任何變更"));
    }
    if (text.size() > kMaxFaxNumber) {
        fail(QStringLiteral("信託部傳真號碼最多 %1 個字元（輸入的有 %2 個字元），未做任何變更：")
                 .arg(kMaxFaxNumber)
                 .arg(text.size()) +
             text);
    }
    for (const QChar c : text) {
        if (!isFaxCharacter(c)) {
            fail(QStringLiteral("信託部傳真號碼只能有數字、空白與 - ( ) #，不可有「%1」，"
                                "未做任何變更：")
                     .arg(c.category() == QChar::Other_Control
                              ? QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'))
                              : QString(c)) +
                 text);
        }
    }
    if (std::none_of(text.cbegin(), text.cend(),
                     [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); })) {
        fail(QStringLiteral("信託部傳真號碼須包含數字，未做任何變更：") + text);
    }
    return text;
}

FaxSetting ReadFaxNumber(Database& db) {
    UnitOfWork unit(db);
    QSqlQuery query =
        db.Query(Statement(QStringLiteral("SELECT Value, IdUserModify, TimeModify FROM SYS_Setting "
                                          "WHERE Name = ?"),
                           {kFaxName}));
    if (!query.next()) {
        fail(QStringLiteral("資料庫沒有信託部傳真號碼的設定：") + db.target().describe() +
             QStringLiteral("\n請先執行 quorvane-db upgrade"));
    }
    FaxSetting setting;
    setting.number = query.value(0).toString();
    setting.idUserModify = query.value(1).toString();
    setting.timeModify = FieldDateTime(query.value(2));
    return setting;
}

void WriteFaxNumber(Database& db, const QString& number, const QString& idUserModify) {
    const QString checked = CheckFaxNumber(number);
    Transaction transaction(db);
    ReadFaxNumber(db);
    db.ConnExecute(Statement(QStringLiteral("UPDATE SYS_Setting SET Value = ?, IdUserModify = ?, "
                                            "TimeModify = ? WHERE Name = ?"),
                             {checked, idUserModify, db.GetServerTime(), kFaxName}));
    transaction.commit();
}

}  // namespace quorvane
