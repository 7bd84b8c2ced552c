#pragma once
// Places the APs of the table by one position method from the sightings each import kept, so
// choosing another method needs no re-import. APs without kept sightings stay where they are.
#include "domain/APList.h"
#include "domain/PositionEstimate.h"

namespace aero::position {

// Returns how many APs were estimated.
int reestimatePositions(APList& table, Method method);

} // namespace aero::position
