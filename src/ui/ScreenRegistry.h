#pragma once

#include <QString>

class QWidget;

namespace quorvane {

// How screens reach each other without knowing each other: the main window opens a screen
// by its name (ui/ScreenNames.h) or brings the open one forward, and the caller then calls
// the screen's public operation by name.
class ScreenRegistry {
public:
    virtual ~ScreenRegistry() = default;

    // Whether the program has this screen.
    virtual bool hasScreen(const QString& name) const = 0;
    // Opens the screen, or brings the open one to the front, and returns it (null when the
    // program has no such screen, and for a modal screen, which has closed again on return).
    virtual QWidget* openScreen(const QString& name) = 0;

    // Opens the screen (or brings it forward) and calls its invokable operation with one text
    // argument, e.g. call(screen::QuotaApplications, "subFormAddNew", key). Throws Failure
    // when the program has no such screen or the call reaches no operation of that name
    // taking one text: a call that does nothing is a fault, never passed over.
    void call(const QString& screen, const char* operation, const QString& argument);
};

// The registry of the running program; null before the main window exists.
ScreenRegistry* AppScreens();
void InstallScreens(ScreenRegistry* registry);

// Brings a screen shown in the main window's area to the front and makes it the active one: a
// minimised window is restored (to its maximised size when it was maximised), a maximised one
// stays maximised. A screen that is a window of its own is shown, raised and activated.
void BringScreenForward(QWidget* screen);

}  // namespace quorvane
