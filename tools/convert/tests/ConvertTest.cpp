// aeroplotter-convert run as a real process, against a golden CSV and against the program's
// own imports followed by Save CSV.
#include "../../../app/tests/ProgramFixture.h"

#include "domain/PositionEstimate.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <algorithm>

namespace aero::testing {
namespace {

struct ToolRun {
    int exitCode = -1;
    QByteArray out, err;
};

ToolRun convert(const QStringList& args)
{
    QProcess p;
    p.start(testing_support::binDir() + "/aeroplotter-convert", args);
    p.waitForFinished(60000);
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

QString example(const char* name) { return testing_support::sourceDir() + "/examples/" + name; }

using ConvertTest = ProgramFixture;

TEST_F(ConvertTest, SampleSummaryMatchesTheGoldenCsv)
{
    const QString golden = testing_support::sourceDir() + "/tools/convert/tests/data/sample-summary.csv";
    const ToolRun r = convert({"--netstumbler", example("sample-summary.txt"), "--csv", path("out.csv")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QByteArray got = testing_support::readFile(path("out.csv"));
    if (qEnvironmentVariableIsSet("AEROPLOTTER_REGENERATE"))
        testing_support::writeFile(golden, got);
    const QByteArray want = testing_support::readFile(golden);
    const QList<QByteArray> gotLines = got.split('\n'), wantLines = want.split('\n');
    ASSERT_EQ(gotLines.size(), wantLines.size());
    for (qsizetype i = 0; i < wantLines.size(); ++i)
        ASSERT_EQ(gotLines[i], wantLines[i]) << "line " << i + 1;
    EXPECT_GT(wantLines.size(), 200);
}

TEST_F(ConvertTest, CsvIsByteIdenticalToTheProgramsImportsThenSaveCsv)
{
    const ToolRun r = convert({"--netstumbler", example("sample-summary.txt"), "--kismet", example("kismet-sample.csv"),
                           "--netstumbler", example("sample-summary.txt"), "--csv", path("tool.csv"), "--kml",
                           path("tool.kml")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();

    newMap();
    importSummary(example("sample-summary.txt"));
    dialogs.files = {example("kismet-sample.csv")};
    window().tbMain_ButtonMenuClick(entries::ImportKismet);
    importSummary(example("sample-summary.txt"));
    dialogs.files = {path("program.csv")};
    window().tbMain_ButtonClick("Save CSV");
    EXPECT_EQ(testing_support::readFile(path("tool.csv")), testing_support::readFile(path("program.csv")));

    MapControl opened;
    opened.OpenMapFile(path("tool.kml"));
    EXPECT_EQ(opened.markerCount(), map().markerCount());
    EXPECT_EQ(opened.SymbolCount(), 345);
}

TEST_F(ConvertTest, RefusedFileGivesExitOneAndTheRestIsStillConverted)
{
    const QString bad = file("bad.txt", "just some text\r\n");
    const QString kismetNoGps = file("lonely.csv", "Network;NetType;ESSID;BSSID;Encryption;\n");
    const ToolRun r = convert({"--netstumbler", bad, "--kismet", kismetNoGps, "--netstumbler", example("sample-summary.txt"),
                           "--csv", path("out.csv")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("The file selected is not a NetStumbler summary.")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("A matching Kismet GPS log file could not be found, aborting import."));
    EXPECT_GT(testing_support::readFile(path("out.csv")).count('\n'), 200);
}

TEST_F(ConvertTest, HelpAndUsageErrors)
{
    const ToolRun help = convert({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: aeroplotter-convert"));
    EXPECT_EQ(convert({}).exitCode, 2);
    EXPECT_EQ(convert({"--csv"}).exitCode, 2);
    EXPECT_EQ(convert({"--bogus", "x"}).exitCode, 2);
}

TEST_F(ConvertTest, TodaysLogsByContentGiveTheProgramsTableInEveryOutput)
{
    const QString data = testing_support::sourceDir() + "/app/domain/tests/data/";
    const ToolRun r = convert({"--input", data + "survey.kismet", "--input", data + "survey-wigle.csv", "--netxml",
                               data + "survey.netxml", "--csv", path("tool.csv"), "--gpx", path("t.gpx"), "--geojson",
                               path("t.geojson"), "--wigle-csv", path("t.csv")});
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();   // the WiGLE file has two unreadable rows
    EXPECT_TRUE(r.err.contains("survey-wigle.csv: WiGLE CSV, 0 added, 8 repeated MACs dropped, 2 lines skipped, "
                               "4 records of other kinds left out"))
        << r.err.toStdString();

    newMap();
    dialogs.files = {data + "survey.kismet"};
    window().tbMain_ButtonMenuClick(buttons::Import, 5);
    dialogs.files = {path("program.csv")};
    window().tbMain_ButtonClick("Save CSV");
    EXPECT_EQ(testing_support::readFile(path("tool.csv")), testing_support::readFile(path("program.csv")));
    EXPECT_EQ(testing_support::readFile(path("t.gpx")).count("<wpt "), 8);
    EXPECT_EQ(testing_support::readFile(path("t.geojson")).count("\"Feature\""), 8);
    EXPECT_TRUE(testing_support::readFile(path("t.csv")).startsWith("WigleWifi-1.6,"));
    EXPECT_EQ(convert({"--input", data + "README.md"}).exitCode, 1);
}

} // namespace
} // namespace aero::testing

namespace aero::testing {
namespace {

// Median distance (m) from each GeoJSON feature to the truth of examples/make-drive.py.
double medianError(const QString& geojson, const QString& truthCsv, int* withRadius)
{
    QHash<QString, std::pair<double, double>> truth;
    for (const QByteArray& line : testing_support::readFile(truthCsv).split('\n')) {
        const QList<QByteArray> f = line.split(',');
        if (f.size() >= 3)
            truth.insert(QString::fromLatin1(f[0]), {f[1].toDouble(), f[2].toDouble()});
    }
    std::vector<double> errors;
    *withRadius = 0;
    const QJsonArray features = QJsonDocument::fromJson(testing_support::readFile(geojson))["features"].toArray();
    for (const QJsonValue& f : features) {
        const QJsonObject p = f["properties"].toObject();
        const auto t = truth.constFind(p["MAC"].toString());
        if (t == truth.cend())
            continue;
        errors.push_back(position::metresBetween(p["Latitude"].toDouble(), p["Longitude"].toDouble(), t->first, t->second));
        *withRadius += p.contains("uncertainty_m") && p.contains("position_method") ? 1 : 0;
    }
    std::sort(errors.begin(), errors.end());
    return errors.empty() ? 0.0 : errors[errors.size() / 2];
}

TEST_F(ConvertTest, SimulatedDrivesArePlacedByMethodAndByTrack)
{
    QProcess sim;
    sim.start(QStringLiteral("python3"), {example("make-drive.py"), path("drives"), "--scale", "0.5"});
    ASSERT_TRUE(sim.waitForFinished(60000) && sim.exitCode() == 0) << sim.readAllStandardError().toStdString();
    for (const char* drive : {"town", "suburb"}) {
        SCOPED_TRACE(drive);
        const QString base = path("drives") + "/" + drive;
        double median[2] = {};
        int placed[2] = {};
        for (int i = 0; i < 2; ++i) {
            const ToolRun r = convert({"--wigle", base + "-wigle.csv", "--position", i ? "weighted" : "strongest",
                                       "--geojson", path("out.geojson")});
            ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
            median[i] = medianError(path("out.geojson"), base + "-truth.csv", &placed[i]);
        }
        EXPECT_GT(placed[0], 10) << "every AP carries its method and radius";
        EXPECT_EQ(placed[0], placed[1]);
        EXPECT_LE(median[1], 0.7 * median[0]) << "the weighted centroid beats the strongest sighting";
    }
    const QString town = path("drives") + "/town";
    const ToolRun onTime = convert({"--kismet", town + ".csv", "--track", town + ".gpx", "--csv", path("t.csv")});
    EXPECT_EQ(onTime.exitCode, 0) << onTime.err.toStdString();
    EXPECT_TRUE(onTime.err.contains("27 placed by time, 0 outside")) << onTime.err.toStdString();
    const ToolRun dayOff = convert({"--kismet", town + ".csv", "--track", town + ".gpx", "--clock-offset", "86400", "--csv", path("t.csv")});
    EXPECT_TRUE(dayOff.err.contains("0 placed by time, 27 outside the track's time span")) << dayOff.err.toStdString();
    EXPECT_EQ(convert({"--kismet", town + ".csv", "--clock-offset", "soon"}).exitCode, 2);
}

} // namespace
} // namespace aero::testing
