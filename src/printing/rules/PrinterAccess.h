#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace quorvane {

class SettingsStore;

// The printer the program's own printing addresses: a CUPS destination and its port.
struct PrinterDevice {
    QString name;  // the CUPS destination name, the printer's device name; empty for none
    QString port;  // the queue's device URI, e.g. "file:///…/voucher.pdf", "usb://…"
};

// The voucher printer name from the settings, as CheckDefaultPrinter read it at start-up; empty
// when nothing is configured. It stays for the whole run: the print run writes it into its task
// log and prints on it.
const QString& ConfiguredPrinterName();

// The program's current printer; an empty name when none is chosen (before
// CheckDefaultPrinter, or when CUPS has no queue and no default).
PrinterDevice CurrentPrinter();

// Walks the installed printers in CUPS's order (by name) and makes the first whose name ends
// with `name` the current printer: its last characters, as many as `name` has, equal `name`
// exactly, letter case included. True when one matched; false, with the current printer
// unchanged, when none did. An empty name matches nothing. A spooler failure is shown with the
// exception dialog and gives false.
bool UsePrint(const QString& name);

// The position in `names` of the first one that ends with `name` as UsePrint matches; -1 when
// none does.
qsizetype FirstPrinterEndingWith(const QStringList& names, const QString& name);

// What CheckDefaultPrinter found.
struct DefaultPrinterCheck {
    enum class Outcome {
        Selected,        // the configured printer is installed and became the current printer
        NoneConfigured,  // NamePrinterDefault is empty
        NotInstalled,    // no installed printer's name ends with the configured name
    };
    Outcome outcome = Outcome::NoneConfigured;
    // NamePrinterDefault as read: the configured printer name.
    QString configuredName;
    // The current printer afterwards: the configured printer, or else CUPS's default
    // destination (an empty name when there is none).
    PrinterDevice current;
};

// Run while the main window loads, before it is first shown: reads NamePrinterDefault into the
// configured printer name and makes it the current printer. Without it (an empty name, or one
// no printer has) the program goes on with CUPS's default destination as the current printer
// (or none); the caller tells the user.
[[nodiscard]] DefaultPrinterCheck CheckDefaultPrinter(const SettingsStore& settings);

// Bits of the printer status word. 0 means the printer reports no condition: it is idle or
// printing, accepts jobs and gives no state reason of error severity.
enum PrinterStatusFlag : qint32 {
    // printer-state is stopped, or a state reason says "paused" (cupsdisable).
    PrinterStatusStopped = 0x0001,
    // printer-is-accepting-jobs is false (cupsreject).
    PrinterStatusNotAccepting = 0x0002,
    // A state reason of error severity: one ending in "-error", or one without a severity
    // suffix (IPP takes those as errors), except "none", "paused" and the progress keywords
    // CUPS backends set while a job is being sent.
    PrinterStatusErrorReason = 0x0004,
    // printer-state is missing or not one of idle, processing, stopped.
    PrinterStatusUnknownState = 0x0008,
};

// The status word of a printer with this printer-state, printer-is-accepting-jobs and
// printer-state-reasons.
qint32 PrinterStatusWord(int state, bool acceptingJobs, const QStringList& stateReasons);

// What GetPrinterStatus last read about the current printer.
struct PrinterInfo {
    QString printerName;
    QString portName;    // device-uri
    QString driverName;  // printer-make-and-model
    QString comment;     // printer-info
    QString location;    // printer-location
    int state = 0;       // printer-state: 3 idle, 4 processing, 5 stopped
    bool acceptingJobs = false;
    QStringList stateReasons;
    qint32 status = 0;  // PrinterStatusWord of the above
    qint32 jobs = 0;    // jobs not completed yet
};

// Reads the current printer's state from CUPS: returns its status word (PrinterStatusFlag
// bits, 0 for no condition) and gives the number of its active jobs in `jobs`. Also keeps the
// whole record (LastPrinterInfo) and refreshes the current printer's port. A spooler failure
// (scheduler unreachable, printer gone, no current printer) throws Failure with CUPS's error
// text; the caller routes it.
qint32 GetPrinterStatus(qint32& jobs);

const PrinterInfo& LastPrinterInfo();

// What the printer test read about the current printer.
struct PrinterTest {
    // The test passes when the printer reports no condition and has no job waiting.
    bool passed() const { return status == 0 && jobs == 0; }

    qint32 status = 0;      // PrinterStatusWord
    qint32 jobs = 0;        // jobs not completed yet
    PrinterDevice printer;  // the current printer, its port as just read
};

// The printer test: reads the current printer's status (GetPrinterStatus) and changes
// nothing. Failures of GetPrinterStatus are thrown to the caller.
[[nodiscard]] PrinterTest TestPrinterQueue();

}  // namespace quorvane
