#include "ui/frmAP_ModWait.h"

#include "ui/ScreenSizing.h"
#include "ui/Twips.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace quorvane {

frmAP_ModWait::frmAP_ModWait(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmAP_ModWait"));
    setWindowTitle(QStringLiteral("請稍後"));

    lblWait_ = new QLabel(QStringLiteral("請稍候"), this);
    lblWait_->setObjectName(QStringLiteral("lblWait"));
    lblWait_->setAlignment(Qt::AlignCenter);
    lblWait_->setWordWrap(true);
    lblWait_->setTextFormat(Qt::PlainText);

    // A progress bar without a range is the toolkit's busy indicator.
    aniWait_ = new QProgressBar(this);
    aniWait_->setObjectName(QStringLiteral("aniWait"));
    aniWait_->setRange(0, 0);
    aniWait_->setTextVisible(false);

    cmdCancel_ = new QPushButton(QStringLiteral("取消"), this);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel_->setAutoDefault(false);
    connect(cmdCancel_, &QPushButton::clicked, this, [this] { CancelJob = true; });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdCancel_);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblWait_, 1);
    layout->addWidget(aniWait_);
    layout->addLayout(buttons);

    resize(TwipsToPixels(WidthTwips, HeightTwips, this));
}

void frmAP_ModWait::RefreshStatus(const QString& message) {
    QString text = message;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    lblWait_->setText(text);
    fitStatus();
    QCoreApplication::processEvents();
}

void frmAP_ModWait::fitStatus() {
    // The dialog grows (never shrinks) so that every line of the status shows.
    if (layout() != nullptr) {
        layout()->activate();
    }
    const int needed = lblWait_->heightForWidth(lblWait_->width());
    if (needed > lblWait_->height()) {
        resize(width(), height() + needed - lblWait_->height());
    }
}

bool frmAP_ModWait::Cancel() {
    QCoreApplication::processEvents();
    if (CancelJob) {
        return true;
    }
    show();
    raise();
    activateWindow();
    return false;
}

void frmAP_ModWait::keyPressEvent(QKeyEvent* event) {
    // Esc asks the job to stop; the job's caller closes the dialog when the job has ended.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        CancelJob = true;
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmAP_ModWait::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        CentreOver(this, parentWidget());
    }
    QDialog::showEvent(event);
}

}  // namespace quorvane
