// Marker set 1: ids, map order, the name index and the nearest search against a plain walk.
#include "MapTestSupport.h"

#include <gtest/gtest.h>
#include <random>

using namespace aero;

namespace {

// What the program would do without an index: walk in map order, strictly smaller wins.
std::optional<MarkerId> walkNearest(const MapControl& map, const Location& where, const QString& skip)
{
    std::optional<MarkerId> best;
    double bestDistance = 0;
    for (MarkerId id : map.EnumerateMarkers()) {
        if (!skip.isEmpty() && map.markerName(id) == skip)
            continue;
        const double d = map.DistanceTo(where, map.markerLocation(id));
        if (!best || d < bestDistance) {
            best = id;
            bestDistance = d;
        }
    }
    return best;
}

} // namespace

TEST(Markers, FindMarkerGivesTheFirstOfThatNameAndFollowsRemovals)
{
    auto map = maptest::europeMap();
    const MarkerId a = map->AddMarker({50, 8, 1}, QStringLiteral("linksys"));
    const MarkerId b = map->AddMarker({50, 9, 1}, QStringLiteral("home"));
    const MarkerId c = map->AddMarker({50, 10, 1}, QStringLiteral("linksys"));
    EXPECT_EQ(map->FindMarker(QStringLiteral("linksys")), a);
    EXPECT_EQ(map->FindMarker(QStringLiteral("home")), b);
    EXPECT_EQ(map->FindMarker(QStringLiteral("Linksys")), std::nullopt) << "names are compared exactly";
    EXPECT_EQ(map->FindMarker(QString()), std::nullopt);
    map->RemoveMarker(a);
    EXPECT_EQ(map->FindMarker(QStringLiteral("linksys")), c);
    map->RemoveMarker(c);
    EXPECT_EQ(map->FindMarker(QStringLiteral("linksys")), std::nullopt);
    const MarkerId d = map->AddMarker({50, 11, 1}, QStringLiteral("linksys"));
    EXPECT_EQ(map->FindMarker(QStringLiteral("linksys")), d);
}

TEST(Markers, EnumerateKeepsMapOrderAndIdsStayValid)
{
    auto map = maptest::europeMap();
    std::vector<MarkerId> ids;
    for (int i = 0; i < 600; ++i)
        ids.push_back(map->AddMarker({45.0 + i * 0.01, 7.0, 1.0}, QStringLiteral("ap%1").arg(i)));
    EXPECT_EQ(map->EnumerateMarkers(), ids);
    // Remove most of them: the store compacts itself on the way; survivors keep ids and data.
    std::vector<MarkerId> kept;
    for (int i = 0; i < 600; ++i) {
        if (i % 5 == 0)
            kept.push_back(ids[std::size_t(i)]);
        else
            map->RemoveMarker(ids[std::size_t(i)]);
    }
    EXPECT_EQ(map->EnumerateMarkers(), kept);
    EXPECT_EQ(map->markerCount(), 120);
    EXPECT_EQ(map->markerName(kept[3]), QStringLiteral("ap15"));
    EXPECT_EQ(map->markerLocation(kept[3]).lat, 45.0 + 15 * 0.01);
    EXPECT_EQ(map->FindMarker(QStringLiteral("ap15")), kept[3]);
    EXPECT_THROW(map->markerName(ids[1]), AppError) << "a removed marker's handle is refused";
    EXPECT_THROW(map->RemoveMarker(ids[1]), AppError);
}

TEST(Markers, PropertiesAreKeptExactly)
{
    auto map = maptest::europeMap();
    const Location where{37.7694283, -122.4176333, 1.0};
    const MarkerId id = map->AddMarker(where, QStringLiteral("home"));
    EXPECT_EQ(map->markerLocation(id), where);
    EXPECT_EQ(map->markerSymbol(id), DefaultSymbol);
    EXPECT_EQ(map->markerDisplayState(id), 0);
    map->setMarkerNote(id, QStringLiteral("MAC = 00:06:25:0A:1B:2C\r\nSignal = -67 dBm"));
    map->setMarkerSymbol(id, PositionSymbol);
    map->setMarkerDisplayState(id, 2);
    EXPECT_EQ(map->markerNote(id), QStringLiteral("MAC = 00:06:25:0A:1B:2C\r\nSignal = -67 dBm"));
    EXPECT_EQ(map->markerSymbol(id), PositionSymbol);
    EXPECT_EQ(map->markerDisplayState(id), 2);
    EXPECT_THROW(map->setMarkerSymbol(id, 336), AppError) << "no symbol 336 before one is added";
    EXPECT_THROW(map->setMarkerDisplayState(id, 3), AppError);
    EXPECT_FALSE(map->isSaved());
}

TEST(Markers, DeleteMarkerSetEmptiesEverythingAndIndexesFollow)
{
    auto map = maptest::europeMap();
    EXPECT_EQ(map->MarkerSetCount(), 0);
    for (int i = 0; i < 50; ++i)
        map->AddMarker({40.0 + i, 0.0, 1}, QStringLiteral("n%1").arg(i % 7));
    EXPECT_EQ(map->MarkerSetCount(), 1);
    map->DeleteMarkerSet();
    EXPECT_EQ(map->MarkerSetCount(), 0);
    EXPECT_EQ(map->markerCount(), 0);
    EXPECT_TRUE(map->EnumerateMarkers().empty());
    EXPECT_EQ(map->FindMarker(QStringLiteral("n3")), std::nullopt);
    EXPECT_EQ(map->nearestMarker({45, 0, 0}, QString()), std::nullopt);
    const MarkerId again = map->AddMarker({1, 1, 1}, QStringLiteral("n3"));
    EXPECT_EQ(map->MarkerSetCount(), 1);
    EXPECT_EQ(map->FindMarker(QStringLiteral("n3")), again);
    EXPECT_EQ(map->nearestMarker({45, 0, 0}, QString()), again);
}

