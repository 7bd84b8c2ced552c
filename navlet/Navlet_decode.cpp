// Dispatch of accepted packets to their decoders, by identifier. The identifiers are read at
// dispatch time because a receiver that reports "L002" renumbers them.
#include "navlet/Navlet.h"

#include "navlet/Framing.h"
#include "navlet/RecordFormats.h"
#include "navlet/StatusRecords.h"

#include <array>

namespace navlet {

void Navlet::decodePacket(const QByteArray& packet)
{
    using Decoder = void (Navlet::*)(ByteView);
    const std::array<std::pair<std::uint8_t, Decoder>, 12> table = {{
        {m_ids.PID_Records, &Navlet::decodeRecordsPacket},
        {m_ids.PID_Product_Data, &Navlet::decodeProductDataPacket},
        {m_ids.PID_Protocol_Array, &Navlet::decodeProtocolArrayPacket},
        {m_ids.PID_Date_Time, &Navlet::decodeDateTimePacket},
        {m_ids.PID_Pvt_Data, &Navlet::decodePvtPacket},
        {m_ids.PID_Almanac_Data, nullptr}, // acknowledged, never decoded
        {m_ids.PID_Wpt_Data, &Navlet::decodeWaypointPacket},
        {m_ids.PID_Rte_Wpt_Data, &Navlet::decodeWaypointPacket},
        {m_ids.PID_Prx_Wpt_Data, &Navlet::decodeWaypointPacket},
        {m_ids.PID_Rte_Hdr, &Navlet::decodeRoutePacket},
        {m_ids.PID_Trk_Data, &Navlet::decodeTrackPacket},
        {m_ids.PID_Trk_Hdr, &Navlet::decodeTrackHeaderPacket},
    }};
    const std::uint8_t id = packetId(packet);
    const QByteArray data = packetData(packet);
    // Records of the download in progress, counted against the announced number.
    for (std::uint8_t record : {m_ids.PID_Trk_Data, m_ids.PID_Trk_Hdr, m_ids.PID_Wpt_Data, m_ids.PID_Rte_Hdr,
                                m_ids.PID_Rte_Wpt_Data, m_ids.PID_Prx_Wpt_Data})
        if (id == record)
            ++m_transferRecords;
    if (id == m_ids.PID_Xfer_Cmplt)
        m_transferEnded = true;
    for (const auto& [tableId, decoder] : table) {
        if (tableId != id)
            continue;
        if (decoder)
            (this->*decoder)(bytesOf(data));
        return;
    }
}

void Navlet::trace(const std::vector<QString>& lines)
{
    for (const QString& line : lines)
        Q_EMIT HexDebug(line);
}

void Navlet::decodeRecordsPacket(ByteView data)
{
    startTransfer();
    if (const auto count = decodeRecordsCount(data)) {
        m_incomingRecordsCount = *count;
        m_transferAnnounced = true;
    }
}

void Navlet::recordDecoded(bool decoded, const QString& format)
{
    m_lastRecordDecoded = decoded;
    m_lastRecordFormat = format;
    if (!decoded)
        Q_EMIT HexDebug(QStringLiteral("Cannot decode a record in format ") + format);
}

void Navlet::decodeProductDataPacket(ByteView data)
{
    if (const auto product = decodeProductData(data))
        m_productData = *product;
}

void Navlet::decodeProtocolArrayPacket(ByteView data)
{
    m_caps = capabilitiesFromSlots(parseProtocolArray(data));
    m_trackLayouts = trackLayoutsFromArray(data);
    Q_EMIT HexDebug(QStringLiteral("Protocol = ") + m_caps.Waypoint_Data_Format);
    // The numbering follows this receiver's link protocol, whatever the one before used.
    // Requests sent from now on must carry the new numbers too.
    m_ids = LinkIds::forLinkProtocol(m_caps.Link_Protocol);
    m_prepared = PreparedPackets::build(m_ids);
}

void Navlet::decodeDateTimePacket(ByteView data)
{
    if (const auto t = decodeDateTime(data))
        m_dateTime = *t;
}

void Navlet::decodePvtPacket(ByteView data)
{
    if (const auto p = decodePvt(data))
        m_pvtData = *p;
}

void Navlet::decodeWaypointPacket(ByteView data)
{
    TraceLines lines;
    const auto w = decodeWaypoint(m_caps.Waypoint_Data_Format, data, m_waypoint, &lines);
    trace(lines);
    if (w)
        m_waypoint = *w;
    recordDecoded(w.has_value(), m_caps.Waypoint_Data_Format);
}

void Navlet::decodeRoutePacket(ByteView data)
{
    TraceLines lines;
    const auto r = decodeRoute(m_caps.Route_Data_Format, data, m_route, &lines);
    trace(lines);
    if (r)
        m_route = *r;
    recordDecoded(r.has_value(), m_caps.Route_Data_Format);
}

void Navlet::decodeTrackPacket(ByteView data)
{
    TraceLines lines;
    const QString format = trackPointFormat();
    // A header layout is not a point layout, whatever the protocol array put first.
    const bool pointLayout = format.size() == 4 && format.startsWith(QLatin1String("D30"));
    const auto t = pointLayout ? decodeTrack(format, data, m_track, &lines) : std::nullopt;
    trace(lines);
    if (t)
        m_track = *t;
    recordDecoded(t.has_value(), format);
}

void Navlet::decodeTrackHeaderPacket(ByteView data)
{
    TraceLines lines;
    const QString format = m_trackLayouts.header;
    const auto t = decodeTrack(format, data, m_track, &lines);
    trace(lines);
    if (t)
        m_track = *t;
    recordDecoded(t.has_value(), format);
}

} // namespace navlet
