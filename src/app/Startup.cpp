#include "app/Startup.h"

#include "core/PrintOffsets.h"
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

bool InitializeSystem(const SettingsStore& settings, Dialogs& dialogs, StartupState& state) {
    // Defaults in place of an unreadable file could mean working on another database.
    const QString unreadable = settings.unreadableFile();
    if (!unreadable.isEmpty()) {
        dialogs.message(
            Dialogs::Icon::Critical, QStringLiteral("系統初始化"),
            QStringLiteral("無法讀取設定檔：") + unreadable +
                QStringLiteral("\r\n\r\n請系統管理者檢查此檔案的權限與內容後，再重新啟動系統"));
        return false;
    }
    state.serverHost = ServerHostFor(settings);
    SetPrintOffsets({settings.GetTemplateOffsetLeft(), settings.GetTemplateOffsetTop(),
                     settings.GetTicketFormOffsetLeft(), settings.GetTicketFormOffsetTop()});
    if (!state.serverHost.trimmed().isEmpty()) {
        state.target = ConnectionTarget::FromServerHost(state.serverHost)
                           .withTimeouts(settings.GetDatabaseTimeouts());
        return true;
    }
    dialogs.message(Dialogs::Icon::Warning, QStringLiteral("系統初始化"),
                    QStringLiteral("尚未設定伺服器IP位址\r\n\r\n"
                                   "請至「系統環境設定」指定適當資料庫伺服器位置"));
    frmST_SettingSystem screen(settings, state.serverHost);
    dialogs.runModal(&screen);
    return false;
}

}  // namespace quorvane
