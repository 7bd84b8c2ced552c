// Record count, date and time, position/velocity/time and product data packets.
#include "navlet/StatusRecords.h"

#include <gtest/gtest.h>

#include <numbers>

using namespace navlet;

namespace {

QByteArray hex(const char* text) { return QByteArray::fromHex(text); }

TEST(StatusRecords, RecordsCount)
{
    EXPECT_EQ(decodeRecordsCount(bytesOf(hex("2C01"))), 300);
    EXPECT_EQ(encodeRecordsCount(300), hex("2C01"));
    EXPECT_FALSE(decodeRecordsCount(bytesOf(hex("2C"))));
}

TEST(StatusRecords, DateTime)
{
    const auto t = decodeDateTime(bytesOf(hex("0511D3070E000309")));
    ASSERT_TRUE(t);
    const cDate_Time expected{5, 17, 2003, 14, 3, 9};
    EXPECT_EQ(*t, expected);
    EXPECT_EQ(encodeDateTime(expected), hex("0511D3070E000309"));
    EXPECT_FALSE(decodeDateTime(bytesOf(hex("0511D3070E0003"))));
}

TEST(StatusRecords, PvtPositionsAreRadiansOnTheWire)
{
    QByteArray data(64, '\0');
    const double quarterPi = std::numbers::pi / 4;
    std::memcpy(data.data() + 26, &quarterPi, 8);
    const auto p = decodePvt(bytesOf(data));
    ASSERT_TRUE(p);
    EXPECT_NEAR(p->Lat, 45.0, 1e-12);
    EXPECT_EQ(p->Lon, 0.0);
    EXPECT_FALSE(decodePvt(bytesOf(data.left(63))));
}

TEST(StatusRecords, PvtRoundTrip)
{
    cPvtData p;
    p.Alt = 12.5f; p.epe = 3.0f; p.eph = 2.0f; p.epv = 1.5f; p.pfix = 3; p.tow = 123456.25;
    p.Lat = 45.0; p.Lon = -90.0; p.east = 0.5f; p.north = -0.25f; p.up = 0.125f;
    p.msl_hght = -20.0f; p.leap_scnds = 13; p.wn_days = 4985;
    const QByteArray data = encodePvt(p);
    EXPECT_EQ(data.size(), 64);
    const auto back = decodePvt(bytesOf(data));
    ASSERT_TRUE(back);
    EXPECT_NEAR(back->Lat, p.Lat, 1e-12);
    EXPECT_NEAR(back->Lon, p.Lon, 1e-12);
    cPvtData same = *back;
    same.Lat = p.Lat;
    same.Lon = p.Lon;
    EXPECT_EQ(same, p);
}

TEST(StatusRecords, ProductData)
{
    struct Row { const char* legend; QByteArray data; cProduct_Data expected; };
    const Row rows[] = {
        {"two texts, each ended by NUL", hex("84032C01") + QByteArray("A\0B\0", 4), {900, 300, "A", "B"}},
        {"one text without NUL", hex("01000200") + "Handheld unit", {1, 2, "Handheld unit", ""}},
        {"no texts", hex("01000200"), {1, 2, "", ""}},
        {"texts after the second are ignored", hex("01000200") + QByteArray("A\0B\0C\0", 6), {1, 2, "A", "B"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.legend);
        const auto p = decodeProductData(bytesOf(r.data));
        ASSERT_TRUE(p);
        EXPECT_EQ(*p, r.expected);
    }
    const cProduct_Data p{900, 300, "Handheld", "Map 2"};
    EXPECT_EQ(*decodeProductData(bytesOf(encodeProductData(p))), p);
    EXPECT_FALSE(decodeProductData(bytesOf(hex("AD00"))));
}

} // namespace
