// The protocol array: slot rules, capability texts, and the switch to the "L002" numbering.
#include "navlet/Capabilities.h"
#include "navlet/Framing.h"
#include "navlet/Navlet.h"
#include "navlet/NavletIds.h"
#include "navlet/RecordFormats.h"

#include "ReceiverSide.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace navlet;

namespace {

QByteArray protocolArray(const QStringList& names)
{
    std::vector<ProtocolEntry> entries;
    for (const QString& n : names)
        entries.push_back(*parseProtocolName(n));
    return encodeProtocolArray(entries);
}

Capabilities capabilitiesOf(const QStringList& names)
{
    const QByteArray data = protocolArray(names);
    return capabilitiesFromSlots(parseProtocolArray(bytesOf(data)));
}

QString unfilled(const char* digits) { return QString(QChar(0)) + QLatin1String(digits); }

TEST(ProtocolArray, SlotRules)
{
    struct Row { const char* legend; QStringList array; Capabilities expected; };
    Capabilities typical;
    typical.Waypoint_Data_Format = "D103";
    typical.Route_Data_Format = "D201";
    typical.Track_Data_Format = "D300";
    typical.Prox_Wpt_Data_Format = "D403";
    Capabilities twoTrackTypes = typical;
    twoTrackTypes.Track_Transfer_Protocol = "A301";
    twoTrackTypes.Track_Data_Format = "D310"; // the header type comes first
    twoTrackTypes.Prox_Wpt_Transfer_Protocol = "D301";
    twoTrackTypes.Prox_Wpt_Data_Format = unfilled("0");
    Capabilities overwritten = twoTrackTypes;
    overwritten.Prox_Wpt_Transfer_Protocol = "A400";
    overwritten.Prox_Wpt_Data_Format = "D400";
    const QStringList head = {"P000", "L001", "A010", "A100", "D103", "A200", "D201", "D100"};
    const Row rows[] = {
        {"a typical receiver", head + QStringList{"A300", "D300", "A400", "D403", "A500", "D500", "A600", "D600"}, typical},
        {"a second track type lands in the proximity slot", head + QStringList{"A301", "D310", "D301"}, twoTrackTypes},
        {"a later A4xx protocol overwrites it", head + QStringList{"A301", "D310", "D301", "A400", "D400"}, overwritten},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.legend);
        EXPECT_EQ(capabilitiesOf(r.array), r.expected);
    }
}

TEST(ProtocolArray, UnfilledSlotsUnknownTagsAndOutOfRangeSlots)
{
    const Capabilities c = capabilitiesOf({"L2", "X100", "A2300", "D999", "A1000", "D123"});
    EXPECT_EQ(c.Link_Protocol, "L002");                 // at least three digits
    EXPECT_EQ(c.WayPoint_Transfer_Protocol, unfilled("0"));
    EXPECT_EQ(c.Prox_Wpt_Transfer_Protocol, "A1000");   // A10xx: the quotient 10 is the slot
    EXPECT_EQ(c.Prox_Wpt_Data_Format, "D123");
    EXPECT_EQ(capabilitiesOf({}).Link_Protocol, unfilled("000"));
    // A trailing partial entry is not read.
    QByteArray data = protocolArray({"L001"});
    data += "D";
    EXPECT_EQ(capabilitiesFromSlots(parseProtocolArray(bytesOf(data))).Link_Protocol, "L001");
}

