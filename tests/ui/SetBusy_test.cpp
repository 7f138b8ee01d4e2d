#include "ui/SetBusy.h"

#include "core/Failure.h"
#include "db/Database.h"
#include "support/TestDatabase.h"

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

bool ShowsHourglass() {
    const QCursor* cursor = QApplication::overrideCursor();
    return cursor != nullptr && cursor->shape() == Qt::WaitCursor;
}

TEST(WaitPointer, ShowsWhileTheProgramWaitsOnADatabase) {
    test::ScratchDatabase scratch(test::Backend::Sqlite);
    const auto db = scratch.connect();
    const auto other = scratch.connect();
    ShowWaitPointerWhileDatabaseWorks();

    bool duringStatement = false;
    {
        UnitOfWork unit(*db);
        duringStatement = ShowsHourglass();
        {
            // A second connection waiting inside the first keeps the hourglass when it ends.
            UnitOfWork inner(*other);
        }
        EXPECT_TRUE(ShowsHourglass());
    }
    EXPECT_TRUE(duringStatement);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    EXPECT_THROW(db->ConnExecute(Statement(QStringLiteral("DELETE FROM Missing"))),
                 DatabaseFailure);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "a failed statement restores it";

    InstallWaitIndicator({});
}

}  // namespace
}  // namespace quorvane
