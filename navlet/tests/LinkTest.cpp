// The link over a real pseudo-terminal: acknowledgement, resending, timer rules, traces.
#include "NavletOnPty.h"

#include "navlet/Framing.h"
#include "navlet/RecordFormats.h"
#include "navlet/RecordTransfer.h"
#include "navlet/StatusRecords.h"

using namespace navlet;
using navlet_test::NavletOnPty;

namespace {

QByteArray d108(const QString& ident)
{
    cWaypoint w;
    w.Ident = ident;
    return *encodeWaypoint("D108", w);
}

using Link = NavletOnPty;

TEST_F(Link, DataPacketsAreAcknowledgedWithTheirIdentifierButPositionsNever)
{
    deliver(51, QByteArray(64, '\0')); // position packet
    deliver(35, d108("AP1"));
    const auto packets = receiver.takePackets(1);
    ASSERT_EQ(packets.size(), 1u) << "only the waypoint is acknowledged";
    EXPECT_EQ(packets[0], packet(6, QByteArray(1, 35)));
}

TEST_F(Link, ReceiveIsRaisedAfterTheRecordWasDecoded)
{
    QString identSeen;
    int idSeen = 0;
    QObject context;
    QObject::connect(&navlet, &Navlet::Receive, &context, [&](quint8 id, quint8) {
        idSeen = id;
        identSeen = navlet.Waypoint().Ident;
    });
    deliver(35, d108("AP1"));
    EXPECT_EQ(idSeen, 35);
    EXPECT_EQ(identSeen, "AP1");
}

TEST_F(Link, EveryFrameOfOneReadIsHandledInOrder)
{
    QSignalSpy received(&navlet, &Navlet::Receive);
    receiver.sendRaw("noise" + receiver.wire(27, QByteArray("\x02\x00", 2)) + receiver.wire(35, d108("A"))
                     + receiver.wire(35, d108("B")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return received.size() == 3; }, 5000));
    EXPECT_EQ(received.at(0).at(0).toInt(), 27);
    EXPECT_EQ(navlet.Waypoint().Ident, "B");
    const auto acks = receiver.takePackets(3);
    ASSERT_EQ(acks.size(), 3u);
    EXPECT_EQ(acks[2], packet(6, QByteArray(1, 35)));
}

TEST_F(Link, ASizeByteOfZeroIsTakenAsTheRealCount)
{
    QByteArray p = packet(27, QByteArray("\x2C\x01", 2)); // checksum over the real count
    p[2] = 0;
    QSignalSpy received(&navlet, &Navlet::Receive);
    receiver.sendRaw(stuff(p));
    ASSERT_TRUE(received.wait(5000));
    EXPECT_EQ(navlet.Incoming_Records_Count(), 300);
    EXPECT_EQ(takeOne(), packet(6, QByteArray(1, 27)));
}

TEST_F(Link, ANakResendsTheLastPacket)
{
    navlet.Request_Tracks();
    const QByteArray request = takeOne();
    EXPECT_EQ(request, packet(10, QByteArray("\x06\x00", 2)));
    deliver(21, QByteArray(1, 10));
    EXPECT_EQ(takeOne(), request);
    EXPECT_EQ(navlet.link().linkErrorCount(), 1);
}

