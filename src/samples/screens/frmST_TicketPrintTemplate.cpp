#include "samples/screens/frmST_TicketPrintTemplate.h"

#include "core/FailureRouting.h"
#include "ui/Dialogs.h"
#include "ui/FieldKinds.h"
#include "ui/FormWidgets.h"
#include "ui/ScreenNames.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace quorvane {

namespace {

constexpr int kMeasureLength = 4;

QComboBox* MakeSizeCombo(QWidget* parent, const QString& objectName) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(objectName);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->addItems(LayoutPointSizes());
    return combo;
}

}  // namespace

frmST_TicketPrintTemplate::frmST_TicketPrintTemplate(Database& db, QWidget* parent)
    : RecordForm(db, {QStringLiteral("E5-票卷範本格式設定"), QStringLiteral("範本格式代碼")},
                 {{QStringLiteral("AddNew"), QStringLiteral("新增"), QStringLiteral("新增")},
                  {QStringLiteral("Edit"), QStringLiteral("修改"), QStringLiteral("修改")},
                  {QStringLiteral("Delete"), QStringLiteral("刪除"), QStringLiteral("作廢")},
                  {QStringLiteral("Cancel"), QStringLiteral("取消"), QStringLiteral("取消")},
                  {QStringLiteral("Save"), QStringLiteral("儲存"), QStringLiteral("存檔")},
                  {QStringLiteral("Print"), QStringLiteral("列印"), QString()},
                  {QStringLiteral("Quit"), QStringLiteral("離開"), QStringLiteral("離開")}},
                 parent),
      layouts_(db) {
    setObjectName(screen::TicketTemplates);
    buildFields();
    fillOrientations();
    formLoad();
    // Opening shows the first box under the designed caption; showing a box names it.
    titleNamesBox_ = true;
    setFixedSize(sizeHint());
}

