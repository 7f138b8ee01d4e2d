#include "db/Database.h"

#include "core/Failure.h"
#include "core/FailureRouting.h"
#include "db/FailureAdvice.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>
#include <QStringList>

namespace quorvane {

namespace {

constexpr int kPreparedCacheLimit = 128;
constexpr int kMillisecondsPerSecond = 1000;
// TCP keep-alives on an idle PostgreSQL connection: a server that went away unannounced is
// noticed after about 10 + 3 × 5 seconds instead of after the system's two hours.
constexpr int kKeepAliveIdleSeconds = 10;
constexpr int kKeepAliveIntervalSeconds = 5;
constexpr int kKeepAliveCount = 3;

QString driverName(ConnectionTarget::Kind kind) {
    return kind == ConnectionTarget::Kind::Postgres ? QStringLiteral("QPSQL")
                                                    : QStringLiteral("QSQLITE");
}

Dialect::Backend backendOf(const ConnectionTarget& target) {
    return target.kind() == ConnectionTarget::Kind::Postgres ? Dialect::Backend::Postgres
                                                             : Dialect::Backend::Sqlite;
}

// Values as the drivers bind them on both backends: times as text (no client time zone is
// applied), booleans as 0/1 (bit columns are integers on both).
QVariant bindable(const QVariant& value) {
    switch (value.metaType().id()) {
        case QMetaType::QDateTime:
            return Dialect::timeValue(value.toDateTime());
        case QMetaType::Bool:
            return value.isNull() ? QVariant(QMetaType::fromType<int>())
                                  : QVariant(value.toBool() ? 1 : 0);
        default:
            return value;
    }
}

// The libpq connection options every PostgreSQL connection gets. They come before the
// target's own connection string, so that a key set there wins.
QString postgresOptions(const DatabaseTimeouts& timeouts) {
    return QStringLiteral(
               "connect_timeout=%1 keepalives=1 keepalives_idle=%2 "
               "keepalives_interval=%3 keepalives_count=%4 tcp_user_timeout=%5 ")
        .arg(timeouts.connectSeconds)
        .arg(kKeepAliveIdleSeconds)
        .arg(kKeepAliveIntervalSeconds)
        .arg(kKeepAliveCount)
        // Data the server does not acknowledge within a statement's time means it is gone.
        .arg(timeouts.statementSeconds * kMillisecondsPerSecond);
}

WaitIndicator& installedWaitIndicator() {
    static WaitIndicator indicator;
    return indicator;
}

void indicateWaiting(bool waiting) {
    if (const WaitIndicator& indicator = installedWaitIndicator()) {
        indicator(waiting);
    }
}

}  // namespace

void InstallWaitIndicator(WaitIndicator indicator) {
    installedWaitIndicator() = std::move(indicator);
}

void RequireIdentifier(const QString& name) {
    static const QRegularExpression identifier(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (!identifier.match(name).hasMatch()) {
        throw Failure(0, QStringLiteral("不合法的資料表或欄位名稱：") + name,
                      QStringLiteral("modDB"));
    }
}

Database::Database(ConnectionTarget target, QString connectionName)
    : target_(std::move(target)),
      connectionName_(std::move(connectionName)),
      dialect_(backendOf(target_)) {
    if (target_.isNone()) {
        throw Failure(0, QStringLiteral("尚未設定資料庫伺服器位置"), QStringLiteral("modDB"));
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(driverName(target_.kind()), connectionName_);
    if (!db.isValid()) {
        QSqlDatabase::removeDatabase(connectionName_);
        throw Failure(0, QStringLiteral("無法載入資料庫驅動程式 ") + driverName(target_.kind()),
                      QStringLiteral("modDB"));
    }
    if (target_.kind() == ConnectionTarget::Kind::Sqlite) {
        db.setDatabaseName(target_.location());
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1")
                                 .arg(target_.timeouts().busySeconds * kMillisecondsPerSecond));
    } else {
        db.setConnectOptions(postgresOptions(target_.timeouts()) + target_.location());
    }
}

Database::~Database() {
    prepared_.clear();
    {
        QSqlDatabase db = handle();
        if (db.isOpen()) {
            if (transactionDepth_ > 0) {
                QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(connectionName_);
}

QSqlDatabase Database::handle() const {
    return QSqlDatabase::database(connectionName_, false);
}

void Database::openPhysical() {
    QSqlDatabase db = handle();
    if (target_.kind() == ConnectionTarget::Kind::Sqlite) {
        const QFileInfo file(target_.location());
        if (!file.exists()) {
            throw Failure(0,
                          QStringLiteral("找不到資料庫檔案：") + target_.location() +
                              QStringLiteral("\r\n請系統管理者以 quorvane-db init "
                                             "建立資料庫，或至「系統環境設定」指定正確位置"),
                          QStringLiteral("SQLite"));
        }
        if (!file.isFile() || !file.isReadable()) {
            throw Failure(0,
                          QStringLiteral("無法讀取資料庫檔案：") + target_.location() +
                              QStringLiteral("\r\n此位置不是可讀取的檔案，請至「系統環境設定」"
                                             "指定正確的資料庫檔案，或請系統管理者開放讀取權限"),
                          QStringLiteral("SQLite"));
        }
    }
    if (!db.open()) {
        const QSqlError error = db.lastError();
        db.close();
        raise(error, QString());
    }
    // These do not persist in the database: every connection sets them. On SQLite the first
    // statement also proves that the file is an SQLite database at all. A statement or lock
    // wait that outlasts its timeout fails (SQLSTATE 57014 or 55P03) instead of hanging.
    const DatabaseTimeouts& timeouts = target_.timeouts();
    const QStringList settings =
        target_.kind() == ConnectionTarget::Kind::Sqlite
            ? QStringList{QStringLiteral("PRAGMA foreign_keys = ON"),
                          QStringLiteral("PRAGMA synchronous = FULL"),
                          QStringLiteral("PRAGMA journal_mode = WAL")}
            : QStringList{QStringLiteral("SET client_min_messages = WARNING"),
                          QStringLiteral("SET statement_timeout = %1")
                              .arg(timeouts.statementSeconds * kMillisecondsPerSecond),
                          QStringLiteral("SET lock_timeout = %1")
                              .arg(timeouts.lockSeconds * kMillisecondsPerSecond)};
    for (const QString& setting : settings) {
        QSqlQuery query(db);
        if (!query.exec(setting)) {
            const QSqlError error = query.lastError();
            query.finish();
            db.close();
            raise(error, QString());
        }
    }
    suspect_ = false;
}

void Database::reconnectIfDropped() {
    QSqlDatabase db = handle();
    if (!db.isOpen()) {
        prepared_.clear();
        openPhysical();
        return;
    }
    if (!suspect_) {
        return;
    }
    // A statement failed since the last unit of work: make sure the server is still there
    // before trusting the connection again.
    {
        QSqlQuery ping(db);
        if (ping.exec(QStringLiteral("SELECT 1"))) {
            suspect_ = false;
            return;
        }
    }
    prepared_.clear();
    db.close();
    openPhysical();
}

bool Database::ConnOpen() {
    if (openUnits_ == 0) {
        indicateWaiting(true);
        try {
            reconnectIfDropped();
        } catch (...) {
            indicateWaiting(false);
            throw;
        }
    }
    ++openUnits_;
    return true;
}

void Database::ConnClose() {
    if (openUnits_ == 0) {
        return;
    }
    --openUnits_;
    if (openUnits_ > 0) {
        return;
    }
    if (transactionDepth_ > 0) {
        // A unit of work may not end inside a transaction: what was not committed is undone.
        TransRollback();
    }
    indicateWaiting(false);
}

void Database::raise(const QSqlError& error, const QString& where) {
    suspect_ = true;
    const QString code = error.nativeErrorCode();
    bool numeric = false;
    const long number = code.toLong(&numeric);
    QString text = error.databaseText();
    if (text.isEmpty()) {
        text = error.driverText();
    }
    QString source = driverName(target_.kind());
    if (!where.isEmpty()) {
        source += QStringLiteral("：") + where;
    }
    throw DatabaseFailure(numeric ? number : 0, DatabaseFailureText(target_, code, text), source,
                          code);
}

void Database::runControl(const QString& sql) {
    QSqlQuery query(handle());
    if (!query.exec(sql)) {
        raise(query.lastError(), sql);
    }
}

void Database::bindAndExec(QSqlQuery& query, const Statement& statement) {
    for (int i = 0; i < statement.binds.size(); ++i) {
        query.bindValue(i, bindable(statement.binds.at(i)));
    }
    if (!query.exec()) {
        const QSqlError error = query.lastError();
        query.finish();
        raise(error, statement.sql);
    }
}

QSqlQuery& Database::preparedFor(const QString& sql) {
    auto found = prepared_.find(sql);
    if (found != prepared_.end()) {
        return found.value();
    }
    if (prepared_.size() >= kPreparedCacheLimit) {
        prepared_.clear();
    }
    QSqlQuery query(handle());
    query.setForwardOnly(true);
    if (!query.prepare(sql)) {
        raise(query.lastError(), sql);
    }
    return prepared_.insert(sql, query).value();
}

void Database::run(QSqlQuery& query, const Statement& statement) {
    // A statement without values runs as it is: PostgreSQL prepares only queries and DML, and
    // a plain statement costs one round trip instead of two.
    if (statement.binds.isEmpty()) {
        if (!query.exec(statement.sql)) {
            const QSqlError error = query.lastError();
            query.finish();
            raise(error, statement.sql);
        }
        return;
    }
    if (!query.prepare(statement.sql)) {
        raise(query.lastError(), statement.sql);
    }
    bindAndExec(query, statement);
}

qint32 Database::ConnExecute(const Statement& statement) {
    UnitOfWork unit(*this);
    QSqlQuery query(handle());
    run(query, statement);
    return query.numRowsAffected();
}

void Database::TransBegin() {
    if (openUnits_ == 0) {
        throw Failure(0, QStringLiteral("交易必須在開啟的連線上開始"), QStringLiteral("modDB"));
    }
    if (transactionDepth_ == 0) {
        runControl(dialect_.beginTransaction());
    }
    ++transactionDepth_;
}

void Database::TransCommit() {
    if (transactionDepth_ <= 0) {
        return;
    }
    if (transactionDepth_ == 1) {
        runControl(QStringLiteral("COMMIT"));
    }
    --transactionDepth_;
}

bool Database::TransRollback() {
    if (transactionDepth_ <= 0) {
        return false;
    }
    transactionDepth_ = 0;
    QSqlQuery query(handle());
    if (!query.exec(QStringLiteral("ROLLBACK"))) {
        // The connection is gone or the transaction with it; either way nothing is committed.
        suspect_ = true;
    }
    return false;
}

QSqlQuery Database::Query(const Statement& statement) {
    if (openUnits_ == 0) {
        throw Failure(0, QStringLiteral("查詢必須在開啟的連線上執行"), QStringLiteral("modDB"));
    }
    QSqlQuery query(handle());
    query.setForwardOnly(true);
    run(query, statement);
    return query;
}

QVariant Database::lookupValue(const Statement& statement) {
    UnitOfWork unit(*this);
    QSqlQuery plain(handle());
    plain.setForwardOnly(true);
    QSqlQuery& query = statement.binds.isEmpty() ? plain : preparedFor(statement.sql);
    if (statement.binds.isEmpty()) {
        run(query, statement);
    } else {
        bindAndExec(query, statement);
    }
    QVariant value;
    if (query.next()) {
        value = query.value(0);
    }
    query.finish();
    return value;
}

bool Database::HasRows(const Statement& query) {
    const QVariant value = lookupValue(query);
    return value.isValid() && !value.isNull();
}

QString Database::LookupText(const Statement& query) {
    const QVariant value = lookupValue(query);
    return value.isNull() ? QString() : value.toString();
}

qint32 Database::LookupLong(const Statement& query) {
    const QVariant value = lookupValue(query);
    return value.isNull() ? 0 : value.toInt();
}

qint64 Database::LookupInt64(const Statement& query) {
    const QVariant value = lookupValue(query);
    return value.isNull() ? 0 : value.toLongLong();
}

QDateTime Database::LookupDate(const Statement& query) {
    const QVariant value = lookupValue(query);
    return Dialect::readTime(value);
}

bool Database::IsValueExists(const QString& table, const QString& column, const QString& value) {
    RequireIdentifier(table);
    RequireIdentifier(column);
    const QString found = LookupText(
        Statement(QStringLiteral("SELECT %2 FROM %1 WHERE (%2 = ?)").arg(table, column), {value}));
    return found == value;
}

QDateTime Database::GetServerTime() {
    const Statement statement(dialect_.serverTime());
    SetExceptionText(statement.sql);
    return LookupDate(statement);
}

Transaction::Transaction(Database& db) : unit_(db), db_(db) {
    db_.TransBegin();
}

Transaction::~Transaction() {
    if (!done_) {
        db_.TransRollback();
    }
}

void Transaction::commit() {
    db_.TransCommit();
    done_ = true;
}

}  // namespace quorvane
