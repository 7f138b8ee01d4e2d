#pragma once

#include "masterdata/rules/Logins.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class QTimer;

namespace quorvane {

// The login screen: the user id (upper-cased as typed) and the password, checked by the
// login rules (Logins). A successful login fills CurrentUser and accepts the dialog; Esc, or a
// database that cannot be reached, ends the program (result() is then Ended or Failed). After
// a refusal the login button stays disabled for the wait the rules set (retryTimer), while the
// window goes on working.
class frmAP_Login : public QDialog {
    Q_OBJECT

public:
    enum Outcome { Ended = QDialog::Rejected, LoggedIn = QDialog::Accepted, Failed = 2 };

    frmAP_Login(Database& db, const SettingsStore& settings, QWidget* parent = nullptr);

    QLineEdit* txtIdUser() const { return txtIdUser_; }
    QLineEdit* txtPWD() const { return txtPWD_; }
    QPushButton* cmdLogin() const { return cmdLogin_; }
    QTimer* retryTimer() const { return retryTimer_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void cmdLogin_Click();

    Logins logins_;
    QLineEdit* txtIdUser_;
    QLineEdit* txtPWD_;
    QPushButton* cmdLogin_;
    QTimer* retryTimer_;
};

}  // namespace quorvane
