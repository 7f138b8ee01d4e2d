// Renders the documentation's screenshots from a database holding the demo data:
//   quorvane-screenshots DATABASE_FILE OUTPUT_FOLDER
// The main window with the issuer screen open, the quota application screen, the exception
// dialog with its details shown, the selection dialog over the issuers, the user-account
// screen and the two workstation settings screens.

#include "app/Program.h"
#include "app/frmAP_Main.h"
#include "core/CurrentUser.h"
#include "core/Failure.h"
#include "core/FailureRouting.h"
#include "core/Settings.h"
#include "db/BusinessLookups.h"
#include "db/Database.h"
#include "masterdata/screens/frmBF_User.h"
#include "settings/frmST_SettingClient.h"
#include "settings/frmST_SettingUser.h"
#include "ui/ScreenNames.h"
#include "ui/frmAP_ModErr.h"
#include "ui/frmAP_ModSelectItem.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTabWidget>
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
    main.openScreen(quorvane::screen::Issuers);
    bool ok = save(&main, output.filePath(QStringLiteral("main-window-issuers.png")));

    // A screen by itself, inside its frame in the main window.
    const auto saveScreen = [&](QWidget* screen, const QString& file) {
        QApplication::processEvents();
        QTest::qWait(200);
        QWidget* frame = screen->parentWidget() != nullptr ? screen->parentWidget() : screen;
        const bool saved = frame->grab().save(output.filePath(file));
        std::printf("%s\n", qPrintable(output.filePath(file)));
        return saved;
    };
    if (QWidget* quota = main.openScreen(quorvane::screen::QuotaApplications)) {
        ok = saveScreen(quota, QStringLiteral("frmOR_Account.png")) && ok;
    }
    if (QWidget* layouts = main.openScreen(quorvane::screen::TicketTemplates)) {
        ok = saveScreen(layouts, QStringLiteral("frmST_TicketPrintTemplate.png")) && ok;
    }

    quorvane::frmAP_ModErr failure;
    const quorvane::DatabaseFailure duplicate(
        23505, QStringLiteral("duplicate key value violates unique constraint \"pk_bf_customer\""),
        QStringLiteral(
            "QPSQL：INSERT INTO BF_Customer (NoContract, NameCompany, …) VALUES (?, ?, …)"),
        QStringLiteral("23505"));
    failure.setDetails(quorvane::FailureDetails(
        &duplicate, quorvane::ScreenLocation(QStringLiteral("subFormSave"))));
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
    picker.close();

    quorvane::SetCurrentUser(
        {QStringLiteral("ADMIN"), QStringLiteral("管理者"), false, false, true});
    quorvane::frmBF_User users(db);
    users.show();
    ok = save(&users, output.filePath(QStringLiteral("frmBF_User.png"))) && ok;
    users.close();

    quorvane::frmST_SettingClient client(settings, QStringLiteral("dbserver"), &main);
    client.show();
    if (auto* tabs = client.findChild<QTabWidget*>(QStringLiteral("tabMain"))) {
        tabs->setCurrentIndex(2);
    }
    ok = save(&client, output.filePath(QStringLiteral("frmST_SettingClient.png"))) && ok;
    client.close();

    quorvane::frmST_SettingUser user(settings, &main);
    user.show();
    ok = save(&user, output.filePath(QStringLiteral("frmST_SettingUser.png"))) && ok;
    return ok ? 0 : 1;
}
