#pragma once
// Whether a new fix continues the driven track from the previous one. A fix no vehicle could
// have reached (a receiver's cold-start jump, a log replayed from another continent, a session
// on the far side of the world) starts a new segment instead of a line across the map; the
// same fix reported twice adds nothing.
#include <optional>

class QString;

namespace aero {

struct TrackFix {
    double lat = 0.0;
    double lon = 0.0;
    std::optional<int> secondOfDay;   // UTC, when the receiver gave a time
};

enum class TrackStep { Continue, NewSegment, Repeat };

inline constexpr double MaxStepKm = 100.0;
inline constexpr double MaxSpeedKmh = 1000.0;

// `previous` empty: nothing to continue from.
TrackStep nextTrackStep(const std::optional<TrackFix>& previous, const TrackFix& next);

// "hh:mm:ss" as the GPS control reports it; nothing for "::" or other text.
std::optional<int> secondOfDay(const QString& hora);

} // namespace aero
