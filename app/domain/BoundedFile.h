#pragma once
// Reading a whole file named by the user or a script, bounded: only a regular file (after
// following links, so a link to a FIFO or a device is refused rather than waited on) and only
// up to a size limit, so /dev/zero or a huge file cannot eat the memory.
#include <QByteArray>
#include <QString>
#include <optional>

namespace aero {

// Largest map file (KML, or the KML inside a KMZ) the program opens.
inline constexpr qint64 MapFileLimit = qint64(512) << 20;

// The bytes of `path`, or nothing with the reason in `error`.
std::optional<QByteArray> readBoundedFile(const QString& path, qint64 limit, QString* error);

} // namespace aero
