#include "ui/ScreenSizing.h"

#include <QRect>
#include <QScreen>
#include <QWidget>
#include <QtGlobal>

namespace quorvane {

namespace {

void centreIn(QWidget* window, const QRect& area) {
    QRect frame = window->frameGeometry();
    frame.moveCenter(area.center());
    // Keep the title bar reachable when the window is larger than the area.
    window->move(qMax(frame.left(), area.left()), qMax(frame.top(), area.top()));
}

}  // namespace

void CentreOnScreen(QWidget* window) {
    if (window == nullptr) {
        return;
    }
    const QScreen* screen = window->screen();
    if (screen == nullptr) {
        return;
    }
    centreIn(window, screen->availableGeometry());
}

void CentreOver(QWidget* window, const QWidget* over) {
    if (window == nullptr) {
        return;
    }
    if (over == nullptr || !over->isVisible()) {
        CentreOnScreen(window);
        return;
    }
    centreIn(window, over->window()->frameGeometry());
}

}  // namespace quorvane
