#include "support/ScriptedFailures.h"

#include <gtest/gtest.h>

namespace quorvane::test {

ScriptedFailures::ScriptedFailures() {
    InstallFailureHandler([this](const Failure* failure, const QString& location) {
        return answer(failure, location);
    });
}

ScriptedFailures::~ScriptedFailures() {
    EXPECT_TRUE(expected_.empty()) << expected_.size() << " queued failure answers were not used";
    FailEveryFailure();
}

void ScriptedFailures::expect(Answer answer, const QString& textContains, Meanwhile meanwhile) {
    expected_.push_back({answer, textContains, std::move(meanwhile)});
}

Answer ScriptedFailures::answer(const Failure* failure, const QString& location) {
    const QString text = FailureDetails(failure, location);
    shown_.push_back(text);
    if (expected_.empty()) {
        ADD_FAILURE() << "unexpected failure:\n" << text.toStdString();
        return Answer::Exit;
    }
    const Expected next = expected_.front();
    expected_.pop_front();
    EXPECT_TRUE(text.contains(next.textContains))
        << "failure text lacks \"" << next.textContains.toStdString() << "\":\n"
        << text.toStdString();
    if (next.meanwhile) {
        next.meanwhile(failure);
    }
    return next.answer;
}

void FailEveryFailure() {
    InstallFailureHandler([](const Failure* failure, const QString& location) {
        ADD_FAILURE() << "unexpected failure:\n" << FailureDetails(failure, location).toStdString();
        return Answer::Exit;
    });
}

}  // namespace quorvane::test
