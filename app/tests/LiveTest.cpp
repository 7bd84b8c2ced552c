#include "ProgramFixture.h"
#include "window/frmConfig.h"

#include "GPS.h"
#include "PortMap.h"
#include "Pty.h"
#include "ui/DoEvents.h"
#include "live/LivePosition.h"
#include "commands/ListPanels.h"

#include <QGroupBox>
#include <QRadioButton>

namespace aero::testing {
namespace {

class LiveTest : public ProgramFixture {
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        portmap::setDevicePath(1, pty1.slavePath());
        portmap::setDevicePath(3, pty3.slavePath());
        portmap::setDevicePath(5, path("no-such-tty"));
    }
    void TearDown() override
    {
        if (ctx().state.GPSEnabled)
            program->live().disconnect();
        ProgramFixture::TearDown();
    }
    void withAps()
    {
        newMap();
        importSummary(file("s.txt", summary({line("N 45.0000000", "E 7.0100000", "east", "00:00:00:00:00:01", 90, "0011"),
                                             line("N 45.0000000", "E 6.9900000", "west", "00:00:00:00:00:02", 90, "0011"),
                                             line("N 46.0000000", "E 7.0000000", "far", "00:00:00:00:00:03", 90, "0011")})));
        dialogs.reset();
    }
    void fix(double lat, double lon, float speed = 41.0f, float heading = 84.4f, bool valid = true)
    {
        program->live().GPS_Position(valid, "12:00:00", lat, lon, speed, heading);
    }
    QStringList labels() { return window().navLabels(); }
    testing_support::Pty pty1, pty3;
};

TEST_F(LiveTest, RefusedWithoutAMap)
{
    window().tbMain_ButtonMenuClick(entries::gpsPort(1));
    window().tbMain_ButtonMenuClick(entries::GpsOff);
    EXPECT_EQ(dialogs.texts(), (QStringList{"Cannot execute GPS functions until a map has been loaded.",
                                            "Cannot execute GPS functions until a map has been loaded."}));
}

TEST_F(LiveTest, SwitchingPortsDisconnectsFirstAndKeepsOnePositionMarker)
{
    withAps();
    window().tbMain_ButtonMenuClick(entries::gpsPort(1));
    EXPECT_EQ(window().fraMapCaption(), "Access Point map: (GPS Enabled on COM1:)");
    window().tbMain_ButtonMenuClick(entries::gpsPort(3));
    EXPECT_EQ(window().fraMapCaption(), "Access Point map: (GPS Enabled on COM3:)");
    EXPECT_TRUE(ctx().state.GPSEnabled);
    EXPECT_TRUE(window().gpsLayout());
    EXPECT_TRUE(window().positionTickRunning());
    int stumblers = 0;
    for (MarkerId m : map().EnumerateMarkers())
        if (map().markerName(m) == "Stumbler") {
            ++stumblers;
            EXPECT_EQ(map().markerSymbol(m), 264);
        }
    EXPECT_EQ(stumblers, 1);

    window().tbMain_ButtonMenuClick(entries::GpsOff);
    EXPECT_EQ(window().fraMapCaption(), "Access Point map: (GPS Disabled)");
    EXPECT_FALSE(ctx().state.GPSEnabled);
    EXPECT_FALSE(window().gpsLayout());
    EXPECT_FALSE(map().FindMarker("Stumbler"));
    EXPECT_FALSE(window().positionTickRunning());
}

TEST_F(LiveTest, PortThatWillNotOpenShowsTheErrorCaption)
{
    withAps();
    window().tbMain_ButtonMenuClick(entries::gpsPort(5));
    EXPECT_EQ(window().fraMapCaption(), "Access Point map: (GPS Error)");
    EXPECT_FALSE(ctx().state.GPSEnabled);
    EXPECT_FALSE(window().gpsLayout());
    const QString why = window().fraMapToolTip();   // which device, and the system's reason
    EXPECT_TRUE(why.startsWith("COM5: (" + path("no-such-tty") + "): ")) << why.toStdString();
    EXPECT_GT(why.size(), QString("COM5: (" + path("no-such-tty") + "): ").size());
}

TEST_F(LiveTest, AReceiverThatDisappearsTurnsLiveGpsOffWithTheReason)
{
    withAps();
    auto receiver = std::make_unique<testing_support::Pty>();
    portmap::setDevicePath(2, receiver->slavePath());
    window().tbMain_ButtonMenuClick(buttons::GPS, 4);
    ASSERT_TRUE(ctx().state.GPSEnabled);
    receiver.reset();   // the USB adapter is pulled
    ASSERT_TRUE(waitUntil([&] { return !ctx().state.GPSEnabled; }, std::chrono::seconds(5)));
    EXPECT_EQ(window().fraMapCaption(), "Access Point map: (GPS Error)");
    EXPECT_TRUE(window().fraMapToolTip().endsWith(": The device was removed or hung up")) << window().fraMapToolTip().toStdString();
    EXPECT_FALSE(window().positionTickRunning());
    EXPECT_FALSE(map().FindMarker("Stumbler"));
    window().tbMain_ButtonMenuClick(buttons::GPS, 3);   // and it can be switched on again
    EXPECT_EQ(window().fraMapCaption(), "Access Point map: (GPS Enabled on COM1:)");
    EXPECT_TRUE(window().fraMapToolTip().isEmpty());
}

TEST_F(LiveTest, VoidFixDashesTheLabelsAndDrawsNothing)
{
    withAps();
    window().tbMain_ButtonMenuClick(entries::gpsPort(1));
    fix(45, 7);
    fix(45.001, 7.001, 0, 0, false);
    EXPECT_EQ(labels(), (QStringList{"Speed: ---", "Heading: ---", "Nearest AP: -------", "SSID: -------"}));
    EXPECT_EQ(map().ShapeCount(), 0);
}

TEST_F(LiveTest, TrackStartsOnlyFromANonZeroPreviousFixAndMovesTheMarker)
{
    withAps();
    ctx().settings.setValue("NMEAColor", "65280");
    window().tbMain_ButtonMenuClick(entries::gpsPort(1));
    fix(0, 10);
    fix(45, 7);
    EXPECT_EQ(map().ShapeCount(), 0);
    fix(45.001, 7.002);
    ASSERT_EQ(map().ShapeCount(), 1);
    const Shape& s = map().shape(map().ShapeAt(1));
    EXPECT_EQ(s.lineColor, 65280);
    EXPECT_EQ(s.points.back().lat, 45.001);
    const Location at = map().markerLocation(*map().FindMarker("Stumbler"));
    EXPECT_EQ(at.lat, 45.001);
    EXPECT_EQ(at.lon, 7.002);
}

TEST_F(LiveTest, FixesAreIgnoredWhileTheMouseIsHeldOnTheMap)
{
    withAps();
    window().tbMain_ButtonMenuClick(entries::gpsPort(1));
    fix(45, 7);
    program->panels().Map_MouseDown(Qt::LeftButton, {}, 5, 5);
    const QStringList before = labels();
    fix(45.01, 7.01, 99);
    EXPECT_EQ(map().ShapeCount(), 0);
    EXPECT_EQ(labels(), before);
    EXPECT_EQ(map().markerLocation(*map().FindMarker("Stumbler")).lat, 45.0);
    program->panels().Map_MouseUp();
    fix(45.01, 7.01, 99);
    EXPECT_EQ(map().ShapeCount(), 1);
}

TEST_F(LiveTest, NearestApEveryTickTiesKeepTheEarlierMarkerAndUnitsFollowTheMap)
{
    withAps();
    window().tbMain_ButtonMenuClick(entries::gpsPort(1));
    fix(45, 7);
    EXPECT_EQ(labels()[2], "Nearest AP: -------");   // no search before the first tick
    EXPECT_EQ(labels()[0], "Speed: 41.0 km/h");
    EXPECT_EQ(labels()[1], "Heading: 84.4\u00ba");
    ctx().state.PositionTick = true;
    fix(45, 7);
    EXPECT_FALSE(ctx().state.PositionTick);
    EXPECT_EQ(program->live().nearest().ssid, "east");   // east and west are equally far
    EXPECT_EQ(labels()[3], "SSID: east");
    EXPECT_TRUE(labels()[2].startsWith("Nearest AP: 0.7")) << labels()[2].toStdString();
    EXPECT_TRUE(labels()[2].endsWith(" Km."));
    const QString km = labels()[2];
    const double kmDistance = program->live().nearest().distance;
    const QString miles = QString("Nearest AP: %1 miles").arg(kmDistance / 1.609344, 0, 'f', 2);

    // Miles chosen in the configuration dialog apply at once: the map measures in miles and
    // the label says so, with the distance found in kilometres converted.
    window().tbMain_ButtonClick("Config");
    auto* config = window().findChild<frmConfig*>();
    ASSERT_NE(config, nullptr);
    config->optMi->setChecked(true);
    config->cmdDone_Click();
    EXPECT_EQ(map().Units(), MapUnit::Miles);
    fix(45, 7, 41.0f);
    EXPECT_EQ(labels()[0], "Speed: 25.5 mph");
    EXPECT_EQ(labels()[2], miles);
    ctx().state.PositionTick = true;
    fix(45, 7, 41.0f);
    EXPECT_EQ(labels()[2], miles);

    // A map file in kilometres: the label follows the map, not the setting.
    map().setUnits(MapUnit::Kilometres);
    fix(45, 7, 41.0f);
    EXPECT_EQ(labels()[2], km);
}

TEST_F(LiveTest, OnlyThePositionMarkerMeansNothingFound)
{
    newMap();
    window().tbMain_ButtonMenuClick(entries::gpsPort(1));
    ctx().state.PositionTick = true;
    fix(45, 7);
    EXPECT_EQ(program->live().nearest().ssid, "");
    EXPECT_EQ(program->live().nearest().distance, 1000000000.0);
    EXPECT_EQ(labels()[3], "SSID: -------");
}

TEST_F(LiveTest, SentencesWrittenIntoTheReceiverLineMoveThePosition)
{
    withAps();
    window().tbMain_ButtonMenuClick(entries::gpsPort(1));
    ASSERT_TRUE(ctx().state.GPSEnabled);
    ASSERT_TRUE(pty1.write("$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n"));
    ASSERT_TRUE(waitUntil([&] { return map().markerLocation(*map().FindMarker("Stumbler")).lat > 48; },
                          std::chrono::seconds(5)));
    EXPECT_NEAR(map().markerLocation(*map().FindMarker("Stumbler")).lon, 11.516666, 1e-5);
    EXPECT_EQ(labels()[0], "Speed: 41.0 km/h");
}

} // namespace
} // namespace aero::testing

