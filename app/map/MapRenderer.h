#pragma once
// Draws one frame of the map: base outline, tiles, places, shapes, markers, scale bar and
// attribution. The same code paints the widget, CopyView and the benchmarks.
#include "map/MapDocument.h"
#include "map/Viewport.h"

#include <QImage>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

class QPainter;

namespace aero {

class BaseMap;
class OsmLayer;
class SymbolLibrary;
class TileLayer;
class TilePackLayer;

// The sea and the outline drawn once for a view and reused until the view changes: the
// outline is the costly part of a frame, and long work (plotting, filtering) repaints often
// without moving the view.
struct BaseLayerCache {
    QImage image;
    QSize size;
    double scale = 0.0;
    QPointF centre;
    qreal pixelRatio = 0.0;
    const BaseMap* base = nullptr;
    int generation = -1;
};

struct RenderScene {
    const MapDocument& document;
    const Viewport& view;
    const BaseMap* base = nullptr;        // null until a region's data was read
    TileLayer* tiles = nullptr;
    const SymbolLibrary& symbols;
    std::optional<ShapeId> selectedShape;
    std::vector<Location> draft;          // a line being drawn
    BaseLayerCache* baseCache = nullptr;  // optional
    OsmLayer* osm = nullptr;              // OpenStreetMap extracts, when any
    TilePackLayer* pack = nullptr;        // a tile pack, when one is open
    int layersGeneration = 0;             // changes whenever the offline layers do
    std::optional<MarkerId> highlighted = std::nullopt;   // drawn last, ringed
    // Lines a balloon shows below a marker's note (what the program knows beyond it); may be empty.
    std::function<QString(const QString& markerName)> balloonExtra = {};
    bool decorations = true;              // scale bar, attribution and notices
};

struct RenderStats {
    int markersConsidered = 0;
    int markersDrawn = 0;
    int labelsDrawn = 0;
    int tilesDrawn = 0;
};

// More markers than this on screen switch on the level of detail: one symbol per small
// screen cell and labels only where there is room.
inline constexpr int DetailLimit = 1500;

RenderStats renderScene(QPainter& painter, const RenderScene& scene);

inline constexpr const char* TilesUnavailableNotice = "Map tiles unavailable \u2014 showing the offline map";

// The drawing steps, in order (each in its own file).
void drawBaseMap(QPainter& painter, const BaseMap& base, const Viewport& view);
void drawPlaces(QPainter& painter, const BaseMap& base, const Viewport& view);
void drawShapes(QPainter& painter, const RenderScene& scene);
void drawMarkers(QPainter& painter, const RenderScene& scene, RenderStats& stats);
void drawScaleBar(QPainter& painter, const Viewport& view, MapUnit unit);
void drawAttribution(QPainter& painter, const Viewport& view, const QString& text);
void drawNotice(QPainter& painter, const Viewport& view, const QString& text);

// Colour of a shape's line: red in the low byte.
QColor colorFromRgbInt(int rgb);
// Screen pixels of a figure's size (stored in kilometres) at its latitude.
QSizeF figureSizePixels(const Shape& s, const Viewport& view);

} // namespace aero
