#include "printing/rules/PrinterAccess.h"

#include "core/Failure.h"
#include "core/Settings.h"
#include "support/ScriptedFailures.h"
#include "support/TestCups.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cups/cups.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace quorvane {
namespace {

// ---------------------------------------------------------------------------------------------
// The rules without a spooler.

struct EndingCase {
    const char* what;
    QStringList names;
    QString name;
    qsizetype expected;
};

TEST(FirstPrinterEndingWith, MatchesTheFirstNameThatEndsWithTheGivenName) {
    const QStringList queues = {u"branch-qv-voucher"_s, u"qv-held"_s, u"qv-voucher"_s};
    const std::vector<EndingCase> cases = {
        {"the whole name", queues, u"qv-held"_s, 1},
        {"an end of the name", queues, u"held"_s, 1},
        {"the first of two that end alike, though the second is equal", queues, u"qv-voucher"_s, 0},
        {"a single last character", queues, u"d"_s, 1},
        {"other letter case", queues, u"QV-HELD"_s, -1},
        {"one letter in other case", queues, u"qv-Held"_s, -1},
        {"the start of a name", queues, u"qv-"_s, -1},
        {"longer than every name", queues, u"xbranch-qv-voucher"_s, -1},
        {"the empty name", queues, QString(), -1},
        {"no printers", {}, u"qv-held"_s, -1},
        {"a network printer's name without its server",
         {u"//PRTSRV01/禮卷印表機"_s, u"禮卷印表機-2"_s},
         u"禮卷印表機"_s,
         0},
    };
    for (const EndingCase& c : cases) {
        EXPECT_EQ(FirstPrinterEndingWith(c.names, c.name), c.expected) << c.what;
    }
}

struct StatusCase {
    const char* what;
    int state;
    bool accepting;
    QStringList reasons;
    qint32 expected;
};

TEST(PrinterStatusWord, IsZeroOnlyForAnIdleOrBusyPrinterThatAcceptsJobsAndReportsNoError) {
    const std::vector<StatusCase> cases = {
        {"idle", 3, true, {u"none"_s}, 0},
        {"idle, no reasons at all", 3, true, {}, 0},
        {"printing", 4, true, {u"none"_s}, 0},
        {"printing, connecting", 4, true, {u"connecting-to-device"_s}, 0},
        {"warnings and reports", 3, true, {u"toner-low-warning"_s, u"offline-report"_s}, 0},
        {"stopped with cupsdisable", 5, true, {u"paused"_s}, PrinterStatusStopped},
        {"stopped, no reason given", 5, true, {}, PrinterStatusStopped},
        {"paused reason on an idle printer", 3, true, {u"paused"_s}, PrinterStatusStopped},
        {"rejecting jobs", 3, false, {u"none"_s}, PrinterStatusNotAccepting},
        {"an error reason", 3, true, {u"media-empty-error"_s}, PrinterStatusErrorReason},
        {"a reason without severity", 4, true, {u"media-jam"_s}, PrinterStatusErrorReason},
        {"a warning beside an error",
         3,
         true,
         {u"toner-low-warning"_s, u"door-open-error"_s},
         PrinterStatusErrorReason},
        {"stopped, rejecting, in error",
         5,
         false,
         {u"paused"_s, u"cover-open-error"_s},
         PrinterStatusStopped | PrinterStatusNotAccepting | PrinterStatusErrorReason},
        {"no state reported", 0, true, {u"none"_s}, PrinterStatusUnknownState},
        {"a state IPP does not define", 7, true, {u"none"_s}, PrinterStatusUnknownState},
    };
    for (const StatusCase& c : cases) {
        EXPECT_EQ(PrinterStatusWord(c.state, c.accepting, c.reasons), c.expected) << c.what;
    }
}

// ---------------------------------------------------------------------------------------------
// Against the private CUPS scheduler ./test.sh starts (scripts/test-cups.sh).

const QString kLocation = u"例外程序：\tmodPrint.UsePrint\r\n"_s;
using test::CupsTool;
using test::TestCups;
using test::Undo;

// Points libcups at a socket nobody listens on, as when the scheduler is down; puts the real
// one back when it goes.
class SchedulerDown {
public:
    SchedulerDown() : saved_(qgetenv("CUPS_SERVER")) {
        qputenv("CUPS_SERVER", folder_.filePath(u"cups.sock"_s).toLocal8Bit());
        // Forget the server libcups read before (and its connection to it).
        cupsSetServer(nullptr);
    }
    ~SchedulerDown() {
        qputenv("CUPS_SERVER", saved_);
        cupsSetServer(nullptr);
    }
    SchedulerDown(const SchedulerDown&) = delete;
    SchedulerDown& operator=(const SchedulerDown&) = delete;

private:
    QTemporaryDir folder_;
    QByteArray saved_;
};

class PrinterAccessTest : public ::testing::Test {
protected:
    void SetUp() override {
        cups_ = TestCups::FromEnvironment();
        ASSERT_FALSE(HasFailure());
        ASSERT_TRUE(folder_.isValid());
    }