TEST_F(Link, AnAckOrNakCountsOnlyWhenItNamesThePacketJustSent)
{
    navlet.Start_of_Records(3);
    const QByteArray records = takeOne();
    struct Row { const char* legend; std::uint8_t id; std::uint8_t named; bool damaged; bool valid; bool resent; int errors; bool awaiting; };
    const Row rows[] = {
        {"an ACK for the reset of an earlier question is not ours", 6, 10, false, false, false, 0, true},
        {"a NAK for another packet resends nothing", 21, 35, false, false, false, 0, true},
        {"our NAK resends", 21, 27, false, true, true, 1, true},
        {"a second one in a row", 21, 27, false, true, true, 2, true},
        {"a damaged answer: sent again at once", 6, 27, true, false, true, 2, true},
        {"our ACK ends the wait and the run of NAKs", 6, 27, false, true, false, 0, false},
        {"a late second ACK is not taken for the next packet", 6, 27, false, false, false, 0, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.legend);
        bool valid = !r.valid;
        QObject context;
        QObject::connect(&navlet, &Navlet::Receive, &context, [&](quint8, quint8) { valid = navlet.lastFrameValid(); });
        deliver(r.id, QByteArray(1, static_cast<char>(r.named)), r.damaged);
        EXPECT_EQ(valid, r.valid);
        const auto sent = receiver.takePackets(1, std::chrono::milliseconds(r.resent ? 5000 : 50));
        EXPECT_EQ(sent, r.resent ? std::vector<QByteArray>{records} : std::vector<QByteArray>{});
        EXPECT_EQ(navlet.link().linkErrorCount(), r.errors);
        EXPECT_EQ(navlet.link().awaitingAck(), r.awaiting);
    }
}

TEST_F(Link, APacketRepeatedBecauseOurAckWasLostIsAcknowledgedAgainButTakenOnce)
{
    navlet.Request_Waypoints();
    takeOne();
    std::vector<bool> valid;
    QObject context;
    QObject::connect(&navlet, &Navlet::Receive, &context, [&](quint8, quint8) { valid.push_back(navlet.lastFrameValid()); });
    for (const char* ident : {"AP1", "AP1", "AP2", "AP1"}) {
        deliver(35, d108(ident));
        EXPECT_EQ(takeOne(), packet(6, QByteArray(1, 35)));
    }
    EXPECT_EQ(valid, (std::vector<bool>{true, false, true, true})) << "only the repeat right after it is dropped";
    EXPECT_EQ(navlet.transferRecordsReceived(), 3);
}

// The transfer engine over the same line: repeats settled by the record count, a track header
// opening a segment, a cut-short download saying how many of how many.
TEST_F(Link, ADownloadSettlesRepeatsByItsCountAndOpensASegmentAtEveryHeader)
{
    QByteArray protocols;
    for (const auto& [tag, number] : {std::pair{'P', 0}, {'L', 1}, {'A', 301}, {'D', 310}, {'D', 301}})
        protocols += QByteArray(1, tag) + QByteArray(1, char(number & 0xFF)) + QByteArray(1, char(number >> 8));
    deliver(253, protocols);
    const auto point = [](double lat) {
        cTrack t;
        t.Lat = lat;
        return *encodeTrack("D301", t); // New_Segment never set
    };
    const QByteArray header = *encodeTrack("D310", cTrack{});
    struct Row {
        const char* legend;
        int count;
        std::vector<std::pair<int, QByteArray>> packets; // after the record count
        bool ended;
        std::vector<double> points;   // delivered, in order
        std::vector<bool> newSegment;
        const char* received;
    };
    const Row rows[] = {
        {"equal points of a standing receiver all arrive", 4, {{34, point(1)}, {34, point(2)}, {34, point(2)}, {34, point(2)}},
         true, {1, 2, 2, 2}, {false, false, false, false}, "4 of 4 records"},
        {"a point sent again because our ACK was lost is taken once", 3, {{34, point(1)}, {34, point(2)}, {34, point(2)}, {34, point(3)}},
         true, {1, 2, 3}, {false, false, false}, "3 of 3 records"},
        {"a header opens a segment though its point does not say so", 4, {{99, header}, {34, point(1)}, {99, header}, {34, point(2)}},
         true, {1, 2}, {true, true}, "4 of 4 records"},
        {"cut short: what came is kept", 5, {{34, point(1)}, {34, point(2)}}, false, {1, 2}, {false, false}, "2 of 5 records"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.legend);
        RecordDownload transfer(navlet);
        std::vector<double> points;
        std::vector<bool> newSegment;
        QObject::connect(&transfer, &RecordDownload::record, &transfer, [&](quint8 id) {
            if (id == 34) {
                points.push_back(navlet.Track().Lat);
                newSegment.push_back(navlet.Track().New_Segment);
            }
        });
        transfer.start([&] { navlet.Request_Tracks(); }, {34, 99}, 5000);
        deliver(27, encodeRecordsCount(static_cast<qint16>(r.count)));
        for (const auto& [id, data] : r.packets)
            deliver(static_cast<std::uint8_t>(id), data);
        if (r.ended)
            deliver(12, QByteArray(2, '\0'));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !transfer.running(); }, 20000));
        EXPECT_EQ(transfer.complete(), r.ended);
        EXPECT_EQ(transfer.received(), r.received);
        ASSERT_EQ(points.size(), r.points.size());
        for (std::size_t i = 0; i < points.size(); ++i)
            EXPECT_NEAR(points[i], r.points[i], 1e-6) << i;
        EXPECT_EQ(newSegment, r.newSegment);
        receiver.takePackets(0, std::chrono::milliseconds(0));
    }
}

