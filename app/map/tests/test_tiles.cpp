// The online tile layer against a tile server on the loopback interface, and without one.
#include "MapTestSupport.h"
#include "domain/Settings.h"
#include "map/TileLayer.h"
#include "TileServer.h"

#include <QBuffer>
#include <QDirIterator>
#include <QPainter>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <gtest/gtest.h>

using namespace aero;
using maptest::TileServer;

namespace {

std::unique_ptr<MapControl> tiledMap(const QString& url, const QString& cache)
{
    MapOptions o = maptest::offlineOptions();
    o.tileUrl = url;
    o.tilesEnabled = true;
    o.tileCacheFolder = cache;
    auto map = std::make_unique<MapControl>(o);
    map->NewRegionMap(MapRegion::Europe);
    map->CentreOn({50, 10, 2000});
    return map;
}

int filesBelow(const QString& dir)
{
    int n = 0;
    for (QDirIterator it(dir, QDir::Files, QDirIterator::Subdirectories); it.hasNext(); it.next())
        ++n;
    return n;
}

} // namespace

TEST(Tiles, AreFetchedWithOurUserAgentDrawnAndCachedOnDisk)
{
    TileServer server(QColor(200, 30, 200));
    QTemporaryDir cache;
    auto map = tiledMap(QStringLiteral("http://127.0.0.1:%1/{z}/{x}/{y}.png").arg(server.port()), cache.path());
    QImage before(map->viewWidth(), map->viewHeight(), QImage::Format_ARGB32_Premultiplied);
    {
        QPainter p(&before);
        map->render(p);   // a frame on screen asks for the tiles and goes on
    }
    ASSERT_GT(map->tileLayer().requestsStarted(), 0);
    // A picture of the view waits for them.
    const QImage after = map->CopyView();
    EXPECT_TRUE(map->tileLayer().isIdle());
    EXPECT_EQ(after.pixel(5, 5), qRgb(200, 30, 200));
    EXPECT_EQ(after.pixel(630, 400), qRgb(200, 30, 200));
    EXPECT_NE(before.pixel(320, 240), after.pixel(320, 240));
    ASSERT_FALSE(server.userAgents.isEmpty());
    for (const QString& ua : server.userAgents)
        EXPECT_EQ(ua, QStringLiteral("Aeroplotter/" AEROPLOTTER_VERSION " (+project README)"));
    EXPECT_TRUE(server.paths.first().startsWith(QStringLiteral("/")));
    EXPECT_TRUE(server.paths.first().endsWith(QStringLiteral(".png")));
    EXPECT_LE(server.maxOpen, TileLayer::MaxConcurrent);
    EXPECT_EQ(filesBelow(cache.path()), server.paths.size()) << "every tile fetched is kept on disk";


    // A second map on the same cache needs no server at all.
    const int served = int(server.paths.size());
    auto second = tiledMap(QStringLiteral("http://127.0.0.1:%1/{z}/{x}/{y}.png").arg(server.port()), cache.path());
    EXPECT_EQ(second->CopyView().pixel(320, 240), qRgb(200, 30, 200));
    QTest::qWait(50);
    EXPECT_EQ(server.paths.size(), served);

    // The published page shows the road map the view has, through the same drawing.
    QTemporaryDir pageDir;
    map->PublishWebPage(pageDir.filePath(QStringLiteral("p.html")), QStringLiteral("t"));
    const QByteArray page = testing_support::readFile(pageDir.filePath(QStringLiteral("p.html")));
    EXPECT_TRUE(page.contains("OpenStreetMap contributors"));
    const qsizetype at = page.lastIndexOf("data:image/jpeg;base64,") + 23;   // the view's picture
    const QImage view = QImage::fromData(QByteArray::fromBase64(page.mid(at, page.indexOf('"', at) - at)));
    ASSERT_FALSE(view.isNull());
    const QColor centre = view.pixelColor(view.width() / 2, view.height() / 2);
    EXPECT_NEAR(centre.red(), 200, 12);
    EXPECT_NEAR(centre.green(), 30, 12);
    EXPECT_NEAR(centre.blue(), 200, 12);
}

TEST(Tiles, WhenTheServerIsDownTheOutlineShowsAndTheLayerGoesQuiet)
{
    quint16 port = 0;
    {
        QTcpServer probe;   // a port that was free a moment ago and now has no listener
        probe.listen(QHostAddress::LocalHost);
        port = probe.serverPort();
    }
    QTemporaryDir cache;
    auto map = tiledMap(QStringLiteral("http://127.0.0.1:%1/{z}/{x}/{y}.png").arg(port), cache.path());
    auto offline = maptest::europeMap();
    offline->CentreOn({50, 10, 2000});
    const QImage outline = offline->CopyView();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            map->CopyView();
            return map->tileLayer().isPaused();
        },
        20000));
    EXPECT_GE(map->tileLayer().requestsFailed(), TileLayer::FailuresBeforePause);
    const int started = map->tileLayer().requestsStarted();
    // The outline, and a notice that says why there are no tiles.
    const QImage shown = map->CopyView();
    EXPECT_EQ(shown.copy(0, 60, 640, 360), outline.copy(0, 60, 640, 360));
    EXPECT_NE(shown.copy(0, 0, 640, 40), outline.copy(0, 0, 640, 40)) << "the notice";
    QTest::qWait(50);
    EXPECT_EQ(map->tileLayer().requestsStarted(), started) << "no new requests while paused";
    EXPECT_EQ(filesBelow(cache.path()), 0);
}

TEST(Tiles, SettingsDecideWhetherTilesAreUsed)
{
    Settings settings;
    EXPECT_TRUE(MapOptions::fromSettings(settings).tilesEnabled);
    EXPECT_EQ(MapOptions::fromSettings(settings).tileUrl, QStringLiteral("https://tile.openstreetmap.org/{z}/{x}/{y}.png"));
    settings.setValue(QStringLiteral("TilesEnabled"), QStringLiteral("0"));
    EXPECT_FALSE(MapOptions::fromSettings(settings).tilesEnabled);
    settings.setValue(QStringLiteral("TilesEnabled"), QStringLiteral("1"));
    settings.setValue(QStringLiteral("TileURL"), QString());
    EXPECT_FALSE(MapOptions::fromSettings(settings).tilesEnabled);

    // Switched off, a map makes no request at all.
    TileServer server(Qt::red);
    QTemporaryDir cache;
    auto map = tiledMap(QStringLiteral("http://127.0.0.1:%1/{z}/{x}/{y}.png").arg(server.port()), cache.path());
    map->setTilesEnabled(false);
    map->CopyView();
    QTest::qWait(50);
    EXPECT_EQ(map->tileLayer().requestsStarted(), 0);
    EXPECT_TRUE(server.paths.isEmpty());
}

TEST(Tiles, ZoomLevelFollowsTheScale)
{
    EXPECT_EQ(TileLayer::zoomFor(256), 0);
    EXPECT_EQ(TileLayer::zoomFor(256 * 1024), 10);
    EXPECT_EQ(TileLayer::zoomFor(1e30), TileLayer::MaxZoom);
    EXPECT_EQ(TileLayer::zoomFor(1), 0);
}
