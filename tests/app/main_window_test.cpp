#include "app/frmAP_Main.h"
#include "core/CurrentUser.h"
#include "core/Failure.h"
#include "core/Settings.h"
#include "db/SchemaInstaller.h"
#include "support/ScriptedDialogs.h"
#include "support/TestCups.h"
#include "support/TestDatabase.h"
#include "ui/RecordForm.h"
#include "ui/ScreenNames.h"

#include <QAction>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace quorvane {
namespace {

class MainWindowTest : public testing::Test {
protected:
    void SetUp() override {
        SetCurrentUser({QStringLiteral("ADMIN"), QStringLiteral("管理者"), false, false, true});
        scratch_ = std::make_unique<test::ScratchDatabase>(test::Backend::Sqlite);
        db_ = scratch_->connect();
        SchemaInstaller::Install(*db_);
        db_->ConnExecute(
            Statement(QStringLiteral("INSERT INTO BF_Customer (NoContract, NameCompany) "
                                     "VALUES ('K1', '宏遠百貨'), ('K2', '甲興')")));
        main_ = std::make_unique<frmAP_Main>(*db_, settings_, QStringLiteral("sqlite:/x.db"));
    }

    QTemporaryDir folder_;
    SettingsStore settings_{folder_.filePath(QStringLiteral("Quorvane.conf"))};
    ScriptedDialogs dialogs_;
    std::unique_ptr<test::ScratchDatabase> scratch_;
    std::unique_ptr<Database> db_;
    std::unique_ptr<frmAP_Main> main_;
};

// The visible menu as "title: item | item" lines.
QStringList visibleMenu(QMenuBar* bar) {
    QStringList lines;
    for (QAction* top : bar->actions()) {
        if (!top->isVisible()) {
            continue;
        }
        QString line = top->text();
        if (QMenu* menu = top->menu()) {
            QStringList items;
            for (QAction* item : menu->actions()) {
                if (item->isVisible()) {
                    items << (item->isSeparator() ? QStringLiteral("-") : item->text());
                }
            }
            line += QStringLiteral(": ") + items.join(QStringLiteral(" | "));
        }
        lines << line;
    }
    return lines;
}

TEST_F(MainWindowTest, MenuHasTheItemsInOrderAndHidesTheHiddenOnes) {
    const QStringList expected = {
        QStringLiteral("基本建檔(&B): B1-發行業者基本資料建檔"),
        QStringLiteral("單據作業(&C): C1-發行業者額度申請單 | C2-票樣確認單 | C3-票卷列印作業"),
        QStringLiteral(
            "報表查詢(&D): D1-發行業者基本資料查詢 | D2-發行業者額度查詢 | D3-票卷列印查詢 | "
            "D4-票卷作業稽核查詢"),
        QStringLiteral("設定(&E): E2-電腦用戶端設定 | E3-使用者環境設定 | - | E4-使用者帳號設定 | "
                       "E5-票卷範本格式設定"),
        QStringLiteral("關閉"),
    };
    EXPECT_EQ(visibleMenu(main_->menuBar()), expected);
    EXPECT_EQ(main_->menuBar()->actions().first()->text(), QStringLiteral("代碼表(&A)"));
    EXPECT_FALSE(main_->menuBar()->actions().first()->isVisible());
    for (const QString& hidden : {screen::TicketNullify, screen::SystemSettings}) {
        EXPECT_FALSE(main_->menuItem(hidden)->isVisible());
        EXPECT_FALSE(main_->menuItem(hidden)->isEnabled());
    }
    EXPECT_TRUE(main_->menuItem(screen::Issuers)->isEnabled());
    EXPECT_TRUE(main_->menuItem(screen::QuotaApplications)->isEnabled());
    EXPECT_FALSE(main_->menuItem(screen::TicketForms)->isEnabled()) << "screen not built yet";
}

struct PrinterCase {
    const char* what;
    QString stored;
    QString warning;  // empty: no warning
};

TEST_F(MainWindowTest, LoadWarnsOfAMissingPrinterAndTitlesTheWindow) {
    const test::TestCups cups = test::TestCups::FromEnvironment();
    ASSERT_FALSE(HasFailure());
    const QString missing = QStringLiteral("//PRTSRV01/禮卷印表機");
    const std::vector<PrinterCase> cases = {
        {"nothing stored", QString(),
         QStringLiteral("系統預設印表機不正確\r\n\r\n請至「E2-使用者環境設定」設定系統預設印表機")},
        {"a printer no queue has", missing,
         QStringLiteral("系統預設印表機不正確\r\n\r\n目前所指定的印表機[ ") + missing +
             QStringLiteral(" ]不正確，請至請至「E2-使用者環境設定」重新設定")},
        {"an installed printer", cups.idle, QString()},
    };
    for (const PrinterCase& c : cases) {
        ASSERT_TRUE(settings_.SetNamePrinterDefault(c.stored));
        ScriptedDialogs dialogs;  // fails on any dialog not expected
        if (!c.warning.isEmpty()) {
            dialogs.expectMessage(Dialogs::Icon::Warning, QStringLiteral("載入系統預設值"),
                                  c.warning);
        }
        main_->load();
        EXPECT_EQ(dialogs.records().size(), c.warning.isEmpty() ? 0u : 1u) << c.what;
        EXPECT_EQ(main_->windowTitle(), QStringLiteral("Quorvane　版本編號：%1　使用者：ADMIN")
                                            .arg(QStringLiteral(QUORVANE_VERSION_TEXT)))
            << c.what;
    }
}

TEST_F(MainWindowTest, AScreenOpensOnceAndComesForwardWithItsContent) {
    main_->show();
    main_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main_.get()));
    main_->menuItem(screen::Issuers)->trigger();
    ASSERT_EQ(main_->area()->subWindowList().size(), 1);
    auto* issuers = qobject_cast<RecordForm*>(main_->area()->subWindowList().first()->widget());
    ASSERT_NE(issuers, nullptr);
    EXPECT_EQ(main_->area()->subWindowList().first()->pos(), QPoint(0, 0));
    issuers->subFormEdit();
    issuers->findChild<QLineEdit*>(QStringLiteral("txtNote"))->setText(QStringLiteral("編輯中"));

    main_->menuItem(screen::Issuers)->trigger();
    EXPECT_EQ(main_->area()->subWindowList().size(), 1);
    EXPECT_EQ(main_->area()->activeSubWindow()->widget(), issuers);
    EXPECT_EQ(issuers->findChild<QLineEdit*>(QStringLiteral("txtNote"))->text(),
              QStringLiteral("編輯中"));

    // Screens reach each other through the registry.
    EXPECT_EQ(AppScreens(), main_.get());
    EXPECT_EQ(AppScreens()->openScreen(screen::Issuers), issuers);
    EXPECT_EQ(AppScreens()->openScreen(QStringLiteral("frmOR_Nothing")), nullptr);

    // Closed, it opens afresh on the first issuer.
    QTest::keyClick(issuers, Qt::Key_Q, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_TRUE(main_->area()->subWindowList().isEmpty());
    main_->menuItem(screen::Issuers)->trigger();
    auto* fresh = qobject_cast<RecordForm*>(main_->area()->subWindowList().first()->widget());
    EXPECT_EQ(fresh->currentKey(), QStringLiteral("K1"));
    EXPECT_FALSE(fresh->isEditing());
}

