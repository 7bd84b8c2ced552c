#pragma once
// Map files are KML 2.2: markers as Placemarks with a Point, shapes as Placemarks with a
// LineString or Point, the rest in ExtendedData. Coordinates are written in their shortest
// exact form, so reading a file back gives the very same numbers.
#include "domain/MapFile.h"

class QIODevice;

namespace aero {

bool writeKml(const MapFileData& data, QIODevice& out);

// Shortest text that reads back as exactly `value`.
QString exactNumber(double value);

} // namespace aero
