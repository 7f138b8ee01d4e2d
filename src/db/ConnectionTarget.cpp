#include "db/ConnectionTarget.h"

#include <QRegularExpression>

namespace quorvane {

namespace {

const QString kDefaultDatabase = QStringLiteral("quorvane");

bool hasConninfoKey(const QString& conninfo, const QString& key) {
    const QRegularExpression pattern(QStringLiteral("(^|\\s)%1\\s*=").arg(key));
    return pattern.match(conninfo).hasMatch();
}

QString conninfoValue(const QString& conninfo, const QString& key) {
    const QRegularExpression pattern(
        QStringLiteral("(?:^|\\s)%1\\s*=\\s*('(?:[^'\\\\]|\\\\.)*'|\\S+)").arg(key));
    const QRegularExpressionMatch match = pattern.match(conninfo);
    return match.hasMatch() ? match.captured(1) : QString();
}

QString quoteConninfoValue(const QString& value) {
    QString escaped = value;
    escaped.replace(QStringLiteral("\\"), QStringLiteral("\\\\"));
    escaped.replace(QStringLiteral("'"), QStringLiteral("\\'"));
    return QStringLiteral("'") + escaped + QStringLiteral("'");
}

}  // namespace

ConnectionTarget::ConnectionTarget(Kind kind, QString location)
    : kind_(kind), location_(std::move(location)) {}

ConnectionTarget ConnectionTarget::Sqlite(QString file) {
    return ConnectionTarget(Kind::Sqlite, std::move(file));
}

ConnectionTarget ConnectionTarget::Postgres(QString conninfo) {
    QString full = conninfo.trimmed();
    if (!hasConninfoKey(full, QStringLiteral("dbname"))) {
        full += QStringLiteral(" dbname=") + kDefaultDatabase;
    }
    return ConnectionTarget(Kind::Postgres, full.trimmed());
}

ConnectionTarget ConnectionTarget::FromServerHost(const QString& host) {
    const QString text = host.trimmed();
    if (text.isEmpty()) {
        return {};
    }
    if (text.startsWith(QStringLiteral("sqlite:"))) {
        return Sqlite(text.mid(7));
    }
    if (text.startsWith(QLatin1Char('/'))) {
        return Sqlite(text);
    }
    if (text.contains(QLatin1Char('='))) {
        return Postgres(text);
    }
    // host, host:port, or [v6-address]:port
    QString name = text;
    QString port;
    const QRegularExpression withPort(QStringLiteral("^(\\[[^\\]]+\\]|[^:]+):(\\d+)$"));
    const QRegularExpressionMatch match = withPort.match(text);
    if (match.hasMatch()) {
        name = match.captured(1);
        port = match.captured(2);
    }
    if (name.startsWith(QLatin1Char('[')) && name.endsWith(QLatin1Char(']'))) {
        name = name.mid(1, name.size() - 2);
    }
    QString conninfo = QStringLiteral("host=") + quoteConninfoValue(name);
    if (!port.isEmpty()) {
        conninfo += QStringLiteral(" port=") + port;
    }
    return Postgres(conninfo);
}

ConnectionTarget ConnectionTarget::withTimeouts(const DatabaseTimeouts& timeouts) const {
    ConnectionTarget target = *this;
    target.timeouts_ = timeouts;
    return target;
}

QString ConnectionTarget::describe() const {
    switch (kind_) {
        case Kind::None:
            return QStringLiteral("（未設定）");
        case Kind::Sqlite:
            return QStringLiteral("SQLite 資料庫檔案 ") + location_;
        case Kind::Postgres: {
            QString host = conninfoValue(location_, QStringLiteral("host"));
            if (host.isEmpty()) {
                host = conninfoValue(location_, QStringLiteral("service"));
            }
            if (host.isEmpty()) {
                host = QStringLiteral("localhost");
            }
            const QString port = conninfoValue(location_, QStringLiteral("port"));
            QString text = QStringLiteral("PostgreSQL 伺服器 ") + host;
            if (!port.isEmpty()) {
                text += QStringLiteral(":") + port;
            }
            return text + QStringLiteral("（資料庫 ") +
                   conninfoValue(location_, QStringLiteral("dbname")) + QStringLiteral("）");
        }
    }
    return {};
}

}  // namespace quorvane