void frmST_TicketPrintTemplate::buildFields() {
    auto* outer = new QVBoxLayout(dataFrame());
    tabs_ = new QTabWidget(dataFrame());
    tabs_->setObjectName(QStringLiteral("sstMain"));
    outer->addWidget(tabs_);

    auto* shapePage = new QWidget(tabs_);
    auto* shapeGrid = new QGridLayout(shapePage);
    const auto measure = [&](int row, const QString& name, const QString& caption,
                             const QString& note) {
        auto* field = new QLineEdit(shapePage);
        field->setObjectName(name);
        field->setMaxLength(kMeasureLength);
        AddFieldRow(shapeGrid, row, caption, field);
        if (!note.isEmpty()) {
            shapeGrid->addWidget(new QLabel(note, shapePage), row, 2);
        }
        return field;
    };
    txtShapeLeft_ = measure(0, QStringLiteral("txtShapeLeft"), QStringLiteral("水平位置(公厘)"),
                            QStringLiteral("（與票卷左邊界的距離）"));
    txtShapeTop_ = measure(1, QStringLiteral("txtShapeTop"), QStringLiteral("垂直位置(公厘)"),
                           QStringLiteral("（與票卷上邊界的距離）"));
    txtShapeWidth_ =
        measure(2, QStringLiteral("txtShapeWidth"), QStringLiteral("方塊寬度(公厘)"), QString());
    txtShapeHeight_ =
        measure(3, QStringLiteral("txtShapeHeight"), QStringLiteral("方塊高度(公厘)"), QString());
    cmbTextOrientation_ = new QComboBox(shapePage);
    cmbTextOrientation_->setObjectName(QStringLiteral("cmbTextOrientation"));
    AddFieldRow(shapeGrid, 4, QStringLiteral("文字書寫方向"), cmbTextOrientation_);
    shapeGrid->setRowStretch(5, 1);
    shapeGrid->setColumnStretch(3, 1);
    tabs_->addTab(shapePage, QStringLiteral("文字方塊"));

    // The four measures move among themselves as number fields; they filter nothing typed.
    const QList<QLineEdit*> order = {txtShapeLeft_, txtShapeTop_, txtShapeWidth_, txtShapeHeight_};
    for (int i = 0; i < order.size(); ++i) {
        FieldKindFilter::Attach(order[i], FieldKind::UnsignedDecimal,
                                {i > 0 ? order[i - 1] : nullptr,
                                 i + 1 < order.size() ? order[i + 1] : nullptr, nullptr, nullptr},
                                FieldKindFilter::Typing::Free);
    }

    auto* paragraphPage = new QWidget(tabs_);
    auto* paragraphGrid = new QGridLayout(paragraphPage);
    cmbParagraphLineSpacing_ =
        MakeSizeCombo(paragraphPage, QStringLiteral("cmbParagraphLineSpacing"));
    AddFieldRow(paragraphGrid, 0, QStringLiteral("段落行高(pt)"), cmbParagraphLineSpacing_);
    paragraphGrid->setRowStretch(1, 1);
    paragraphGrid->setColumnStretch(2, 1);
    tabs_->addTab(paragraphPage, QStringLiteral("段落"));

    auto* fontPage = new QWidget(tabs_);
    auto* fontGrid = new QGridLayout(fontPage);
    sspFontName_ = MakePanel(fontPage, QStringLiteral("sspFontName"));
    sscSelectFontName_ = MakeChooserButton(fontPage, QStringLiteral("sscSelectFontName"));
    auto* faceRow = new QHBoxLayout;
    faceRow->addWidget(sspFontName_, 1);
    faceRow->addWidget(sscSelectFontName_);
    fontGrid->addWidget(new QLabel(QStringLiteral("字型名稱"), fontPage), 0, 0);
    fontGrid->addLayout(faceRow, 0, 1, 1, 2);
    cmbFontSize_ = MakeSizeCombo(fontPage, QStringLiteral("cmbFontSize"));
    AddFieldRow(fontGrid, 1, QStringLiteral("字體大小"), cmbFontSize_);
    sscFontBold_ = new QCheckBox(QStringLiteral("粗體(&B)"), fontPage);
    sscFontBold_->setObjectName(QStringLiteral("sscFontBold"));
    sscFontItalic_ = new QCheckBox(QStringLiteral("斜體(&I)"), fontPage);
    sscFontItalic_->setObjectName(QStringLiteral("sscFontItalic"));
    fontGrid->addWidget(new QLabel(QStringLiteral("樣式"), fontPage), 2, 0);
    fontGrid->addWidget(sscFontBold_, 2, 1);
    fontGrid->addWidget(sscFontItalic_, 3, 1);
    fontGrid->setRowStretch(4, 1);
    fontGrid->setColumnStretch(2, 1);
    tabs_->addTab(fontPage, QStringLiteral("字型"));

    connect(sscSelectFontName_, &QPushButton::clicked, this, [this] { chooseFont(); });
}

void frmST_TicketPrintTemplate::fillOrientations() {
    Procedure procedure(ScreenLocation(QStringLiteral("Form_Load")));
    QList<TextOrientationChoice> choices;
    if (procedure.step([&] { choices = layouts_.orientations(); }) != StepOutcome::Done) {
        return;
    }
    for (const TextOrientationChoice& choice : choices) {
        cmbTextOrientation_->addItem(choice.name, choice.value);
    }
}

QString frmST_TicketPrintTemplate::tableName() const {
    return QStringLiteral("ST_TicketPrintTemplate");
}

QString frmST_TicketPrintTemplate::keyColumn() const {
    return QStringLiteral("NameShape");
}

Statement frmST_TicketPrintTemplate::listQuery() const {
    return TemplateLayouts::listQuery();
}

void frmST_TicketPrintTemplate::loadRecord(const QString& key) {
    const std::optional<ShapeLayout> layout = layouts_.read(key);
    if (!layout) {
        return;
    }
    shapeName_ = layout->NameShape;
    if (titleNamesBox_) {
        description_ = layout->DescriptionShape;
    }
    txtShapeHeight_->setText(QString::number(layout->ShapeHeight));
    txtShapeWidth_->setText(QString::number(layout->ShapeWidth));
    txtShapeLeft_->setText(QString::number(layout->ShapeLeft));
    txtShapeTop_->setText(QString::number(layout->ShapeTop));
    cmbTextOrientation_->setCurrentIndex(cmbTextOrientation_->findData(layout->TextOrientation));
    cmbParagraphLineSpacing_->setEditText(QString::number(layout->ParagraphLineSpacing));
    cmbFontSize_->setEditText(QString::number(layout->FontSize));
    showFontName(layout->FontName);
    sscFontBold_->setChecked(layout->FontBold);
    sscFontItalic_->setChecked(layout->FontItalic);
}

