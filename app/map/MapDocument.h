#pragma once
// Everything a map holds: symbols, marker set 1, shapes, the view and the map options.
// A plain model: MapControl drives it and the view draws it; map files read and write it
// through MapFileData.
#include "map/MapService.h"
#include "map/MarkerStore.h"

#include <QImage>
#include <QString>
#include <functional>
#include <utility>
#include <vector>

namespace aero {

struct AddedSymbol {
    QString path;     // the file it came from, as given
    QImage image;     // null when the file could not be read again after loading a map
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

struct MarkerRecord {
    QString name;
    QString note;
    int symbol = DefaultSymbol;
    Location where;
    int displayState = 0;
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

struct MapDocument {
    int region = int(MapRegion::NorthAmerica);
    std::vector<AddedSymbol> symbols;
    MarkerStore markers;
    bool hasMarkerSet = false;
    std::vector<Shape> shapes;
    ShapeId nextShapeId = 1;
    MapUnit units = MapUnit::Kilometres;
    int viewStyle = 0;
    bool toolbars[2] = {false, false};   // navigation, drawing
    bool places = false;
    std::vector<std::pair<QString, QString>> programData;
    QString fileName;
    bool saved = true;

    int symbolCount() const { return BuiltInSymbolCount + int(symbols.size()); }
    const Shape* shape(ShapeId id) const;
    Shape* shape(ShapeId id);

    // Everything but the view, which the caller fills in.
    MapFileData toFileData() const;
    // Replaces the contents; symbol images are read again from their files (`resolve` says
    // where a stored symbol path is found now).
    void loadFileData(const MapFileData& data, const std::function<QString(const QString&)>& resolve = {});
};

} // namespace aero
