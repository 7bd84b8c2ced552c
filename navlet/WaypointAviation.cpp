// Waypoint layouts of aviation receivers: they add a facility name, city, state, country code,
// an altitude in whole metres and a waypoint class (airport, intersection, beacon, user).
#include "navlet/WaypointLayouts.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace navlet::layouts {
namespace {

std::int16_t wholeMetres(float alt)
{
    if (!std::isfinite(alt))
        return 0;
    const float clamped = std::clamp(alt, float(std::numeric_limits<std::int16_t>::min()),
                                     float(std::numeric_limits<std::int16_t>::max()));
    return static_cast<std::int16_t>(std::lround(clamped));
}

// D151/D152 share one layout (they differ only in the class numbers):
//   prefix(58)  58 dst(float)  62 name[30]  92 city[24]  116 state[2]  118 alt(int)
//   120 cc[2]  122 unused(byte)  123 class(byte)                      -> 124 bytes
constexpr std::size_t D151Size = 124;

void readD151Tail(ByteView data, cWaypoint& w)
{
    readPrefix(data, w);
    w.Dist = readF32le(data, 58);
    w.Facility = fixedText(data, 62, 30);
    w.City = fixedText(data, 92, 24);
    w.State = fixedText(data, 116, 2);
    w.Alt = readI16le(data, 118);
    w.Country = fixedText(data, 120, 2);
    w.Unused2 = readU8(data, 122);
    w.Wpt_Class = readU8(data, 123);
}

QByteArray writeD151(const cWaypoint& w)
{
    QByteArray out;
    writePrefix(out, w);
    appendF32le(out, w.Dist);
    appendFixedText(out, w.Facility, 30);
    appendFixedText(out, w.City, 24);
    appendFixedText(out, w.State, 2);
    appendI16le(out, wholeMetres(w.Alt));
    appendFixedText(out, w.Country, 2);
    appendU8(out, static_cast<std::uint8_t>(w.Unused2));
    appendU8(out, static_cast<std::uint8_t>(w.Wpt_Class));
    return out;
}

} // namespace

// D150, 115 bytes: ident[6] cc[2] class(byte) at 8, lat at 9, lon at 13, alt(int) at 17,
// city[24] at 19, state[2] at 43, name[30] at 45, cmnt[40] at 75.
std::optional<cWaypoint> decodeD150(ByteView data, cWaypoint w, TraceLines* trace)
{
    if (!hasBytes(data, 115, "D150", trace))
        return std::nullopt;
    w.Ident = fixedText(data, 0, 6);
    w.Country = fixedText(data, 6, 2);
    w.Wpt_Class = readU8(data, 8);
    w.Lat = semicirclesToDegrees(readI32le(data, 9));
    w.Lon = semicirclesToDegrees(readI32le(data, 13));
    w.Alt = readI16le(data, 17);
    w.City = fixedText(data, 19, 24);
    w.State = fixedText(data, 43, 2);
    w.Facility = fixedText(data, 45, 30);
    w.Cmnt = fixedText(data, 75, 40);
    return w;
}

QByteArray encodeD150(const cWaypoint& w)
{
    QByteArray out;
    appendFixedText(out, w.Ident, 6);
    appendFixedText(out, w.Country, 2);
    appendU8(out, static_cast<std::uint8_t>(w.Wpt_Class));
    appendI32le(out, degreesToSemicircles(w.Lat));
    appendI32le(out, degreesToSemicircles(w.Lon));
    appendI16le(out, wholeMetres(w.Alt));
    appendFixedText(out, w.City, 24);
    appendFixedText(out, w.State, 2);
    appendFixedText(out, w.Facility, 30);
    appendFixedText(out, w.Cmnt, 40);
    return out;
}

std::optional<cWaypoint> decodeD151(ByteView data, cWaypoint w, TraceLines* trace)
{
    if (!hasBytes(data, D151Size, "D151", trace))
        return std::nullopt;
    readD151Tail(data, w);
    return w;
}

QByteArray encodeD151(const cWaypoint& w)
{
    return writeD151(w);
}

std::optional<cWaypoint> decodeD152(ByteView data, cWaypoint w, TraceLines* trace)
{
    if (!hasBytes(data, D151Size, "D152", trace))
        return std::nullopt;
    readD151Tail(data, w);
    return w;
}

QByteArray encodeD152(const cWaypoint& w)
{
    return writeD151(w);
}

// D154, 126 bytes: the D152 layout followed by smbl(int) at 124.
std::optional<cWaypoint> decodeD154(ByteView data, cWaypoint w, TraceLines* trace)
{
    if (!hasBytes(data, D151Size + 2, "D154", trace))
        return std::nullopt;
    readD151Tail(data, w);
    w.Smbl = readI16le(data, 124);
    return w;
}

QByteArray encodeD154(const cWaypoint& w)
{
    QByteArray out = writeD151(w);
    appendI16le(out, w.Smbl);
    return out;
}

// D155, 127 bytes: the D154 layout followed by dspl(byte) at 126.
std::optional<cWaypoint> decodeD155(ByteView data, cWaypoint w, TraceLines* trace)
{
    if (!hasBytes(data, D151Size + 3, "D155", trace))
        return std::nullopt;
    readD151Tail(data, w);
    w.Smbl = readI16le(data, 124);
    w.Dspl = readU8(data, 126);
    return w;
}

QByteArray encodeD155(const cWaypoint& w)
{
    QByteArray out = encodeD154(w);
    appendU8(out, static_cast<std::uint8_t>(w.Dspl));
    return out;
}

} // namespace navlet::layouts
