#include "archive/GpkgArchive.h"

#include "archive/GpkgGeometry.h"

#include <QFileInfo>
#include <sqlite3.h>

#include <algorithm>
#include <limits>

namespace aero::archive {

namespace {

constexpr int GpkgApplicationId = 0x47504B47;   // "GPKG"

const char* const Schema = R"SQL(
PRAGMA application_id = 1196444487;
PRAGMA user_version = 10300;
CREATE TABLE gpkg_spatial_ref_sys (srs_name TEXT NOT NULL, srs_id INTEGER PRIMARY KEY,
  organization TEXT NOT NULL, organization_coordsys_id INTEGER NOT NULL, definition TEXT NOT NULL,
  description TEXT);
INSERT INTO gpkg_spatial_ref_sys VALUES
 ('Undefined cartesian SRS', -1, 'NONE', -1, 'undefined', 'undefined cartesian coordinate reference system'),
 ('Undefined geographic SRS', 0, 'NONE', 0, 'undefined', 'undefined geographic coordinate reference system'),
 ('WGS 84 geodetic', 4326, 'EPSG', 4326, 'GEOGCS["WGS 84",DATUM["WGS_1984",SPHEROID["WGS 84",6378137,298.257223563,AUTHORITY["EPSG","7030"]],AUTHORITY["EPSG","6326"]],PRIMEM["Greenwich",0,AUTHORITY["EPSG","8901"]],UNIT["degree",0.0174532925199433,AUTHORITY["EPSG","9122"]],AXIS["Latitude",NORTH],AXIS["Longitude",EAST],AUTHORITY["EPSG","4326"]]',
  'longitude/latitude coordinates in decimal degrees on the WGS 84 spheroid');
CREATE TABLE gpkg_contents (table_name TEXT NOT NULL PRIMARY KEY, data_type TEXT NOT NULL,
  identifier TEXT UNIQUE, description TEXT DEFAULT '',
  last_change DATETIME NOT NULL DEFAULT (strftime('%Y-%m-%dT%H:%M:%fZ','now')),
  min_x DOUBLE, min_y DOUBLE, max_x DOUBLE, max_y DOUBLE, srs_id INTEGER,
  CONSTRAINT fk_gc_r_srs_id FOREIGN KEY (srs_id) REFERENCES gpkg_spatial_ref_sys(srs_id));
CREATE TABLE gpkg_geometry_columns (table_name TEXT NOT NULL, column_name TEXT NOT NULL,
  geometry_type_name TEXT NOT NULL, srs_id INTEGER NOT NULL, z TINYINT NOT NULL, m TINYINT NOT NULL,
  CONSTRAINT pk_geom_cols PRIMARY KEY (table_name, column_name),
  CONSTRAINT uk_gc_table_name UNIQUE (table_name),
  CONSTRAINT fk_gc_tn FOREIGN KEY (table_name) REFERENCES gpkg_contents(table_name),
  CONSTRAINT fk_gc_srs FOREIGN KEY (srs_id) REFERENCES gpkg_spatial_ref_sys (srs_id));
CREATE TABLE gpkg_extensions (table_name TEXT, column_name TEXT, extension_name TEXT NOT NULL,
  definition TEXT NOT NULL, scope TEXT NOT NULL,
  CONSTRAINT ge_tce UNIQUE (table_name, column_name, extension_name));

CREATE TABLE imports (fid INTEGER PRIMARY KEY AUTOINCREMENT, file TEXT NOT NULL,
  sha256 TEXT NOT NULL UNIQUE, format TEXT NOT NULL, imported_at DATETIME NOT NULL, session TEXT,
  observations INTEGER NOT NULL);
CREATE TABLE observations (fid INTEGER PRIMARY KEY AUTOINCREMENT, geom POINT,
  import_id INTEGER NOT NULL REFERENCES imports(fid), seq INTEGER NOT NULL, mac TEXT NOT NULL,
  ssid TEXT, flags TEXT, wep TEXT, mode TEXT, channel INTEGER, frequency_mhz INTEGER,
  signal_dbm REAL, seen_at DATETIME, UNIQUE (import_id, seq));
CREATE INDEX observations_mac ON observations(mac);
CREATE TABLE aps (fid INTEGER PRIMARY KEY AUTOINCREMENT, geom POINT, mac TEXT NOT NULL UNIQUE,
  ssid TEXT, flags TEXT, wep TEXT, mode TEXT, first_seen DATETIME, last_seen DATETIME,
  best_signal_dbm REAL, sightings INTEGER NOT NULL, position_signal_dbm REAL,
  position_method TEXT, uncertainty_m REAL);
INSERT INTO gpkg_contents (table_name, data_type, identifier, description, srs_id) VALUES
 ('aps', 'features', 'aps', 'One access point per MAC over all surveys', 4326),
 ('observations', 'features', 'observations', 'Every sighting of an access point', 4326),
 ('imports', 'attributes', 'imports', 'Where the observations came from', NULL);
INSERT INTO gpkg_geometry_columns VALUES ('aps', 'geom', 'POINT', 4326, 0, 0),
 ('observations', 'geom', 'POINT', 4326, 0, 0);
)SQL";

// The R-tree of one layer with the triggers of the GeoPackage 1.3 R-tree extension, so any
// writer (this program, GDAL, QGIS) keeps it in step with the layer.
QString rtreeSchema(const QString& t)
{
    QString sql = QStringLiteral(R"SQL(
CREATE VIRTUAL TABLE rtree_{t}_geom USING rtree(id, minx, maxx, miny, maxy);
INSERT INTO gpkg_extensions VALUES ('{t}', 'geom', 'gpkg_rtree_index',
  'http://www.geopackage.org/spec120/#extension_rtree', 'write-only');
CREATE TRIGGER rtree_{t}_geom_insert AFTER INSERT ON {t}
WHEN (new.geom NOT NULL AND NOT ST_IsEmpty(NEW.geom))
BEGIN
  INSERT OR REPLACE INTO rtree_{t}_geom VALUES (NEW.fid,
    ST_MinX(NEW.geom), ST_MaxX(NEW.geom), ST_MinY(NEW.geom), ST_MaxY(NEW.geom));
END;
CREATE TRIGGER rtree_{t}_geom_update1 AFTER UPDATE OF geom ON {t}
WHEN OLD.fid = NEW.fid AND (NEW.geom NOTNULL AND NOT ST_IsEmpty(NEW.geom))
BEGIN
  INSERT OR REPLACE INTO rtree_{t}_geom VALUES (NEW.fid,
    ST_MinX(NEW.geom), ST_MaxX(NEW.geom), ST_MinY(NEW.geom), ST_MaxY(NEW.geom));
END;
CREATE TRIGGER rtree_{t}_geom_update2 AFTER UPDATE OF geom ON {t}
WHEN OLD.fid = NEW.fid AND (NEW.geom IS NULL OR ST_IsEmpty(NEW.geom))
BEGIN
  DELETE FROM rtree_{t}_geom WHERE id = OLD.fid;
END;
CREATE TRIGGER rtree_{t}_geom_update3 AFTER UPDATE ON {t}
WHEN OLD.fid != NEW.fid AND (NEW.geom NOTNULL AND NOT ST_IsEmpty(NEW.geom))
BEGIN
  DELETE FROM rtree_{t}_geom WHERE id = OLD.fid;
  INSERT OR REPLACE INTO rtree_{t}_geom VALUES (NEW.fid,
    ST_MinX(NEW.geom), ST_MaxX(NEW.geom), ST_MinY(NEW.geom), ST_MaxY(NEW.geom));
END;
CREATE TRIGGER rtree_{t}_geom_update4 AFTER UPDATE ON {t}
WHEN OLD.fid != NEW.fid AND (NEW.geom IS NULL OR ST_IsEmpty(NEW.geom))
BEGIN
  DELETE FROM rtree_{t}_geom WHERE id IN (OLD.fid, NEW.fid);
END;
CREATE TRIGGER rtree_{t}_geom_delete AFTER DELETE ON {t}
WHEN old.geom NOT NULL
BEGIN
  DELETE FROM rtree_{t}_geom WHERE id = OLD.fid;
END;
)SQL");
    return sql.replace(QLatin1String("{t}"), t);
}

class Statement {
public:
    Statement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr); }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    explicit operator bool() const { return m_stmt != nullptr; }
    sqlite3_stmt* get() const { return m_stmt; }

    void text(int i, const QString& v)
    {
        if (v.isNull()) {
            sqlite3_bind_null(m_stmt, i);
            return;
        }
        const QByteArray utf8 = v.toUtf8();
        sqlite3_bind_text(m_stmt, i, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
    }
    void textOrNull(int i, const QString& v) { v.isEmpty() ? void(sqlite3_bind_null(m_stmt, i)) : text(i, v); }
    void integer(int i, qint64 v) { sqlite3_bind_int64(m_stmt, i, v); }
    void real(int i, double v) { sqlite3_bind_double(m_stmt, i, v); }
    void null(int i) { sqlite3_bind_null(m_stmt, i); }
    void point(int i, double lon, double lat)
    {
        const QByteArray blob = gpkgPoint(lon, lat);
        sqlite3_bind_blob(m_stmt, i, blob.constData(), static_cast<int>(blob.size()), SQLITE_TRANSIENT);
    }
    // Runs a statement that returns no rows, ready for the next bindings.
    bool run()
    {
        const int rc = sqlite3_step(m_stmt);
        sqlite3_reset(m_stmt);
        return rc == SQLITE_DONE;
    }
    bool row() { return sqlite3_step(m_stmt) == SQLITE_ROW; }
    qint64 int64(int col) const { return sqlite3_column_int64(m_stmt, col); }
    double dbl(int col) const { return sqlite3_column_double(m_stmt, col); }
    QString str(int col) const
    {
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, col)), sqlite3_column_bytes(m_stmt, col));
    }

