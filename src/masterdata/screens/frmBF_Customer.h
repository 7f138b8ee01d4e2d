#pragma once

#include "masterdata/rules/Issuers.h"
#include "ui/FormWidgets.h"
#include "ui/RecordForm.h"

#include <QMap>

#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace quorvane {

// B1-發行業者基本資料建檔: the issuers and their trust contracts, one BF_Customer row each,
// keyed by the contract number.
class frmBF_Customer : public RecordForm {
    Q_OBJECT

public:
    explicit frmBF_Customer(Database& db, QWidget* parent = nullptr);

    QLineEdit* field(const QString& column) const { return fields_.value(column); }

protected:
    QString tableName() const override;
    QString keyColumn() const override;
    Statement listQuery() const override;
    void loadRecord(const QString& key) override;
    void clearRecord() override;
    QString fieldsKey() const override;
    QString fieldsName() const override;
    bool titleShowsName() const override { return true; }
    void beginAdd() override;
    void beginEdit() override;
    bool checkRecord() override;
    std::optional<QString> writeRecord() override;
    QString deleteDescription() const override;
    QString deleteRefusal(const QString& key) override;
    QString deleteNotFound(const QString& key) const override;
    QString showRecordTitle() const override;
    void modeChanged(bool editing) override;
    void toolbarKey(const QString& key) override;

private:
    void buildFields();
    void markNoVAT();
    void hideNoVATMarks();
    void openQuotaScreen(const char* operation);

    Issuers issuers_;

    QMap<QString, QLineEdit*> fields_;  // by column
    QLabel* sspNoContract_ = nullptr;
    std::optional<OutcomeMarks> noVatMarks_;  // imgNoVatOK, imgNoVatReject
    QLabel* sspIdUserAddNew_ = nullptr;
    QLabel* sspTimeAddNew_ = nullptr;
    QPushButton* cmdCopyAddress_ = nullptr;
};

}  // namespace quorvane
