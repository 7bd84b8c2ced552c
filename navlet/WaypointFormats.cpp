// Waypoint layouts built on the classic 58-byte waypoint, and the table of all waypoint formats.
#include "navlet/WaypointLayouts.h"

#include <array>

namespace navlet {

bool hasBytes(ByteView data, std::size_t needed, const char* format, TraceLines* trace)
{
    if (data.size() >= needed)
        return true;
    if (trace)
        trace->push_back(QStringLiteral("%1 record too short: %2 of %3 bytes")
                             .arg(QLatin1String(format)).arg(data.size()).arg(needed));
    return false;
}

namespace layouts {

void readPrefix(ByteView data, cWaypoint& w)
{
    w.Ident = fixedText(data, 0, 6);
    w.Lat = semicirclesToDegrees(readI32le(data, 6));
    w.Lon = semicirclesToDegrees(readI32le(data, 10));
    w.Unused1 = readI32le(data, 14);
    w.Cmnt = fixedText(data, 18, 40);
}

void writePrefix(QByteArray& out, const cWaypoint& w)
{
    appendFixedText(out, w.Ident, 6);
    appendI32le(out, degreesToSemicircles(w.Lat));
    appendI32le(out, degreesToSemicircles(w.Lon));
    appendI32le(out, w.Unused1);
    appendFixedText(out, w.Cmnt, 40);
}

QByteArray subclassBytes(const QString& subClass, int width, char fillAfterSix)
{
    if (!subClass.isEmpty()) {
        QByteArray out;
        appendFixedText(out, subClass, width);
        return out;
    }
    QByteArray out(width, '\0');
    for (int i = 6; i < width; ++i)
        out[i] = fillAfterSix;
    return out;
}

// D100, 58 bytes: the prefix alone.
// 48 4F 4D 45 20 20 | 00 00 00 20 | 00 00 00 00 | 00 00 00 00 | cmnt[40]  -> "HOME" at 45 N, 0 E
std::optional<cWaypoint> decodeD100(ByteView data, cWaypoint w, TraceLines* trace)
{
    if (!hasBytes(data, PrefixSize, "D100", trace))
        return std::nullopt;
    readPrefix(data, w);
    return w;
}

QByteArray encodeD100(const cWaypoint& w)
{
    QByteArray out;
    writePrefix(out, w);
    return out;
}

// D101, 63 bytes: prefix, dst(float) at 58, smbl(byte) at 62.
std::optional<cWaypoint> decodeD101(ByteView data, cWaypoint w, TraceLines* trace)
{
    if (!hasBytes(data, 63, "D101", trace))
        return std::nullopt;
    readPrefix(data, w);
    w.Dist = readF32le(data, 58);
    w.Smbl = readU8(data, 62);
    return w;
}

QByteArray encodeD101(const cWaypoint& w)
{
    QByteArray out = encodeD100(w);
    appendF32le(out, w.Dist);
    appendU8(out, static_cast<std::uint8_t>(w.Smbl));
    return out;
}

// D102, 64 bytes: prefix, dst(float) at 58, smbl(int) at 62.
std::optional<cWaypoint> decodeD102(ByteView data, cWaypoint w, TraceLines* trace)
{
    if (!hasBytes(data, 64, "D102", trace))
        return std::nullopt;
    readPrefix(data, w);
    w.Dist = readF32le(data, 58);
    w.Smbl = readI16le(data, 62);
    return w;
}

QByteArray encodeD102(const cWaypoint& w)
{
    QByteArray out = encodeD100(w);
    appendF32le(out, w.Dist);
    appendI16le(out, w.Smbl);
    return out;
}

// D103, 60 bytes: prefix, smbl(byte) at 58, dspl(byte) at 59.
std::optional<cWaypoint> decodeD103(ByteView data, cWaypoint w, TraceLines* trace)
{
    if (!hasBytes(data, 60, "D103", trace))
        return std::nullopt;
    readPrefix(data, w);
    w.Smbl = readU8(data, 58);
    w.Dspl = readU8(data, 59);
    return w;
}

QByteArray encodeD103(const cWaypoint& w)
{
    QByteArray out = encodeD100(w);
    appendU8(out, static_cast<std::uint8_t>(w.Smbl));
    appendU8(out, static_cast<std::uint8_t>(w.Dspl));
    return out;
}

// D104, 65 bytes: prefix, dst(float) at 58, smbl(int) at 62, dspl(byte) at 64.
std::optional<cWaypoint> decodeD104(ByteView data, cWaypoint w, TraceLines* trace)
{
    if (!hasBytes(data, 65, "D104", trace))
        return std::nullopt;
    readPrefix(data, w);
    w.Dist = readF32le(data, 58);
    w.Smbl = readI16le(data, 62);
    w.Dspl = readU8(data, 64);
    return w;
}

QByteArray encodeD104(const cWaypoint& w)
{
    QByteArray out = encodeD102(w);
    appendU8(out, static_cast<std::uint8_t>(w.Dspl));
    return out;
}

// D105: lat, lon, smbl(int) at 8, ident NUL-terminated from 10.
std::optional<cWaypoint> decodeD105(ByteView data, cWaypoint w, TraceLines* trace)
{
    if (!hasBytes(data, 10, "D105", trace))
        return std::nullopt;
    w.Lat = semicirclesToDegrees(readI32le(data, 0));
    w.Lon = semicirclesToDegrees(readI32le(data, 4));
    w.Smbl = readI16le(data, 8);
    std::size_t at = 10;
    w.Ident = trimNull(nulTerminatedText(data, at));
    return w;
}

QByteArray encodeD105(const cWaypoint& w)
{
    QByteArray out;
    appendI32le(out, degreesToSemicircles(w.Lat));
    appendI32le(out, degreesToSemicircles(w.Lon));
    appendI16le(out, w.Smbl);
    appendNulText(out, w.Ident);
    return out;
}

// D106: class(byte), subclass[13], lat at 14, lon at 18, smbl(int) at 22, then ident and
// link ident, each NUL-terminated.
std::optional<cWaypoint> decodeD106(ByteView data, cWaypoint w, TraceLines* trace)
{
    if (!hasBytes(data, 24, "D106", trace))
        return std::nullopt;
    w.Wpt_Class = readU8(data, 0);
    w.Sub_Class = fixedText(data, 1, 13);
    w.Lat = semicirclesToDegrees(readI32le(data, 14));
    w.Lon = semicirclesToDegrees(readI32le(data, 18));
    w.Smbl = readI16le(data, 22);
    std::size_t at = 24;
    w.Ident = trimNull(nulTerminatedText(data, at));
    w.Link = trimNull(nulTerminatedText(data, at));
    return w;
}

QByteArray encodeD106(const cWaypoint& w)
{
    QByteArray out;
    appendU8(out, static_cast<std::uint8_t>(w.Wpt_Class));
    out.append(subclassBytes(w.Sub_Class, 13, '\0'));
    appendI32le(out, degreesToSemicircles(w.Lat));
    appendI32le(out, degreesToSemicircles(w.Lon));
    appendI16le(out, w.Smbl);
    appendNulText(out, w.Ident);
    appendNulText(out, w.Link);
    return out;
}

// D107, 65 bytes: prefix, smbl(byte) at 58, dspl(byte) at 59, dst(float) at 60, color(byte) at 64.
std::optional<cWaypoint> decodeD107(ByteView data, cWaypoint w, TraceLines* trace)
{
    if (!hasBytes(data, 65, "D107", trace))
        return std::nullopt;
    readPrefix(data, w);
    w.Smbl = readU8(data, 58);
    w.Dspl = readU8(data, 59);
    w.Dist = readF32le(data, 60);
    w.Color = readU8(data, 64);
    return w;
}

QByteArray encodeD107(const cWaypoint& w)
{
    QByteArray out = encodeD103(w);
    appendF32le(out, w.Dist);
    appendU8(out, static_cast<std::uint8_t>(w.Color));
    return out;
}

} // namespace layouts

std::span<const WaypointFormat> waypointFormats()
{
    using namespace layouts;
    static const std::array<WaypointFormat, 14> table = {{
        {"D100", true, decodeD100, encodeD100},
        {"D101", true, decodeD101, encodeD101},
        {"D102", true, decodeD102, encodeD102},
        {"D103", true, decodeD103, encodeD103},
        {"D104", true, decodeD104, encodeD104},
        {"D105", true, decodeD105, encodeD105},
        {"D106", true, decodeD106, encodeD106},
        {"D107", true, decodeD107, encodeD107},
        {"D108", true, decodeD108, encodeD108},
        {"D150", true, decodeD150, encodeD150},
        {"D151", true, decodeD151, encodeD151},
        {"D152", true, decodeD152, encodeD152},
        {"D154", true, decodeD154, encodeD154},
        // Only ever sent by the control; the simulator decodes it to check uploads.
        {"D155", false, decodeD155, encodeD155},
    }};
    return table;
}

int waypointIdentChars(const QString& format)
{
    if (!findFormat(waypointFormats(), format))
        return 0;
    // The layouts with a NUL-terminated name take up to 51 characters; the others a fixed six.
    for (const char* variable : {"D105", "D106", "D108"})
        if (format == QLatin1String(variable))
            return 51;
    return 6;
}

} // namespace navlet