private:
    sqlite3_stmt* m_stmt = nullptr;
};

bool exec(sqlite3* db, const char* sql)
{
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

qint64 msOf(const QString& iso)
{
    return iso.isEmpty() ? 0 : QDateTime::fromString(iso, Qt::ISODateWithMs).toMSecsSinceEpoch();
}

// Fails the import, leaving nothing of it behind.
ArchiveImport failed(sqlite3* db, const QString& what)
{
    exec(db, "ROLLBACK");
    ArchiveImport r;
    r.message = what;
    return r;
}

} // namespace

GpkgArchive::GpkgArchive(sqlite3* db, QString path) : m_db(db), m_path(std::move(path)) {}

GpkgArchive::~GpkgArchive()
{
    sqlite3_close_v2(m_db);
}

QString GpkgArchive::lastError() const
{
    return QString::fromUtf8(sqlite3_errmsg(m_db));
}

std::unique_ptr<GpkgArchive> GpkgArchive::open(const QString& path, QString& error)
{
    const QFileInfo info(path);
    const bool create = !info.exists() || (info.isFile() && info.size() == 0);
    if (info.exists() && !info.isFile()) {
        error = QStringLiteral("The archive %1 is not a file.").arg(path);
        return nullptr;
    }
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    std::unique_ptr<GpkgArchive> archive(new GpkgArchive(db, path));
    if (rc != SQLITE_OK) {
        error = QStringLiteral("Could not open the archive %1: %2").arg(path, archive->lastError());
        return nullptr;
    }
    sqlite3_busy_timeout(db, 60000);   // another writer holds the file for one file's import at most
    registerGpkgFunctions(db);
    exec(db, "PRAGMA foreign_keys = ON; PRAGMA cache_size = -65536");
    if (create) {
        if (!exec(db, "BEGIN IMMEDIATE") || !exec(db, Schema)
            || !exec(db, (rtreeSchema(QStringLiteral("aps")) + rtreeSchema(QStringLiteral("observations"))).toUtf8().constData())
            || !exec(db, "COMMIT")) {
            error = QStringLiteral("Could not create the archive %1: %2").arg(path, archive->lastError());
            exec(db, "ROLLBACK");
            return nullptr;
        }
        return archive;
    }
    Statement check(db, "SELECT (SELECT application_id FROM pragma_application_id), "
                        "(SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name IN "
                        "('gpkg_contents', 'aps', 'observations', 'imports', 'rtree_aps_geom'))");
    if (!check || !check.row()) {
        error = QStringLiteral("The file %1 is not a GeoPackage (%2).").arg(path, archive->lastError());
        return nullptr;
    }
    if (check.int64(0) != GpkgApplicationId) {
        error = QStringLiteral("The file %1 is not a GeoPackage.").arg(path);
        return nullptr;
    }
    if (check.int64(1) != 5) {
        error = QStringLiteral("The GeoPackage %1 is not a survey archive (it lacks the aps, observations and imports "
                               "tables); it was left as it is.").arg(path);
        return nullptr;
    }
    return archive;
}

