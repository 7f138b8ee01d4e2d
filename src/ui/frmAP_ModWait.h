#pragma once

#include <QDialog>
#include <QString>

class QKeyEvent;
class QLabel;
class QProgressBar;
class QPushButton;
class QShowEvent;

namespace quorvane {

// The wait dialog of a long job (starting the document engine, a print run): a status line,
// a busy indicator and a Cancel button. The job's caller shows it (not modal) before the job
// and closes it after; the job reports progress with RefreshStatus and asks Cancel() between
// its steps whether the user wants it to stop.
//
// The busy indicator is always the progress bar's own: the animation file some installations
// keep below the program's folder (Image/working.avi) is a format Qt cannot play, so it is
// not looked for, and the dialog never shows an empty animation frame.
class frmAP_ModWait : public QDialog {
    Q_OBJECT

public:
    static constexpr int WidthTwips = 4800;
    static constexpr int HeightTwips = 1920;

    explicit frmAP_ModWait(QWidget* parent = nullptr);

    // Set by the Cancel button and by Esc; the job reads it between its steps.
    bool CancelJob = false;

    // Shows the message in the status line at once (several lines allowed; CR LF or LF).
    void RefreshStatus(const QString& message);

    // Lets pending events run, so that a click on Cancel is seen; true when the job is to stop.
    // Otherwise the dialog is shown, raised and activated, and false returned.
    bool Cancel();
    // Writes what Cancel() reads: the same flag as CancelJob.
    void setCancel(bool cancel) { CancelJob = cancel; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void fitStatus();

    QLabel* lblWait_ = nullptr;
    QProgressBar* aniWait_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};

}  // namespace quorvane