TEST_F(MainWindowTest, TheTemplateLayoutScreenOpensAsAFixedWindowAtTheTopLeft) {
    main_->show();
    ASSERT_TRUE(main_->menuItem(screen::TicketTemplates)->isEnabled());
    main_->menuItem(screen::TicketTemplates)->trigger();
    ASSERT_EQ(main_->area()->subWindowList().size(), 1);
    QMdiSubWindow* window = main_->area()->subWindowList().first();
    EXPECT_EQ(window->widget()->objectName(), screen::TicketTemplates);
    EXPECT_EQ(window->pos(), QPoint(0, 0));
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(window->widget()->windowTitle(), QStringLiteral("E5-票卷範本格式設定"));
    main_->menuItem(screen::TicketTemplates)->trigger();
    EXPECT_EQ(main_->area()->subWindowList().size(), 1) << "one instance";

    // Other child windows keep both buttons.
    main_->menuItem(screen::Issuers)->trigger();
    ASSERT_EQ(main_->area()->subWindowList().size(), 2);
    EXPECT_TRUE(main_->area()->subWindowList().last()->windowFlags() &
                Qt::WindowMinimizeButtonHint);
}

TEST_F(MainWindowTest, TheMenuBringsAMinimisedScreenBackRestored) {
    main_->show();
    main_->menuItem(screen::Issuers)->trigger();
    QMdiSubWindow* window = main_->area()->subWindowList().first();
    window->showMinimized();
    ASSERT_TRUE(window->isMinimized());

    main_->menuItem(screen::Issuers)->trigger();
    EXPECT_FALSE(window->isMinimized());
    EXPECT_TRUE(window->widget()->isVisible());
    EXPECT_EQ(main_->area()->activeSubWindow(), window);
}

