#pragma once
// Gzipped survey logs (the WiGLE app writes its runs as .csv.gz), inflated with zlib.
#include <QByteArray>
#include <QString>
#include <optional>

namespace aero::import {

// Every gzip stream starts with these two bytes.
bool looksLikeGzip(QByteArrayView head);

// The inflated bytes of `path`, at most `limit` of them (nullopt when the file cannot be read,
// is not gzip, is damaged, or inflates past the limit: a log never needs more).
struct Inflated {
    QByteArray bytes;
    QString error;   // empty when the whole stream was read
};
Inflated inflateFile(const QString& path, qint64 limit);

inline constexpr qint64 MaxInflatedLog = qint64(2) * 1024 * 1024 * 1024 - 64;   // QByteArray's own bound

} // namespace aero::import
