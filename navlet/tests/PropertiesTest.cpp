// The control's surface without a receiver: defaults, read-only properties, helpers.
#include "navlet/Navlet.h"
#include "navlet/RecordJson.h"

#include <gtest/gtest.h>

using namespace navlet;

namespace {

TEST(Properties, DefaultsInInterfaceOrder)
{
    const Navlet n;
    const std::vector<std::pair<QString, QVariant>> expected = {
        {"IgnoreCheckSum", false}, {"Link_Protocol", "L001"}, {"WayPoint_Transfer_Protocol", "A100"},
        {"Route_Transfer_Protocol", "A200"}, {"Track_Transfer_Protocol", "A300"},
        {"Prox_Wpt_Transfer_Protocol", "A400"}, {"Waypoint_Data_Format", "D108"},
        {"Route_Data_Format", "D200"}, {"Route_Wpt_Data_Format", "D100"}, {"Track_Data_Format", "D300"},
        {"Prox_Wpt_Data_Format", "D400"}, {"CMND_Reset_Transfer", 0}, {"CMND_Transfer_Alm", 1},
        {"CMND_Transfer_Posn", 2}, {"CMND_Transfer_Prx", 3}, {"CMND_Transfer_Rte", 4},
        {"CMND_Transfer_Time", 5}, {"CMND_Transfer_Trk", 6}, {"CMND_Transfer_Wpt", 7},
        {"CMND_Turn_Off_Pwr", 8}, {"CMND_Start_Pvt_Data", 49}, {"CMND_Stop_Pvt_Data", 50},
        {"CMND_Start_Async", 255}, {"PID_Command_Data", 10}, {"PID_Xfer_Cmplt", 12},
        {"PID_Position_Data", 17}, {"PID_Date_Time", 14}, {"PID_Prx_Wpt_Data", 19}, {"PID_Records", 27},
        {"PID_Rte_Hdr", 29}, {"PID_Rte_Wpt_Data", 30}, {"PID_Almanac_Data", 31}, {"PID_Trk_Data", 34},
        {"PID_Wpt_Data", 35}, {"PID_Pvt_Data", 51}, {"PID_Product_Rqst", 254}, {"PID_Product_Data", 255},
        {"PID_Ack_Byte", 6}, {"PID_Nak_Byte", 21}, {"PID_Protocol_Array", 253}, {"Port", 1},
        {"Incoming_Records_Count", 0},
    };
    const auto actual = n.scalarProperties();
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(expected[i].first.toStdString());
        EXPECT_EQ(actual[i].first, expected[i].first);
        EXPECT_EQ(actual[i].second.toString(), expected[i].second.toString());
    }
}

TEST(Properties, EveryReadOnlyPropertyRefusesAWriteWith383)
{
    Navlet n;
    for (const auto& [name, before] : n.scalarProperties()) {
        if (name == "IgnoreCheckSum" || name == "Port")
            continue;
        SCOPED_TRACE(name.toStdString());
        const NavletStatus s = n.setProperty_(name, 40);
        EXPECT_EQ(s.code, 383);
        EXPECT_EQ(s.description, "Property is Read Only");
        EXPECT_EQ(n.property_(name), before);
    }
    EXPECT_EQ(n.PID_Wpt_Data(), 35);
}

TEST(Properties, WritableProperties)
{
    Navlet n;
    EXPECT_TRUE(n.setProperty_("Port", 3).ok());
    EXPECT_EQ(n.Port(), 3);
    EXPECT_EQ(n.setProperty_("Port", "three").code, 380);
    EXPECT_EQ(n.Port(), 3);
    EXPECT_TRUE(n.setProperty_("IgnoreCheckSum", true).ok());
    EXPECT_TRUE(n.IgnoreCheckSum());
    EXPECT_EQ(n.setProperty_("NoSuchThing", 1).code, 438);
}

TEST(Properties, RecordObjectsAreAssignedWhole)
{
    Navlet n;
    cWaypoint w;
    w.Ident = "HOME";
    w.Smbl = 18;
    EXPECT_TRUE(n.setProperty_("Waypoint", QVariant::fromValue(w)).ok());
    EXPECT_EQ(n.Waypoint(), w);
    EXPECT_EQ(n.setProperty_("Waypoint", QVariant::fromValue(cRoute{})).code, 380);
    EXPECT_EQ(n.Waypoint(), w);
    cTrack t;
    t.Ident = "LOG";
    n.setTrack(t);
    EXPECT_EQ(n.Track(), t);
}

TEST(Properties, Helpers)
{
    Navlet n;
    QString text = QString::fromLatin1(QByteArray("  AB\0CD  ", 9));
    EXPECT_EQ(n.TrimNull(text), "AB");
    EXPECT_EQ(text, QString::fromLatin1(QByteArray("AB\0CD", 5))); // the argument is trimmed too
    EXPECT_EQ(n.Address_Of(123456), 123456);
    // G^P^G^L^L
    const int x = 'G' ^ 'P' ^ 'G' ^ 'L' ^ 'L';
    EXPECT_EQ(n.NMEA_Checksum("$GPGLL*00"), QStringLiteral("%1").arg(x, 2, 16, QLatin1Char('0')).toUpper());
    EXPECT_EQ(n.NMEA_Checksum("$"), "00");
}

TEST(Properties, RecordJsonKeepsEveryFieldByName)
{
    cWaypoint w;
    w.Ident = "AP1";
    w.Alt = 12.3f;
    w.Lat = 51.5;
    const QJsonObject o = toJson(w);
    EXPECT_EQ(o.size(), 23);
    EXPECT_EQ(o.value("Alt").toDouble(), 12.3); // floats in their shortest decimal form
    EXPECT_EQ(waypointFromJson(o), w);
    cTrack t;
    t.New_Segment = true;
    EXPECT_EQ(trackFromJson(toJson(t)), t);
}

} // namespace
