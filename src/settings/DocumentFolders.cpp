#include "settings/DocumentFolders.h"

#include <QCoreApplication>

namespace quorvane {

QString ProgramFolder() {
    QString folder = QCoreApplication::applicationDirPath();
    // A program in the root folder: the default folders must not start with "//".
    while (folder.endsWith(QLatin1Char('/'))) {
        folder.chop(1);
    }
    return folder;
}

QString DefaultPathTicketTemplate() {
    return ProgramFolder() + QStringLiteral("/票卷列印範本檔/");
}

QString DefaultPathTicketForm() {
    return ProgramFolder() + QStringLiteral("/客戶票樣確認/");
}

}  // namespace quorvane
