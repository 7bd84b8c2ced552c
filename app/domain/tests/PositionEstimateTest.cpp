#include "domain/ApPositions.h"
#include "domain/PositionEstimate.h"
#include "domain/SightingSample.h"

#include <gtest/gtest.h>
#include <cmath>

namespace aero {
namespace {

using position::Method;

constexpr double Lat0 = 47.37, Lon0 = 8.54;
constexpr double MPerDeg = 60 * 1.1515 * 1609.344;

// A sighting x metres east and y metres north of the reference point.
Sighting at(double x, double y, float dbm, qint64 time = 0)
{
    return {Lat0 + y / MPerDeg, Lon0 + x / (MPerDeg * std::cos(Lat0 * 3.14159265358979 / 180.0)), dbm, time};
}

double metresFrom(const position::Estimate& e, double x, double y)
{
    const Sighting p = at(x, y, 0);
    return position::metresBetween(e.latitude, e.longitude, p.latitude, p.longitude);
}

TEST(PositionEstimate, EachMethodPlacesTheSightingsItShould)
{
    const std::vector<Sighting> pair6dB = {at(0, 0, -60), at(30, 0, -66)};
    std::vector<Sighting> strayFix = {at(0, 0, -60), at(4, 0, -61), at(0, 4, -61), at(-4, 0, -62), at(0, -4, -62)};
    strayFix.push_back(at(300, 0, -59));   // the strongest, but thrown 300 m off by a reflection
    const std::vector<Sighting> withUnlocated = {{0, 0, -30, 0}, at(10, 0, -70), at(20, 0, -70)};
    struct Case {
        const char* legend;
        std::vector<Sighting> sightings;
        Method method;
        double x, y;        // expected position, metres from the reference
        double tolerance;   // metres
    } cases[] = {
        {"one sighting: strongest is it", {at(5, 5, -70)}, Method::Strongest, 5, 5, 0.01},
        {"one sighting: weighted is it", {at(5, 5, -70)}, Method::Weighted, 5, 5, 0.01},
        {"one sighting: trimmed is it", {at(5, 5, -70)}, Method::Trimmed, 5, 5, 0.01},
        {"strongest takes the strongest", pair6dB, Method::Strongest, 0, 0, 0.01},
        {"6 dB stronger counts twice (amplitude weight)", pair6dB, Method::Weighted, 10.0, 0, 0.1},
        {"weighted is pulled by the stray fix", strayFix, Method::Weighted, 61.4, 0, 1},
        {"trimmed drops the stray fix", strayFix, Method::Trimmed, 0, 0, 1},
        {"sightings without a position are left out", withUnlocated, Method::Weighted, 15, 0, 0.01},
        {"...also by the strongest rule", withUnlocated, Method::Strongest, 10, 0, 0.01},
        {"absurd signals neither vanish nor overflow", {at(0, 0, -1e30f), at(10, 0, 1e30f)}, Method::Trimmed, 10, 0, 0.01},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.legend);
        const auto e = position::estimate(c.sightings, c.method);
        ASSERT_TRUE(e);
        EXPECT_LE(metresFrom(*e, c.x, c.y), c.tolerance);
        EXPECT_GT(e->uncertaintyM, 0.0);
        EXPECT_TRUE(std::isfinite(e->uncertaintyM));
    }
    for (Method m : {Method::Strongest, Method::Weighted, Method::Trimmed}) {
        EXPECT_FALSE(position::estimate(std::vector<Sighting>{{0, 0, -50, 0}}, m)) << "nothing located";
        EXPECT_FALSE(position::estimate({}, m)) << "no sightings";
        EXPECT_EQ(position::methodFromName(position::methodName(m).toUpper()), m);
    }
    EXPECT_FALSE(position::methodFromName(QStringLiteral("average")));

    // One pass down one road cannot tell how far off it the AP stands; passes on two roads can.
    const std::vector<Sighting> line = {at(-40, 0, -70), at(-20, 0, -66), at(0, 0, -64), at(20, 0, -66), at(40, 0, -70)};
    const std::vector<Sighting> cross = {at(-40, 0, -70), at(0, -20, -66), at(0, 0, -64), at(20, 0, -66), at(0, 40, -70)};
    EXPECT_GT(position::estimate(line, Method::Weighted)->uncertaintyM, position::estimate(cross, Method::Weighted)->uncertaintyM);
}

TEST(PositionEstimate, SampleKeepsTheStrongestAndAnEvenSpreadWithinItsCap)
{
    SightingSample sample;
    constexpr int N = 10000;
    for (int i = 0; i < N; ++i)   // signals in a sawtooth, so the strongest come from every part of the log
        sample.add(at(i, 0, -90.0f + static_cast<float>((i * 37) % 60), i));
    const std::vector<Sighting> kept = sample.take();
    ASSERT_LE(kept.size(), std::size_t(SightingSample::Cap));
    ASSERT_GE(kept.size(), std::size_t(SightingSample::StrongestKept + SightingSample::SpreadKept / 2));
    for (int i = 0; i < SightingSample::StrongestKept; ++i)
        EXPECT_GE(kept[std::size_t(i)].signal, -31.0f) << "the strongest first";
    qint64 first = N, last = 0;
    for (std::size_t i = SightingSample::StrongestKept; i < kept.size(); ++i) {
        first = std::min(first, kept[i].time);
        last = std::max(last, kept[i].time);
    }
    EXPECT_LT(first, N / 20) << "the spread starts at the start of the log";
    EXPECT_GT(last, N - N / 10) << "and reaches its end";
    EXPECT_TRUE(sample.isEmpty());
}

TEST(PositionEstimate, ReestimatingMovesOnlyApsWithKeptSightingsAndSaysHow)
{
    APList table;
    table.NextAP = 1;
    AccessPoint a;
    a.SSID = QStringLiteral("a");
    a.MAC = QStringLiteral("02:00:00:00:00:01");
    Observation seen;
    seen.located = {at(0, 0, -60), at(30, 0, -66)};
    a.Latitude = seen.located[0].latitude;
    a.Longitude = seen.located[0].longitude;
    table.append(a, seen);
    AccessPoint b = a;
    b.SSID = QStringLiteral("b");
    b.MAC = QStringLiteral("02:00:00:00:00:02");
    table.append(b);

    EXPECT_EQ(position::reestimatePositions(table, Method::Weighted), 1);
    EXPECT_NEAR(metresFrom({table.at(1).Latitude, table.at(1).Longitude, 0}, 10, 0), 0.0, 0.1);
    EXPECT_EQ(table.observation(1).positionMethod, QStringLiteral("weighted"));
    EXPECT_GT(table.observation(1).uncertaintyM, 0.0);
    EXPECT_EQ(table.at(2), b);
    EXPECT_EQ(position::reestimatePositions(table, Method::Strongest), 1) << "and back, without a re-import";
    EXPECT_EQ(table.at(1).Latitude, a.Latitude);
    EXPECT_EQ(table.at(1).Longitude, a.Longitude);
}

} // namespace
} // namespace aero
