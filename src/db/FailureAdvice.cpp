#include "db/FailureAdvice.h"

namespace quorvane {

namespace {

// Advice shared by both backends.
const QString kBusy = QStringLiteral("資料庫忙碌中，另一工作站正在寫入，請稍後按「重試」");
const QString kStatementTimeout = QStringLiteral("資料庫回應逾時，請稍後按「重試」");
const QString kDeadlock =
    QStringLiteral("資料庫忙碌中，與另一工作站的寫入互相等候，此步驟已取消，請按「重試」");
const QString kSerialization =
    QStringLiteral("另一工作站同時修改了相同的資料，此步驟已取消，請按「重試」");
const QString kDuplicate =
    QStringLiteral("資料已存在：另一工作站可能剛存入相同編號的資料，請重新查詢後再處理");
const QString kReferenced =
    QStringLiteral("此資料仍被其他資料使用，或所參照的資料已不存在，請重新查詢後再處理");
const QString kInvalidData = QStringLiteral(
    "資料內容不符合資料庫的規定（必填欄位空白，或長度、數值超出範圍），請檢查輸入的資料");
const QString kSchemaMismatch = QStringLiteral("資料庫結構與本程式版本不符，請通知系統管理者");
const QString kNoPrivilege = QStringLiteral("資料庫帳號沒有執行此動作的權限，請通知系統管理者");

QString generic(const QString& where) {
    return where + QStringLiteral("無法完成此動作，請按「複製詳細資料」並通知系統管理者");
}

QString connectionLost(const QString& server) {
    return QStringLiteral("與") + server +
           QStringLiteral("的連線中斷，請確認伺服器已啟動後按「重試」");
}

QString unreachable(const QString& server) {
    return QStringLiteral("無法連線至") + server +
           QStringLiteral(
               "，請確認伺服器已啟動、網路正常，且「系統環境設定」的伺服器位址正確後"
               "按「重試」");
}

QString noDatabase(const QString& server) {
    return QStringLiteral("無法連線至") + server +
           QStringLiteral(
               "：伺服器上沒有此資料庫，請系統管理者建立資料庫並以 quorvane-db init "
               "安裝資料表");
}

QString loginRefused(const QString& server) {
    return QStringLiteral("無法連線至") + server +
           QStringLiteral("：伺服器拒絕此工作站登入（帳號或驗證設定不符），請通知系統管理者");
}

bool has(const QString& text, const char* fragment) {
    return text.contains(QLatin1String(fragment), Qt::CaseInsensitive);
}

// libpq reports failures of the connection itself without an SQLSTATE; its text tells them
// apart.
QString postgresConnectionAdvice(const QString& server, const QString& text) {
    if (has(text, "timeout expired")) {
        return QStringLiteral("連線至") + server +
               QStringLiteral("逾時，請確認伺服器已啟動且網路正常後按「重試」");
    }
    if (has(text, "server closed the connection unexpectedly") ||
        has(text, "no connection to the server") || has(text, "connection to server was lost") ||
        has(text, "terminating connection") || has(text, "could not receive data") ||
        has(text, "could not send data") || has(text, "SSL SYSCALL error")) {
        return connectionLost(server);
    }
    if (has(text, "could not translate host name")) {
        return QStringLiteral("無法連線至") + server +
               QStringLiteral("：找不到此主機名稱，請至「系統環境設定」確認伺服器位址");
    }
    if (has(text, "database \"") && has(text, "does not exist")) {
        return noDatabase(server);
    }
    if (has(text, "authentication failed") || has(text, "no pg_hba.conf entry") ||
        (has(text, "role \"") && has(text, "does not exist"))) {
        return loginRefused(server);
    }
    if (has(text, "could not connect to server") || has(text, "connection to server") ||
        has(text, "connection refused")) {
        return unreachable(server);
    }
    return generic(server);
}

QString postgresAdvice(const QString& server, const QString& state, const QString& text) {
    if (state.isEmpty()) {
        return postgresConnectionAdvice(server, text);
    }
    if (state == QLatin1String("08001") || state == QLatin1String("08004")) {
        return unreachable(server);
    }
    if (state.startsWith(QLatin1String("08")) || state == QLatin1String("57P01") ||
        state == QLatin1String("57P02")) {
        return connectionLost(server);
    }
    if (state == QLatin1String("57P03")) {
        return server + QStringLiteral("正在啟動，尚不接受連線，請稍後按「重試」");
    }
    if (state == QLatin1String("57014")) {
        return kStatementTimeout;
    }
    if (state == QLatin1String("55P03")) {
        return kBusy;
    }
    if (state == QLatin1String("40P01")) {
        return kDeadlock;
    }
    if (state == QLatin1String("40001")) {
        return kSerialization;
    }
    if (state == QLatin1String("23505")) {
        return kDuplicate;
    }
    if (state == QLatin1String("23503")) {
        return kReferenced;
    }
    if (state.startsWith(QLatin1String("23")) || state.startsWith(QLatin1String("22"))) {
        return kInvalidData;
    }
    if (state == QLatin1String("53300")) {
        return server +
               QStringLiteral("的連線數已滿，請稍後按「重試」，若持續發生請通知系統管理者");
    }
    if (state.startsWith(QLatin1String("53"))) {
        return server + QStringLiteral("資源不足（磁碟空間或記憶體），請通知系統管理者");
    }
    if (state == QLatin1String("42501")) {
        return kNoPrivilege;
    }
    if (state.startsWith(QLatin1String("28"))) {
        return loginRefused(server);
    }
    if (state == QLatin1String("3D000")) {
        return noDatabase(server);
    }
    if (state == QLatin1String("42P01") || state == QLatin1String("42703") ||
        state == QLatin1String("42883")) {
        return kSchemaMismatch;
    }
    if (state.startsWith(QLatin1String("58")) || state.startsWith(QLatin1String("XX"))) {
        return server + QStringLiteral("發生系統錯誤，請通知系統管理者");
    }
    return generic(server);
}

// SQLite result codes: the primary code is the low byte of an extended one.
enum SqliteCode {
    kError = 1,
    kPerm = 3,
    kBusyCode = 5,
    kLocked = 6,
    kNoMem = 7,
    kReadOnly = 8,
    kIoErr = 10,
    kCorrupt = 11,
    kFull = 13,
    kCantOpen = 14,
    kConstraint = 19,
    kNotADb = 26,
    kConstraintForeignKey = 787,
    kConstraintPrimaryKey = 1555,
    kConstraintUnique = 2067,
};

QString sqliteConstraintAdvice(int extended, const QString& text) {
    if (extended == kConstraintUnique || extended == kConstraintPrimaryKey ||
        has(text, "UNIQUE constraint failed")) {
        return kDuplicate;
    }
    if (extended == kConstraintForeignKey || has(text, "FOREIGN KEY constraint failed")) {
        return kReferenced;
    }
    return kInvalidData;
}

QString sqliteAdvice(const QString& file, const QString& code, const QString& text) {
    bool numeric = false;
    const int extended = code.toInt(&numeric);
    if (!numeric) {
        return generic(file);
    }
    switch (extended & 0xff) {
        case kBusyCode:
        case kLocked:
            return kBusy;
        case kReadOnly:
            return QStringLiteral("無法寫入") + file +
                   QStringLiteral("（唯讀），請系統管理者開放此檔案及所在資料夾的寫入權限");
        case kIoErr:
            return QStringLiteral("讀寫") + file +
                   QStringLiteral(
                       "時發生磁碟錯誤，請確認磁碟或網路磁碟機可用後按「重試」，"
                       "若持續發生請通知系統管理者");
        case kCorrupt:
            return file + QStringLiteral("已損毀，請停止使用並通知系統管理者自備份還原");
        case kFull:
            return file + QStringLiteral("所在的磁碟已滿，請通知系統管理者清出空間後按「重試」");
        case kCantOpen:
            return QStringLiteral("無法開啟") + file +
                   QStringLiteral(
                       "，請確認檔案及所在資料夾存在且可讀寫，或至「系統環境設定」"
                       "指定正確位置");
        case kNotADb:
            return file +
                   QStringLiteral("不是資料庫檔案，請至「系統環境設定」指定正確的資料庫檔案");
        case kPerm:
            return QStringLiteral("無法存取") + file +
                   QStringLiteral("（權限不足），請通知系統管理者");
        case kNoMem:
            return QStringLiteral("記憶體不足，請關閉其他程式後按「重試」");
        case kConstraint:
            return sqliteConstraintAdvice(extended, text);
        case kError:
            if (has(text, "no such table") || has(text, "no such column")) {
                return kSchemaMismatch;
            }
            return generic(file);
        default:
            return generic(file);
    }
}

}  // namespace

QString FailureAdvice(const ConnectionTarget& target, const QString& code,
                      const QString& driverText) {
    switch (target.kind()) {
        case ConnectionTarget::Kind::Postgres:
            return postgresAdvice(target.describe(), code, driverText);
        case ConnectionTarget::Kind::Sqlite:
            // The file's path ends the name: a space keeps it apart from the words after it.
            return sqliteAdvice(target.describe() + QLatin1Char(' '), code, driverText);
        case ConnectionTarget::Kind::None:
            break;
    }
    return generic(target.describe());
}

QString DatabaseFailureText(const ConnectionTarget& target, const QString& code,
                            const QString& driverText) {
    return FailureAdvice(target, code, driverText) + QStringLiteral("\r\n") + driverText;
}

}  // namespace quorvane
