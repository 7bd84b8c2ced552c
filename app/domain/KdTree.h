#pragma once
// A static 2-d tree over longitude/latitude points, rebuilt in one go (about 20 ms for
// 100000 points). Keys are the callers' own numbers; a smaller key means earlier in map order,
// which settles ties in the nearest search exactly as a walk in map order would.
#include "domain/Geo.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

namespace aero {

struct KdPoint {
    double lat = 0.0;
    double lon = 0.0;
    std::uint32_t key = 0;
};

class KdTree {
public:
    void build(std::vector<KdPoint> points);
    void clear();
    bool empty() const { return m_points.empty(); }
    std::size_t size() const { return m_points.size(); }

    template <class F> void visitBox(double minLat, double maxLat, double minLon, double maxLon, F&& visit) const
    {
        if (!m_nodes.empty())
            visitNode(0, minLat, maxLat, minLon, maxLon, visit);
    }

    struct Best {
        double distance = std::numeric_limits<double>::infinity();
        std::uint32_t key = std::numeric_limits<std::uint32_t>::max();
        bool found = false;
        // Strictly smaller wins; an equal distance wins only for an earlier key.
        void offer(double d, std::uint32_t k)
        {
            if (d < distance || (d == distance && k < key)) {
                distance = d;
                key = k;
                found = true;
            }
        }
        double limit() const { return distance; }
    };

    // The `count` nearest, kept as a heap with the farthest on top; ties go to earlier keys.
    struct KBest {
        explicit KBest(std::size_t count) : count(count) {}
        struct Hit {
            double distance;
            std::uint32_t key;
            bool operator<(const Hit& o) const { return distance < o.distance || (distance == o.distance && key < o.key); }
        };
        std::size_t count;
        std::vector<Hit> hits;
        void offer(double d, std::uint32_t k)
        {
            const Hit hit{d, k};
            if (hits.size() < count) {
                hits.push_back(hit);
                std::push_heap(hits.begin(), hits.end());
            } else if (count > 0 && hit < hits.front()) {
                std::pop_heap(hits.begin(), hits.end());
                hits.back() = hit;
                std::push_heap(hits.begin(), hits.end());
            }
        }
        double limit() const { return hits.size() < count ? std::numeric_limits<double>::infinity() : hits.front().distance; }
        // Nearest first.
        std::vector<Hit> sorted() const
        {
            std::vector<Hit> out = hits;
            std::sort_heap(out.begin(), out.end());
            return out;
        }
    };

    // `measure(key)` gives a point's distance in the caller's unit, or nullopt to skip it.
    // `unitPerRadian` turns the tree's angular bounds into that unit.
    // `best` is a Best or a KBest.
    template <class B, class F> void nearest(double lat, double lon, double unitPerRadian, B& best, F&& measure) const
    {
        if (!m_nodes.empty())
            nearestNode(0, lat, lon, unitPerRadian, best, measure);
    }

private:
    struct Node {
        double minLat, maxLat, minLon, maxLon;
        std::int32_t left = -1, right = -1;   // children, -1 for a leaf
        std::uint32_t begin = 0, end = 0;     // points of a leaf
    };
    static constexpr std::uint32_t LeafSize = 8;
    // Bounds carry rounding of a different formula than the distance itself.
    static constexpr double BoundSlack = 1e-7;

    std::int32_t buildNode(std::uint32_t begin, std::uint32_t end);

    template <class F> void visitNode(std::int32_t i, double minLat, double maxLat, double minLon, double maxLon, F& visit) const
    {
        const Node& n = m_nodes[std::size_t(i)];
        if (n.maxLat < minLat || n.minLat > maxLat || n.maxLon < minLon || n.minLon > maxLon)
            return;
        if (n.left < 0) {
            for (std::uint32_t p = n.begin; p < n.end; ++p) {
                const KdPoint& k = m_points[p];
                if (k.lat >= minLat && k.lat <= maxLat && k.lon >= minLon && k.lon <= maxLon)
                    visit(k.key);
            }
            return;
        }
        visitNode(n.left, minLat, maxLat, minLon, maxLon, visit);
        visitNode(n.right, minLat, maxLat, minLon, maxLon, visit);
    }

    double bound(const Node& n, double lat, double lon, double unitPerRadian) const
    {
        const double a = geo::minAngleToBox(lat, lon, n.minLat, n.maxLat, n.minLon, n.maxLon);
        return (a - BoundSlack) * unitPerRadian;
    }

    template <class B, class F> void nearestNode(std::int32_t i, double lat, double lon, double upr, B& best, F& measure) const
    {
        const Node& n = m_nodes[std::size_t(i)];
        if (n.left < 0) {
            for (std::uint32_t p = n.begin; p < n.end; ++p) {
                if (const auto d = measure(m_points[p].key))
                    best.offer(*d, m_points[p].key);
            }
            return;
        }
        const Node& l = m_nodes[std::size_t(n.left)];
        const Node& r = m_nodes[std::size_t(n.right)];
        double bl = bound(l, lat, lon, upr), br = bound(r, lat, lon, upr);
        std::int32_t first = n.left, second = n.right;
        if (br < bl) {
            std::swap(first, second);
            std::swap(bl, br);
        }
        if (bl <= best.limit())
            nearestNode(first, lat, lon, upr, best, measure);
        if (br <= best.limit())
            nearestNode(second, lat, lon, upr, best, measure);
    }

    std::vector<KdPoint> m_points;
    std::vector<Node> m_nodes;
};

} // namespace aero
