#include "app/Startup.h"

#include "core/PrintOffsets.h"
#include "db/SchemaInstaller.h"
#include "settings/frmST_SettingSystem.h"

#include <QDir>
#include <QStandardPaths>

namespace quorvane {

QString DefaultDatabaseFile() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("quorvane.db"));
}

QString DefaultServerHost() {
    return QStringLiteral("sqlite:") + DefaultDatabaseFile();
}

QString ServerHostFor(const SettingsStore& settings) {
    return settings.GetServerIP().value_or(DefaultServerHost());
}

StartupOutcome InitializeSystem(const SettingsStore& settings, Dialogs& dialogs,
                                StartupState& state) {
    // Defaults in place of an unreadable file could mean working on another database.
    const QString unreadable = settings.unreadableFile();
    if (!unreadable.isEmpty()) {
        dialogs.message(
            Dialogs::Icon::Critical, QStringLiteral("系統初始化"),
            QStringLiteral("無法讀取設定檔：") + unreadable +
                QStringLiteral("\r\n\r\n請系統管理者檢查此檔案的權限與內容後，再重新啟動系統"));
        return StartupOutcome::Failed;
    }
    state.serverHost = ServerHostFor(settings);
    SetPrintOffsets({settings.GetTemplateOffsetLeft(), settings.GetTemplateOffsetTop(),
                     settings.GetTicketFormOffsetLeft(), settings.GetTicketFormOffsetTop()});
    if (!state.serverHost.trimmed().isEmpty()) {
        state.target = ConnectionTarget::FromServerHost(state.serverHost)
                           .withTimeouts(settings.GetDatabaseTimeouts());
        return StartupOutcome::Ready;
    }
    dialogs.message(Dialogs::Icon::Warning, QStringLiteral("系統初始化"),
                    QStringLiteral("尚未設定伺服器IP位址\r\n\r\n"
                                   "請至「系統環境設定」指定適當資料庫伺服器位置"));
    frmST_SettingSystem screen(settings, state.serverHost);
    dialogs.runModal(&screen);
    return StartupOutcome::Unconfigured;
}

QString DatabaseUnavailableText(const Failure& failure) {
    return failure.description() + QStringLiteral("\r\n\r\n系統即將結束。");
}

std::unique_ptr<Database> OpenDatabase(const ConnectionTarget& target, Dialogs& dialogs) {
    try {
        auto db = std::make_unique<Database>(target);
        const UnitOfWork unit(*db);
        return db;
    } catch (const Failure& failure) {
        dialogs.message(Dialogs::Icon::Critical, QStringLiteral("系統初始化"),
                        DatabaseUnavailableText(failure));
        return nullptr;
    }
}

bool CheckDatabaseVersion(Database& db, Dialogs& dialogs) {
    const int installed = SchemaInstaller::InstalledVersion(db);
    const int wanted = SchemaInstaller::kSchemaVersion;
    if (installed == wanted) {
        return true;
    }
    const QString where = QStringLiteral("資料庫：") + db.target().describe();
    QString text;
    if (installed == 0) {
        text = QStringLiteral("資料庫尚未建立本系統的資料表（找不到結構版本）\r\n") + where +
               QStringLiteral(
                   "\r\n\r\n請系統管理者以 quorvane-db init 建立資料庫，"
                   "或至「系統環境設定」指定正確的資料庫位置");
    } else if (installed < wanted) {
        text = QStringLiteral("資料庫結構版本為 %1，本版系統需要版本 %2\r\n")
                   .arg(installed)
                   .arg(wanted) +
               where +
               QStringLiteral(
                   "\r\n\r\n請系統管理者先備份資料庫，再以 quorvane-db upgrade "
                   "更新資料庫結構，然後重新啟動系統");
    } else {
        text = QStringLiteral("資料庫結構版本為 %1，比本版系統使用的版本 %2 新\r\n")
                   .arg(installed)
                   .arg(wanted) +
               where + QStringLiteral("\r\n\r\n請安裝新版的系統後再啟動");
    }
    dialogs.message(Dialogs::Icon::Critical, QStringLiteral("系統初始化"), text);
    return false;
}

}  // namespace quorvane
