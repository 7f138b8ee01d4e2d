#include "ui/ScreenRegistry.h"

#include "core/Failure.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMetaObject>
#include <QWidget>

namespace quorvane {

namespace {

const QString kSource = QStringLiteral("ScreenRegistry");

ScreenRegistry*& installed() {
    static ScreenRegistry* registry = nullptr;
    return registry;
}

}  // namespace

void ScreenRegistry::call(const QString& screen, const char* operation, const QString& argument) {
    const QString called = screen + QLatin1Char('.') + QString::fromLatin1(operation);
    QWidget* target = openScreen(screen);
    if (target == nullptr) {
        throw Failure(0, QStringLiteral("無法開啟畫面：") + screen, kSource);
    }
    if (!QMetaObject::invokeMethod(target, operation, Q_ARG(QString, argument))) {
        throw Failure(0, QStringLiteral("畫面沒有此作業：") + called, kSource);
    }
}

ScreenRegistry* AppScreens() {
    return installed();
}

void InstallScreens(ScreenRegistry* registry) {
    installed() = registry;
}

void BringScreenForward(QWidget* screen) {
    auto* window = qobject_cast<QMdiSubWindow*>(screen->parentWidget());
    if (window == nullptr) {
        screen->show();
        screen->raise();
        screen->activateWindow();
        return;
    }
    // Clearing only the minimised state restores the window to the size it had before,
    // maximised included; showNormal would also undo a maximised layout.
    if (window->isMinimized()) {
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    }
    window->show();
    if (QMdiArea* area = window->mdiArea()) {
        area->setActiveSubWindow(window);
    }
    window->raise();
}

}  // namespace quorvane
