#pragma once
// Marker set 1: markers in map (insertion) order with stable ids, a name index for
// "first marker of that name" and a spatial index for culling, hit tests and nearest search.
// The spatial index is rebuilt lazily; markers added or moved since the last build wait in a
// short side list, so a marker moved every second costs nothing until the next query.
#include "domain/KdTree.h"
#include "map/MapService.h"

#include <QHash>
#include <QPointF>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace aero {

struct Marker {
    MarkerId id = 0;
    QString name;
    QString note;
    int symbol = DefaultSymbol;
    Location where;
    QPointF world;           // Web Mercator position, kept with `where` so drawing needs no trigonometry
    int displayState = 0;
    ForeignData foreignData;  // kept from another program's KML, written back with the map
    bool transient = false;  // shown, but not part of the map: never saved (the live position)
    bool alive = true;
    mutable bool inTree = false;     // the tree's entry for this marker is current
    mutable bool pending = false;    // waiting in the side list
    MarkerId prevSameName = 0;
    MarkerId nextSameName = 0;
};

class MarkerStore {
public:
    MarkerId add(const Location& where, const QString& name);
    void remove(MarkerId id);
    void clear();

    int count() const { return m_live; }
    const Marker* find(MarkerId id) const;
    Marker* find(MarkerId id);
    void move(MarkerId id, const Location& where);
    std::optional<MarkerId> firstNamed(const QString& name) const;

    std::vector<MarkerId> ids() const;
    template <class F> void forEach(F&& f) const
    {
        for (const Marker& m : m_markers)
            if (m.alive)
                f(m);
    }

    // Markers inside a latitude/longitude box, in map order.
    std::vector<const Marker*> inBox(double minLat, double maxLat, double minLon, double maxLon) const;
    // Nearest by great-circle distance in `unit`, skipping markers named `skipName`
    // (an empty `skipName` skips nothing); ties go to the earlier marker.
    std::optional<MarkerId> nearest(const Location& where, const QString& skipName, MapUnit unit) const;

private:
    std::size_t positionOf(MarkerId id) const;   // npos when unknown
    void linkName(Marker& m);
    void unlinkName(Marker& m);
    void touch(std::size_t position);
    void compact();
    void ensureIndex() const;

    static constexpr std::size_t npos = std::size_t(-1);

    std::vector<Marker> m_markers;            // map order; removed markers linger until compaction
    std::vector<std::uint32_t> m_position;    // id -> position + 1, 0 when gone
    struct NameChain { MarkerId first = 0; MarkerId last = 0; };
    QHash<QString, NameChain> m_names;
    MarkerId m_nextId = 1;
    int m_live = 0;
    int m_dead = 0;

    mutable KdTree m_tree;
    mutable std::vector<std::uint32_t> m_pending;   // positions added or moved since the build
    mutable bool m_treeValid = false;
};

} // namespace aero
