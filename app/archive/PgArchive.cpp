#include "archive/PgArchive.h"

#include <libpq-fe.h>

namespace aero::archive {

namespace {

const char* const Schema = R"SQL(
SELECT pg_advisory_xact_lock(4242260001);
CREATE EXTENSION IF NOT EXISTS postgis;
CREATE TABLE IF NOT EXISTS imports (id bigserial PRIMARY KEY, file text NOT NULL,
  sha256 text NOT NULL UNIQUE, format text NOT NULL, imported_at timestamptz NOT NULL, session text,
  observations bigint NOT NULL);
CREATE TABLE IF NOT EXISTS observations (id bigserial PRIMARY KEY, geom geometry(Point, 4326),
  import_id bigint NOT NULL REFERENCES imports (id), seq bigint NOT NULL, mac text NOT NULL,
  ssid text, flags text, wep text, mode text, channel integer, frequency_mhz integer,
  signal_dbm real, seen_at timestamptz, UNIQUE (import_id, seq));
CREATE INDEX IF NOT EXISTS observations_geom ON observations USING gist (geom);
CREATE INDEX IF NOT EXISTS observations_mac ON observations (mac);
CREATE TABLE IF NOT EXISTS aps (id bigserial PRIMARY KEY, geom geometry(Point, 4326),
  mac text NOT NULL UNIQUE, ssid text, flags text, wep text, mode text, first_seen timestamptz,
  last_seen timestamptz, best_signal_dbm real, sightings bigint NOT NULL, position_signal_dbm real,
  position_method text, uncertainty_m real);
CREATE INDEX IF NOT EXISTS aps_geom ON aps USING gist (geom);
)SQL";

// Merged in MAC order, so two writers lock shared APs in the same order. The position is the
// strongest located sighting so far; a later position estimate writes position_method and
// uncertainty_m over it.
const char* const MergeAps = R"SQL(
INSERT INTO aps (geom, mac, ssid, flags, wep, mode, first_seen, last_seen, best_signal_dbm, sightings,
                 position_signal_dbm, position_method)
SELECT geom, mac, ssid, flags, wep, mode, first_seen, last_seen, best_signal_dbm, sightings,
       position_signal_dbm, CASE WHEN geom IS NULL THEN NULL ELSE 'strongest sighting' END
FROM ap_delta ORDER BY mac
ON CONFLICT (mac) DO UPDATE SET
  first_seen = LEAST(aps.first_seen, excluded.first_seen),
  last_seen = GREATEST(aps.last_seen, excluded.last_seen),
  best_signal_dbm = GREATEST(aps.best_signal_dbm, excluded.best_signal_dbm),
  sightings = aps.sightings + excluded.sightings,
  geom = CASE WHEN excluded.geom IS NOT NULL AND (aps.geom IS NULL OR excluded.position_signal_dbm > aps.position_signal_dbm)
              THEN excluded.geom ELSE aps.geom END,
  position_signal_dbm = CASE WHEN excluded.geom IS NOT NULL AND (aps.geom IS NULL OR excluded.position_signal_dbm > aps.position_signal_dbm)
              THEN excluded.position_signal_dbm ELSE aps.position_signal_dbm END,
  position_method = CASE WHEN excluded.geom IS NOT NULL AND (aps.geom IS NULL OR excluded.position_signal_dbm > aps.position_signal_dbm)
              THEN excluded.position_method ELSE aps.position_method END
)SQL";

constexpr int Attempts = 5;
constexpr qsizetype CopyChunk = 1 << 20;

// One field of COPY's text format.
void field(QByteArray& out, const QString& text)
{
    if (text.isEmpty()) {
        out += "\\N";
        return;
    }
    for (const char c : text.toUtf8()) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
}

void number(QByteArray& out, double v, bool present = true)
{
    out += present ? QByteArray::number(v, 'g', 17) : QByteArrayLiteral("\\N");
}

void point(QByteArray& out, bool located, double lon, double lat)
{
    if (!located) {
        out += "\\N";
        return;
    }
    out += "SRID=4326;POINT(" + QByteArray::number(lon, 'g', 17) + ' ' + QByteArray::number(lat, 'g', 17) + ')';
}

