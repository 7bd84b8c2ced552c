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

// A line that behaves like a receiver, not like our library: its own framing, ACK and NAK
// checked against the packet sent, its own resend after an ACK time-out, and faults drawn at
// random (seeded, so a run can be repeated).
struct StrictLine {
    bool enabled = false;
    unsigned seed = 1;
    double corruptPercent = 0; // packets sent (ACKs included) that arrive damaged
    double nakPercent = 0;     // data packets from the host answered with a NAK
    double dropPercent = 0;    // packets from the host lost on the line
    double noisePercent = 0;   // bursts of noise before a packet, in both directions
    int ackTimeoutMs = 1000;   // a packet without its ACK is sent again after this
    int ackTimeoutMaxMs = 0;   // when above ackTimeoutMs: each wait drawn between the two
    int baud = 0;              // when set: both directions paced as a serial line of this speed
    int retries = 20;          // resends of one packet before the receiver gives up
};

struct Scenario {
    navlet::cProduct_Data product;
    QStringList protocols;
    bool sendProtocolArray = true; // right after the product data, as receivers do
    std::vector<navlet::cTrack> trackPoints; // New_Segment marks the first point of each segment
    std::vector<navlet::cWaypoint> waypoints;
    QString savePath;
    Faults faults;
    StrictLine strict;
    QStringList nmeaSentences;
    int nmeaIntervalMs = 100;
    navlet::cDate_Time dateTime;
    navlet::cPvtData pvt;

    QString linkProtocol() const;
    QString waypointFormat() const;
    // The layouts of the track protocol: its first D300..D302 and its first D310..D312.
    QString trackPointFormat() const;
    QString trackHeaderFormat() const;
    std::vector<navlet::ProtocolEntry> protocolEntries() const;
};

std::optional<Scenario> loadScenario(const QString& path, QString* error);
