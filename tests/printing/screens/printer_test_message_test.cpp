#include "printing/screens/PrinterTestMessage.h"

#include "core/Failure.h"
#include "printing/rules/PrinterAccess.h"
#include "support/ScriptedDialogs.h"
#include "support/TestCups.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <vector>

using namespace Qt::StringLiterals;

namespace quorvane {
namespace {

using test::CupsTool;
using test::TestCups;
using test::Undo;

QString testText(const QString& heading, const QString& device, const QString& port, int jobs) {
    return heading + u"\r\n\r\n\r\n"_s + u"裝置名稱　："_s + device + u"\r\n"_s +
           u"連接埠位置："_s + port + u"\r\n"_s + u"待列印文件："_s + QString::number(jobs);
}

struct MessageCase {
    const char* what;
    QStringList make;  // CUPS tools run on the queue before the test
    Dialogs::Icon icon;
    QString heading;
};

TEST(ShowPrinterTest, ShowsWhatTheTestFoundInTheMessageBox) {
    const TestCups cups = TestCups::FromEnvironment();
    ASSERT_FALSE(HasFailure());
    // A queue of this test's own, so that tests running beside it cannot change its state.
    const QString queue = u"qv-message-"_s + QString::number(QCoreApplication::applicationPid());
    CupsTool(u"lpadmin"_s, {u"-p"_s, queue, u"-E"_s, u"-v"_s, cups.port(queue)});
    const Undo remove([&] { CupsTool(u"lpadmin"_s, {u"-x"_s, queue}); });
    ASSERT_TRUE(UsePrint(queue));

    const std::vector<MessageCase> cases = {
        {"idle with an empty queue", {}, Dialogs::Icon::Information, u"印表機測試成功"_s},
        {"stopped",
         {u"cupsdisable"_s},
         Dialogs::Icon::Warning,
         u"印表機測試不正常\r\n\r\n請檢查印表機"_s},
        {"stopped and rejecting jobs",
         {u"cupsreject"_s},
         Dialogs::Icon::Warning,
         u"印表機測試不正常\r\n\r\n請檢查印表機"_s},
    };
    for (const MessageCase& c : cases) {
        for (const QString& tool : c.make) {
            CupsTool(tool, {queue});
        }
        ScriptedDialogs dialogs;
        dialogs.expectMessage(c.icon, u"印表機測試"_s,
                              testText(c.heading, queue, cups.port(queue), 0));
        ShowPrinterTest();
        EXPECT_EQ(dialogs.records().size(), 1u) << c.what;
    }
}

TEST(ShowPrinterTest, ASpoolerFailureReachesTheCallerWithoutAMessage) {
    const TestCups cups = TestCups::FromEnvironment();
    ASSERT_FALSE(HasFailure());
    const QString gone =
        u"qv-message-gone-"_s + QString::number(QCoreApplication::applicationPid());
    CupsTool(u"lpadmin"_s, {u"-p"_s, gone, u"-E"_s, u"-v"_s, cups.port(gone)});
    ASSERT_TRUE(UsePrint(gone));
    CupsTool(u"lpadmin"_s, {u"-x"_s, gone});

    ScriptedDialogs dialogs;  // fails on any dialog
    EXPECT_THROW(ShowPrinterTest(), Failure);
    EXPECT_TRUE(dialogs.records().empty());
}

}  // namespace
}  // namespace quorvane
