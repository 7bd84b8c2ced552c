#pragma once
// The AP table as a map: one marker per AP with coordinates, and the view framed around them.
// Plotting on the screen and writing a map file without the window both go through here, so a
// converted map and a plotted one hold the same markers.
#include "domain/APList.h"
#include "domain/MapFile.h"

#include <QStringList>

namespace aero {

// An AP's marker: SSID as name, band symbol (the pushpin when its signal is between bands),
// the note, shown as a symbol only.
MarkerRecord apMarker(const AccessPoint& ap);

// The view that frames every AP with coordinates: the centre of their box, seen from four times
// its larger side (km).
Location tableView(const APList& table);

// A North America map file of the table: the AP symbol files, a marker for every AP with
// coordinates, framed; distances in kilometres.
MapFileData tableMapFile(const APList& table, const QStringList& symbolFiles);

} // namespace aero
