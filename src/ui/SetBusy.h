#pragma once

class QWidget;

namespace quorvane {

// While a long job runs: the main window and the screen refuse input and show the hourglass;
// afterwards both take input again with the normal pointer. The screen is redrawn either way.
void SetBusy(QWidget* screen, bool busy);

// Shows the hourglass pointer while it lives (around a statement), unless the pointer already
// is the hourglass. Dialogs shown meanwhile (the exception dialog) show the normal pointer.
class WaitPointer {
public:
    WaitPointer();
    ~WaitPointer();
    WaitPointer(const WaitPointer&) = delete;
    WaitPointer& operator=(const WaitPointer&) = delete;

private:
    bool set_ = false;
};

// Shows a WaitPointer for as long as the program waits on a database: every statement a screen
// runs (loads, saves, deletes, report queries), connecting included. Installed once at start.
void ShowWaitPointerWhileDatabaseWorks();

}  // namespace quorvane
