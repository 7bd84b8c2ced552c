// New region maps, the web page, the picture of the view.
#include "MapTestSupport.h"
#include "map/ImageExport.h"
#include "map/WebPage.h"

#include <QImageReader>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace aero;

TEST(RegionMap, NewMapsAreFramedOnTheirRegion)
{
    struct Row { const char* legend; MapRegion region; double minLat, maxLat, minLon, maxLon; };
    const Row rows[] = {
        {"Europe", MapRegion::Europe, 35, 66, -11, 35},
        {"North America", MapRegion::NorthAmerica, 15, 70, -140, -55},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.legend);
        MapControl map(maptest::offlineOptions());
        map.NewRegionMap(r.region);
        EXPECT_TRUE(map.hasMap());
        EXPECT_EQ(map.SymbolCount(), 336);
        EXPECT_EQ(map.markerCount(), 0);
        EXPECT_EQ(map.ShapeCount(), 0);
        const Location c = map.viewCentre();
        EXPECT_GT(c.lat, r.minLat);
        EXPECT_LT(c.lat, r.maxLat);
        EXPECT_GT(c.lon, r.minLon);
        EXPECT_LT(c.lon, r.maxLon);
        EXPECT_TRUE(map.fileName().isEmpty());
        EXPECT_TRUE(map.isSaved()) << "a fresh map closes without asking";
    }
}

TEST(RegionMap, MissingBaseDataGivesError16398)
{
    QTemporaryDir empty;
    MapOptions o = maptest::offlineOptions();
    o.dataFolder = empty.path();
    MapControl map(o);
    try {
        map.NewRegionMap(MapRegion::Europe);
        FAIL() << "no error";
    } catch (const AppError& e) {
        EXPECT_EQ(e.code, errors::RegionNotInstalled);
    }
    EXPECT_FALSE(map.hasMap());
    // A damaged outline counts as missing too.
    testing_support::writeFile(empty.filePath(QStringLiteral("outline.bin")), "AEROOUT1\xff\xff\xff\x7f");
    EXPECT_THROW(map.NewRegionMap(MapRegion::NorthAmerica), AppError);
    map.setDataFolder(maptest::shippedData());
    EXPECT_NO_THROW(map.NewRegionMap(MapRegion::NorthAmerica));
}

TEST(WebPage, IsSelfContainedAndEscapesEveryText)
{
    QTemporaryDir dir;
    auto map = maptest::europeMap();
    map->CentreOn({48.85, 2.35, 50});
    const MarkerId evil = map->AddMarker({48.85, 2.35, 1}, QStringLiteral("<script>alert(1)</script>"));
    map->setMarkerNote(evil, QStringLiteral("MAC = \"x\" & <img src=x onerror=alert(2)>\r\nWEP = On"));
    map->AddMarker({48.86, 2.36, 1}, QStringLiteral("O'Brien's AP"));
    map->AddMarker({10.0, 10.0, 1}, QStringLiteral("out of view"));
    map->AddLine({48.84, 2.34, 0}, {48.86, 2.36, 0});
    const QString path = dir.filePath(QStringLiteral("map.html"));
    map->PublishWebPage(path, QStringLiteral("Aeroplotter AP Log File"));
    const QString html = QString::fromUtf8(testing_support::readFile(path));
    EXPECT_TRUE(html.startsWith(QStringLiteral("<!DOCTYPE html>")));
    EXPECT_TRUE(html.contains(QStringLiteral("<title>Aeroplotter AP Log File</title>")));
    EXPECT_FALSE(html.contains(QStringLiteral("<script"), Qt::CaseInsensitive)) << "no raw script element";
    EXPECT_FALSE(html.contains(QStringLiteral("<img"), Qt::CaseInsensitive));
    EXPECT_TRUE(html.contains(QStringLiteral("&lt;script&gt;alert(1)&lt;/script&gt;")));
    EXPECT_TRUE(html.contains(QStringLiteral("O&#39;Brien&#39;s AP")));
    EXPECT_FALSE(html.contains(QRegularExpression(QStringLiteral("(src|href)\\s*=\\s*[\"']?\\s*(https?:)?//"),
                                                  QRegularExpression::CaseInsensitiveOption)))
        << "nothing is fetched from elsewhere";
    EXPECT_TRUE(html.contains(QStringLiteral("<svg")));
    EXPECT_EQ(html.count(QStringLiteral("<circle")), 2) << "markers in view are drawn";
    EXPECT_EQ(html.count(QStringLiteral("<tr><td>")), 3) << "every marker is listed";
    EXPECT_TRUE(html.contains(QStringLiteral("<td>48.85</td><td>2.35</td>")));
    EXPECT_TRUE(html.contains(QStringLiteral("<polyline")));
}

TEST(ViewImage, BitmapIsA24BitWindowsBitmapOfTheViewSize)
{
    QTemporaryDir dir;
    auto map = maptest::europeMap();
    map->AddMarker({50, 10, 1}, QStringLiteral("ap"));
    const QImage view = map->CopyView();
    ASSERT_EQ(view.size(), QSize(map->viewWidth(), map->viewHeight()));
    const QString bmp = dir.filePath(QStringLiteral("view.bmp"));
    ASSERT_TRUE(saveViewImage(view, bmp));
    const QByteArray bytes = testing_support::readFile(bmp);
    ASSERT_GE(bytes.size(), 54);
    auto u32 = [&](int at) { return quint32(quint8(bytes[at])) | quint32(quint8(bytes[at + 1])) << 8 |
                                    quint32(quint8(bytes[at + 2])) << 16 | quint32(quint8(bytes[at + 3])) << 24; };
    EXPECT_EQ(bytes.left(2), QByteArray("BM"));
    EXPECT_EQ(u32(2), quint32(bytes.size())) << "file size field";
    EXPECT_EQ(u32(18), quint32(map->viewWidth()));
    EXPECT_EQ(u32(22), quint32(map->viewHeight()));
    EXPECT_EQ(quint8(bytes[28]), 24) << "bits per pixel";
    const QImage back(bmp);
    EXPECT_EQ(back.pixel(320, 240), view.pixel(320, 240));

    const QString png = dir.filePath(QStringLiteral("view.PNG"));
    ASSERT_TRUE(saveViewImage(view, png));
    EXPECT_EQ(QImageReader(png).format(), QByteArray("png"));
    EXPECT_FALSE(saveViewImage(view, QStringLiteral("/nonexistent-folder/v.bmp")));
}
