#pragma once
// Places records that have times but no position from a driven track: at the track's position
// at the record's best-signal time when the log gave one, else halfway between its first and
// last sighting. The radius is half the distance driven between first and last sighting (the
// AP could be anywhere along that stretch) plus the track's own error. A clock offset, added to
// the log's times, mends a survey clock that was not set from the GPS.
#include "domain/APList.h"
#include "domain/TrackLog.h"

#include <optional>

namespace aero::track {

struct TimedRecord {
    qint64 firstSeen = 0;   // ms since 1970 UTC; 0 when unknown
    qint64 lastSeen = 0;
    qint64 bestTime = 0;    // time of the strongest sighting; 0 when unknown
};

struct Placement {
    double latitude = 0.0;
    double longitude = 0.0;
    double uncertaintyM = 0.0;
    friend bool operator==(const Placement&, const Placement&) = default;
};

// Nothing when the record has no time, or its time lies outside the track or in a gap of it.
std::optional<Placement> placeByTime(const Track& track, const TimedRecord& record, qint64 clockOffsetMs);

// The method name exports and the balloon show for such a position.
inline constexpr const char* TrackMethodName = "track";

struct GeotagResult {
    int placed = 0;
    int outsideTrack = 0;   // times outside the track's span (or in a gap): left unplaced
    int withoutTimes = 0;   // no position and no time: left unplaced
    friend bool operator==(const GeotagResult&, const GeotagResult&) = default;
};

// Every AP of the table without coordinates, by the times its observation holds.
GeotagResult placeByTrack(APList& table, const Track& track, qint64 clockOffsetMs);

} // namespace aero::track
