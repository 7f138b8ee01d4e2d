#include "ui/QtDialogs.h"

#include "ui/frmAP_ModCalendar.h"
#include "ui/frmAP_ModErr.h"
#include "ui/frmAP_ModSelectItem.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QEvent>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QPainter>
#include <QPointer>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QStyle>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>
#include <QWidget>

namespace quorvane {

namespace {

QMessageBox::Icon qtIcon(Dialogs::Icon icon) {
    switch (icon) {
        case Dialogs::Icon::Information:
            return QMessageBox::Information;
        case Dialogs::Icon::Warning:
            return QMessageBox::Warning;
        case Dialogs::Icon::Critical:
            return QMessageBox::Critical;
        case Dialogs::Icon::Question:
            return QMessageBox::Question;
        case Dialogs::Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons qtButtons(Dialogs::Buttons buttons) {
    switch (buttons) {
        case Dialogs::Buttons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case Dialogs::Buttons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case Dialogs::Buttons::Ok:
            break;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButton qtButton(Dialogs::Button button) {
    switch (button) {
        case Dialogs::Button::Cancel:
            return QMessageBox::Cancel;
        case Dialogs::Button::Yes:
            return QMessageBox::Yes;
        case Dialogs::Button::No:
            return QMessageBox::No;
        case Dialogs::Button::Ok:
            break;
    }
    return QMessageBox::Ok;
}

// The texts of the program join their lines with CR LF; labels want bare line feeds.
QString withLineFeeds(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

// Ends an event loop when the watched widget is hidden or destroyed.
class CloseWatcher : public QObject {
public:
    CloseWatcher(QWidget* watched, QEventLoop* loop) : QObject(watched), loop_(loop) {
        watched->installEventFilter(this);
        connect(watched, &QObject::destroyed, loop, &QEventLoop::quit);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Hide && !static_cast<QWidget*>(watched)->isVisible()) {
            loop_->quit();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QEventLoop* loop_;
};

// The desktop entry xdg-mime names as the default application for a file type; empty when
// there is none.
QString defaultApplication(const QString& xdgMime, const QString& mimeType) {
    QProcess query;
    query.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"), mimeType});
    if (!query.waitForFinished(10000) || query.exitStatus() != QProcess::NormalExit ||
        query.exitCode() != 0) {
        query.kill();
        return {};
    }
    return QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed();
}

// A dialog takes input, so it shows the normal pointer for as long as it is open, even while
// its owner waits on the database with the hourglass.
class NormalPointer {
public:
    NormalPointer() : set_(QApplication::overrideCursor() != nullptr) {
        if (set_) {
            QApplication::setOverrideCursor(Qt::ArrowCursor);
        }
    }
    ~NormalPointer() {
        if (set_) {
            QApplication::restoreOverrideCursor();
        }
    }
    NormalPointer(const NormalPointer&) = delete;
    NormalPointer& operator=(const NormalPointer&) = delete;

private:
    bool set_;
};

}  // namespace

std::unique_ptr<QMessageBox> QtDialogs::buildMessageBox(Icon icon, const QString& title,
                                                        const QString& text, Buttons buttons,
                                                        Button defaultButton, QWidget* parent) {
    auto box = std::make_unique<QMessageBox>(qtIcon(icon), title, withLineFeeds(text),
                                             qtButtons(buttons), parent);
    box->setTextFormat(Qt::PlainText);
    const QMessageBox::StandardButton preferred = qtButton(defaultButton);
    if (box->button(preferred) != nullptr) {
        box->setDefaultButton(preferred);
    }
    return box;
}

Dialogs::Button QtDialogs::answerOf(const QMessageBox& box, Buttons buttons) {
    switch (box.standardButton(box.clickedButton())) {
        case QMessageBox::Ok:
            return Button::Ok;
        case QMessageBox::Cancel:
            return Button::Cancel;
        case QMessageBox::Yes:
            return Button::Yes;
        case QMessageBox::No:
            return Button::No;
        default:
            break;
    }
    switch (buttons) {
        case Buttons::OkCancel:
            return Button::Cancel;
        case Buttons::YesNo:
            return Button::No;
        case Buttons::Ok:
            break;
    }
    return Button::Ok;
}

Dialogs::Button QtDialogs::message(Icon icon, const QString& title, const QString& text,
                                   Buttons buttons, Button defaultButton) {
    auto box =
        buildMessageBox(icon, title, text, buttons, defaultButton, QApplication::activeWindow());
    const NormalPointer pointer;
    box->exec();
    return answerOf(*box, buttons);
}

Answer QtDialogs::exception(const QString& text) {
    // A failure can arrive while a statement holds the hourglass.
    const NormalPointer pointer;
    frmAP_ModErr dialog(QApplication::activeWindow());
    dialog.setDetails(text);
    dialog.exec();
    return dialog.answer();
}

void QtDialogs::runModal(QWidget* screen) {
    if (screen == nullptr) {
        return;
    }
    if (auto* dialog = qobject_cast<QDialog*>(screen)) {
        dialog->exec();
        return;
    }
    // A plain widget: show it application-modal and wait until it is closed.
    QPointer<QWidget> guarded(screen);
    QEventLoop loop;
    auto* watcher = new CloseWatcher(screen, &loop);
    screen->setWindowModality(Qt::ApplicationModal);
    screen->show();
    loop.exec(QEventLoop::DialogExec);
    if (guarded) {
        delete watcher;
    }
}

QString QtDialogs::chooseFolder(QWidget* owner, const QString& title) {
    return QFileDialog::getExistingDirectory(owner, title, QString(), QFileDialog::ShowDirsOnly);
}

QString QtDialogs::choosePrinter(QWidget* owner, const QString& current) {
    QPrinter printer;
    if (!current.isEmpty()) {
        printer.setPrinterName(current);
    }
    QPrintDialog dialog(&printer, owner);
    // Only the choice of a printer: no printing to a file, no page ranges.
    dialog.setOptions(QAbstractPrintDialog::PrintDialogOptions());
    // The owner may be busy while the dialog is up.
    const NormalPointer pointer;
    const bool chosen = dialog.exec() == QDialog::Accepted;
    return chosen ? printer.printerName() : QString();
}

SelectionResult QtDialogs::selectItem(QWidget* owner, Database& db, const Selection& request) {
    frmAP_ModSelectItem dialog(db, owner != nullptr ? owner : QApplication::activeWindow());
    dialog.setWindowTitle(request.title);
    dialog.setSelectCommandText(request.SelectCommandText);
    dialog.setMultiSelect(request.MultiSelect);
    dialog.setSelectOrderIndex(request.SelectOrderIndex);
    dialog.exec();
    return dialog.selection();
}

QString QtDialogs::pickDate(QWidget* owner) {
    frmAP_ModCalendar dialog(owner != nullptr ? owner : QApplication::activeWindow());
    dialog.exec();
    return dialog.pickedDate();
}

std::unique_ptr<QFontDialog> QtDialogs::buildFontDialog(const QString& currentFace,
                                                        QWidget* parent) {
    auto dialog = std::make_unique<QFontDialog>(QFont(currentFace), parent);
    // Fonts that print at any size, as on the printed voucher.
    dialog->setOption(QFontDialog::ScalableFonts);
    return dialog;
}

FontChoice QtDialogs::choiceOf(const QFontDialog& dialog) {
    FontChoice choice;
    if (dialog.result() != QDialog::Accepted) {
        return choice;
    }
    const QFont font = dialog.selectedFont();
    choice.accepted = true;
    choice.face = font.family();
    // A font sized in pixels has no size in points.
    choice.pointSize = qMax(0.0, font.pointSizeF());
    choice.bold = font.bold();
    choice.italic = font.italic();
    return choice;
}

FontChoice QtDialogs::chooseFont(QWidget* owner, const QString& currentFace) {
    const auto dialog =
        buildFontDialog(currentFace, owner != nullptr ? owner : QApplication::activeWindow());
    dialog->exec();
    return choiceOf(*dialog);
}

std::unique_ptr<QDialog> QtDialogs::buildPreview(const PreviewPages& pages, QPrinter& printer,
                                                 QWidget* parent) {
    // The preview's own printer: any page size, and never a spooler job.
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setFullPage(true);
    printer.setPageLayout(pages.layout);

    auto dialog = std::make_unique<QDialog>(parent);
    dialog->setWindowTitle(pages.title);
    auto* preview = new QPrintPreviewWidget(&printer, dialog.get());
    preview->setObjectName(QStringLiteral("preview"));
    QObject::connect(preview, &QPrintPreviewWidget::paintRequested, dialog.get(),
                     [paint = pages.paint, count = pages.count](QPrinter* target) {
                         QPainter painter(target);
                         for (int page = 0; page < count; ++page) {
                             if (page > 0) {
                                 target->newPage();
                             }
                             painter.save();
                             paint(painter, page);
                             painter.restore();
                         }
                     });

    auto* bar = new QToolBar(dialog.get());
    bar->setObjectName(QStringLiteral("tlbPreview"));
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    const auto key = [&](const char* name, const QString& text, QStyle::StandardPixmap icon,
                         const std::function<void()>& act) {
        QAction* action = bar->addAction(dialog->style()->standardIcon(icon), text);
        action->setObjectName(QString::fromLatin1(name));
        QObject::connect(action, &QAction::triggered, dialog.get(), act);
    };
    key("PreviousPage", QStringLiteral("上一頁"), QStyle::SP_ArrowBack,
        [preview] { preview->setCurrentPage(preview->currentPage() - 1); });
    key("NextPage", QStringLiteral("下一頁"), QStyle::SP_ArrowForward,
        [preview] { preview->setCurrentPage(preview->currentPage() + 1); });
    key("ZoomIn", QStringLiteral("放大"), QStyle::SP_ArrowUp, [preview] { preview->zoomIn(); });
    key("ZoomOut", QStringLiteral("縮小"), QStyle::SP_ArrowDown, [preview] { preview->zoomOut(); });
    key("FitPage", QStringLiteral("整頁"), QStyle::SP_TitleBarNormalButton,
        [preview] { preview->setZoomMode(QPrintPreviewWidget::FitInView); });
    QDialog* window = dialog.get();
    key("Quit", QStringLiteral("離開"), QStyle::SP_DialogCloseButton,
        [window] { window->accept(); });

    auto* layout = new QVBoxLayout(dialog.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(preview, 1);

    const QScreen* screen = parent != nullptr ? parent->screen() : QApplication::primaryScreen();
    if (screen != nullptr) {
        const QSize room = screen->availableGeometry().size();
        dialog->resize(room.width() * 2 / 3, room.height() * 4 / 5);
    }
    return dialog;
}

void QtDialogs::previewPages(QWidget* owner, const PreviewPages& pages) {
    QPrinter printer(QPrinter::HighResolution);
    const auto dialog =
        buildPreview(pages, printer, owner != nullptr ? owner : QApplication::activeWindow());
    dialog->exec();
}

QString QtDialogs::noApplicationText(const QString& path, bool desktopOpener) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    QString application;
    if (suffix == QStringLiteral("docx") || suffix == QStringLiteral("dotx")) {
        application = QStringLiteral("LibreOffice Writer");
    } else if (suffix == QStringLiteral("xlsx")) {
        application = QStringLiteral("LibreOffice Calc");
    } else {
        application = QStringLiteral("可開啟「.") + suffix + QStringLiteral("」檔案的應用程式");
    }
    const QString install = desktopOpener
                                ? application
                                : QStringLiteral("桌面開啟檔案的工具 xdg-utils 與 ") + application;
    return QStringLiteral("無法開啟檔案\r\n\r\n") + QDir::toNativeSeparators(path) +
           QStringLiteral("\r\n\r\n此電腦沒有可開啟這類檔案的應用程式，請安裝 ") + install +
           QStringLiteral(" 後再開啟一次\r\n檔案已保留在上述位置");
}

bool QtDialogs::openFile(const QString& path) {
    // The desktop hands a file whose type has no application to nothing at all, and still
    // reports success: ask first which application it would start.
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    const QString mimeType = QMimeDatabase().mimeTypeForFile(path).name();
    const bool known = xdgMime.isEmpty() || !defaultApplication(xdgMime, mimeType).isEmpty();
    if (known && QDesktopServices::openUrl(QUrl::fromLocalFile(path))) {
        return true;
    }
    message(Icon::Warning, QStringLiteral("開啟檔案"), noApplicationText(path, !xdgMime.isEmpty()));
    return false;
}

}  // namespace quorvane
