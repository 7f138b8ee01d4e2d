// Renders the documentation's screenshots from a database holding the demo data:
//   quorvane-screenshots DATABASE_FILE OUTPUT_FOLDER
// The main window with the issuer screen open, the exception dialog with its details shown,
// and the selection dialog over the issuers.

#include "app/Program.h"
#include "app/frmAP_Main.h"
#include "core/CurrentUser.h"
#include "core/Settings.h"
#include "db/BusinessLookups.h"
#include "db/Database.h"
#include "ui/frmAP_ModErr.h"
#include "ui/frmAP_ModSelectItem.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace {

bool save(QWidget* widget, const QString& file) {
    QApplication::processEvents();
    QTest::qWait(200);
    // The whole window as the user sees it, frame included where there is a window manager.
    const QPixmap picture = widget->window()->grab();
    if (!picture.save(file)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        return false;
    }
    std::printf("%s\n", qPrintable(file));
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: quorvane-screenshots DATABASE_FILE OUTPUT_FOLDER\n");
        return 2;
    }
    quorvane::PrepareApplication();
    const QDir output(QString::fromLocal8Bit(argv[2]));
    QTemporaryDir folder;
    const quorvane::SettingsStore settings(folder.filePath(QStringLiteral("Quorvane.conf")));
    quorvane::Database db(quorvane::ConnectionTarget::Sqlite(QString::fromLocal8Bit(argv[1])));
    quorvane::SetCurrentUser(
        {QStringLiteral("CLERK"), QStringLiteral("陳經辦"), true, false, false});

    quorvane::frmAP_Main main(db, settings,
                              QStringLiteral("sqlite:") + QString::fromLocal8Bit(argv[1]));
    main.setWindowTitle(quorvane::frmAP_Main::MainTitle());
    main.resize(1180, 760);
    main.show();
    main.openScreen(QStringLiteral("frmBF_Customer"));
    bool ok = save(&main, output.filePath(QStringLiteral("main-window-issuers.png")));

    quorvane::frmAP_ModErr failure;
    failure.setDetails(QStringLiteral(
        "例外編號　　　　：23505\r\n"
        "例外描述　　　　：duplicate key value violates unique constraint \"pk_bf_customer\"\r\n"
        "例外來源　　　　：QPSQL：INSERT INTO BF_Customer (NoContract, NameCompany, …) VALUES (?, "
        "?, …)\r\n"
        "例外程序　　　　：subFormSave\r\n\r\n"));
    failure.show();
    if (auto* details = failure.findChild<QPushButton*>(QStringLiteral("cmdDetail"))) {
        details->click();
    }
    ok = save(&failure, output.filePath(QStringLiteral("frmAP_ModErr-details.png"))) && ok;
    failure.close();

    quorvane::frmAP_ModSelectItem picker(db, &main);
    picker.setSelectCommandText(
        quorvane::BuildPickerCommand(quorvane::FieldKind::ContractNumber, QString()));
    picker.show();
    ok = save(&picker, output.filePath(QStringLiteral("frmAP_ModSelectItem.png"))) && ok;
    return ok ? 0 : 1;
}
