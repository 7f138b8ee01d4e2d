#include "core/FailureRouting.h"

#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <deque>

namespace quorvane {
namespace {

// Answers failures from a queue and records what each one showed.
class ScriptedHandler {
public:
    explicit ScriptedHandler(std::deque<Answer> answers) : answers_(std::move(answers)) {
        InstallFailureHandler([this](const Failure* failure, const QString& text) {
            shown.push_back(FailureDetails(failure, text));
            if (answers_.empty()) {
                ADD_FAILURE() << "unexpected failure shown";
                return Answer::Exit;
            }
            const Answer answer = answers_.front();
            answers_.pop_front();
            return answer;
        });
    }
    ~ScriptedHandler() {
        InstallFailureHandler(nullptr);
        EXPECT_TRUE(answers_.empty()) << "answers left over";
    }

    QStringList shown;

private:
    std::deque<Answer> answers_;
};

const QString kLocation = QStringLiteral("例外程序　　　　：FormSave\r\n\r\n");

Failure Broken() {
    return Failure(91, QStringLiteral("無法儲存"), QStringLiteral("modDB"));
}

TEST(FailureDetails, ListsNumberDescriptionSourceThenLocation) {
    const Failure failure = Broken();
    EXPECT_EQ(FailureDetails(&failure, kLocation),
              QStringLiteral("例外編號　　　　：91\r\n例外描述　　　　：無法儲存\r\n"
                             "例外來源　　　　：modDB\r\n") +
                  kLocation);
    EXPECT_EQ(FailureDetails(nullptr, kLocation), kLocation);
}

TEST(Procedure, RetryRepeatsOnlyTheFailedStep) {
    ScriptedHandler handler({Answer::Retry, Answer::Retry});
    QStringList ran;
    int attempts = 0;
    Procedure proc(kLocation);
    EXPECT_TRUE(proc.step([&] { ran << QStringLiteral("first"); }));
    EXPECT_TRUE(proc.step([&] {
        ran << QStringLiteral("second");
        if (++attempts < 3) {
            throw Broken();
        }
    }));
    EXPECT_TRUE(proc.step([&] { ran << QStringLiteral("third"); }));
    EXPECT_EQ(ran, (QStringList{QStringLiteral("first"), QStringLiteral("second"),
                                QStringLiteral("second"), QStringLiteral("second"),
                                QStringLiteral("third")}));
    EXPECT_FALSE(proc.left());
    ASSERT_EQ(handler.shown.size(), 2);
    EXPECT_TRUE(handler.shown[0].endsWith(kLocation));
    EXPECT_TRUE(handler.shown[0].contains(QStringLiteral("無法儲存")));
    EXPECT_EQ(ExceptionText(), kLocation);
}

TEST(Procedure, IgnoreGoesOnWithTheNextStep) {
    ScriptedHandler handler({Answer::Ignore});
    QStringList ran;
    Procedure proc(kLocation);
    EXPECT_TRUE(proc.step([&] {
        ran << QStringLiteral("first");
        throw Broken();
    }));
    EXPECT_TRUE(proc.step([&] { ran << QStringLiteral("second"); }));
    EXPECT_EQ(ran, (QStringList{QStringLiteral("first"), QStringLiteral("second")}));
    EXPECT_FALSE(proc.left());
}

TEST(Procedure, ExitLeavesAndLaterStepsDoNotRun) {
    ScriptedHandler handler({Answer::Exit});
    QStringList ran;
    Procedure proc(kLocation);
    EXPECT_FALSE(proc.step([&] {
        ran << QStringLiteral("first");
        throw Broken();
    }));
    EXPECT_TRUE(proc.left());
    EXPECT_FALSE(proc.step([&] { ran << QStringLiteral("second"); }));
    EXPECT_EQ(ran, QStringList{QStringLiteral("first")});
}

TEST(Procedure, HandlerSeesTheCurrentLocation) {
    ScriptedHandler handler({Answer::Ignore});
    Procedure proc(kLocation);
    const QString record = QStringLiteral("例外程序　　　　：FormSave A001\r\n\r\n");
    proc.setLocation(record);
    proc.step([] { throw Broken(); });
    ASSERT_EQ(handler.shown.size(), 1);
    EXPECT_EQ(handler.shown[0],
              QStringLiteral("例外編號　　　　：91\r\n例外描述　　　　：無法儲存\r\n"
                             "例外來源　　　　：modDB\r\n") +
                  record);
}

TEST(Procedure, WithoutAHandlerEveryFailureIsAnExit) {
    InstallFailureHandler(nullptr);
    int attempts = 0;
    Procedure proc(kLocation);
    EXPECT_FALSE(proc.step([&] {
        ++attempts;
        throw Broken();
    }));
    EXPECT_EQ(attempts, 1);
    EXPECT_TRUE(proc.left());
    EXPECT_EQ(ShowException(nullptr, kLocation), Answer::Exit);
}

}  // namespace
}  // namespace quorvane
