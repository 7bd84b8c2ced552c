#include "domain/PositionEstimate.h"

#include "domain/Geo.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace aero::position {

namespace {

constexpr double MetresPerDegree = geo::MilesPerDegree * geo::KmPerMile * 1000.0;
constexpr double DegToRad = std::numbers::pi / 180.0;
constexpr double WeightDbPerDecade = 20.0;   // amplitude: 10^(dBm/20)
constexpr double TrimBelowStrongestDb = 30.0;
constexpr double TrimDistanceFactor = 3.0;
constexpr double RangeRefDbm = -32.0;
constexpr double RangeDbPerDecade = 28.0;
constexpr double SpreadWindowDb = 20.0;      // sightings that measure the spread for the radius

// The radius is scale * (spread / 2 + range): spread is the weighted RMS distance of the
// sightings from the estimate (how far the drive's evidence scatters), range the distance the
// strongest signal implies under log-distance path loss (-32 dBm at 1 m, 2.8 decades per 28 dB:
// how far off the road the AP may stand, which a single pass cannot tell). The scales, by
// method, were fitted so that the true position lies inside for 68 % of the APs of the
// simulated town, suburb and highway drives together.
constexpr double SpreadShare = 0.5;
constexpr double LineFactor = 2.0;
constexpr double RadiusScale[] = {0.56, 0.44, 0.38};   // by Method

// Flat metres around a reference point: exact enough over the few hundred metres an AP is heard.
struct Local {
    double lat0, lon0, cosLat;
    explicit Local(const Sighting& ref)
        : lat0(ref.latitude), lon0(ref.longitude), cosLat(std::cos(ref.latitude * DegToRad)) {}
    double x(const Sighting& s) const { return (s.longitude - lon0) * MetresPerDegree * cosLat; }
    double y(const Sighting& s) const { return (s.latitude - lat0) * MetresPerDegree; }
};

struct Point {
    double x, y, w;
};

bool located(const Sighting& s) { return s.latitude != 0.0 || s.longitude != 0.0; }

// Clamped so that a log's absurd signal can neither vanish nor overflow the sums.
double plausibleDbm(float dbm) { return std::clamp(static_cast<double>(dbm), -150.0, 30.0); }

double weight(float dbm) { return std::pow(10.0, plausibleDbm(dbm) / WeightDbPerDecade); }

std::pair<double, double> centroid(const std::vector<Point>& pts)
{
    double sx = 0.0, sy = 0.0, sw = 0.0;
    for (const Point& p : pts) {
        sx += p.w * p.x;
        sy += p.w * p.y;
        sw += p.w;
    }
    return {sx / sw, sy / sw};
}

// 1 when the points lie on one line (one pass down one road: which side of it, and how far,
// the drive cannot tell), 0 when they spread evenly around.
double linearity(const std::vector<Point>& pts, double cx, double cy)
{
    double sxx = 0.0, syy = 0.0, sxy = 0.0, sw = 0.0;
    for (const Point& p : pts) {
        sxx += p.w * (p.x - cx) * (p.x - cx);
        syy += p.w * (p.y - cy) * (p.y - cy);
        sxy += p.w * (p.x - cx) * (p.y - cy);
        sw += p.w;
    }
    const double mean = (sxx + syy) / 2.0, d = std::sqrt((sxx - syy) * (sxx - syy) / 4.0 + sxy * sxy);
    const double major = mean + d, minor = std::max(mean - d, 0.0);
    return major <= 0.0 ? 1.0 : 1.0 - std::sqrt(minor / major);
}

double weightedRms(const std::vector<Point>& pts, double cx, double cy)
{
    double s = 0.0, sw = 0.0;
    for (const Point& p : pts) {
        s += p.w * ((p.x - cx) * (p.x - cx) + (p.y - cy) * (p.y - cy));
        sw += p.w;
    }
    return std::sqrt(s / sw);
}

// Drops the points farther from (cx, cy) than TrimDistanceFactor times their weighted median
// distance; keeps all when that would leave none.
std::vector<Point> trimFar(const std::vector<Point>& pts, double cx, double cy)
{
    std::vector<std::pair<double, double>> byDistance;   // distance, weight
    double total = 0.0;
    for (const Point& p : pts) {
        byDistance.emplace_back(std::hypot(p.x - cx, p.y - cy), p.w);
        total += p.w;
    }
    std::sort(byDistance.begin(), byDistance.end());
    double acc = 0.0, median = 0.0;
    for (const auto& [d, w] : byDistance) {
        acc += w;
        if (acc >= total / 2.0) {
            median = d;
            break;
        }
    }
    const double limit = std::max(TrimDistanceFactor * median, 1.0);
    std::vector<Point> kept;
    for (const Point& p : pts)
        if (std::hypot(p.x - cx, p.y - cy) <= limit)
            kept.push_back(p);
    return kept.empty() ? pts : kept;
}

} // namespace

QString methodName(Method method)
{
    switch (method) {
    case Method::Strongest:
        return QStringLiteral("strongest");
    case Method::Weighted:
        return QStringLiteral("weighted");
    case Method::Trimmed:
        return QStringLiteral("trimmed");
    }
    return {};
}

std::optional<Method> methodFromName(const QString& name)
{
    for (Method m : {Method::Strongest, Method::Weighted, Method::Trimmed})
        if (name.compare(methodName(m), Qt::CaseInsensitive) == 0)
            return m;
    return std::nullopt;
}

double metresBetween(double lat1, double lon1, double lat2, double lon2)
{
    return geo::centralAngle(lat1, lon1, lat2, lon2) * geo::unitPerRadian(MapUnit::Kilometres) * 1000.0;
}

std::optional<Estimate> estimate(std::span<const Sighting> sightings, Method method)
{
    const Sighting* strongest = nullptr;
    for (const Sighting& s : sightings)
        if (located(s) && (!strongest || s.signal > strongest->signal))
            strongest = &s;
    if (!strongest)
        return std::nullopt;
    const Local local(*strongest);
    const double window = method == Method::Trimmed ? TrimBelowStrongestDb : SpreadWindowDb;
    std::vector<Point> all, near;
    for (const Sighting& s : sightings) {
        if (!located(s))
            continue;
        const Point p{local.x(s), local.y(s), weight(s.signal)};
        all.push_back(p);
        if (s.signal >= strongest->signal - window)
            near.push_back(p);
    }
    double cx = 0.0, cy = 0.0;
    if (method == Method::Weighted) {
        std::tie(cx, cy) = centroid(all);
    } else if (method == Method::Trimmed) {
        std::tie(cx, cy) = centroid(near);
        near = trimFar(near, cx, cy);
        std::tie(cx, cy) = centroid(near);
    }
    const double scale = RadiusScale[static_cast<int>(method)];
    const double spread = weightedRms(near, cx, cy);
    Estimate e;
    e.latitude = local.lat0 + cy / MetresPerDegree;
    e.longitude = local.lon0 + cx / (MetresPerDegree * local.cosLat);
    const double range = std::pow(10.0, (RangeRefDbm - plausibleDbm(strongest->signal)) / RangeDbPerDecade);
    e.uncertaintyM = scale * (SpreadShare * spread + range * (1.0 + LineFactor * linearity(near, cx, cy)));
    return e;
}

} // namespace aero::position
