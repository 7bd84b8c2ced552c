#pragma once
// Draws the downloaded track file on a map: each segment of at least five points becomes a
// polyline in the track colour; the view is centred on each segment's first point.
#include "map/MapService.h"

#include <QString>
#include <functional>

namespace aero {

struct TrackDrawResult {
    int lines = 0;       // lines read as track points
    int segments = 0;    // segments drawn
    int polylines = 0;   // polylines added (a long segment needs several)
    friend bool operator==(const TrackDrawResult&, const TrackDrawResult&) = default;
};

// Called every few lines to let the event loop run; drawing stops when it returns false.
using DrawYield = std::function<bool()>;

// Throws AppError when the file cannot be read. Lines that are not track points are skipped.
TrackDrawResult drawTrackFile(MapService& map, const QString& path, int trackColor, const DrawYield& yield = {});

} // namespace aero
