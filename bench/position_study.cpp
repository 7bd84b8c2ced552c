// The study behind the position methods: runs every method over the simulated drives of
// examples/make-drive.py and prints, per drive and method, the median and 90th-percentile error
// against the truth and the share of APs whose true position lies inside the stated radius;
// then places the drive's Kismet .csv from its GPX track by time.
//
//   examples/make-drive.py /tmp/drives && build/bin/position_study /tmp/drives
#include "domain/Geotag.h"
#include "domain/PositionEstimate.h"
#include "domain/TableImport.h"
#include "domain/WigleCsv.h"

#include <QFile>
#include <QHash>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace aero;

namespace {

struct Truth {
    double latitude = 0.0;
    double longitude = 0.0;
};

QHash<QString, Truth> readTruth(const QString& path)
{
    QHash<QString, Truth> out;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return out;
    f.readLine();
    while (!f.atEnd()) {
        const QStringList p = QString::fromLatin1(f.readLine()).trimmed().split(QLatin1Char(','));
        if (p.size() >= 3)
            out.insert(p[0], {p[1].toDouble(), p[2].toDouble()});
    }
    return out;
}

double quantile(std::vector<double> v, double q)
{
    if (v.empty())
        return 0.0;
    std::sort(v.begin(), v.end());
    return v[static_cast<std::size_t>(q * static_cast<double>(v.size() - 1) + 0.5)];
}

void estimators(const QString& dir, const QString& drive, std::vector<double>* ratios)
{
    const QHash<QString, Truth> truth = readTruth(dir + QLatin1Char('/') + drive + QStringLiteral("-truth.csv"));
    QFile file(dir + QLatin1Char('/') + drive + QStringLiteral("-wigle.csv"));
    if (!file.open(QIODevice::ReadOnly)) {
        std::printf("%s: cannot read %s\n", qPrintable(drive), qPrintable(file.fileName()));
        return;
    }
    const import::SurveyContents c = import::readWigleCsv(file);
    for (position::Method m : {position::Method::Strongest, position::Method::Weighted, position::Method::Trimmed}) {
        std::vector<double> errors;
        int inside = 0;
        for (std::size_t i = 0; i < c.records.size(); ++i) {
            const auto t = truth.constFind(c.records[i].MAC);
            const auto e = position::estimate(c.observed[i].located, m);
            if (t == truth.cend() || !e)
                continue;
            const double err = position::metresBetween(e->latitude, e->longitude, t->latitude, t->longitude);
            errors.push_back(err);
            inside += err <= e->uncertaintyM ? 1 : 0;
            ratios[static_cast<int>(m)].push_back(err / e->uncertaintyM);
        }
        std::printf("| %-7s | %-9s | %4zu | %7.1f | %7.1f | %5.0f %% |\n", qPrintable(drive),
                    qPrintable(position::methodName(m)), errors.size(), quantile(errors, 0.5), quantile(errors, 0.9),
                    errors.empty() ? 0.0 : 100.0 * inside / static_cast<double>(errors.size()));
    }
}

// The drive's Kismet .csv (no positions) placed from its GPX track by first and last seen.
bool geotag(const QString& dir, const QString& drive)
{
    const QString base = dir + QLatin1Char('/') + drive;
    const QHash<QString, Truth> truth = readTruth(base + QStringLiteral("-truth.csv"));
    QFile csv(base + QStringLiteral(".csv")), gpx(base + QStringLiteral(".gpx"));
    if (!csv.open(QIODevice::ReadOnly) || !gpx.open(QIODevice::ReadOnly))
        return false;
    APList table;
    import::appendSurvey(table, import::readKismetCsvSurvey(csv), csv.fileName(), import::Repeats::Appended, false);
    const track::TrackContents t = track::readGpxTrack(gpx);
    const track::GeotagResult r = track::placeByTrack(table, t.track, 0);
    std::vector<double> errors;
    int inside = 0;
    for (int slot = 1; slot <= table.count(); ++slot) {
        const AccessPoint& ap = table.at(slot);
        const auto it = truth.constFind(ap.MAC);
        if (!ap.hasCoordinates() || it == truth.cend())
            continue;
        const double err = position::metresBetween(ap.Latitude, ap.Longitude, it->latitude, it->longitude);
        errors.push_back(err);
        inside += err <= table.observation(slot).uncertaintyM ? 1 : 0;
    }
    std::printf("| %-7s | %4d | %5.0f %% | %7.1f | %7.1f | %5.0f %% |\n", qPrintable(drive), table.count(),
                100.0 * r.placed / std::max(1, table.count()), quantile(errors, 0.5), quantile(errors, 0.9),
                errors.empty() ? 0.0 : 100.0 * inside / static_cast<double>(errors.size()));
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: position_study DIR   (DIR written by examples/make-drive.py)\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    std::vector<double> ratios[3];
    std::printf("| drive   | method    |  APs | median m | p90 m | inside radius |\n|---|---|---|---|---|---|\n");
    for (const char* drive : {"town", "suburb", "highway"})
        estimators(dir, QString::fromLatin1(drive), ratios);
    std::printf("\nradius scale that would put 68 %% inside (1 = as calibrated):");
    for (const auto& r : ratios)
        std::printf(" %.2f", quantile(r, 0.68));
    std::printf("\n\n");
    std::printf("| drive   |  APs | placed | median m | p90 m | inside radius |\n|---|---|---|---|---|---|\n");
    bool ok = true;
    for (const char* drive : {"town", "suburb", "highway"})
        ok = geotag(dir, QString::fromLatin1(drive)) && ok;
    return ok ? 0 : 1;
}
