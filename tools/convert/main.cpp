// aeroplotter-convert: survey logs to the program's AP CSV and a KML map, without the window.
// The files are read in the order given, exactly as successive imports of the program fill its
// AP table, and the program's messages go to standard error.
#include "domain/ApCsv.h"
#include "domain/ApListExport.h"
#include "domain/ApMap.h"
#include "domain/ApPositions.h"
#include "domain/ApSymbols.h"
#include "domain/Geotag.h"
#include "domain/KmlWriter.h"
#include "domain/ProgramFolder.h"
#include "survey/SurveyTableImport.h"
#include "archive/ArchiveWork.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include "domain/CheckedSave.h"
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <optional>
#include <vector>

namespace {

using aero::import::SurveyFormat;

struct Input {
    SurveyFormat format;   // Unknown: told by content (--input)
    QString path;
};

struct Options {
    std::vector<Input> inputs;
    QString csv, kml, gpx, geojson, wigleCsv;
    QString position, track, clockOffset;
    QString archive, session, bbox;   // with an archive the inputs go there and the outputs come from it
    bool help = false;
    QString error;
};

const char* Usage =
    "Usage: aeroplotter-convert [--netstumbler FILE | --kismet FILE | --wigle FILE | --netxml FILE |\n"
    "                            --kismetdb FILE | --input FILE]...\n"
    "                           [--csv OUT] [--kml OUT] [--gpx OUT] [--geojson OUT] [--wigle-csv OUT]\n"
    "                           [--position strongest|weighted|trimmed] [--track FILE [--clock-offset SECONDS]]\n"
    "                           [--archive FILE.gpkg|postgresql://... [--session LABEL]\n"
    "                            [--bbox MINLON,MINLAT,MAXLON,MAXLAT]]\n"
    "\n"
    "Reads NetStumbler text summaries, Kismet .csv network logs, WiGLE CSV files, Kismet netxml\n"
    "logs (with the .gpsxml beside them, if any) and Kismet .kismet logs in the order given, as\n"
    "successive imports of Aeroplotter do (repeated MAC addresses dropped, repeated SSIDs\n"
    "numbered); --input tells the format from the file's content. Then writes the AP list as\n"
    "Aeroplotter's CSV, a KML map it opens, GPX 1.1 waypoints, GeoJSON and/or WiGLE CSV 1.6.\n"
    "A Kismet .csv log needs its .gps log beside it.\n"
    "--position places each AP from the sightings its log kept: at the strongest, at their\n"
    "signal-weighted centroid, or at that centroid without outlying sightings; each AP then gets\n"
    "the method and a radius in metres (position_method, uncertainty_m in GeoJSON).\n"
    "--track places the APs that have times but no position (a Kismet .csv, for one) from a GPX\n"
    "track or an NMEA log by time; --clock-offset is added to the log's times first.\n"
    "With --archive the inputs are added to a survey archive (a GeoPackage file, created when\n"
    "missing, or a PostGIS database), each file once, and the outputs hold the archive's APs inside\n"
    "--bbox (default: all), strongest first, up to the AP table's 100000.\n"
    "Exit code 0, or 1 when a file was refused,\n"
    "an import ended in an error or lines were skipped (the other files are still converted),\n"
    "2 for a usage error.\n";

Options parse(const QStringList& args)
{
    Options o;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            o.help = true;
            continue;
        }
        const std::pair<const char*, SurveyFormat> inputs[] = {
            {"--netstumbler", SurveyFormat::NetStumblerSummary}, {"--kismet", SurveyFormat::KismetCsv},
            {"--wigle", SurveyFormat::WigleCsv}, {"--netxml", SurveyFormat::KismetNetxml},
            {"--kismetdb", SurveyFormat::KismetDb}, {"--input", SurveyFormat::Unknown}};
        const std::pair<const char*, QString*> outputs[] = {
            {"--csv", &o.csv}, {"--kml", &o.kml}, {"--gpx", &o.gpx}, {"--geojson", &o.geojson}, {"--wigle-csv", &o.wigleCsv},
            {"--position", &o.position}, {"--track", &o.track}, {"--clock-offset", &o.clockOffset},
            {"--archive", &o.archive}, {"--session", &o.session}, {"--bbox", &o.bbox}};
        const auto input = std::find_if(std::begin(inputs), std::end(inputs), [&](const auto& p) { return a == QLatin1String(p.first); });
        const auto output = std::find_if(std::begin(outputs), std::end(outputs), [&](const auto& p) { return a == QLatin1String(p.first); });
        if (input == std::end(inputs) && output == std::end(outputs)) {
            o.error = QStringLiteral("unknown argument: ") + a;
            return o;
        }
        if (i + 1 >= args.size()) {
            o.error = a + QStringLiteral(" needs a file name");
            return o;
        }
        const QString value = args[++i];
        if (input != std::end(inputs))
            o.inputs.push_back({input->second, value});
        else
            *output->second = value;
    }
    aero::archive::GeoBox box;
    if (!o.bbox.isEmpty() && !aero::archive::parseGeoBox(o.bbox, box))
        o.error = QStringLiteral("--bbox needs four numbers: minlon,minlat,maxlon,maxlat");
    else if (!o.help && o.inputs.empty() && o.archive.isEmpty())
        o.error = QStringLiteral("no input files");
    bool number = true;
    constexpr double MaxOffsetSeconds = 10.0 * 366 * 86400;   // a clock off by more is no clock
    if (!o.clockOffset.isEmpty() && std::abs(o.clockOffset.toDouble(&number)) > MaxOffsetSeconds)
        number = false;
    if (!number)
        o.error = QStringLiteral("--clock-offset needs a number of seconds (at most ten years)");
    if (!o.position.isEmpty() && !aero::position::methodFromName(o.position))
        o.error = QStringLiteral("--position is strongest, weighted or trimmed");
    return o;
}

