#pragma once
// The archive in PostgreSQL with PostGIS, through libpq, for a team: the tables of the
// GeoPackage archive, with unique keys and one transaction per file, so writers working at
// once lose nothing and duplicate nothing, and a server that goes away leaves no half file.
#include "archive/ArchiveStore.h"

struct pg_conn;

namespace aero::archive {

class PgArchive final : public ArchiveStore {
public:
    // `uri` is a libpq connection URI (postgresql://user@host:port/db?host=/socket/dir ...).
    // Creates the tables (and the PostGIS extension) when missing.
    static std::unique_ptr<PgArchive> open(const QString& uri, QString& error);
    ~PgArchive() override;
    PgArchive(const PgArchive&) = delete;
    PgArchive& operator=(const PgArchive&) = delete;

    ArchiveImport importRows(const ArchiveSource& source, const std::vector<ObservationRow>& rows,
                             const ArchiveProgress& progress = {}) override;
    std::optional<std::vector<ArchivedAp>> apsIn(const GeoBox& box, qint64 limit, QString& error) override;
    std::optional<qint64> countIn(const GeoBox& box, QString& error) override;
    std::optional<ArchiveCounts> counts(QString& error) override;

private:
    enum class Attempt { Done, AlreadyArchived, Retry, Failed };
    explicit PgArchive(pg_conn* conn);
    Attempt importOnce(const ArchiveSource& source, const std::vector<ObservationRow>& rows,
                       const ArchiveProgress& progress, QString& error);
    bool exec(const char* sql, QString& error);
    bool copy(const char* sql, const QByteArray& data, QString& error);
    bool connected();
    QString serverError() const;

    pg_conn* m_conn;
    bool m_retryable = false;   // the last failure was a deadlock or serialization conflict
};

} // namespace aero::archive
