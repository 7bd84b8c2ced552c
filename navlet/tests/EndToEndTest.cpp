// The control against the receiver simulator, a real process on a real pseudo-terminal:
// downloads and uploads on clean and faulty lines, silence, NMEA talkers.
#include "RecordingPrompt.h"
#include "SimProcess.h"

#include "navlet/Navlet.h"
#include "navlet/RecordJson.h"

#include <QJsonArray>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace navlet;
using namespace navlet_test;

namespace {

constexpr int WaitMs = 15000;

// Records announced through Receive, skipping frames that failed their checksum (the receiver
// sends those again).
struct Collector {
    std::vector<cTrack> points;
    std::vector<cWaypoint> waypoints;
    QList<quint8> acked;
    bool product = false;
    bool protocols = false;
    bool complete = false;

    void attach(Navlet& n, QObject& context)
    {
        QObject::connect(&n, &Navlet::Receive, &context, [this, &n](quint8 id, quint8 data) {
            if (!n.lastFrameValid())
                return;
            if (id == n.PID_Trk_Data()) points.push_back(n.Track());
            else if (id == n.PID_Wpt_Data()) waypoints.push_back(n.Waypoint());
            else if (id == n.PID_Ack_Byte()) acked.append(data);
            else if (id == n.PID_Product_Data()) product = true;
            else if (id == n.PID_Protocol_Array()) protocols = true;
            else if (id == n.PID_Xfer_Cmplt()) complete = true;
        });
    }
};

struct Line {
    QString link;
    int corruptEvery;
    int nakEvery;
};

std::string lineName(const ::testing::TestParamInfo<Line>& info)
{
    return info.param.link.toStdString() + (info.param.corruptEvery ? "_corrupt5_nak7" : "_clean");
}

class EndToEnd : public ::testing::TestWithParam<Line> {
protected:
    void SetUp() override
    {
        const Line line = GetParam();
        sim = std::make_unique<SimProcess>(withFaults(handheldScenario(line.link), line.corruptEvery, line.nakEvery));
        ASSERT_TRUE(sim->isRunning());
        navlet.setDevicePath(sim->devicePath());
        navlet.setPrompt(prompt.prompt());
        collector.attach(navlet, context);
        QObject::connect(&navlet, &Navlet::HexDebug, &context, [this](const QString& line) {
            naks += line.startsWith(QStringLiteral("PC -\u00BB GPS 10 15 ")) || line.startsWith(QStringLiteral("PC \u00AB- GPS 10 15 "));
        });
        navlet.PortOpen();
        navlet.Request_Product_Data();
        ASSERT_TRUE(QTest::qWaitFor([&] { return collector.protocols; }, WaitMs));
        ASSERT_EQ(navlet.Link_Protocol(), line.link);
    }
    void TearDown() override
    {
        navlet.PortClose();
        if (GetParam().corruptEvery > 0)
            EXPECT_GT(naks, 0) << "the faulty line did corrupt or reject packets";
        else
            EXPECT_EQ(naks, 0);
    }

    bool sendAndWaitForAck(const std::function<void()>& send, quint8 id)
    {
        collector.acked.clear();
        send();
        return QTest::qWaitFor([&] { return collector.acked.contains(id); }, WaitMs);
    }