void frmST_TicketPrintTemplate::clearRecord() {
    shapeName_.clear();
    description_.clear();
    for (QLineEdit* field : {txtShapeLeft_, txtShapeTop_, txtShapeWidth_, txtShapeHeight_}) {
        field->clear();
    }
    cmbTextOrientation_->setCurrentIndex(-1);
    cmbParagraphLineSpacing_->setEditText(QString());
    cmbFontSize_->setEditText(QString());
    showFontName(QString());
    sscFontBold_->setChecked(false);
    sscFontItalic_->setChecked(false);
}

QString frmST_TicketPrintTemplate::fieldsKey() const {
    return shapeName_;
}

QString frmST_TicketPrintTemplate::titleText() const {
    if (!titleNamesBox_) {
        return designTitle();
    }
    return designTitle() + QStringLiteral("：") + description_ + modeBanner();
}

void frmST_TicketPrintTemplate::beginEdit() {
    tabs_->setCurrentIndex(0);
    SetFocusTextBox(txtShapeLeft_, true);
}

ShapeLayoutEntry frmST_TicketPrintTemplate::entry() const {
    ShapeLayoutEntry typed;
    typed.ShapeLeft = txtShapeLeft_->text();
    typed.ShapeTop = txtShapeTop_->text();
    typed.ShapeWidth = txtShapeWidth_->text();
    typed.ShapeHeight = txtShapeHeight_->text();
    typed.TextOrientation = static_cast<qint16>(cmbTextOrientation_->currentData().toInt());
    typed.ParagraphLineSpacing = cmbParagraphLineSpacing_->currentText();
    typed.FontName = sspFontName_->text();
    typed.FontSize = cmbFontSize_->currentText();
    typed.FontBold = sscFontBold_->isChecked();
    typed.FontItalic = sscFontItalic_->isChecked();
    return typed;
}

bool frmST_TicketPrintTemplate::checkRecord() {
    const ShapeLayoutCheck check = CheckShapeLayout(shapeName_, entry());
    checked_ = check.layout;
    if (!checked_) {
        AppDialogs().message(Dialogs::Icon::Warning, QStringLiteral("儲存"), check.refusal);
        return false;
    }
    return true;
}

std::optional<QString> frmST_TicketPrintTemplate::writeRecord() {
    layouts_.save(*checked_);
    return checked_->NameShape;
}

QString frmST_TicketPrintTemplate::loadLocation(const QString& key) {
    return ScreenLocation(QStringLiteral("subFormShowRecord")) +
           QStringLiteral("主索引值　　　　：") + key;
}

QString frmST_TicketPrintTemplate::showRecordTitle() const {
    return designTitle();
}

void frmST_TicketPrintTemplate::modeChanged(bool editing) {
    // The tabs stay usable while browsing; what they hold is enabled while modifying only.
    // AddNew, Delete and Print keep their state in every mode.
    dataFrame()->setEnabled(true);
    for (int page = 0; page < tabs_->count(); ++page) {
        tabs_->widget(page)->setEnabled(editing);
    }
    for (const QString& key : {QStringLiteral("AddNew"), QStringLiteral("Delete")}) {
        toolbarAction(key)->setEnabled(true);
    }
}

void frmST_TicketPrintTemplate::showFontName(const QString& face) {
    sspFontName_->setText(face);
    QFont drawn = font();
    if (!face.isEmpty()) {
        drawn.setFamilies({face});
    }
    sspFontName_->setFont(drawn);
}

void frmST_TicketPrintTemplate::chooseFont() {
    const FontChoice choice = AppDialogs().chooseFont(this, sspFontName_->text());
    if (!choice.accepted) {
        return;
    }
    showFontName(choice.face);
    const int size = WholePoints(choice.pointSize);
    if (size > 0) {
        cmbFontSize_->setEditText(QString::number(size));
    }
    sscFontBold_->setChecked(choice.bold);
    sscFontItalic_->setChecked(choice.italic);
}

}  // namespace quorvane
