#pragma once
// The receiver link control: talks to a handheld receiver over one serial port in its binary
// packet protocol (and accepts NMEA sentences on the same line). Properties, methods and
// events keep the names the host programs use; decoded data is handed over through one record
// object of each kind, refilled for every packet.
#include "navlet/ByteChannel.h"
#include "navlet/Capabilities.h"
#include "navlet/LinkLayer.h"
#include "navlet/NavletIds.h"
#include "navlet/NavletPrompt.h"
#include "navlet/NavletStatus.h"
#include "navlet/NavletTiming.h"
#include "navlet/Records.h"

#include <QObject>
#include <QVariant>
#include <utility>
#include <vector>

namespace navlet {

class Navlet : public QObject {
    Q_OBJECT
public:
    explicit Navlet(QObject* parent = nullptr);

    // --- Properties, in interface order ---
    cWaypoint& Waypoint() { return m_waypoint; }
    cRoute& Route() { return m_route; }
    cTrack& Track() { return m_track; }
    cPosition& Position() { return m_position; }
    cPvtData& PvtData() { return m_pvtData; }
    cDate_Time& Date_Time() { return m_dateTime; }
    cAlmanac& Almanac() { return m_almanac; }
    cProduct_Data& Product_Data() { return m_productData; }
    bool IgnoreCheckSum() const { return m_ignoreCheckSum; }
    QString Link_Protocol() const { return m_caps.Link_Protocol; }
    QString WayPoint_Transfer_Protocol() const { return m_caps.WayPoint_Transfer_Protocol; }
    QString Route_Transfer_Protocol() const { return m_caps.Route_Transfer_Protocol; }
    QString Track_Transfer_Protocol() const { return m_caps.Track_Transfer_Protocol; }
    QString Prox_Wpt_Transfer_Protocol() const { return m_caps.Prox_Wpt_Transfer_Protocol; }
    QString Waypoint_Data_Format() const { return m_caps.Waypoint_Data_Format; }
    QString Route_Data_Format() const { return m_caps.Route_Data_Format; }
    QString Route_Wpt_Data_Format() const { return m_caps.Route_Wpt_Data_Format; }
    QString Track_Data_Format() const { return m_caps.Track_Data_Format; }
    QString Prox_Wpt_Data_Format() const { return m_caps.Prox_Wpt_Data_Format; }
    quint8 CMND_Reset_Transfer() const { return m_ids.CMND_Reset_Transfer; }
    quint8 CMND_Transfer_Alm() const { return m_ids.CMND_Transfer_Alm; }
    quint8 CMND_Transfer_Posn() const { return m_ids.CMND_Transfer_Posn; }
    quint8 CMND_Transfer_Prx() const { return m_ids.CMND_Transfer_Prx; }
    quint8 CMND_Transfer_Rte() const { return m_ids.CMND_Transfer_Rte; }
    quint8 CMND_Transfer_Time() const { return m_ids.CMND_Transfer_Time; }
    quint8 CMND_Transfer_Trk() const { return m_ids.CMND_Transfer_Trk; }
    quint8 CMND_Transfer_Wpt() const { return m_ids.CMND_Transfer_Wpt; }
    quint8 CMND_Turn_Off_Pwr() const { return m_ids.CMND_Turn_Off_Pwr; }
    quint8 CMND_Start_Pvt_Data() const { return m_ids.CMND_Start_Pvt_Data; }
    quint8 CMND_Stop_Pvt_Data() const { return m_ids.CMND_Stop_Pvt_Data; }
    quint8 CMND_Start_Async() const { return m_ids.CMND_Start_Async; }
    quint8 PID_Command_Data() const { return m_ids.PID_Command_Data; }
    quint8 PID_Xfer_Cmplt() const { return m_ids.PID_Xfer_Cmplt; }
    quint8 PID_Position_Data() const { return m_ids.PID_Position_Data; }
    quint8 PID_Date_Time() const { return m_ids.PID_Date_Time; }
    quint8 PID_Prx_Wpt_Data() const { return m_ids.PID_Prx_Wpt_Data; }
    quint8 PID_Records() const { return m_ids.PID_Records; }
    quint8 PID_Rte_Hdr() const { return m_ids.PID_Rte_Hdr; }
    quint8 PID_Rte_Wpt_Data() const { return m_ids.PID_Rte_Wpt_Data; }
    quint8 PID_Almanac_Data() const { return m_ids.PID_Almanac_Data; }
    quint8 PID_Trk_Data() const { return m_ids.PID_Trk_Data; }
    quint8 PID_Wpt_Data() const { return m_ids.PID_Wpt_Data; }
    quint8 PID_Pvt_Data() const { return m_ids.PID_Pvt_Data; }
    quint8 PID_Product_Rqst() const { return m_ids.PID_Product_Rqst; }
    quint8 PID_Product_Data() const { return m_ids.PID_Product_Data; }
    quint8 PID_Ack_Byte() const { return m_ids.PID_Ack_Byte; }
    quint8 PID_Nak_Byte() const { return m_ids.PID_Nak_Byte; }
    quint8 PID_Protocol_Array() const { return m_ids.PID_Protocol_Array; }
    qint16 Port() const { return m_port; }
    qint16 Incoming_Records_Count() const { return m_incomingRecordsCount; }

    // Writable properties and object assignment.
    void setIgnoreCheckSum(bool ignore);
    void setPort(qint16 port);
    void setWaypoint(const cWaypoint& r) { m_waypoint = r; }
    void setRoute(const cRoute& r) { m_route = r; }
    void setTrack(const cTrack& r) { m_track = r; }
    void setPosition(const cPosition& r) { m_position = r; }
    void setPvtData(const cPvtData& r) { m_pvtData = r; }
    void setDate_Time(const cDate_Time& r) { m_dateTime = r; }
    void setAlmanac(const cAlmanac& r) { m_almanac = r; }
    void setProduct_Data(const cProduct_Data& r) { m_productData = r; }

