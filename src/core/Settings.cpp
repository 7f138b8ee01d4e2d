#include "core/Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringDecoder>
#include <QStringList>
#include <QVariant>

#include <unistd.h>

#include <cmath>

namespace quorvane {

namespace {

const QString kOrganisation = QStringLiteral("Zanthel");
const QString kApplication = QStringLiteral("Quorvane");

// Settings files are a few hundred bytes; anything far larger is not ours.
constexpr qint64 kLargestSettingsFile = 1024 * 1024;

enum class FileState { Missing, Usable, Unreadable, Corrupt };

// Whether every line of `text` is one QSettings reads without a format error: blank, a
// comment (";"), a group ("[" ... "]") or a "name=value" line; a line that ends in an
// unpaired backslash continues on the next. QSettings reports such errors only the first
// time it parses a file (it keeps parsed files for the whole process), so the program checks
// for itself.
bool readsAsIni(const QString& text) {
    bool continued = false;
    for (const QStringView rawLine : QStringView(text).split(QLatin1Char('\n'))) {
        const QStringView line = rawLine.trimmed();
        const bool partOfPrevious = continued;
        qsizetype backslashes = 0;
        while (backslashes < line.size() &&
               line[line.size() - 1 - backslashes] == QLatin1Char('\\')) {
            ++backslashes;
        }
        continued = backslashes % 2 == 1;
        if (partOfPrevious || line.isEmpty() || line.startsWith(QLatin1Char(';'))) {
            continue;
        }
        if (line.startsWith(QLatin1Char('['))) {
            if (!line.contains(QLatin1Char(']'))) {
                return false;
            }
        } else if (!line.contains(QLatin1Char('='))) {
            return false;
        }
    }
    return true;
}

// Looks at a settings file before QSettings does. QSettings reads binary junk or text in
// another encoding without complaint and, on the next write, replaces the whole file with
// what little it understood; such a file is reported as corrupt so that nobody writes over
// it and nobody reads values out of it.
FileState inspect(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        return FileState::Missing;
    }
    if (!info.isFile()) {
        return FileState::Unreadable;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return FileState::Unreadable;
    }
    if (file.size() > kLargestSettingsFile) {
        return FileState::Corrupt;
    }
    const QByteArray bytes = file.readAll();
    if (bytes.contains('\0')) {
        return FileState::Corrupt;
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    if (utf8.hasError() || !readsAsIni(text)) {
        return FileState::Corrupt;
    }
    return FileState::Usable;
}

bool validPart(const QString& part) {
    return !part.isEmpty() && !part.contains(QLatin1Char('/')) && !part.contains(QLatin1Char('\\'));
}

QString key(const QString& group, const QString& name) {
    return group + QLatin1Char('/') + name;
}

std::optional<QString> readFrom(const QString& path, const QString& group, const QString& name) {
    if (path.isEmpty() || inspect(path) != FileState::Usable) {
        return std::nullopt;
    }
    QSettings settings(path, QSettings::IniFormat);
    // The file was just read without trouble; an access error here can only come from
    // QSettings retrying a change it could not save, which write() has already undone.
    if (settings.status() == QSettings::FormatError) {
        return std::nullopt;
    }
    const QVariant value = settings.value(key(group, name));
    if (!value.isValid()) {
        return std::nullopt;
    }
    // The program writes every value as one text, which QSettings quotes as needed; an
    // unquoted comma typed into the file by hand makes QSettings split it into a list.
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(QLatin1Char(','));
    }
    if (!value.canConvert<QString>()) {
        return std::nullopt;
    }
    return value.toString();
}

// A stored offset: the whole trimmed text must be a finite number, anything else reads as 0.
float offsetFrom(const std::optional<QString>& text) {
    if (!text) {
        return 0.0f;
    }
    bool ok = false;
    const float value = text->trimmed().toFloat(&ok);
    return ok && std::isfinite(value) ? value : 0.0f;
}

bool accessible(const QString& path, int mode) {
    return ::access(QFile::encodeName(path).constData(), mode) == 0;
}

// Whether a settings file could be written (or created) at `path`, without creating
// anything: QSettings needs to write the file itself and, for its lock file and atomic save,
// the folder it lives in; a missing folder must be creatable inside its nearest existing
// ancestor.
bool canWrite(const QString& path) {
    const QFileInfo info(path);
    QString folder = info.absolutePath();
    if (info.exists()) {
        return info.isFile() && accessible(path, W_OK) && accessible(folder, W_OK | X_OK);
    }
    for (;;) {
        const QFileInfo folderInfo(folder);
        if (folderInfo.exists()) {
            return folderInfo.isDir() && accessible(folder, W_OK | X_OK);
        }
        const QString parent = folderInfo.absolutePath();
        if (parent == folder) {
            return false;
        }
        folder = parent;
    }
}

// The folders QSettings uses on Linux for the system-wide and the user's INI files, taken
// from the environment on every call (QSettings reads the user's folder once per process and
// keeps it). Relative entries are ignored, as the XDG base directory rules require.
QString systemConfigFolder() {
    const QStringList folders =
        qEnvironmentVariable("XDG_CONFIG_DIRS").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString& folder : folders) {
        if (QDir::isAbsolutePath(folder)) {
            return folder;
        }
    }
    return QStringLiteral("/etc/xdg");
}