#include <QTcpServer>
#include <QTcpSocket>

namespace aero::testing {
namespace {

TEST_F(LiveTest, GpsdEntryConnectsToTheHostAndPortOfTheSettings)
{
    withAps();
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    QTcpSocket* client = nullptr;
    QObject::connect(&server, &QTcpServer::newConnection, &server, [&] { client = server.nextPendingConnection(); });
    ctx().settings.setValue("GpsdHost", "127.0.0.1");
    ctx().settings.setValue("GpsdPort", QString::number(server.serverPort()));
    window().tbMain_ButtonMenuClick(entries::Gpsd);
    EXPECT_EQ(window().fraMapCaption(), QString("Access Point map: (GPS Enabled on gpsd 127.0.0.1:%1)").arg(server.serverPort()));
    ASSERT_TRUE(waitUntil([&] { return client != nullptr; }, std::chrono::seconds(5)));
    ASSERT_TRUE(waitUntil([&] { return client->bytesAvailable() > 0; }, std::chrono::seconds(5)));
    EXPECT_TRUE(client->readAll().startsWith("?WATCH={\"enable\":true,\"nmea\":true}"));
    client->write("{\"class\":\"VERSION\"}\r\n$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n");
    ASSERT_TRUE(waitUntil([&] { return map().markerLocation(*map().FindMarker("Stumbler")).lat > 48; },
                          std::chrono::seconds(5)));

    server.close();
    window().tbMain_ButtonMenuClick(entries::GpsOff);
    ctx().settings.setValue("GpsdPort", "1");   // nothing listens there
    window().tbMain_ButtonMenuClick(entries::Gpsd);
    EXPECT_EQ(window().fraMapCaption(), "Access Point map: (GPS Error)");
}

} // namespace
} // namespace aero::testing

