#pragma once

#include "core/FailureRouting.h"

#include <QString>

#include <deque>
#include <functional>
#include <vector>

namespace quorvane::test {

// The failure routing of a test without a window. Each failure a procedure shows is recorded
// with its whole text and answered with the answer the test queued, in order; a failure nobody
// queued, or one whose text lacks the expected part, fails the test and is answered with Exit.
// Creating one installs it; destroying it fails the test for answers still queued and puts
// back the routing that fails every failure.
//
//     ScriptedFailures failures;
//     failures.expect(Answer::Retry, u"FormSave"_s);
class ScriptedFailures {
public:
    ScriptedFailures();
    ~ScriptedFailures();
    ScriptedFailures(const ScriptedFailures&) = delete;
    ScriptedFailures& operator=(const ScriptedFailures&) = delete;

    // The next failure shown is answered with `answer`; its text must contain `textContains`.
    // `meanwhile` runs with the failure before the answer is given: what the user or another
    // workstation does while the dialog is up (another workstation releases its lock, say).
    using Meanwhile = std::function<void(const Failure* failure)>;
    void expect(Answer answer, const QString& textContains = {}, Meanwhile meanwhile = {});

    // The texts of the failures shown so far.
    const std::vector<QString>& shown() const { return shown_; }
    std::size_t pending() const { return expected_.size(); }

private:
    struct Expected {
        Answer answer;
        QString textContains;
        Meanwhile meanwhile;
    };

    Answer answer(const Failure* failure, const QString& location);

    std::deque<Expected> expected_;
    std::vector<QString> shown_;
};

// Routes every failure to a test failure (answered with Exit): the routing of rules tests
// outside a ScriptedFailures.
void FailEveryFailure();

}  // namespace quorvane::test