TEST(ProtocolArray, L002Numbering)
{
    LinkIds ids = LinkIds::forLinkProtocol("L002");
    struct Row { const char* name; int value; int expected; };
    const Row rows[] = {
        {"PID_Almanac_Data", ids.PID_Almanac_Data, 4}, {"PID_Command_Data", ids.PID_Command_Data, 11},
        {"PID_Xfer_Cmplt", ids.PID_Xfer_Cmplt, 12}, {"PID_Date_Time", ids.PID_Date_Time, 20},
        {"PID_Position_Data", ids.PID_Position_Data, 24}, {"PID_Records", ids.PID_Records, 35},
        {"PID_Rte_Hdr", ids.PID_Rte_Hdr, 37}, {"PID_Rte_Wpt_Data", ids.PID_Rte_Wpt_Data, 39},
        {"PID_Wpt_Data", ids.PID_Wpt_Data, 43}, {"CMND_Reset_Transfer", ids.CMND_Reset_Transfer, 0},
        {"CMND_Transfer_Alm", ids.CMND_Transfer_Alm, 4}, {"CMND_Transfer_Rte", ids.CMND_Transfer_Rte, 8},
        {"CMND_Transfer_Time", ids.CMND_Transfer_Time, 20}, {"CMND_Transfer_Wpt", ids.CMND_Transfer_Wpt, 21},
        {"CMND_Turn_Off_Pwr", ids.CMND_Turn_Off_Pwr, 26},
        {"unchanged: PID_Trk_Data", ids.PID_Trk_Data, 34}, {"unchanged: CMND_Transfer_Trk", ids.CMND_Transfer_Trk, 6},
        {"unchanged: PID_Ack_Byte", ids.PID_Ack_Byte, 6}, {"unchanged: PID_Pvt_Data", ids.PID_Pvt_Data, 51},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(r.value, r.expected);
    }
    EXPECT_EQ(LinkIds::forLinkProtocol("L001"), LinkIds{});
}

// The control receiving a protocol array over a real line.
class CapabilityLink : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(receiver.isValid());
        navlet.setDevicePath(receiver.devicePath());
        navlet.PortOpen();
        ASSERT_TRUE(navlet.isPortOpen());
    }
    void TearDown() override { navlet.PortClose(); }

    // Sends the array, waits for the control's ACK, and returns the trace lines it raised.
    QStringList receiveArray(const QStringList& names)
    {
        QSignalSpy trace(&navlet, &Navlet::HexDebug);
        QSignalSpy received(&navlet, &Navlet::Receive);
        receiver.sendPacket(253, protocolArray(names));
        EXPECT_TRUE(received.wait(5000));
        EXPECT_EQ(receiver.takePackets(1).size(), 1u); // the ACK
        QStringList lines;
        for (const auto& args : trace)
            lines << args.at(0).toString();
        return lines;
    }

    navlet_test::ReceiverSide receiver;
    Navlet navlet;
};

TEST_F(CapabilityLink, FreshControlHasTheDefaults)
{
    EXPECT_EQ(navlet.Link_Protocol(), "L001");
    EXPECT_EQ(navlet.Waypoint_Data_Format(), "D108");
    EXPECT_EQ(navlet.PID_Wpt_Data(), 35);
}

TEST_F(CapabilityLink, ArraySetsThePropertiesAndTracesTheWaypointFormat)
{
    const QStringList lines = receiveArray({"P000", "L001", "A100", "D103", "A300", "D301"});
    EXPECT_TRUE(lines.contains("Protocol = D103"));
    EXPECT_EQ(navlet.Waypoint_Data_Format(), "D103");
    EXPECT_EQ(navlet.Track_Data_Format(), "D301");
    EXPECT_EQ(navlet.PID_Wpt_Data(), 35);
}

TEST_F(CapabilityLink, RequestsAfterTheSwitchToL002CarryTheNewCodes)
{
    receiveArray({"P000", "L002", "A100", "D108"});
    EXPECT_EQ(navlet.Link_Protocol(), "L002");
    EXPECT_EQ(navlet.PID_Wpt_Data(), 43);
    struct Row { const char* legend; std::function<void()> call; QByteArray packet; };
    const Row rows[] = {
        {"Request_Waypoints", [&] { navlet.Request_Waypoints(); }, buildPacket(11, QByteArray("\x15\x00", 2))},
        {"Request_Routes", [&] { navlet.Request_Routes(); }, buildPacket(11, QByteArray("\x08\x00", 2))},
        {"Request_Date_Time", [&] { navlet.Request_Date_Time(); }, buildPacket(11, QByteArray("\x14\x00", 2))},
        {"Power_Off", [&] { navlet.Power_Off(); }, buildPacket(11, QByteArray("\x1A\x00", 2))},
        {"Reset", [&] { navlet.Reset(); }, buildPacket(11, QByteArray("\x00\x00", 2))},
        {"Start_of_Records", [&] { navlet.Start_of_Records(2); }, buildPacket(35, QByteArray("\x02\x00", 2))},
        {"End_of_Records", [&] { navlet.End_of_Records(); }, buildPacket(12, QByteArray("\x00\x00", 2))},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.legend);
        r.call();
        const auto packets = receiver.takePackets(1);
        ASSERT_EQ(packets.size(), 1u);
        EXPECT_EQ(packets[0].toHex(' '), withChecksum(r.packet).toHex(' '));
    }
}