void say(const QString& text)
{
    std::fprintf(stderr, "aeroplotter-convert: %s\n", qPrintable(text));
}

void report(const aero::AppError& e)
{
    say(QStringLiteral("%1 (error %2)").arg(e.description).arg(e.code));
}

// One file into the table, as the program's import of it; false when it was refused, its
// import ended in an error or it was not read whole.
bool convert(Input in, aero::APList& table)
{
    using aero::import::SurveyStatus;
    if (in.format == SurveyFormat::Unknown) {
        in.format = aero::import::detectSurveyFile(in.path);
        if (in.format == SurveyFormat::Unknown) {
            say(QStringLiteral("The file %1 is not a survey log Aeroplotter can read.").arg(in.path));
            return false;
        }
    }
    if (!QFileInfo(in.path).isFile()) {
        report(aero::AppError(aero::errors::FileNotFound, QStringLiteral("File not found: ") + in.path));
        return false;
    }
    const aero::import::SurveyImport r = aero::import::importSurvey(table, in.format, in.path);
    if (r.refused()) {
        say(r.status == SurveyStatus::NoGpsLog ? r.detail
                                               : QString::fromLatin1(aero::import::surveyPolicy(in.format)->notThisKind));
        return false;
    }
    if (r.status == SurveyStatus::ReadError && r.added == 0 && r.repeatedMacs == 0) {
        report(aero::AppError(aero::errors::FileNotFound, QStringLiteral("Could not read ") + in.path + QStringLiteral(": ") + r.detail));
        return false;
    }
    std::fprintf(stderr, "aeroplotter-convert: %s: %s, %d added, %d repeated MACs dropped, %lld lines skipped, "
                         "%lld records of other kinds left out\n",
                 qPrintable(in.path), qPrintable(aero::import::surveyFormatName(in.format)), r.added, r.repeatedMacs,
                 static_cast<long long>(r.skipped), static_cast<long long>(r.otherKinds));
    if (r.status == SurveyStatus::Damaged || r.status == SurveyStatus::ReadError)
        say(QStringLiteral("%1: damaged or cut short: %2").arg(in.path, r.detail));
    if (!r.vendorsMissing.isEmpty())
        say(r.vendorsMissing);
    if (r.error) {
        report(*r.error);
        return false;
    }
    return r.complete();
}

// APs with times but no position, placed from the track; false when the track cannot be used.
bool placeByTrack(const QString& path, qint64 clockOffsetMs, aero::APList& table)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        report(aero::AppError(aero::errors::FileNotFound, QStringLiteral("File not found: ") + path));
        return false;
    }
    const aero::track::TrackContents c = aero::track::readTrack(file);
    if (c.status != aero::track::TrackStatus::Ok)
        say(aero::track::trackMessage(c, path));
    if (c.track.isEmpty())
        return false;
    const aero::track::GeotagResult r = aero::track::placeByTrack(table, c.track, clockOffsetMs);
    std::fprintf(stderr, "aeroplotter-convert: %s: %d placed by time, %d outside the track's time span left unplaced, "
                         "%d without times left unplaced, %lld track points skipped\n",
                 qPrintable(path), r.placed, r.outsideTrack, r.withoutTimes, static_cast<long long>(c.skipped));
    return c.status == aero::track::TrackStatus::Ok;
}