#include <QAction>
#include <QMenu>
#include <QToolButton>

namespace aero::testing {
namespace {

TEST_F(LiveTest, GpsMenuShowsTheDeviceBesideEachPortAndTheCurrentGpsd)
{
    ctx().settings.setValue("GpsdHost", "gps.local");
    ctx().settings.setValue("GpsdPort", "2950");
    Q_EMIT window().toolButton(buttons::GPS)->menu()->aboutToShow();
    EXPECT_EQ(window().menuText(entries::gpsPort(1)), "COM1:");
    EXPECT_EQ(window().menuAction(entries::gpsPort(1))->text(), "COM1:\t" + pty1.slavePath());
    EXPECT_EQ(window().menuAction(entries::gpsPort(5))->text(), "COM5:\t" + path("no-such-tty"));
    EXPECT_EQ(window().menuText(entries::Gpsd), "gpsd (gps.local:2950)");
}

// The live position is shown, never kept: not saved with the map, never rebuilt into an AP
// (not even from a map an older version saved with it), and moving it changes nothing.
TEST_F(LiveTest, ThePositionMarkerIsNeverSavedOrRebuiltAsAnAp)
{
    withAps();
    dialogs.files = {path("m.kml")};
    window().tbMain_ButtonMenuClick(buttons::Map, 3);
    window().tbMain_ButtonMenuClick(buttons::GPS, 3);
    ASSERT_TRUE(map().FindMarker("Stumbler"));
    fix(45, 7);
    EXPECT_TRUE(map().isSaved()) << "the first fix only moves the marker";
    fix(45.001, 7.001);
    dialogs.reset();
    dialogs.files = {path("m.kml")};
    window().tbMain_ButtonMenuClick(buttons::Map, 3);
    const QByteArray saved = testing_support::readFile(path("m.kml"));
    EXPECT_FALSE(saved.contains("<name>Stumbler</name>"));
    EXPECT_TRUE(saved.contains("<name>east</name>"));

    QByteArray older = saved;
    older.replace("<name>Marker set 1</name>\n", "<name>Marker set 1</name>\n<Placemark><name>Stumbler</name><ExtendedData>"
                                                 "<Data name=\"symbol\"><value>264</value></Data></ExtendedData>"
                                                 "<Point><coordinates>7,45</coordinates></Point></Placemark>\n");
    window().tbMain_ButtonMenuClick(buttons::GPS, 1);
    dialogs.files = {file("older.kml", older)};
    window().tbMain_ButtonMenuClick(buttons::Map, 1);
    ASSERT_TRUE(map().FindMarker("Stumbler"));
    EXPECT_EQ(ctx().apList.findBySSID("Stumbler"), 0);
    EXPECT_EQ(window().lstAP().count(), ctx().apList.count());
}

} // namespace
} // namespace aero::testing

