#pragma once
// What an archive stores, whatever holds it: one row per sighting read from a survey log, where
// the log came from, and what one file adds to each AP. Qt Core only.
#include "domain/AccessPoint.h"

#include <QDateTime>
#include <QString>
#include <vector>

namespace aero::archive {

// One sighting of an AP in a survey log.
struct ObservationRow {
    QString mac;               // upper case, as the table stores it
    QString ssid;
    QString flags;             // as in the table record
    QString wep;               // "1", "0" or empty
    QString mode;              // "1", "0" or empty
    int channel = 0;           // 0 when unknown
    int frequencyMHz = 0;      // 0 when unknown
    float signal = 0.0f;       // dBm
    bool located = false;
    double latitude = 0.0;
    double longitude = 0.0;
    qint64 time = 0;           // ms since 1970 UTC; 0 when unknown
};

// A sighting made of a table record (today's readers give one per line or per network).
ObservationRow rowOf(const AccessPoint& ap, qint64 time = 0);

// Where a batch of rows came from. The content hash makes imports idempotent.
struct ArchiveSource {
    QString file;
    QString sha256;            // hex of the file's bytes
    QString format;            // "WiGLE CSV", "Kismet netxml", ...
    QString session;           // the user's label; empty when none
    QDateTime importedAt;
};

// What one file says about one MAC, merged into the stored AP: the first sighting gives name
// and security, the strongest located sighting the position.
struct ApDelta {
    QString mac, ssid, flags, wep, mode;
    qint64 firstSeen = 0;      // 0 when no sighting had a time
    qint64 lastSeen = 0;
    float bestSignal = 0.0f;
    qint64 sightings = 0;
    bool located = false;
    double latitude = 0.0;
    double longitude = 0.0;
    float positionSignal = 0.0f;
};

// One delta per MAC, sorted by MAC so concurrent writers lock APs in the same order.
std::vector<ApDelta> foldRows(const std::vector<ObservationRow>& rows);

// ISO 8601 UTC with milliseconds ("2024-05-01T12:00:00.000Z"), which sorts as time does;
// empty for 0.
QString isoTime(qint64 ms);

// An area in degrees, west to east and south to north.
struct GeoBox {
    double minLon = -180.0, minLat = -90.0, maxLon = 180.0, maxLat = 90.0;
    bool contains(double lon, double lat) const { return lon >= minLon && lon <= maxLon && lat >= minLat && lat <= maxLat; }
};

// "minlon,minlat,maxlon,maxlat"; false when it is not four numbers in order within the globe.
bool parseGeoBox(const QString& text, GeoBox& box);

} // namespace aero::archive
