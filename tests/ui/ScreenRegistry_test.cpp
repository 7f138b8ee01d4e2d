#include "ui/ScreenRegistry.h"

#include "core/Failure.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMetaObject>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace quorvane {
namespace {

// A screen with one public operation, as the registry calls it.
class Screen : public QWidget {
    Q_OBJECT

public:
    Q_INVOKABLE void subFormShowRecord(const QString& key) { shown.push_back(key); }

    std::vector<QString> shown;
};

// A registry that has one screen.
class OneScreen : public ScreenRegistry {
public:
    bool hasScreen(const QString& name) const override { return name == QStringLiteral("frmA"); }
    QWidget* openScreen(const QString& name) override {
        ++opened;
        return hasScreen(name) ? &screen : nullptr;
    }

    Screen screen;
    int opened = 0;
};

TEST(ScreenRegistry, ACallReachesTheScreensOperation) {
    OneScreen registry;
    registry.call(QStringLiteral("frmA"), "subFormShowRecord", QStringLiteral("K1"));
    EXPECT_EQ(registry.opened, 1);
    EXPECT_EQ(registry.screen.shown, std::vector<QString>{QStringLiteral("K1")});
}

struct MissCase {
    const char* what;
    QString screen;
    const char* operation;
    QString description;
};

TEST(ScreenRegistry, ACallThatReachesNoOperationIsAFailure) {
    const std::vector<MissCase> cases = {
        {"no such screen", QStringLiteral("frmB"), "subFormShowRecord",
         QStringLiteral("無法開啟畫面：frmB")},
        {"no such operation", QStringLiteral("frmA"), "subFormShowNothing",
         QStringLiteral("畫面沒有此作業：frmA.subFormShowNothing")},
        // The name exists, but not taking one text.
        {"a non-invokable operation", QStringLiteral("frmA"), "show",
         QStringLiteral("畫面沒有此作業：frmA.show")},
    };
    for (const MissCase& c : cases) {
        OneScreen registry;
        try {
            registry.call(c.screen, c.operation, QStringLiteral("K1"));
            ADD_FAILURE() << c.what << ": no failure";
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.description(), c.description) << c.what;
            EXPECT_EQ(failure.source(), QStringLiteral("ScreenRegistry")) << c.what;
        }
        EXPECT_TRUE(registry.screen.shown.empty()) << c.what;
    }
}

struct ForwardCase {
    const char* what;
    bool minimised;       // the screen's window before
    bool maximised;       // the screen's window before, or, when minimised, the other one
    bool maximisedAfter;  // the screen's window afterwards
};

TEST(BringScreenForward, RestoresAMinimisedWindowAndKeepsTheMaximisedLayout) {
    const std::vector<ForwardCase> cases = {
        {"normal", false, false, false},
        {"maximised", false, true, true},
        {"minimised", true, false, false},
        {"minimised while the other screen is maximised", true, true, true},
    };
    for (const ForwardCase& c : cases) {
        QMdiArea area;
        area.resize(800, 600);
        auto* screen = new QWidget;
        QMdiSubWindow* window = area.addSubWindow(screen);
        QMdiSubWindow* other = area.addSubWindow(new QWidget);
        window->resize(200, 150);
        other->resize(200, 150);
        area.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&area));
        if (c.minimised) {
            window->showMinimized();
            area.setActiveSubWindow(other);
            if (c.maximised) {
                other->showMaximized();
            }
        } else {
            area.setActiveSubWindow(window);
            if (c.maximised) {
                window->showMaximized();
            }
            // Another screen in front (in a maximised layout it takes the maximised place).
            area.setActiveSubWindow(other);
        }

        BringScreenForward(screen);
        EXPECT_FALSE(window->isMinimized()) << c.what;
        EXPECT_EQ(window->isMaximized(), c.maximisedAfter) << c.what;
        EXPECT_EQ(area.activeSubWindow(), window) << c.what;
        EXPECT_TRUE(screen->isVisible()) << c.what;
    }
}

}  // namespace
}  // namespace quorvane

#include "ScreenRegistry_test.moc"
