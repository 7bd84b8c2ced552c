#include "navlet/Navlet.h"

#include "navlet/Framing.h"
#include "navlet/NavletBytes.h"
#include "navlet/NmeaText.h"
#include "navlet/RecordFormats.h"
#include "navlet/StatusRecords.h"

#include <QEventLoop>
#include <QTimer>

namespace navlet {

Navlet::Navlet(QObject* parent)
    : QObject(parent)
    , m_prepared(PreparedPackets::build(m_ids))
    , m_channel(new ByteChannel(this))
    , m_link(new LinkLayer(*m_channel, m_ids, m_prepared, this))
{
    m_channel->setPortNumber(m_port);
    connect(m_channel, &ByteChannel::HexDebug, this, &Navlet::HexDebug);
    connect(m_link, &LinkLayer::packetAccepted, this, &Navlet::decodePacket);
    connect(m_link, &LinkLayer::frameTaken, this, &Navlet::Receive);
    connect(m_link, &LinkLayer::sentenceReceived, this, &Navlet::NMEA);
}

void Navlet::setIgnoreCheckSum(bool ignore)
{
    m_ignoreCheckSum = ignore;
    m_link->setIgnoreCheckSum(ignore);
}

void Navlet::setPort(qint16 port)
{
    m_port = port;
    m_channel->setPortNumber(port);
}

void Navlet::setTimeScale(timing::TimeScale scale)
{
    m_timeScale = scale;
    m_link->setTimeScale(scale);
}

void Navlet::PortOpen()
{
    if (!m_channel->isOpen())
        forgetReceiver();
    m_channel->open();
}

void Navlet::forgetReceiver()
{
    // Numbering and layouts are learnt again from this connection's protocol array.
    m_ids = LinkIds{};
    m_prepared = PreparedPackets::build(m_ids);
    m_caps = Capabilities{};
    m_trackLayouts = TrackLayouts{};
}

QString Navlet::trackPointFormat() const
{
    return m_trackLayouts.point.isEmpty() ? m_caps.Track_Data_Format : m_trackLayouts.point;
}

void Navlet::startTransfer()
{
    m_transferAnnounced = false;
    m_transferEnded = false;
    m_transferRecords = 0;
}

bool Navlet::transferComplete() const
{
    return m_transferAnnounced && m_transferEnded
        && m_transferRecords >= static_cast<quint16>(m_incomingRecordsCount);
}

void Navlet::PortClose()
{
    m_link->closePort();
}

void Navlet::Request_Protocol_Data()
{
    Send(m_prepared.protocolRequest);
}

QString Navlet::TrimNull(QString& instring) const
{
    instring = trimBlanks(instring);
    return trimNull(instring);
}

void Navlet::Reset()
{
    m_link->reset();
}

void Navlet::Send(const QByteArray& iPacket)
{
    m_link->send(iPacket);
}

void Navlet::WaitFor(qint32 Duration)
{
    QEventLoop loop;
    QTimer::singleShot(m_timeScale.ms(std::max(0, Duration) * 1000), &loop, &QEventLoop::quit);
    loop.exec();
}

void Navlet::Request_Product_Data() { Send(m_prepared.productRequest); }

void Navlet::Start_of_Records(qint16 ocount)
{
    QByteArray packet = m_prepared.records;
    const QByteArray count = encodeRecordsCount(ocount);
    packet[3] = count[0];
    packet[4] = count[1];
    Send(packet);
}

void Navlet::Power_Off() { Send(m_prepared.powerOff); }
void Navlet::Request_Date_Time() { Send(m_prepared.requestDateTime); }
void Navlet::Pvt_Data_Start() { Send(m_prepared.pvtStart); }
void Navlet::Pvt_Data_Stop() { Send(m_prepared.pvtStop); }
void Navlet::Request_Waypoints()
{
    startTransfer();
    Send(m_prepared.requestWaypoints);
}
void Navlet::Request_Prox_Waypoints()
{
    startTransfer();
    Send(m_prepared.requestProxWaypoints);
}
void Navlet::Request_Routes()
{
    startTransfer();
    Send(m_prepared.requestRoutes);
}
void Navlet::Request_Tracks()
{
    startTransfer();
    Send(m_prepared.requestTracks);
}

void Navlet::Send_Route()
{
    sendRecord(m_ids.PID_Rte_Hdr, encodeRoute(m_caps.Route_Data_Format, m_route), m_caps.Route_Data_Format);
}

void Navlet::Send_Track()
{
    sendRecord(m_ids.PID_Trk_Data, encodeTrack(m_caps.Track_Data_Format, m_track), m_caps.Track_Data_Format);
}

void Navlet::End_of_Records() { Send(m_prepared.xferCmplt); }

void Navlet::Send_Waypoint()
{
    sendRecord(m_ids.PID_Wpt_Data, encodeWaypoint(m_caps.Waypoint_Data_Format, m_waypoint),
               m_caps.Waypoint_Data_Format);
}

void Navlet::Send_Route_Waypoint()
{
    sendRecord(m_ids.PID_Rte_Wpt_Data, encodeWaypoint(m_caps.Waypoint_Data_Format, m_waypoint),
               m_caps.Waypoint_Data_Format);
}

void Navlet::sendRecord(std::uint8_t id, const std::optional<QByteArray>& data, const QString& format)
{
    if (!data) {
        Q_EMIT HexDebug(QStringLiteral("No encoder for format ") + format);
        return;
    }
    if (data->size() > MaxDataBytes) {
        Q_EMIT HexDebug(QStringLiteral("Record too long for one packet: %1 bytes").arg(data->size()));
        return;
    }
    Send(buildPacket(id, *data));
}

QString Navlet::NMEA_Checksum(const QString& msg) const
{
    return nmeaChecksum(msg);
}

} // namespace navlet
