#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// What the print spooler (the CUPS scheduler that libcups addresses: CUPS_SERVER, the user's
// client.conf, or the local default) says about its queues. Only PrinterAccess uses this; it
// keeps libcups out of every other header.
//
// Every call that cannot reach the scheduler, or asks about a queue it does not have, throws
// a Failure whose number is the IPP status and whose description is libcups's error text.
namespace quorvane::cupsqueue {

// One installed queue as cupsGetDests2 lists it.
struct Destination {
    QString name;
    QString deviceUri;  // empty when the scheduler does not tell
    bool isDefault = false;
};

// printer-state values (RFC 8011).
enum PrinterState : int { StateIdle = 3, StateProcessing = 4, StateStopped = 5 };

// The attributes of one queue the program looks at.
struct PrinterAttributes {
    QString name;          // printer-name
    QString deviceUri;     // device-uri
    QString makeAndModel;  // printer-make-and-model
    QString info;          // printer-info
    QString location;      // printer-location
    int state = 0;         // printer-state; 0 when not reported
    bool acceptingJobs = false;
    QStringList stateReasons;  // printer-state-reasons as reported ("none" included)
};

// The installed queues in the scheduler's order (by name, ignoring letter case). Instances
// the user defined in lpoptions are left out: they are options, not printers. No queue at all
// gives an empty list.
std::vector<Destination> Destinations();

// The scheduler's (or the user's lpoptions, LPDEST, PRINTER) default destination; none when
// there is no default or the scheduler cannot be reached.
std::optional<Destination> DefaultDestination();

// IPP Get-Printer-Attributes on the queue's URI.
PrinterAttributes ReadPrinter(const QString& name);

// The number of the queue's jobs that are not completed (pending, held, processing, stopped).
int ActiveJobCount(const QString& name);

}  // namespace quorvane::cupsqueue
