// Waypoint, track and route layouts: byte dumps of known records, and every encoder read back
// by its decoder.
#include "navlet/RecordFormats.h"

#include <gtest/gtest.h>

using namespace navlet;

namespace {

// Positions that semicircles hold exactly, so round trips compare equal.
double deg(std::int32_t semicircles) { return semicirclesToDegrees(semicircles); }

QByteArray hex(const char* text) { return QByteArray::fromHex(text); }

cWaypoint prefixWaypoint()
{
    cWaypoint w;
    w.Ident = QStringLiteral("HOME");
    w.Lat = deg(536870912);
    w.Lon = deg(-123456789);
    w.Cmnt = QStringLiteral("Front door");
    w.Unused1 = 7;
    return w;
}

struct WaypointRow { const char* format; cWaypoint record; };

std::vector<WaypointRow> waypointRows()
{
    std::vector<WaypointRow> rows;
    cWaypoint w = prefixWaypoint();
    rows.push_back({"D100", w});
    w.Dist = 12.5f; w.Smbl = 18;
    rows.push_back({"D101", w});
    w.Smbl = 16391;
    rows.push_back({"D102", w});
    w = prefixWaypoint(); w.Smbl = 18; w.Dspl = 1;
    rows.push_back({"D103", w});
    w = prefixWaypoint(); w.Dist = 3.25f; w.Smbl = 300; w.Dspl = 2;
    rows.push_back({"D104", w});
    w = {}; w.Lat = deg(1); w.Lon = deg(-1); w.Smbl = 8197; w.Ident = QStringLiteral("A LONGER NAME");
    rows.push_back({"D105", w});
    w.Wpt_Class = 0; w.Link = QStringLiteral("ROUTE 1");
    rows.push_back({"D106", w});
    w.Wpt_Class = 3; w.Sub_Class = QStringLiteral("TEXTCLASS");
    rows.push_back({"D106", w});
    w = prefixWaypoint(); w.Smbl = 5; w.Dspl = 1; w.Dist = 99.5f; w.Color = 3;
    rows.push_back({"D107", w});
    return rows;
}

cWaypoint fullD108()
{
    cWaypoint w;
    w.Wpt_Class = 0; w.Color = 4; w.Dspl = 1; w.Attrib = 0x60; w.Smbl = 16391;
    w.Lat = deg(-536870912); w.Lon = deg(1073741823);
    w.Alt = 123.5f; w.Dpth = 2.25f; w.Dist = 1000.0f;
    w.State = QStringLiteral("NY"); w.Country = QStringLiteral("US");
    w.Ident = QStringLiteral("AP1"); w.Cmnt = QStringLiteral("comment"); w.Facility = QStringLiteral("Fac");
    w.City = QStringLiteral("City"); w.Address = QStringLiteral("Addr"); w.Cross_Road = QStringLiteral("Cross");
    return w;
}

std::vector<WaypointRow> aviationRows()
{
    std::vector<WaypointRow> rows;
    rows.push_back({"D108", fullD108()});
    cWaypoint a;
    a.Ident = QStringLiteral("KJFK"); a.Country = QStringLiteral("US"); a.Wpt_Class = 0;
    a.Lat = deg(485000000); a.Lon = deg(-880000000); a.Alt = 4;
    a.City = QStringLiteral("NEW YORK"); a.State = QStringLiteral("NY");
    a.Facility = QStringLiteral("KENNEDY INTL"); a.Cmnt = QStringLiteral("runway 4L");
    rows.push_back({"D150", a});
    a.Unused1 = 0; a.Dist = 10.0f; a.Unused2 = 0; a.Wpt_Class = 2;
    rows.push_back({"D151", a});
    rows.push_back({"D152", a});
    a.Smbl = 8213;
    rows.push_back({"D154", a});
    a.Dspl = 2;
    rows.push_back({"D155", a});
    return rows;
}

TEST(WaypointFormats, EveryEncoderRoundTripsThroughItsDecoder)
{
    auto rows = waypointRows();
    const auto more = aviationRows();
    rows.insert(rows.end(), more.begin(), more.end());
    for (const WaypointRow& r : rows) {
        SCOPED_TRACE(r.format);
        const WaypointFormat* f = findFormat(waypointFormats(), QString::fromLatin1(r.format));
        ASSERT_NE(f, nullptr);
        const QByteArray data = f->encode(r.record);
        const auto back = f->decode(bytesOf(data), cWaypoint{}, nullptr);
        ASSERT_TRUE(back);
        EXPECT_EQ(*back, r.record);
    }
}

TEST(WaypointFormats, FixedSizesOfTheClassicLayouts)
{
    struct Row { const char* format; int size; };
    const Row rows[] = {{"D100", 58}, {"D101", 63}, {"D102", 64}, {"D103", 60}, {"D104", 65},
                        {"D107", 65}, {"D150", 115}, {"D151", 124}, {"D152", 124}, {"D154", 126},
                        {"D155", 127}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.format);
        EXPECT_EQ(encodeWaypoint(QString::fromLatin1(r.format), prefixWaypoint())->size(), r.size);
    }
}

