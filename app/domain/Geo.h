#pragma once
// Geometry shared by the map engine: great-circle distances with the program's own Earth
// (one degree of a great circle = 60 nautical-mile minutes x 1.1515 = 69.09 statute miles),
// and the Web Mercator world square (x and y in 0..1, y down) the view is drawn in.
#include "domain/Location.h"

namespace aero::geo {

inline constexpr double MilesPerDegree = 60.0 * 1.1515;
inline constexpr double KmPerMile = 1.609344;
inline constexpr double MaxMercatorLat = 85.0511287798066;

// Central angle between two points, in radians (haversine: steady for points metres apart).
double centralAngle(double lat1, double lon1, double lat2, double lon2);

// Length of one degree of a great circle in the unit.
double unitPerDegree(MapUnit unit);
double unitPerRadian(MapUnit unit);

double distance(const Location& a, const Location& b, MapUnit unit);

// Initial great-circle bearing from `from` to `to`, degrees clockwise from true north, 0..360.
double bearing(const Location& from, const Location& to);

// The smallest central angle (radians) from a point to any point of a latitude/longitude box;
// never more than the true minimum, so a search may prune with it.
double minAngleToBox(double lat, double lon, double minLat, double maxLat, double minLon, double maxLon);

// Web Mercator world square.
double worldX(double lon);
double worldY(double lat);   // latitude clamped to the Mercator limit
double lonOfWorldX(double x);
double latOfWorldY(double y);

} // namespace aero::geo