TEST_F(Link, ABadChecksumIsAnsweredWithANakForItsIdentifier)
{
    deliver(34, QByteArray(13, '\0'), /*corrupt=*/true);
    EXPECT_EQ(takeOne(), packet(21, QByteArray(1, 34)));
    deliver(34, QByteArray(13, '\0'));
    EXPECT_EQ(takeOne(), packet(6, QByteArray(1, 34)));
    EXPECT_EQ(navlet.link().linkErrorCount(), 0) << "a good frame clears the error count";
}

TEST_F(Link, TimerRules)
{
    struct Row { const char* legend; std::function<void()> action; bool armed; };
    const Row rows[] = {
        {"a request arms the timer", [&] { navlet.Request_Product_Data(); }, true},
        {"an ACK frame from the receiver disarms it", [&] { deliver(6, QByteArray(1, '\xFE')); }, false},
        {"a track request arms it", [&] { navlet.Request_Tracks(); }, true},
        {"power off disarms it: the receiver will not answer", [&] { navlet.Power_Off(); }, false},
        {"the track request again", [&] { navlet.Request_Tracks(); }, true},
        {"a track point keeps it armed (more follow)", [&] { deliver(34, QByteArray(13, '\0')); }, true},
        {"sending the ACK leaves it armed", [&] { navlet.Send(packet(6, QByteArray(1, 34))); }, true},
        {"transfer complete disarms it", [&] { deliver(12, QByteArray(2, '\0')); }, false},
        {"an upload packet arms it", [&] { navlet.Start_of_Records(1); }, true},
        {"stopping position data disarms it", [&] { navlet.Pvt_Data_Stop(); }, false},
        {"starting position data arms it", [&] { navlet.Pvt_Data_Start(); }, true},
        {"a reset disarms it", [&] { navlet.Reset(); }, false},
        {"an almanac packet does not arm it", [&] { deliver(31, QByteArray(4, '\0')); }, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.legend);
        r.action();
        EXPECT_EQ(navlet.link().timerActive(), r.armed);
        EXPECT_EQ(navlet.link().tickCount(), 0);
        receiver.takePackets(0, std::chrono::milliseconds(0));
    }
}

TEST_F(Link, UploadPackets)
{
    navlet.Start_of_Records(300);
    EXPECT_EQ(takeOne(), packet(27, QByteArray("\x2C\x01", 2)));
    navlet.Waypoint().Ident = "AP1";
    navlet.Send_Waypoint();
    EXPECT_EQ(takeOne(), packet(35, d108("AP1")));
    navlet.Send_Route_Waypoint();
    EXPECT_EQ(takeOne(), packet(30, d108("AP1")));
    navlet.Route().Number = 3;
    navlet.Send_Route();
    EXPECT_EQ(takeOne(), packet(29, QByteArray(1, 3)));
    navlet.Track().Lat = 45.0;
    navlet.Track().Time = "1989/12/31-01:01:01";
    navlet.Send_Track();
    EXPECT_EQ(takeOne(), packet(34, QByteArray::fromHex("00000020" "00000000" "4D0E0000" "00")));
    navlet.End_of_Records();
    EXPECT_EQ(takeOne(), packet(12, QByteArray(2, '\0'))) << "always 0, 0 whatever went before";
}