#include "GpsTiming.h"
#include "GpsdDaemon.h"
#include "live/FixWatchdog.h"
#include "live/TrackStep.h"

#include <QTreeWidget>

namespace aero::testing {
namespace {

// "$" + body + "*" + checksum + CR LF, as a receiver sends it.
std::string nmeaSentence(const std::string& body)
{
    unsigned char sum = 0;
    for (const char c : body)
        sum ^= static_cast<unsigned char>(c);
    return "$" + body + "*" + QString::asprintf("%02X", sum).toStdString() + "\r\n";
}

TEST(FixWatchdog, TellsNoDataFromNoFixFromALiveFix)
{
    struct Row {
        const char* legend;
        std::vector<std::pair<char, std::int64_t>> events;   // s sentence, v valid fix, x void fix
        std::int64_t at;
        FixState expected;
    };
    const std::vector<Row> rows = {
        {"just connected", {}, 1000, FixState::Waiting},
        {"nothing for over 5 s", {}, 5001, FixState::NoData},
        {"sentences but no fix yet, within 5 s", {{'s', 3000}}, 4000, FixState::Waiting},
        {"sentences without a fix for over 5 s", {{'s', 5500}}, 6000, FixState::NoFix},
        {"a void fix says so at once", {{'x', 500}}, 600, FixState::NoFix},
        {"a valid fix", {{'x', 500}, {'v', 900}}, 1000, FixState::Live},
        {"a valid fix then a void one", {{'v', 900}, {'x', 1900}}, 2000, FixState::NoFix},
        {"the last fix 6 s old while sentences go on", {{'v', 1000}, {'s', 6500}}, 7000, FixState::NoFix},
        {"the last fix 6 s old and silence", {{'v', 1000}}, 7000, FixState::NoData},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.legend);
        FixWatchdog w;
        w.start(0);
        for (const auto& [kind, at] : row.events)
            kind == 's' ? w.sentence(at) : kind == 'v' ? w.validFix(at) : w.voidFix(at);
        EXPECT_EQ(w.state(row.at), row.expected);
    }
}

TEST(TrackStep, FixesNoVehicleCouldReachStartANewSegment)
{
    const TrackFix munich{48.1, 11.5, 12 * 3600};
    struct Row {
        const char* legend;
        std::optional<TrackFix> previous;
        TrackFix next;
        TrackStep expected;
    };
    const std::vector<Row> rows = {
        {"no previous fix", std::nullopt, munich, TrackStep::NewSegment},
        {"11 m in a second", munich, {48.1001, 11.5, 12 * 3600 + 1}, TrackStep::Continue},
        {"the same fix twice (two talkers)", munich, munich, TrackStep::Repeat},
        {"15000 km later: another session", munich, {-33.9, 151.2, 13 * 3600}, TrackStep::NewSegment},
        {"101 km in a day", munich, {49.0087, 11.5, 11 * 3600}, TrackStep::NewSegment},
        {"99 km in two hours", munich, {48.99, 11.5, 14 * 3600}, TrackStep::Continue},
        {"11 km in 30 s is 1330 km/h", munich, {48.2, 11.5, 12 * 3600 + 30}, TrackStep::NewSegment},
        {"back in time", munich, {48.1001, 11.5, 12 * 3600 - 5}, TrackStep::NewSegment},
        {"over midnight", TrackFix{48.1, 11.5, 86399}, {48.1001, 11.5, 0}, TrackStep::Continue},
        {"several fixes in one second", munich, {48.1002, 11.5, 12 * 3600}, TrackStep::Continue},
        {"no time: only the distance counts", TrackFix{48.1, 11.5, std::nullopt}, {48.2, 11.5, std::nullopt}, TrackStep::Continue},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.legend);
        EXPECT_EQ(nextTrackStep(row.previous, row.next), row.expected);
    }
    EXPECT_EQ(secondOfDay("12:35:19"), 45319);
    EXPECT_EQ(secondOfDay("::"), std::nullopt);
}

