#include "samples/screens/frmST_TicketPrintTemplate.h"

#include "core/CurrentUser.h"
#include "samples/rules/TemplateLayouts.h"
#include "support/Fixtures.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"
#include "ui/FieldKinds.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace quorvane {
namespace {

const QString kTitle = QStringLiteral("E5-票卷範本格式設定");

class TemplateScreenTest : public test::BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        SetCurrentUser(test::kClerk);
        SetLastTypedLength(0);
    }
    void TearDown() override {
        screen_.reset();
        BackendTest::TearDown();
    }

    frmST_TicketPrintTemplate& open() {
        screen_ = std::make_unique<frmST_TicketPrintTemplate>(db());
        screen_->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(screen_.get()));
        return *screen_;
    }
    template <typename T>
    T* child(const QString& name) {
        T* found = screen_->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    QLineEdit* field(const QString& name) { return child<QLineEdit>(name); }
    QComboBox* combo(const QString& name) { return child<QComboBox>(name); }
    QAction* key(const QString& name) { return screen_->toolbarAction(name); }
    QString fontName() { return child<QLabel>(QStringLiteral("sspFontName"))->text(); }
    bool checked(const QString& name) { return child<QCheckBox>(name)->isChecked(); }

    // Clicks the list row of this layout box.
    void click(const QString& nameShape) {
        QListView* list = screen_->lstMain();
        const QRect rect = list->visualRect(list->model()->index(rowOf(nameShape), 0));
        ASSERT_TRUE(rect.isValid()) << nameShape.toStdString();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }
    // The list row of a box: the rows come in OrderShape order.
    int rowOf(const QString& nameShape) {
        const QStringList order = {
            QStringLiteral("txtTicketTitle"), QStringLiteral("txtAddressWeb"),
            QStringLiteral("txtTicketName"),  QStringLiteral("txtTicketAmount"),
            QStringLiteral("txtNameCompany"), QStringLiteral("txtNoVAT"),
            QStringLiteral("txtNameCEO"),     QStringLiteral("txtAddressCompany"),
            QStringLiteral("txtTelCompany"),  QStringLiteral("txtTicketNote"),
            QStringLiteral("txtTicketDate"),  QStringLiteral("txtTicketCheck")};
        return static_cast<int>(order.indexOf(nameShape));
    }
    void type(QLineEdit* target, const QString& text) {
        target->setFocus();
        target->selectAll();
        QTest::keyClicks(target, text);
    }
    void typeCombo(QComboBox* target, const QString& text) {
        target->setFocus();
        target->lineEdit()->selectAll();
        QTest::keyClicks(target->lineEdit(), text);
    }
    ShapeLayout stored(const QString& nameShape) {
        const std::optional<ShapeLayout> layout = TemplateLayouts(db()).read(nameShape);
        EXPECT_TRUE(layout);
        return layout.value_or(ShapeLayout());
    }

    ScriptedDialogs dialogs_;
    std::unique_ptr<frmST_TicketPrintTemplate> screen_;
};

