#pragma once

#include "db/Database.h"

namespace quorvane {

// The guarded statement runner: runs one statement in its own unit of work with the hourglass
// pointer shown, and routes a failure to the exception dialog (Retry runs it again, Ignore and
// Exit give up). Returns the rows affected, or -1 for an empty statement or one that did not
// run. `options` is only shown in the failure's location text.
qint32 ExecuteNoQuery(Database& db, const Statement& statement, int options = 0,
                      bool keepPointer = false);

// Shows the hourglass pointer while it lives, unless the pointer already is the hourglass.
class WaitPointer {
public:
    explicit WaitPointer(bool enabled = true);
    ~WaitPointer();
    WaitPointer(const WaitPointer&) = delete;
    WaitPointer& operator=(const WaitPointer&) = delete;

    void restore();

private:
    bool set_ = false;
};

}  // namespace quorvane
