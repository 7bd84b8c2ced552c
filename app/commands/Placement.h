#pragma once
// Where the APs stand after an import: each placed by the position method of the settings from
// the sightings its log kept, and, when a script set a track, those with times but no position
// placed by it. Re-placing by another method reads no file again.
#include "ui/AppContext.h"
#include "domain/PositionEstimate.h"

namespace aero {

// The "PositionMethod" option; the strongest sighting when it names none.
position::Method configuredPositionMethod(const Settings& settings);

// Returns how many APs without a position the track placed.
int placeImported(AppContext& ctx);

// "Place by track…": the APs with times but no position placed from a GPX track or NMEA log
// the user picks, plotted, and what stayed unplaced counted.
void placeByTrackFile(AppContext& ctx);

// After the method changed: every AP with kept sightings re-placed, its marker moved.
void replaceByMethod(AppContext& ctx);

} // namespace aero
