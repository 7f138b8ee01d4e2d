#pragma once

#include "core/FailureRouting.h"

#include <QDialog>
#include <QString>

class QPlainTextEdit;
class QPushButton;
class QShowEvent;

namespace quorvane {

// The exception dialog: tells the user that a step of the current procedure failed and asks
// whether to ignore the failure, retry the step or leave the procedure. The details area shows
// the text built by ShowException (failure details and location). Each failure opens a fresh
// instance; every opening starts with the answer Exit and the details hidden.
class frmAP_ModErr : public QDialog {
    Q_OBJECT

public:
    // Dialog heights with the details hidden and shown.
    static constexpr int HeightDetailsHiddenTwips = 3384;
    static constexpr int HeightDetailsShownTwips = 5784;
    static constexpr int WidthTwips = 6840;

    explicit frmAP_ModErr(QWidget* parent = nullptr);

    // The text of the details area; copied to the clipboard exactly as given.
    void setDetails(const QString& text);
    const QString& details() const { return details_; }

    // Exit unless one of the three answer buttons closed the dialog.
    Answer answer() const { return answer_; }

    bool detailsShown() const { return detailsShown_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void choose(Answer answer);
    void setDetailsShown(bool shown);
    void copyDetails();

    Answer answer_ = Answer::Exit;
    bool detailsShown_ = false;
    QString details_;
    QPlainTextEdit* txtErr_ = nullptr;
    QPushButton* cmdIgnore_ = nullptr;
};

}  // namespace quorvane
