#include "ui/RecordForm.h"

#include "core/FailureRouting.h"
#include "db/ExecuteNoQuery.h"
#include "ui/Dialogs.h"
#include "ui/FormResize.h"
#include "ui/FormWidgets.h"
#include "ui/RecordList.h"
#include "ui/ScreenRegistry.h"
#include "ui/Twips.h"

#include <QAction>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMdiSubWindow>
#include <QShortcut>
#include <QToolBar>

namespace quorvane {

namespace {

const QString kBrowseBanner = QStringLiteral("（瀏覽模式）");
const QString kAddBanner = QStringLiteral("（新增模式）");
const QString kModifyBanner = QStringLiteral("（修改模式）");
const QString kDeleteTitle = QStringLiteral("刪除程序");
constexpr int kMarginTwips = 60;
constexpr int kBannerHeightTwips = 300;

}  // namespace

RecordForm::RecordForm(Database& db, Design design, const QList<ToolbarKey>& keys, QWidget* parent)
    : QWidget(parent),
      db_(db),
      design_(std::move(design)),
      toolbar_(new QToolBar(this)),
      frame_(new QFrame(this)),
      banner_(
          MakePanel(this, QStringLiteral("sspBannerList"), design_.listBanner, Qt::AlignCenter)),
      list_(new QListView(this)),
      rows_(new RecordList(this)) {
    setWindowTitle(design_.title);
    toolbar_->setObjectName(QStringLiteral("tlbMain"));
    toolbar_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    for (const ToolbarKey& key : keys) {
        QAction* action = toolbar_->addAction(key.caption);
        action->setObjectName(key.key);
        action->setToolTip(key.hint.isEmpty() ? key.caption : key.hint);
        connect(action, &QAction::triggered, this, [this, name = key.key] { runToolbarKey(name); });
    }
    frame_->setObjectName(QStringLiteral("ssfData"));
    frame_->setFrameShape(QFrame::StyledPanel);
    // Fields are disabled while browsing; their text must stay readable all the same.
    QPalette readable = frame_->palette();
    readable.setColor(QPalette::Disabled, QPalette::Text,
                      readable.color(QPalette::Active, QPalette::Text));
    readable.setColor(QPalette::Disabled, QPalette::WindowText,
                      readable.color(QPalette::Active, QPalette::WindowText));
    frame_->setPalette(readable);
    list_->setObjectName(QStringLiteral("lstMain"));
    list_->setModel(rows_);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setUniformItemSizes(true);
    list_->installEventFilter(this);
    connect(list_, &QListView::clicked, this, [this](const QModelIndex& index) {
        if (!editing_) {
            showRow(index.row());
        }
    });
    connect(list_, &QListView::doubleClicked, this, [this](const QModelIndex& index) {
        if (!editing_) {
            showRow(index.row());
            runIfEnabled(QStringLiteral("Edit"));
        }
    });

    // Form keys: each runs the toolbar key it stands for, when that key is enabled.
    const auto shortcut = [this](const QKeySequence& sequence, const std::function<void()>& run) {
        auto* key = new QShortcut(sequence, this);
        key->setContext(Qt::WidgetWithChildrenShortcut);
        connect(key, &QShortcut::activated, this, run);
    };
    const auto whenEnabled = [this](const QString& key) {
        return [this, key] { runIfEnabled(key); };
    };
    shortcut(QKeySequence(Qt::Key_Insert), whenEnabled(QStringLiteral("AddNew")));
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_N), whenEnabled(QStringLiteral("AddNew")));
    shortcut(QKeySequence(Qt::Key_F2), whenEnabled(QStringLiteral("Edit")));
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_S), whenEnabled(QStringLiteral("Save")));
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), [this] {
        if (editing_) {
            closeScreen();  // discards the unsaved entry without a question
        }
    });
    shortcut(QKeySequence(Qt::Key_Escape), [this] {
        runToolbarKey(editing_ ? QStringLiteral("Cancel") : QStringLiteral("Quit"));
    });

    resize(sizeHint());
}

