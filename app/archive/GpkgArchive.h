#pragma once
// The archive as an OGC GeoPackage 1.3 file, written through libsqlite3: layers `aps` and
// `observations` (points in WGS 84, each with the standard R-tree index and its triggers) and
// the attribute table `imports`. GIS programs open the layers as they are.
#include "archive/ArchiveStore.h"

struct sqlite3;

namespace aero::archive {

class GpkgArchive final : public ArchiveStore {
public:
    // Creates the file when it is missing or empty; refuses a file that is not an archive.
    static std::unique_ptr<GpkgArchive> open(const QString& path, QString& error);
    ~GpkgArchive() override;
    GpkgArchive(const GpkgArchive&) = delete;
    GpkgArchive& operator=(const GpkgArchive&) = delete;

    ArchiveImport importRows(const ArchiveSource& source, const std::vector<ObservationRow>& rows,
                             const ArchiveProgress& progress = {}) override;
    std::optional<std::vector<ArchivedAp>> apsIn(const GeoBox& box, qint64 limit, QString& error) override;
    std::optional<qint64> countIn(const GeoBox& box, QString& error) override;
    std::optional<ArchiveCounts> counts(QString& error) override;

private:
    GpkgArchive(sqlite3* db, QString path);
    bool storeRows(qint64 importId, const std::vector<ObservationRow>& rows, const ArchiveProgress& progress);
    bool mergeAps(const std::vector<ApDelta>& deltas);
    bool widenExtents(const std::vector<ObservationRow>& rows);
    QString lastError() const;

    sqlite3* m_db;
    QString m_path;
};

} // namespace aero::archive
