#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

namespace quorvane::test {

// The private CUPS scheduler ./test.sh starts (scripts/test-cups.sh) and its queues, as it
// exports them in the environment.
struct TestCups {
    QString server;   // the scheduler's socket
    QString out;      // the folder the queues print into
    QString voucher;  // the default destination
    QString branch;   // ends like `voucher`, comes first in CUPS's order
    QString idle;
    QString stopped;
    QString held;

    // Reads the environment; a variable that is not set fails the test, and so does a
    // CUPS_SERVER that is not a socket file (never a workstation's real printers). Also clears
    // LPDEST and PRINTER, so that a user's own default does not stand in for the scheduler's.
    static TestCups FromEnvironment();

    // The device URI of a queue the set-up created.
    QString port(const QString& queue) const;
};

// Runs one of the CUPS command-line tools against the private scheduler (the environment
// carries CUPS_SERVER); its output, or a failed test when it does not succeed.
QString CupsTool(const QString& program, const QStringList& arguments,
                 const QByteArray& input = {});

// Runs `undo` when the scope ends, whatever the test's outcome.
class Undo {
public:
    explicit Undo(std::function<void()> undo) : undo_(std::move(undo)) {}
    ~Undo() { undo_(); }
    Undo(const Undo&) = delete;
    Undo& operator=(const Undo&) = delete;

private:
    std::function<void()> undo_;
};

}  // namespace quorvane::test