TEST(WaypointFormats, D100BytesOfAUserWaypoint)
{
    cWaypoint w;
    w.Ident = QStringLiteral("HOME");
    w.Lat = 45.0;
    const QByteArray expected = QByteArray("HOME  ") + hex("00000020" "00000000" "00000000") + QByteArray(40, ' ');
    EXPECT_EQ(encodeWaypoint(QStringLiteral("D100"), w)->toHex(' '), expected.toHex(' '));
}

TEST(WaypointFormats, D108BytesOfAnUploadedAccessPoint)
{
    cWaypoint w;
    w.Ident = QStringLiteral("AP1");
    w.Lat = 45.0;
    w.Dspl = 1; w.Smbl = 16391; w.Attrib = 96;
    // An empty subclass goes out as the user-waypoint subclass the receiver expects.
    const QByteArray expected = hex("00000160" "0740" "000000000000" "FFFFFFFFFFFFFFFFFFFFFFFF"
                                    "00000020" "00000000" "00000000" "00000000" "00000000"
                                    "2020" "2020" "41503100" "00" "00" "00" "00" "00");
    const auto data = encodeWaypoint(QStringLiteral("D108"), w);
    EXPECT_EQ(data->toHex(' '), expected.toHex(' '));
    EXPECT_EQ(*decodeWaypoint(QStringLiteral("D108"), bytesOf(*data), cWaypoint{}), w);
}

TEST(WaypointFormats, D108TracesTheAltitudeBits)
{
    cWaypoint w;
    w.Alt = 1.0f;
    TraceLines trace;
    decodeWaypoint(QStringLiteral("D108"), bytesOf(*encodeWaypoint(QStringLiteral("D108"), w)), {}, &trace);
    const TraceLines expected = {QStringLiteral("00 00 80 3F"),
                                 QStringLiteral("Bin Out = 00111111100000000000000000000000"),
                                 QStringLiteral("Out float = 1")};
    EXPECT_EQ(trace, expected);
}

TEST(WaypointFormats, FieldsAFormatLacksKeepTheirValues)
{
    cWaypoint base;
    base.Smbl = 7;
    base.City = QStringLiteral("kept");
    const auto w = decodeWaypoint(QStringLiteral("D100"), bytesOf(*encodeWaypoint(QStringLiteral("D100"), prefixWaypoint())), base);
    ASSERT_TRUE(w);
    EXPECT_EQ(w->Smbl, 7);
    EXPECT_EQ(w->City, QStringLiteral("kept"));
    EXPECT_EQ(w->Ident, QStringLiteral("HOME"));
}

