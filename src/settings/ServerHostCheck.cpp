#include "settings/ServerHostCheck.h"

#include "db/ConnectionTarget.h"
#include "ui/Dialogs.h"
#include "ui/FieldKinds.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTabWidget>

namespace quorvane {

namespace {

constexpr int kHighestPort = 65535;

const QString kForms = QStringLiteral(
    "請輸入資料庫伺服器的名稱或 IP 位址（可加「:連接埠」，例如 dbserver 或 10.20.30.40:5432），"
    "或 SQLite 資料庫檔案的完整路徑（例如 sqlite:/srv/quorvane/quorvane.db）");

QString quoted(const QString& text) {
    return QStringLiteral("「") + text + QStringLiteral("」");
}

QString sqliteFileProblem(const QString& path) {
    if (path.isEmpty()) {
        return QStringLiteral("請在「sqlite:」之後輸入資料庫檔案的完整路徑");
    }
    const QFileInfo file(path);
    if (file.isRelative()) {
        return QStringLiteral("資料庫檔案") + quoted(path) +
               QStringLiteral("不是完整路徑，請輸入以「/」開頭的完整路徑");
    }
    if (!file.dir().exists()) {
        return QStringLiteral("找不到資料夾：") + file.absolutePath() +
               QStringLiteral("\r\n\r\n請確認資料庫檔案的路徑正確");
    }
    if (file.isDir()) {
        return quoted(path) + QStringLiteral("是資料夾，請輸入資料庫檔案的完整路徑");
    }
    if (!file.exists()) {
        return QStringLiteral("找不到資料庫檔案：") + path +
               QStringLiteral(
                   "\r\n\r\n請確認路徑正確，或請系統管理者以 quorvane-db init 建立資料庫");
    }
    return {};
}

QString conninfoProblem(const QString& conninfo) {
    static const QRegularExpression pairs(
        QStringLiteral("^(\\s*[A-Za-z_]+\\s*=\\s*('(?:[^'\\\\]|\\\\.)*'|[^\\s'=]+)\\s*)+$"));
    if (pairs.match(conninfo).hasMatch()) {
        return {};
    }
    return QStringLiteral("連線字串") + quoted(conninfo) +
           QStringLiteral(
               "格式不正確，應為以空白分隔的「名稱=值」"
               "（例如 host=dbserver port=5432 dbname=quorvane）");
}

bool isHostName(const QString& name) {
    static const QRegularExpression dottedNumbers(QStringLiteral("^[0-9.]+$"));
    static const QRegularExpression address(QStringLiteral("^(\\d{1,3})(\\.\\d{1,3}){3}$"));
    static const QRegularExpression hostName(
        QStringLiteral("^[A-Za-z0-9_]([A-Za-z0-9_-]*[A-Za-z0-9_])?(\\.[A-Za-z0-9_]([A-Za-z0-9_-]*["
                       "A-Za-z0-9_])?)*$"));
    static const QRegularExpression v6(
        QStringLiteral("^[0-9A-Fa-f:.]*:[0-9A-Fa-f:.]*:[0-9A-Fa-f:.]*$"));
    if (v6.match(name).hasMatch()) {
        return true;
    }
    if (dottedNumbers.match(name).hasMatch()) {
        if (!address.match(name).hasMatch()) {
            return false;
        }
        for (const QString& part : name.split(QLatin1Char('.'))) {
            if (part.toInt() > 255) {
                return false;
            }
        }
        return true;
    }
    constexpr int kLongestHostName = 253;
    return name.size() <= kLongestHostName && hostName.match(name).hasMatch();
}

// A host name or address with an optional ":port", as ConnectionTarget reads it.
QString hostProblem(const QString& text) {
    static const QRegularExpression withPort(QStringLiteral("^(\\[[^\\]]*\\]|[^:]+):([^:]*)$"));
    QString name = text;
    const QRegularExpressionMatch match = withPort.match(text);
    if (match.hasMatch()) {
        name = match.captured(1);
        static const QRegularExpression digits(QStringLiteral("^\\d{1,5}$"));
        const QString port = match.captured(2);
        if (!digits.match(port).hasMatch() || port.toInt() < 1 || port.toInt() > kHighestPort) {
            return QStringLiteral("連接埠") + quoted(port) +
                   QStringLiteral("不正確，必須是 1 至 65535 之間的數字");
        }
    }
    if (name.startsWith(QLatin1Char('[')) && name.endsWith(QLatin1Char(']'))) {
        name = name.mid(1, name.size() - 2);
    }
    if (isHostName(name)) {
        return {};
    }
    return QStringLiteral("伺服器位址") + quoted(text) + QStringLiteral("格式不正確\r\n\r\n") +
           kForms;
}

}  // namespace

QString ServerHostProblem(const QString& host) {
    const QString text = host.trimmed();
    const ConnectionTarget target = ConnectionTarget::FromServerHost(text);
    switch (target.kind()) {
        case ConnectionTarget::Kind::None:
            return QStringLiteral("伺服器位址不可空白\r\n\r\n") + kForms;
        case ConnectionTarget::Kind::Sqlite:
            return sqliteFileProblem(target.location());
        case ConnectionTarget::Kind::Postgres:
            break;
    }
    return text.contains(QLatin1Char('=')) ? conninfoProblem(text) : hostProblem(text);
}

bool RefuseServerHost(QLineEdit* field, QTabWidget* tabs, const QString& title) {
    const QString problem = ServerHostProblem(field->text());
    if (problem.isEmpty()) {
        return false;
    }
    AppDialogs().message(Dialogs::Icon::Warning, title, problem);
    for (int page = 0; page < tabs->count(); ++page) {
        if (tabs->widget(page)->isAncestorOf(field)) {
            tabs->setCurrentIndex(page);
        }
    }
    SetFocusTextBox(field, true);
    return true;
}

}  // namespace quorvane
