#include "map/MapDocument.h"

#include "domain/ApSymbolSet.h"
#include "map/Symbols.h"

#include <algorithm>

namespace aero {

const Shape* MapDocument::shape(ShapeId id) const
{
    const auto it = std::find_if(shapes.begin(), shapes.end(), [id](const Shape& s) { return s.id == id; });
    return it == shapes.end() ? nullptr : &*it;
}

Shape* MapDocument::shape(ShapeId id)
{
    return const_cast<Shape*>(std::as_const(*this).shape(id));
}

MapFileData MapDocument::toFileData() const
{
    MapFileData d;
    d.region = region;
    for (const AddedSymbol& s : symbols)
        d.symbolFiles.push_back(portableSymbolPath(s.path));
    d.hasMarkerSet = hasMarkerSet;
    d.markers.reserve(std::size_t(markers.count()));
    markers.forEach([&](const Marker& m) {
        if (!m.transient)
            d.markers.push_back({m.name, m.note, m.symbol, m.where, m.displayState, m.foreignData});
    });
    d.shapes = shapes;
    for (Shape& s : d.shapes)
        s.id = 0;   // handles are per session, the file keeps creation order only
    d.units = units;
    d.viewStyle = viewStyle;
    d.navigationToolbar = toolbars[0];
    d.drawingToolbar = toolbars[1];
    d.places = places;
    d.programData = programData;
    return d;
}

void MapDocument::loadFileData(const MapFileData& data, const std::function<QString(const QString&)>& resolve)
{
    region = data.region;
    symbols.clear();
    for (const QString& stored : data.symbolFiles) {
        const QString path = resolve ? resolve(stored) : stored;
        symbols.push_back({path, loadSymbolImage(path)});
    }
    markers.clear();
    for (const MarkerRecord& r : data.markers) {
        Marker* m = markers.find(markers.add(r.where, r.name));
        m->note = r.note;
        m->symbol = r.symbol;
        m->displayState = r.displayState;
        m->foreignData = r.foreignData;
    }
    hasMarkerSet = data.hasMarkerSet || !data.markers.empty();
    shapes.clear();
    nextShapeId = 1;
    for (Shape s : data.shapes) {
        s.id = nextShapeId++;
        shapes.push_back(std::move(s));
    }
    units = data.units;
    viewStyle = data.viewStyle;
    toolbars[0] = data.navigationToolbar;
    toolbars[1] = data.drawingToolbar;
    places = data.places;
    programData = data.programData;
}

} // namespace aero
