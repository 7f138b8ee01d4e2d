#include "app/frmAP_Main.h"

#include "core/CurrentUser.h"

#include <QMdiArea>

namespace quorvane {

frmAP_Main::frmAP_Main(Database& db, QWidget* parent)
    : QMainWindow(parent), db_(db), area_(new QMdiArea(this)) {
    setObjectName(QStringLiteral("frmAP_Main"));
    setCentralWidget(area_);
    setWindowTitle(MainTitle());
    resize(1024, 768);
}

QString frmAP_Main::MainTitle() {
    return QStringLiteral("Quorvane") + QStringLiteral("　版本編號：") +
           QStringLiteral(QUORVANE_VERSION_TEXT) + QStringLiteral("　使用者：") +
           CurrentUser().IdUser;
}

}  // namespace quorvane
