#pragma once
// Packet identifiers and command codes of the receiver's link. Receivers that report link
// protocol "L002" number several of them differently.
#include <QByteArray>
#include <cstdint>

namespace navlet {

struct LinkIds {
    std::uint8_t CMND_Reset_Transfer = 0;
    std::uint8_t CMND_Transfer_Alm = 1;
    std::uint8_t CMND_Transfer_Posn = 2;
    std::uint8_t CMND_Transfer_Prx = 3;
    std::uint8_t CMND_Transfer_Rte = 4;
    std::uint8_t CMND_Transfer_Time = 5;
    std::uint8_t CMND_Transfer_Trk = 6;
    std::uint8_t CMND_Transfer_Wpt = 7;
    std::uint8_t CMND_Turn_Off_Pwr = 8;
    std::uint8_t CMND_Start_Pvt_Data = 49;
    std::uint8_t CMND_Stop_Pvt_Data = 50;
    std::uint8_t CMND_Start_Async = 255;
    std::uint8_t PID_Command_Data = 10;
    std::uint8_t PID_Xfer_Cmplt = 12;
    std::uint8_t PID_Position_Data = 17;
    std::uint8_t PID_Date_Time = 14;
    std::uint8_t PID_Prx_Wpt_Data = 19;
    std::uint8_t PID_Records = 27;
    std::uint8_t PID_Rte_Hdr = 29;
    std::uint8_t PID_Rte_Wpt_Data = 30;
    std::uint8_t PID_Almanac_Data = 31;
    std::uint8_t PID_Trk_Data = 34;
    std::uint8_t PID_Wpt_Data = 35;
    std::uint8_t PID_Pvt_Data = 51;
    std::uint8_t PID_Product_Rqst = 254;
    std::uint8_t PID_Product_Data = 255;
    std::uint8_t PID_Ack_Byte = 6;
    std::uint8_t PID_Nak_Byte = 21;
    std::uint8_t PID_Protocol_Array = 253;
    // Track headers of the A301/A302 track protocols; not a property of the control.
    std::uint8_t PID_Trk_Hdr = 99;

    bool operator==(const LinkIds&) const = default;

    // The "L002" numbering; identifiers it does not list keep their values.
    void applyL002();
    static LinkIds forLinkProtocol(const QString& linkProtocol);
};

// Packets built from the identifiers in force, sent through Send (which adds the checksum).
struct PreparedPackets {
    QByteArray ack;   // data byte = identifier being acknowledged
    QByteArray nak;
    QByteArray reset; // command CMND_Reset_Transfer
    QByteArray productRequest;
    QByteArray protocolRequest;
    QByteArray records;   // count filled in by Start_of_Records
    QByteArray xferCmplt; // data 0, 0
    QByteArray powerOff;
    QByteArray requestDateTime;
    QByteArray pvtStart;
    QByteArray pvtStop;
    QByteArray requestWaypoints;
    QByteArray requestProxWaypoints;
    QByteArray requestRoutes;
    QByteArray requestTracks;

    static PreparedPackets build(const LinkIds& ids);
};

QByteArray commandPacket(const LinkIds& ids, std::uint8_t command);
QByteArray ackPacket(const LinkIds& ids, std::uint8_t acknowledgedId);
QByteArray nakPacket(const LinkIds& ids, std::uint8_t rejectedId);

} // namespace navlet
