#include "domain/Geo.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace aero::geo {

namespace {
constexpr double DegToRad = std::numbers::pi / 180.0;
} // namespace

double centralAngle(double lat1, double lon1, double lat2, double lon2)
{
    const double p1 = lat1 * DegToRad, p2 = lat2 * DegToRad;
    const double sdLat = std::sin((p2 - p1) / 2.0);
    const double sdLon = std::sin((lon2 - lon1) * DegToRad / 2.0);
    const double h = sdLat * sdLat + std::cos(p1) * std::cos(p2) * sdLon * sdLon;
    // Rounding can push h a hair past 1 for antipodal points.
    return 2.0 * std::asin(std::sqrt(std::clamp(h, 0.0, 1.0)));
}

double unitPerDegree(MapUnit unit)
{
    return unit == MapUnit::Kilometres ? MilesPerDegree * KmPerMile : MilesPerDegree;
}

double unitPerRadian(MapUnit unit) { return unitPerDegree(unit) / DegToRad; }

double bearing(const Location& from, const Location& to)
{
    const double p1 = from.lat * DegToRad, p2 = to.lat * DegToRad, dLon = (to.lon - from.lon) * DegToRad;
    const double y = std::sin(dLon) * std::cos(p2);
    const double x = std::cos(p1) * std::sin(p2) - std::sin(p1) * std::cos(p2) * std::cos(dLon);
    const double deg = std::atan2(y, x) / DegToRad;
    return deg < 0.0 ? deg + 360.0 : deg;
}

double distance(const Location& a, const Location& b, MapUnit unit)
{
    return centralAngle(a.lat, a.lon, b.lat, b.lon) * unitPerRadian(unit);
}

double minAngleToBox(double lat, double lon, double minLat, double maxLat, double minLon, double maxLon)
{
    // Longitude gap to the box, going the short way round (longitudes may lie outside +-180).
    double gap = 0.0;
    if (maxLon - minLon < 360.0) {
        double shifted = std::fmod(lon - minLon, 360.0);
        if (shifted < 0.0)
            shifted += 360.0;
        shifted += minLon;
        if (shifted > maxLon)
            gap = std::min(shifted - maxLon, minLon + 360.0 - shifted);
    }
    if (gap == 0.0) {
        const double dLat = lat < minLat ? minLat - lat : (lat > maxLat ? lat - maxLat : 0.0);
        return dLat * DegToRad;
    }
    // cos(angle) = A sin(phi2) + B cos(phi2) with the smallest longitude gap; its largest value
    // over phi2 in [minLat, maxLat] is at an end or at the peak phi* = atan2(A, B).
    const double p1 = lat * DegToRad;
    const double a = std::sin(p1), b = std::cos(p1) * std::cos(gap * DegToRad);
    auto f = [&](double p2) { return a * std::sin(p2) + b * std::cos(p2); };
    const double lo = minLat * DegToRad, hi = maxLat * DegToRad;
    double best = std::max(f(lo), f(hi));
    const double peak = std::atan2(a, b);
    if (peak >= lo && peak <= hi)
        best = std::max(best, std::hypot(a, b));
    return std::acos(std::clamp(best, -1.0, 1.0));
}

double worldX(double lon) { return (lon + 180.0) / 360.0; }

double worldY(double lat)
{
    const double p = std::clamp(lat, -MaxMercatorLat, MaxMercatorLat) * DegToRad;
    return (1.0 - std::log(std::tan(std::numbers::pi / 4.0 + p / 2.0)) / std::numbers::pi) / 2.0;
}

double lonOfWorldX(double x) { return x * 360.0 - 180.0; }

double latOfWorldY(double y)
{
    return std::atan(std::sinh(std::numbers::pi * (1.0 - 2.0 * y))) / DegToRad;
}

} // namespace aero::geo