ArchiveImport GpkgArchive::importRows(const ArchiveSource& source, const std::vector<ObservationRow>& rows,
                                      const ArchiveProgress& progress)
{
    const auto fail = [&] {
        return failed(m_db, QStringLiteral("Could not archive %1 in %2: %3. Nothing of the file was stored.")
                                .arg(source.file, m_path, lastError()));
    };
    // The write lock up front: a second writer waits here, never half-way through a file.
    if (!exec(m_db, "BEGIN IMMEDIATE"))
        return fail();
    {
        Statement known(m_db, "SELECT fid FROM imports WHERE sha256 = ?");
        if (!known)
            return fail();
        known.text(1, source.sha256);
        if (known.row()) {
            exec(m_db, "ROLLBACK");
            ArchiveImport r;
            r.outcome = ArchiveImport::Outcome::AlreadyArchived;
            return r;
        }
    }
    Statement add(m_db, "INSERT INTO imports (file, sha256, format, imported_at, session, observations) VALUES (?,?,?,?,?,?)");
    if (!add)
        return fail();
    add.text(1, source.file);
    add.text(2, source.sha256);
    add.text(3, source.format);
    add.text(4, isoTime(source.importedAt.toMSecsSinceEpoch()));
    add.textOrNull(5, source.session);
    add.integer(6, static_cast<qint64>(rows.size()));
    if (!add.run())
        return fail();
    const qint64 importId = sqlite3_last_insert_rowid(m_db);
    const std::vector<ApDelta> deltas = foldRows(rows);
    if (!storeRows(importId, rows, progress) || !mergeAps(deltas) || !widenExtents(rows) || !exec(m_db, "COMMIT"))
        return fail();
    ArchiveImport r;
    r.outcome = ArchiveImport::Outcome::Imported;
    r.observations = static_cast<qint64>(rows.size());
    r.aps = static_cast<qint64>(deltas.size());
    return r;
}

