#pragma once
// What today's survey logs say about an AP beyond its table record: times, radio, security,
// the name as written, the vendor, how often it was seen and where from. Kept beside the
// APList, one per slot, so the table record itself stays as every other part expects it.
// Qt Core and the standard library only.
#include <QString>
#include <QtGlobal>
#include <vector>

namespace aero {

enum class Band : quint8 { Unknown, GHz2_4, GHz5, GHz6 };

enum class SecurityClass : quint8 { Unknown, Open, WEP, WPA, WPA2, WPA3, OWE, Enterprise };

// One located sighting of an AP: where the receiver was and what it heard.
struct Sighting {
    double latitude = 0.0;
    double longitude = 0.0;
    float signal = 0.0f;       // dBm
    qint64 time = 0;           // ms since 1970 UTC; 0 when the log gave none

    friend bool operator==(const Sighting&, const Sighting&) = default;
};

struct Observation {
    qint64 firstSeen = 0;      // ms since 1970 UTC; 0 when unknown
    qint64 lastSeen = 0;
    int channel = 0;           // 0 when unknown
    int frequencyMHz = 0;      // 0 when unknown
    Band band = Band::Unknown;
    SecurityClass security = SecurityClass::Unknown;
    QString capabilities;      // the log's own capability text, bounded
    QString originalSsid;      // as the log wrote it, before the table numbered repeats; empty when hidden
    bool hidden = false;
    QString vendor;            // from the MAC's OUI; empty when unknown
    qint64 sightings = 0;
    QString sourceFile;
    QString sourceFormat;
    qint64 sourceLine = 0;     // line or row of the first sighting; 0 when unknown

    std::vector<Sighting> located;   // bounded sample of the sightings that had a position
    QString positionMethod;          // how the table position was chosen; empty: strongest sighting
    double uncertaintyM = -1.0;      // radius in metres; negative when unknown

    bool isEmpty() const { return sourceFormat.isEmpty() && sightings == 0; }

    friend bool operator==(const Observation&, const Observation&) = default;
};

} // namespace aero
