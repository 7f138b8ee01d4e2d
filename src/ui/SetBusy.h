#pragma once

class QWidget;

namespace quorvane {

// While a long job runs: the main window and the screen refuse input and show the hourglass;
// afterwards both take input again with the normal pointer. The screen is redrawn either way.
void SetBusy(QWidget* screen, bool busy);

}  // namespace quorvane
