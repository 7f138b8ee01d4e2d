#pragma once

#include "samples/rules/TemplateLayouts.h"
#include "ui/RecordForm.h"

#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace quorvane {

// E5-票卷範本格式設定: the geometry, text direction, line spacing and font of the text boxes of
// the voucher layout (layout 0 of ST_TicketPrintTemplate). The boxes are fixed by the system:
// the screen modifies them and neither adds nor deletes one.
class frmST_TicketPrintTemplate : public RecordForm {
    Q_OBJECT

public:
    explicit frmST_TicketPrintTemplate(Database& db, QWidget* parent = nullptr);

protected:
    QString tableName() const override;
    QString keyColumn() const override;
    Statement listQuery() const override;
    void loadRecord(const QString& key) override;
    void clearRecord() override;
    QString fieldsKey() const override;
    QString titleText() const override;
    bool allowAdd() override { return false; }
    bool allowDelete() override { return false; }
    void beginAdd() override {}
    void beginEdit() override;
    bool checkRecord() override;
    std::optional<QString> writeRecord() override;
    QString deleteDescription() const override { return {}; }
    QString loadLocation(const QString& key) override;
    QString showRecordTitle() const override;
    void modeChanged(bool editing) override;

private:
    void buildFields();
    void fillOrientations();
    void showFontName(const QString& face);
    void chooseFont();
    ShapeLayoutEntry entry() const;

    TemplateLayouts layouts_;
    QString shapeName_;    // the box the fields hold
    QString description_;  // its description, for the title
    // The title names the box from the first one shown after opening on.
    bool titleNamesBox_ = false;
    std::optional<ShapeLayout> checked_;  // the entry as the save check accepted it

    QTabWidget* tabs_ = nullptr;
    QLineEdit* txtShapeLeft_ = nullptr;
    QLineEdit* txtShapeTop_ = nullptr;
    QLineEdit* txtShapeWidth_ = nullptr;
    QLineEdit* txtShapeHeight_ = nullptr;
    QComboBox* cmbTextOrientation_ = nullptr;
    QComboBox* cmbParagraphLineSpacing_ = nullptr;
    QLabel* sspFontName_ = nullptr;
    QPushButton* sscSelectFontName_ = nullptr;
    QComboBox* cmbFontSize_ = nullptr;
    QCheckBox* sscFontBold_ = nullptr;
    QCheckBox* sscFontItalic_ = nullptr;
};

}  // namespace quorvane
