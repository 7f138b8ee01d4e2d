#include "ui/frmAP_ModErr.h"

#include "ui/ScreenSizing.h"
#include "ui/Twips.h"

#include <QClipboard>
#include <QFontDatabase>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace quorvane {

namespace {

QPushButton* makeButton(QWidget* parent, const QString& objectName, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(objectName);
    return button;
}

}  // namespace

frmAP_ModErr::frmAP_ModErr(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmAP_ModErr"));
    setWindowTitle(QStringLiteral("程式例外"));

    auto* texts = new QVBoxLayout;
    texts->setSpacing(4);
    const QString lines[] = {
        QStringLiteral("程式發生可處理的不明例外狀況"),
        QStringLiteral("您可選擇以下三種的處理動作"),
        QStringLiteral("忽略：　　　忽略此例外，並繼續執行"),
        QStringLiteral("重試：　　　重新嘗試剛才發生例外的步驟"),
        QStringLiteral("離開此程序：結束剛才發生例外的步驟"),
    };
    for (const QString& line : lines) {
        auto* label = new QLabel(line, this);
        texts->addWidget(label);
    }
    // The heading stands apart from the explanation of the answers.
    texts->insertSpacing(2, 6);
    texts->addStretch();

    cmdIgnore_ = makeButton(this, QStringLiteral("cmdIgnore"), QStringLiteral("忽略(&I)"));
    auto* cmdRetry = makeButton(this, QStringLiteral("cmdRetry"), QStringLiteral("重試(&R)"));
    auto* cmdExit = makeButton(this, QStringLiteral("cmdExit"), QStringLiteral("離開此程序(&X)"));
    auto* cmdDetail = makeButton(this, QStringLiteral("cmdDetail"), QStringLiteral("詳細資料(&D)"));
    auto* cmdCopy = makeButton(this, QStringLiteral("cmdCopy"), QStringLiteral("複製詳細資料"));
    cmdCopy->setToolTip(QStringLiteral("複製詳細資料內的資訊至剪貼簿"));
    cmdIgnore_->setDefault(true);
    // Only the answer buttons take Enter when focused; the other two keep the default on 忽略.
    cmdDetail->setAutoDefault(false);
    cmdCopy->setAutoDefault(false);

    auto* answers = new QVBoxLayout;
    answers->addWidget(cmdIgnore_);
    answers->addWidget(cmdRetry);
    answers->addWidget(cmdExit);
    answers->addStretch();

    auto* top = new QHBoxLayout;
    top->addLayout(texts, 1);
    top->addSpacing(12);
    top->addLayout(answers);

    auto* rule = new QFrame(this);
    rule->setObjectName(QStringLiteral("linRule"));
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    auto* detailButtons = new QHBoxLayout;
    detailButtons->addWidget(cmdDetail);
    detailButtons->addWidget(cmdCopy);
    detailButtons->addStretch();

    txtErr_ = new QPlainTextEdit(this);
    txtErr_->setObjectName(QStringLiteral("txtErr"));
    txtErr_->setReadOnly(true);
    txtErr_->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtErr_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtErr_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtErr_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(rule);
    layout->addLayout(detailButtons);
    layout->addWidget(txtErr_, 1);

    connect(cmdIgnore_, &QPushButton::clicked, this, [this] { choose(Answer::Ignore); });
    connect(cmdRetry, &QPushButton::clicked, this, [this] { choose(Answer::Retry); });
    connect(cmdExit, &QPushButton::clicked, this, [this] { choose(Answer::Exit); });
    connect(cmdDetail, &QPushButton::clicked, this, [this] { setDetailsShown(!detailsShown_); });
    connect(cmdCopy, &QPushButton::clicked, this, &frmAP_ModErr::copyDetails);

    setFixedWidth(TwipsToPixelsX(WidthTwips, this));
    setDetailsShown(false);
}

void frmAP_ModErr::setDetails(const QString& text) {
    details_ = text;
    // The text uses CR LF line ends; the editor wants bare line feeds.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    txtErr_->setPlainText(shown);
}

void frmAP_ModErr::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        // Every opening starts afresh, whatever the previous opening left.
        answer_ = Answer::Exit;
        setDetailsShown(false);
        CentreOnScreen(this);
        cmdIgnore_->setFocus();
    }
    QDialog::showEvent(event);
}

void frmAP_ModErr::choose(Answer answer) {
    answer_ = answer;
    done(static_cast<int>(answer));
}

void frmAP_ModErr::setDetailsShown(bool shown) {
    detailsShown_ = shown;
    txtErr_->setVisible(shown);
    setFixedHeight(
        TwipsToPixelsY(shown ? HeightDetailsShownTwips : HeightDetailsHiddenTwips, this));
}

void frmAP_ModErr::copyDetails() {
    QGuiApplication::clipboard()->setText(details_);
}

}  // namespace quorvane