struct Result {
    explicit Result(PGresult* r) : res(r) {}
    ~Result() { PQclear(res); }
    Result(const Result&) = delete;
    Result& operator=(const Result&) = delete;
    bool ok() const { return PQresultStatus(res) == PGRES_COMMAND_OK || PQresultStatus(res) == PGRES_TUPLES_OK; }
    QString text(int row, int col) const { return QString::fromUtf8(PQgetvalue(res, row, col)); }
    qint64 int64(int row, int col) const { return QByteArray(PQgetvalue(res, row, col)).toLongLong(); }
    double dbl(int row, int col) const { return QByteArray(PQgetvalue(res, row, col)).toDouble(); }
    bool null(int row, int col) const { return PQgetisnull(res, row, col); }
    int rows() const { return PQntuples(res); }
    QString state() const
    {
        const char* s = PQresultErrorField(res, PG_DIAG_SQLSTATE);
        return s ? QString::fromLatin1(s) : QString();
    }
    PGresult* res;
};

} // namespace

PgArchive::PgArchive(pg_conn* conn) : m_conn(conn) {}

PgArchive::~PgArchive()
{
    PQfinish(m_conn);
}

QString PgArchive::serverError() const
{
    return QString::fromUtf8(PQerrorMessage(m_conn)).trimmed();
}

std::unique_ptr<PgArchive> PgArchive::open(const QString& uri, QString& error)
{
    // Defaults first: the URI's own settings override them.
    const QByteArray target = uri.toUtf8();
    const char* keys[] = {"connect_timeout", "application_name", "dbname", nullptr};
    const char* values[] = {"10", "aeroplotter", target.constData(), nullptr};
    std::unique_ptr<PgArchive> archive(new PgArchive(PQconnectdbParams(keys, values, 1)));
    if (PQstatus(archive->m_conn) != CONNECTION_OK) {
        error = QStringLiteral("Could not connect to the archive server: %1").arg(archive->serverError());
        return nullptr;
    }
    PQsetNoticeProcessor(archive->m_conn, [](void*, const char*) {}, nullptr);
    QString why;
    if (!archive->exec("BEGIN", why) || !archive->exec(Schema, why) || !archive->exec("COMMIT", why)) {
        error = QStringLiteral("The archive server could not set up the archive tables (is PostGIS installed there?): %1").arg(why);
        return nullptr;
    }
    return archive;
}

bool PgArchive::connected()
{
    if (PQstatus(m_conn) == CONNECTION_OK)
        return true;
    PQreset(m_conn);
    return PQstatus(m_conn) == CONNECTION_OK;
}

bool PgArchive::exec(const char* sql, QString& error)
{
    const Result r(PQexec(m_conn, sql));
    if (r.ok())
        return true;
    const QString state = r.state();
    m_retryable = state == QLatin1String("40P01") || state == QLatin1String("40001");
    error = serverError();
    return false;
}

bool PgArchive::copy(const char* sql, const QByteArray& data, QString& error)
{
    {
        const Result start(PQexec(m_conn, sql));
        if (PQresultStatus(start.res) != PGRES_COPY_IN) {
            error = serverError();
            return false;
        }
    }
    bool sent = true;
    for (qsizetype at = 0; sent && at < data.size(); at += CopyChunk) {
        const qsizetype n = std::min(CopyChunk, data.size() - at);
        sent = PQputCopyData(m_conn, data.constData() + at, static_cast<int>(n)) == 1;
    }
    sent = PQputCopyEnd(m_conn, sent ? nullptr : "client failed") == 1 && sent;
    bool ok = sent;
    while (PGresult* res = PQgetResult(m_conn)) {
        const Result r(res);
        if (!r.ok()) {
            ok = false;
            m_retryable = r.state() == QLatin1String("40P01") || r.state() == QLatin1String("40001");
        }
    }
    if (!ok)
        error = serverError();
    return ok;
}