TEST_P(TemplateScreenTest, OpensOnTheTitleBoxOfLayoutZeroUnderTheDesignedCaption) {
    db().ConnExecute(Statement(QStringLiteral(
        "INSERT INTO ST_TicketPrintTemplate (IdTemplate, NameShape, DescriptionShape, "
        "OrderShape, ShapeLeft) VALUES (1, 'txtOther', '其他版面', 0, 99)")));
    frmST_TicketPrintTemplate& screen = open();
    EXPECT_EQ(screen.windowTitle(), kTitle);
    EXPECT_EQ(screen.currentKey(), QStringLiteral("txtTicketTitle"));
    EXPECT_EQ(field(QStringLiteral("txtShapeLeft"))->text(), QStringLiteral("10"));
    EXPECT_EQ(field(QStringLiteral("txtShapeTop"))->text(), QStringLiteral("3"));
    EXPECT_EQ(field(QStringLiteral("txtShapeWidth"))->text(), QStringLiteral("160"));
    EXPECT_EQ(field(QStringLiteral("txtShapeHeight"))->text(), QStringLiteral("12"));
    EXPECT_EQ(combo(QStringLiteral("cmbTextOrientation"))->currentText(),
              QStringLiteral("向下旋轉 90 度"));
    EXPECT_EQ(combo(QStringLiteral("cmbParagraphLineSpacing"))->currentText(),
              QStringLiteral("28"));
    EXPECT_EQ(combo(QStringLiteral("cmbFontSize"))->currentText(), QStringLiteral("26"));
    EXPECT_EQ(fontName(), QStringLiteral("標楷體"));
    EXPECT_TRUE(checked(QStringLiteral("sscFontBold")));
    EXPECT_FALSE(checked(QStringLiteral("sscFontItalic")));

    const QAbstractItemModel* rows = screen.lstMain()->model();
    ASSERT_EQ(rows->rowCount(), 12) << "rows of other layouts never appear";
    EXPECT_EQ(rows->index(0, 0).data().toString(), QStringLiteral("票卷標題"));
    EXPECT_EQ(rows->index(11, 0).data().toString(), QStringLiteral("檢查碼"));
    EXPECT_EQ(screen.lstMain()->currentIndex().row(), 0);
    EXPECT_EQ(child<QLabel>(QStringLiteral("sspBannerList"))->text(),
              QStringLiteral("範本格式代碼"));

    const auto tabs = child<QTabWidget>(QStringLiteral("sstMain"));
    ASSERT_EQ(tabs->count(), 3);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("文字方塊"));
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("段落"));
    EXPECT_EQ(tabs->tabText(2), QStringLiteral("字型"));
    EXPECT_EQ(child<QCheckBox>(QStringLiteral("sscFontBold"))->text(), QStringLiteral("粗體(&B)"));
    EXPECT_EQ(child<QCheckBox>(QStringLiteral("sscFontItalic"))->text(),
              QStringLiteral("斜體(&I)"));

    // Browse mode: the fields are locked, the tabs can still be looked through.
    for (const char* name : {"Edit", "Quit", "AddNew", "Delete", "Print"}) {
        EXPECT_TRUE(key(QString::fromLatin1(name))->isEnabled()) << name;
    }
    EXPECT_FALSE(key(QStringLiteral("Cancel"))->isEnabled());
    EXPECT_FALSE(key(QStringLiteral("Save"))->isEnabled());
    EXPECT_FALSE(field(QStringLiteral("txtShapeLeft"))->isEnabled());
    EXPECT_FALSE(child<QPushButton>(QStringLiteral("sscSelectFontName"))->isEnabled());
    EXPECT_TRUE(tabs->isEnabled());
    EXPECT_EQ(screen.minimumSize(), screen.maximumSize()) << "the window keeps its size";
}

TEST_P(TemplateScreenTest, BothSizeListsOfferTheTwelveSizes) {
    open();
    const QStringList expected = {QStringLiteral("8"),  QStringLiteral("9"),  QStringLiteral("10"),
                                  QStringLiteral("11"), QStringLiteral("12"), QStringLiteral("14"),
                                  QStringLiteral("16"), QStringLiteral("18"), QStringLiteral("22"),
                                  QStringLiteral("24"), QStringLiteral("26"), QStringLiteral("28")};
    for (const QString& name :
         {QStringLiteral("cmbParagraphLineSpacing"), QStringLiteral("cmbFontSize")}) {
        QComboBox* sizes = combo(name);
        QStringList offered;
        for (int i = 0; i < sizes->count(); ++i) {
            offered.append(sizes->itemText(i));
        }
        EXPECT_EQ(offered, expected) << name.toStdString();
        EXPECT_TRUE(sizes->isEditable()) << name.toStdString();
    }
}

