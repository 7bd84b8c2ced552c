#pragma once
// The Save CSV button's formats: the program's own CSV (the default), GPX 1.1 waypoints,
// GeoJSON and WiGLE CSV 1.6 (for an upload to WiGLE).
#include "domain/CheckedSave.h"

#include <QString>

class QIODevice;

namespace aero {

class APList;

enum class ApListFormat { ProgramCsv, Gpx, GeoJson, WigleCsv };

// The save dialog's filter, in ApListFormat order.
inline constexpr const char* ApListFilter =
    "Comma-separated values (*.csv)|*.csv|GPX 1.1 waypoints (*.gpx)|*.gpx|GeoJSON (*.geojson)|*.geojson|"
    "WiGLE CSV 1.6 (*.csv)|*.csv";

ApListFormat apListFormatOfFilter(int index);
// Scripts name only a file: ".gpx", ".geojson" or ".json", a name ending "wigle.csv", else the CSV.
ApListFormat apListFormatOfName(const QString& path);

// False when the format's writer failed; write through saveChecked to catch failed writes too.
bool writeApList(const APList& list, QIODevice& out, ApListFormat format);

// How many APs a GPX, GeoJSON or WiGLE CSV leaves out for want of a position (the program's CSV
// carries all), so the user can be told.
qint64 unplacedApCount(const APList& list, ApListFormat format);

// Save CSV's file: the old one stays unless the whole list was written.
SaveResult saveApList(const APList& list, const QString& path, ApListFormat format);

} // namespace aero
