#include "support/TestCups.h"

#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace quorvane::test {

TestCups TestCups::FromEnvironment() {
    const auto required = [](const char* variable) {
        const QString value = qEnvironmentVariable(variable);
        EXPECT_FALSE(value.isEmpty())
            << variable
            << " is not set: run the tests through ./test.sh, which starts a private CUPS "
               "scheduler";
        return value;
    };
    TestCups cups;
    cups.server = required("CUPS_SERVER");
    cups.out = required("QUORVANE_TEST_CUPS_OUT");
    cups.voucher = required("QUORVANE_TEST_CUPS_QUEUE");
    cups.branch = required("QUORVANE_TEST_CUPS_QUEUE_BRANCH");
    cups.idle = required("QUORVANE_TEST_CUPS_QUEUE_IDLE");
    cups.stopped = required("QUORVANE_TEST_CUPS_QUEUE_STOPPED");
    cups.held = required("QUORVANE_TEST_CUPS_QUEUE_HELD");
    EXPECT_TRUE(cups.server.isEmpty() || QFileInfo(cups.server).exists())
        << "CUPS_SERVER is not the private scheduler's socket: " << cups.server.toStdString();
    qunsetenv("LPDEST");
    qunsetenv("PRINTER");
    return cups;
}

QString TestCups::port(const QString& queue) const {
    return QStringLiteral("file://") + out + QStringLiteral("/") + queue + QStringLiteral(".pdf");
}

QString CupsTool(const QString& program, const QStringList& arguments, const QByteArray& input) {
    // The administration tools live in /usr/sbin, which a user's PATH may lack.
    QString executable = QStandardPaths::findExecutable(program);
    if (executable.isEmpty()) {
        executable = QStandardPaths::findExecutable(
            program, {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
    }
    if (executable.isEmpty()) {
        ADD_FAILURE() << program.toStdString() << " is not installed";
        return {};
    }
    QProcess process;
    // Messages such as lp's "request id is ..." in their untranslated form.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(executable, arguments);
    if (!process.waitForStarted()) {
        ADD_FAILURE() << program.toStdString()
                      << " does not start: " << process.errorString().toStdString();
        return {};
    }
    if (!input.isEmpty()) {
        process.write(input);
    }
    process.closeWriteChannel();
    // Only a guard against a hung tool; nothing depends on how long it takes.
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << program.toStdString() << " did not finish";
        return {};
    }
    const QString output = QString::fromLocal8Bit(process.readAll());
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << ' '
                      << arguments.join(QLatin1Char(' ')).toStdString()
                      << " failed: " << output.toStdString();
    }
    return output;
}

}  // namespace quorvane::test