TEST(WatchList, MatchesSsidsMacsAndVendorPrefixesWithWildcards)
{
    const WatchList watch("CorpNet*\n00-1a-2B\naa:bb:cc:dd:ee:?f\n  \nguest");
    struct Row {
        const char* ssid;
        const char* mac;
        bool expected;
    };
    const std::vector<Row> rows = {
        {"corpnet-5G", "11:11:11:11:11:11", true},   // wildcard, any case
        {"my CorpNet", "11:11:11:11:11:11", false},  // the whole name must match
        {"x", "00:1A:2B:01:02:03", true},           // vendor prefix, other separators and case
        {"x", "001A2B010203", true},
        {"x", "00:1A:2C:01:02:03", false},
        {"x", "AA:BB:CC:DD:EE:0F", true},
        {"guest", "", true},
        {"guests", "", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.ssid) + " " + row.mac);
        AccessPoint ap;
        ap.SSID = row.ssid;
        ap.MAC = row.mac;
        EXPECT_EQ(watch.matches(ap), row.expected);
    }
    EXPECT_TRUE(WatchList(" \n").empty());
}

TEST_F(LiveTest, AJumpStartsANewSegmentAndNothingJoinsTwoSessions)
{
    withAps();
    window().tbMain_ButtonMenuClick(entries::gpsPort(1));
    const auto at = [&](double lat, double lon, const char* hora) { program->live().GPS_Position(true, hora, lat, lon, 10, 0); };
    at(45.0, 7.0, "12:00:00");
    at(45.0001, 7.0, "12:00:01");
    at(45.0001, 7.0, "12:00:01");   // the same fix again
    window().tbMain_ButtonMenuClick(entries::GpsOff);
    window().tbMain_ButtonMenuClick(entries::gpsPort(1));
    at(-33.9, 151.2, "12:00:05");   // the next session, on another continent
    at(-33.9001, 151.2, "12:00:06");
    at(-33.9002, 151.2, "11:00:00");   // a log replayed from its start
    ASSERT_EQ(map().ShapeCount(), 2);
    for (int i = 1; i <= map().ShapeCount(); ++i) {
        const Shape& s = map().shape(map().ShapeAt(i));
        EXPECT_LT(std::abs(s.points.front().lat - s.points.back().lat), 0.001) << "shape " << i;
    }
}