QString userConfigFolder() {
    const QString folder = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!folder.isEmpty() && QDir::isAbsolutePath(folder)) {
        return folder;
    }
    return QDir::homePath() + QStringLiteral("/.config");
}

QString settingsFileIn(const QString& folder) {
    return folder + QLatin1Char('/') + kOrganisation + QLatin1Char('/') + kApplication +
           QStringLiteral(".conf");
}

const QString kUser = QStringLiteral("User");
const QString kPrint = QStringLiteral("Print");
const QString kSystem = QStringLiteral("System");
const QString kTicketPrintReport = QStringLiteral("RP_TicketPrint");
const QString kAccountListReport = QStringLiteral("RP_AccountList");
const QString kTemplate = QStringLiteral("Template");
const QString kTicketForm = QStringLiteral("TicketForm");
const QString kRecentNoContract = QStringLiteral("Recent_NoContract");
const QString kOffsetLeft = QStringLiteral("OffsetLeft");
const QString kOffsetTop = QStringLiteral("OffsetTop");

// A timeout in whole seconds, 1 to an hour; anything else (missing, 0, text) is the default,
// so that no setting can make the program wait for ever.
int secondsFrom(const std::optional<QString>& text, int fallback) {
    constexpr int kLongestSeconds = 3600;
    bool ok = false;
    const int seconds = text ? text->trimmed().toInt(&ok) : 0;
    return ok && seconds >= 1 && seconds <= kLongestSeconds ? seconds : fallback;
}

}  // namespace

SettingsStore SettingsStore::ForWorkstation() {
    const QString systemFile = settingsFileIn(systemConfigFolder());
    if (canWrite(systemFile)) {
        return SettingsStore(systemFile);
    }
    return SettingsStore(settingsFileIn(userConfigFolder()), systemFile);
}

SettingsStore::SettingsStore(QString file, QString fallbackFile)
    : file_(std::move(file)), fallbackFile_(std::move(fallbackFile)) {}

QString SettingsStore::unreadableFile() const {
    for (const QString& path : {file_, fallbackFile_}) {
        if (path.isEmpty()) {
            continue;
        }
        const FileState state = inspect(path);
        if (state == FileState::Unreadable || state == FileState::Corrupt) {
            return path;
        }
    }
    return {};
}

std::optional<QString> SettingsStore::read(const QString& group, const QString& name) const {
    if (!validPart(group) || !validPart(name)) {
        return std::nullopt;
    }
    if (std::optional<QString> value = readFrom(file_, group, name)) {
        return value;
    }
    return readFrom(fallbackFile_, group, name);
}

bool SettingsStore::write(const QString& group, const QString& name, const QString& value) const {
    if (file_.isEmpty() || !validPart(group) || !validPart(name)) {
        return false;
    }
    const FileState state = inspect(file_);
    if (state != FileState::Missing && state != FileState::Usable) {
        return false;
    }
    // QSettings keeps every file it has opened, with the changes it has not yet saved, for the
    // whole process: a change it cannot save stays there and shows up in later reads. So
    // everything its save needs is checked first: the file itself, and its folder for the
    // lock file and the atomic replacement.
    const QString folder = QFileInfo(file_).absolutePath();
    if (!QDir().mkpath(folder) || !accessible(folder, W_OK | X_OK) ||
        (state == FileState::Usable && !accessible(file_, R_OK | W_OK))) {
        return false;
    }
    QSettings settings(file_, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError || !settings.isWritable()) {
        return false;
    }
    const QString valueKey = key(group, name);
    const QVariant previous = settings.value(valueKey);
    settings.setValue(valueKey, value);
    settings.sync();
    if (settings.status() == QSettings::NoError) {
        return true;
    }
    // The save failed all the same (a full disk, say): take the change back out of QSettings'
    // memory of the file.
    if (previous.isValid()) {
        settings.setValue(valueKey, previous);
    } else {
        settings.remove(valueKey);
    }
    return false;
}

