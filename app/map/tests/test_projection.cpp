// Projection, altitude and distance: the arithmetic every other map operation stands on.
#include "MapTestSupport.h"
#include "domain/Geo.h"

#include <gtest/gtest.h>
#include <cmath>
#include <numbers>

using namespace aero;

TEST(Projection, ScreenToLocationToScreenIsExactAtEveryZoom)
{
    auto map = maptest::europeMap();
    struct Row { const char* legend; double lat, lon, altKm; };
    const Row rows[] = {
        {"whole continent", 50.0, 10.0, 8000.0},
        {"a country", 40.4, -3.7, 900.0},
        {"a city", 51.5, -0.12, 30.0},
        {"a street", 59.33, 18.06, 0.3},
        {"closest zoom", 48.85, 2.35, 0.001},
        {"far north", 70.0, 25.0, 200.0},
        {"western hemisphere", 37.77, -122.42, 10.0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.legend);
        map->CentreOn(map->MakeLocation(r.lat, r.lon, r.altKm));
        for (int x = 0; x <= 640; x += 37) {
            for (int y = 0; y <= 480; y += 29) {
                const Location l = map->FromScreen(x, y);
                ASSERT_EQ(map->ToScreenX(l), x) << x << "," << y;
                ASSERT_EQ(map->ToScreenY(l), y) << x << "," << y;
            }
        }
    }
}

TEST(Projection, LocationToScreenAndBackLandsWithinAPixel)
{
    auto map = maptest::europeMap();
    for (double alt : {5000.0, 100.0, 1.0}) {
        SCOPED_TRACE(alt);
        map->CentreOn(map->MakeLocation(47.0, 8.0, alt));
        const double kmPerPixel = map->ViewAltitude() / map->viewHeight();
        for (double dLat : {-0.3, 0.0, 0.17}) {
            const Location l = map->MakeLocation(47.0 + dLat * alt / 1000.0, 8.0 - dLat * alt / 1000.0, 0);
            const Location back = map->FromScreen(map->ToScreenX(l), map->ToScreenY(l));
            EXPECT_LE(map->DistanceTo(l, back), kmPerPixel);
        }
    }
}

TEST(Projection, AltitudeIsTheVisibleHeightAndFollowsTheView)
{
    auto map = maptest::europeMap();
    map->CentreOn(map->MakeLocation(52.0, 5.0, 300.0));
    EXPECT_NEAR(map->ViewAltitude(), 300.0, 1e-6);
    // The visible height measured on the ground matches the altitude within Mercator's stretch.
    const double height = map->DistanceTo(map->FromScreen(320, 0), map->FromScreen(320, 480));
    EXPECT_NEAR(height / 300.0, 1.0, 0.02);

    map->CentreOn(map->MakeLocation(48.0, 2.0, 0.0));   // altitude 0 keeps the zoom
    EXPECT_NEAR(map->ViewAltitude(), 300.0 * std::cos(48.0 * std::numbers::pi / 180) / std::cos(52.0 * std::numbers::pi / 180), 1e-6);
    EXPECT_NEAR(map->viewCentre().lat, 48.0, 1e-9);
    EXPECT_NEAR(map->viewCentre().lon, 2.0, 1e-9);

    const double before = map->ViewAltitude();
    map->zoomBy(2.0);
    EXPECT_NEAR(map->ViewAltitude(), before / 2.0, 1e-9 * before);

    map->setUnits(MapUnit::Miles);
    EXPECT_NEAR(map->ViewAltitude(), before / 2.0 / geo::KmPerMile, 1e-6);
}

TEST(Projection, WithoutAWidgetTheViewIs640By480)
{
    MapControl map(maptest::offlineOptions());
    EXPECT_EQ(map.viewWidth(), 640);
    EXPECT_EQ(map.viewHeight(), 480);
    EXPECT_EQ(map.CopyView().size(), QSize(640, 480));
}

TEST(Distance, KnownDistancesInBothUnits)
{
    auto map = maptest::europeMap();
    struct Row { const char* legend; Location a, b; MapUnit unit; double expected, tolerance; };
    const Row rows[] = {
        {"London to Paris", {51.5074, -0.1278, 0}, {48.8566, 2.3522, 0}, MapUnit::Kilometres, 343.5, 0.5},
        {"one degree of latitude in miles", {10, 20, 0}, {11, 20, 0}, MapUnit::Miles, 69.09, 1e-9},
        {"one degree of latitude in km", {-5, 0, 0}, {-6, 0, 0}, MapUnit::Kilometres, 69.09 * 1.609344, 1e-9},
        {"one degree of longitude on the equator", {0, 100, 0}, {0, 101, 0}, MapUnit::Miles, 69.09, 1e-9},
        {"same point", {37.7694283, -122.4176333, 0}, {37.7694283, -122.4176333, 0}, MapUnit::Kilometres, 0.0, 0.0},
        {"pole to pole", {90, 0, 0}, {-90, 0, 0}, MapUnit::Miles, 180 * 69.09, 1e-6},
        {"antipodes across the date line", {0, 179.5, 0}, {0, -0.5, 0}, MapUnit::Miles, 180 * 69.09, 1e-6},
        {"ten metres", {48.0, 11.0, 0}, {48.0 + 10.0 / 111194.9, 11.0, 0}, MapUnit::Kilometres, 0.01, 1e-5},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.legend);
        map->setUnits(r.unit);
        EXPECT_NEAR(map->DistanceTo(r.a, r.b), r.expected, r.tolerance);
        EXPECT_EQ(map->DistanceTo(r.a, r.b), map->DistanceTo(r.b, r.a));
    }
}

TEST(Distance, BoxBoundNeverExceedsTheTrueDistance)
{
    // The nearest search prunes with this bound; if it overshot, the search would miss markers.
    struct Row { const char* legend; double lat, lon, minLat, maxLat, minLon, maxLon; };
    const Row rows[] = {
        {"inside", 10, 10, 0, 20, 0, 20},
        {"east of the box", 10, 40, 0, 20, 0, 20},
        {"across the date line", 0, 179, -10, 10, -180, -170},
        {"longitude outside +-180", 0, 200, -10, 10, -170, -150},
        {"north of a wide box", 80, 0, -10, 10, -170, 170},
        {"south pole side", -60, 90, -80, -70, -90, -80},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.legend);
        const double bound = geo::minAngleToBox(r.lat, r.lon, r.minLat, r.maxLat, r.minLon, r.maxLon);
        for (int i = 0; i <= 20; ++i)
            for (int j = 0; j <= 20; ++j) {
                const double lat = r.minLat + (r.maxLat - r.minLat) * i / 20.0;
                const double lon = r.minLon + (r.maxLon - r.minLon) * j / 20.0;
                ASSERT_LE(bound, geo::centralAngle(r.lat, r.lon, lat, lon) + 1e-12);
            }
    }
}

TEST(Projection, BadNumbersAreRefused)
{
    auto map = maptest::europeMap();
    EXPECT_THROW(map->MakeLocation(std::nan(""), 0, 0), AppError);
    EXPECT_THROW(map->CentreOn(Location{0, INFINITY, 0}), AppError);
    // Points off the Mercator square still give clamped pixels, never garbage.
    const Location pole = map->MakeLocation(90, 0, 0);
    EXPECT_LT(map->ToScreenY(pole), 0);
}
