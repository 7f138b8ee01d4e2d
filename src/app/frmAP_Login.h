#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace quorvane {

class Database;
class SettingsStore;

// The login screen: the user id (upper-cased as typed) and the password. A successful login
// fills CurrentUser and accepts the dialog; Esc, or a database that cannot be reached, ends
// the program (result() is then Ended or Failed).
class frmAP_Login : public QDialog {
    Q_OBJECT

public:
    enum Outcome { Ended = QDialog::Rejected, LoggedIn = QDialog::Accepted, Failed = 2 };

    frmAP_Login(Database& db, const SettingsStore& settings, QWidget* parent = nullptr);

    QLineEdit* txtIdUser() const { return txtIdUser_; }
    QLineEdit* txtPWD() const { return txtPWD_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void cmdLogin_Click();

    Database& db_;
    const SettingsStore& settings_;
    QLineEdit* txtIdUser_;
    QLineEdit* txtPWD_;
    QPushButton* cmdLogin_;
};

}  // namespace quorvane
