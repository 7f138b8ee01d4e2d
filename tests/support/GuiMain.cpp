#include "support/ScriptedDialogs.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    // Every dialog of a test that did not script its own fails that test instead of blocking
    // on a real modal dialog; failures reach the same scripted exception dialog.
    quorvane::ScriptedDialogs unexpectedDialogs;
    quorvane::RouteFailuresToDialogs();
    return RUN_ALL_TESTS();
}
