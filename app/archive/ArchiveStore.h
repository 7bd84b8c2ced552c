#pragma once
// A survey archive: every sighting with where it came from, and one AP per MAC merged over all
// surveys. A GeoPackage file by default; PostgreSQL with PostGIS for a team. Both keep the same
// tables: imports (provenance), observations, aps.
#include "archive/ArchiveRows.h"

#include <functional>
#include <memory>
#include <optional>

namespace aero::archive {

struct ArchiveImport {
    enum class Outcome { Imported, AlreadyArchived, Failed };
    Outcome outcome = Outcome::Failed;
    qint64 observations = 0;   // rows added
    qint64 aps = 0;            // APs touched (new or merged)
    QString message;           // why it failed; nothing of the file was stored then
    bool ok() const { return outcome != Outcome::Failed; }
};

// An AP as the archive holds it.
struct ArchivedAp {
    QString mac, ssid, flags, wep, mode;
    qint64 firstSeen = 0, lastSeen = 0;   // ms since 1970 UTC; 0 when unknown
    float bestSignal = 0.0f;
    qint64 sightings = 0;
    bool located = false;
    double latitude = 0.0, longitude = 0.0;
};

struct ArchiveCounts {
    qint64 imports = 0, observations = 0, aps = 0, sightings = 0;   // sightings: the sum over APs
    friend bool operator==(const ArchiveCounts&, const ArchiveCounts&) = default;
};

// Called after each batch of rows written, with the rows so far; may be empty.
using ArchiveProgress = std::function<void(qint64 rows)>;

class ArchiveStore {
public:
    virtual ~ArchiveStore() = default;

    // Stores one file in one transaction: all of it or, on any failure, nothing. A file whose
    // hash is already there adds nothing.
    virtual ArchiveImport importRows(const ArchiveSource& source, const std::vector<ObservationRow>& rows,
                                     const ArchiveProgress& progress = {}) = 0;

    // The located APs inside `box`, strongest first, at most `limit`; nullopt with `error` set
    // when the archive cannot be read.
    virtual std::optional<std::vector<ArchivedAp>> apsIn(const GeoBox& box, qint64 limit, QString& error) = 0;
    virtual std::optional<qint64> countIn(const GeoBox& box, QString& error) = 0;

    virtual std::optional<ArchiveCounts> counts(QString& error) = 0;
};

// A target starting "postgresql://" or "postgres://" (a libpq connection URI) is a PostGIS
// archive; anything else is a GeoPackage file, created when missing. nullptr with `error` set
// when the archive cannot be opened.
std::unique_ptr<ArchiveStore> openArchive(const QString& target, QString& error);

bool isServerTarget(const QString& target);

} // namespace aero::archive