bool writeList(const QString& path, const aero::APList& table, aero::ApListFormat format)
{
    const aero::SaveResult saved = aero::saveApList(table, path, format);
    if (!saved)
        std::fprintf(stderr, "aeroplotter-convert: %s: %s\n", qPrintable(path), qPrintable(saved.error));
    else if (const qint64 unplaced = aero::unplacedApCount(table, format); unplaced > 0)
        say(QStringLiteral("%1 access points without a position were left out of %2: the format needs one.").arg(unplaced).arg(path));
    return saved.ok;
}

// The map the program would show after these imports, with its AP symbols from the program's
// folder.
bool writeKml(const QString& path, const aero::APList& table)
{
    QStringList symbols;
    const QDir folder(aero::programFolder());
    for (const QString& file : aero::customSymbolFiles())
        symbols << folder.filePath(file);
    const aero::MapFileData map = aero::tableMapFile(table, symbols);
    const aero::SaveResult saved = aero::saveChecked(path, [&map](QIODevice& out) { return aero::writeKml(map, out); });
    if (!saved)
        std::fprintf(stderr, "aeroplotter-convert: %s: %s\n", qPrintable(path), qPrintable(saved.error));
    return saved.ok;
}

// The inputs into the archive, then its region into the table the outputs are written from.
// False when a file did not go in whole or the region did not fit; nullopt when the archive
// could not be read, so there is nothing to write.
std::optional<bool> fromArchive(const Options& o, aero::APList& table)
{
    QString error;
    const auto store = aero::archive::openArchive(o.archive, error);
    if (!store) {
        say(error);
        return std::nullopt;
    }
    bool ok = true;
    for (const Input& in : o.inputs) {
        const aero::archive::ArchivedFile done = aero::archive::archiveSurveyFile(*store, in.path, o.session, in.format);
        say(done.message);
        ok = done.ok && ok;
    }
    aero::archive::GeoBox box;
    aero::archive::parseGeoBox(o.bbox, box);
    if (o.csv.isEmpty() && o.kml.isEmpty() && o.gpx.isEmpty() && o.geojson.isEmpty() && o.wigleCsv.isEmpty())
        return ok;
    const aero::archive::RegionLoad region = aero::archive::loadRegion(*store, box, table);
    if (!region.error.isEmpty()) {
        say(QStringLiteral("Could not read the archive: ") + region.error);
        return std::nullopt;
    }
    if (region.leftOut > 0) {
        say(QStringLiteral("%1 APs lie in the region; the strongest %2 were written, %3 did not fit in the AP table.")
                .arg(region.inRegion).arg(region.added).arg(region.leftOut));
        return false;
    }
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const Options o = parse(args);
    if (o.help) {
        std::fputs(Usage, stdout);
        return 0;
    }
    if (!o.error.isEmpty()) {
        std::fprintf(stderr, "aeroplotter-convert: %s\n%s", qPrintable(o.error), Usage);
        return 2;
    }
    QCoreApplication app(argc, argv);
    aero::APList table;
    bool ok = true;
    if (o.archive.isEmpty()) {
        for (const Input& in : o.inputs)
            ok = convert(in, table) && ok;
    } else {
        const std::optional<bool> archived = fromArchive(o, table);
        if (!archived)
            return 1;
        ok = *archived;
    }
    if (const auto method = aero::position::methodFromName(o.position))
        aero::position::reestimatePositions(table, *method);
    if (!o.track.isEmpty())
        ok = placeByTrack(o.track, qRound64(o.clockOffset.toDouble() * 1000.0), table) && ok;
    const std::pair<QString, aero::ApListFormat> lists[] = {{o.csv, aero::ApListFormat::ProgramCsv},
                                                            {o.gpx, aero::ApListFormat::Gpx},
                                                            {o.geojson, aero::ApListFormat::GeoJson},
                                                            {o.wigleCsv, aero::ApListFormat::WigleCsv}};
    for (const auto& [path, format] : lists)
        if (!path.isEmpty() && !writeList(path, table, format)) {
            std::fprintf(stderr, "aeroplotter-convert: could not write %s\n", qPrintable(path));
            ok = false;
        }
    if (!o.kml.isEmpty() && !writeKml(o.kml, table)) {
        std::fprintf(stderr, "aeroplotter-convert: could not write %s\n", qPrintable(o.kml));
        ok = false;
    }
    return ok ? 0 : 1;
}
