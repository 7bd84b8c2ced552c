#pragma once
// The map engine behind MapService: a document, the view's projection, the base layers and
// the optional tile layer. Works headless; the widget (MapView) is created on first use of
// view() and only shows what this object holds. Without a widget the view is 640 x 480.
#include "map/BaseMap.h"
#include "map/MapDocument.h"
#include "map/MapRenderer.h"
#include "map/MapService.h"
#include "map/OsmExtract.h"
#include "map/OsmLayer.h"
#include "map/Symbols.h"
#include "map/TilePackLayer.h"
#include "map/Viewport.h"
#include "map/WebPage.h"

#include <QObject>
#include <QPointer>
#include <memory>

class QPainter;
class QWidget;

namespace aero {

class MapView;
class Settings;
class TileLayer;

struct MapOptions {
    QString dataFolder;        // base data; empty: "data" in the program's folder
    QString tileUrl;           // URL template with {z}, {x}, {y}
    bool tilesEnabled = false; // off unless asked for: nothing goes online by surprise
    QString tileCacheFolder;   // empty: the per-user cache folder
    QStringList osmExtracts;   // OpenStreetMap extracts drawn under the markers
    QString osmCacheFolder;    // empty: the per-user data folder's "osm"
    QString tilePack;          // an MBTiles file or z/x/y folder, under the online tiles
    Settings* settings = nullptr;   // where extracts that fail to read are marked (none: not marked)
    int exportWaitMs = 4000;   // how long a picture waits for online tiles
    // The program's choice: settings "TileURL", "TilesEnabled", "OsmExtracts" (one path a
    // line) and "TilePack".
    static MapOptions fromSettings(Settings& settings);
};

class MapControl : public QObject, public MapService {
    Q_OBJECT
public:
    explicit MapControl(MapOptions options = {}, QObject* parent = nullptr);
    ~MapControl() override;

    // The widget showing this map, created on first call; the caller may reparent it.
    QWidget* view();
    MapView* mapView();

    // Injection points (tests, configuration dialog).
    void setDataFolder(const QString& folder);
    QString dataFolder() const;
    void setTileUrl(const QString& urlTemplate);
    void setTilesEnabled(bool enabled);
    TileLayer& tileLayer() { return *m_tiles; }
    // Reads (or takes from the cache) every extract; returns one result per path. Extracts
    // that fail are left out of the map.
    std::vector<OsmLoadResult> setOsmExtracts(const QStringList& paths, const OsmProgress& progress = {});
    const OsmLayer& osmLayer() const { return m_osm; }
    // False (and the pack left out) when it cannot be opened; an empty path closes it.
    bool setTilePack(const QString& path);
    const TilePackLayer& tilePackLayer() const { return m_pack; }
    void setExportWait(int ms) { m_options.exportWaitMs = ms; }
    // What went wrong with the offline layers when the map was made (for the user).
    QStringList baseLayerProblems() const { return m_layerProblems; }

    // MapService
    bool hasMap() const override { return m_hasMap; }
    void NewRegionMap(MapRegion region) override;
    void OpenMapFile(const QString& path) override;
    void CloseMap() override;
    void SaveMapFile() override;
    void SaveMapFileAs(const QString& path) override;
    void PublishWebPage(const QString& path, const QString& title) override;
    void MarkSaved() override;
    bool isSaved() const override { return m_doc.saved; }
    QString fileName() const override { return m_doc.fileName; }
    const LoadReport& loadReport() const override { return m_loadReport; }
    void setProgramData(const QString& key, const QStringList& values) override;
    QStringList programData(const QString& key) const override;

    void setViewStyle(int style) override;
    void setUnits(MapUnit unit) override;
    MapUnit Units() const override { return m_doc.units; }
    void setToolbarVisible(int item, bool visible) override;
    bool toolbarVisible(int item) const override;
    void setPlacesVisible(bool visible) override;
    bool PlacesVisible() const override { return m_doc.places; }
    double ViewAltitude() const override;
    Location MakeLocation(double lat, double lon, double alt) const override;
    void CentreOn(const Location& where) override;
    Location viewCentre() const override;
    double DistanceTo(const Location& a, const Location& b) const override;
    int ToScreenX(const Location& where) const override;
    int ToScreenY(const Location& where) const override;
    Location FromScreen(int x, int y) const override;
    int viewWidth() const override { return m_viewport.size().width(); }
    int viewHeight() const override { return m_viewport.size().height(); }
    QImage CopyView() const override;

    int SymbolCount() const override { return m_doc.symbolCount(); }
    int AddSymbol(const QString& imagePath) override;

