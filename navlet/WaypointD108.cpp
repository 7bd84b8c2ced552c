// The D108 waypoint, the layout of most handheld receivers of the late 1990s and after.
#include "navlet/WaypointLayouts.h"

#include <bit>

namespace navlet::layouts {
namespace {

// D108 layout (data offsets):
//   0 class   1 color   2 dspl   3 attr   4 smbl(int)   6 subclass[18]
//  24 lat    28 lon    32 alt(float)   36 dpth(float)   40 dist(float)
//  44 state[2]   46 cc[2]   48 ident, cmnt, facility, city, addr, cross_road (each NUL-terminated)
// Example, user waypoint "AP1" at 45 N 0 E:
//   00 00 01 60 07 40 | 00*6 FF*12 | 00 00 00 20 | 00 00 00 00 | ... | 41 50 31 00 00 00 00 00 00
constexpr std::size_t FixedSize = 48;

void traceAltitude(ByteView data, float alt, TraceLines* trace)
{
    if (!trace)
        return;
    const QByteArray raw(reinterpret_cast<const char*>(data.data()) + 32, 4);
    trace->push_back(hexDump(raw).trimmed());
    trace->push_back(QStringLiteral("Bin Out = ")
                     + QStringLiteral("%1").arg(std::bit_cast<std::uint32_t>(alt), 32, 2, QLatin1Char('0')));
    trace->push_back(QStringLiteral("Out float = ") + QString::number(alt));
}

} // namespace

std::optional<cWaypoint> decodeD108(ByteView data, cWaypoint w, TraceLines* trace)
{
    if (!hasBytes(data, FixedSize, "D108", trace))
        return std::nullopt;
    w.Wpt_Class = readU8(data, 0);
    w.Color = readU8(data, 1);
    w.Dspl = readU8(data, 2);
    w.Attrib = readU8(data, 3);
    w.Smbl = readI16le(data, 4);
    w.Sub_Class = fixedText(data, 6, 18);
    w.Lat = semicirclesToDegrees(readI32le(data, 24));
    w.Lon = semicirclesToDegrees(readI32le(data, 28));
    w.Alt = readF32le(data, 32);
    traceAltitude(data, w.Alt, trace);
    w.Dpth = readF32le(data, 36);
    w.Dist = readF32le(data, 40);
    w.State = fixedText(data, 44, 2);
    w.Country = fixedText(data, 46, 2);
    std::size_t at = FixedSize;
    for (QString* text : {&w.Ident, &w.Cmnt, &w.Facility, &w.City, &w.Address, &w.Cross_Road})
        *text = trimNull(nulTerminatedText(data, at));
    return w;
}

QByteArray encodeD108(const cWaypoint& w)
{
    QByteArray out;
    appendU8(out, static_cast<std::uint8_t>(w.Wpt_Class));
    appendU8(out, static_cast<std::uint8_t>(w.Color));
    appendU8(out, static_cast<std::uint8_t>(w.Dspl));
    appendU8(out, static_cast<std::uint8_t>(w.Attrib));
    appendI16le(out, w.Smbl);
    out.append(subclassBytes(w.Sub_Class, 18, '\xFF'));
    appendI32le(out, degreesToSemicircles(w.Lat));
    appendI32le(out, degreesToSemicircles(w.Lon));
    appendF32le(out, w.Alt);
    appendF32le(out, w.Dpth);
    appendF32le(out, w.Dist);
    appendFixedText(out, w.State, 2);
    appendFixedText(out, w.Country, 2);
    for (const QString* text : {&w.Ident, &w.Cmnt, &w.Facility, &w.City, &w.Address, &w.Cross_Road})
        appendNulText(out, *text);
    return out;
}

} // namespace navlet::layouts
