// New region maps, the web page, the picture of the view.
#include "MapTestSupport.h"
#include "map/ImageExport.h"
#include "map/WebPage.h"

#include <QImageReader>
#include <QProcess>
#include <QRandomGenerator>
#include <functional>
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

// The published page: self-contained, every text as data, the map's own symbols once each,
// the base map rendered by the engine, and a compact form of the program's notes.
TEST(WebPage, IsSelfContainedAndShowsTheMapsOwnSymbols)
{
    QTemporaryDir dir;
    auto map = maptest::europeMap();
    for (const QString& f : maptest::programSymbolFiles())
        map->AddSymbol(f);
    map->CentreOn({48.85, 2.35, 50});
    const MarkerId evil = map->AddMarker({48.85, 2.35, 1}, QStringLiteral("</script><script>alert(1)</script>"));
    map->setMarkerNote(evil, QStringLiteral("MAC = \"x\" & <img src=x onerror=alert(2)>\r\nWEP = On"));
    map->setMarkerSymbol(evil, 343);
    const MarkerId ap = map->AddMarker({48.86, 2.36, 1}, QStringLiteral("O'Brien's AP"));
    map->setMarkerNote(ap, QStringLiteral("MAC = 00:06:25:0A:1B:2C\r\nSignal = -67 dBm\r\nWEP = Off\r\nAd-Hoc mode"));
    map->setMarkerSymbol(ap, 338);
    map->setMarkerSymbol(map->AddMarker({10.0, 10.0, 1}, QStringLiteral("filtered")), FilteredSymbol);
    map->AddLine({48.84, 2.34, 0}, {48.86, 2.36, 0});
    const QString path = dir.filePath(QStringLiteral("map.html"));
    map->PublishWebPage(path, QStringLiteral("Aeroplotter AP Log File"));
    const QString html = QString::fromUtf8(testing_support::readFile(path));
    EXPECT_TRUE(html.startsWith(QStringLiteral("<!DOCTYPE html>")));
    EXPECT_TRUE(html.contains(QStringLiteral("<title>Aeroplotter AP Log File</title>")));
    EXPECT_TRUE(html.contains(QStringLiteral("Content-Security-Policy\" content=\"default-src 'none'")));
    EXPECT_FALSE(html.contains(QStringLiteral("http:")) || html.contains(QStringLiteral("https:")) || html.contains(QStringLiteral("//www")))
        << "nothing is fetched from elsewhere";
    EXPECT_EQ(html.count(QStringLiteral("<script")), 2) << "the data and the page's own code, nothing from a name";
    EXPECT_FALSE(html.contains(QStringLiteral("<img"), Qt::CaseInsensitive));
    EXPECT_FALSE(html.contains(QStringLiteral("innerHTML"))) << "texts go in as text";
    EXPECT_TRUE(html.contains(QStringLiteral("\\u003c/script\\u003e\\u003cscript\\u003ealert(1)")));
    EXPECT_TRUE(html.contains(QStringLiteral("\"O'Brien's AP\"")));
    EXPECT_TRUE(html.contains(QStringLiteral("\"m\":[\"\",\"0006250A1B2C\",\"\"]"))) << "the program's note as fields";
    EXPECT_TRUE(html.contains(QStringLiteral("\"t\":{\"0\":\"MAC = \\\"x\\\" \\u0026"))) << "any other note as it is";
    // The eight AP symbols (the legend shows them all) and the filtered one, each once.
    EXPECT_EQ(html.count(QStringLiteral("data:image/png;base64,")), 9);
    EXPECT_TRUE(html.contains(QStringLiteral("Encrypted network, -50 dBm and above")));
    EXPECT_TRUE(html.contains(QStringLiteral("Filtered out")));
    EXPECT_EQ(html.count(QStringLiteral("data:image/jpeg;base64,")), 5) << "the world, three coarser levels, the view";
    EXPECT_TRUE(html.contains(QStringLiteral("Natural Earth")));
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

// A full disk (a 64 KiB tmpfs; needs the right to mount, skipped elsewhere): the page, the map
// file (KML and KMZ) and the picture each fail and leave the old file as it was.
TEST(FullDisk, EverySaveFailsAndKeepsTheOldFile)
{
    QTemporaryDir dir;
    if (QProcess::execute(QStringLiteral("mount"), {"-t", "tmpfs", "-o", "size=64k", "tmpfs", dir.path()}) != 0)
        GTEST_SKIP() << "cannot mount a small tmpfs here";
    auto map = maptest::europeMap();
    QRandomGenerator random(7);   // names that do not compress, so the KMZ fills the disk too
    for (int i = 0; i < 6000; ++i)
        map->AddMarker({45 + i * 1e-3, 7, 0}, QString::number(random.generate64(), 36) + QString::number(random.generate64(), 36));
    const QString path = dir.filePath(QStringLiteral("old"));
    const std::pair<const char*, std::function<void()>> saves[] = {
        {"page", [&] { map->PublishWebPage(path, QStringLiteral("t")); }},
        {"kml", [&] { map->SaveMapFileAs(path); }},
        {"kmz", [&] { map->SaveMapFileAs(path + QStringLiteral(".kmz")); }},
        {"picture", [&] {
             if (!saveViewImage(map->CopyView(), path))
                 throw AppError(errors::FileAccess, QStringLiteral("not saved"));
         }},
    };
    for (const auto& [what, save] : saves) {
        testing_support::writeFile(path, "old");
        testing_support::writeFile(path + QStringLiteral(".kmz"), "old");
        EXPECT_THROW(save(), AppError) << what;
        EXPECT_EQ(testing_support::readFile(path), "old") << what;
        EXPECT_EQ(testing_support::readFile(path + QStringLiteral(".kmz")), "old") << what;
    }
    QProcess::execute(QStringLiteral("umount"), {dir.path()});
}
