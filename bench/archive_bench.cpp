// bench_archive [--observations N] [--aps M] [--files F] [--keep DIR]
// Writes N sightings of M APs (a 0.5 degree square, about a city and its suburbs) as F survey
// files, then times, in one run:
//   - the GeoPackage archive importing them, against ogr2ogr writing the same rows to a GeoPackage;
//   - the PostGIS archive importing them, against a plain COPY of the same rows (the limit);
//   - the street-view query (a 1 km square, APs with their fields) on each archive.
// Peak memory: this process's (everything of ours runs in it) and ogr2ogr's (through GNU time). CPU time "here"
// is this process's (or ogr2ogr's); the PostgreSQL server's own work shows only in wall time.
#include "archive/ArchiveStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <libpq-fe.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <random>

using namespace aero::archive;

namespace {

struct Config {
    qint64 observations = 1000000;
    qint64 aps = 100000;
    int files = 10;
};

constexpr double West = 2.1, South = 48.6, Side = 0.5;   // degrees

// The rows of file `f`: sightings of random APs near each AP's own spot.
std::vector<ObservationRow> surveyFile(const Config& c, int f)
{
    std::mt19937_64 rng(static_cast<quint64>(f) * 7919 + 1);
    std::uniform_int_distribution<qint64> ap(0, c.aps - 1);
    std::uniform_real_distribution<double> jitter(-0.0004, 0.0004);
    std::uniform_real_distribution<float> signal(-95.0f, -35.0f);
    const qint64 n = c.observations / c.files;
    std::vector<ObservationRow> rows;
    rows.reserve(static_cast<std::size_t>(n));
    for (qint64 i = 0; i < n; ++i) {
        const qint64 a = ap(rng);
        std::mt19937_64 spot(static_cast<quint64>(a));   // the AP's own place, the same in every file
        ObservationRow r;
        r.mac = QString::asprintf("02:%02X:%02X:%02X:%02X:00", int((a >> 24) & 0xff), int((a >> 16) & 0xff),
                                  int((a >> 8) & 0xff), int(a & 0xff));
        r.ssid = QStringLiteral("net%1").arg(a % 5000);
        r.flags = QStringLiteral("0011");
        r.wep = QStringLiteral("1");
        r.mode = QStringLiteral("1");
        r.channel = static_cast<int>(1 + a % 11);
        r.signal = signal(rng);
        r.located = true;
        r.longitude = West + Side * (static_cast<double>(spot() % 1000000) / 1e6) + jitter(rng);
        r.latitude = South + Side * (static_cast<double>(spot() % 1000000) / 1e6) + jitter(rng);
        r.time = 1700000000000 + f * 86400000LL + i * 100;
        rows.push_back(std::move(r));
    }
    return rows;
}

ArchiveSource sourceOf(int f)
{
    return {QStringLiteral("survey-%1").arg(f), QStringLiteral("bench-%1").arg(f), QStringLiteral("WiGLE CSV"),
            QStringLiteral("bench"), QDateTime::currentDateTimeUtc()};
}

// CPU seconds of this process (ours) or of its waited-for children (ogr2ogr): on a shared
// machine wall time mostly measures the neighbours.
double cpuSeconds(int who)
{
    rusage u{};
    getrusage(who, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void line(const char* name, double wall, double cpu, qint64 rows)
{
    std::printf("%-38s %7.1f s wall %9.0f rows/s | %7.1f s CPU here %9.0f rows/s\n", name, wall,
                static_cast<double>(rows) / wall, cpu, static_cast<double>(rows) / cpu);
    std::fflush(stdout);
}

long peakKb(int who)
{
    rusage u{};
    getrusage(who, &u);
    return u.ru_maxrss;
}

double importAll(ArchiveStore& store, const Config& c, const char* name)
{
    QElapsedTimer t;
    t.start();
    qint64 generating = 0;
    double generatingCpu = 0, cpu = cpuSeconds(RUSAGE_SELF);
    for (int f = 0; f < c.files; ++f) {
        QElapsedTimer g;
        g.start();
        const double g0 = cpuSeconds(RUSAGE_SELF);
        const auto rows = surveyFile(c, f);
        generating += g.elapsed();
        generatingCpu += cpuSeconds(RUSAGE_SELF) - g0;
        const ArchiveImport r = store.importRows(sourceOf(f), rows);
        if (!r.ok()) {
            std::fprintf(stderr, "%s: %s\n", name, qPrintable(r.message));
            return -1;
        }
    }
    const double s = static_cast<double>(t.elapsed() - generating) / 1000.0;
    line(name, s, cpuSeconds(RUSAGE_SELF) - cpu - generatingCpu, c.observations);
    return s;
}

// The same rows as one CSV for ogr2ogr, and as COPY text for the COPY limit; written untimed.
void writeFlat(const Config& c, const QString& csvPath, const QString& copyPath)
{
    QFile csv(csvPath), copy(copyPath);
    if (!csv.open(QIODevice::WriteOnly) || !copy.open(QIODevice::WriteOnly))
        return;
    csv.write("mac,ssid,flags,wep,mode,channel,signal_dbm,seen_at,lon,lat\n");
    for (int f = 0; f < c.files; ++f)
        for (const ObservationRow& r : surveyFile(c, f)) {
            const QByteArray lon = QByteArray::number(r.longitude, 'g', 17), lat = QByteArray::number(r.latitude, 'g', 17);
            const QByteArray common = r.mac.toLatin1() + ',' + r.ssid.toLatin1() + ',' + r.flags.toLatin1() + ',' + r.wep.toLatin1()
                                    + ',' + r.mode.toLatin1() + ',' + QByteArray::number(r.channel) + ','
                                    + QByteArray::number(r.signal) + ',' + isoTime(r.time).toLatin1();
            csv.write(common + ',' + lon + ',' + lat + '\n');
            QByteArray line = "SRID=4326;POINT(" + lon + ' ' + lat + ")\t" + common + '\n';
            line.replace(',', '\t');
            copy.write(line);
        }
}

double timeProcess(const QString& program, const QStringList& args, const char* name, qint64 rows)
{
    QElapsedTimer t;
    t.start();
    const double cpu = cpuSeconds(RUSAGE_CHILDREN);
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // GNU time tells the tool's own peak memory (a forked child's counter starts at ours).
    if (QFile::exists(QStringLiteral("/usr/bin/time")))
        p.start(QStringLiteral("/usr/bin/time"), QStringList{QStringLiteral("-f"), QStringLiteral("peak memory of the tool: %M KB"), program} + args);
    else
        p.start(program, args);
    if (!p.waitForFinished(-1) || p.exitCode() != 0) {
        std::fprintf(stderr, "%s failed\n", name);
        return -1;
    }
    const double s = static_cast<double>(t.elapsed()) / 1000.0;
    line(name, s, cpuSeconds(RUSAGE_CHILDREN) - cpu, rows);
    return s;
}

void streetView(ArchiveStore& store, const char* name)
{
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> at(0.0, Side - 0.012);
    std::vector<double> ms;
    std::size_t found = 0;
    for (int i = 0; i < 50; ++i) {
        const double lon = West + at(rng), lat = South + at(rng);
        const GeoBox box{lon, lat, lon + 0.0136, lat + 0.009};   // about 1 km square at 48.8 degrees north
        QElapsedTimer t;
        t.start();
        QString error;
        const auto aps = store.apsIn(box, 100000, error);
        ms.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
        found += aps ? aps->size() : 0;
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-34s median %6.2f ms, slowest %6.2f ms, %zu APs per view\n", name, ms[ms.size() / 2], ms.back(),
                found / ms.size());
    std::fflush(stdout);
}

QString cluster(const char* command, const QString& dir, int port)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    p.start(QStringLiteral(AERO_PG_SCRIPT), {QString::fromLatin1(command), dir, QString::number(port)});
    p.waitForFinished(-1);
    return p.exitCode() == 0 ? QString() : QStringLiteral("the cluster script failed");
}

bool copyLimit(const QString& uri, const QString& copyPath, qint64 rows)
{
    PGconn* conn = PQconnectdb(uri.toUtf8().constData());
    const auto sql = [&](const char* text) {
        PGresult* r = PQexec(conn, text);
        const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
        PQclear(r);
        return ok;
    };
    bool ok = sql("CREATE TABLE copy_limit (geom geometry(Point, 4326), mac text, ssid text, flags text, wep text, "
                  "mode text, channel integer, signal_dbm real, seen_at timestamptz)");
    QFile in(copyPath);
    ok = ok && in.open(QIODevice::ReadOnly);
    QElapsedTimer t;
    t.start();
    const double cpu = cpuSeconds(RUSAGE_SELF);
    PGresult* start = PQexec(conn, "COPY copy_limit FROM STDIN");
    ok = ok && PQresultStatus(start) == PGRES_COPY_IN;
    PQclear(start);
    while (ok && !in.atEnd()) {
        const QByteArray chunk = in.read(1 << 20);
        ok = PQputCopyData(conn, chunk.constData(), static_cast<int>(chunk.size())) == 1;
    }
    ok = PQputCopyEnd(conn, nullptr) == 1 && ok;
    while (PGresult* r = PQgetResult(conn)) {
        ok = ok && PQresultStatus(r) == PGRES_COMMAND_OK;
        PQclear(r);
    }
    PQfinish(conn);
    line("plain COPY (no index, no merge)", static_cast<double>(t.elapsed()) / 1000.0, cpuSeconds(RUSAGE_SELF) - cpu, rows);
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    Config c;
    QString keep;
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--observations"))
            c.observations = args[i + 1].toLongLong();
        else if (args[i] == QLatin1String("--aps"))
            c.aps = args[i + 1].toLongLong();
        else if (args[i] == QLatin1String("--files"))
            c.files = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--keep"))
            keep = args[i + 1];
    }
    QTemporaryDir tmp;
    const QString dir = keep.isEmpty() ? tmp.path() : keep;
    std::printf("%lld observations of %lld APs in %d files\n", static_cast<long long>(c.observations),
                static_cast<long long>(c.aps), c.files);

    QString error;
    {
        const auto gpkg = openArchive(dir + QStringLiteral("/archive.gpkg"), error);
        if (!gpkg || importAll(*gpkg, c, "GeoPackage archive import") < 0)
            return 1;
        streetView(*gpkg, "GeoPackage street view (1 km^2)");
    }
    std::printf("peak memory of this process so far: %ld MB\n", peakKb(RUSAGE_SELF) / 1024);

    const QString csv = dir + QStringLiteral("/rows.csv"), copy = dir + QStringLiteral("/rows.copy");
    writeFlat(c, csv, copy);
    const QString ogr2ogr = QStandardPaths::findExecutable(QStringLiteral("ogr2ogr"));
    if (ogr2ogr.isEmpty())
        std::printf("ogr2ogr not installed: no GDAL comparison\n");
    else
        timeProcess(ogr2ogr,
                    {QStringLiteral("-f"), QStringLiteral("GPKG"), dir + QStringLiteral("/ogr.gpkg"), csv, QStringLiteral("-oo"),
                     QStringLiteral("X_POSSIBLE_NAMES=lon"), QStringLiteral("-oo"), QStringLiteral("Y_POSSIBLE_NAMES=lat"),
                     QStringLiteral("-a_srs"), QStringLiteral("EPSG:4326"), QStringLiteral("-nln"), QStringLiteral("observations"),
                     QStringLiteral("-gt"), QStringLiteral("65536")},
                    "ogr2ogr CSV -> GeoPackage (no merge)", c.observations);

    const int port = 30000 + static_cast<int>(QCoreApplication::applicationPid() % 20000);
    const QString pgDir = QStringLiteral("/tmp/aeroplotter-bench-pg-%1").arg(port);
    if (!cluster("start", pgDir, port).isEmpty())
        return 1;
    const QString uri = QStringLiteral("postgresql://postgres@/postgres?host=%1&port=%2").arg(pgDir).arg(port);
    {
        const auto pg = openArchive(uri, error);
        if (!pg) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
        } else if (importAll(*pg, c, "PostGIS archive import") >= 0) {
            streetView(*pg, "PostGIS street view (1 km^2)");
            copyLimit(uri, copy, c.observations);
        }
    }
    cluster("stop", pgDir, port);
    std::printf("peak memory of this process: %ld MB\n", peakKb(RUSAGE_SELF) / 1024);
    return 0;
}
