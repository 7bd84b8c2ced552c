// The extract's index and coastline at sizes real countries reach: 200,000 features whose boxes
// span the whole extract, and a coast in many pieces given in any order.
#include "map/MapControl.h"
#include "map/OsmCoastline.h"
#include "map/OsmExtract.h"
#include "map/OsmExtractMarks.h"
#include "domain/Settings.h"

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>
#include <random>

using namespace aero;

namespace {

// OSM XML: `spanning` paths from one corner of the box to the other (each with its own nodes,
// so none are joined), and a 10 x 10 grid of short streets.
QByteArray spanningExtract(int spanning)
{
    QByteArray x = "<?xml version='1.0'?>\n<osm version='0.6'>\n";
    x.reserve(qsizetype(spanning) * 180 + 30000);
    for (int i = 0; i < spanning; ++i)
        x += "<node id='" + QByteArray::number(1000000 + 2 * i) + "' lat='46.0' lon='8.0'/><node id='" +
             QByteArray::number(1000001 + 2 * i) + "' lat='46.1' lon='8.1'/>\n";
    for (int i = 0; i < 100; ++i) {
        const QByteArray lat = QByteArray::number(46.005 + (i / 10) * 0.01, 'f', 4), lon = QByteArray::number(8.005 + (i % 10) * 0.01, 'f', 4);
        x += "<node id='" + QByteArray::number(100 + 2 * i) + "' lat='" + lat + "' lon='" + lon + "'/><node id='" +
             QByteArray::number(101 + 2 * i) + "' lat='" + lat + "' lon='" + QByteArray::number(lon.toDouble() + 0.001, 'f', 4) + "'/>\n";
    }
    for (int i = 0; i < spanning; ++i)
        x += "<way id='" + QByteArray::number(1000 + i) + "'><nd ref='" + QByteArray::number(1000000 + 2 * i) + "'/><nd ref='" +
             QByteArray::number(1000001 + 2 * i) + "'/><tag k='highway' v='path'/></way>\n";
    for (int i = 0; i < 100; ++i)
        x += "<way id='" + QByteArray::number(500000 + i) + "'><nd ref='" + QByteArray::number(100 + 2 * i) + "'/><nd ref='" +
             QByteArray::number(101 + 2 * i) + "'/><tag k='highway' v='primary'/></way>\n";
    return x + "</osm>\n";
}

TEST(OsmIndex, TwoHundredThousandSpanningWaysIndexInLinearSpaceAndAreAllFound)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("spanning.osm"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(spanningExtract(200000));
    }
    const OsmLoadResult r = loadOsmExtract(path, dir.filePath(QStringLiteral("cache")));
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    const OsmData& data = *r.data;
    ASSERT_EQ(data.features.size(), 200100u);
    EXPECT_LE(data.indexEntries(), data.features.size() * OsmData::LargeCells);
    EXPECT_LT(data.memoryBytes(), std::size_t(64) << 20);
    // One short street's box: it and every spanning way, nothing else.
    const OsmFeature& street = data.features.back();
    std::size_t spanning = 0, primaries = 0;
    data.forEachIn(street.box, [&](const OsmFeature& f) { ++(f.kind == OsmKind::Path ? spanning : primaries); });
    EXPECT_EQ(spanning, 200000u);
    EXPECT_EQ(primaries, 1u);
    // The cache reads back to the same index.
    const OsmLoadResult again = loadOsmExtract(path, dir.filePath(QStringLiteral("cache")));
    ASSERT_EQ(again.status, OsmLoadResult::Status::FromCache);
    EXPECT_EQ(again.data->indexEntries(), data.indexEntries());
}

// A square island's coast cut into `n` pieces, shuffled: one ring of n + 1 points comes back.
TEST(OsmCoastline, PiecesInAnyOrderJoinIntoTheirRing)
{
    for (const int n : {1, 2, 7, 500}) {
        std::vector<OsmCoast> coast;
        for (int i = 0; i < n; ++i)
            coast.push_back({i, (i + 1) % n, {{i, 0}, {i + 1, 0}}});
        coast.back().points.back() = coast.front().points.front();
        std::shuffle(coast.begin(), coast.end(), std::mt19937(std::uint32_t(n)));
        joinCoastline(coast);
        ASSERT_EQ(coast.size(), 1u) << n;
        EXPECT_EQ(coast[0].first, coast[0].last);
        EXPECT_EQ(coast[0].points.size(), std::size_t(n + 1)) << n;
    }
    // Two open chains stay two, each joined whole.
    std::vector<OsmCoast> two{{2, 3, {{2, 0}, {3, 0}}}, {10, 11, {{10, 0}, {11, 0}}}, {1, 2, {{1, 0}, {2, 0}}}, {11, 12, {{11, 0}, {12, 0}}}};
    joinCoastline(two);
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(std::make_pair(two[0].first, two[0].last), std::make_pair(std::int64_t(10), std::int64_t(12)));
    EXPECT_EQ(std::make_pair(two[1].first, two[1].last), std::make_pair(std::int64_t(1), std::int64_t(3)));
}

// A coast crossing the box in pieces given backwards still makes one land polygon over the sea.
TEST(OsmCoastline, ACoastCrossingTheBoxInManyPiecesMakesOneLand)
{
    const OsmBox box{0, 0, 1000, 1000};
    std::vector<OsmCoast> coast;
    // West to east along y = 500, land to the left (north, smaller y): pieces of 10 units.
    for (int i = 0; i < 120; ++i)
        coast.push_back({i, i + 1, {{-100 + 10 * i, 500}, {-90 + 10 * i, 500}}});
    std::reverse(coast.begin(), coast.end());
    OsmData data;
    addCoastline(coast, box, data);
    ASSERT_EQ(data.features.size(), 2u);
    EXPECT_EQ(data.features[0].kind, OsmKind::Sea);
    EXPECT_EQ(data.features[1].kind, OsmKind::Land);
    EXPECT_EQ(data.features[1].box, (OsmBox{0, 0, 1000, 500}));
}

// An extract that fails to read is said once and left out; so is one that stopped the program
// while it was read (marked as being read when the run began).
TEST(OsmExtractMarks, AFailedExtractIsReportedOnceAndLeftOutUntilAddedAgain)
{
    QTemporaryDir dir;
    const QString broken = dir.filePath(QStringLiteral("broken.osm.pbf")), crashed = dir.filePath(QStringLiteral("big.osm"));
    QFile f(broken);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not an extract at all");
    f.close();
    Settings settings;
    settings.setValue(QStringLiteral("OsmExtracts"), broken + QLatin1Char('\n') + crashed);
    markOsmExtractReading(settings, crashed);   // as a run that died while reading it leaves it
    auto problemsOfAStart = [&] {
        MapOptions o = MapOptions::fromSettings(settings);
        o.osmCacheFolder = dir.filePath(QStringLiteral("cache"));
        o.tilesEnabled = false;
        MapControl map(o);
        QStringList said;
        QObject::connect(&map, &MapControl::baseLayerProblem, &map, [&said](const QString& text) { said << text; });
        map.NewRegionMap(MapRegion::Europe);
        return said;
    };
    const QStringList first = problemsOfAStart();
    ASSERT_EQ(first.size(), 2) << first.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(first[0].contains(broken));
    EXPECT_TRUE(first[1].contains(QStringLiteral("stopped the program")));
    EXPECT_TRUE(problemsOfAStart().isEmpty());
    EXPECT_TRUE(osmExtractLeftOut(settings, crashed));
    takeBackOsmExtract(settings, broken);
    EXPECT_EQ(problemsOfAStart().size(), 1);
}

} // namespace