bool GpkgArchive::storeRows(qint64 importId, const std::vector<ObservationRow>& rows, const ArchiveProgress& progress)
{
    Statement insert(m_db, "INSERT INTO observations (geom, import_id, seq, mac, ssid, flags, wep, mode, channel, "
                           "frequency_mhz, signal_dbm, seen_at) VALUES (?,?,?,?,?,?,?,?,?,?,?,?)");
    if (!insert)
        return false;
    qint64 seq = 0;
    for (const ObservationRow& r : rows) {
        r.located ? insert.point(1, r.longitude, r.latitude) : insert.null(1);
        insert.integer(2, importId);
        insert.integer(3, ++seq);
        insert.text(4, r.mac);
        insert.text(5, r.ssid);
        insert.textOrNull(6, r.flags);
        insert.textOrNull(7, r.wep);
        insert.textOrNull(8, r.mode);
        r.channel ? insert.integer(9, r.channel) : insert.null(9);
        r.frequencyMHz ? insert.integer(10, r.frequencyMHz) : insert.null(10);
        insert.real(11, r.signal);
        insert.textOrNull(12, isoTime(r.time));
        if (!insert.run())
            return false;
        if (progress && seq % 10000 == 0)
            progress(seq);
    }
    if (progress)
        progress(seq);
    return true;
}

