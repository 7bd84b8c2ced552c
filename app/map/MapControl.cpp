#include "map/MapControl.h"

#include "core/Settings.h"
#include "map/Geo.h"
#include "map/KmlReader.h"
#include "map/KmlWriter.h"
#include "map/MapRenderer.h"
#include "map/MapView.h"
#include "map/ProgramFolder.h"
#include "map/TileLayer.h"
#include "map/WebPage.h"

#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QSaveFile>
#include <cmath>
#include <limits>

namespace aero {

namespace {

struct RegionFrame {
    double minLat, maxLat, minLon, maxLon;
};

RegionFrame frameOf(MapRegion region)
{
    return region == MapRegion::Europe ? RegionFrame{35.0, 66.0, -11.0, 35.0}
                                       : RegionFrame{15.0, 70.0, -140.0, -55.0};
}

} // namespace

MapOptions MapOptions::fromSettings(const Settings& settings)
{
    MapOptions o;
    o.tileUrl = settings.value(QStringLiteral("TileURL"));
    o.tilesEnabled = settings.value(QStringLiteral("TilesEnabled")) != QLatin1String("0") && !o.tileUrl.isEmpty();
    o.osmExtracts = settings.value(QStringLiteral("OsmExtracts")).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    o.tilePack = settings.value(QStringLiteral("TilePack")).trimmed();
    return o;
}

MapControl::MapControl(MapOptions options, QObject* parent)
    : QObject(parent), m_options(std::move(options)), m_tiles(new TileLayer(this))
{
    if (!m_options.tileCacheFolder.isEmpty())
        m_tiles->setCacheFolder(m_options.tileCacheFolder);
    m_tiles->setUrlTemplate(m_options.tileUrl);
    m_tiles->setEnabled(m_options.tilesEnabled);
    connect(m_tiles, &TileLayer::tileArrived, this, &MapControl::changed);
}

MapControl::~MapControl()
{
    if (m_view && !m_view->parent())
        delete m_view;
}

QWidget* MapControl::view() { return mapView(); }

MapView* MapControl::mapView()
{
    if (!m_view)
        m_view = new MapView(this);
    return m_view;
}

void MapControl::setDataFolder(const QString& folder) { m_options.dataFolder = folder; }

QString MapControl::dataFolder() const
{
    return m_options.dataFolder.isEmpty() ? programFile(QStringLiteral("data")) : m_options.dataFolder;
}

void MapControl::setTileUrl(const QString& urlTemplate)
{
    m_options.tileUrl = urlTemplate;
    m_tiles->setUrlTemplate(urlTemplate);
    Q_EMIT changed();
}

void MapControl::setTilesEnabled(bool enabled)
{
    m_options.tilesEnabled = enabled;
    m_tiles->setEnabled(enabled);
    Q_EMIT changed();
}

void MapControl::requireMap() const
{
    if (!m_hasMap)
        throw AppError(maperrors::ObjectNotSet, QStringLiteral("Object variable or With block variable not set"));
}

void MapControl::modified()
{
    m_doc.saved = false;
    Q_EMIT changed();
}

std::vector<OsmLoadResult> MapControl::setOsmExtracts(const QStringList& paths, const OsmProgress& progress)
{
    m_options.osmExtracts = paths;
    m_offlineLayersLoaded = true;
    const QString cache = m_options.osmCacheFolder.isEmpty() ? defaultOsmCacheFolder() : m_options.osmCacheFolder;
    std::vector<OsmLoadResult> results;
    std::vector<std::shared_ptr<const OsmData>> data;
    m_layerProblems.clear();
    for (const QString& path : paths) {
        results.push_back(loadOsmExtract(path, cache, progress));
        if (results.back().ok())
            data.push_back(results.back().data);
        else
            m_layerProblems << (results.back().error.contains(path) ? results.back().error
                                                                    : QStringLiteral("%1: %2").arg(path, results.back().error));
    }
    m_osm.setData(std::move(data));
    ++m_layersGeneration;
    Q_EMIT changed();
    return results;
}

bool MapControl::setTilePack(const QString& path)
{
    m_options.tilePack = path;
    ++m_layersGeneration;
    Q_EMIT changed();
    if (path.isEmpty()) {
        m_pack.close();
        return true;
    }
    return m_pack.open(path);
}

void MapControl::loadOfflineLayers()
{
    if (m_offlineLayersLoaded)
        return;
    setOsmExtracts(m_options.osmExtracts);
    if (!m_options.tilePack.isEmpty() && !setTilePack(m_options.tilePack))
        m_layerProblems << m_pack.error();
    for (const QString& problem : m_layerProblems)
        Q_EMIT baseLayerProblem(problem);
}

bool MapControl::ensureBaseData()
{
    loadOfflineLayers();
    const QString folder = dataFolder();
    if (m_base.isLoaded() && folder == m_baseFolder)
        return true;
    m_baseFolder = folder;
    return m_base.load(folder);
}

void MapControl::resetDocument()
{
    // Units, toolbars and places belong to the control and outlive a map.
    const MapUnit units = m_doc.units;
    const bool nav = m_doc.toolbars[0], draw = m_doc.toolbars[1], places = m_doc.places;
    m_doc.markers.clear();
    m_doc = MapDocument{};
    m_doc.units = units;
    m_doc.toolbars[0] = nav, m_doc.toolbars[1] = draw, m_doc.places = places;
    m_symbols.clearAdded();
    m_viewAsSet.reset();
    m_highlighted.reset();
}

void MapControl::NewRegionMap(MapRegion region)
{
    if (!ensureBaseData())
        throw AppError(errors::RegionNotInstalled, QStringLiteral("The map of this region is not installed: %1 not found")
                                                       .arg(dataFolder() + QLatin1Char('/') + QLatin1String(BaseMap::OutlineFile)));
    resetDocument();
    m_doc.region = int(region);
    m_hasMap = true;
    const RegionFrame f = frameOf(region);
    m_viewport.frame(f.minLat, f.maxLat, f.minLon, f.maxLon);
    Q_EMIT documentReset();
    Q_EMIT changed();
}

void MapControl::OpenMapFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(errors::FileNotFound, QStringLiteral("File not found: %1").arg(path));
    const KmlResult result = readKml(file.readAll());   // one buffer parses faster than a stream
    if (!result.ok())
        throw AppError(maperrors::InvalidFileFormat, QStringLiteral("Invalid map file %1: %2 (line %3)")
                                                          .arg(path, result.error).arg(result.line));
    ensureBaseData();   // a map opens without base data; it just has no outline
    resetDocument();
    m_doc.loadFileData(result.data);
    m_doc.fileName = path;
    m_doc.saved = true;
    m_hasMap = true;
    if (result.hasView) {
        CentreOn(result.data.view);
    } else {
        zoomToAllMarkers();
    }
    Q_EMIT documentReset();
    Q_EMIT toolbarsChanged();
    Q_EMIT changed();
}