TEST_F(LiveTest, NearbyPanelListsTheNearestWithDistanceBearingAndWatchAlert)
{
    withAps();
    ctx().settings.setValue("WatchList", "00:00:00:00:00:0?\nno-such");
    ctx().settings.setValue("WatchMetres", "1000");
    window().tbMain_ButtonMenuClick(entries::gpsPort(1));
    EXPECT_EQ(window().lstNearby()->headerItem()->text(0), "Nearby APs (no fix yet)");
    EXPECT_EQ(window().lstNearby()->topLevelItemCount(), 0);
    fix(45, 7);
    QTreeWidget* list = window().lstNearby();
    ASSERT_EQ(list->topLevelItemCount(), 3);
    const auto row = [&](int i) {
        const QTreeWidgetItem* item = list->topLevelItem(i);
        return QStringList{item->text(0), item->text(1), item->text(2)};
    };
    EXPECT_EQ(row(0), (QStringList{"east", "786 m", "E 90\u00b0"}));
    EXPECT_EQ(row(1), (QStringList{"west", "786 m", "W 270\u00b0"}));
    EXPECT_EQ(row(2), (QStringList{"far", "111.19 km", "N 0\u00b0"}));
    EXPECT_TRUE(list->topLevelItem(2)->font(0).bold()) << "watched";
    EXPECT_EQ(list->headerItem()->text(0), "Nearby APs");
    EXPECT_EQ(window().gpsNotice(),
              "Watched AP \"east\" (00:00:00:00:00:01) is 786 m away, E 90\u00b0. 1 more watched APs are within the alert distance.")
        << window().gpsNotice().toStdString();

    fix(45, 7, 0, 0, false);
    EXPECT_TRUE(list->headerItem()->text(0).startsWith("Nearby APs (fix is stale: ")) << list->headerItem()->text(0).toStdString();
    EXPECT_EQ(list->topLevelItemCount(), 3) << "the last distances stay, marked stale";
}

