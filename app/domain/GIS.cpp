#include "domain/GIS.h"

#include <algorithm>
#include <cmath>

namespace aero::GIS {
namespace {

constexpr double Pi = 3.14159265358979;

double radians(double degrees) { return degrees * Pi / 180.0; }

} // namespace

double distance(double lat1, double lon1, double lat2, double lon2, QChar unit)
{
    const double theta = lon1 - lon2;
    double d = std::sin(radians(lat1)) * std::sin(radians(lat2))
               + std::cos(radians(lat1)) * std::cos(radians(lat2)) * std::cos(radians(theta));
    // Two identical points can land a rounding step outside arccos's domain.
    d = std::acos(std::clamp(d, -1.0, 1.0));
    d = d * 180.0 / Pi;
    d = d * 60.0 * 1.1515;
    const QChar u = unit.toUpper();
    if (u == QLatin1Char('K'))
        d *= 1.609344;
    else if (u == QLatin1Char('N'))
        d *= 0.8684;
    return d;
}

} // namespace aero::GIS

namespace aero {

void LocationToLatLon(const Location& where, double& latitude, double& longitude)
{
    latitude = where.lat;
    longitude = where.lon;
}

} // namespace aero
