#pragma once

#include "core/DatabaseTimeouts.h"

#include <QString>

#include <optional>

namespace quorvane {

// The workstation's own settings: a few text values in groups, kept by QSettings in an INI
// file. The program uses the system-wide file of organisation Zanthel, application Quorvane,
// and falls back to the user's file when the system-wide one cannot be written; values missing
// from the user's file are then read from the system-wide one. Every getter returns its
// default when the value is missing or the file cannot be read; every setter returns whether
// the value was stored.
class SettingsStore {
public:
    // The program's store (see above).
    static SettingsStore ForWorkstation();

    // A store on one file; values it lacks are read from `fallbackFile` when one is given.
    // Tests use this with files of their own.
    explicit SettingsStore(QString file, QString fallbackFile = {});

    const QString& file() const { return file_; }

    // A settings file of this store that exists but cannot be read, or holds something other
    // than settings; empty when both files are usable or missing. Its values read as defaults,
    // so start-up must not go on with them.
    QString unreadableFile() const;
    // The file values missing from file() are read from; empty when there is none.
    const QString& fallbackFile() const { return fallbackFile_; }

    QString GetIdUserLastLogin() const;
    bool SetIdUserLastLogin(const QString& id) const;

    QString GetPathTicketTemplate(const QString& defaultPath) const;
    bool SetPathTicketTemplate(const QString& path) const;
    QString GetPathTicketForm(const QString& defaultPath) const;
    bool SetPathTicketForm(const QString& path) const;
    QString GetNamePrinterDefault() const;
    bool SetNamePrinterDefault(const QString& name) const;

    // nullopt when no value is stored; a stored empty text is returned as such.
    std::optional<QString> GetServerIP() const;
    bool SetServerIP(const QString& host) const;
    // [System] ConnectTimeout, StatementTimeout, LockTimeout and BusyTimeout, in seconds; each
    // missing or unusable value (not a whole number from 1 to 3600) is its default.
    DatabaseTimeouts GetDatabaseTimeouts() const;

    QString GetRecentNoContractTicketPrint() const;
    bool SetRecentNoContractTicketPrint(const QString& contract) const;
    QString GetRecentNoContractAccountList() const;
    bool SetRecentNoContractAccountList(const QString& contract) const;

    // Print offsets in millimetres: 0 when missing or not a number.
    float GetTemplateOffsetLeft() const;
    float GetTemplateOffsetTop() const;
    float GetTicketFormOffsetLeft() const;
    float GetTicketFormOffsetTop() const;
    bool SetTemplateOffsetLeft(const QString& text) const;
    bool SetTemplateOffsetTop(const QString& text) const;
    bool SetTicketFormOffsetLeft(const QString& text) const;
    bool SetTicketFormOffsetTop(const QString& text) const;

    // Generic access by group and value name, as the getters and setters above use it.
    std::optional<QString> read(const QString& group, const QString& name) const;
    bool write(const QString& group, const QString& name, const QString& value) const;

private:
    QString file_;
    QString fallbackFile_;
};

}  // namespace quorvane
