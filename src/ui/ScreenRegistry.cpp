#include "ui/ScreenRegistry.h"

namespace quorvane {

namespace {
ScreenRegistry*& installed() {
    static ScreenRegistry* registry = nullptr;
    return registry;
}
}  // namespace

ScreenRegistry* AppScreens() {
    return installed();
}

void InstallScreens(ScreenRegistry* registry) {
    installed() = registry;
}

}  // namespace quorvane
