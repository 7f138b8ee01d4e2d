#include "app/Program.h"

#include "app/frmAP_Login.h"
#include "app/frmAP_Main.h"
#include "ui/Dialogs.h"
#include "ui/FieldLookups.h"
#include "ui/Fonts.h"
#include "ui/SetBusy.h"

#include <QApplication>
#include <QLocale>

namespace quorvane {

void PrepareApplication() {
    QCoreApplication::setOrganizationName(QStringLiteral("Zanthel"));
    QCoreApplication::setApplicationName(QStringLiteral("Quorvane"));
    // Dates, times and numbers as the trust department writes them.
    QLocale::setDefault(
        QLocale(QLocale::Chinese, QLocale::TraditionalChineseScript, QLocale::Taiwan));
    InstallFontSubstitutions();
    RouteFailuresToDialogs();
    ShowWaitPointerWhileDatabaseWorks();
}

Program::Program(SettingsStore settings) : settings_(std::move(settings)) {}

Program::~Program() = default;

StartupOutcome Program::start() {
    const StartupOutcome outcome = InitializeSystem(settings_, AppDialogs(), state_);
    if (outcome != StartupOutcome::Ready) {
        return outcome;
    }
    db_ = OpenDatabase(state_.target, AppDialogs());
    if (!db_) {
        return StartupOutcome::Failed;
    }
    try {
        if (!CheckDatabaseVersion(*db_, AppDialogs())) {
            return StartupOutcome::Failed;
        }
    } catch (const Failure& failure) {
        AppDialogs().message(Dialogs::Icon::Critical, QStringLiteral("系統初始化"),
                             DatabaseUnavailableText(failure));
        return StartupOutcome::Failed;
    }
    return StartupOutcome::Ready;
}

std::unique_ptr<frmAP_Login> Program::createLogin() {
    return std::make_unique<frmAP_Login>(*db_, settings_);
}

int Program::run(QApplication& app) {
    const StartupOutcome started = start();
    if (started != StartupOutcome::Ready) {
        return started == StartupOutcome::Failed ? 1 : 0;
    }
    int outcome = frmAP_Login::Ended;
    {
        const std::unique_ptr<frmAP_Login> login = createLogin();
        outcome = login->exec();
    }
    if (outcome != frmAP_Login::LoggedIn) {
        return outcome == frmAP_Login::Failed ? 1 : 0;
    }
    InstallFieldLookups(*db_);
    frmAP_Main main(*db_, settings_, state_.serverHost);
    main.load();
    main.show();
    return app.exec();
}

}  // namespace quorvane
