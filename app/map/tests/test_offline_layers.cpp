// The offline base layers: an OpenStreetMap extract written here (a few streets, a lake, a
// place), its cache, tile packs (an MBTiles file and a z/x/y folder made here), pictures and
// pages that wait for online tiles from a loopback server, and clicking markers on the map.
#include "MapTestSupport.h"
#include "TileServer.h"
#include "map/MapView.h"
#include "map/OsmExtract.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <set>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace aero;

namespace {

// Inland (central Switzerland), so the outline around it is land.
constexpr double Lat = 46.80, Lon = 8.20;
const QRgb LandColour = qRgb(243, 240, 230);
const QRgb WaterColour = qRgb(170, 202, 232);

// OSM XML: a residential street running east, a primary road running north, a square lake
// north-east of the crossing, a town, a building, and a street cut at the extract's edge.
QByteArray sampleExtract()
{
    QByteArray x = "<?xml version='1.0' encoding='UTF-8'?>\n<osm version='0.6' generator='test'>\n";
    auto node = [&](int id, double lat, double lon, const QByteArray& tags = {}) {
        x += "<node id='" + QByteArray::number(id) + "' version='1' lat='" + QByteArray::number(lat, 'f', 7) +
             "' lon='" + QByteArray::number(lon, 'f', 7) + "'>" + tags + "</node>\n";
    };
    auto way = [&](int id, std::initializer_list<int> nodes, const QByteArray& tags) {
        x += "<way id='" + QByteArray::number(id) + "' version='1'>";
        for (int n : nodes)
            x += "<nd ref='" + QByteArray::number(n) + "'/>";
        x += tags + "</way>\n";
    };
    node(1, Lat, Lon - 0.006), node(2, Lat, Lon), node(3, Lat, Lon + 0.006);
    node(4, Lat - 0.004, Lon), node(5, Lat + 0.004, Lon);
    node(10, Lat + 0.001, Lon + 0.001), node(11, Lat + 0.001, Lon + 0.003);
    node(12, Lat + 0.003, Lon + 0.003), node(13, Lat + 0.003, Lon + 0.001);
    node(20, Lat - 0.0015, Lon - 0.003, "<tag k='place' v='town'/><tag k='name' v='Testville'/>");
    node(30, Lat - 0.001, Lon + 0.002), node(31, Lat - 0.001, Lon + 0.0025);
    node(32, Lat - 0.0013, Lon + 0.0025), node(33, Lat - 0.0013, Lon + 0.002);
    way(100, {1, 2, 3}, "<tag k='highway' v='residential'/><tag k='name' v='Long Street'/>");
    way(101, {4, 2, 5}, "<tag k='highway' v='primary'/><tag k='name' v='Main Road'/>");
    way(102, {10, 11, 12, 13, 10}, "<tag k='natural' v='water'/><tag k='name' v='Test Lake'/>");
    way(103, {30, 31, 32, 33, 30}, "<tag k='building' v='yes'/>");
    way(104, {4, 3, 999}, "<tag k='highway' v='residential'/>");   // node 999 lies outside the extract
    return x + "</osm>\n";
}

QString writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
}

int count(const OsmData& d, OsmKind kind)
{
    return int(std::count_if(d.features.begin(), d.features.end(), [&](const OsmFeature& f) { return f.kind == kind; }));
}

QByteArray png(QColor colour)
{
    QImage tile(256, 256, QImage::Format_RGB32);
    tile.fill(colour);
    QByteArray bytes;
    QBuffer b(&bytes);
    b.open(QIODevice::WriteOnly);
    tile.save(&b, "PNG");
    return bytes;
}

