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

// The step runner of one procedure. Each step is a unit that can be repeated or skipped
// without leaving inconsistent data. A Failure thrown by a step sets ExceptionText to the
// procedure's location, is shown, and the answer decides: Retry runs the step again, Ignore
// goes on with the next step, Exit leaves the procedure (step() returns false and so does
// every later step()).
class Procedure {
public:
    explicit Procedure(QString location);

    bool step(const std::function<void()>& work);

    // True once the user chose Exit in this procedure.
    bool left() const { return left_; }

    // Replaces the location text, for procedures whose location names the record they work on.
    void setLocation(QString location) { location_ = std::move(location); }

private:
    QString location_;
    bool left_ = false;
};

}  // namespace quorvane
