#include "support/ScriptedFailures.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    // A failure that a test did not script fails that test instead of passing unseen.
    quorvane::test::FailEveryFailure();
    return RUN_ALL_TESTS();
}
