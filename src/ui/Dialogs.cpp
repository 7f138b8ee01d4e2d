#include "ui/Dialogs.h"

#include "ui/QtDialogs.h"

namespace quorvane {

namespace {

Dialogs*& installedDialogs() {
    static Dialogs* dialogs = nullptr;
    return dialogs;
}

}  // namespace

Dialogs& AppDialogs() {
    if (Dialogs* dialogs = installedDialogs()) {
        return *dialogs;
    }
    static QtDialogs real;
    return real;
}

QString BrowseFolder(QWidget* owner, const QString& title) {
    QString folder = AppDialogs().chooseFolder(owner, title);
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/'))) {
        folder += QLatin1Char('/');
    }
    return folder;
}

void InstallDialogs(Dialogs* dialogs) {
    installedDialogs() = dialogs;
}

void RouteFailuresToDialogs() {
    InstallFailureHandler([](const Failure* failure, const QString& location) {
        return AppDialogs().exception(FailureDetails(failure, location));
    });
}

}  // namespace quorvane
