#include "live/TrackStep.h"

#include "domain/Geo.h"

#include <QString>

namespace aero {
namespace {

constexpr int SecondsPerDay = 24 * 3600;

} // namespace

TrackStep nextTrackStep(const std::optional<TrackFix>& previous, const TrackFix& next)
{
    if (!previous)
        return TrackStep::NewSegment;
    const double km = geo::distance({previous->lat, previous->lon, 0.0}, {next.lat, next.lon, 0.0}, MapUnit::Kilometres);
    if (previous->secondOfDay && next.secondOfDay && *previous->secondOfDay == *next.secondOfDay && km == 0.0)
        return TrackStep::Repeat;
    if (km > MaxStepKm)
        return TrackStep::NewSegment;
    if (!previous->secondOfDay || !next.secondOfDay)
        return TrackStep::Continue;
    int seconds = *next.secondOfDay - *previous->secondOfDay;
    if (seconds < -SecondsPerDay / 2)
        seconds += SecondsPerDay;   // past midnight
    if (seconds < 0)
        return TrackStep::NewSegment;   // back in time: a replayed or restarted log
    // Fixes of one second (several a second, or the same time twice) say nothing of speed.
    if (seconds > 0 && km / (seconds / 3600.0) > MaxSpeedKmh)
        return TrackStep::NewSegment;
    return TrackStep::Continue;
}

std::optional<int> secondOfDay(const QString& hora)
{
    if (hora.size() != 8 || hora[2] != QLatin1Char(':') || hora[5] != QLatin1Char(':'))
        return std::nullopt;
    bool okH = false, okM = false, okS = false;
    const int h = hora.mid(0, 2).toInt(&okH), m = hora.mid(3, 2).toInt(&okM), s = hora.mid(6, 2).toInt(&okS);
    if (!okH || !okM || !okS || h > 23 || m > 59 || s > 60)
        return std::nullopt;
    return h * 3600 + m * 60 + s;
}

} // namespace aero
