#pragma once
// The AP table written as GPX 1.1 waypoints, as a GeoJSON FeatureCollection and as a WiGLE CSV
// 1.6 file (which the WiGLE CSV reader reads back to the same table). Qt Core only.
//
// GPX and GeoJSON carry the APs with coordinates (both formats need a position); the WiGLE CSV
// carries every AP, those without coordinates at 0,0 as WiGLE itself writes a sighting without
// a fix.
#include "domain/AccessPoint.h"
#include "domain/Observation.h"

#include <QByteArray>
#include <functional>

class QIODevice;

namespace aero::import {

// The records to write, in slot order; stop at the first empty SSID.
using ApSource = std::function<const AccessPoint*(int index)>;

// What the logs said of each record, in the same order; nothing when unknown. An AP placed by a
// stated method carries it and its radius: GeoJSON properties position_method and
// uncertainty_m, and the same words at the end of the GPX description.
using PlacementSource = std::function<const Observation*(int index)>;

// False when the XML writer failed (text it cannot encode).
bool writeGpx(const ApSource& aps, QIODevice& out, const PlacementSource& placements = {});
void writeGeoJson(const ApSource& aps, QIODevice& out, const PlacementSource& placements = {});
void writeWigleCsv(const ApSource& aps, QIODevice& out);

// The AuthMode written for a record: "[WPA2-PSK-CCMP][ESS]" style from its WEP and Mode.
QByteArray wigleAuthMode(const AccessPoint& ap);

} // namespace aero::import
