#pragma once
// Map files are KML 2.2: markers as Placemarks with a Point, shapes as Placemarks with a
// LineString or Point, the rest in ExtendedData. Coordinates are written in their shortest
// exact form, so reading a file back gives the very same numbers.
#include "domain/MapFile.h"

class QIODevice;

namespace aero {

struct KmlWriteOptions {
    // Where each program symbol's picture is, "%1" standing for its style id (a KMZ holds
    // them as "Icons/%1.png"); empty: viewers draw their own pin in the style's colour.
    QString iconHref;
};

// Each program symbol also gets a KML Style (icon colour and scale) that its markers use, so
// other viewers tell open from encrypted networks and the signal band.
bool writeKml(const MapFileData& data, QIODevice& out, const KmlWriteOptions& options = {});

// Style id of added symbol `index` (0 for symbol 336), empty when it is not a program symbol.
QString symbolStyleId(const MapFileData& data, int index);

// Shortest text that reads back as exactly `value`.
QString exactNumber(double value);

} // namespace aero
