#pragma once

#include "quota/rules/QuotaApplications.h"
#include "ui/RecordForm.h"

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace quorvane {

// C1-禮卷額度申請單: quota applications, one OR_Account row each, keyed by the application
// number. A clerk files an application and may correct it until it is approved; a supervisor
// approves or returns it. The summary at the bottom shows the quota in force, the face value
// printed and the remainder of the contract on screen.
class frmOR_Account : public RecordForm {
    Q_OBJECT

public:
    explicit frmOR_Account(Database& db, QWidget* parent = nullptr);

    // The toolbar's AddNew (an empty contract number).
    using RecordForm::subFormAddNew;
    // Starts a new application for the contract (the issuer screen's "新增額度"); a user
    // without clerk permission is refused with a message.
    Q_INVOKABLE void subFormAddNew(const QString& noContract);
    // Shows the contract's latest application: the highest application number as text
    // (beyond the 99th application the two-digit numbers sort after the three-digit ones).
    // Nothing happens when the contract has none.
    Q_INVOKABLE void subFormShowRecordByNoContract(const QString& noContract);

protected:
    QString tableName() const override;
    QString keyColumn() const override;
    Statement listQuery() const override;
    void loadRecord(const QString& key) override;
    void clearRecord() override;
    QString fieldsKey() const override;
    bool allowAdd() override;
    bool allowEdit() override;
    void beginAdd() override;
    void beginEdit() override;
    bool checkRecord() override;
    std::optional<QString> writeRecord() override;
    QString deleteDescription() const override;
    QString showRecordTitle() const override;
    QString loadLocation(const QString& key) override;
    void modeChanged(bool editing) override;
    void toolbarKey(const QString& key) override;

private:
    void buildFields();
    void clearFields();
    void setReview(const QVariant& verifyApprove);
    void refreshSummary();
    void showAppliedAmount();
    void selectNoContract();
    void find(bool notReviewedOnly);
    bool formCheck();
    std::optional<QString> formSave();
    void warn(const QString& title, const QString& text, QWidget* focus = nullptr);

    QuotaApplications applications_;

    QGroupBox* ssfHandling_ = nullptr;
    QGroupBox* ssfVerify_ = nullptr;
    QGroupBox* ssfAmount_ = nullptr;
    QLineEdit* txtNoContract_ = nullptr;
    QPushButton* cmdSelectNoContract_ = nullptr;
    QLabel* sspNameCompany_ = nullptr;
    QLabel* sspNoAccount_ = nullptr;
    QLineEdit* txtAmount_ = nullptr;
    QLabel* sspAmount_ = nullptr;
    QLineEdit* txtNoteHandling_ = nullptr;
    QLabel* sspIdUserAddNew_ = nullptr;
    QLabel* sspTimeAddNew_ = nullptr;
    QButtonGroup* verdicts_ = nullptr;
    QRadioButton* ssoVerifyApprove_ = nullptr;
    QRadioButton* ssoVerifyReturn_ = nullptr;
    QLineEdit* txtNoteVerify_ = nullptr;
    QLabel* sspIdUserVerifyApprove_ = nullptr;
    QLabel* sspTimeVerifyApprove_ = nullptr;
    QLabel* sspIdUserVerifyReturn_ = nullptr;
    QLabel* sspTimeVerifyReturn_ = nullptr;
    QLabel* sspAmountApplyApprove_ = nullptr;
    QLabel* sspAmountTicketPrint_ = nullptr;
    QLabel* sspAmountRemain_ = nullptr;

    // The contract number subFormAddNew starts with, while it runs.
    QString pendingContract_;
    // The summary of the contract on screen.
    qint64 amountApprove_ = 0;
    qint64 amountTicketPrint_ = 0;
    qint64 amountRemain_ = 0;
    // Set while a record is put into the fields: the summary is refreshed once at the end.
    bool loading_ = false;
};

}  // namespace quorvane