TEST_P(TemplateScreenTest, ClickShowsTheBoxAndNamesItInTheCaption) {
    frmST_TicketPrintTemplate& screen = open();
    click(QStringLiteral("txtTicketName"));
    EXPECT_EQ(screen.currentKey(), QStringLiteral("txtTicketName"));
    EXPECT_EQ(screen.windowTitle(), kTitle + QStringLiteral("：商品名稱（瀏覽模式）"));
    EXPECT_EQ(field(QStringLiteral("txtShapeLeft"))->text(), QStringLiteral("10"));
    EXPECT_EQ(field(QStringLiteral("txtShapeTop"))->text(), QStringLiteral("16"));
    EXPECT_EQ(combo(QStringLiteral("cmbFontSize"))->currentText(), QStringLiteral("18"));
    EXPECT_FALSE(checked(QStringLiteral("sscFontBold")));
}

TEST_P(TemplateScreenTest, SaveStoresTheFieldsAndKeepsTheListInOrder) {
    frmST_TicketPrintTemplate& screen = open();
    click(QStringLiteral("txtTicketName"));
    QTest::keyClick(screen.lstMain(), Qt::Key_Return);
    ASSERT_TRUE(screen.isEditing());
    EXPECT_EQ(screen.windowTitle(), kTitle + QStringLiteral("：商品名稱（修改模式）"));
    EXPECT_EQ(QApplication::focusWidget(), field(QStringLiteral("txtShapeLeft")));
    EXPECT_FALSE(screen.lstMain()->isEnabled());
    EXPECT_TRUE(key(QStringLiteral("AddNew"))->isEnabled()) << "not switched by the mode";
    EXPECT_FALSE(key(QStringLiteral("Edit"))->isEnabled());
    EXPECT_FALSE(key(QStringLiteral("Quit"))->isEnabled());

    type(field(QStringLiteral("txtShapeLeft")), QStringLiteral("25"));
    typeCombo(combo(QStringLiteral("cmbFontSize")), QStringLiteral("20"));
    typeCombo(combo(QStringLiteral("cmbParagraphLineSpacing")), QStringLiteral("22"));
    combo(QStringLiteral("cmbTextOrientation"))->setCurrentIndex(2);
    child<QCheckBox>(QStringLiteral("sscFontItalic"))->setChecked(true);
    dialogs_.expectMessage(Dialogs::Icon::Information, QStringLiteral("儲存"),
                           QStringLiteral("儲存成功"));
    QTest::keyClick(&screen, Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(screen.isEditing());
    EXPECT_EQ(screen.windowTitle(), kTitle + QStringLiteral("：商品名稱（瀏覽模式）"));

    const ShapeLayout saved = stored(QStringLiteral("txtTicketName"));
    EXPECT_FLOAT_EQ(saved.ShapeLeft, 25.0F);
    EXPECT_FLOAT_EQ(saved.ShapeTop, 16.0F);
    EXPECT_EQ(saved.FontSize, 20) << "a size not in the list is stored as typed";
    EXPECT_EQ(saved.ParagraphLineSpacing, 22);
    EXPECT_EQ(saved.TextOrientation, 2);
    EXPECT_TRUE(saved.FontItalic);
    EXPECT_EQ(saved.FontName, QStringLiteral("標楷體"));

    const QAbstractItemModel* rows = screen.lstMain()->model();
    ASSERT_EQ(rows->rowCount(), 12);
    EXPECT_EQ(rows->index(2, 0).data().toString(), QStringLiteral("商品名稱"));
    EXPECT_EQ(screen.lstMain()->currentIndex().row(), 2);
    EXPECT_EQ(field(QStringLiteral("txtShapeLeft"))->text(), QStringLiteral("25"));
}

TEST_P(TemplateScreenTest, CancelRestoresTheStoredValues) {
    frmST_TicketPrintTemplate& screen = open();
    click(QStringLiteral("txtTicketAmount"));
    QTest::keyClick(&screen, Qt::Key_F2);
    ASSERT_TRUE(screen.isEditing());
    type(field(QStringLiteral("txtShapeWidth")), QStringLiteral("70"));
    typeCombo(combo(QStringLiteral("cmbFontSize")), QStringLiteral("9"));
    dialogs_.expectFont(QStringLiteral("標楷體"),
                        {true, QStringLiteral("新細明體"), 14, false, true});
    QTest::mouseClick(child<QPushButton>(QStringLiteral("sscSelectFontName")), Qt::LeftButton);
    EXPECT_EQ(fontName(), QStringLiteral("新細明體"));

    QTest::keyClick(field(QStringLiteral("txtShapeWidth")), Qt::Key_Escape);
    EXPECT_FALSE(screen.isEditing());
    EXPECT_EQ(screen.currentKey(), QStringLiteral("txtTicketAmount"));
    EXPECT_EQ(field(QStringLiteral("txtShapeWidth"))->text(), QStringLiteral("55"));
    EXPECT_EQ(combo(QStringLiteral("cmbFontSize"))->currentText(), QStringLiteral("18"));
    EXPECT_EQ(fontName(), QStringLiteral("標楷體"));
    EXPECT_TRUE(checked(QStringLiteral("sscFontBold")));
    EXPECT_FALSE(checked(QStringLiteral("sscFontItalic")));
    EXPECT_EQ(QApplication::focusWidget(), screen.lstMain());
    EXPECT_FLOAT_EQ(stored(QStringLiteral("txtTicketAmount")).ShapeWidth, 55.0F);
}

TEST_P(TemplateScreenTest, FontDialogSetsFaceStyleAndRoundedSize) {
    frmST_TicketPrintTemplate& screen = open();
    QTest::keyClick(&screen, Qt::Key_F2);
    ASSERT_TRUE(screen.isEditing());
    auto* chooser = child<QPushButton>(QStringLiteral("sscSelectFontName"));
    QComboBox* size = combo(QStringLiteral("cmbFontSize"));
    const struct {
        FontChoice answer;
        const char* face;
        const char* size;
        bool bold;
        bool italic;
    } steps[] = {
        // opened on 標楷體 26 bold
        {{true, QStringLiteral("新細明體"), 10.5, false, true}, "新細明體", "10", false, true},
        {{true, QStringLiteral("標楷體"), 11.5, true, false}, "標楷體", "12", true, false},
        {{true, QStringLiteral("細明體"), 0, false, false}, "細明體", "12", false, false},
        {{false, QStringLiteral("新細明體"), 20, true, true}, "細明體", "12", false, false},
    };
    QString current = QStringLiteral("標楷體");
    for (const auto& step : steps) {
        dialogs_.expectFont(current, step.answer);
        QTest::mouseClick(chooser, Qt::LeftButton);
        EXPECT_EQ(fontName(), QString::fromUtf8(step.face));
        EXPECT_EQ(size->currentText(), QString::fromLatin1(step.size));
        EXPECT_EQ(checked(QStringLiteral("sscFontBold")), step.bold);
        EXPECT_EQ(checked(QStringLiteral("sscFontItalic")), step.italic);
        current = fontName();
    }
    EXPECT_EQ(child<QLabel>(QStringLiteral("sspFontName"))->font().family(),
              QStringLiteral("細明體"))
        << "the panel is drawn in the chosen face";

    dialogs_.expectMessage(Dialogs::Icon::Information, QStringLiteral("儲存"),
                           QStringLiteral("儲存成功"));
    QTest::keyClick(&screen, Qt::Key_S, Qt::ControlModifier);
    const ShapeLayout saved = stored(QStringLiteral("txtTicketTitle"));
    EXPECT_EQ(saved.FontName, QStringLiteral("細明體"));
    EXPECT_EQ(saved.FontSize, 12);
    EXPECT_FALSE(saved.FontBold);
}

TEST_P(TemplateScreenTest, BadNumbersAreRefusedBeforeAnythingIsWritten) {
    frmST_TicketPrintTemplate& screen = open();
    QTest::keyClick(&screen, Qt::Key_F2);
    type(field(QStringLiteral("txtShapeLeft")), QStringLiteral("12"));
    type(field(QStringLiteral("txtShapeHeight")), QStringLiteral("abc"));
    dialogs_
        .expectMessage(Dialogs::Icon::Warning, QStringLiteral("儲存"),
                       QStringLiteral("儲存失敗\r\n\r\n「方塊高度(公厘)」的內容「abc」不正確"))
        .containing();
    QTest::keyClick(&screen, Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(screen.isEditing()) << "the entry stays to be corrected";
    EXPECT_EQ(field(QStringLiteral("txtShapeHeight"))->text(), QStringLiteral("abc"));

    type(field(QStringLiteral("txtShapeHeight")), QStringLiteral("8"));
    typeCombo(combo(QStringLiteral("cmbParagraphLineSpacing")), QStringLiteral("99999"));
    dialogs_
        .expectMessage(Dialogs::Icon::Warning, QStringLiteral("儲存"),
                       QStringLiteral("「段落行高(pt)」的內容「99999」不正確"))
        .containing();
    QTest::keyClick(&screen, Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(screen.isEditing());
    const ShapeLayout unchanged = stored(QStringLiteral("txtTicketTitle"));
    EXPECT_FLOAT_EQ(unchanged.ShapeLeft, 10.0F);
    EXPECT_FLOAT_EQ(unchanged.ShapeHeight, 12.0F);
    EXPECT_EQ(unchanged.ParagraphLineSpacing, 28);
}

TEST_P(TemplateScreenTest, NumberFieldsMoveInTheirOrder) {
    frmST_TicketPrintTemplate& screen = open();
    QTest::keyClick(&screen, Qt::Key_F2);
    QLineEdit* left = field(QStringLiteral("txtShapeLeft"));
    ASSERT_EQ(QApplication::focusWidget(), left);
    QTest::keyClick(left, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), field(QStringLiteral("txtShapeTop")));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), field(QStringLiteral("txtShapeWidth")));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), field(QStringLiteral("txtShapeHeight")));
    QLineEdit* height = field(QStringLiteral("txtShapeHeight"));
    height->setCursorPosition(0);
    height->deselect();
    QTest::keyClick(height, Qt::Key_Left);
    EXPECT_EQ(QApplication::focusWidget(), field(QStringLiteral("txtShapeWidth")));
    EXPECT_EQ(left->maxLength(), 4);
}

