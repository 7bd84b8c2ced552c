#pragma once
// Draws one frame of the map: base outline, tiles, places, shapes, markers, scale bar and
// attribution. The same code paints the widget, CopyView and the benchmarks.
#include "map/MapDocument.h"
#include "map/Viewport.h"

#include <QImage>
#include <QPointF>
#include <cstdint>
#include <QString>
#include <QStringList>
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

// The markers of one stack, fanned out round their common position so each can be clicked.
struct MarkerSpread {
    QPointF world;                  // where they stand
    std::vector<MarkerId> markers;  // in the order they are laid out
    double scale = 0.0;             // the view scale it was made for
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
    bool decorations = true;              // scale bar and attribution
    // A saved picture: no notice, no ring around the chosen AP, no open balloon.
    bool picture = false;
    const MarkerSpread* spread = nullptr; // a stack of markers fanned out by a click
};

// Screen offset of the `i`th of `n` markers fanned out round their position: a ring for a
// few, an outward spiral for more, symbols one spacing apart.
QPointF spreadOffset(int i, int n);

// Markers within one StackCell-pixel cell of the world's pixel plane form a stack; in a
// crowded view, one ClusterCell-pixel cell forms a cluster.
inline constexpr double StackCell = 4.0;
inline constexpr double ClusterCell = 20.0;
std::int64_t stackCellOf(QPointF world, double scale);
// Beyond this many, a click on a stack zooms in rather than fanning it out.
inline constexpr int MaxSpread = 60;

struct RenderStats {
    int markersConsidered = 0;
    int markersDrawn = 0;
    int labelsDrawn = 0;
    int tilesDrawn = 0;
    QStringList credits;   // the sources of what was drawn, each once
};

// More markers than this on screen switch on the level of detail: one symbol per small
// screen cell and labels only where there is room.
inline constexpr int DetailLimit = 1500;

RenderStats renderScene(QPainter& painter, const RenderScene& scene);

inline constexpr const char* TilesUnavailableNotice = "Map tiles unavailable \u2014 showing the offline map";
inline constexpr const char* OsmCredit = "\u00A9 OpenStreetMap contributors";

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