// Each state of the fix, as a receiver on a real line produces it, in the caption, the notice
// over the map and the four labels.
TEST_F(LiveTest, TheFrameAndLabelsFollowTheFixOfAReceiverOnALine)
{
    withAps();
    window().tbMain_ButtonMenuClick(entries::gpsPort(1));
    fix(45, 7);   // a session before
    window().tbMain_ButtonMenuClick(entries::gpsPort(1));
    const QStringList dashed{"Speed: ---", "Heading: ---", "Nearest AP: -------", "SSID: -------"};
    EXPECT_EQ(labels(), dashed) << "nothing of the last session is shown as current";
    EXPECT_EQ(window().fraMapCaption(), "Access Point map: (GPS Enabled on COM1:)");
    EXPECT_TRUE(window().gpsNotice().startsWith("Waiting for the first fix from COM1: ("));

    const auto send = [&](const std::string& body) { ASSERT_TRUE(pty1.write(QByteArray::fromStdString(nmeaSentence(body)))); };
    send("GNRMC,083559.00,A,4717.11437,N,00833.91522,E,022.4,77.52,091202,,,A");
    ASSERT_TRUE(waitUntil([&] { return labels()[0] == "Speed: 41.0 km/h"; }, std::chrono::seconds(20)));
    EXPECT_EQ(window().fraMapCaption(), "Access Point map: (GPS Enabled on COM1:)");
    EXPECT_EQ(window().gpsNotice(), "");

    send("GNRMC,083600.00,V,,,,,,,091202,,,N");
    ASSERT_TRUE(waitUntil([&] { return labels() == dashed; }, std::chrono::seconds(20)));
    EXPECT_EQ(window().fraMapCaption(), "Access Point map: (GPS Enabled on COM1: \u2014 no valid fix)") << window().fraMapCaption().toStdString();
    EXPECT_TRUE(window().gpsNotice().contains("sends data but no valid fix")) << window().gpsNotice().toStdString();

    send("GNRMC,083601.00,A,4717.11437,N,00833.91522,E,022.4,77.52,091202,,,A");
    ASSERT_TRUE(waitUntil([&] { return labels()[0] == "Speed: 41.0 km/h"; }, std::chrono::seconds(20)));
    // Then the receiver falls silent without hanging up.
    ASSERT_TRUE(waitUntil([&] { return window().fraMapCaption() == "Access Point map: (GPS Enabled on COM1: \u2014 no data)"; },
                          std::chrono::seconds(30)))
        << window().fraMapCaption().toStdString();
    EXPECT_EQ(labels(), dashed);
    EXPECT_TRUE(window().gpsNotice().startsWith("No data from COM1: (")) << window().gpsNotice().toStdString();
    EXPECT_TRUE(window().fraMapToolTip().startsWith("No data from COM1: ("));
}

TEST_F(LiveTest, GpsdGoingAwayShowsTheErrorAndItsReturn)
{
    const QString gpsd = testing_support::gpsdProgram();
    if (gpsd.isEmpty())
        GTEST_SKIP() << "gpsd is not installed (Debian package gpsd)";
    gps::timing::setScale(0.2);   // call gpsd again every 600 ms
    withAps();
    testing_support::Pty receiverLine;
    testing_support::PacedReceiver receiver(receiverLine, {nmeaSentence("GNRMC,083559.00,A,4717.11437,N,00833.91522,E,022.4,77.52,091202,,,A")});
    testing_support::GpsdDaemon daemon(gpsd, receiverLine.slavePath(), testing_support::freeLoopbackPort(), path("gpsd.sock"));
    ASSERT_TRUE(daemon.start());
    ctx().settings.setValue("GpsdHost", "127.0.0.1");
    ctx().settings.setValue("GpsdPort", QString::number(daemon.port()));
    window().tbMain_ButtonMenuClick(entries::Gpsd);
    const QString enabled = QString("Access Point map: (GPS Enabled on gpsd 127.0.0.1:%1)").arg(daemon.port());
    ASSERT_TRUE(waitUntil([&] { return labels()[0] == "Speed: 41.0 km/h"; }, std::chrono::seconds(20)));
    EXPECT_EQ(window().fraMapCaption(), enabled);

    daemon.stop();
    ASSERT_TRUE(waitUntil([&] { return window().fraMapCaption() == "Access Point map: (GPS Error)"; }, std::chrono::seconds(20)));
    EXPECT_EQ(labels()[0], "Speed: ---");
    EXPECT_TRUE(window().gpsNotice().contains(": connection lost (")) << window().gpsNotice().toStdString();
    EXPECT_TRUE(ctx().state.GPSEnabled) << "still calling gpsd";

    ASSERT_TRUE(daemon.start());
    ASSERT_TRUE(waitUntil([&] { return window().gpsNotice().startsWith("Reconnected to gpsd 127.0.0.1:"); }, std::chrono::seconds(20)))
        << window().gpsNotice().toStdString();
    EXPECT_EQ(window().fraMapCaption(), enabled);
    EXPECT_EQ(labels()[0], "Speed: ---") << "dashes until this connection's first fix";
    ASSERT_TRUE(waitUntil([&] { return labels()[0] == "Speed: 41.0 km/h"; }, std::chrono::seconds(20)));
    EXPECT_EQ(window().gpsNotice(), "");
    gps::timing::setScale(1.0);
}

} // namespace
} // namespace aero::testing