RecordForm::~RecordForm() = default;

QAction* RecordForm::toolbarAction(const QString& key) const {
    return toolbar_->findChild<QAction*>(key, Qt::FindDirectChildrenOnly);
}

void RecordForm::formLoad() {
    setMode(false, false);
    refreshList(openingLocation());
}

void RecordForm::runIfEnabled(const QString& key) {
    QAction* action = toolbarAction(key);
    if (action != nullptr && action->isEnabled()) {
        runToolbarKey(key);
    }
}

void RecordForm::runToolbarKey(const QString& key) {
    if (key == QStringLiteral("AddNew")) {
        subFormAddNew();
    } else if (key == QStringLiteral("Edit")) {
        subFormEdit();
    } else if (key == QStringLiteral("Delete")) {
        subFormDelete();
    } else if (key == QStringLiteral("Cancel")) {
        subFormCancel();
    } else if (key == QStringLiteral("Save")) {
        subFormSave();
    } else if (key == QStringLiteral("Quit")) {
        if (!editing_) {
            closeScreen();
        }
    } else {
        toolbarKey(key);
    }
}

void RecordForm::setMode(bool adding, bool editing) {
    adding_ = adding;
    editing_ = editing;
    const auto enable = [this](const QString& key, bool on) {
        if (QAction* action = toolbarAction(key)) {
            action->setEnabled(on);
        }
    };
    for (const QString& key : {QStringLiteral("AddNew"), QStringLiteral("Edit"),
                               QStringLiteral("Delete"), QStringLiteral("Quit")}) {
        enable(key, !editing);
    }
    enable(QStringLiteral("Cancel"), editing);
    enable(QStringLiteral("Save"), editing);
    if (!editing && rows_->rowCount() == 0) {
        enable(QStringLiteral("Edit"), false);
        enable(QStringLiteral("Delete"), false);
    }
    list_->setEnabled(!editing);
    banner_->setEnabled(!editing);
    frame_->setEnabled(editing);
    modeChanged(editing);
    updateTitle();
}

void RecordForm::updateTitle() {
    setWindowTitle(titleText());
}

QString RecordForm::titleText() const {
    QString title = design_.title + QStringLiteral("：") + fieldsKey();
    if (titleShowsName()) {
        title += QStringLiteral(" - ") + fieldsName();
    }
    return title + modeBanner();
}

QString RecordForm::modeBanner() const {
    return adding_ ? kAddBanner : (editing_ ? kModifyBanner : kBrowseBanner);
}

void RecordForm::subFormListRefresh() {
    refreshList(ScreenLocation(QStringLiteral("subFormListRefresh")));
}

QString RecordForm::openingLocation() {
    return ScreenLocation(QStringLiteral("subFormListRefresh"));
}

QString RecordForm::loadLocation(const QString& key) {
    return ScreenLocation(QStringLiteral("FormLoadRecord")) + QStringLiteral("主索引值　　　　：") +
           key;
}

void RecordForm::refreshList(const QString& location) {
    Procedure procedure(location);
    if (procedure.step([&] { rows_->load(db_, listQuery()); }) == StepOutcome::Left) {
        return;
    }
    if (rows_->rowCount() == 0) {
        clearRecord();
        currentKey_.clear();
        setMode(adding_, editing_);
    } else {
        const int row = rows_->rowOf(currentKey_);
        showRow(row >= 0 ? row : 0);
    }
    focusList();
}

void RecordForm::showRow(int row) {
    const QString key = rows_->keyAt(row);
    list_->setCurrentIndex(rows_->index(row));
    showKey(key);
}

void RecordForm::showKey(const QString& key) {
    if (key.trimmed().isEmpty()) {
        return;
    }
    Procedure procedure(loadLocation(key));
    // Whatever became of the load, the key on display is the one the fields hold.
    static_cast<void>(procedure.step([&] { loadRecord(key.trimmed()); }));
    currentKey_ = fieldsKey();
    setMode(adding_, editing_);
}