QString SettingsStore::GetIdUserLastLogin() const {
    return read(kUser, QStringLiteral("IdUserLastLogin")).value_or(QString());
}

bool SettingsStore::SetIdUserLastLogin(const QString& id) const {
    return write(kUser, QStringLiteral("IdUserLastLogin"), id);
}

QString SettingsStore::GetPathTicketTemplate(const QString& defaultPath) const {
    return read(kPrint, QStringLiteral("PathTicketTemplate")).value_or(defaultPath);
}

bool SettingsStore::SetPathTicketTemplate(const QString& path) const {
    return write(kPrint, QStringLiteral("PathTicketTemplate"), path);
}

QString SettingsStore::GetPathTicketForm(const QString& defaultPath) const {
    return read(kPrint, QStringLiteral("PathTicketForm")).value_or(defaultPath);
}

bool SettingsStore::SetPathTicketForm(const QString& path) const {
    return write(kPrint, QStringLiteral("PathTicketForm"), path);
}

QString SettingsStore::GetNamePrinterDefault() const {
    return read(kPrint, QStringLiteral("NamePrinterDefault")).value_or(QString());
}

bool SettingsStore::SetNamePrinterDefault(const QString& name) const {
    return write(kPrint, QStringLiteral("NamePrinterDefault"), name);
}

std::optional<QString> SettingsStore::GetServerIP() const {
    return read(kSystem, QStringLiteral("ServerIP"));
}

bool SettingsStore::SetServerIP(const QString& host) const {
    return write(kSystem, QStringLiteral("ServerIP"), host);
}

DatabaseTimeouts SettingsStore::GetDatabaseTimeouts() const {
    const DatabaseTimeouts defaults;
    DatabaseTimeouts timeouts;
    timeouts.connectSeconds =
        secondsFrom(read(kSystem, QStringLiteral("ConnectTimeout")), defaults.connectSeconds);
    timeouts.statementSeconds =
        secondsFrom(read(kSystem, QStringLiteral("StatementTimeout")), defaults.statementSeconds);
    timeouts.lockSeconds =
        secondsFrom(read(kSystem, QStringLiteral("LockTimeout")), defaults.lockSeconds);
    timeouts.busySeconds =
        secondsFrom(read(kSystem, QStringLiteral("BusyTimeout")), defaults.busySeconds);
    return timeouts;
}

QString SettingsStore::GetRecentNoContractTicketPrint() const {
    return read(kTicketPrintReport, kRecentNoContract).value_or(QString());
}

bool SettingsStore::SetRecentNoContractTicketPrint(const QString& contract) const {
    return write(kTicketPrintReport, kRecentNoContract, contract);
}

QString SettingsStore::GetRecentNoContractAccountList() const {
    return read(kAccountListReport, kRecentNoContract).value_or(QString());
}

bool SettingsStore::SetRecentNoContractAccountList(const QString& contract) const {
    return write(kAccountListReport, kRecentNoContract, contract);
}

float SettingsStore::GetTemplateOffsetLeft() const {
    return offsetFrom(read(kTemplate, kOffsetLeft));
}

float SettingsStore::GetTemplateOffsetTop() const {
    return offsetFrom(read(kTemplate, kOffsetTop));
}

float SettingsStore::GetTicketFormOffsetLeft() const {
    return offsetFrom(read(kTicketForm, kOffsetLeft));
}

float SettingsStore::GetTicketFormOffsetTop() const {
    return offsetFrom(read(kTicketForm, kOffsetTop));
}

bool SettingsStore::SetTemplateOffsetLeft(const QString& text) const {
    return write(kTemplate, kOffsetLeft, text);
}

bool SettingsStore::SetTemplateOffsetTop(const QString& text) const {
    return write(kTemplate, kOffsetTop, text);
}

bool SettingsStore::SetTicketFormOffsetLeft(const QString& text) const {
    return write(kTicketForm, kOffsetLeft, text);
}

bool SettingsStore::SetTicketFormOffsetTop(const QString& text) const {
    return write(kTicketForm, kOffsetTop, text);
}

}  // namespace quorvane
