// Track log layouts: points (D300, D301, D302) and track headers (D310, D311, D312).
#include "navlet/RecordFormats.h"

#include <array>

namespace navlet {
namespace {

// The receiver marks a point without a time with 0xFFFFFFFF.
constexpr std::int32_t NoTime = -1;

void readPoint(ByteView data, cTrack& t)
{
    t.Lat = semicirclesToDegrees(readI32le(data, 0));
    t.Lon = semicirclesToDegrees(readI32le(data, 4));
    t.Time = trackTimeText(readI32le(data, 8));
}

void writePoint(QByteArray& out, const cTrack& t)
{
    appendI32le(out, degreesToSemicircles(t.Lat));
    appendI32le(out, degreesToSemicircles(t.Lon));
    appendI32le(out, trackTimeSeconds(t.Time).value_or(NoTime));
}

// D300, 13 bytes: lat, lon, time(long, s since 1989-12-31), new_trk(byte) at 12.
//   00 00 00 20 | 00 00 00 00 | 4D 0E 00 00 | 01  -> 45 N 0 E, 1989/12/31-01:01:01, new segment
std::optional<cTrack> decodeD300(ByteView data, cTrack t, TraceLines* trace)
{
    if (!hasBytes(data, 13, "D300", trace))
        return std::nullopt;
    readPoint(data, t);
    t.New_Segment = readU8(data, 12) != 0;
    return t;
}

QByteArray encodeD300(const cTrack& t)
{
    QByteArray out;
    writePoint(out, t);
    appendU8(out, t.New_Segment ? 1 : 0);
    return out;
}

// D301, 21 bytes: lat, lon, time, alt(float) at 12, dpth(float) at 16, new_trk(byte) at 20.
std::optional<cTrack> decodeD301(ByteView data, cTrack t, TraceLines* trace)
{
    if (!hasBytes(data, 21, "D301", trace))
        return std::nullopt;
    readPoint(data, t);
    t.Alt = readF32le(data, 12);
    t.Dpth = readF32le(data, 16);
    t.New_Segment = readU8(data, 20) != 0;
    return t;
}

QByteArray encodeD301(const cTrack& t)
{
    QByteArray out;
    writePoint(out, t);
    appendF32le(out, t.Alt);
    appendF32le(out, t.Dpth);
    appendU8(out, t.New_Segment ? 1 : 0);
    return out;
}

// D302, 25 bytes: lat, lon, time, alt(float) at 12, dpth(float) at 16, temp(float) at 20,
// new_trk(byte) at 24. The temperature has no field in the record and is dropped.
std::optional<cTrack> decodeD302(ByteView data, cTrack t, TraceLines* trace)
{
    if (!hasBytes(data, 25, "D302", trace))
        return std::nullopt;
    readPoint(data, t);
    t.Alt = readF32le(data, 12);
    t.Dpth = readF32le(data, 16);
    t.New_Segment = readU8(data, 24) != 0;
    return t;
}

QByteArray encodeD302(const cTrack& t)
{
    QByteArray out;
    writePoint(out, t);
    appendF32le(out, t.Alt);
    appendF32le(out, t.Dpth);
    appendF32le(out, 1.0e25f); // no temperature
    appendU8(out, t.New_Segment ? 1 : 0);
    return out;
}

// D310: dspl(byte), color(byte), ident NUL-terminated.
std::optional<cTrack> decodeD310(ByteView data, cTrack t, TraceLines* trace)
{
    if (!hasBytes(data, 2, "D310", trace))
        return std::nullopt;
    t.Dspl = readU8(data, 0) != 0;
    t.Color = readU8(data, 1);
    std::size_t at = 2;
    t.Ident = trimNull(nulTerminatedText(data, at));
    return t;
}

std::optional<cTrack> decodeD312(ByteView data, cTrack t, TraceLines* trace)
{
    if (!hasBytes(data, 2, "D312", trace))
        return std::nullopt;
    return decodeD310(data, t, trace);
}

QByteArray encodeD310(const cTrack& t)
{
    QByteArray out;
    appendU8(out, t.Dspl ? 1 : 0);
    appendU8(out, t.Color);
    appendNulText(out, t.Ident);
    return out;
}

// D311: the track's index (16-bit), kept as its name.
std::optional<cTrack> decodeD311(ByteView data, cTrack t, TraceLines* trace)
{
    if (!hasBytes(data, 2, "D311", trace))
        return std::nullopt;
    t.Ident = QString::number(readU16le(data, 0));
    return t;
}

QByteArray encodeD311(const cTrack& t)
{
    QByteArray out;
    appendI16le(out, static_cast<std::int16_t>(t.Ident.toInt()));
    return out;
}

} // namespace

std::span<const TrackFormat> trackFormats()
{
    static const std::array<TrackFormat, 6> table = {{
        {"D300", true, decodeD300, encodeD300},
        {"D301", true, decodeD301, encodeD301},
        {"D302", true, decodeD302, encodeD302},
        // Headers of A301/A302 logs; D312 has D310's layout with more colours.
        {"D310", true, decodeD310, encodeD310},
        {"D311", true, decodeD311, encodeD311},
        {"D312", true, decodeD312, encodeD310},
    }};
    return table;
}


} // namespace navlet