void MapControl::CloseMap()
{
    resetDocument();
    m_hasMap = false;
    Q_EMIT documentReset();
    Q_EMIT changed();
}

void MapControl::SaveMapFile()
{
    requireMap();
    if (m_doc.fileName.isEmpty())
        throw AppError(maperrors::FileAccess, QStringLiteral("The map has no file name yet"));
    SaveMapFileAs(m_doc.fileName);
}

void MapControl::SaveMapFileAs(const QString& path)
{
    requireMap();
    MapFileData data = m_doc.toFileData();
    data.view = viewCentre();
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || !writeKml(data, out) || !out.commit())
        throw AppError(maperrors::FileAccess, QStringLiteral("Path/File access error: %1").arg(path));
    m_doc.fileName = path;
    m_doc.saved = true;
}

void MapControl::PublishWebPage(const QString& path, const QString& title)
{
    requireMap();
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        throw AppError(maperrors::FileAccess, QStringLiteral("Path/File access error: %1").arg(path));
    const QImage base = baseLayersImage();
    writeWebPage(out, title, m_doc, m_viewport, baseMap(), &base);
    if (!out.commit())
        throw AppError(maperrors::FileAccess, QStringLiteral("Path/File access error: %1").arg(path));
}

void MapControl::MarkSaved() { m_doc.saved = true; }

void MapControl::setViewStyle(int style)
{
    if (m_doc.viewStyle != style) {
        m_doc.viewStyle = style;
        Q_EMIT changed();
    }
}

void MapControl::setUnits(MapUnit unit)
{
    if (m_doc.units != unit) {
        m_doc.units = unit;
        m_viewAsSet.reset();
        Q_EMIT changed();
    }
}

void MapControl::setToolbarVisible(int item, bool visible)
{
    if (item != NavigationToolbar && item != DrawingToolbar)
        throw AppError(errors::SubscriptOutOfRange, QStringLiteral("Subscript out of range"));
    m_doc.toolbars[item - NavigationToolbar] = visible;
    Q_EMIT toolbarsChanged();
}

bool MapControl::toolbarVisible(int item) const
{
    if (item != NavigationToolbar && item != DrawingToolbar)
        return false;
    return m_doc.toolbars[item - NavigationToolbar];
}

void MapControl::setPlacesVisible(bool visible)
{
    if (m_doc.places != visible) {
        m_doc.places = visible;
        Q_EMIT changed();
    }
}

} // namespace aero
