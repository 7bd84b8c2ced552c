#pragma once
// The map's plain value types and numbers, shared by the map service, the document and the map
// file reader and writer. Qt Core only.
#include <QString>
#include <cstdint>
#include <utility>
#include <vector>

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
enum class ShapeKind { Line, Polyline, Figure };

// What opening a map file could not bring onto the map.
struct LoadReport {
    bool foreign = false;                              // not written by this program
    std::vector<std::pair<QString, int>> notKept;      // kind, count
};

inline constexpr int BuiltInSymbolCount = 336;
inline constexpr int DefaultSymbol = 0;        // the pushpin
inline constexpr int FilteredSymbol = 17;      // an AP that failed a filter
inline constexpr int PositionSymbol = 264;     // the live position
inline constexpr int NavigationToolbar = 2;
inline constexpr int DrawingToolbar = 3;

} // namespace aero