// Sightings add up; first and last seen widen; the position is the strongest located sighting
// so far. A later position estimate writes position_method and uncertainty_m over it.
// An UPDATE, then an INSERT for new MACs, rather than an upsert: inside an upsert SQLite turns
// the R-tree triggers' INSERT OR REPLACE into a plain INSERT, which fails on a moved AP.
bool GpkgArchive::mergeAps(const std::vector<ApDelta>& deltas)
{
    Statement update(m_db, R"SQL(
UPDATE aps SET
  first_seen = min(coalesce(first_seen, ?7), coalesce(?7, first_seen)),
  last_seen = max(coalesce(last_seen, ?8), coalesce(?8, last_seen)),
  best_signal_dbm = max(best_signal_dbm, ?9),
  sightings = sightings + ?10,
  geom = CASE WHEN ?1 IS NOT NULL AND (geom IS NULL OR ?11 > position_signal_dbm) THEN ?1 ELSE geom END,
  position_signal_dbm = CASE WHEN ?1 IS NOT NULL AND (geom IS NULL OR ?11 > position_signal_dbm)
                             THEN ?11 ELSE position_signal_dbm END,
  position_method = CASE WHEN ?1 IS NOT NULL AND (geom IS NULL OR ?11 > position_signal_dbm)
                         THEN 'strongest sighting' ELSE position_method END
WHERE mac = ?2
)SQL");
    Statement insert(m_db, R"SQL(
INSERT INTO aps (geom, mac, ssid, flags, wep, mode, first_seen, last_seen, best_signal_dbm, sightings,
                 position_signal_dbm, position_method)
VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, CASE WHEN ?1 IS NULL THEN NULL ELSE 'strongest sighting' END)
)SQL");
    if (!update || !insert)
        return false;
    for (const ApDelta& d : deltas) {
        for (Statement* s : {&update, &insert}) {
            d.located ? s->point(1, d.longitude, d.latitude) : s->null(1);
            s->text(2, d.mac);
            s->text(3, d.ssid);
            s->textOrNull(4, d.flags);
            s->textOrNull(5, d.wep);
            s->textOrNull(6, d.mode);
            s->textOrNull(7, isoTime(d.firstSeen));
            s->textOrNull(8, isoTime(d.lastSeen));
            s->real(9, d.bestSignal);
            s->integer(10, d.sightings);
            d.located ? s->real(11, d.positionSignal) : s->null(11);
        }
        if (!update.run())
            return false;
        if (sqlite3_changes(m_db) == 0 && !insert.run())
            return false;
    }
    return true;
}

// The layers' extents in gpkg_contents, which GIS programs show and zoom to.
bool GpkgArchive::widenExtents(const std::vector<ObservationRow>& rows)
{
    double minX = std::numeric_limits<double>::infinity(), minY = minX, maxX = -minX, maxY = -minX;
    for (const ObservationRow& r : rows)
        if (r.located) {
            minX = std::min(minX, r.longitude);
            maxX = std::max(maxX, r.longitude);
            minY = std::min(minY, r.latitude);
            maxY = std::max(maxY, r.latitude);
        }
    Statement update(m_db, R"SQL(
UPDATE gpkg_contents SET last_change = strftime('%Y-%m-%dT%H:%M:%fZ','now'),
  min_x = min(coalesce(min_x, ?1), ?1), min_y = min(coalesce(min_y, ?2), ?2),
  max_x = max(coalesce(max_x, ?3), ?3), max_y = max(coalesce(max_y, ?4), ?4)
WHERE table_name IN ('aps', 'observations')
)SQL");
    if (!update)
        return false;
    if (minX > maxX)
        return exec(m_db, "UPDATE gpkg_contents SET last_change = strftime('%Y-%m-%dT%H:%M:%fZ','now') "
                          "WHERE table_name IN ('aps', 'observations', 'imports')");
    update.real(1, minX);
    update.real(2, minY);
    update.real(3, maxX);
    update.real(4, maxY);
    return update.run()
        && exec(m_db, "UPDATE gpkg_contents SET last_change = strftime('%Y-%m-%dT%H:%M:%fZ','now') WHERE table_name = 'imports'");
}

