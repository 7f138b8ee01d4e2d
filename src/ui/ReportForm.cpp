#include "ui/ReportForm.h"

#include "ui/FormResize.h"
#include "ui/ReportGrid.h"
#include "ui/Twips.h"

#include <QAction>
#include <QKeySequence>
#include <QMdiSubWindow>
#include <QResizeEvent>
#include <QToolBar>

#include <utility>

namespace quorvane {

ReportForm::ReportForm(Design design, QWidget* parent)
    : QWidget(parent),
      design_(std::move(design)),
      toolbar_(new QToolBar(this)),
      grid_(new ReportGrid(this)) {
    setWindowTitle(design_.title);
    toolbar_->setObjectName(QStringLiteral("tlbMain"));
    toolbar_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    connect(addKey(QStringLiteral("Query"), QStringLiteral("查詢"), QKeySequence(Qt::Key_F5)),
            &QAction::triggered, this, [this] { runQuery(); });
    connect(addKey(QStringLiteral("Export"), QStringLiteral("匯出"), QKeySequence(Qt::Key_F7)),
            &QAction::triggered, this, [this] { exportGrid(); });
    connect(addKey(QStringLiteral("Quit"), QStringLiteral("離開"), QKeySequence(Qt::Key_Escape)),
            &QAction::triggered, this, &ReportForm::closeScreen);

    grid_->setObjectName(QStringLiteral("flxMain"));
    grid_->setGeometry(QRect(QPoint(TwipsToPixelsX(design_.gridLeftTwips, this),
                                    TwipsToPixelsY(design_.gridTopTwips, this)),
                             TwipsToPixels(design_.gridWidthTwips, design_.gridHeightTwips, this)));
    resize(sizeHint());
    placeChildren();
}

ReportForm::~ReportForm() = default;

QAction* ReportForm::addKey(const QString& key, const QString& caption,
                            const QKeySequence& shortcut) {
    QAction* action = toolbar_->addAction(caption);
    action->setObjectName(key);
    action->setToolTip(caption);
    action->setShortcut(shortcut);
    // The keys work wherever the focus is in this screen, and only in this screen.
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(action);
    return action;
}

QAction* ReportForm::toolbarAction(const QString& key) const {
    for (QAction* action : toolbar_->actions()) {
        if (action->objectName() == key) {
            return action;
        }
    }
    return nullptr;
}

void ReportForm::exportGrid() {}

QSize ReportForm::sizeHint() const {
    return TwipsToPixels(design_.innerWidthTwips, design_.innerHeightTwips, this);
}

void ReportForm::closeScreen() {
    if (auto* window = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        window->close();
    } else {
        close();
    }
}

void ReportForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeChildren();
}

void ReportForm::placeChildren() {
    toolbar_->setGeometry(0, 0, width(), toolbar_->sizeHint().height());
    subFormReSize(this, design_.innerHeightTwips, design_.innerWidthTwips, design_.gridHeightTwips,
                  design_.gridWidthTwips, grid_);
}

}  // namespace quorvane
