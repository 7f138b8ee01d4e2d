#include "printing/rules/PrinterAccess.h"

#include "core/Failure.h"
#include "core/FailureRouting.h"
#include "core/Settings.h"
#include "printing/rules/CupsQueue.h"

#include <optional>

namespace quorvane {

namespace {

// The printer state of the whole program: one UI thread, for the whole run.
struct PrinterState {
    QString configuredName;
    PrinterDevice current;
    PrinterInfo lastInfo;
};

PrinterState& state() {
    static PrinterState printers;
    return printers;
}

PrinterDevice device(const cupsqueue::Destination& destination) {
    return PrinterDevice{destination.name, destination.deviceUri};
}

// IPP's severity suffixes below error.
bool belowErrorSeverity(const QString& reason) {
    return reason.endsWith(QStringLiteral("-report")) ||
           reason.endsWith(QStringLiteral("-warning"));
}

// Keywords without a suffix that CUPS backends set while a job is under way; they say how
// the job is getting on, not that the printer is in trouble.
bool progressReason(const QString& reason) {
    return reason == QStringLiteral("connecting-to-device") ||
           reason == QStringLiteral("cups-waiting-for-job-completed");
}

}  // namespace

const QString& ConfiguredPrinterName() {
    return state().configuredName;
}

PrinterDevice CurrentPrinter() {
    return state().current;
}

qsizetype FirstPrinterEndingWith(const QStringList& names, const QString& name) {
    if (name.isEmpty()) {
        return -1;
    }
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (names[i].endsWith(name, Qt::CaseSensitive)) {
            return i;
        }
    }
    return -1;
}

bool UsePrint(const QString& name) {
    bool matched = false;
    Procedure proc(QStringLiteral("例外程序：\tmodPrint.UsePrint\r\n"));
    const StepOutcome outcome = proc.step([&] {
        const std::vector<cupsqueue::Destination> destinations = cupsqueue::Destinations();
        QStringList names;
        names.reserve(static_cast<qsizetype>(destinations.size()));
        for (const cupsqueue::Destination& destination : destinations) {
            names.append(destination.name);
        }
        const qsizetype found = FirstPrinterEndingWith(names, name);
        if (found >= 0) {
            state().current = device(destinations[static_cast<std::size_t>(found)]);
            matched = true;
        }
    });
    return outcome == StepOutcome::Done && matched;
}

DefaultPrinterCheck CheckDefaultPrinter(const SettingsStore& settings) {
    DefaultPrinterCheck check;
    check.configuredName = settings.GetNamePrinterDefault();
    state().configuredName = check.configuredName;
    if (!check.configuredName.isEmpty() && UsePrint(check.configuredName)) {
        check.outcome = DefaultPrinterCheck::Outcome::Selected;
        check.current = state().current;
        return check;
    }
    check.outcome = check.configuredName.isEmpty() ? DefaultPrinterCheck::Outcome::NoneConfigured
                                                   : DefaultPrinterCheck::Outcome::NotInstalled;

    // Without the configured printer the program prints on CUPS's default destination.
    const std::optional<cupsqueue::Destination> fallback = cupsqueue::DefaultDestination();
    state().current = fallback ? device(*fallback) : PrinterDevice{};
    check.current = state().current;
    return check;
}

qint32 PrinterStatusWord(int printerState, bool acceptingJobs, const QStringList& stateReasons) {
    qint32 status = 0;
    switch (printerState) {
        case cupsqueue::StateIdle:
        case cupsqueue::StateProcessing:
            break;
        case cupsqueue::StateStopped:
            status |= PrinterStatusStopped;
            break;
        default:
            status |= PrinterStatusUnknownState;
            break;
    }
    if (!acceptingJobs) {
        status |= PrinterStatusNotAccepting;
    }
    for (const QString& reason : stateReasons) {
        if (reason.isEmpty() || reason == QStringLiteral("none") || belowErrorSeverity(reason) ||
            progressReason(reason)) {
            continue;
        }
        if (reason == QStringLiteral("paused")) {
            status |= PrinterStatusStopped;
        } else {
            status |= PrinterStatusErrorReason;
        }
    }
    return status;
}

qint32 GetPrinterStatus(qint32& jobs) {
    PrinterState& printers = state();
    if (printers.current.name.isEmpty()) {
        throw Failure(0, QStringLiteral("沒有可用的印表機"), QStringLiteral("modPrint"));
    }
    const cupsqueue::PrinterAttributes attributes = cupsqueue::ReadPrinter(printers.current.name);
    const int activeJobs = cupsqueue::ActiveJobCount(printers.current.name);

    PrinterInfo info;
    info.printerName = attributes.name;
    info.portName = attributes.deviceUri;
    info.driverName = attributes.makeAndModel;
    info.comment = attributes.info;
    info.location = attributes.location;
    info.state = attributes.state;
    info.acceptingJobs = attributes.acceptingJobs;
    info.stateReasons = attributes.stateReasons;
    info.status =
        PrinterStatusWord(attributes.state, attributes.acceptingJobs, attributes.stateReasons);
    info.jobs = activeJobs;
    printers.lastInfo = info;
    printers.current.port = info.portName;

    jobs = info.jobs;
    return info.status;
}

const PrinterInfo& LastPrinterInfo() {
    return state().lastInfo;
}

PrinterTest TestPrinterQueue() {
    PrinterTest test;
    test.status = GetPrinterStatus(test.jobs);
    test.printer = CurrentPrinter();
    return test;
}

}  // namespace quorvane
