#include "navlet/StatusRecords.h"

namespace navlet {

// 2C 01 -> 300
std::optional<qint16> decodeRecordsCount(ByteView data)
{
    if (data.size() < 2)
        return std::nullopt;
    return readI16le(data, 0);
}

QByteArray encodeRecordsCount(qint16 count)
{
    QByteArray out;
    appendI16le(out, count);
    return out;
}

// 8 bytes: month(byte) day(byte) year(int) hour(int) minute(byte) second(byte)
//   05 11 D3 07 0E 00 03 09 -> 2003-05-17 14:03:09
std::optional<cDate_Time> decodeDateTime(ByteView data)
{
    if (data.size() < 8)
        return std::nullopt;
    cDate_Time t;
    t.month = readU8(data, 0);
    t.day = readU8(data, 1);
    t.year = readI16le(data, 2);
    t.hour = readI16le(data, 4);
    t.minute = readU8(data, 6);
    t.second = readU8(data, 7);
    return t;
}

QByteArray encodeDateTime(const cDate_Time& t)
{
    QByteArray out;
    appendU8(out, t.month);
    appendU8(out, t.day);
    appendI16le(out, t.year);
    appendI16le(out, t.hour);
    appendU8(out, t.minute);
    appendU8(out, t.second);
    return out;
}

// 64 bytes: alt epe eph epv (float) 0..15, fix(int) 16, tow(double) 18, lat lon (double,
// radians) 26 34, east north up (float) 42 46 50, msl_hght(float) 54, leap_scnds(int) 58,
// wn_days(long) 60.
std::optional<cPvtData> decodePvt(ByteView data)
{
    if (data.size() < 64)
        return std::nullopt;
    cPvtData p;
    p.Alt = readF32le(data, 0);
    p.epe = readF32le(data, 4);
    p.eph = readF32le(data, 8);
    p.epv = readF32le(data, 12);
    p.pfix = readI16le(data, 16);
    p.tow = readF64le(data, 18);
    p.Lat = radiansToDegrees(readF64le(data, 26));
    p.Lon = radiansToDegrees(readF64le(data, 34));
    p.east = readF32le(data, 42);
    p.north = readF32le(data, 46);
    p.up = readF32le(data, 50);
    p.msl_hght = readF32le(data, 54);
    p.leap_scnds = readI16le(data, 58);
    p.wn_days = readI32le(data, 60);
    return p;
}

QByteArray encodePvt(const cPvtData& p)
{
    QByteArray out;
    for (float f : {p.Alt, p.epe, p.eph, p.epv})
        appendF32le(out, f);
    appendI16le(out, p.pfix);
    appendF64le(out, p.tow);
    appendF64le(out, degreesToRadians(p.Lat));
    appendF64le(out, degreesToRadians(p.Lon));
    for (float f : {p.east, p.north, p.up, p.msl_hght})
        appendF32le(out, f);
    appendI16le(out, p.leap_scnds);
    appendI32le(out, p.wn_days);
    return out;
}

// Product_ID(int) Software_Version(int) then description texts, each NUL-terminated:
//   84 03 2C 01 41 00 42 00 -> 900, 300, "A", "B"
std::optional<cProduct_Data> decodeProductData(ByteView data)
{
    if (data.size() < 4)
        return std::nullopt;
    cProduct_Data p;
    p.Product_ID = readI16le(data, 0);
    p.Software_Version = readI16le(data, 2);
    std::size_t at = 4;
    p.Product_Description_1 = nulTerminatedText(data, at);
    p.Product_Description_2 = nulTerminatedText(data, at);
    return p;
}

QByteArray encodeProductData(const cProduct_Data& p)
{
    QByteArray out;
    appendI16le(out, p.Product_ID);
    appendI16le(out, p.Software_Version);
    appendNulText(out, p.Product_Description_1);
    appendNulText(out, p.Product_Description_2);
    return out;
}

} // namespace navlet
