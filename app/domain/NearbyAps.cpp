#include "domain/NearbyAps.h"

#include "domain/Geo.h"

#include <algorithm>
#include <cmath>

namespace aero {
namespace {

// Three MAC bytes with or without separators.
const QRegularExpression VendorPrefix(QStringLiteral("^[0-9A-Fa-f]{2}([:-]?)[0-9A-Fa-f]{2}\\1[0-9A-Fa-f]{2}$"));

QString macDigits(QString mac) { return mac.remove(QLatin1Char(':')).remove(QLatin1Char('-')).toUpper(); }

} // namespace

WatchList::WatchList(const QString& lines)
{
    for (QString line : lines.split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.isEmpty())
            continue;
        if (VendorPrefix.match(line).hasMatch())
            line = macDigits(line) + QLatin1Char('*');
        m_patterns.emplace_back(QRegularExpression::wildcardToRegularExpression(line, QRegularExpression::UnanchoredWildcardConversion),
                                QRegularExpression::CaseInsensitiveOption);
        // Anchored by hand: the whole SSID or MAC must match, not a part of it.
        m_patterns.back().setPattern(QStringLiteral("^(?:%1)$").arg(m_patterns.back().pattern()));
    }
}

bool WatchList::matches(const AccessPoint& ap) const
{
    const QString digits = macDigits(ap.MAC);
    return std::any_of(m_patterns.begin(), m_patterns.end(), [&](const QRegularExpression& p) {
        return p.match(ap.SSID).hasMatch() || p.match(ap.MAC).hasMatch() || p.match(digits).hasMatch();
    });
}

void NearbyAps::sync(const APList& list)
{
    if (m_built && m_list == &list && m_revision == list.revision())
        return;
    std::vector<KdPoint> points;
    for (int slot = 1; slot <= list.count(); ++slot) {
        const AccessPoint& ap = list.at(slot);
        if (ap.Plotted && ap.hasCoordinates())
            points.push_back({ap.Latitude, ap.Longitude, static_cast<std::uint32_t>(slot)});
    }
    m_tree.build(std::move(points));
    m_list = &list;
    m_revision = list.revision();
    m_built = true;
}

NearbyAp NearbyAps::measure(double lat, double lon, std::uint32_t slot) const
{
    const AccessPoint& ap = m_list->at(static_cast<int>(slot));
    const Location here{lat, lon, 0.0}, there{ap.Latitude, ap.Longitude, 0.0};
    return {static_cast<int>(slot), geo::distance(here, there, MapUnit::Kilometres), geo::bearing(here, there)};
}

std::vector<NearbyAp> NearbyAps::nearest(double lat, double lon, std::size_t count) const
{
    if (!m_built)
        return {};
    KdTree::KBest best(count);
    const Location here{lat, lon, 0.0};
    m_tree.nearest(lat, lon, geo::unitPerRadian(MapUnit::Kilometres), best, [&](std::uint32_t slot) -> std::optional<double> {
        const AccessPoint& ap = m_list->at(static_cast<int>(slot));
        return geo::distance(here, {ap.Latitude, ap.Longitude, 0.0}, MapUnit::Kilometres);
    });
    std::vector<NearbyAp> out;
    for (const auto& hit : best.sorted())
        out.push_back(measure(lat, lon, hit.key));
    return out;
}

std::vector<NearbyAp> NearbyAps::watchedWithin(double lat, double lon, double km, const WatchList& watch) const
{
    std::vector<NearbyAp> out;
    if (!m_built || watch.empty() || km <= 0.0)
        return out;
    // A box a little larger than the circle; the exact distance decides.
    const double dLat = km / geo::unitPerDegree(MapUnit::Kilometres) * 1.01;
    const double cosLat = std::cos(std::min(std::abs(lat) + dLat, 89.9) * 3.14159265358979323846 / 180.0);
    const double dLon = std::min(dLat / cosLat, 180.0);
    m_tree.visitBox(lat - dLat, lat + dLat, lon - dLon, lon + dLon, [&](std::uint32_t slot) {
        const NearbyAp n = measure(lat, lon, slot);
        if (n.km <= km && watch.matches(m_list->at(n.slot)))
            out.push_back(n);
    });
    std::sort(out.begin(), out.end(), [](const NearbyAp& a, const NearbyAp& b) { return a.km < b.km || (a.km == b.km && a.slot < b.slot); });
    return out;
}

QString bearingText(double degrees)
{
    static const char* const points[] = {"N", "NE", "E", "SE", "S", "SW", "W", "NW"};
    const int rounded = static_cast<int>(std::lround(degrees)) % 360;
    const int point = static_cast<int>(std::lround(degrees / 45.0)) % 8;
    return QStringLiteral("%1 %2\u00b0").arg(QLatin1String(points[point])).arg(rounded);
}

} // namespace aero
