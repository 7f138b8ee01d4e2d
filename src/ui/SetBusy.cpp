#include "ui/SetBusy.h"

#include "db/Database.h"

#include <QApplication>
#include <QCursor>
#include <QWidget>

#include <memory>
#include <vector>

namespace quorvane {

void SetBusy(QWidget* screen, bool busy) {
    if (screen == nullptr) {
        return;
    }
    QWidget* main = screen->window();
    const bool wasBusy = screen->property("quorvaneBusy").toBool();
    screen->setProperty("quorvaneBusy", busy);
    main->setEnabled(!busy);
    screen->setEnabled(!busy);
    if (busy && !wasBusy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (!busy && wasBusy) {
        QApplication::restoreOverrideCursor();
    }
    screen->repaint();
}

WaitPointer::WaitPointer() {
    const QCursor* current = QApplication::overrideCursor();
    if (current != nullptr && current->shape() == Qt::WaitCursor) {
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    set_ = true;
}

WaitPointer::~WaitPointer() {
    if (set_) {
        QApplication::restoreOverrideCursor();
    }
}

void ShowWaitPointerWhileDatabaseWorks() {
    // Several connections may wait at once, one inside the other: each holds its own pointer.
    InstallWaitIndicator([](bool waiting) {
        static std::vector<std::unique_ptr<WaitPointer>> pointers;
        if (waiting) {
            pointers.push_back(std::make_unique<WaitPointer>());
        } else if (!pointers.empty()) {
            pointers.pop_back();
        }
    });
}

}  // namespace quorvane
