#pragma once

#include <QString>

class QWidget;

namespace quorvane {

class Database;

// Installs the look-ups behind Enter that need the database and the common dialogs:
//  - date fields (kind 2): a text that is not a valid date opens the date picker, and a picked
//    date replaces it; the focus then moves on whether or not a date was picked;
//  - contract-number fields (kind 12): an existing contract number moves on; otherwise the
//    issuers whose number or name begins with the text (every issuer for an empty field) are
//    offered in the selection dialog when there are any. A chosen issuer's number replaces the
//    text and the focus moves on; closing the dialog without a choice keeps the focus.
// The program calls it once after connecting; `db` must outlive the look-ups (installing again
// replaces them).
void InstallFieldLookups(Database& db);

// Removes the look-ups InstallFieldLookups installed.
void RemoveFieldLookups();

// Whether a date field's text is a date: year, month and day as a clerk types them, four-digit
// year first, month and day with one or two digits, separated by "/", "-" or "." (the same
// separator twice), e.g. "2024/03/05", "2024/3/5", "2024-3-5".
bool IsDateText(const QString& text);

// Lets the user pick an issuer from every issuer, in contract-number order. True when one was
// chosen, with its contract number and name; otherwise both outputs are left as they were.
bool PickCustomer(QWidget* owner, Database& db, QString& noContract, QString& nameCompany);

}  // namespace quorvane