TEST_F(MainWindowTest, ShowingARecordFromElsewhereKeepsTheScreenMaximised) {
    main_->show();
    auto* issuers = qobject_cast<RecordForm*>(main_->openScreen(screen::Issuers));
    ASSERT_NE(issuers, nullptr);
    QMdiSubWindow* window = main_->area()->activeSubWindow();
    window->showMaximized();

    issuers->subFormShowRecord(QStringLiteral("K2"));
    EXPECT_EQ(issuers->currentKey(), QStringLiteral("K2"));
    EXPECT_TRUE(window->isMaximized()) << "browse mode";

    // In modify mode the force-load question comes first, with the screen brought forward.
    issuers->subFormEdit();
    dialogs_.expectMessage(Dialogs::Icon::Question, QStringLiteral("載入發行業者資料"),
                           QStringLiteral("表單使用中，是否強制載入？\r\n\r\n目前表單〔"
                                          "B1-發行業者基本資料建檔〕正處於〔修改模式〕"
                                          "是否欲放棄目前的作業並載入票樣編號 K1 ？"),
                           Dialogs::Button::Ok);
    issuers->subFormShowRecord(QStringLiteral("K1"));
    EXPECT_EQ(issuers->currentKey(), QStringLiteral("K1"));
    EXPECT_FALSE(issuers->isEditing());
    EXPECT_TRUE(window->isMaximized()) << "after the force-load question";
}

TEST_F(MainWindowTest, ACallToAScreenOperationThatIsMissingIsAFailure) {
    main_->show();
    EXPECT_THROW(AppScreens()->call(screen::Issuers, "subFormShowNothing", QStringLiteral("K1")),
                 Failure);
    // A screen this build does not have.
    EXPECT_THROW(AppScreens()->call(screen::TicketPrint, "subFormShowRecord", QStringLiteral("K1")),
                 Failure);
    AppScreens()->call(screen::Issuers, "subFormShowRecord", QStringLiteral("K2"));
    auto* issuers = qobject_cast<RecordForm*>(main_->area()->activeSubWindow()->widget());
    ASSERT_NE(issuers, nullptr);
    EXPECT_EQ(issuers->currentKey(), QStringLiteral("K2"));
}

TEST_F(MainWindowTest, IssuerKeysOpenTheQuotaScreenForTheIssuerShown) {
    SetCurrentUser({QStringLiteral("CLERK"), QStringLiteral("經辦"), true, false, false});
    db_->ConnExecute(
        Statement(QStringLiteral("INSERT INTO OR_Account (NoAccount, NoContract, NoItem, Amount, "
                                 "Active) VALUES ('K2-01', 'K2', 1, 1000, 1)")));
    main_->show();
    auto* issuers = qobject_cast<RecordForm*>(main_->openScreen(screen::Issuers));
    ASSERT_NE(issuers, nullptr);
    QAction* addQuota = issuers->toolbarAction(QStringLiteral("AccountAddNew"));
    ASSERT_TRUE(addQuota->isEnabled());
    addQuota->trigger();
    auto* quota = qobject_cast<RecordForm*>(main_->area()->activeSubWindow()->widget());
    ASSERT_NE(quota, nullptr);
    EXPECT_EQ(quota->objectName(), QStringLiteral("frmOR_Account"));
    EXPECT_TRUE(quota->isAdding());
    EXPECT_EQ(quota->findChild<QLineEdit*>(QStringLiteral("txtNoContract"))->text(),
              QStringLiteral("K1"));
    quota->subFormCancel();

    issuers->subFormShowRecord(QStringLiteral("K2"));
    issuers->toolbarAction(QStringLiteral("AccountOpen"))->trigger();
    EXPECT_EQ(main_->area()->activeSubWindow()->widget(), quota)
        << "the open quota screen is reused";
    EXPECT_EQ(quota->currentKey(), QStringLiteral("K2-01"));
}

TEST_F(MainWindowTest, ModalScreensRunThroughTheDialogs) {
    dialogs_.expectModal([](QWidget* screen) { QTest::keyClick(screen, Qt::Key_Escape); },
                         QStringLiteral("frmST_SettingSystem"));
    EXPECT_EQ(main_->openScreen(screen::SystemSettings), nullptr);
    EXPECT_EQ(dialogs_.pending(), 0U);
}

TEST_F(MainWindowTest, CloseEndsEveryScreenWithoutAsking) {
    main_->show();
    main_->menuItem(screen::Issuers)->trigger();
    QAction* quit = main_->findChild<QAction*>(QStringLiteral("mnuQuit"));
    ASSERT_NE(quit, nullptr);
    quit->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(main_->isVisible());
    EXPECT_TRUE(main_->area()->subWindowList().isEmpty());
}

}  // namespace
}  // namespace quorvane
