#include "app/frmAP_Login.h"

#include "app/Startup.h"
#include "core/Failure.h"
#include "ui/Dialogs.h"
#include "ui/FieldKinds.h"
#include "ui/FormWidgets.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace quorvane {

namespace {
// BF_User holds ids and passwords of at most 16 characters.
constexpr int kMaxIdLength = 16;
constexpr int kMaxPasswordLength = 16;
constexpr int kBannerHeight = 64;
}  // namespace

frmAP_Login::frmAP_Login(Database& db, const SettingsStore& settings, QWidget* parent)
    : QDialog(parent),
      logins_(db, settings),
      txtIdUser_(new QLineEdit(this)),
      txtPWD_(new QLineEdit(this)),
      cmdLogin_(new QPushButton(QStringLiteral("登入(&L)"), this)),
      retryTimer_(new QTimer(this)) {
    setObjectName(QStringLiteral("frmAP_Login"));
    setWindowTitle(QStringLiteral("Quorvane - 系統登入（請輸入帳號、密碼）"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    txtIdUser_->setObjectName(QStringLiteral("txtIdUser"));
    txtIdUser_->setMaxLength(kMaxIdLength);
    txtPWD_->setObjectName(QStringLiteral("txtPWD"));
    txtPWD_->setMaxLength(kMaxPasswordLength);
    txtPWD_->setEchoMode(QLineEdit::Password);
    txtPWD_->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));  // "*"
    cmdLogin_->setObjectName(QStringLiteral("cmdLogin"));
    cmdLogin_->setAutoDefault(true);

    FieldKindFilter::Attach(txtIdUser_, FieldKind::UserId, {nullptr, txtPWD_, nullptr, nullptr});
    // The id selects its whole text whenever it gets the focus, also when Backspace or Left in
    // the password brings it back: what is typed then replaces the remembered id.
    FieldKindFilter::Attach(
        txtPWD_, FieldKind::Password,
        {txtIdUser_, nullptr, nullptr, nullptr, FieldNeighbours::Back::SelectAll});

    auto* form = new QGridLayout;
    form->setHorizontalSpacing(12);
    form->setVerticalSpacing(10);
    AddFieldRow(form, 0, QStringLiteral("使用者帳號"), txtIdUser_);
    AddFieldRow(form, 1, QStringLiteral("使用者密碼"), txtPWD_);
    form->addWidget(cmdLogin_, 0, 2, 2, 1);
    cmdLogin_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, kBannerHeight + 20, 28, 24);
    layout->addLayout(form);
    setFixedSize(420, 200);

    connect(cmdLogin_, &QPushButton::clicked, this, &frmAP_Login::cmdLogin_Click);
    retryTimer_->setObjectName(QStringLiteral("tmrRetry"));
    retryTimer_->setSingleShot(true);
    connect(retryTimer_, &QTimer::timeout, this, [this] { cmdLogin_->setEnabled(true); });

    txtIdUser_->setText(settings.GetIdUserLastLogin());
    txtPWD_->setFocus();
    if (const QScreen* screen = this->screen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void frmAP_Login::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        done(Ended);
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmAP_Login::paintEvent(QPaintEvent* event) {
    // The screen's picture: a banner with the program's name above the fields.
    QDialog::paintEvent(event);
    QPainter painter(this);
    QLinearGradient band(0, 0, width(), 0);
    band.setColorAt(0, QColor(0x1f, 0x3a, 0x5f));
    band.setColorAt(1, QColor(0x3d, 0x6b, 0x99));
    painter.fillRect(0, 0, width(), kBannerHeight, band);
    painter.setPen(Qt::white);
    QFont title(QStringLiteral("新細明體"), 18, QFont::Bold);
    painter.setFont(title);
    painter.drawText(QRect(20, 0, width() - 40, kBannerHeight), Qt::AlignVCenter | Qt::AlignLeft,
                     QStringLiteral("Quorvane 禮卷信託管理系統"));
}

void frmAP_Login::cmdLogin_Click() {
    if (retryTimer_->isActive()) {
        return;  // still waiting after a refusal
    }
    LoginOutcome outcome;
    try {
        outcome = logins_.check(txtIdUser_->text(), txtPWD_->text());
    } catch (const Failure& failure) {
        // Without a database the program cannot go on: say which one failed, then end.
        AppDialogs().message(Dialogs::Icon::Critical, QStringLiteral("登入失敗"),
                             DatabaseUnavailableText(failure));
        done(Failed);
        return;
    }
    if (!outcome.user) {
        // The button is disabled before the message, so that no attempt slips in meanwhile.
        if (outcome.wait.count() > 0) {
            cmdLogin_->setEnabled(false);
            retryTimer_->start(outcome.wait);
        }
        AppDialogs().message(Dialogs::Icon::Warning, QStringLiteral("登入失敗"), outcome.message);
        return;
    }
    SetCurrentUser(*outcome.user);
    done(LoggedIn);
}

}  // namespace quorvane
