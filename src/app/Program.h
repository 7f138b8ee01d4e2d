#pragma once

#include "app/Startup.h"
#include "core/Settings.h"
#include "db/Database.h"

#include <memory>

class QApplication;

namespace quorvane {

class frmAP_Login;

// The process-wide preparation every run needs before its first window: names, fonts and the
// routing of failures to the exception dialog.
void PrepareApplication();

// The state of one run of the program, from start-up to its end.
class Program {
public:
    explicit Program(SettingsStore settings = SettingsStore::ForWorkstation());
    ~Program();

    // InitializeSystem, the database opened and its schema version checked; anything but Ready
    // ends the program.
    StartupOutcome start();
    // The login screen on the database start() prepared.
    std::unique_ptr<frmAP_Login> createLogin();
    // The whole run: start-up, login, main window, event loop; returns the exit code, which
    // is not 0 when start-up failed.
    int run(QApplication& app);

private:
    SettingsStore settings_;
    StartupState state_;
    std::unique_ptr<Database> db_;
};

}  // namespace quorvane
