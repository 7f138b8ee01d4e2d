#pragma once

#include <QMainWindow>

class QMdiArea;

namespace quorvane {

class Database;

// The frame of the program after a successful login: the multi-document window that holds
// every record and report screen.
class frmAP_Main : public QMainWindow {
    Q_OBJECT

public:
    explicit frmAP_Main(Database& db, QWidget* parent = nullptr);

    // "Quorvane　版本編號：major.minor.revision　使用者：" + the logged-in user's id.
    static QString MainTitle();

private:
    Database& db_;
    QMdiArea* area_;
};

}  // namespace quorvane