PgArchive::Attempt PgArchive::importOnce(const ArchiveSource& source, const std::vector<ObservationRow>& rows,
                                         const ArchiveProgress& progress, QString& error)
{
    m_retryable = false;
    const auto fail = [&] {
        if (PQstatus(m_conn) == CONNECTION_OK)
            PQclear(PQexec(m_conn, "ROLLBACK"));
        return m_retryable ? Attempt::Retry : Attempt::Failed;
    };
    if (!exec("BEGIN", error))
        return fail();
    // The unique hash decides who imports a file: a second writer of the same file waits here
    // for the first one's transaction and then finds the file archived.
    const QByteArray rowCount = QByteArray::number(static_cast<qint64>(rows.size()));
    const QByteArray params[] = {source.file.toUtf8(), source.sha256.toUtf8(), source.format.toUtf8(),
                                 isoTime(source.importedAt.toMSecsSinceEpoch()).toUtf8(), source.session.toUtf8(), rowCount};
    const char* values[6];
    for (int i = 0; i < 6; ++i)
        values[i] = params[i].constData();
    if (source.session.isEmpty())
        values[4] = nullptr;
    const Result added(PQexecParams(m_conn,
        "INSERT INTO imports (file, sha256, format, imported_at, session, observations) VALUES ($1, $2, $3, $4, $5, $6) "
        "ON CONFLICT (sha256) DO NOTHING RETURNING id", 6, nullptr, values, nullptr, nullptr, 0));
    if (!added.ok()) {
        error = serverError();
        m_retryable = added.state() == QLatin1String("40P01") || added.state() == QLatin1String("40001");
        return fail();
    }
    if (added.rows() == 0) {
        PQclear(PQexec(m_conn, "ROLLBACK"));
        return Attempt::AlreadyArchived;
    }
    const QByteArray importId = PQgetvalue(added.res, 0, 0);

    QByteArray data;
    qint64 seq = 0;
    const auto flush = [&](const char* sql) {
        const bool ok = copy(sql, data, error);
        data.clear();
        return ok;
    };
    // Written in batches so progress can be told and memory stays bounded.
    constexpr qint64 Batch = 50000;
    const char* const copyObservations = "COPY observations (geom, import_id, seq, mac, ssid, flags, wep, mode, channel, "
                                         "frequency_mhz, signal_dbm, seen_at) FROM STDIN";
    for (const ObservationRow& r : rows) {
        point(data, r.located, r.longitude, r.latitude);
        data += '\t' + importId + '\t' + QByteArray::number(++seq) + '\t';
        field(data, r.mac);
        data += '\t';
        field(data, r.ssid);
        data += '\t';
        field(data, r.flags);
        data += '\t';
        field(data, r.wep);
        data += '\t';
        field(data, r.mode);
        data += '\t';
        number(data, r.channel, r.channel != 0);
        data += '\t';
        number(data, r.frequencyMHz, r.frequencyMHz != 0);
        data += '\t';
        number(data, r.signal);
        data += '\t';
        field(data, isoTime(r.time));
        data += '\n';
        if (seq % Batch == 0) {
            if (!flush(copyObservations))
                return fail();
            if (progress)
                progress(seq);
        }
    }
    if (!data.isEmpty() && !flush(copyObservations))
        return fail();
    if (progress)
        progress(seq);

    if (!exec("CREATE TEMP TABLE ap_delta (geom geometry(Point, 4326), mac text, ssid text, flags text, wep text, "
              "mode text, first_seen timestamptz, last_seen timestamptz, best_signal_dbm real, sightings bigint, "
              "position_signal_dbm real) ON COMMIT DROP", error))
        return fail();
    for (const ApDelta& d : foldRows(rows)) {
        point(data, d.located, d.longitude, d.latitude);
        for (const QString* text : {&d.mac, &d.ssid, &d.flags, &d.wep, &d.mode}) {
            data += '\t';
            field(data, *text);
        }
        data += '\t';
        field(data, isoTime(d.firstSeen));
        data += '\t';
        field(data, isoTime(d.lastSeen));
        data += '\t';
        number(data, d.bestSignal);
        data += '\t' + QByteArray::number(d.sightings) + '\t';
        number(data, d.positionSignal, d.located);
        data += '\n';
    }
    if (!flush("COPY ap_delta FROM STDIN") || !exec(MergeAps, error) || !exec("COMMIT", error))
        return fail();
    return Attempt::Done;
}

