#include "domain/KdTree.h"

#include <algorithm>

namespace aero {

void KdTree::clear()
{
    m_points.clear();
    m_nodes.clear();
}

void KdTree::build(std::vector<KdPoint> points)
{
    m_points = std::move(points);
    m_nodes.clear();
    if (m_points.empty())
        return;
    m_nodes.reserve(2 * (m_points.size() / LeafSize + 1));
    buildNode(0, std::uint32_t(m_points.size()));
}

std::int32_t KdTree::buildNode(std::uint32_t begin, std::uint32_t end)
{
    Node n{};
    n.minLat = n.minLon = std::numeric_limits<double>::infinity();
    n.maxLat = n.maxLon = -std::numeric_limits<double>::infinity();
    for (std::uint32_t p = begin; p < end; ++p) {
        n.minLat = std::min(n.minLat, m_points[p].lat);
        n.maxLat = std::max(n.maxLat, m_points[p].lat);
        n.minLon = std::min(n.minLon, m_points[p].lon);
        n.maxLon = std::max(n.maxLon, m_points[p].lon);
    }
    n.begin = begin;
    n.end = end;
    const auto index = std::int32_t(m_nodes.size());
    m_nodes.push_back(n);
    if (end - begin <= LeafSize)
        return index;
    // Split the longer side of the box at the median.
    const bool byLat = (n.maxLat - n.minLat) > (n.maxLon - n.minLon);
    const std::uint32_t mid = begin + (end - begin) / 2;
    std::nth_element(m_points.begin() + begin, m_points.begin() + mid, m_points.begin() + end,
                     [byLat](const KdPoint& a, const KdPoint& b) { return byLat ? a.lat < b.lat : a.lon < b.lon; });
    const std::int32_t left = buildNode(begin, mid);
    const std::int32_t right = buildNode(mid, end);
    m_nodes[std::size_t(index)].left = left;
    m_nodes[std::size_t(index)].right = right;
    return index;
}

} // namespace aero
