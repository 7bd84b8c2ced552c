#pragma once
// What every survey reader hands back: the records in file order (formats that merge sightings
// give one per MAC, with the position and signal of that MAC's strongest observation), what the
// log said of each beyond the record, and counts of what was left out.
// Qt Core and the standard library only.
#include "domain/AccessPoint.h"
#include "domain/Observation.h"
#include "domain/SightingSample.h"

#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace aero::import {

// The one status of every survey import.
enum class SurveyStatus {
    Ok,
    NotRecognised,   // not a file of this kind: nothing read
    MissingColumn,   // the heading lacks a column the reader needs (detail names it)
    NoGpsLog,        // the GPS log the format needs beside it is not there: nothing read
    Damaged,         // cut short or corrupt at `stoppedAt`; the records before it are kept
    BadNumber,       // a number column held text at `stoppedAt` (detail names it); records before it are kept
    ReadError,       // the device failed; the records before it are kept
};

struct SurveyContents {
    SurveyStatus status = SurveyStatus::Ok;
    QString detail;                      // the missing column, or what stopped the reading
    std::vector<AccessPoint> records;
    std::vector<Observation> observed;   // one per record, same order (sourceFile is the importer's)
    qint64 observations = 0;             // Wi-Fi observations read (rows, networks, packets)
    qint64 skipped = 0;                  // unreadable rows: wrong width, bad numbers, overlong
    qint64 firstSkipped = 0;             // line (database: row) of the first of them
    qint64 otherKinds = 0;               // well-formed rows of other kinds (cell, Bluetooth, clients)
    qint64 stoppedAt = 0;                // line (XML: line; database: row) where reading ended
    bool complete() const { return status == SurveyStatus::Ok && skipped == 0; }
    void skip(qint64 where)
    {
        if (skipped++ == 0)
            firstSkipped = where;
    }
};

// Called now and then during long reads so the caller can let its event loop run (it may throw
// to cancel; readers hold nothing that leaks).
using ReadProgress = std::function<void()>;

// The capability-flags word of a text summary (802.11 capability bits in hex: 0x0001 ESS,
// 0x0002 IBSS, 0x0010 privacy), so encryption and mode read the same from every format:
// "0011" encrypted BSS, "0001" open BSS, "0012" encrypted ad-hoc, "0002" open ad-hoc.
QString capabilityFlags(bool encrypted, bool adHoc);

// Fills Flags, WEP and Mode from the two facts every format gives.
void setSecurity(AccessPoint& ap, bool encrypted, bool adHoc);

// Longest SSID kept (longer names are cut, as the netxml reader cuts every text) and longest
// MAC field read (a MAC is 17 characters; a longer field is no MAC).
inline constexpr qsizetype MaxSsidText = 1024;
inline constexpr qsizetype MaxMacField = 64;

// The SSID as stored: trimmed, cut to MaxSsidText, "BLANK SSID" when empty.
QString storedSsid(const QString& ssid);

// A MAC field as read: trimmed of blanks and of a UTF-8 byte-order mark. Empty when nothing is
// left or it is longer than MaxMacField: every reader then skips the record and counts it.
QByteArrayView macField(QByteArrayView raw);

// A MAC as stored: trimmed and upper-cased, so the same AP matches across formats.
QString storedMac(QByteArrayView mac);

// Folds observations into one record per MAC. The first sighting fixes the slot, SSID and
// security; the strongest observation gives the signal, and the strongest observation that has
// a position gives the position. A hidden SSID is replaced by a name seen later.
class SightingMerger {
public:
    // Index of the record for `mac`, or -1. Six hex pairs take a fast path.
    int find(QByteArrayView mac) const;
    // A first sighting; returns its index. `seen` counts as its first sighting.
    int add(QByteArrayView mac, AccessPoint ap, Observation seen = {});
    // A further observation of record `index`, at `time` (ms UTC, 0 unknown).
    void observe(int index, float signal, double lat, double lon, qint64 time = 0);
    AccessPoint& at(int index) { return m_records[static_cast<std::size_t>(index)]; }
    Observation& observed(int index) { return m_observed[static_cast<std::size_t>(index)]; }
    qsizetype size() const { return static_cast<qsizetype>(m_records.size()); }
    // Moves the records and their observations, with each one's bounded sample of located
    // sightings, into `out`.
    void takeInto(SurveyContents& out);

    // The whole step for readers that build each observation as a record.
    void sighting(const AccessPoint& ap, const Observation& seen = {});

private:
    static std::optional<quint64> macKey(QByteArrayView mac);

    std::vector<AccessPoint> m_records;
    std::vector<Observation> m_observed;
    std::vector<SightingSample> m_located;
    std::vector<float> m_positionSignal;   // signal of the observation the position came from
    QHash<quint64, int> m_byKey;
    QHash<QString, int> m_byText;
};

} // namespace aero::import
