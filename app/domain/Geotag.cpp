#include "domain/Geotag.h"

#include <algorithm>

namespace aero::track {

std::optional<Placement> placeByTime(const Track& track, const TimedRecord& record, qint64 clockOffsetMs)
{
    qint64 first = record.firstSeen != 0 ? record.firstSeen : record.lastSeen;
    qint64 last = record.lastSeen != 0 ? record.lastSeen : record.firstSeen;
    if (first == 0 && record.bestTime == 0)
        return std::nullopt;
    if (first == 0)
        first = last = record.bestTime;
    if (last < first)
        std::swap(first, last);
    first += clockOffsetMs;
    last += clockOffsetMs;
    const qint64 when = record.bestTime != 0 ? record.bestTime + clockOffsetMs : first + (last - first) / 2;
    if (!track.covers(when))
        return std::nullopt;
    const TrackPoint p = track.at(when);
    // Only the stretch the track covers counts; beyond it nothing is known of the drive.
    const qint64 from = std::max(first, track.start()), to = std::min(last, track.end());
    const double driven = to > from ? track.drivenBetween(from, to) : 0.0;
    return Placement{p.latitude, p.longitude, driven / 2.0 + track.errorM()};
}

GeotagResult placeByTrack(APList& table, const Track& track, qint64 clockOffsetMs)
{
    GeotagResult result;
    for (int slot = 1; slot <= table.count(); ++slot) {
        if (table.at(slot).hasCoordinates())
            continue;
        const Observation& seen = table.observation(slot);
        if (seen.firstSeen == 0 && seen.lastSeen == 0) {
            ++result.withoutTimes;
            continue;
        }
        const auto placed = placeByTime(track, {seen.firstSeen, seen.lastSeen, 0}, clockOffsetMs);
        if (!placed) {
            ++result.outsideTrack;
            continue;
        }
        Observation updated = seen;
        updated.positionMethod = QString::fromLatin1(TrackMethodName);
        updated.uncertaintyM = placed->uncertaintyM;
        table.setObservation(slot, std::move(updated));
        table.modify(slot, [&](AccessPoint& ap) {
            ap.Latitude = placed->latitude;
            ap.Longitude = placed->longitude;
        });
        ++result.placed;
    }
    return result;
}

} // namespace aero::track
