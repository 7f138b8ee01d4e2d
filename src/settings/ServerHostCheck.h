#pragma once

#include <QString>

class QLineEdit;
class QTabWidget;

namespace quorvane {

// What is wrong with a server address typed into a settings screen, read the way start-up
// reads it (ConnectionTarget::FromServerHost); empty when start-up can use it. An SQLite file
// must exist; a PostgreSQL server is only checked for its form, since trying to reach it
// could keep the screen waiting.
QString ServerHostProblem(const QString& host);

// Checks the server address field before a settings screen stores anything: a problem is
// shown in a warning titled `title`, the field's tab comes forward and the field takes the
// focus with its text selected. True when the address was refused.
bool RefuseServerHost(QLineEdit* field, QTabWidget* tabs, const QString& title);

}  // namespace quorvane
