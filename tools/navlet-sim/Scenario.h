#pragma once
// What the simulated receiver is and does, read from a JSON scenario file (README.md).
#include "navlet/Capabilities.h"
#include "navlet/Records.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

struct Faults {
    int corruptEvery = 0;  // every Nth packet sent goes out with a wrong checksum (0 = never)
    int nakEvery = 0;      // every Nth data packet received is answered with a NAK (0 = never)
    int silentAfter = -1;  // after this many packets sent, nothing more is sent (-1 = never)
};

struct Scenario {
    navlet::cProduct_Data product;
    QStringList protocols;
    bool sendProtocolArray = true; // right after the product data, as receivers do
    std::vector<navlet::cTrack> trackPoints; // New_Segment marks the first point of each segment
    std::vector<navlet::cWaypoint> waypoints;
    QString savePath;
    Faults faults;
    QStringList nmeaSentences;
    int nmeaIntervalMs = 100;
    navlet::cDate_Time dateTime;
    navlet::cPvtData pvt;

    QString linkProtocol() const;
    QString waypointFormat() const;
    // The point layout of the track protocol: its first D300 or D301.
    QString trackPointFormat() const;
    std::vector<navlet::ProtocolEntry> protocolEntries() const;
};

std::optional<Scenario> loadScenario(const QString& path, QString* error);
