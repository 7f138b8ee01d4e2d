#pragma once

#include "masterdata/rules/UserAccounts.h"
#include "ui/FormWidgets.h"
#include "ui/RecordForm.h"

#include <QDateTime>

#include <optional>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace quorvane {

// E3-使用者基本資料建檔: the user accounts, one BF_User row each, keyed by the login id. An
// administrator (系統) maintains every account; anybody else sees and modifies only their own
// name, password and remark. The screen is a modal dialog window of its own: the main window
// runs it with AppDialogs().runModal() and deletes it when it closes.
//
// Stored passwords are never shown: an account with a password shows a placeholder in both
// masked fields, and a save that leaves them untouched leaves the stored password as it is.
//
// The account's login state (normal, or locked by failed logins since when) is shown beside
// the audit stamps; an administrator lifts a lock with the toolbar's 解除鎖定 key.
class frmBF_User : public RecordForm {
    Q_OBJECT

public:
    explicit frmBF_User(Database& db, QWidget* parent = nullptr);

    QLineEdit* txtIdUser() const { return txtIdUser_; }
    QLineEdit* txtPWD() const { return txtPWD_; }
    QLineEdit* txtPwdVerify() const { return txtPwdVerify_; }
    QLineEdit* txtNameUser() const { return txtNameUser_; }
    QLineEdit* txtNote() const { return txtNote_; }
    QGroupBox* roleFrame() const { return ssfPMI_; }
    QLabel* lockState() const { return sspLocked_; }
    QRadioButton* roleOption(UserRole role) const;

    // What the masked fields hold for a stored password: a text no one can type into them.
    static QString PasswordPlaceholder();

protected:
    QString tableName() const override;
    QString keyColumn() const override;
    Statement listQuery() const override;
    void loadRecord(const QString& key) override;
    void clearRecord() override;
    QString fieldsKey() const override;
    QString fieldsName() const override;
    bool titleShowsName() const override { return true; }
    bool allowAdd() override;
    bool allowEdit() override;
    void beginAdd() override;
    void beginEdit() override;
    bool checkRecord() override;
    std::optional<QString> writeRecord() override;
    bool allowDelete() override;
    qint32 deleteRecord(const QString& key) override;
    QString deleteDescription() const override;
    QString deleteRefusal(const QString& key) override;
    QString showRecordTitle() const override;
    QString openingLocation() override;
    void modeChanged(bool editing) override;
    void toolbarKey(const QString& key) override;

private:
    void buildFields();
    bool isAdministrator() const;
    bool showsOwnAccount() const;
    std::optional<UserRole> shownRole() const;
    void showRole(std::optional<UserRole> role);
    // A masked field edited while it still holds (part of) the placeholder keeps only what
    // was typed.
    void dropPlaceholder(QLineEdit* field);
    void markPasswords();
    void hidePasswordMarks();
    void showLockState(bool locked, const QDateTime& since);
    void enableUnlock();
    void unlockAccount();

    UserAccounts accounts_;
    QLineEdit* txtIdUser_ = nullptr;
    QLineEdit* txtPWD_ = nullptr;
    QLineEdit* txtPwdVerify_ = nullptr;
    QLineEdit* txtNameUser_ = nullptr;
    QLineEdit* txtNote_ = nullptr;
    QLabel* sspIdUser_ = nullptr;
    QGroupBox* ssfPMI_ = nullptr;
    QButtonGroup* roles_ = nullptr;
    std::optional<OutcomeMarks> passwordMarks_;  // imgPwdOK, imgPwdReject
    QLabel* sspIdUserAddNew_ = nullptr;
    QLabel* sspTimeAddNew_ = nullptr;
    QLabel* sspLocked_ = nullptr;
    // Whether the account shown is locked by failed logins.
    bool shownLocked_ = false;
    // The role the record had when shown (a new account's is 經辦).
    std::optional<UserRole> loadedRole_;
    // Whether txtPWD was typed into since the record was shown.
    bool passwordTyped_ = false;
};

}  // namespace quorvane
