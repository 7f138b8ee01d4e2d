#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <utility>

namespace quorvane {

// The parts of an OOXML package: zip entries built and read in memory, so a file on disk is
// only ever written whole.

// A zip archive holding the entries in the given order, deflated.
QByteArray ZipEntries(const QList<std::pair<QString, QByteArray>>& entries);

// Every entry of the zip archive `archive`, by name. An archive that cannot be read is a
// Failure naming `path`, the file it came from.
QHash<QString, QByteArray> UnzipEntries(const QByteArray& archive, const QString& path);

}  // namespace quorvane