std::optional<std::vector<ArchivedAp>> GpkgArchive::apsIn(const GeoBox& box, qint64 limit, QString& error)
{
    Statement query(m_db, R"SQL(
SELECT a.mac, a.ssid, a.flags, a.wep, a.mode, a.first_seen, a.last_seen, a.best_signal_dbm, a.sightings, a.geom
FROM rtree_aps_geom r JOIN aps a ON a.fid = r.id
WHERE r.minx <= ?3 AND r.maxx >= ?1 AND r.miny <= ?4 AND r.maxy >= ?2
  AND ST_MinX(a.geom) BETWEEN ?1 AND ?3 AND ST_MinY(a.geom) BETWEEN ?2 AND ?4
ORDER BY a.best_signal_dbm DESC LIMIT ?5
)SQL");
    if (!query) {
        error = lastError();
        return std::nullopt;
    }
    query.real(1, box.minLon);
    query.real(2, box.minLat);
    query.real(3, box.maxLon);
    query.real(4, box.maxLat);
    query.integer(5, limit);
    std::vector<ArchivedAp> aps;
    while (query.row()) {
        ArchivedAp ap;
        ap.mac = query.str(0);
        ap.ssid = query.str(1);
        ap.flags = query.str(2);
        ap.wep = query.str(3);
        ap.mode = query.str(4);
        ap.firstSeen = msOf(query.str(5));
        ap.lastSeen = msOf(query.str(6));
        ap.bestSignal = static_cast<float>(query.dbl(7));
        ap.sightings = query.int64(8);
        if (const auto p = gpkgPointOf(sqlite3_column_blob(query.get(), 9), sqlite3_column_bytes(query.get(), 9))) {
            ap.located = true;
            ap.longitude = p->lon;
            ap.latitude = p->lat;
        }
        aps.push_back(std::move(ap));
    }
    if (sqlite3_errcode(m_db) != SQLITE_DONE && sqlite3_errcode(m_db) != SQLITE_OK && sqlite3_errcode(m_db) != SQLITE_ROW) {
        error = lastError();
        return std::nullopt;
    }
    return aps;
}

std::optional<qint64> GpkgArchive::countIn(const GeoBox& box, QString& error)
{
    // The R-tree holds boxes rounded outward to 32-bit floats: the points themselves decide.
    Statement query(m_db, "SELECT count(*) FROM rtree_aps_geom r JOIN aps a ON a.fid = r.id "
                          "WHERE r.minx <= ?3 AND r.maxx >= ?1 AND r.miny <= ?4 AND r.maxy >= ?2 "
                          "AND ST_MinX(a.geom) BETWEEN ?1 AND ?3 AND ST_MinY(a.geom) BETWEEN ?2 AND ?4");
    if (!query) {
        error = lastError();
        return std::nullopt;
    }
    query.real(1, box.minLon);
    query.real(2, box.minLat);
    query.real(3, box.maxLon);
    query.real(4, box.maxLat);
    if (!query.row()) {
        error = lastError();
        return std::nullopt;
    }
    return query.int64(0);
}

std::optional<ArchiveCounts> GpkgArchive::counts(QString& error)
{
    Statement query(m_db, "SELECT (SELECT count(*) FROM imports), (SELECT count(*) FROM observations), "
                          "(SELECT count(*) FROM aps), (SELECT coalesce(sum(sightings), 0) FROM aps)");
    if (!query || !query.row()) {
        error = lastError();
        return std::nullopt;
    }
    return ArchiveCounts{query.int64(0), query.int64(1), query.int64(2), query.int64(3)};
}

} // namespace aero::archive
