#pragma once
// Land and sea from the coastline ways of an extract. Coastline ways meet end to start (land on
// their left); a country's coast comes in tens of thousands of pieces, so joining goes through
// a map of end nodes and the edge walk through an ordered map: both in n log n at most.
#include "map/OsmData.h"

#include <cstdint>
#include <vector>

namespace aero {

// A coastline way: its first and last node ids and its points.
struct OsmCoast {
    std::int64_t first = 0, last = 0;
    std::vector<OsmPoint> points;
};

// Joins the pieces that meet end to start, in place; closed rings stay as they are.
void joinCoastline(std::vector<OsmCoast>& coast);

// Adds the sea within `box` and the land over it: rings that close inside the box are islands,
// the rest are cut at the box and closed along its edge, keeping the land on their left.
void addCoastline(std::vector<OsmCoast> coast, const OsmBox& box, OsmData& out);

} // namespace aero
