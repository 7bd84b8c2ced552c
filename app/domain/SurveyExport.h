#pragma once
// The AP table written as GPX 1.1 waypoints, as a GeoJSON FeatureCollection and as a WiGLE CSV
// 1.6 file (which the WiGLE CSV reader reads back to the same table). Qt Core only.
//
// All three carry the APs with coordinates (each format needs a position); the others are left
// out (ApListExport counts them for the user). What the logs said beyond the record (times, channel, security,
// the name as written, vendor) goes along when an observation source is given.
#include "domain/AccessPoint.h"
#include "domain/Observation.h"

#include <QByteArray>
#include <functional>

class QIODevice;

namespace aero::import {

// The records to write, in slot order; stop at the first empty SSID.
using ApSource = std::function<const AccessPoint*(int index)>;

// The observation of the same index; nullptr or an empty one when the log said nothing more.
// An AP placed by a stated method carries it and its radius: GeoJSON properties position_method
// and uncertainty_m, and the same words at the end of the GPX description.
using ObservationSource = std::function<const Observation*(int index)>;

// False when the XML writer failed (text it cannot encode).
bool writeGpx(const ApSource& aps, QIODevice& out, const ObservationSource& seen = {});
void writeGeoJson(const ApSource& aps, QIODevice& out, const ObservationSource& seen = {});
void writeWigleCsv(const ApSource& aps, QIODevice& out, const ObservationSource& seen = {});

// The AuthMode written for a record: the log's own text when it was WiGLE's bracket form, else
// from the security class ("[WEP][ESS]", "[WPA2-PSK-CCMP][ESS]", "[WPA3-SAE-CCMP][ESS]", "[ESS]"
// for open; "[IBSS]" for ad-hoc); "[UNKNOWN]" when neither the log nor the class tells.
QByteArray wigleAuthMode(const AccessPoint& ap, const Observation& seen = {});

// "Key = value" lines of what an observation holds, for balloons and descriptions; empty when
// the log said nothing beyond the record.
QStringList observationLines(const Observation& seen);

} // namespace aero::import
