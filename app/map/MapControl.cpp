#include "map/MapControl.h"

#include "domain/BoundedFile.h"
#include "domain/CheckedSave.h"
#include "map/OsmExtractMarks.h"
#include "domain/Settings.h"
#include "domain/Geo.h"
#include "domain/KmlReader.h"
#include "domain/KmlWriter.h"
#include "domain/ApSymbolSet.h"
#include "map/Kmz.h"
#include "map/MapRenderer.h"
#include "map/MapView.h"
#include "domain/ProgramFolder.h"
#include "map/TileLayer.h"
#include "map/WebPage.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <limits>
#include <set>

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

MapOptions MapOptions::fromSettings(Settings& settings)
{
    MapOptions o;
    o.settings = &settings;
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
        throw AppError(errors::ObjectNotSet, QStringLiteral("Object variable or With block variable not set"));
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
    Settings* marks = m_options.settings;
    for (const QString& path : paths) {
        if (marks && osmExtractLeftOut(*marks, path)) {   // said once already
            results.push_back({OsmLoadResult::Status::CannotOpen, QStringLiteral("left out since it failed to read"), {}, 0});
            continue;
        }
        if (marks)
            markOsmExtractReading(*marks, path);
        results.push_back(loadOsmExtract(path, cache, progress));
        if (marks)
            markOsmExtractReading(*marks, {});
        if (results.back().ok()) {
            data.push_back(results.back().data);
            continue;
        }
        m_layerProblems << (results.back().error.contains(path) ? results.back().error
                                                                : QStringLiteral("%1: %2").arg(path, results.back().error));
        if (marks && results.back().status != OsmLoadResult::Status::Cancelled)
            leaveOutOsmExtract(*marks, path);
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
    const QString stopped = m_options.settings ? osmExtractThatStoppedTheProgram(*m_options.settings) : QString();
    setOsmExtracts(m_options.osmExtracts);
    if (!stopped.isEmpty())
        m_layerProblems << QStringLiteral("%1 stopped the program while it was being read; it is left out until it is added "
                                          "again in Configure.")
                               .arg(stopped);
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
    m_spread.reset();
    m_doc = MapDocument{};
    m_doc.units = units;
    m_doc.toolbars[0] = nav, m_doc.toolbars[1] = draw, m_doc.places = places;
    m_symbols.clearAdded();
    m_viewAsSet.reset();
    m_loadReport = {};
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
    QString why;
    std::optional<QByteArray> read = readBoundedFile(path, MapFileLimit, &why);   // one buffer parses faster than a stream
    if (!read) {
        if (!QFileInfo::exists(path))
            throw AppError(errors::FileNotFound, QStringLiteral("File not found: %1").arg(path));
        throw AppError(errors::InvalidFileFormat, QStringLiteral("Invalid map file %1: %2").arg(path, why));
    }
    QByteArray bytes = std::move(*read);
    if (looksLikeZip(bytes)) {
        const auto kml = readKmlFromKmz(path, &why, MapFileLimit);
        if (!kml)
            throw AppError(errors::InvalidFileFormat, QStringLiteral("Invalid map file %1: %2").arg(path, why));
        bytes = *kml;
    }
    const KmlResult result = readKml(bytes);
    if (!result.ok())
        throw AppError(errors::InvalidFileFormat, QStringLiteral("Invalid map file %1: %2 (line %3)")
                                                          .arg(path, result.error).arg(result.line));
    ensureBaseData();   // a map opens without base data; it just has no outline
    resetDocument();
    const QString folder = programFolder();
    m_doc.loadFileData(result.data, [&folder](const QString& stored) { return resolveSymbolPath(stored, folder); });
    m_doc.fileName = path;
    m_doc.saved = true;
    m_hasMap = true;
    m_loadReport = {!result.ours, result.notKept};
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
        throw AppError(errors::FileAccess, QStringLiteral("The map has no file name yet"));
    SaveMapFileAs(m_doc.fileName);
}

void MapControl::SaveMapFileAs(const QString& path)
{
    requireMap();
    MapFileData data = m_doc.toFileData();
    data.view = viewCentre();
    const bool kmz = path.endsWith(QLatin1String(".kmz"), Qt::CaseInsensitive);
    if (kmz) {
        writeKmzFile(path, data);
    } else {
        if (const SaveResult saved = saveChecked(path, [&](QIODevice& out) { return writeKml(data, out); }); !saved)
            throw AppError(errors::FileAccess, QStringLiteral("Path/File access error: %1 (%2)").arg(path, saved.error));
    }
    m_doc.fileName = path;
    m_doc.saved = true;
    m_loadReport = {};
}

// The KML with its program symbols as PNG pictures beside it (viewers read PNG, not ICO).
void MapControl::writeKmzFile(const QString& path, const MapFileData& data) const
{
    std::vector<std::pair<QString, QByteArray>> entries;
    QBuffer kml;
    kml.open(QIODevice::WriteOnly);
    if (!writeKml(data, kml, {QStringLiteral("Icons/%1.png")}))
        throw AppError(errors::FileAccess, QStringLiteral("Path/File access error: %1 (the map holds text KML cannot carry)").arg(path));
    entries.emplace_back(QStringLiteral("doc.kml"), kml.data());
    for (std::size_t i = 0; i < m_doc.symbols.size(); ++i) {
        const QString id = symbolStyleId(data, int(i));
        if (id.isEmpty() || m_doc.symbols[i].image.isNull())
            continue;
        QBuffer png;
        png.open(QIODevice::WriteOnly);
        m_doc.symbols[i].image.save(&png, "PNG");
        entries.emplace_back(QStringLiteral("Icons/%1.png").arg(id), png.data());
    }
    if (std::any_of(data.markers.begin(), data.markers.end(), [](const MarkerRecord& m) { return m.symbol == FilteredSymbol; })) {
        QBuffer png;
        png.open(QIODevice::WriteOnly);
        symbolImage(FilteredSymbol).save(&png, "PNG");
        entries.emplace_back(QStringLiteral("Icons/%1.png").arg(QLatin1String(FilteredStyle.id)), png.data());
    }
    QString why;
    if (!writeKmz(path, entries, &why))
        throw AppError(errors::FileAccess, QStringLiteral("Path/File access error: %1 (%2)").arg(path, why));
}

void MapControl::setProgramData(const QString& key, const QStringList& values)
{
    if (programData(key) == values)
        return;
    std::erase_if(m_doc.programData, [&key](const auto& entry) { return entry.first == key; });
    for (const QString& v : values)
        m_doc.programData.emplace_back(key, v);
    m_doc.saved = false;
}

QStringList MapControl::programData(const QString& key) const
{
    QStringList out;
    for (const auto& [k, v] : m_doc.programData)
        if (k == key)
            out << v;
    return out;
}

void MapControl::PublishWebPage(const QString& path, const QString& title)
{
    requireMap();
    completeBaseLayers();   // the view's online tiles, for a bounded time
    WebPageInput page;
    page.title = title;
    page.document = &m_doc;
    page.centreWorld = m_viewport.centreWorld();
    page.scale = m_viewport.scale();
    page.size = m_viewport.size();
    page.units = m_doc.units;
    // The whole world, then pictures around the view four times finer each, down to the view's
    // own detail (three times the view each way): the page is sharp at every zoom it offers,
    // and offers no zoom closer than one step past its finest picture.
    Viewport world;
    world.setSize(QSize(1024, 1024));
    world.setScale(1024.0);
    world.setCentreWorld(QPointF(0.5, 0.5));
    std::vector<Viewport> levels{world};
    Viewport detail = m_viewport;
    detail.setSize(QSize(std::min(3 * m_viewport.size().width(), 3072), std::min(3 * m_viewport.size().height(), 3072)));
    std::vector<Viewport> coarser;
    for (double scale = m_viewport.scale() / 4; scale > 2 * world.scale(); scale /= 4) {
        coarser.push_back(detail);
        coarser.back().setScale(scale);
    }
    levels.insert(levels.end(), coarser.rbegin(), coarser.rend());
    levels.push_back(detail);
    page.maxScale = std::max(m_viewport.scale() * 2, 4096.0);
    // Credit every source any of the pictures drew.
    for (const Viewport& v : levels)
        page.base.push_back(renderPagePicture(v, page.credits));
    page.credits.removeDuplicates();
    std::set<int> used;
    m_doc.markers.forEach([&used](const Marker& m) {
        if (!m.transient)
            used.insert(m.symbol);
    });
    for (std::size_t i = 0; i < m_doc.symbols.size(); ++i)   // every AP symbol, for the legend
        if (const int k = programSymbolIndex(m_doc.symbols[i].path); k >= 0 && k < 8)
            used.insert(BuiltInSymbolCount + int(i));
    for (int number : used) {
        QBuffer png;
        png.open(QIODevice::WriteOnly);
        symbolImage(number).save(&png, "PNG");
        const QString file = number >= BuiltInSymbolCount ? m_doc.symbols[std::size_t(number - BuiltInSymbolCount)].path : QString();
        page.symbols.push_back({number, png.data(), symbolLegend(number, file)});
    }
    const SaveResult saved = saveChecked(path, [&](QIODevice& out) {
        writeWebPage(out, page);
        return true;
    });
    if (!saved)
        throw AppError(errors::FileAccess, QStringLiteral("Path/File access error: %1 (%2)").arg(path, saved.error));
}

// The base map of `view` as the engine draws it (outline, borders, tiles, places, shapes),
// without markers: the page draws those itself.
WebPagePicture MapControl::renderPagePicture(const Viewport& view, QStringList& credits) const
{
    MapDocument shapesOnly;
    shapesOnly.shapes = m_doc.shapes;
    shapesOnly.places = m_doc.places;
    shapesOnly.units = m_doc.units;
    RenderScene scene{shapesOnly, view, baseMap(), m_tiles, m_symbols, std::nullopt, {}, nullptr};
    scene.osm = m_osm.isEmpty() ? nullptr : &m_osm;
    scene.pack = m_pack.isOpen() ? &m_pack : nullptr;
    scene.layersGeneration = m_layersGeneration;
    scene.decorations = false;
    QImage image(view.size(), QImage::Format_RGB32);
    QPainter painter(&image);
    credits += renderScene(painter, scene).credits;
    painter.end();
    QBuffer jpeg;
    jpeg.open(QIODevice::WriteOnly);
    if (image.save(&jpeg, "JPEG", 85))
        return {jpeg.data(), QStringLiteral("image/jpeg"), view.visibleWorld()};
    QBuffer png;   // a Qt without its JPEG plugin
    png.open(QIODevice::WriteOnly);
    image.save(&png, "PNG");
    return {png.data(), QStringLiteral("image/png"), view.visibleWorld()};
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
