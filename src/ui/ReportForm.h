#pragma once

#include <QString>
#include <QWidget>

class QAction;
class QResizeEvent;
class QToolBar;

namespace quorvane {

class ReportGrid;

// The base of every report screen: the toolbar tlbMain with Query ("查詢", F5), Export ("匯出",
// F7) and Quit ("離開", Esc), the grid flxMain, and the grid growing and shrinking with the
// screen. A screen places its criteria above the grid, fills the grid in runQuery() and hands
// it to the export engine in exportGrid().
class ReportForm : public QWidget {
    Q_OBJECT

public:
    // The screen as designed, in twips: its inner size and its grid's place and size.
    struct Design {
        QString title;
        int innerWidthTwips = 11724;
        int innerHeightTwips = 7812;
        int gridLeftTwips = 46;
        // Below the criteria; as designed, the grid ends one margin above the screen's bottom.
        int gridTopTwips = 2074;
        int gridWidthTwips = 11632;
        int gridHeightTwips = 5692;
    };

    explicit ReportForm(Design design, QWidget* parent = nullptr);
    ~ReportForm() override;

    const Design& design() const { return design_; }
    // The title the screen was designed with; a screen's title after a query starts with it.
    const QString& designTitle() const { return design_.title; }

    QToolBar* tlbMain() const { return toolbar_; }
    // The toolbar's action with this key (its object name), or null.
    QAction* toolbarAction(const QString& key) const;
    ReportGrid* flxMain() const { return grid_; }

    // Query: runs the screen's query into the grid.
    virtual void runQuery() = 0;
    // Export: hands the grid to the export engine. The base does nothing.
    virtual void exportGrid();
    // Quit: closes the screen (its window in the main window's area).
    void closeScreen();

    // The designed inner size, which the screen's window in the main window's area opens with.
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QAction* addKey(const QString& key, const QString& caption, const QKeySequence& shortcut);
    void placeChildren();

    Design design_;
    QToolBar* toolbar_;
    ReportGrid* grid_;
};

}  // namespace quorvane