TEST(WaypointFormats, UnknownShortOrSendOnlyFormatsDecodeNothing)
{
    const QByteArray d108 = *encodeWaypoint(QStringLiteral("D108"), fullD108());
    TraceLines trace;
    EXPECT_FALSE(decodeWaypoint(QStringLiteral("D108"), bytesOf(d108.left(47)), {}, &trace));
    EXPECT_EQ(trace, TraceLines{QStringLiteral("D108 record too short: 47 of 48 bytes")});
    EXPECT_FALSE(decodeWaypoint(QStringLiteral("D999"), bytesOf(d108), {}));
    EXPECT_FALSE(encodeWaypoint(QStringLiteral("D999"), fullD108()));
    EXPECT_FALSE(decodeWaypoint(QStringLiteral("D155"), bytesOf(d108), {}));
    EXPECT_TRUE(encodeWaypoint(QStringLiteral("D155"), fullD108()));
    EXPECT_FALSE(decodeWaypoint(QString(QChar(0)) + QStringLiteral("0"), bytesOf(d108), {}));
}

TEST(WaypointFormats, TextFieldsAreCutToTheirWidthAndTrimmedOnTheWayBack)
{
    cWaypoint w;
    w.Ident = QStringLiteral("TOOLONGNAME");
    w.Cmnt = QStringLiteral("  padded");
    const auto back = decodeWaypoint(QStringLiteral("D103"), bytesOf(*encodeWaypoint(QStringLiteral("D103"), w)), {});
    EXPECT_EQ(back->Ident, QStringLiteral("TOOLON"));
    EXPECT_EQ(back->Cmnt, QStringLiteral("padded"));
}

TEST(TrackFormats, BytesAndRoundTrips)
{
    const auto point = decodeTrack(QStringLiteral("D300"), bytesOf(hex("00000020" "00000000" "4D0E0000" "01")), {});
    ASSERT_TRUE(point);
    cTrack expected;
    expected.Lat = 45.0;
    expected.Time = QStringLiteral("1989/12/31-01:01:01");
    expected.New_Segment = true;
    EXPECT_EQ(*point, expected);

    cTrack t = expected;
    t.Lon = deg(-1000);
    const cTrack withDepth = [&] { cTrack d = t; d.Alt = 55.5f; d.Dpth = -1.5f; d.New_Segment = false; return d; }();
    cTrack header;
    header.Dspl = true; header.Color = 5; header.Ident = QStringLiteral("ACTIVE LOG");
    cTrack numbered;
    numbered.Ident = QStringLiteral("7");
    struct Row { const char* format; cTrack record; int size; };
    const Row rows[] = {{"D300", t, 13},          {"D301", withDepth, 21}, {"D302", withDepth, 25},
                        {"D310", header, 13},     {"D311", numbered, 2},   {"D312", header, 13}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.format);
        const QByteArray data = *encodeTrack(QString::fromLatin1(r.format), r.record);
        EXPECT_EQ(data.size(), r.size);
        EXPECT_EQ(*decodeTrack(QString::fromLatin1(r.format), bytesOf(data), cTrack{}), r.record);
    }
    EXPECT_FALSE(decodeTrack(QStringLiteral("D301"), bytesOf(hex("0000")), {}));
    EXPECT_FALSE(decodeTrack(QStringLiteral("D399"), bytesOf(QByteArray(30, '\0')), {}));
}

TEST(TrackFormats, APointWithoutTimeGoesOutAsTheNoTimeMarker)
{
    cTrack t;
    t.Time = QStringLiteral("not a time");
    EXPECT_EQ(encodeTrack(QStringLiteral("D300"), t)->mid(8, 4), hex("FFFFFFFF"));
}

TEST(RouteFormats, RoundTrips)
{
    cRoute numbered;
    numbered.Number = 12;
    cRoute commented = numbered;
    commented.Cmnt = QStringLiteral("to the lake");
    cRoute named;
    named.Ident = QStringLiteral("HOME TO WORK");
    struct Row { const char* format; cRoute record; int size; };
    const Row rows[] = {{"D200", numbered, 1}, {"D201", commented, 21}, {"D202", named, 13}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.format);
        const auto data = encodeRoute(QString::fromLatin1(r.format), r.record);
        ASSERT_TRUE(data);
        EXPECT_EQ(data->size(), r.size);
        EXPECT_EQ(*decodeRoute(QString::fromLatin1(r.format), bytesOf(*data), cRoute{}), r.record);
    }
    EXPECT_FALSE(decodeRoute(QStringLiteral("D201"), bytesOf(hex("01")), {}));
}

} // namespace