    // Any property by name. Writing a read-only one fails with 383 and changes nothing.
    NavletStatus setProperty_(const QString& name, const QVariant& value);
    QVariant property_(const QString& name) const;
    // Every scalar property in interface order (records excluded), for tools and logs.
    std::vector<std::pair<QString, QVariant>> scalarProperties() const;

    // --- Methods, in interface order ---
    void PortOpen();
    void PortClose();
    void Request_Protocol_Data();
    QString TrimNull(QString& instring) const;
    void Reset();
    void Send(const QByteArray& iPacket);
    qint32 Address_Of(qint32 pfn) const { return pfn; }
    void WaitFor(qint32 Duration);
    void Request_Product_Data();
    void Start_of_Records(qint16 ocount);
    void Power_Off();
    void Request_Date_Time();
    void Pvt_Data_Start();
    void Pvt_Data_Stop();
    void Request_Waypoints();
    void Request_Prox_Waypoints();
    void Request_Routes();
    void Request_Tracks();
    void Send_Route();
    void Send_Track();
    void End_of_Records();
    void Send_Waypoint();
    void Send_Route_Waypoint();
    QString NMEA_Checksum(const QString& msg) const;

    // --- Host wiring (not part of the receiver interface) ---
    // Opens this device path instead of the one the port number maps to.
    void setDevicePath(const QString& path) { m_channel->setDevicePath(path); }
    void setDevice(QIODevice* device) { m_channel->setDevice(device); }
    void setPrompt(LinkPrompt prompt) { m_link->setPrompt(std::move(prompt)); }
    void setTimeScale(timing::TimeScale scale);
    bool isPortOpen() const { return m_channel->isOpen(); }
    // Read inside Receive: false when the announced frame failed its checksum, so its record
    // object was not refilled (the receiver sends it again after the NAK). A host that
    // collects records skips such frames instead of storing the previous record twice.
    bool lastFrameValid() const { return m_link->lastFrameValid(); }
    // Read inside Receive: the data packet equals the one taken just before (see LinkLayer).
    bool lastFrameRepeat() const { return m_link->lastFrameRepeat(); }
    // Read inside Receive for a record packet: false when its layout is unknown to the control
    // or the data is too short for it, so the record object was not refilled. The host must
    // not store the record; lastRecordFormat() names the layout that could not be read.
    bool lastRecordDecoded() const { return m_lastRecordDecoded; }
    QString lastRecordFormat() const { return m_lastRecordFormat; }
    // The layouts track packets are read with: points with the point layout that follows the
    // track protocol (D301 after "A301 D310"), headers (PID_Trk_Hdr) with the header layout.
    QString trackPointFormat() const;
    QString trackHeaderFormat() const { return m_trackLayouts.header; }
    // Track headers have no property of their own; their identifier is still the receiver's.
    quint8 PID_Trk_Hdr() const { return m_ids.PID_Trk_Hdr; }
    // The download in progress or last finished: whether the receiver announced a record count
    // (Incoming_Records_Count), how many records came since, and whether it ended the transfer.
    bool transferAnnounced() const { return m_transferAnnounced; }
    int transferRecordsReceived() const { return m_transferRecords; }
    bool transferEnded() const { return m_transferEnded; }
    // Every announced record arrived and the receiver ended the transfer.
    bool transferComplete() const;
    LinkLayer& link() { return *m_link; }
    const LinkLayer& link() const { return *m_link; }
    const PreparedPackets& preparedPackets() const { return m_prepared; }

Q_SIGNALS:
    void Receive(quint8 Packet_Command, quint8 Packet_Data_1);
    void HexDebug(const QString& dbgText);
    void NMEA(const QString& sentence, bool chkerr);

private:
    void decodePacket(const QByteArray& packet);
    void decodeRecordsPacket(ByteView data);
    void decodeProductDataPacket(ByteView data);
    void decodeProtocolArrayPacket(ByteView data);
    void decodeDateTimePacket(ByteView data);
    void decodePvtPacket(ByteView data);
    void decodeWaypointPacket(ByteView data);
    void decodeRoutePacket(ByteView data);
    void decodeTrackPacket(ByteView data);
    void decodeTrackHeaderPacket(ByteView data);
    void recordDecoded(bool decoded, const QString& format);
    void startTransfer();
    // A new connection: the receiver on the line may not be the one that was there before.
    void forgetReceiver();
    void trace(const std::vector<QString>& lines);
    void sendRecord(std::uint8_t id, const std::optional<QByteArray>& data, const QString& format);

    LinkIds m_ids;
    PreparedPackets m_prepared;
    Capabilities m_caps;
    cWaypoint m_waypoint;
    cRoute m_route;
    cTrack m_track;
    cPosition m_position;
    cPvtData m_pvtData;
    cDate_Time m_dateTime;
    cAlmanac m_almanac;
    cProduct_Data m_productData;
    bool m_ignoreCheckSum = false;
    qint16 m_port = 1;
    qint16 m_incomingRecordsCount = 0;
    TrackLayouts m_trackLayouts;
    bool m_lastRecordDecoded = true;
    QString m_lastRecordFormat;
    bool m_transferAnnounced = false;
    bool m_transferEnded = false;
    int m_transferRecords = 0;
    timing::TimeScale m_timeScale;
    ByteChannel* m_channel;
    LinkLayer* m_link;
};

} // namespace navlet
