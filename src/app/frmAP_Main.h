#pragma once

#include "ui/ScreenRegistry.h"

#include <QMainWindow>
#include <QMap>
#include <QPointer>

#include <functional>

class QAction;
class QMdiArea;
class QMenu;

namespace quorvane {

class Database;
class SettingsStore;

// The frame of the program after a successful login: the menu that opens every screen, the
// multi-document area that holds the record and report screens (one instance each), and the
// registry through which screens reach each other.
class frmAP_Main : public QMainWindow, public ScreenRegistry {
    Q_OBJECT

public:
    frmAP_Main(Database& db, const SettingsStore& settings, QString serverHost,
               QWidget* parent = nullptr);
    ~frmAP_Main() override;

    // "Quorvane　版本編號：major.minor.revision　使用者：" + the logged-in user's id.
    static QString MainTitle();

    // Loading before the window is first shown: selects the voucher printer (warning when it
    // is missing) and sets the title.
    void load();

    bool hasScreen(const QString& name) const override;
    QWidget* openScreen(const QString& name) override;

    // The menu item that opens a screen, by the screen's class name.
    QAction* menuItem(const QString& screen) const { return menuItems_.value(screen); }
    QMdiArea* area() const { return area_; }

private:
    // A child window in the area (FixedChild: of fixed size, without minimise and maximise), or
    // a modal dialog.
    enum class Kind { Child, FixedChild, Modal };
    struct Screen {
        Kind kind;
        std::function<QWidget*()> create;
    };

    void buildMenu();
    QAction* addItem(QMenu* menu, const QString& text, const QString& screen);
    void subFormShow(QWidget* screen);

    Database& db_;
    const SettingsStore& settings_;
    QString serverHost_;
    QMdiArea* area_;
    QMap<QString, Screen> screens_;
    QMap<QString, QPointer<QWidget>> open_;
    QMap<QString, QAction*> menuItems_;
};

}  // namespace quorvane
