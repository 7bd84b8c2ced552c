#pragma once
// Everything a map holds: symbols, marker set 1, shapes, the view and the map options.
// A plain model: MapControl drives it and the view draws it; map files read and write it
// through MapFileData.
#include "domain/MapFile.h"
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
