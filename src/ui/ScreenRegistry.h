#pragma once

#include <QString>

class QWidget;

namespace quorvane {

// How screens reach each other without knowing each other: the main window opens a screen
// by its class name (or brings the open one forward) and the caller then invokes the
// screen's public operation by name (QMetaObject::invokeMethod).
class ScreenRegistry {
public:
    virtual ~ScreenRegistry() = default;

    // Whether the program has this screen.
    virtual bool hasScreen(const QString& name) const = 0;
    // Opens the screen, or brings the open one to the front, and returns it (null when the
    // program has no such screen).
    virtual QWidget* openScreen(const QString& name) = 0;
};

// The registry of the running program; null before the main window exists.
ScreenRegistry* AppScreens();
void InstallScreens(ScreenRegistry* registry);

}  // namespace quorvane