TEST_F(CapabilityLink, IncomingIdentifiersFollowTheSwitch)
{
    receiveArray({"L002", "A100", "D108"});
    QSignalSpy received(&navlet, &Navlet::Receive);
    receiver.sendPacket(35, QByteArray("\x2C\x01", 2)); // L002 record count
    ASSERT_TRUE(received.wait(5000));
    EXPECT_EQ(navlet.Incoming_Records_Count(), 300);
}

TEST_F(CapabilityLink, TheNumberingIsChosenPerConnection)
{
    receiveArray({"L002", "A100", "D108"});
    receiveArray({"L001", "A100", "D108"});
    EXPECT_EQ(navlet.PID_Wpt_Data(), 35) << "an L001 array after an L002 one";
    receiveArray({"L002", "A100", "D103"});
    navlet.PortClose();
    navlet.PortOpen(); // another receiver may be on the line now
    EXPECT_EQ(navlet.Link_Protocol(), "L001");
    EXPECT_EQ(navlet.Waypoint_Data_Format(), "D108");
    EXPECT_EQ(navlet.PID_Wpt_Data(), 35);
}

TEST_F(CapabilityLink, TrackPacketsAreReadWithTheLayoutsOfTheTrackProtocol)
{
    cTrack header;
    header.Dspl = true;
    header.Ident = "LOG";
    cTrack point;
    point.Lat = semicirclesToDegrees(1 << 29);
    point.Time = "2003/05/17-14:03:09";
    point.Alt = 12.5f;
    point.New_Segment = true;
    struct Row { const char* legend; QStringList protocols; QString dataFormat; QString pointFormat; bool readable; };
    const Row rows[] = {
        {"A301: the header layout is the Track_Data_Format, points use the next one",
         {"L001", "A301", "D310", "D301", "A400", "D400"}, "D310", "D301", true},
        {"A302", {"L001", "A302", "D311", "D302"}, "D311", "D302", true},
        {"A300", {"L001", "A300", "D301"}, "D301", "D301", true},
        {"a point layout the control does not know", {"L001", "A300", "D399"}, "D399", "D399", false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.legend);
        receiveArray(r.protocols);
        EXPECT_EQ(navlet.Track_Data_Format(), r.dataFormat);
        EXPECT_EQ(navlet.trackPointFormat(), r.pointFormat);
        bool decoded = false;
        QObject context;
        QObject::connect(&navlet, &Navlet::Receive, &context, [&](quint8, quint8) { decoded = navlet.lastRecordDecoded(); });
        if (!navlet.trackHeaderFormat().isEmpty()) {
            receiver.sendPacket(99, *encodeTrack(navlet.trackHeaderFormat(), header));
            ASSERT_TRUE(QSignalSpy(&navlet, &Navlet::Receive).wait(5000));
            EXPECT_TRUE(decoded);
            EXPECT_EQ(navlet.Track().Ident, r.dataFormat == "D311" ? "0" : "LOG");
            receiver.takePackets(1);
        }
        const QString wireFormat = r.readable ? r.pointFormat : QStringLiteral("D301");
        receiver.sendPacket(34, *encodeTrack(wireFormat, point));
        ASSERT_TRUE(QSignalSpy(&navlet, &Navlet::Receive).wait(5000));
        receiver.takePackets(1);
        EXPECT_EQ(decoded, r.readable);
        if (r.readable) {
            EXPECT_EQ(navlet.Track().Lat, 90.0 / 2);
            EXPECT_EQ(navlet.Track().Alt, 12.5f);
        } else {
            EXPECT_EQ(navlet.lastRecordFormat(), "D399");
        }
    }
}

} // namespace