// An MBTiles file of zoom 1: red north-west tile, blue south-west one (rows counted from the south).
void writeMbtiles(const QString& path, const QByteArray& metadata = "('attribution', 'Test pack')")
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
    sqlite3_exec(db, "CREATE TABLE metadata (name text, value text);"
                     "CREATE TABLE tiles (zoom_level integer, tile_column integer, tile_row integer, tile_data blob);",
                 nullptr, nullptr, nullptr);
    sqlite3_exec(db, ("INSERT INTO metadata VALUES " + metadata).constData(), nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO tiles VALUES (1, 0, ?1, ?2)", -1, &st, nullptr);
    for (const auto& [row, colour] : {std::pair{1, QColor(Qt::red)}, std::pair{0, QColor(Qt::blue)}}) {
        const QByteArray bytes = png(colour);
        sqlite3_bind_int(st, 1, row);
        sqlite3_bind_blob(st, 2, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
        EXPECT_EQ(sqlite3_step(st), SQLITE_DONE);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
}

std::unique_ptr<MapControl> mapWith(const std::function<void(MapOptions&)>& set)
{
    MapOptions o = maptest::offlineOptions();
    set(o);
    auto map = std::make_unique<MapControl>(o);
    map->NewRegionMap(MapRegion::Europe);
    return map;
}

} // namespace

TEST(OsmExtract, ReadsStreetsWaterAndPlacesIntoACacheThatLoadsAgain)
{
    QTemporaryDir dir;
    const QString extract = writeFile(dir.filePath(QStringLiteral("test.osm")), sampleExtract());
    OsmData data;
    int lastPercent = -1;
    const OsmReadResult read = readOsmExtract(extract, data, [&](int p) { return lastPercent = p, true; });
    ASSERT_EQ(read.status, OsmReadResult::Status::Ok) << read.error.toStdString();
    EXPECT_EQ(lastPercent, 100);
    EXPECT_EQ(read.skipped, 1) << "the street cut at the edge";
    EXPECT_EQ(count(data, OsmKind::Residential), 2);
    EXPECT_EQ(count(data, OsmKind::Primary), 1);
    EXPECT_EQ(count(data, OsmKind::Water), 1);
    EXPECT_EQ(count(data, OsmKind::Building), 1);
    EXPECT_EQ(count(data, OsmKind::Place), 1);
    EXPECT_TRUE(std::find(data.names.begin(), data.names.end(), QStringLiteral("Testville")) != data.names.end());

    // The cache holds the same features, point for point; a damaged one is refused.
    QBuffer cache;
    cache.open(QIODevice::ReadWrite);
    ASSERT_TRUE(writeOsmCache(data, cache));
    cache.seek(0);
    OsmData again;
    ASSERT_EQ(readOsmCache(cache, again).status, OsmCacheResult::Status::Ok);
    EXPECT_EQ(again.points, data.points);
    EXPECT_EQ(again.names, data.names);
    EXPECT_EQ(again.features.size(), data.features.size());
    EXPECT_EQ(again.bounds, data.bounds);
    for (const qsizetype cut : {qsizetype(9), cache.data().size() / 2, cache.data().size() - 1}) {
        QBuffer part;
        part.setData(cache.data().left(cut));
        part.open(QIODevice::ReadOnly);
        OsmData broken;
        EXPECT_EQ(readOsmCache(part, broken).status, OsmCacheResult::Status::Damaged) << cut;
    }

    // Read once, then from the cache; a replaced extract is read again; never changed itself.
    const QString cacheFolder = dir.filePath(QStringLiteral("cache"));
    const QByteArray original = sampleExtract();
    EXPECT_EQ(loadOsmExtract(extract, cacheFolder).status, OsmLoadResult::Status::Read);
    EXPECT_EQ(loadOsmExtract(extract, cacheFolder).status, OsmLoadResult::Status::FromCache);
    writeFile(extract, original + "\n");
    EXPECT_EQ(loadOsmExtract(extract, cacheFolder).status, OsmLoadResult::Status::Read);

    // Not an extract: a clear message, nothing kept.
    const QString junk = writeFile(dir.filePath(QStringLiteral("junk.osm.pbf")), QByteArray(5000, 'x'));
    const OsmLoadResult bad = loadOsmExtract(junk, cacheFolder);
    EXPECT_EQ(bad.status, OsmLoadResult::Status::NotAnExtract);
    EXPECT_FALSE(bad.error.isEmpty());
    EXPECT_FALSE(bad.ok());
    EXPECT_EQ(loadOsmExtract(dir.filePath(QStringLiteral("missing.osm.pbf")), cacheFolder).status,
              OsmLoadResult::Status::CannotOpen);
}

TEST(OsmExtract, IsDrawnUnderTheMarkersWithItsNamesAndCredit)
{
    QTemporaryDir dir;
    const QString extract = writeFile(dir.filePath(QStringLiteral("test.osm")), sampleExtract());
    auto plain = mapWith([](MapOptions&) {});
    auto map = mapWith([&](MapOptions& o) {
        o.osmExtracts = {extract, dir.filePath(QStringLiteral("missing.osm.pbf"))};
        o.osmCacheFolder = dir.filePath(QStringLiteral("cache"));
    });
    EXPECT_EQ(map->baseLayerProblems().size(), 1) << "the missing extract is named, the other drawn";
    for (auto* m : {plain.get(), map.get()})
        m->CentreOn({Lat + 0.0005, Lon, 1.0});
    const QImage withRoads = map->CopyView(), without = plain->CopyView();
    auto at = [&](const QImage& img, double lat, double lon) {
        return img.pixel(map->ToScreenX({lat, lon, 0}), map->ToScreenY({lat, lon, 0}));
    };
    EXPECT_EQ(at(without, Lat, Lon - 0.004), LandColour);
    EXPECT_EQ(at(withRoads, Lat, Lon - 0.004), qRgb(255, 255, 255)) << "the street";
    EXPECT_EQ(at(withRoads, Lat + 0.002, Lon + 0.002), WaterColour) << "the lake";
    EXPECT_EQ(at(withRoads, Lat + 0.002, Lon - 0.003), LandColour);
    // Names and the credit: the map's corner and the town's place differ from the outline alone.
    const QImage corner = withRoads.copy(440, 455, 200, 25);
    EXPECT_NE(corner, without.copy(440, 455, 200, 25));
    const int tx = map->ToScreenX({Lat - 0.0015, Lon - 0.003, 0}), ty = map->ToScreenY({Lat - 0.0015, Lon - 0.003, 0});
    EXPECT_NE(withRoads.copy(tx - 20, ty - 6, 40, 12), without.copy(tx - 20, ty - 6, 40, 12)) << "Testville";
}

TEST(TilePack, MbtilesAndFoldersAreBaseLayersAndBadOnesAreRefused)
{
    QTemporaryDir dir;
    const QString mbtiles = dir.filePath(QStringLiteral("pack.mbtiles"));
    writeMbtiles(mbtiles);
    auto map = mapWith([&](MapOptions& o) { o.tilePack = mbtiles; });
    ASSERT_TRUE(map->tilePackLayer().isOpen()) << map->tilePackLayer().error().toStdString();
    map->CentreOn({40, -90, 2000});
    EXPECT_EQ(map->CopyView().pixel(320, 240), qRgb(255, 0, 0)) << "north-west, row 1 from the south";
    map->CentreOn({-40, -90, 2000});
    EXPECT_EQ(map->CopyView().pixel(320, 240), qRgb(0, 0, 255));

    QDir(dir.path()).mkpath(QStringLiteral("folder/1/1"));
    writeFile(dir.filePath(QStringLiteral("folder/1/1/0.png")), png(Qt::green));
    ASSERT_TRUE(map->setTilePack(dir.filePath(QStringLiteral("folder"))));
    map->CentreOn({40, 90, 2000});
    EXPECT_EQ(map->CopyView().pixel(320, 240), qRgb(0, 255, 0));

    const QString junk = writeFile(dir.filePath(QStringLiteral("junk.mbtiles")), "not a database");
    EXPECT_FALSE(map->setTilePack(junk));
    EXPECT_FALSE(map->tilePackLayer().error().isEmpty());
    EXPECT_EQ(QFile(junk).size(), 14) << "left as it was";
}

TEST(Exports, PageHoldsTheOnlineTilesFetchedBeforeItIsWritten)
{
    maptest::TileServer server(QColor(10, 120, 10));
    QTemporaryDir dir;
    auto map = mapWith([&](MapOptions& o) {
        o.tileUrl = QStringLiteral("http://127.0.0.1:%1/{z}/{x}/{y}.png").arg(server.port());
        o.tilesEnabled = true;
        o.tileCacheFolder = dir.filePath(QStringLiteral("tiles"));
    });
    map->CentreOn({50, 10, 2000});
    const QString page = dir.filePath(QStringLiteral("page.html"));
    map->PublishWebPage(page, QStringLiteral("Aeroplotter AP Log File"));
    QFile f(page);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray html = f.readAll();
    // The last picture of the page is the finest: the view and its surroundings, centred.
    const qsizetype start = html.lastIndexOf("data:image/");
    ASSERT_GT(start, 0);
    const qsizetype comma = html.indexOf(',', start) + 1;
    const QImage base = QImage::fromData(QByteArray::fromBase64(html.mid(comma, html.indexOf('"', comma) - comma)));
    ASSERT_FALSE(base.isNull());
    const QColor centre = base.pixelColor(base.width() / 2, base.height() / 2);
    EXPECT_NEAR(centre.red(), 10, 12);   // a JPEG keeps colours near, not exact
    EXPECT_NEAR(centre.green(), 120, 12);
    EXPECT_NEAR(centre.blue(), 10, 12);
    EXPECT_FALSE(server.paths.isEmpty());
}

TEST(Exports, APictureWaitsForASilentTileServerOnlyAsLongAsAllowed)
{
    QTcpServer silent;   // takes connections and never answers
    silent.listen(QHostAddress::LocalHost);
    QTemporaryDir dir;
    auto offline = mapWith([](MapOptions&) {});
    auto map = mapWith([&](MapOptions& o) {
        o.tileUrl = QStringLiteral("http://127.0.0.1:%1/{z}/{x}/{y}.png").arg(silent.serverPort());
        o.tilesEnabled = true;
        o.tileCacheFolder = dir.path();
        o.exportWaitMs = 300;
    });
    for (auto* m : {offline.get(), map.get()})
        m->CentreOn({50, 10, 2000});
    QElapsedTimer timer;
    timer.start();
    const QImage picture = map->CopyView();
    EXPECT_LT(timer.elapsed(), 2000);
    EXPECT_GE(timer.elapsed(), 300);
    EXPECT_EQ(picture.copy(0, 60, 640, 360), offline->CopyView().copy(0, 60, 640, 360)) << "the best there is: the outline";
}

TEST(MapClicks, AClickOnAMarkerIsReportedAndTheChosenOneDrawsOnTop)
{
    auto map = maptest::europeMap();
    map->CentreOn({50, 10, 100});
    for (const QString& file : maptest::programSymbolFiles())
        map->AddSymbol(file);
    const MarkerId below = map->AddMarker({50, 10, 1}, QStringLiteral("first"));
    const MarkerId above = map->AddMarker({50, 10, 1}, QStringLiteral("second"));
    map->setMarkerSymbol(below, 336);
    map->setMarkerSymbol(above, 343);
    map->setMarkerNote(below, QStringLiteral("MAC = 00:01"));
    const QRgb top = map->CopyView().pixel(320, 240);
    map->setMarkerDisplayState(below, 1);   // chosen, as a click in the list does
    EXPECT_EQ(map->highlightedMarker(), below);
    EXPECT_NE(map->CopyView().pixel(320, 240), top) << "the chosen one now on top";
    map->setMarkerDisplayState(below, 0);
    EXPECT_FALSE(map->highlightedMarker());

    MapView* view = map->mapView();
    view->resize(640, 480);
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
    QSignalSpy clicked(view, &MapView::markerClicked);
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(320, 240));
    ASSERT_EQ(clicked.size(), 1);
    EXPECT_EQ(clicked.at(0).at(0).value<MarkerId>(), above);
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_EQ(clicked.size(), 1) << "no marker there";
}

