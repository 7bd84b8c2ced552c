#pragma once
// A point of the map and the units and regions maps are measured and made in: plain values
// shared by the geometry, the map files and the map engine.
#include <cstdint>

namespace aero {

// A point of the map: exact coordinates and the altitude (current unit) to view it from.
struct Location {
    double lat = 0.0;
    double lon = 0.0;
    double alt = 0.0;
    bool LocationOption = false;   // "show this place" hint set before centring after a list click
    friend bool operator==(const Location& a, const Location& b)
    {
        return a.lat == b.lat && a.lon == b.lon && a.alt == b.alt;
    }
};

// Handles stay valid until the marker or shape is removed or the map is closed.
using MarkerId = std::uint32_t;
using ShapeId = std::uint32_t;

enum class MapRegion { NorthAmerica = 1, Europe = 2 };
enum class MapUnit { Miles = 0, Kilometres = 1 };

} // namespace aero
