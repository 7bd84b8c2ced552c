// Byte and unit helpers: each checked once, with the edge values the receiver really sends.
#include "navlet/NavletBytes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

using namespace navlet;

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(static_cast<char>(v));
    return out;
}

TEST(Bytes, LittleEndianReadsAndReadsPastTheEndGiveZero)
{
    const QByteArray raw = bytes({0x2C, 0x01, 0xFF, 0xFF, 0x00, 0x00, 0x80, 0x3F});
    const ByteView v = bytesOf(raw);
    EXPECT_EQ(readU16le(v, 0), 300);
    EXPECT_EQ(readI16le(v, 2), -1);
    EXPECT_EQ(readU16le(v, 2), 0xFFFF);
    EXPECT_EQ(readI32le(v, 0), static_cast<std::int32_t>(0xFFFF012C));
    EXPECT_FLOAT_EQ(readF32le(v, 4), 1.0f);
    // A record cut short by the receiver must not read outside its packet.
    EXPECT_EQ(readU8(v, 8), 0);
    EXPECT_EQ(readU16le(v, 7), 0x3F);
    EXPECT_EQ(readI32le(v, 100), 0);
}

TEST(Bytes, WritesAreTheInverseOfReads)
{
    QByteArray out;
    appendI16le(out, -2);
    appendI32le(out, 123456789);
    appendF32le(out, -12.5f);
    appendF64le(out, std::numbers::pi);
    const ByteView v = bytesOf(out);
    EXPECT_EQ(out.size(), 18);
    EXPECT_EQ(readI16le(v, 0), -2);
    EXPECT_EQ(readI32le(v, 2), 123456789);
    EXPECT_EQ(readF32le(v, 6), -12.5f);
    EXPECT_EQ(readF64le(v, 10), std::numbers::pi);
}

TEST(Bytes, SemicirclesToDegrees)
{
    struct Row { const char* legend; std::int32_t semicircles; double degrees; };
    const Row rows[] = {
        {"2^30 is a quarter turn", 1 << 30, 90.0},
        {"-2^31 is the antimeridian", std::numeric_limits<std::int32_t>::min(), -180.0},
        {"zero", 0, 0.0},
        {"2^29", 536870912, 45.0},
        {"largest value just short of 180", std::numeric_limits<std::int32_t>::max(), 180.0 - 180.0 / 2147483648.0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.legend);
        EXPECT_DOUBLE_EQ(semicirclesToDegrees(r.semicircles), r.degrees);
    }
}

TEST(Bytes, DegreesToSemicircles)
{
    struct Row { const char* legend; double degrees; std::int32_t semicircles; };
    const double step = 180.0 / 2147483648.0;
    const Row rows[] = {
        {"45 degrees is 2^29 (2^31 semicircles = 180 degrees)", 45.0, 536870912},
        {"-90", -90.0, -1073741824},
        {"half a step rounds to even (down to 0)", 0.5 * step, 0},
        {"one and a half steps round to even (up to 2)", 1.5 * step, 2},
        {"+180 wraps to the same meridian at -180", 180.0, std::numeric_limits<std::int32_t>::min()},
        {"NaN gives 0 rather than undefined behaviour", std::nan(""), 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.legend);
        EXPECT_EQ(degreesToSemicircles(r.degrees), r.semicircles);
    }
}

TEST(Bytes, RadiansToDegrees)
{
    EXPECT_NEAR(radiansToDegrees(std::numbers::pi / 4), 45.0, 1e-12);
    EXPECT_NEAR(degreesToRadians(radiansToDegrees(0.3)), 0.3, 1e-15);
}

TEST(Bytes, TrackTimeText)
{
    struct Row { const char* legend; std::int32_t seconds; const char* text; };
    const Row rows[] = {
        {"day 0 is the last day of 1989", 0, "1989/12/31-00:00:00"},
        {"one day later is new year 1990", 86400, "1990/01/01-00:00:00"},
        {"hours, minutes and seconds", 3661, "1989/12/31-01:01:01"},
        {"a day in 2003", 422114589, "2003/05/17-14:03:09"},
        {"the receiver's no-time marker 0xFFFFFFFF", -1, "1989/12/30-23:59:59"},
        {"leap day 1992", 790 * 86400, "1992/02/29-00:00:00"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.legend);
        EXPECT_EQ(trackTimeText(r.seconds), QString::fromLatin1(r.text));
        EXPECT_EQ(trackTimeSeconds(QString::fromLatin1(r.text)), r.seconds);
    }
    EXPECT_FALSE(trackTimeSeconds(QStringLiteral("2003/02/30-00:00:00")));
    EXPECT_FALSE(trackTimeSeconds(QStringLiteral("2003/05/17 14:03:09")));
    EXPECT_FALSE(trackTimeSeconds(QStringLiteral("2100/01/01-00:00:00"))); // beyond 32 bits
}

TEST(Bytes, TextFields)
{
    QByteArray out;
    appendFixedText(out, QStringLiteral("ABCDEFGH"), 6);
    appendFixedText(out, QStringLiteral("AB"), 4);
    appendNulText(out, QStringLiteral("X"));
    EXPECT_EQ(out, QByteArray("ABCDEFAB  X\0", 12));

    const QByteArray raw("  AB\0CD  ", 9);
    EXPECT_EQ(trimNull(QString::fromLatin1(raw)), QStringLiteral("AB"));
    EXPECT_EQ(trimBlanks(QString::fromLatin1(raw)), QString::fromLatin1(QByteArray("AB\0CD", 5)));
    EXPECT_EQ(fixedText(bytesOf(out), 6, 4), QStringLiteral("AB"));
    EXPECT_EQ(fixedText(bytesOf(out), 100, 4), QString());

    std::size_t at = 0;
    const QByteArray two("A\0B", 3); // the last text has no NUL: it runs to the end
    EXPECT_EQ(nulTerminatedText(bytesOf(two), at), QStringLiteral("A"));
    EXPECT_EQ(nulTerminatedText(bytesOf(two), at), QStringLiteral("B"));
    EXPECT_EQ(nulTerminatedText(bytesOf(two), at), QString());
}

TEST(Bytes, HexDumpIsUpperCaseWithATrailingBlankPerByte)
{
    EXPECT_EQ(hexDump(bytes({0x10, 0xAB, 0x03})), QStringLiteral("10 AB 03 "));
}

} // namespace