    std::unique_ptr<SimProcess> sim;
    RecordingPrompt prompt;
    Navlet navlet;
    QObject context;
    Collector collector;
    int naks = 0; // NAKs sent or received
};

TEST_P(EndToEnd, TrackDownloadDeliversEveryPointAndSegment)
{
    EXPECT_EQ(navlet.Product_Data().Product_Description_1, "Handheld " + GetParam().link);
    navlet.Request_Tracks();
    ASSERT_TRUE(QTest::qWaitFor([&] { return collector.complete; }, WaitMs));
    EXPECT_EQ(navlet.Incoming_Records_Count(), 12);
    EXPECT_EQ(collector.points, expectedPoints(GetParam().link));
    EXPECT_TRUE(prompt.calls.empty());
}

TEST_P(EndToEnd, WaypointDownloadDeliversEveryWaypoint)
{
    navlet.Request_Waypoints();
    ASSERT_TRUE(QTest::qWaitFor([&] { return collector.complete; }, WaitMs));
    const std::vector<cWaypoint> sent = scenarioWaypoints();
    ASSERT_EQ(collector.waypoints.size(), sent.size());
    for (std::size_t i = 0; i < sent.size(); ++i)
        EXPECT_EQ(collector.waypoints[i], throughFormat(sent[i], navlet.Waypoint_Data_Format()));
}

TEST_P(EndToEnd, UploadedWaypointsArriveIntact)
{
    std::vector<cWaypoint> upload;
    for (int i = 0; i < 9; ++i) {
        cWaypoint w;
        w.Ident = QStringLiteral("AP%1").arg(i);
        w.Lat = 52.0 + i * 0.001;
        w.Lon = -4.0 - i * 0.002;
        w.Dspl = 1;
        w.Smbl = 16391;
        w.Attrib = 96;
        upload.push_back(w);
    }
    ASSERT_TRUE(sendAndWaitForAck([&] { navlet.Start_of_Records(static_cast<qint16>(upload.size())); },
                                  navlet.PID_Records()));
    for (const cWaypoint& w : upload) {
        navlet.setWaypoint(w);
        ASSERT_TRUE(sendAndWaitForAck([&] { navlet.Send_Waypoint(); }, navlet.PID_Wpt_Data()));
    }
    ASSERT_TRUE(sendAndWaitForAck([&] { navlet.End_of_Records(); }, navlet.PID_Xfer_Cmplt()));

    const auto events = sim->waitForEvents(upload.size() + 1);
    ASSERT_EQ(events.size(), upload.size() + 1);
    for (std::size_t i = 0; i < upload.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(events[i].value("event").toString(), "waypoint");
        EXPECT_EQ(waypointFromJson(events[i].value("waypoint").toObject()),
                  throughFormat(upload[i], navlet.Waypoint_Data_Format()));
    }
    EXPECT_EQ(events.back().value("announced").toInt(), 9);
    EXPECT_EQ(events.back().value("received").toInt(), 9);
}

INSTANTIATE_TEST_SUITE_P(Lines, EndToEnd,
                         ::testing::Values(Line{"L001", 0, 0}, Line{"L002", 0, 0}, Line{"L001", 5, 7},
                                           Line{"L002", 5, 7}),
                         lineName);

TEST(EndToEndSilence, ASilentReceiverBringsUpTheTimeoutQuestion)
{
    SimProcess sim(withFaults(handheldScenario("L001"), 0, 0, /*silentAfter=*/0));
    ASSERT_TRUE(sim.isRunning());
    RecordingPrompt prompt;
    prompt.answers = {PromptAnswer::Retry, PromptAnswer::Cancel};
    Navlet navlet;
    navlet.setTimeScale({0.02});
    navlet.setDevicePath(sim.devicePath());
    navlet.setPrompt(prompt.prompt());
    navlet.Request_Product_Data();
    ASSERT_TRUE(QTest::qWaitFor([&] { return prompt.calls.size() == 2; }, WaitMs));
    EXPECT_TRUE(prompt.calls[0].text.startsWith("No response from Navlet."));
    EXPECT_EQ(prompt.calls[1].buttons, PromptButtons::RetryCancel);
    EXPECT_FALSE(navlet.link().timerActive()) << "Cancel reset the link";
    navlet.PortClose();
}

TEST(EndToEndSilence, AReceiverFallingSilentMidDownloadIsNoticed)
{
    // Sent before the silence: ACK, product, protocol array, ACK, records, five points.
    SimProcess sim(withFaults(handheldScenario("L001"), 0, 0, /*silentAfter=*/10));
    RecordingPrompt prompt;
    Navlet navlet;
    navlet.setDevicePath(sim.devicePath());
    navlet.setPrompt(prompt.prompt());
    QObject context;
    Collector collector;
    collector.attach(navlet, context);
    navlet.Request_Product_Data();
    ASSERT_TRUE(QTest::qWaitFor([&] { return collector.protocols; }, WaitMs));
    navlet.setTimeScale({0.02});
    navlet.Request_Tracks();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !prompt.calls.empty(); }, WaitMs));
    EXPECT_EQ(collector.points.size(), 5u);
    EXPECT_FALSE(collector.complete);
    navlet.PortClose();
}

