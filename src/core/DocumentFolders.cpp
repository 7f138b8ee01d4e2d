#include "core/DocumentFolders.h"

#include <QDir>
#include <QStandardPaths>

namespace quorvane {

namespace {

// The user's "Quorvane" documents folder, without a trailing "/".
QString documentsRoot() {
    QString base = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (base.isEmpty()) {
        base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    }
    return QDir::cleanPath(base + QStringLiteral("/Quorvane"));
}

}  // namespace

QString DefaultPathTicketTemplate() {
    return documentsRoot() + QStringLiteral("/票卷列印範本檔/");
}

QString DefaultPathTicketForm() {
    return documentsRoot() + QStringLiteral("/客戶票樣確認/");
}

}  // namespace quorvane
