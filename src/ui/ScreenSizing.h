#pragma once

class QWidget;

namespace quorvane {

// Moves a top-level window so that it is centred on the available area of its screen.
void CentreOnScreen(QWidget* window);

// Moves a top-level window so that it is centred over another window (on its screen when the
// other window is absent or hidden).
void CentreOver(QWidget* window, const QWidget* over);

}  // namespace quorvane