void RecordForm::selectInList(const QString& key) {
    const int row = rows_->rowOf(key);
    if (row >= 0) {
        list_->setCurrentIndex(rows_->index(row));
    }
}

void RecordForm::focusList() {
    if (list_->isEnabled() && list_->isVisible()) {
        list_->setFocus();
    }
}

void RecordForm::subFormAddNew() {
    if (editing_ || !allowAdd()) {
        return;
    }
    previousKey_ = rows_->keyAt(list_->currentIndex().row());
    setMode(true, true);
    beginAdd();
    updateTitle();
}

void RecordForm::subFormEdit() {
    if (editing_ || currentKey_.isEmpty() || !allowEdit()) {
        return;
    }
    previousKey_ = currentKey_;
    setMode(false, true);
    beginEdit();
}

void RecordForm::subFormCancel() {
    if (!editing_) {
        return;
    }
    setMode(false, false);
    showKey(previousKey_);
    selectInList(previousKey_);
    focusList();
}

bool RecordForm::subFormSave() {
    if (!editing_ || !checkRecord()) {
        return false;
    }
    Procedure procedure(ScreenLocation(QStringLiteral("subFormSave")));
    std::optional<QString> key;
    if (procedure.step([&] { key = writeRecord(); }) != StepOutcome::Done || !key) {
        return false;  // the screen stays in its mode with everything as typed
    }
    setMode(false, false);
    currentKey_ = *key;
    subFormListRefresh();
    AppDialogs().message(Dialogs::Icon::Information, QStringLiteral("儲存"),
                         QStringLiteral("儲存成功"));
    selectInList(*key);
    focusList();
    return true;
}

QString RecordForm::deleteNotFound(const QString& key) const {
    (void)key;
    return QStringLiteral("刪除失敗\r\n\r\n無此筆紀錄");
}

void RecordForm::subFormDelete() {
    if (editing_) {
        return;
    }
    const QString key = fieldsKey();
    if ((key.isEmpty() && fieldsName().isEmpty()) || !allowDelete()) {
        return;
    }
    Procedure procedure(ScreenLocation(QStringLiteral("subFormDelete")));
    bool exists = false;
    QString refusal;
    // A skipped test says nothing about the record: the delete goes no further.
    if (procedure.step([&] { exists = db_.IsValueExists(tableName(), keyColumn(), key); }) !=
        StepOutcome::Done) {
        return;
    }
    if (!exists) {
        AppDialogs().message(Dialogs::Icon::Warning, kDeleteTitle, deleteNotFound(key));
        return;
    }
    if (procedure.step([&] { refusal = deleteRefusal(key); }) != StepOutcome::Done) {
        return;
    }
    if (!refusal.isEmpty()) {
        AppDialogs().message(Dialogs::Icon::Warning, kDeleteTitle, refusal);
        return;
    }
    const Dialogs::Button answer =
        AppDialogs().message(Dialogs::Icon::Question, kDeleteTitle,
                             QStringLiteral("是否欲刪除以下紀錄\r\n\r\n") + deleteDescription(),
                             Dialogs::Buttons::OkCancel, Dialogs::Button::Cancel);
    if (answer != Dialogs::Button::Ok) {
        AppDialogs().message(Dialogs::Icon::Warning, kDeleteTitle,
                             QStringLiteral("刪除失敗\r\n\r\n使用者已取消操作"));
        return;
    }
    const qint32 deleted = deleteRecord(key);
    currentKey_.clear();
    subFormListRefresh();
    if (deleted > 0) {
        AppDialogs().message(Dialogs::Icon::Information, kDeleteTitle,
                             QStringLiteral("已刪除 [") + key + QStringLiteral("] "));
    } else if (deleted == 0) {
        // Another workstation deleted it between the test and the delete.
        AppDialogs().message(Dialogs::Icon::Warning, kDeleteTitle, deleteNotFound(key));
    }
}

