#pragma once
// The field companion's engine: the plotted APs nearest a position, and the watched ones within
// an alert distance, through a spatial index of the AP table that is rebuilt only when the
// table changed. Pure: positions in, slots and distances out.
//
//   NearbyAps nearby;
//   nearby.sync(apList);                                   // cheap when nothing changed
//   for (const NearbyAp& n : nearby.nearest(lat, lon, 5)) ...
//   nearby.watchedWithin(lat, lon, 0.1, WatchList("CorpNet*\n00:11:22"));
#include "domain/APList.h"
#include "domain/KdTree.h"

#include <QRegularExpression>
#include <QString>
#include <cstdint>
#include <vector>

namespace aero {

// SSIDs, MAC addresses and vendor prefixes to look out for, one a line; "*" and "?" are
// wildcards, case does not matter. A line of three MAC bytes ("00:11:22", "00-11-22",
// "001122") is a vendor prefix: it matches every MAC that starts with it.
class WatchList {
public:
    WatchList() = default;
    explicit WatchList(const QString& lines);
    bool empty() const { return m_patterns.empty(); }
    bool matches(const AccessPoint& ap) const;

private:
    std::vector<QRegularExpression> m_patterns;
};

struct NearbyAp {
    int slot = 0;
    double km = 0.0;
    double bearing = 0.0;   // degrees from true north
    bool operator==(const NearbyAp&) const = default;
};

class NearbyAps {
public:
    // Rebuilds the index from the plotted APs with coordinates when the table changed.
    void sync(const APList& list);
    std::size_t size() const { return m_tree.size(); }

    // The `count` nearest, nearest first; ties go to the earlier slot.
    std::vector<NearbyAp> nearest(double lat, double lon, std::size_t count) const;
    // Watched APs no farther than `km`, nearest first.
    std::vector<NearbyAp> watchedWithin(double lat, double lon, double km, const WatchList& watch) const;

private:
    NearbyAp measure(double lat, double lon, std::uint32_t slot) const;

    const APList* m_list = nullptr;
    std::uint64_t m_revision = 0;
    bool m_built = false;
    KdTree m_tree;
};

// "NE 45°"-style text of a bearing: the nearest of the eight compass points and the degrees.
QString bearingText(double degrees);

} // namespace aero