TEST_F(Link, AnUnknownWaypointFormatSendsNothing)
{
    deliver(253, QByteArray("L\x01\x00" "A\x64\x00" "D\xE7\x03", 9)); // L001 A100 D999
    takeOne();
    ASSERT_EQ(navlet.Waypoint_Data_Format(), "D999");
    navlet.Send_Waypoint();
    navlet.Request_Tracks();
    EXPECT_EQ(takeOne(), packet(10, QByteArray("\x06\x00", 2)));
}

TEST_F(Link, TracesBothDirections)
{
    QSignalSpy trace(&navlet, &Navlet::HexDebug);
    navlet.Request_Product_Data();
    takeOne();
    deliver(6, QByteArray(1, '\xFE'));
    ASSERT_GE(trace.size(), 2);
    EXPECT_EQ(trace.at(0).at(0).toString(), QStringLiteral("PC -\u00BB GPS 10 FE 02 00 00 00 10 03 "));
    EXPECT_EQ(trace.at(1).at(0).toString(), QStringLiteral("PC \u00AB- GPS 10 06 01 FE FB 10 03 "));
}

TEST_F(Link, OpeningTracesTheDevice)
{
    navlet.PortClose();
    QSignalSpy trace(&navlet, &Navlet::HexDebug);
    navlet.PortOpen();
    ASSERT_EQ(trace.size(), 1);
    EXPECT_EQ(trace.at(0).at(0).toString(), "Comm port = " + receiver.devicePath());
}

TEST_F(Link, TheReceiveBufferIsBounded)
{
    receiver.sendRaw(QByteArray("\x10\x22", 2) + QByteArray(10000, 'x')); // a frame that never ends
    ASSERT_TRUE(QTest::qWaitFor([&] { return navlet.link().bufferedBytes() == 4096; }, 5000));
    deliver(35, d108("AFTER"));
    EXPECT_EQ(navlet.Waypoint().Ident, "AFTER");
}

TEST_F(Link, WaitForKeepsTheLinkRunning)
{
    navlet.setTimeScale({0.05});
    QSignalSpy received(&navlet, &Navlet::Receive);
    receiver.sendPacket(35, d108("DURING"));
    navlet.WaitFor(1);
    EXPECT_EQ(received.size(), 1);
    EXPECT_EQ(navlet.Waypoint().Ident, "DURING");
}

TEST_F(Link, SendOpensAClosedPort)
{
    navlet.PortClose();
    ASSERT_FALSE(navlet.isPortOpen());
    navlet.Request_Waypoints();
    EXPECT_TRUE(navlet.isPortOpen());
    EXPECT_EQ(takeOne(), packet(10, QByteArray("\x07\x00", 2)));
}

TEST_F(Link, OnlyTheHostReopensALineItClosed)
{
    // A frame read together with the one whose handler closed the port is not answered.
    QSignalSpy received(&navlet, &Navlet::Receive);
    QObject context;
    QObject::connect(&navlet, &Navlet::Receive, &context, [&] { navlet.PortClose(); });
    receiver.sendRaw(receiver.wire(35, d108("A")) + receiver.wire(35, d108("B")));
    ASSERT_TRUE(received.wait(5000));
    EXPECT_FALSE(navlet.isPortOpen());
    EXPECT_EQ(received.size(), 1);
    EXPECT_EQ(navlet.link().bufferedBytes(), 0);

    // Giving up on a closed line sends no reset: its device may be another program's by now.
    QObject::disconnect(&navlet, &Navlet::Receive, &context, nullptr);
    navlet.PortOpen();
    navlet.Request_Product_Data();
    navlet.PortClose();
    for (int i = 0; i <= navlet::timing::SilentTicksBeforePrompt; ++i)
        navlet.link().tick();
    ASSERT_EQ(prompt.calls.size(), 1u);
    EXPECT_FALSE(navlet.isPortOpen());
}

} // namespace
