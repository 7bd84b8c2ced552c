#pragma once
// KMZ: a map file zipped together with the pictures it refers to, so other viewers show the
// program's own symbols. Written with libzip, which writes to a temporary file and renames it
// on success, so a failed save never leaves half a file in place of the old one.
#include <QByteArray>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

namespace aero {

// Entries are (name inside the archive, bytes); the first should be "doc.kml".
bool writeKmz(const QString& path, const std::vector<std::pair<QString, QByteArray>>& entries, QString* error);

// The KML of a KMZ ("doc.kml", else the first .kml entry). Entries larger than `limit` are
// refused, so a crafted archive cannot inflate without bound.
std::optional<QByteArray> readKmlFromKmz(const QString& path, QString* error, qint64 limit = 512LL << 20);

// Zip archives start with "PK\3\4".
bool looksLikeZip(const QByteArray& head);

} // namespace aero
