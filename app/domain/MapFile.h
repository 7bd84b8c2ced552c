#pragma once
// A map as its file holds it: symbols by file, marker set 1, shapes, the view and the options.
// Plain values, so map files are read and written without the map engine.
#include "domain/Location.h"

#include <QString>
#include <utility>
#include <vector>

namespace aero {

enum class ShapeKind { Line, Polyline, Figure };

inline constexpr int BuiltInSymbolCount = 336;
inline constexpr int DefaultSymbol = 0;        // the pushpin
inline constexpr int FilteredSymbol = 17;      // an AP that failed a filter
inline constexpr int PositionSymbol = 264;     // the live position

// What opening a map file could not bring onto the map.
struct LoadReport {
    bool foreign = false;                              // not written by this program
    std::vector<std::pair<QString, int>> notKept;      // kind, count
};

struct Shape {
    ShapeId id = 0;
    ShapeKind kind = ShapeKind::Line;
    std::vector<Location> points;   // a figure has its centre only
    double width = 0.0;             // figure size in degrees of latitude/longitude
    double height = 0.0;
    int lineColor = 0x0000FF;       // red in the low byte
    int lineSetting = 1;            // line weight class
    QString text;
    friend bool operator==(const Shape&, const Shape&) = default;
};

// Another program's ExtendedData of a placemark (name, value in file order), kept as it was.
using ForeignData = std::vector<std::pair<QString, QString>>;

struct MarkerRecord {
    QString name;
    QString note;
    int symbol = DefaultSymbol;
    Location where;
    int displayState = 0;
    ForeignData foreignData;
    friend bool operator==(const MarkerRecord&, const MarkerRecord&) = default;
};

// A map as its file holds it.
struct MapFileData {
    int region = int(MapRegion::NorthAmerica);
    std::vector<QString> symbolFiles;   // added symbols 336, 337, ... in order
    bool hasMarkerSet = false;
    std::vector<MarkerRecord> markers;
    std::vector<Shape> shapes;
    Location view;                      // centre and altitude (in `units`)
    MapUnit units = MapUnit::Kilometres;
    int viewStyle = 0;
    bool navigationToolbar = false;
    bool drawingToolbar = false;
    bool places = false;
    // The program's own records kept with the map (key, value), in file order.
    std::vector<std::pair<QString, QString>> programData;
    friend bool operator==(const MapFileData&, const MapFileData&) = default;
};

} // namespace aero
