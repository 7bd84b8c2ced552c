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
std::optional<cWaypoint> decodeWaypoint(const QString& format, ByteView data, const cWaypoint& base,
                                        TraceLines* trace = nullptr);
std::optional<cTrack> decodeTrack(const QString& format, ByteView data, const cTrack& base,
                                  TraceLines* trace = nullptr);
std::optional<cRoute> decodeRoute(const QString& format, ByteView data, const cRoute& base,
                                  TraceLines* trace = nullptr);

// Data bytes of a record to send; nothing for an unknown format.
std::optional<QByteArray> encodeWaypoint(const QString& format, const cWaypoint& record);
std::optional<QByteArray> encodeTrack(const QString& format, const cTrack& record);
std::optional<QByteArray> encodeRoute(const QString& format, const cRoute& record);

// Shared by the format files: a length check that traces what it rejects.
bool hasBytes(ByteView data, std::size_t needed, const char* format, TraceLines* trace);

} // namespace navlet