ArchiveImport PgArchive::importRows(const ArchiveSource& source, const std::vector<ObservationRow>& rows,
                                    const ArchiveProgress& progress)
{
    ArchiveImport result;
    QString error;
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        if (!connected()) {
            result.message = QStringLiteral("Could not archive %1: the archive server cannot be reached (%2). "
                                            "Nothing of the file was stored.").arg(source.file, serverError());
            return result;
        }
        switch (importOnce(source, rows, progress, error)) {
        case Attempt::Done:
            result.outcome = ArchiveImport::Outcome::Imported;
            result.observations = static_cast<qint64>(rows.size());
            result.aps = static_cast<qint64>(foldRows(rows).size());
            return result;
        case Attempt::AlreadyArchived:
            result.outcome = ArchiveImport::Outcome::AlreadyArchived;
            return result;
        case Attempt::Retry:
            continue;   // another writer's transaction crossed this one: nothing of it was kept
        case Attempt::Failed:
            break;
        }
        break;
    }
    if (PQstatus(m_conn) != CONNECTION_OK)
        result.message = QStringLiteral("The archive server went away while %1 was being archived (%2). Nothing of the "
                                        "file was stored; import it again.").arg(source.file, error);
    else
        result.message = QStringLiteral("Could not archive %1: %2. Nothing of the file was stored.").arg(source.file, error);
    return result;
}

std::optional<std::vector<ArchivedAp>> PgArchive::apsIn(const GeoBox& box, qint64 limit, QString& error)
{
    const QByteArray params[] = {QByteArray::number(box.minLon, 'g', 17), QByteArray::number(box.minLat, 'g', 17),
                                 QByteArray::number(box.maxLon, 'g', 17), QByteArray::number(box.maxLat, 'g', 17),
                                 QByteArray::number(limit)};
    const char* values[] = {params[0].constData(), params[1].constData(), params[2].constData(), params[3].constData(),
                            params[4].constData()};
    const Result r(PQexecParams(m_conn, R"SQL(
SELECT mac, ssid, flags, wep, mode, (extract(epoch FROM first_seen) * 1000)::bigint,
       (extract(epoch FROM last_seen) * 1000)::bigint, best_signal_dbm, sightings, ST_X(geom), ST_Y(geom)
FROM aps WHERE ST_Intersects(geom, ST_MakeEnvelope($1, $2, $3, $4, 4326))
ORDER BY best_signal_dbm DESC LIMIT $5
)SQL", 5, nullptr, values, nullptr, nullptr, 0));
    if (!r.ok()) {
        error = serverError();
        return std::nullopt;
    }
    std::vector<ArchivedAp> aps;
    aps.reserve(static_cast<std::size_t>(r.rows()));
    for (int i = 0; i < r.rows(); ++i) {
        ArchivedAp ap;
        ap.mac = r.text(i, 0);
        ap.ssid = r.text(i, 1);
        ap.flags = r.text(i, 2);
        ap.wep = r.text(i, 3);
        ap.mode = r.text(i, 4);
        ap.firstSeen = r.int64(i, 5);
        ap.lastSeen = r.int64(i, 6);
        ap.bestSignal = static_cast<float>(r.dbl(i, 7));
        ap.sightings = r.int64(i, 8);
        ap.located = true;
        ap.longitude = r.dbl(i, 9);
        ap.latitude = r.dbl(i, 10);
        aps.push_back(std::move(ap));
    }
    return aps;
}

std::optional<qint64> PgArchive::countIn(const GeoBox& box, QString& error)
{
    const QByteArray params[] = {QByteArray::number(box.minLon, 'g', 17), QByteArray::number(box.minLat, 'g', 17),
                                 QByteArray::number(box.maxLon, 'g', 17), QByteArray::number(box.maxLat, 'g', 17)};
    const char* values[] = {params[0].constData(), params[1].constData(), params[2].constData(), params[3].constData()};
    const Result r(PQexecParams(m_conn, "SELECT count(*) FROM aps WHERE ST_Intersects(geom, ST_MakeEnvelope($1, $2, $3, $4, 4326))",
                                4, nullptr, values, nullptr, nullptr, 0));
    if (!r.ok()) {
        error = serverError();
        return std::nullopt;
    }
    return r.int64(0, 0);
}

std::optional<ArchiveCounts> PgArchive::counts(QString& error)
{
    const Result r(PQexec(m_conn, "SELECT (SELECT count(*) FROM imports), (SELECT count(*) FROM observations), "
                                  "(SELECT count(*) FROM aps), (SELECT coalesce(sum(sightings), 0) FROM aps)"));
    if (!r.ok()) {
        error = serverError();
        return std::nullopt;
    }
    return ArchiveCounts{r.int64(0, 0), r.int64(0, 1), r.int64(0, 2), r.int64(0, 3)};
}

} // namespace aero::archive
