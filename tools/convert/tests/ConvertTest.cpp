// aeroplotter-convert run as a real process, against a golden CSV and against the program's
// own imports followed by Save CSV.
#include "../../../app/tests/ProgramFixture.h"

#include <QProcess>

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