TEST_P(TemplateScreenTest, AFailedLoadNamesTheProcedureAndTheBox) {
    frmST_TicketPrintTemplate& screen = open();
    db().ConnExecute(
        Statement(QStringLiteral("ALTER TABLE ST_TicketPrintTemplate RENAME TO ST_Moved")));
    dialogs_.expectException(Answer::Ignore,
                             QStringLiteral("例外程序　　　　：subFormShowRecord\r\n\r\n"
                                            "主索引值　　　　：txtTicketName"));
    click(QStringLiteral("txtTicketName"));
    EXPECT_EQ(field(QStringLiteral("txtShapeLeft"))->text(), QStringLiteral("10"))
        << "the fields keep what they showed";
    EXPECT_FALSE(screen.isEditing());
}

TEST_P(TemplateScreenTest, AddDeletePrintAndInsertDoNothing) {
    frmST_TicketPrintTemplate& screen = open();
    for (const char* name : {"AddNew", "Delete", "Print"}) {
        key(QString::fromLatin1(name))->trigger();
    }
    QTest::keyClick(screen.lstMain(), Qt::Key_Insert);
    QTest::keyClick(screen.lstMain(), Qt::Key_Delete);
    QTest::keyClick(screen.lstMain(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_FALSE(screen.isEditing());
    EXPECT_FALSE(screen.isAdding());
    EXPECT_EQ(screen.windowTitle(), kTitle);
    EXPECT_EQ(test::CountRows(db(), QStringLiteral("ST_TicketPrintTemplate")), 12);
}

QUORVANE_INSTANTIATE_BACKENDS(TemplateScreenTest);

}  // namespace
}  // namespace quorvane
