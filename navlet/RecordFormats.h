#pragma once
// Format name -> decoder/encoder tables for the record kinds whose layout the receiver
// announces in its protocol array ("D108", "D301", "D201" ...). Decoders are pure: they take
// the packet's data bytes and the record to refill (fields a format lacks keep their values)
// and return nothing for data too short for the format, after adding a trace line.
#include "navlet/NavletBytes.h"
#include "navlet/Records.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <span>
#include <vector>

namespace navlet {

using TraceLines = std::vector<QString>;

template <class Record> struct RecordFormat {
    const char* name;
    // Whether received packets of this format are decoded (some are only ever sent).
    bool receivable;
    std::optional<Record> (*decode)(ByteView data, Record base, TraceLines* trace);
    QByteArray (*encode)(const Record& record);
};

using WaypointFormat = RecordFormat<cWaypoint>;
using TrackFormat = RecordFormat<cTrack>;
using RouteFormat = RecordFormat<cRoute>;

std::span<const WaypointFormat> waypointFormats();
std::span<const TrackFormat> trackFormats();
std::span<const RouteFormat> routeFormats();

template <class Record>
const RecordFormat<Record>* findFormat(std::span<const RecordFormat<Record>> table, const QString& name)
{
    for (const auto& f : table)
        if (name == QLatin1String(f.name))
            return &f;
    return nullptr;
}

// Decoding of a received record; nothing for an unknown, send-only or short format.
template <class Record>
std::optional<Record> decodeRecord(std::span<const RecordFormat<Record>> table, const QString& format,
                                   ByteView data, const Record& base, TraceLines* trace = nullptr)
{
    const RecordFormat<Record>* f = findFormat(table, format);
    if (!f || !f->receivable)
        return std::nullopt;
    return f->decode(data, base, trace);
}

// Data bytes of a record to send; nothing for an unknown format.
template <class Record>
std::optional<QByteArray> encodeRecord(std::span<const RecordFormat<Record>> table, const QString& format,
                                       const Record& record)
{
    const RecordFormat<Record>* f = findFormat(table, format);
    if (!f)
        return std::nullopt;
    return f->encode(record);
}

inline std::optional<cWaypoint> decodeWaypoint(const QString& format, ByteView data, const cWaypoint& base,
                                               TraceLines* trace = nullptr)
{
    return decodeRecord(waypointFormats(), format, data, base, trace);
}
inline std::optional<cTrack> decodeTrack(const QString& format, ByteView data, const cTrack& base,
                                         TraceLines* trace = nullptr)
{
    return decodeRecord(trackFormats(), format, data, base, trace);
}
inline std::optional<cRoute> decodeRoute(const QString& format, ByteView data, const cRoute& base,
                                         TraceLines* trace = nullptr)
{
    return decodeRecord(routeFormats(), format, data, base, trace);
}
inline std::optional<QByteArray> encodeWaypoint(const QString& format, const cWaypoint& record)
{
    return encodeRecord(waypointFormats(), format, record);
}
inline std::optional<QByteArray> encodeTrack(const QString& format, const cTrack& record)
{
    return encodeRecord(trackFormats(), format, record);
}
inline std::optional<QByteArray> encodeRoute(const QString& format, const cRoute& record)
{
    return encodeRecord(routeFormats(), format, record);
}

// Characters of a waypoint name the receiver keeps in `format` (it cuts longer ones); 0 for a
// format the control does not know.
int waypointIdentChars(const QString& format);

// Shared by the format files: a length check that traces what it rejects.
bool hasBytes(ByteView data, std::size_t needed, const char* format, TraceLines* trace);

} // namespace navlet