    MarkerId AddMarker(const Location& where, const QString& name) override;
    std::optional<MarkerId> FindMarker(const QString& name) const override;
    void RemoveMarker(MarkerId marker) override;
    void DeleteMarkerSet() override;
    int MarkerSetCount() const override { return m_doc.hasMarkerSet ? 1 : 0; }
    int markerCount() const override { return m_doc.markers.count(); }
    std::vector<MarkerId> EnumerateMarkers() const override { return m_doc.markers.ids(); }
    QString markerName(MarkerId marker) const override;
    Location markerLocation(MarkerId marker) const override;
    void setMarkerLocation(MarkerId marker, const Location& where) override;
    QString markerNote(MarkerId marker) const override;
    void setMarkerNote(MarkerId marker, const QString& note) override;
    int markerSymbol(MarkerId marker) const override;
    void setMarkerSymbol(MarkerId marker, int symbol) override;
    int markerDisplayState(MarkerId marker) const override;
    void setMarkerDisplayState(MarkerId marker, int state) override;
    void setMarkerTransient(MarkerId marker, bool transient) override;
    std::optional<MarkerId> nearestMarker(const Location& where, const QString& skipName) const override;

    ShapeId AddLine(const Location& from, const Location& to) override;
    ShapeId AddPolyline(const std::vector<Location>& points) override;
    ShapeId AddShape(ShapeKind kind, const Location& centre, double width, double height) override;
    int ShapeCount() const override { return int(m_doc.shapes.size()); }
    ShapeId ShapeAt(int index) const override;
    void setShapeLineColor(ShapeId shape, int rgb) override;
    void setShapeLineSetting(ShapeId shape, int setting) override;
    void setShapeText(ShapeId shape, const QString& text) override;
    QString shapeText(ShapeId shape) const override;
    void RemoveShape(ShapeId shape) override { removeShape(shape); }

    // Beyond the service: what the view and the app's panels need.
    const MapDocument& document() const { return m_doc; }
    const Shape& shape(ShapeId id) const;
    void removeShape(ShapeId id);
    std::optional<ShapeId> shapeAtScreen(QPointF screen, double tolerance = 5.0) const;
    std::optional<MarkerId> markerAtScreen(QPointF screen) const;
    // Every marker of the stack the marker under the point belongs to (markers a few pixels
    // apart), topmost last; empty when no marker is there.
    std::vector<MarkerId> stackAt(QPointF screen) const;
    // Fans a stack out round its position until the view's scale changes or it is closed.
    void spreadStack(const std::vector<MarkerId>& markers);
    void closeSpread();
    // More markers in the view than are drawn one by one: they show as clusters.
    bool isCrowded() const;
    const std::optional<MarkerSpread>& spread() const { return m_spread; }
    QImage picture(QSize size = {}) const override;   // nor a fanned-out stack
    // The marker drawn highlighted above the others (the AP chosen in the list or on the map).
    void setHighlightedMarker(std::optional<MarkerId> marker);
    std::optional<MarkerId> highlightedMarker() const { return m_highlighted; }
    // Lines shown in a marker's balloon below its note; the note itself is left as it is.
    void setBalloonExtra(std::function<QString(const QString& markerName)> extra) { m_balloonExtra = std::move(extra); }
    QImage symbolImage(int symbol) const { return m_symbols.image(symbol, m_doc); }
    const Viewport& viewport() const { return m_viewport; }
    void setViewSize(QSize size);
    void zoomBy(double factor, std::optional<QPointF> about = std::nullopt);
    void panBy(QPointF screenDelta);
    void zoomToAllMarkers();
    const BaseMap* baseMap() const { return m_base.isLoaded() ? &m_base : nullptr; }
    // Paints the current view (the widget's paint event, CopyView, benchmarks).
    void render(QPainter& painter, std::optional<ShapeId> selected = std::nullopt,
                const std::vector<Location>& draft = {}) const;

Q_SIGNALS:
    void changed();          // something visible changed
    void toolbarsChanged();
    void documentReset();
    // An extract or tile pack named in the options could not be used (once, when first needed).
    void baseLayerProblem(const QString& text);

private:
    void requireMap() const;
    Marker& marker(MarkerId id);
    const Marker& marker(MarkerId id) const;
    Shape& mutableShape(ShapeId id);
    ShapeId addShapeRecord(Shape s);
    void modified();
    bool ensureBaseData();
    void resetDocument();
    void writeKmzFile(const QString& path, const MapFileData& data) const;
    WebPagePicture renderPagePicture(const Viewport& view, QStringList& credits) const;
    void loadOfflineLayers();
    void completeBaseLayers() const;
    RenderScene scene(std::optional<ShapeId> selected, const std::vector<Location>& draft) const;

    MapOptions m_options;
    MapDocument m_doc;
    bool m_hasMap = false;
    Viewport m_viewport;
    BaseMap m_base;
    QString m_baseFolder;          // folder m_base was read from
    SymbolLibrary m_symbols;
    TileLayer* m_tiles = nullptr;
    mutable OsmLayer m_osm;
    mutable TilePackLayer m_pack;
    bool m_offlineLayersLoaded = false;
    int m_layersGeneration = 0;
    QStringList m_layerProblems;
    std::optional<MarkerId> m_highlighted;
    std::function<QString(const QString&)> m_balloonExtra;
    std::optional<MarkerSpread> m_spread;
    QPointer<MapView> m_view;
    mutable BaseLayerCache m_baseCache;   // a drawing aid only, not state of the map
    // The view exactly as last asked for, until the user or the program moves it otherwise;
    // keeps a saved view's numbers identical through save and load.
    std::optional<Location> m_viewAsSet;
    LoadReport m_loadReport;
};

} // namespace aero