TEST(Markers, WithoutAMapMarkersAreRefused)
{
    MapControl map(maptest::offlineOptions());
    try {
        map.AddMarker({1, 1, 1}, QStringLiteral("x"));
        FAIL() << "no error";
    } catch (const AppError& e) {
        EXPECT_EQ(e.code, errors::ObjectNotSet);
    }
    auto open = maptest::europeMap();
    EXPECT_THROW(open->AddMarker({NAN, 1, 1}, QStringLiteral("x")), AppError);
}

TEST(Nearest, TiesGoToTheEarlierMarkerAndSkipNameIsHonoured)
{
    auto map = maptest::europeMap();
    const MarkerId first = map->AddMarker({48.0, 11.0, 1}, QStringLiteral("first"));
    const MarkerId twin = map->AddMarker({48.0, 11.0, 1}, QStringLiteral("twin"));
    const MarkerId car = map->AddMarker({48.00001, 11.0, 1}, QStringLiteral("GPS"));
    const MarkerId far = map->AddMarker({49.0, 11.0, 1}, QStringLiteral("far"));
    EXPECT_EQ(map->nearestMarker({48.0, 11.0, 0}, QStringLiteral("GPS")), first);
    EXPECT_EQ(map->nearestMarker({48.00001, 11.0, 0}, QString()), car);
    EXPECT_EQ(map->nearestMarker({48.00001, 11.0, 0}, QStringLiteral("GPS")), first);
    map->RemoveMarker(first);
    EXPECT_EQ(map->nearestMarker({48.0, 11.0, 0}, QStringLiteral("GPS")), twin);
    map->setMarkerLocation(far, {48.0, 11.0, 1});   // moved onto the tie: still the later one
    EXPECT_EQ(map->nearestMarker({48.0, 11.0, 0}, QStringLiteral("GPS")), twin);
    map->setMarkerLocation(twin, {10.0, 11.0, 1});
    EXPECT_EQ(map->nearestMarker({48.0, 11.0, 0}, QStringLiteral("GPS")), far);
}

TEST(Nearest, AgreesExactlyWithAWalkInMapOrder)
{
    auto map = maptest::europeMap();
    std::mt19937 rng(1234);
    std::uniform_real_distribution<double> city(-0.05, 0.05), world(-170.0, 170.0), lat(-80.0, 80.0);
    // Dense clusters with repeated positions (ties), a world-wide scatter and date-line neighbours.
    for (int i = 0; i < 3000; ++i) {
        const double jitter = (i % 3 == 0) ? 0.0 : city(rng);
        map->AddMarker({51.5 + jitter, -0.12 + (i % 3 == 0 ? 0.0 : city(rng)), 1}, QStringLiteral("c%1").arg(i % 40));
    }
    for (int i = 0; i < 1500; ++i)
        map->AddMarker({lat(rng), world(rng), 1}, QStringLiteral("w%1").arg(i));
    map->AddMarker({10.0, 179.99, 1}, QStringLiteral("east"));
    map->AddMarker({10.0, -179.99, 1}, QStringLiteral("west"));
    struct Query { Location where; QString skip; };
    std::vector<Query> queries = {{{51.5, -0.12, 0}, {}}, {{51.5, -0.12, 0}, QStringLiteral("c0")},
                                  {{10.0, 180.0, 0}, {}}, {{10.0, -180.0, 0}, QStringLiteral("east")},
                                  {{89.9, 0, 0}, {}}, {{-89.9, 45, 0}, {}}};
    for (int i = 0; i < 300; ++i)
        queries.push_back({{lat(rng), world(rng), 0}, i % 2 ? QStringLiteral("c%1").arg(i % 40) : QString()});
    for (int i = 0; i < 200; ++i)
        queries.push_back({{51.5 + city(rng), -0.12 + city(rng), 0}, QStringLiteral("c%1").arg(i % 40)});
    for (const MapUnit unit : {MapUnit::Kilometres, MapUnit::Miles}) {
        map->setUnits(unit);
        for (const Query& q : queries) {
            SCOPED_TRACE(testing::Message() << q.where.lat << "," << q.where.lon << " skip " << q.skip.toStdString());
            ASSERT_EQ(map->nearestMarker(q.where, q.skip), walkNearest(*map, q.where, q.skip));
        }
    }
    // Moves and removals between queries: the index catches up without a full rebuild each time.
    const auto ids = map->EnumerateMarkers();
    for (int round = 0; round < 50; ++round) {
        map->setMarkerLocation(ids[std::size_t(3000 + round * 7)], {51.5 + city(rng), -0.12 + city(rng), 1});
        map->RemoveMarker(ids[std::size_t(round * 11 + 1)]);
        const Location q{51.5 + city(rng), -0.12 + city(rng), 0};
        ASSERT_EQ(map->nearestMarker(q, QString()), walkNearest(*map, q, QString())) << round;
    }
}
