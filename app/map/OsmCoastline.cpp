#include "map/OsmCoastline.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <unordered_map>
#include <unordered_set>

namespace aero {

namespace {

// Position along the edge of `box`, going round it anticlockwise as the map is seen
// (north up): top edge westward, west edge southward, bottom eastward, east edge northward.
double perimeterPosition(const OsmBox& box, OsmPoint p)
{
    const double w = double(box.maxX) - box.minX, h = double(box.maxY) - box.minY;
    const double dTop = p.y - double(box.minY), dLeft = p.x - double(box.minX);
    const double dBottom = double(box.maxY) - p.y, dRight = double(box.maxX) - p.x;
    const double m = std::min({dTop, dLeft, dBottom, dRight});
    if (m == dTop) return double(box.maxX) - p.x;
    if (m == dLeft) return w + (p.y - double(box.minY));
    if (m == dBottom) return w + h + (p.x - double(box.minX));
    return 2 * w + h + (double(box.maxY) - p.y);
}

OsmPoint perimeterPoint(const OsmBox& box, double t)
{
    const double w = double(box.maxX) - box.minX, h = double(box.maxY) - box.minY;
    if (t < w) return {std::int32_t(box.maxX - t), box.minY};
    if (t < w + h) return {box.minX, std::int32_t(box.minY + (t - w))};
    if (t < 2 * w + h) return {std::int32_t(box.minX + (t - w - h)), box.maxY};
    return {box.maxX, std::int32_t(box.maxY - (t - 2 * w - h))};
}

// The parts of a line inside `box`, each starting and ending on its edge (Liang-Barsky).
std::vector<std::vector<OsmPoint>> clipToBox(const std::vector<OsmPoint>& line, const OsmBox& box)
{
    std::vector<std::vector<OsmPoint>> out;
    std::vector<OsmPoint> current;
    for (std::size_t i = 1; i < line.size(); ++i) {
        const double ax = line[i - 1].x, ay = line[i - 1].y, dx = line[i].x - ax, dy = line[i].y - ay;
        double t0 = 0, t1 = 1;
        bool visible = true;
        const double p[4] = {-dx, dx, -dy, dy};
        const double q[4] = {ax - box.minX, box.maxX - ax, ay - box.minY, box.maxY - ay};
        for (int k = 0; k < 4 && visible; ++k) {
            if (p[k] == 0) {
                visible = q[k] >= 0;
            } else {
                const double t = q[k] / p[k];
                if (p[k] < 0)
                    t0 = std::max(t0, t);
                else
                    t1 = std::min(t1, t);
                visible = t0 <= t1;
            }
        }
        if (!visible) {
            if (!current.empty())
                out.push_back(std::move(current)), current.clear();
            continue;
        }
        const OsmPoint a{std::int32_t(std::lround(ax + t0 * dx)), std::int32_t(std::lround(ay + t0 * dy))};
        const OsmPoint b{std::int32_t(std::lround(ax + t1 * dx)), std::int32_t(std::lround(ay + t1 * dy))};
        if (t0 > 0 && !current.empty())
            out.push_back(std::move(current)), current.clear();
        if (current.empty())
            current.push_back(a);
        current.push_back(b);
        if (t1 < 1)
            out.push_back(std::move(current)), current.clear();
    }
    if (current.size() >= 2)
        out.push_back(std::move(current));
    return out;
}

} // namespace

void joinCoastline(std::vector<OsmCoast>& coast)
{
    std::unordered_map<std::int64_t, std::size_t> startingAt;
    std::unordered_set<std::int64_t> endingAt;
    for (std::size_t i = 0; i < coast.size(); ++i)
        if (coast[i].first != coast[i].last) {
            startingAt.emplace(coast[i].first, i);
            endingAt.insert(coast[i].last);
        }
    std::vector<bool> taken(coast.size(), false);
    std::vector<OsmCoast> joined;
    auto follow = [&](std::size_t i) {
        taken[i] = true;
        OsmCoast c = std::move(coast[i]);
        while (c.first != c.last) {
            const auto next = startingAt.find(c.last);
            if (next == startingAt.end() || taken[next->second])
                break;
            taken[next->second] = true;
            const OsmCoast& piece = coast[next->second];
            c.points.insert(c.points.end(), piece.points.begin() + 1, piece.points.end());
            c.last = piece.last;
        }
        joined.push_back(std::move(c));
    };
    // Chains from their heads first, so every piece is copied once; what is left are rings.
    for (std::size_t i = 0; i < coast.size(); ++i)
        if (!taken[i] && coast[i].first != coast[i].last && !endingAt.contains(coast[i].first))
            follow(i);
    for (std::size_t i = 0; i < coast.size(); ++i)
        if (!taken[i])
            follow(i);
    coast = std::move(joined);
}

void addCoastline(std::vector<OsmCoast> coast, const OsmBox& box, OsmData& out)
{
    if (coast.empty() || box.isEmpty())
        return;
    joinCoastline(coast);
    out.beginFeature(OsmKind::Sea, true, 0, -1);
    out.addRing({{box.minX, box.minY}, {box.maxX, box.minY}, {box.maxX, box.maxY}, {box.minX, box.maxY}});
    out.endFeature();
    // Extracts keep whole coastline ways, reaching far beyond their box: cut them at its edge.
    std::vector<OsmCoast> pieces;
    for (OsmCoast& c : coast) {
        const bool inside = std::all_of(c.points.begin(), c.points.end(), [&](OsmPoint p) {
            return p.x >= box.minX && p.x <= box.maxX && p.y >= box.minY && p.y <= box.maxY;
        });
        if (c.first == c.last && inside) {
            out.beginFeature(OsmKind::Land, true, 0, -1);
            out.addRing(c.points);
            out.endFeature();
            continue;
        }
        for (std::vector<OsmPoint>& piece : clipToBox(c.points, box))
            pieces.push_back({0, 1, std::move(piece)});
    }
    // Each open piece by where it starts on the edge, so the next one round is a lookup.
    using Starts = std::multimap<double, std::size_t>;
    Starts starts;
    std::vector<Starts::iterator> startOf;
    startOf.reserve(pieces.size());
    for (std::size_t i = 0; i < pieces.size(); ++i)
        startOf.push_back(starts.emplace(perimeterPosition(box, pieces[i].points.front()), i));
    const double w = double(box.maxX) - box.minX, h = double(box.maxY) - box.minY;
    const double perimeter = 2.0 * (w + h);
    std::vector<bool> used(pieces.size(), false);
    for (std::size_t first = 0; first < pieces.size(); ++first) {
        if (used[first])
            continue;
        std::vector<OsmPoint> ring;
        std::size_t cur = first;
        for (std::size_t guard = 0; guard <= pieces.size(); ++guard) {
            used[cur] = true;
            ring.insert(ring.end(), pieces[cur].points.begin(), pieces[cur].points.end());
            // The next piece whose start comes first going on round the edge (this ring's first
            // piece stays among them until the ring closes).
            const double from = perimeterPosition(box, pieces[cur].points.back());
            auto it = starts.lower_bound(from);
            double best = 0;
            if (it == starts.end()) {
                it = starts.begin();
                best = it->first - from + perimeter;
            } else {
                best = it->first - from;
            }
            const std::size_t next = it->second;
            // The corners passed on the way.
            std::vector<std::pair<double, double>> corners;   // distance on, position
            for (double corner : {w, w + h, 2 * w + h, perimeter}) {
                double d = corner - from;
                if (d <= 0)
                    d += perimeter;
                if (d < best)
                    corners.emplace_back(d, std::fmod(corner, perimeter));
            }
            std::sort(corners.begin(), corners.end());
            for (const auto& [d, at] : corners)
                ring.push_back(perimeterPoint(box, at));
            if (next == first)
                break;
            starts.erase(startOf[next]);
            cur = next;
        }
        starts.erase(startOf[first]);
        out.beginFeature(OsmKind::Land, true, 0, -1);
        out.addRing(ring);
        out.endFeature();
    }
}

} // namespace aero
