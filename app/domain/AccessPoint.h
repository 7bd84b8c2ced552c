#pragma once
// One surveyed access point, the way every part of the program sees it.
#include <QString>

namespace aero {

struct AccessPoint {
    double Latitude = 0.0;    // both exactly 0: no coordinates
    double Longitude = 0.0;
    QString SSID;             // empty: the slot is free
    QString MAC;
    float Signal = 0.0f;      // dBm
    QString Flags;
    QString WEP;              // "1" on, "0" off, empty when unknown
    QString Mode;             // "1" infrastructure, "0" ad-hoc, empty when unknown
    bool Plotted = false;     // a marker for this record is on the map

    bool hasCoordinates() const { return Latitude != 0.0 || Longitude != 0.0; }
    bool hasBothCoordinates() const { return Latitude != 0.0 && Longitude != 0.0; }
    bool encrypted() const { return WEP == QLatin1String("1"); }

    friend bool operator==(const AccessPoint&, const AccessPoint&) = default;
};

} // namespace aero