TEST(BuiltInOutline, LargeLakesDrawAsWater)
{
    auto map = maptest::europeMap();
    for (const auto& [lat, lon, what] : {std::tuple{46.45, 6.55, "Lake Geneva"}, std::tuple{44.0, -87.0, "Lake Michigan"},
                                         std::tuple{61.0, 31.5, "Lake Ladoga"}}) {
        map->CentreOn({lat, lon, 80});
        EXPECT_EQ(map->CopyView().pixel(320, 240), WaterColour) << what;
    }
    map->CentreOn({46.8, 8.2, 80});
    EXPECT_EQ(map->CopyView().pixel(320, 240), LandColour) << "central Switzerland";
}

namespace {

QByteArray pageOf(MapControl& map, const QString& path)
{
    map.PublishWebPage(path, QStringLiteral("Aeroplotter AP Log File"));
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

} // namespace

TEST(Credits, PagesAndPicturesNameTheExtractAndThePacksOwnSource)
{
    QTemporaryDir dir;
    const QString extract = writeFile(dir.filePath(QStringLiteral("test.osm")), sampleExtract());
    auto osm = mapWith([&](MapOptions& o) {
        o.osmExtracts = {extract};
        o.osmCacheFolder = dir.filePath(QStringLiteral("cache"));
    });
    osm->CentreOn({Lat, Lon, 1.0});
    EXPECT_TRUE(pageOf(*osm, dir.filePath(QStringLiteral("osm.html"))).contains("\u00A9 OpenStreetMap contributors"))
        << "an extract drawn without online tiles";

    const QString credited = dir.filePath(QStringLiteral("credited.mbtiles")), silent = dir.filePath(QStringLiteral("silent.mbtiles"));
    writeMbtiles(credited, "('attribution', '<a href=\"https://example.org\">&copy; Pack makers</a>')");
    writeMbtiles(silent, "('name', 'no credit')");
    auto packed = mapWith([&](MapOptions& o) { o.tilePack = credited; });
    auto plain = mapWith([&](MapOptions& o) { o.tilePack = silent; });
    for (auto* m : {packed.get(), plain.get()})
        m->CentreOn({40, -90, 2000});
    EXPECT_EQ(packed->tilePackLayer().attribution(), QStringLiteral("\u00A9 Pack makers")) << "shown as text";
    const QByteArray page = pageOf(*packed, dir.filePath(QStringLiteral("pack.html")));
    EXPECT_TRUE(page.contains("\u00A9 Pack makers"));
    EXPECT_TRUE(page.contains("Natural Earth"));
    // The picture's credit line is longer by the pack's credit: the strip left of the short one differs.
    const QImage a = packed->picture(), b = plain->picture();
    EXPECT_NE(a.copy(0, a.height() - 14, a.width() - 120, 14), b.copy(0, b.height() - 14, b.width() - 120, 14));
}

TEST(TilePack, VectorPacksAreRefusedByNameAndCoarsePacksDoNotHideCloseViews)
{
    QTemporaryDir dir;
    const QString vector = dir.filePath(QStringLiteral("vector.mbtiles"));
    writeMbtiles(vector, "('format', 'pbf')");
    auto map = mapWith([](MapOptions&) {});
    EXPECT_FALSE(map->setTilePack(vector));
    EXPECT_TRUE(map->tilePackLayer().error().contains(QStringLiteral("vector tiles"))) << map->tilePackLayer().error().toStdString();
    EXPECT_TRUE(map->tilePackLayer().error().contains(QStringLiteral("pbf")));

    const QString coarse = dir.filePath(QStringLiteral("coarse.mbtiles"));
    writeMbtiles(coarse);   // zoom 1 only
    ASSERT_TRUE(map->setTilePack(coarse));
    map->CentreOn({40, -90, 5000});
    EXPECT_EQ(map->CopyView().pixel(320, 240), qRgb(255, 0, 0)) << "a few levels enlarged";
    map->CentreOn({40, -90, 20});
    EXPECT_EQ(map->CopyView().pixel(320, 240), LandColour) << "not enlarged a dozen levels over the outline";
}

TEST(MapClicks, EachOfTwentyThreeApsAtOnePointIsReachedByClick)
{
    auto map = maptest::europeMap();
    map->CentreOn({Lat, Lon, 2});
    for (const QString& file : maptest::programSymbolFiles())
        map->AddSymbol(file);
    std::set<MarkerId> all;
    for (int i = 0; i < 23; ++i) {
        const MarkerId id = map->AddMarker({Lat, Lon, 1}, QStringLiteral("ap%1").arg(i));
        map->setMarkerSymbol(id, 336 + i % 8);
        all.insert(id);
    }
    MapView* view = map->mapView();
    view->resize(640, 480);
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
    const QPoint centre(map->ToScreenX({Lat, Lon, 0}), map->ToScreenY({Lat, Lon, 0}));
    QSignalSpy clicked(view, &MapView::markerClicked);
    QTest::mouseClick(view, Qt::LeftButton, {}, centre);
    ASSERT_TRUE(map->spread());
    EXPECT_EQ(map->spread()->markers.size(), 23u) << "the click fans the stack out";
    const QImage fanned = map->CopyView();
    std::set<MarkerId> reached;
    for (int i = 0; i < 23; ++i) {
        const QPointF at = QPointF(centre) + spreadOffset(i, 23);
        QTest::mouseClick(view, Qt::LeftButton, {}, at.toPoint());
        ASSERT_EQ(clicked.size(), i + 2);
        reached.insert(clicked.last().at(0).value<MarkerId>());
    }
    EXPECT_EQ(reached, all);
    // A saved picture shows the stack closed, with no ring and no balloon.
    map->setMarkerDisplayState(*reached.begin(), 2);
    const QImage balloon = map->picture();
    map->setMarkerDisplayState(*reached.begin(), 1);
    EXPECT_EQ(balloon, map->picture());
    EXPECT_NE(balloon, fanned);
    EXPECT_EQ(map->picture(QSize(1600, 1200)).size(), QSize(1600, 1200));
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_FALSE(map->spread()) << "a click elsewhere closes the fan";
}
