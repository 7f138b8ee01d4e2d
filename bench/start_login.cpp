// Runs the program's start-up path up to its login screen and ends as soon as the screen is
// shown: measured against bench_start_empty.

#include "app/Program.h"
#include "app/frmAP_Login.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    quorvane::PrepareApplication();
    quorvane::Program program;
    if (program.start() != quorvane::StartupOutcome::Ready) {
        return 1;
    }
    const auto login = program.createLogin();
    login->show();
    QTimer::singleShot(0, &app, &QApplication::quit);
    return app.exec();
}
