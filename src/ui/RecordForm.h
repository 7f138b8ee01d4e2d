#pragma once

#include "db/Database.h"

#include <QString>
#include <QStringList>
#include <QWidget>

#include <optional>

class QAction;
class QFrame;
class QLabel;
class QListView;
class QToolBar;

namespace quorvane {

class RecordList;

// The base of every record screen: a toolbar, a frame of fields on the left, a list of the
// table's records on the right, and three modes (browse, add, modify). It implements the
// modes and their toolbar enabling, the keyboard shortcuts, the title, list refresh, add,
// modify, cancel, save, delete and the force-load question once; each screen supplies its
// table, list query, load, checks, write and its own rules through the virtual functions.
class RecordForm : public QWidget {
    Q_OBJECT

public:
    // The screen as designed: its title and, in twips, its inner size and its list's size.
    struct Design {
        QString title;
        QString listBanner;
        int innerWidthTwips = 11820;
        int innerHeightTwips = 7836;
        int listWidthTwips = 2652;
        int listHeightTwips = 6696;
    };
    // One toolbar key: its caption and hint; keys the base does not know go to toolbarKey().
    struct ToolbarKey {
        QString key;
        QString caption;
        QString hint;
    };

    RecordForm(Database& db, Design design, const QList<ToolbarKey>& keys,
               QWidget* parent = nullptr);
    ~RecordForm() override;

    bool isAdding() const { return adding_; }
    bool isEditing() const { return editing_; }
    const QString& designTitle() const { return design_.title; }
    // The key of the record on display.
    const QString& currentKey() const { return currentKey_; }

    QAction* toolbarAction(const QString& key) const;
    QToolBar* tlbMain() const { return toolbar_; }
    QListView* lstMain() const { return list_; }
    QFrame* dataFrame() const { return frame_; }

    // The record operations, as the toolbar, the keys and the list call them.
    void subFormAddNew();
    void subFormEdit();
    void subFormCancel();
    bool subFormSave();
    void subFormDelete();
    void subFormListRefresh();
    // Shows a record from another screen or menu; asks before abandoning an add or modify.
    Q_INVOKABLE void subFormShowRecord(const QString& key);
    // Closes the screen (its window in the main window's area).
    void closeScreen();

protected:
    // Call once at the end of the screen's constructor: browse mode, the list, the first record.
    void formLoad();

    // The table and its key column, for the existence test and the delete.
    virtual QString tableName() const = 0;
    virtual QString keyColumn() const = 0;
    // The list's rows: the text shown, then the key, in list order.
    virtual Statement listQuery() const = 0;
    // Fills the fields from the record with this key; a key without a row leaves them.
    virtual void loadRecord(const QString& key) = 0;
    // Empties every field (an empty table).
    virtual void clearRecord() = 0;
    // The key the fields hold and, for screens that show one, the record's name.
    virtual QString fieldsKey() const = 0;
    virtual QString fieldsName() const { return {}; }
    // Whether the title shows the record's name after its key.
    virtual bool titleShowsName() const { return false; }
    // Whether the user may add a record, or modify the one shown; a refusal shows its own
    // message and returns false, and the screen stays in browse mode.
    virtual bool allowAdd() { return true; }
    virtual bool allowEdit() { return true; }
    // Prepares the fields for a new record, and for modifying the one shown.
    virtual void beginAdd() = 0;
    virtual void beginEdit() = 0;
    // The save check: false (after its message) keeps the screen in its mode.
    virtual bool checkRecord() = 0;
    // Writes the record in one transaction and returns its key; nullopt when the write was
    // refused (the screen has said why) or failed. Throws Failure.
    virtual std::optional<QString> writeRecord() = 0;
    // The delete prompt's lines after the question, and the screen's own refusals (the
    // message, or empty when the record may go).
    virtual QString deleteDescription() const = 0;
    virtual QString deleteRefusal(const QString& key) { return (void)key, QString(); }
    // The delete's permission test: a refusal shows its own message and returns false.
    virtual bool allowDelete() { return true; }
    // Deletes the record once the user has confirmed: the rows deleted, 0 when the record was
    // gone already, -1 when it was not deleted (a failure or a refusal already shown). The
    // default runs the DELETE through the guarded statement runner.
    virtual qint32 deleteRecord(const QString& key);
    virtual QString deleteNotFound(const QString& key) const;
    // The location texts of a failure while the list is filled at opening, and while the
    // record with this key is loaded.
    virtual QString openingLocation();
    virtual QString loadLocation(const QString& key);
    // The title of the force-load question of subFormShowRecord.
    virtual QString showRecordTitle() const = 0;
    // What the screen enables besides the standard keys when the mode changes.
    virtual void modeChanged(bool editing) { (void)editing; }
    // A toolbar key the base does not handle.
    virtual void toolbarKey(const QString& key) { (void)key; }

    Database& db() { return db_; }
    // Rebuilds the title (titleText()).
    void updateTitle();
    // The title: the design title, the key, the name and the mode; a screen whose title names
    // its record otherwise supplies its own.
    virtual QString titleText() const;
    // The mode as the title shows it: "（瀏覽模式）", "（新增模式）" or "（修改模式）".
    QString modeBanner() const;
    // Brings the screen (its window in the main window's area) to the front.
    void bringToFront();

    void resizeEvent(QResizeEvent* event) override;
    // The designed inner size.
    QSize sizeHint() const override;

private:
    void refreshList(const QString& location);
    void setMode(bool adding, bool editing);
    void showRow(int row);
    void showKey(const QString& key);
    void selectInList(const QString& key);
    void focusList();
    void runToolbarKey(const QString& key);
    // Runs a toolbar key only when the screen has it and it is enabled (form and list keys).
    void runIfEnabled(const QString& key);
    bool eventFilter(QObject* watched, QEvent* event) override;
    void placeChildren();

    Database& db_;
    Design design_;
    QToolBar* toolbar_;
    QFrame* frame_;
    QLabel* banner_;
    QListView* list_;
    RecordList* rows_;
    bool adding_ = false;
    bool editing_ = false;
    QString currentKey_;
    QString previousKey_;
};

}  // namespace quorvane
