// navlet-tool run as a real process against the simulator.
#include "SimProcess.h"
#include "TempDir.h"

#include "navlet/NavletBytes.h"
#include "navlet/RecordJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

using namespace navlet;
using namespace navlet_test;

namespace {

std::vector<QJsonObject> jsonLines(const QByteArray& out)
{
    std::vector<QJsonObject> lines;
    for (const QByteArray& line : out.split('\n'))
        if (!line.isEmpty())
            lines.push_back(QJsonDocument::fromJson(line).object());
    return lines;
}

ToolRun tool(const SimProcess& sim, QStringList args)
{
    return runProgram("navlet-tool", QStringList{"--device", sim.devicePath()} + args);
}

TEST(Tool, ProductPrintsProductDataAndCapabilitiesByPropertyName)
{
    SimProcess sim(handheldScenario("L002"));
    const ToolRun run = tool(sim, {"product"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const auto lines = jsonLines(run.out);
    ASSERT_EQ(lines.size(), 1u);
    const QJsonObject o = lines[0];
    EXPECT_EQ(o.value("Product_Data").toObject().value("Product_ID").toInt(), 901);
    EXPECT_EQ(o.value("Product_Data").toObject().value("Product_Description_1").toString(), "Handheld L002");
    EXPECT_EQ(o.value("Link_Protocol").toString(), "L002");
    EXPECT_EQ(o.value("Waypoint_Data_Format").toString(), "D103");
    EXPECT_EQ(o.value("Track_Data_Format").toString(), "D300");
    EXPECT_EQ(o.value("PID_Wpt_Data").toInt(), 43);
}

TEST(Tool, TracksAsJsonLines)
{
    SimProcess sim(withFaults(handheldScenario("L001"), 5, 7));
    const ToolRun run = tool(sim, {"tracks"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const auto lines = jsonLines(run.out);
    const auto expected = expectedPoints("L001");
    ASSERT_EQ(lines.size(), expected.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(lines[i].keys(), (QStringList{"Alt", "Dpth", "Lat", "Lon", "New_Segment", "Time"}));
        EXPECT_EQ(trackFromJson(lines[i]), expected[i]);
    }
}

// Segments of trkpt counts, and whether every point has a time and an elevation.
struct GpxSummary {
    QString version;
    std::vector<int> segments;
    bool timed = true;
    bool elevated = true;
    bool wellFormed = false;
};

GpxSummary readGpx(const QByteArray& bytes)
{
    GpxSummary s;
    QXmlStreamReader xml(bytes);
    bool hasTime = false, hasEle = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"gpx" && xml.namespaceUri() == u"http://www.topografix.com/GPX/1/1")
            s.version = xml.attributes().value("version").toString();
        if (xml.isStartElement() && xml.name() == u"trkseg")
            s.segments.push_back(0);
        if (xml.isStartElement() && xml.name() == u"trkpt") {
            ++s.segments.back();
            hasTime = hasEle = false;
        }
        if (xml.isStartElement() && xml.name() == u"time")
            hasTime = !xml.readElementText().isEmpty();
        if (xml.isStartElement() && xml.name() == u"ele")
            hasEle = true;
        if (xml.isEndElement() && xml.name() == u"trkpt") {
            s.timed = s.timed && hasTime;
            s.elevated = s.elevated && hasEle;
        }
    }
    s.wellFormed = !xml.hasError();
    return s;
}

TEST(Tool, TracksAsGpxWithOneSegmentPerLogSegment)
{
    struct Row { const char* link; bool elevated; };
    for (const Row r : {Row{"L001", true}, Row{"L002", false}}) {
        SCOPED_TRACE(r.link);
        SimProcess sim(handheldScenario(r.link));
        const QString gpx = sim.folder() + "/track.gpx";
        const ToolRun run = tool(sim, {"tracks", "--gpx", gpx});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const QByteArray bytes = testing_support::readFile(gpx);
        const GpxSummary s = readGpx(bytes);
        EXPECT_TRUE(s.wellFormed);
        EXPECT_EQ(s.version, "1.1");
        EXPECT_EQ(s.segments, (std::vector<int>{7, 5}));
        EXPECT_TRUE(s.timed);
        EXPECT_EQ(s.elevated, r.elevated) << "D300 points carry no altitude";
        EXPECT_TRUE(bytes.contains("<time>2003-05-17T14:03:09Z</time>"));
    }
}

TEST(Tool, WaypointsAsJsonLines)
{
    SimProcess sim(handheldScenario("L001"));
    const ToolRun run = tool(sim, {"waypoints"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const auto lines = jsonLines(run.out);
    const auto sent = scenarioWaypoints();
    ASSERT_EQ(lines.size(), sent.size());
    for (std::size_t i = 0; i < sent.size(); ++i)
        EXPECT_EQ(waypointFromJson(lines[i]), throughFormat(sent[i], "D108"));
}

QByteArray apList()
{
    return "\"SSID\",\"MAC\",Signal,Latitude,Longitude,\"Flags\"\r\n"
           "\"HomeNetwork\",\"00:11:22:33:44:55\",-60,52.37012,4.89521,\"0011\"\r\n"
           "\"homenetwork2\",\"00:11:22:33:44:56\",-70,52.371,-4.896,\"0001\"\r\n"
           "\"no position\",\"00:11:22:33:44:57\",-70,0,0,\"0001\"\n" // a bare LF ends a line too
           "\"Caf\xe9\"\"e, corner\",\"00:11:22:33:44:58\",-80,-52.372,4.897,\"0010\"\r\n"; // Windows-1252
}

TEST(Tool, UploadSendsTheListedAccessPointsAsWaypoints)
{
    SimProcess sim(withFaults(handheldScenario("L001"), 5, 7));
    const QString csv = testing_support::writeFile(sim.folder() + "/aps.csv", apList());
    const ToolRun run = tool(sim, {"upload", csv});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "Acknowledged 3 of 3 waypoints.\n");
    const auto events = sim.waitForEvents(4);
    ASSERT_EQ(events.size(), 4u);
    struct Expected { const char* ident; double lat; double lon; };
    const Expected expected[] = {{"HomeNe", 52.37012, 4.89521}, {"hom001", 52.371, -4.896}, {"Cafe\"e", -52.372, 4.897}}; // folded to ASCII
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const cWaypoint w = waypointFromJson(events[i].value("waypoint").toObject());
        EXPECT_EQ(w.Ident, expected[i].ident);
        EXPECT_EQ(w.Lat, semicirclesToDegrees(degreesToSemicircles(expected[i].lat)));
        EXPECT_EQ(w.Lon, semicirclesToDegrees(degreesToSemicircles(expected[i].lon)));
        EXPECT_EQ(w.Cmnt, "");
        EXPECT_EQ(w.Dspl, 1);
        EXPECT_EQ(w.Smbl, 16391);
        EXPECT_EQ(w.Attrib, 96);
    }
    EXPECT_EQ(events[3].value("event").toString(), "uploadComplete");
}

TEST(Tool, UploadNameLengthIsAnOption)
{
    struct Row { const char* link; const char* first; const char* second; };
    // D108 keeps long names; D103 keeps six capitals, so the names are made for six, in capitals.
    for (const Row r : {Row{"L001", "HomeNetw", "homen001"}, Row{"L002", "HOMENE", "HOM001"}}) {
        SCOPED_TRACE(r.link);
        SimProcess sim(handheldScenario(r.link));
        const QString csv = testing_support::writeFile(sim.folder() + "/aps.csv", apList());
        const ToolRun run = tool(sim, {"upload", csv, "--chars", "8"});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const auto events = sim.waitForEvents(4);
        ASSERT_GE(events.size(), 2u);
        EXPECT_EQ(events[0].value("waypoint").toObject().value("Ident").toString(), r.first);
        EXPECT_EQ(events[1].value("waypoint").toObject().value("Ident").toString(), r.second);
    }
}

TEST(Tool, UploadToAReceiverThatStopsAnsweringFails)
{
    // ACK, product, protocol array, ACK of the record count: then nothing.
    SimProcess sim(withFaults(handheldScenario("L001"), 0, 0, /*silentAfter=*/4));
    const QString csv = testing_support::writeFile(sim.folder() + "/aps.csv", apList());
    const ToolRun run = tool(sim, {"upload", csv});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_EQ(run.out, "Acknowledged 0 of 3 waypoints.\n");
}

TEST(Tool, TheDocumentedExampleScenariosRun)
{
    const QString examples = testing_support::sourceDir() + "/tools/navlet-sim/examples/";
    for (const char* name : {"handheld-l001.json", "handheld-l002-faulty.json", "nmea-talker.json"}) {
        SCOPED_TRACE(name);
        const QJsonObject scenario = QJsonDocument::fromJson(testing_support::readFile(examples + name)).object();
        ASSERT_FALSE(scenario.isEmpty());
        SimProcess sim(scenario);
        ASSERT_TRUE(sim.isRunning());
        if (QString::fromLatin1(name).startsWith("handheld")) {
            const ToolRun run = tool(sim, {"tracks"});
            EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
            EXPECT_EQ(jsonLines(run.out).size(), 12u);
        }
    }
}

TEST(Tool, UsageAndMissingReceiver)
{
    const ToolRun help = runProgram("navlet-tool", {"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("upload FILE.csv"));
    EXPECT_EQ(runProgram("navlet-tool", {"product"}).exitCode, 2);
    EXPECT_EQ(runProgram("navlet-tool", {"--device", "/dev/null", "fly"}).exitCode, 2);
    EXPECT_EQ(runProgram("navlet-tool", {"--device", "/nonexistent/tty", "product"}).exitCode, 1);
    SimProcess sim(handheldScenario("L001"));
    EXPECT_EQ(tool(sim, {"upload", sim.folder() + "/missing.csv"}).exitCode, 4);
    EXPECT_EQ(tool(sim, {"upload", "x.csv", "--chars", "0"}).exitCode, 2);
    // The record count is a signed 16-bit number.
    QByteArray many;
    for (int i = 0; i < 32768; ++i)
        many += "\"AP" + QByteArray::number(i) + "\",\"\",-60,52.1,4.2,\"\"\r\n";
    const ToolRun tooMany = tool(sim, {"upload", testing_support::writeFile(sim.folder() + "/many.csv", many)});
    EXPECT_EQ(tooMany.exitCode, 4);
    EXPECT_TRUE(tooMany.err.contains("at most 32767")) << tooMany.err.toStdString();
    // The list is read as a stream: a device, or a quote left open over megabytes, is refused.
    EXPECT_EQ(tool(sim, {"upload", "/dev/zero"}).exitCode, 4);
    const QString open = testing_support::writeFile(sim.folder() + "/open.csv", "\"AP" + QByteArray(1 << 20, 'x'));
    const ToolRun unclosed = tool(sim, {"upload", open});
    EXPECT_EQ(unclosed.exitCode, 4);
    EXPECT_TRUE(unclosed.err.contains("longer than")) << unclosed.err.toStdString();
}

} // namespace
