#pragma once
// The record objects through which the control hands decoded data to its host. Positions are
// decimal degrees. Integer = 16-bit, Long = 32-bit, Single = float, as the receiver sends them.
#include <QString>
#include <QtGlobal>
#include <iosfwd>

namespace navlet {

struct cWaypoint {
    QString Ident;
    double Lat = 0;
    double Lon = 0;
    QString Cmnt;
    qint16 Smbl = 0;
    qint32 Color = 0;
    qint16 Dspl = 0;
    float Dist = 0;
    qint16 Prox_Index = 0;
    float Alt = 0;
    float Dpth = 0;
    qint16 Wpt_Class = 0;
    QString Sub_Class;
    qint16 Attrib = 0;
    QString Link;
    QString State;
    QString Country;
    QString City;
    QString Address;
    QString Facility;
    QString Cross_Road;
    qint32 Unused1 = 0;
    qint32 Unused2 = 0;
    bool operator==(const cWaypoint&) const = default;
};

struct cRoute {
    qint16 Number = 0;
    QString Ident;
    QString Cmnt;
    qint16 Link_Class = 0;
    QString Sub_Class;
    bool operator==(const cRoute&) const = default;
};

struct cTrack {
    double Lat = 0;
    double Lon = 0;
    QString Time;
    bool New_Segment = false;
    float Alt = 0;
    float Dpth = 0;
    bool Dspl = false;
    quint8 Color = 0;
    QString Ident;
    bool operator==(const cTrack&) const = default;
};

struct cPosition {
    double Lat = 0;
    double Lon = 0;
    bool operator==(const cPosition&) const = default;
};

struct cPvtData {
    float Alt = 0;
    float epe = 0;
    float eph = 0;
    float epv = 0;
    qint16 pfix = 0;
    double tow = 0;
    double Lat = 0;
    double Lon = 0;
    float east = 0;
    float north = 0;
    float up = 0;
    float msl_hght = 0;
    qint16 leap_scnds = 0;
    qint32 wn_days = 0;
    bool operator==(const cPvtData&) const = default;
};

struct cDate_Time {
    quint8 month = 0;
    quint8 day = 0;
    qint16 year = 0;
    qint16 hour = 0;
    quint8 minute = 0;
    quint8 second = 0;
    bool operator==(const cDate_Time&) const = default;
};

struct cAlmanac {
    quint8 svid = 0;
    qint16 wn = 0;
    float toa = 0;
    float af0 = 0;
    float af1 = 0;
    float e = 0;
    float sqrta = 0;
    float m0 = 0;
    float w = 0;
    float omg0 = 0;
    float odot = 0;
    float i = 0;
    quint8 hlth = 0;
    bool operator==(const cAlmanac&) const = default;
};

struct cProduct_Data {
    qint16 Product_ID = 0;
    qint16 Software_Version = 0;
    QString Product_Description_1;
    QString Product_Description_2;
    bool operator==(const cProduct_Data&) const = default;
};

// Printers for test failure messages: every field by name.
void PrintTo(const cWaypoint& r, std::ostream* os);
void PrintTo(const cRoute& r, std::ostream* os);
void PrintTo(const cTrack& r, std::ostream* os);
void PrintTo(const cPosition& r, std::ostream* os);
void PrintTo(const cPvtData& r, std::ostream* os);
void PrintTo(const cDate_Time& r, std::ostream* os);
void PrintTo(const cAlmanac& r, std::ostream* os);
void PrintTo(const cProduct_Data& r, std::ostream* os);

} // namespace navlet
