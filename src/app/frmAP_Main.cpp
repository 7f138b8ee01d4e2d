#include "app/frmAP_Main.h"

#include "core/CurrentUser.h"
#include "core/Settings.h"
#include "masterdata/screens/frmBF_Customer.h"
#include "masterdata/screens/frmBF_User.h"
#include "printing/rules/PrinterAccess.h"
#include "quota/screens/frmOR_Account.h"
#include "samples/screens/frmST_TicketPrintTemplate.h"
#include "settings/frmST_SettingClient.h"
#include "settings/frmST_SettingSystem.h"
#include "settings/frmST_SettingUser.h"
#include "ui/Dialogs.h"
#include "ui/ScreenNames.h"

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>

namespace quorvane {

namespace {

// The start-up warning when the configured voucher printer could not be selected; the program
// goes on with CUPS's default destination.
void warnOfDefaultPrinter(const DefaultPrinterCheck& check) {
    if (check.outcome == DefaultPrinterCheck::Outcome::Selected) {
        return;
    }
    const QString advice =
        check.outcome == DefaultPrinterCheck::Outcome::NoneConfigured
            ? QStringLiteral("請至「E2-使用者環境設定」設定系統預設印表機")
            : QStringLiteral("目前所指定的印表機[ ") + check.configuredName +
                  QStringLiteral(" ]不正確，請至請至「E2-使用者環境設定」重新設定");
    AppDialogs().message(Dialogs::Icon::Warning, QStringLiteral("載入系統預設值"),
                         QStringLiteral("系統預設印表機不正確\r\n\r\n") + advice);
}

}  // namespace

frmAP_Main::frmAP_Main(Database& db, const SettingsStore& settings, QString serverHost,
                       QWidget* parent)
    : QMainWindow(parent),
      db_(db),
      settings_(settings),
      serverHost_(std::move(serverHost)),
      area_(new QMdiArea(this)) {
    setObjectName(QStringLiteral("frmAP_Main"));
    setCentralWidget(area_);
    setWindowTitle(QStringLiteral("Quorvane"));
    resize(1024, 768);

    screens_.insert(screen::Issuers, {Kind::Child, [this] { return new frmBF_Customer(db_); }});
    screens_.insert(
        screen::SystemSettings,
        {Kind::Modal, [this] { return new frmST_SettingSystem(settings_, serverHost_, this); }});
    screens_.insert(screen::QuotaApplications,
                    {Kind::Child, [this] { return new frmOR_Account(db_); }});
    screens_.insert(
        screen::ClientSettings,
        {Kind::Modal, [this] { return new frmST_SettingClient(settings_, serverHost_, this); }});
    screens_.insert(screen::UserSettings,
                    {Kind::Modal, [this] { return new frmST_SettingUser(settings_, this); }});
    screens_.insert(screen::UserAccounts,
                    {Kind::Modal, [this] { return new frmBF_User(db_, this); }});
    screens_.insert(screen::TicketTemplates,
                    {Kind::FixedChild, [this] { return new frmST_TicketPrintTemplate(db_); }});
    buildMenu();
    InstallScreens(this);
}

frmAP_Main::~frmAP_Main() {
    if (AppScreens() == this) {
        InstallScreens(nullptr);
    }
}

QString frmAP_Main::MainTitle() {
    return QStringLiteral("Quorvane") + QStringLiteral("　版本編號：") +
           QStringLiteral(QUORVANE_VERSION_TEXT) + QStringLiteral("　使用者：") +
           CurrentUser().IdUser;
}

void frmAP_Main::load() {
    warnOfDefaultPrinter(CheckDefaultPrinter(settings_));
    setWindowTitle(MainTitle());
}

QAction* frmAP_Main::addItem(QMenu* menu, const QString& text, const QString& screen) {
    QAction* item = menu->addAction(text);
    item->setObjectName(screen);
    menuItems_.insert(screen, item);
    // A screen this build does not have yet stays visible but cannot be chosen.
    item->setEnabled(screens_.contains(screen));
    connect(item, &QAction::triggered, this, [this, screen] { openScreen(screen); });
    return item;
}

void frmAP_Main::buildMenu() {
    QMenuBar* bar = menuBar();
    QMenu* codes = bar->addMenu(QStringLiteral("代碼表(&A)"));
    codes->menuAction()->setVisible(false);
    codes->menuAction()->setEnabled(false);

    QMenu* master = bar->addMenu(QStringLiteral("基本建檔(&B)"));
    addItem(master, QStringLiteral("B1-發行業者基本資料建檔"), screen::Issuers);

    QMenu* documents = bar->addMenu(QStringLiteral("單據作業(&C)"));
    addItem(documents, QStringLiteral("C1-發行業者額度申請單"), screen::QuotaApplications);
    addItem(documents, QStringLiteral("C2-票樣確認單"), screen::TicketForms);
    addItem(documents, QStringLiteral("C3-票卷列印作業"), screen::TicketPrint);
    QAction* nullify = addItem(documents, QStringLiteral("C4-票卷作廢作業"), screen::TicketNullify);
    nullify->setVisible(false);
    nullify->setEnabled(false);

    QMenu* reports = bar->addMenu(QStringLiteral("報表查詢(&D)"));
    addItem(reports, QStringLiteral("D1-發行業者基本資料查詢"), screen::IssuerReport);
    addItem(reports, QStringLiteral("D2-發行業者額度查詢"), screen::QuotaReport);
    addItem(reports, QStringLiteral("D3-票卷列印查詢"), screen::TicketPrintReport);
    addItem(reports, QStringLiteral("D4-票卷作業稽核查詢"), screen::TicketTaskReport);

    QMenu* settings = bar->addMenu(QStringLiteral("設定(&E)"));
    QAction* system = addItem(settings, QStringLiteral("E1-系統環境設定"), screen::SystemSettings);
    system->setVisible(false);
    system->setEnabled(false);
    addItem(settings, QStringLiteral("E2-電腦用戶端設定"), screen::ClientSettings);
    addItem(settings, QStringLiteral("E3-使用者環境設定"), screen::UserSettings);
    settings->addSeparator();
    addItem(settings, QStringLiteral("E4-使用者帳號設定"), screen::UserAccounts);
    addItem(settings, QStringLiteral("E5-票卷範本格式設定"), screen::TicketTemplates);

    QAction* quit = bar->addAction(QStringLiteral("關閉"));
    quit->setObjectName(QStringLiteral("mnuQuit"));
    connect(quit, &QAction::triggered, this, [this] {
        area_->closeAllSubWindows();
        close();
    });

    // The pop-up menus of the voucher sample screen's toolbar, never shown in the bar.
    QMenu* templates = new QMenu(QStringLiteral("票卷範本"), this);
    templates->setObjectName(QStringLiteral("mnuTicketTemplate"));
    for (const QString& text :
         {QStringLiteral("建立票卷範本檔"), QStringLiteral("開啟票卷範本檔")}) {
        templates->addAction(text)->setEnabled(false);
    }
    QMenu* forms = new QMenu(QStringLiteral("票樣文件"), this);
    forms->setObjectName(QStringLiteral("mnuTicketForm"));
    for (const QString& text : {QStringLiteral("建立票樣文件"), QStringLiteral("開啟票樣文件")}) {
        forms->addAction(text)->setEnabled(false);
    }
}

bool frmAP_Main::hasScreen(const QString& name) const {
    return screens_.contains(name);
}

QWidget* frmAP_Main::openScreen(const QString& name) {
    const auto found = screens_.constFind(name);
    if (found == screens_.cend()) {
        return nullptr;
    }
    if (found->kind == Kind::Modal) {
        QWidget* screen = found->create();
        AppDialogs().runModal(screen);
        delete screen;
        return nullptr;
    }
    if (QWidget* open = open_.value(name)) {
        subFormShow(open);
        return open;
    }
    QWidget* screen = found->create();
    // A fixed child window has a border that does not resize and no minimise or maximise button.
    QMdiSubWindow* window =
        found->kind == Kind::FixedChild
            ? area_->addSubWindow(screen, Qt::SubWindow | Qt::CustomizeWindowHint |
                                              Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                              Qt::WindowCloseButtonHint)
            : area_->addSubWindow(screen);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->resize(window->sizeHint());
    window->move(0, 0);
    open_.insert(name, screen);
    subFormShow(screen);
    return screen;
}

void frmAP_Main::subFormShow(QWidget* screen) {
    BringScreenForward(screen);
    if (screen->isVisible() && screen->isEnabled()) {
        screen->setFocus();
    }
}

}  // namespace quorvane
