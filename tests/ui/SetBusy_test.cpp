#include "ui/SetBusy.h"

#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QTest>

#include <gtest/gtest.h>

namespace quorvane {
namespace {

TEST(SetBusy, DisablesTheMainWindowAndTheScreenWithTheHourglass) {
    QMainWindow main;
    auto* area = new QMdiArea(&main);
    main.setCentralWidget(area);
    auto* screen = new QLineEdit;
    area->addSubWindow(screen);
    main.show();

    SetBusy(screen, true);
    SetBusy(screen, true);  // twice busy is still one hourglass
    EXPECT_FALSE(main.isEnabled());
    EXPECT_FALSE(screen->isEnabled());
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);

    SetBusy(screen, false);
    EXPECT_TRUE(main.isEnabled());
    EXPECT_TRUE(screen->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    SetBusy(screen, false);  // and not busy twice restores nothing more
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace quorvane
