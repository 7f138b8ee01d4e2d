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

TEST(ScreenLocations, NameTheProcedureThenTheirDetails) {
    EXPECT_EQ(ScreenLocation(QStringLiteral("FormSave")),
              QStringLiteral("例外程序　　　　：FormSave\r\n\r\n"));
    EXPECT_EQ(InitializeLocation(QStringLiteral("host=db1 dbname=quorvane")),
              QStringLiteral("例外程序　　　　：Initialize\r\n"
                             "連線字串　　　　：host=db1 dbname=quorvane\r\n"));
}

// A step that fails `failures` times before it succeeds, answered with the queued answers,
// followed by a second step that never fails.
TEST(Procedure, TheOutcomeTellsDoneSkippedAndLeftApart) {
    const struct {
        const char* label;
        std::deque<Answer> answers;
        int failures;
        StepOutcome outcome;
        int attempts;
        StepOutcome next;
        bool nextRan;
    } cases[] = {
        {"no failure", {}, 0, StepOutcome::Done, 1, StepOutcome::Done, true},
        {"Retry until it runs",
         {Answer::Retry, Answer::Retry},
         2,
         StepOutcome::Done,
         3,
         StepOutcome::Done,
         true},
        {"Ignore", {Answer::Ignore}, 1, StepOutcome::Skipped, 1, StepOutcome::Done, true},
        {"Retry, then Ignore",
         {Answer::Retry, Answer::Ignore},
         9,
         StepOutcome::Skipped,
         2,
         StepOutcome::Done,
         true},
        {"Exit", {Answer::Exit}, 1, StepOutcome::Left, 1, StepOutcome::Left, false},
        {"Retry, then Exit",
         {Answer::Retry, Answer::Exit},
         9,
         StepOutcome::Left,
         2,
         StepOutcome::Left,
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        ScriptedHandler handler(c.answers);
        int attempts = 0;
        bool nextRan = false;
        Procedure proc(kLocation);
        EXPECT_EQ(proc.step([&] {
            if (++attempts <= c.failures) {
                throw Broken();
            }
        }),
                  c.outcome);
        EXPECT_EQ(attempts, c.attempts);
        EXPECT_EQ(proc.step([&] { nextRan = true; }), c.next);
        EXPECT_EQ(nextRan, c.nextRan);
        EXPECT_EQ(proc.left(), c.outcome == StepOutcome::Left);
        if (!c.answers.empty()) {
            EXPECT_EQ(ExceptionText(), kLocation);
        }
        EXPECT_EQ(handler.shown.size(), static_cast<qsizetype>(c.answers.size()));
        const Failure failure = Broken();
        for (const QString& text : handler.shown) {
            EXPECT_EQ(text, FailureDetails(&failure, kLocation));
        }
    }
}

TEST(Procedure, HandlerSeesTheCurrentLocation) {
    ScriptedHandler handler({Answer::Ignore});
    Procedure proc(kLocation);
    const QString record = QStringLiteral("例外程序　　　　：FormSave A001\r\n\r\n");
    proc.setLocation(record);
    EXPECT_EQ(proc.step([] { throw Broken(); }), StepOutcome::Skipped);
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
    EXPECT_EQ(proc.step([&] {
        ++attempts;
        throw Broken();
    }),
              StepOutcome::Left);
    EXPECT_EQ(attempts, 1);
    EXPECT_TRUE(proc.left());
    EXPECT_EQ(ShowException(nullptr, kLocation), Answer::Exit);
}

}  // namespace
}  // namespace quorvane
