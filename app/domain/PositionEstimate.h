#pragma once
// Where an AP stands, estimated from its located sightings, with a radius in metres that holds
// the true position for about two APs in three (calibrated on simulated drives, see
// examples/make-drive.py and bench/position_study.cpp).
//
//   Strongest  the position of the strongest sighting: the survey tools' own rule, the default.
//   Weighted   the centroid of the sightings weighted by received amplitude, 10^(dBm/20): a
//              sighting 6 dB stronger counts twice. Centroid and weighted-centroid estimates of
//              beacon positions from war-driving traces are compared in the metropolitan Wi-Fi
//              localisation studies (Cheng, Chawathe, LaMarca, Krumm, MobiSys 2005; LaMarca et
//              al., Place Lab, Pervasive 2005).
//   Trimmed    the weighted centroid of the sightings within 30 dB of the strongest, again
//              without those farther from that centroid than three times their weighted
//              median distance: a fix thrown off by a reflection does not pull the estimate.
#include "domain/Observation.h"

#include <QString>
#include <optional>
#include <span>

namespace aero::position {

enum class Method { Strongest, Weighted, Trimmed };

// "strongest", "weighted", "trimmed": the names settings, the command line and exports use.
QString methodName(Method method);
std::optional<Method> methodFromName(const QString& name);

struct Estimate {
    double latitude = 0.0;
    double longitude = 0.0;
    double uncertaintyM = 0.0;
    friend bool operator==(const Estimate&, const Estimate&) = default;
};

// Nothing when no sighting has a position.
std::optional<Estimate> estimate(std::span<const Sighting> sightings, Method method);

// Metres between two points on the program's Earth.
double metresBetween(double lat1, double lon1, double lat2, double lon2);

} // namespace aero::position
