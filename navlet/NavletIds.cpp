#include "navlet/NavletIds.h"

#include "navlet/Framing.h"

#include <QString>

namespace navlet {

void LinkIds::applyL002()
{
    PID_Almanac_Data = 4;
    PID_Command_Data = 11;
    PID_Xfer_Cmplt = 12;
    PID_Date_Time = 20;
    PID_Position_Data = 24;
    PID_Records = 35;
    PID_Rte_Hdr = 37;
    PID_Rte_Wpt_Data = 39;
    PID_Wpt_Data = 43;
    CMND_Reset_Transfer = 0;
    CMND_Transfer_Alm = 4;
    CMND_Transfer_Rte = 8;
    CMND_Transfer_Time = 20;
    CMND_Transfer_Wpt = 21;
    CMND_Turn_Off_Pwr = 26;
}

LinkIds LinkIds::forLinkProtocol(const QString& linkProtocol)
{
    LinkIds ids;
    if (linkProtocol == QLatin1String("L002"))
        ids.applyL002();
    return ids;
}

QByteArray commandPacket(const LinkIds& ids, std::uint8_t command)
{
    QByteArray data;
    data.append(static_cast<char>(command));
    data.append('\0'); // 16-bit little-endian command code
    return buildPacket(ids.PID_Command_Data, data);
}

QByteArray ackPacket(const LinkIds& ids, std::uint8_t acknowledgedId)
{
    return buildPacket(ids.PID_Ack_Byte, QByteArray(1, static_cast<char>(acknowledgedId)));
}

QByteArray nakPacket(const LinkIds& ids, std::uint8_t rejectedId)
{
    return buildPacket(ids.PID_Nak_Byte, QByteArray(1, static_cast<char>(rejectedId)));
}

PreparedPackets PreparedPackets::build(const LinkIds& ids)
{
    const QByteArray zeros(2, '\0');
    PreparedPackets p;
    p.ack = ackPacket(ids, 0);
    p.nak = nakPacket(ids, 0);
    p.reset = commandPacket(ids, ids.CMND_Reset_Transfer);
    p.productRequest = buildPacket(ids.PID_Product_Rqst, zeros);
    p.protocolRequest = buildPacket(ids.PID_Protocol_Array, zeros);
    p.records = buildPacket(ids.PID_Records, zeros);
    p.xferCmplt = buildPacket(ids.PID_Xfer_Cmplt, zeros);
    p.powerOff = commandPacket(ids, ids.CMND_Turn_Off_Pwr);
    p.requestDateTime = commandPacket(ids, ids.CMND_Transfer_Time);
    p.pvtStart = commandPacket(ids, ids.CMND_Start_Pvt_Data);
    p.pvtStop = commandPacket(ids, ids.CMND_Stop_Pvt_Data);
    p.requestWaypoints = commandPacket(ids, ids.CMND_Transfer_Wpt);
    p.requestProxWaypoints = commandPacket(ids, ids.CMND_Transfer_Prx);
    p.requestRoutes = commandPacket(ids, ids.CMND_Transfer_Rte);
    p.requestTracks = commandPacket(ids, ids.CMND_Transfer_Trk);
    return p;
}

} // namespace navlet