qint32 RecordForm::deleteRecord(const QString& key) {
    return ExecuteNoQuery(
        db_,
        Statement(QStringLiteral("DELETE FROM %1 WHERE (%2 = ?)").arg(tableName(), keyColumn()),
                  {key}));
}

void RecordForm::subFormShowRecord(const QString& key) {
    if (key.isEmpty()) {
        return;
    }
    if (editing_) {
        bringToFront();
        const Dialogs::Button answer = AppDialogs().message(
            Dialogs::Icon::Question, showRecordTitle(),
            QStringLiteral("表單使用中，是否強制載入？\r\n\r\n目前表單〔") + design_.title +
                QStringLiteral("〕正處於〔") +
                (adding_ ? QStringLiteral("新增模式") : QStringLiteral("修改模式")) +
                QStringLiteral("〕是否欲放棄目前的作業並載入票樣編號 ") + key +
                QStringLiteral(" ？"),
            Dialogs::Buttons::OkCancel, Dialogs::Button::Cancel);
        if (answer != Dialogs::Button::Ok) {
            return;
        }
        subFormCancel();
    }
    Procedure procedure(ScreenLocation(objectName() + QStringLiteral(".subFormShowRecord")) +
                        QStringLiteral("主索引值　　　　：") + key);
    if (procedure.step([&] { selectInList(key); }) == StepOutcome::Left) {
        return;
    }
    showKey(key);
    updateTitle();
    bringToFront();
}

void RecordForm::closeScreen() {
    if (auto* window = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        window->close();
    } else {
        close();
    }
}

void RecordForm::bringToFront() {
    BringScreenForward(this);
}

bool RecordForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ && event->type() == QEvent::KeyPress && !editing_) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            runIfEnabled(QStringLiteral("Edit"));
            return true;
        }
        if (key->key() == Qt::Key_Delete) {
            runIfEnabled(QStringLiteral("Delete"));
            return true;
        }
    }
    if (watched == list_ && event->type() == QEvent::KeyRelease && !editing_) {
        // Arrow keys move the selection: show the record now under it.
        const int row = list_->currentIndex().row();
        if (row >= 0 && rows_->keyAt(row) != currentKey_) {
            showRow(row);
        }
    }
    return QWidget::eventFilter(watched, event);
}

QSize RecordForm::sizeHint() const {
    return TwipsToPixels(design_.innerWidthTwips, design_.innerHeightTwips, this);
}

void RecordForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeChildren();
}

void RecordForm::placeChildren() {
    // The list keeps its designed place and takes whatever the screen grows or shrinks by;
    // the toolbar and the field frame keep their designed size.
    const int margin = TwipsToPixelsX(kMarginTwips, this);
    const int bannerHeight = TwipsToPixelsY(kBannerHeightTwips, this);
    const QSize design = TwipsToPixels(design_.innerWidthTwips, design_.innerHeightTwips, this);
    const QSize listDesign = TwipsToPixels(design_.listWidthTwips, design_.listHeightTwips, this);
    const int toolbarHeight = toolbar_->sizeHint().height();
    toolbar_->setGeometry(0, 0, qMax(width(), design.width()), toolbarHeight);
    const int listLeft = design.width() - listDesign.width() - margin;
    const int listTop = design.height() - listDesign.height() - margin;
    frame_->setGeometry(margin, toolbarHeight + margin, listLeft - 2 * margin,
                        design.height() - toolbarHeight - 2 * margin);
    const std::optional<QSize> listSize = ResizedControlSize(size(), design, listDesign);
    if (!listSize) {
        return;
    }
    banner_->setGeometry(listLeft, listTop - bannerHeight, listSize->width(), bannerHeight);
    list_->setGeometry(QRect(QPoint(listLeft, listTop), *listSize));
}

}  // namespace quorvane
