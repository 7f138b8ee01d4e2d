#pragma once

#include "core/Failure.h"

#include <QString>

#include <functional>

namespace quorvane {

// The user's answer to a failure; the numbers are those of the standard message-box answers.
enum class Answer : short { Exit = 3, Retry = 4, Ignore = 5 };

// The process-wide description of where the program is working, shown with every failure.
const QString& ExceptionText();
void SetExceptionText(const QString& text);

// Whatever shows a failure to the user and returns the answer. The program installs the
// exception dialog; tests install a scripted one. Without a handler every failure is answered
// with Exit, so a procedure never loops on a failure nobody can see.
using FailureHandler = std::function<Answer(const Failure* failure, const QString& text)>;
void InstallFailureHandler(FailureHandler handler);

// The details block of a failure followed by the location text, as the exception dialog shows
// it. Without a failure the details are empty.
QString FailureDetails(const Failure* failure, const QString& location);

// Hands the failure to the installed handler and returns its answer.
Answer ShowException(const Failure* failure, const QString& location);

// The location text of a screen's procedure: "例外程序　　　　：" + its name + CR LF CR LF.
// Detail lines ("主索引值　　　　：" + the key, say) follow it.
QString ScreenLocation(const QString& procedure);
// The location text of a screen's data binding at opening, naming the connection.
QString InitializeLocation(const QString& connection);

// What became of one step. Only Done says that the step's work happened: anything that
// depends on it (a record that must have been written, a check that must have passed) tests
// for Done, never merely for "not Left".
enum class [[nodiscard]] StepOutcome{
    Done,     // the step ran to its end
    Skipped,  // it failed and the user chose Ignore: the procedure goes on without its work
    Left,     // it failed and the user chose Exit, or an earlier step was left: nothing runs
};

// The step runner of one procedure. Each step is a unit that can be repeated or skipped
// without leaving inconsistent data. A Failure thrown by a step sets ExceptionText to the
// procedure's location, is shown, and the answer decides: Retry runs the step again, Ignore
// goes on with the next step (Skipped), Exit leaves the procedure (Left, and every later step
// is Left without running).
class Procedure {
public:
    explicit Procedure(QString location);

    StepOutcome step(const std::function<void()>& work);

    // True once the user chose Exit in this procedure.
    bool left() const { return left_; }

    // Replaces the location text, for procedures whose location names the record they work on.
    void setLocation(QString location) { location_ = std::move(location); }

private:
    QString location_;
    bool left_ = false;
};

}  // namespace quorvane
