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

}  // namespace quorvane