    // Makes `queue` the current printer, as a starting point.
    void select(const QString& queue) {
        ASSERT_TRUE(UsePrint(queue)) << queue.toStdString();
        ASSERT_EQ(CurrentPrinter().name, queue);
    }

    SettingsStore settings() const { return SettingsStore(folder_.filePath(u"Quorvane.ini"_s)); }

    TestCups cups_;
    QTemporaryDir folder_;
};

struct UseCase {
    const char* what;
    QString name;
    QString selects;  // empty: no printer matches
};

TEST_F(PrinterAccessTest, UsePrintSelectsTheFirstPrinterInCupsOrderWhoseNameEndsWithTheName) {
    // CUPS lists its queues by name, so branch-qv-voucher comes before qv-voucher, which the
    // scheduler's set-up created first.
    const std::vector<UseCase> cases = {
        {"the whole name", cups_.idle, cups_.idle},
        {"the whole name of the one that comes first", cups_.branch, cups_.branch},
        {"an end of the name", cups_.held.right(4), cups_.held},
        {"two end alike: the first in CUPS's order", cups_.voucher, cups_.branch},
        {"other letter case", cups_.idle.toUpper(), QString()},
        {"one letter in other case",
         cups_.idle.left(cups_.idle.size() - 1) + cups_.idle.right(1).toUpper(), QString()},
        {"the start of a name", cups_.idle.left(4), QString()},
        {"longer than the name", u"x"_s + cups_.idle, QString()},
        {"the empty name", QString(), QString()},
        {"a name no queue has", u"qv-nowhere"_s, QString()},
    };
    for (const UseCase& c : cases) {
        // Start from a printer no case selects, so that a selection shows.
        select(cups_.stopped);
        const bool matched = UsePrint(c.name);
        if (c.selects.isEmpty()) {
            EXPECT_FALSE(matched) << c.what;
            EXPECT_EQ(CurrentPrinter().name, cups_.stopped) << c.what << ": changed";
            EXPECT_EQ(CurrentPrinter().port, cups_.port(cups_.stopped)) << c.what;
        } else {
            EXPECT_TRUE(matched) << c.what;
            EXPECT_EQ(CurrentPrinter().name, c.selects) << c.what;
            EXPECT_EQ(CurrentPrinter().port, cups_.port(c.selects)) << c.what;
        }
    }
}

struct DownCase {
    const char* what;
    std::vector<Answer> answers;
};

TEST_F(PrinterAccessTest, UsePrintShowsASpoolerFailureAndSelectsNothing) {
    const std::vector<DownCase> cases = {
        {"Exit", {Answer::Exit}},
        {"Ignore", {Answer::Ignore}},
        {"Retry, then Exit", {Answer::Retry, Answer::Exit}},
    };
    for (const DownCase& c : cases) {
        select(cups_.idle);
        test::ScriptedFailures failures;
        for (const Answer answer : c.answers) {
            failures.expect(answer, kLocation);
        }
        {
            SchedulerDown down;
            EXPECT_FALSE(UsePrint(cups_.idle)) << c.what;
        }
        EXPECT_EQ(CurrentPrinter().name, cups_.idle) << c.what;
        ASSERT_EQ(failures.shown().size(), c.answers.size()) << c.what;
        for (const QString& text : failures.shown()) {
            EXPECT_TRUE(text.startsWith(u"例外編號　　　　："_s)) << text.toStdString();
            EXPECT_TRUE(text.contains(u"例外來源　　　　：CUPS\r\n"_s)) << text.toStdString();
            EXPECT_TRUE(text.endsWith(kLocation)) << text.toStdString();
        }
    }
    // With the scheduler back the same call selects the printer again.
    select(cups_.branch);
    EXPECT_TRUE(UsePrint(cups_.idle));
    EXPECT_EQ(CurrentPrinter().name, cups_.idle);
}

struct CheckCase {
    const char* what;
    QString stored;
    DefaultPrinterCheck::Outcome outcome;
    QString current;
};

TEST_F(PrinterAccessTest, CheckDefaultPrinterSelectsTheStoredPrinterOrSaysWhyItFellBack) {
    const QString missing = u"//PRTSRV01/禮卷印表機"_s;
    const std::vector<CheckCase> cases = {
        {"the whole name", cups_.idle, DefaultPrinterCheck::Outcome::Selected, cups_.idle},
        {"an end of the name", cups_.held.right(4), DefaultPrinterCheck::Outcome::Selected,
         cups_.held},
        // Without the configured printer the scheduler's default destination is current.
        {"nothing stored", QString(), DefaultPrinterCheck::Outcome::NoneConfigured, cups_.voucher},
        {"a name no queue has", missing, DefaultPrinterCheck::Outcome::NotInstalled, cups_.voucher},
    };
    for (const CheckCase& c : cases) {
        ASSERT_TRUE(settings().SetNamePrinterDefault(c.stored));
        select(cups_.branch);
        const DefaultPrinterCheck check = CheckDefaultPrinter(settings());
        EXPECT_EQ(check.outcome, c.outcome) << c.what;
        // The name stays configured even when no queue has it: the print run still names it.
        EXPECT_EQ(check.configuredName, c.stored) << c.what;
        EXPECT_EQ(ConfiguredPrinterName(), c.stored) << c.what;
        EXPECT_EQ(check.current.name, c.current) << c.what;
        EXPECT_EQ(check.current.port, cups_.port(c.current)) << c.what;
        EXPECT_EQ(CurrentPrinter().name, c.current) << c.what;
    }
}

TEST_F(PrinterAccessTest, AnIdlePrinterWithAnEmptyQueuePassesTheTest) {
    CupsTool(u"cupsenable"_s, {cups_.idle});
    CupsTool(u"cupsaccept"_s, {cups_.idle});
    CupsTool(u"cancel"_s, {u"-a"_s, cups_.idle});
    select(cups_.idle);

    qint32 jobs = -1;
    EXPECT_EQ(GetPrinterStatus(jobs), 0);
    EXPECT_EQ(jobs, 0);
    const PrinterInfo& info = LastPrinterInfo();
    EXPECT_EQ(info.printerName, cups_.idle);
    EXPECT_EQ(info.portName, cups_.port(cups_.idle));
    EXPECT_EQ(info.state, 3);
    EXPECT_TRUE(info.acceptingJobs);
    EXPECT_EQ(info.driverName, u"Generic PDF Printer"_s);

    const PrinterTest test = TestPrinterQueue();
    EXPECT_TRUE(test.passed());
    EXPECT_EQ(test.status, 0);
    EXPECT_EQ(test.jobs, 0);
    EXPECT_EQ(test.printer.name, cups_.idle);
    EXPECT_EQ(test.printer.port, cups_.port(cups_.idle));
}

struct ConditionCase {
    const char* what;
    QString make;
    QString undo;
    qint32 flag;
};

TEST_F(PrinterAccessTest, AStoppedOrRejectingPrinterFailsTheTest) {
    const std::vector<ConditionCase> cases = {
        {"stopped", u"cupsdisable"_s, u"cupsenable"_s, PrinterStatusStopped},
        {"not accepting jobs", u"cupsreject"_s, u"cupsaccept"_s, PrinterStatusNotAccepting},
    };
    CupsTool(u"cancel"_s, {u"-a"_s, cups_.stopped});
    for (const ConditionCase& c : cases) {
        select(cups_.stopped);
        {
            CupsTool(c.make, {cups_.stopped});
            const Undo undo([&] { CupsTool(c.undo, {cups_.stopped}); });

            qint32 jobs = -1;
            const qint32 status = GetPrinterStatus(jobs);
            EXPECT_EQ(status, c.flag) << c.what;
            EXPECT_EQ(jobs, 0) << c.what;

            const PrinterTest test = TestPrinterQueue();
            EXPECT_FALSE(test.passed()) << c.what;
            EXPECT_EQ(test.status, c.flag) << c.what;
            EXPECT_EQ(test.jobs, 0) << c.what;
            EXPECT_EQ(test.printer.name, cups_.stopped) << c.what;
            EXPECT_EQ(test.printer.port, cups_.port(cups_.stopped)) << c.what;
            // The test only looks.
            EXPECT_EQ(GetPrinterStatus(jobs), c.flag) << c.what;
        }
        qint32 jobs = -1;
        EXPECT_EQ(GetPrinterStatus(jobs), 0) << c.what << ": not back to normal";
    }
}

TEST_F(PrinterAccessTest, AJobWaitingFailsTheTestThoughThePrinterReportsNoError) {
    CupsTool(u"cancel"_s, {u"-a"_s, cups_.held});
    select(cups_.held);
    {
        const QString submitted =
            CupsTool(u"lp"_s, {u"-d"_s, cups_.held, u"-H"_s, u"hold"_s, u"-t"_s, u"printer test"_s},
                     QByteArrayLiteral("voucher\n"));
        const QRegularExpressionMatch id =
            QRegularExpression(u"request id is (\\S+)"_s).match(submitted);
        ASSERT_TRUE(id.hasMatch()) << submitted.toStdString();
        const Undo undo([&] { CupsTool(u"cancel"_s, {id.captured(1)}); });

        qint32 jobs = -1;
        EXPECT_EQ(GetPrinterStatus(jobs), 0);
        EXPECT_EQ(jobs, 1);
        EXPECT_EQ(LastPrinterInfo().state, 3);

        const PrinterTest test = TestPrinterQueue();
        EXPECT_FALSE(test.passed());
        EXPECT_EQ(test.status, 0);
        EXPECT_EQ(test.jobs, 1);
    }
    qint32 jobs = -1;
    GetPrinterStatus(jobs);
    EXPECT_EQ(jobs, 0) << "the cancelled job is still counted";
}

TEST_F(PrinterAccessTest, APrinterRemovedSinceItWasSelectedIsASpoolerFailure) {
    const QString gone = u"qv-gone-"_s + QString::number(QCoreApplication::applicationPid());
    CupsTool(u"lpadmin"_s, {u"-p"_s, gone, u"-E"_s, u"-v"_s, cups_.port(gone)});
    select(gone);
    CupsTool(u"lpadmin"_s, {u"-x"_s, gone});

    qint32 jobs = -1;
    try {
        GetPrinterStatus(jobs);
        ADD_FAILURE() << "no failure for a printer that is gone";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.number(), static_cast<long>(IPP_STATUS_ERROR_NOT_FOUND));
        EXPECT_EQ(failure.source(), u"CUPS"_s);
        EXPECT_FALSE(failure.description().isEmpty());
    }
    // The printer test has no handling of its own: the failure reaches its caller (any
    // failure routed here instead would fail the test).
    EXPECT_THROW(TestPrinterQueue(), Failure);
}

TEST_F(PrinterAccessTest, GetPrinterStatusThrowsWhenTheSchedulerIsDown) {
    select(cups_.idle);
    SchedulerDown down;
    qint32 jobs = -1;
    try {
        GetPrinterStatus(jobs);
        ADD_FAILURE() << "no failure without a scheduler";
    } catch (const Failure& failure) {
        EXPECT_GT(failure.number(), static_cast<long>(IPP_STATUS_OK_EVENTS_COMPLETE));
        EXPECT_EQ(failure.source(), u"CUPS"_s);
        EXPECT_FALSE(failure.description().isEmpty());
    }
    EXPECT_EQ(jobs, -1);
}

}  // namespace
}  // namespace quorvane