TEST(EndToEndPower, PowerOffIsSentAndNotSupervised)
{
    SimProcess sim(handheldScenario("L002"));
    Navlet navlet;
    navlet.setDevicePath(sim.devicePath());
    QSignalSpy received(&navlet, &Navlet::Receive);
    navlet.Request_Product_Data();
    ASSERT_TRUE(QTest::qWaitFor([&] { return navlet.Link_Protocol() == "L002"; }, WaitMs));
    navlet.Power_Off(); // L002 code 26: only understood if the request was rebuilt
    const auto events = sim.waitForEvents(1);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].value("event").toString(), "powerOff");
    EXPECT_FALSE(navlet.link().timerActive());
    navlet.PortClose();
}

TEST(EndToEndStatus, DateTimeAndStreamedPositions)
{
    SimProcess sim(QJsonObject{{"pvt", QJsonObject{{"Lat", -33.5}, {"Lon", 151.25}}}});
    Navlet navlet;
    navlet.setDevicePath(sim.devicePath());
    QSignalSpy received(&navlet, &Navlet::Receive);
    QSignalSpy trace(&navlet, &Navlet::HexDebug);
    navlet.Request_Date_Time();
    ASSERT_TRUE(QTest::qWaitFor([&] { return navlet.Date_Time().year != 0; }, WaitMs));
    EXPECT_EQ(navlet.Date_Time(), (cDate_Time{5, 17, 2003, 14, 3, 9}));
    navlet.Pvt_Data_Start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return navlet.PvtData().Lat != 0; }, WaitMs));
    EXPECT_NEAR(navlet.PvtData().Lat, -33.5, 1e-9);
    EXPECT_NEAR(navlet.PvtData().Lon, 151.25, 1e-9);
    navlet.Pvt_Data_Stop();
    EXPECT_FALSE(navlet.link().timerActive());
    for (const auto& args : trace)
        EXPECT_FALSE(args.at(0).toString().startsWith(QStringLiteral("PC -\u00BB GPS 10 06 01 33 ")))
            << "position packets are never acknowledged";
    navlet.PortClose();
}

TEST(EndToEndNmea, SentencesFromAnNmeaTalkerReachTheNmeaEvent)
{
    const QString good = "$GPGLL,5222.2120,N,00453.7120,E,140309,A";
    const QString goodSentence = good + "*" + Navlet().NMEA_Checksum(good);
    const QString badSentence = good + "*00";
    SimProcess sim(QJsonObject{{"sendProtocolArray", false},
                               {"nmea", QJsonObject{{"sentences", QJsonArray{goodSentence, badSentence, good}},
                                                    {"intervalMs", 20}}}});
    Navlet navlet;
    navlet.setDevicePath(sim.devicePath());
    QMap<QString, bool> seen;
    QObject context;
    QObject::connect(&navlet, &Navlet::NMEA, &context, [&](const QString& s, bool chkerr) { seen[s] = chkerr; });
    navlet.PortOpen();
    ASSERT_TRUE(QTest::qWaitFor([&] { return seen.size() == 3; }, WaitMs)) << seen.size();
    EXPECT_TRUE(seen.value(goodSentence));
    EXPECT_FALSE(seen.value(badSentence, true));
    EXPECT_FALSE(seen.value(good, true));
    navlet.PortClose();
}

} // namespace
