// Spatial queries of the marker store: box (culling, hit tests) and nearest marker.
#include "map/MarkerStore.h"

#include <algorithm>

namespace aero {

void MarkerStore::ensureIndex() const
{
    // A long side list makes every query slow; past this it is cheaper to rebuild.
    const std::size_t limit = 64 + std::size_t(m_live) / 32;
    if (m_treeValid && m_pending.size() <= limit)
        return;
    std::vector<KdPoint> points;
    points.reserve(std::size_t(m_live));
    for (std::size_t p = 0; p < m_markers.size(); ++p) {
        const Marker& m = m_markers[p];
        m.pending = false;
        m.inTree = m.alive;
        if (m.alive)
            points.push_back({m.where.lat, m.where.lon, std::uint32_t(p)});
    }
    m_tree.build(std::move(points));
    m_pending.clear();
    m_treeValid = true;
}

std::vector<const Marker*> MarkerStore::inBox(double minLat, double maxLat, double minLon, double maxLon) const
{
    ensureIndex();
    std::vector<std::uint32_t> hits;
    m_tree.visitBox(minLat, maxLat, minLon, maxLon, [&](std::uint32_t p) {
        if (m_markers[p].alive && m_markers[p].inTree)
            hits.push_back(p);
    });
    for (std::uint32_t p : m_pending) {
        const Marker& m = m_markers[p];
        if (m.alive && m.where.lat >= minLat && m.where.lat <= maxLat && m.where.lon >= minLon && m.where.lon <= maxLon)
            hits.push_back(p);
    }
    std::vector<const Marker*> out;
    out.reserve(hits.size());
    if (hits.size() > m_markers.size() / 8) {
        // Most markers are in the box: a flag per position beats sorting.
        std::vector<bool> hit(m_markers.size(), false);
        for (std::uint32_t p : hits)
            hit[p] = true;
        for (std::size_t p = 0; p < m_markers.size(); ++p)
            if (hit[p])
                out.push_back(&m_markers[p]);
        return out;
    }
    std::sort(hits.begin(), hits.end());
    for (std::uint32_t p : hits)
        out.push_back(&m_markers[p]);
    return out;
}

std::optional<MarkerId> MarkerStore::nearest(const Location& where, const QString& skipName, MapUnit unit) const
{
    ensureIndex();
    auto measure = [&](std::uint32_t p) -> std::optional<double> {
        const Marker& m = m_markers[p];
        if (!m.alive || (!skipName.isEmpty() && m.name == skipName))
            return std::nullopt;
        return geo::distance(where, m.where, unit);
    };
    KdTree::Best best;
    m_tree.nearest(where.lat, where.lon, geo::unitPerRadian(unit), best, [&](std::uint32_t p) -> std::optional<double> {
        return m_markers[p].inTree ? measure(p) : std::nullopt;
    });
    for (std::uint32_t p : m_pending)
        if (const auto d = measure(p))
            best.offer(*d, p);
    if (!best.found)
        return std::nullopt;
    return m_markers[best.key].id;
}

} // namespace aero
