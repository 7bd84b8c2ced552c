#pragma once
// Geometry of the program: the great-circle distance used to frame plotted APs, and the
// coordinates of a map Location.
#include "domain/Location.h"

#include <QChar>

namespace aero::GIS {

// Distance between two points in decimal degrees. unit 'K' kilometres, 'N' nautical miles,
// anything else statute miles (60 x 1.1515 miles per degree of arc).
double distance(double lat1, double lon1, double lat2, double lon2, QChar unit);

} // namespace aero::GIS

namespace aero {

// Our Locations carry their coordinates, so they come back exactly.
void LocationToLatLon(const Location& where, double& latitude, double& longitude);

} // namespace aero
