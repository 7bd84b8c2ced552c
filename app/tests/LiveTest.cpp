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
