#pragma once

#include <QString>

// The names of the program's screens, as the main window's screen registry and menu know them:
// each is the screen's class name, which is also its object name. Whatever opens or brings
// forward a screen by name takes it from here.
namespace quorvane::screen {

inline const QString Issuers = QStringLiteral("frmBF_Customer");
inline const QString QuotaApplications = QStringLiteral("frmOR_Account");
inline const QString TicketForms = QStringLiteral("frmOR_TicketForm");
inline const QString TicketPrint = QStringLiteral("frmOR_TicketPrint");
inline const QString TicketNullify = QStringLiteral("frmOR_TicketNullify");
inline const QString IssuerReport = QStringLiteral("frmRP_Customer");
inline const QString QuotaReport = QStringLiteral("frmRP_AccountList");
inline const QString TicketPrintReport = QStringLiteral("frmRP_TicketPrint");
inline const QString TicketTaskReport = QStringLiteral("frmRP_TicketTask");
inline const QString SystemSettings = QStringLiteral("frmST_SettingSystem");
inline const QString ClientSettings = QStringLiteral("frmST_SettingClient");
inline const QString UserSettings = QStringLiteral("frmST_SettingUser");
inline const QString UserAccounts = QStringLiteral("frmBF_User");
inline const QString TicketTemplates = QStringLiteral("frmST_TicketPrintTemplate");

}  // namespace quorvane::screen
