// The extract read with libosmium in two passes: the multipolygon relations first (so areas
// made of several ways can be assembled), then nodes, ways and areas with every way's node
// locations filled in from an in-memory index.
#include "map/OsmExtract.h"
#include "map/OsmCoastline.h"

#include <QFileInfo>
#include <QHash>

#include <osmium/area/assembler.hpp>
#include <osmium/area/multipolygon_manager.hpp>
#include <osmium/handler.hpp>
#include <osmium/handler/node_locations_for_ways.hpp>
#include <osmium/index/map/flex_mem.hpp>
#include <osmium/io/pbf_input.hpp>
#include <osmium/io/xml_input.hpp>
#include <osmium/relations/relations_manager.hpp>
#include <osmium/visitor.hpp>

#include <cmath>
#include <cstring>
#include <numbers>
#include <optional>
#include <unordered_map>

namespace aero {

namespace {

using Index = osmium::index::map::FlexMem<osmium::unsigned_object_id_type, osmium::Location>;
using LocationHandler = osmium::handler::NodeLocationsForWays<Index>;

OsmPoint toWorld(const osmium::Location& l)
{
    constexpr double MaxLat = 85.0511287798066;
    const double lat = std::clamp(l.lat(), -MaxLat, MaxLat) * std::numbers::pi / 180.0;
    const double x = (l.lon() + 180.0) / 360.0;
    const double y = 0.5 - std::log(std::tan(std::numbers::pi / 4 + lat / 2)) / (2 * std::numbers::pi);
    return {std::int32_t(std::lround(x * OsmWorldScale)), std::int32_t(std::lround(y * OsmWorldScale))};
}

bool is(const char* value, std::initializer_list<const char*> any)
{
    if (!value)
        return false;
    for (const char* a : any)
        if (!std::strcmp(value, a))
            return true;
    return false;
}

// Country, region and county borders (admin levels 2, 4 and 6); 0 for the rest.
std::uint8_t borderLevel(const osmium::TagList& tags)
{
    const char* level = tags["admin_level"];
    return is(level, {"2"}) ? 2 : is(level, {"4"}) ? 4 : is(level, {"6"}) ? 6 : 0;
}

// Lines: roads by class, railways, waterways, borders.
std::optional<OsmKind> lineKind(const osmium::TagList& tags)
{
    if (const char* h = tags["highway"]) {
        if (is(h, {"motorway", "motorway_link"})) return OsmKind::Motorway;
        if (is(h, {"trunk", "trunk_link"})) return OsmKind::Trunk;
        if (is(h, {"primary", "primary_link"})) return OsmKind::Primary;
        if (is(h, {"secondary", "secondary_link"})) return OsmKind::Secondary;
        if (is(h, {"tertiary", "tertiary_link"})) return OsmKind::Tertiary;
        if (is(h, {"residential", "unclassified", "living_street", "road", "pedestrian"})) return OsmKind::Residential;
        if (is(h, {"service"})) return OsmKind::Service;
        if (is(h, {"track"})) return OsmKind::Track;
        if (is(h, {"footway", "path", "cycleway", "steps", "bridleway"})) return OsmKind::Path;
        return std::nullopt;
    }
    if (is(tags["railway"], {"rail", "light_rail", "narrow_gauge", "tram", "subway"}))
        return OsmKind::Railway;
    if (const char* w = tags["waterway"]) {
        if (is(w, {"river", "canal"})) return OsmKind::River;
        if (is(w, {"stream", "ditch", "drain"})) return OsmKind::Stream;
    }
    if (is(tags["boundary"], {"administrative"}) && borderLevel(tags))
        return OsmKind::Border;
    return std::nullopt;
}

// Areas: water, woods, parks, buildings.
std::optional<OsmKind> areaKind(const osmium::TagList& tags)
{
    if (is(tags["natural"], {"water", "bay"}) || is(tags["waterway"], {"riverbank", "dock"}) ||
        is(tags["landuse"], {"reservoir", "basin"}) || tags["water"])
        return OsmKind::Water;
    if (is(tags["natural"], {"wood", "scrub"}) || is(tags["landuse"], {"forest"}))
        return OsmKind::Wood;
    if (is(tags["leisure"], {"park", "garden", "golf_course", "nature_reserve", "pitch"}) ||
        is(tags["landuse"], {"grass", "meadow", "recreation_ground", "village_green", "cemetery"}))
        return OsmKind::Park;
    if (const char* b = tags["building"]; b && std::strcmp(b, "no") != 0)
        return OsmKind::Building;
    const char* use = tags["landuse"];
    if (is(use, {"residential"}))
        return OsmKind::Housing;
    if (is(use, {"commercial", "retail"}))
        return OsmKind::Commerce;
    if (is(use, {"industrial", "railway", "port", "quarry", "construction", "brownfield"}))
        return OsmKind::Industry;
    if (is(use, {"farmland", "farmyard", "allotments", "greenhouse_horticulture"}))
        return OsmKind::Farmland;
    if (is(use, {"vineyard", "orchard", "plant_nursery"}))
        return OsmKind::Orchard;
    if (is(tags["natural"], {"grassland", "heath"}))
        return OsmKind::Grass;
    return std::nullopt;
}

std::uint8_t placeRank(const char* place)
{
    if (is(place, {"city"})) return 1;
    if (is(place, {"town"})) return 2;
    if (is(place, {"village", "suburb"})) return 3;
    if (is(place, {"hamlet", "neighbourhood", "quarter", "locality"})) return 4;
    return 0;
}

osmium::TagsFilter areaFilter()
{
    osmium::TagsFilter f{false};
    for (const char* key : {"building", "water", "landuse", "leisure", "natural", "waterway"})
        f.add_rule(true, osmium::TagMatcher{key});
    return f;
}

struct Street {
    OsmKind kind;
    std::int32_t name;
    osmium::object_id_type first, last;
    std::vector<OsmPoint> points;
};

// Joins ways of one name and class that meet end to start (or end to end, turning one round).
void addStreets(std::vector<Street> streets, OsmData& out)
{
    std::unordered_multimap<osmium::object_id_type, std::size_t> byEnd;
    std::vector<bool> gone(streets.size(), false);
    for (std::size_t i = 0; i < streets.size(); ++i) {
        byEnd.emplace(streets[i].first, i);
        byEnd.emplace(streets[i].last, i);
    }
    auto partner = [&](std::size_t i, osmium::object_id_type node) -> std::optional<std::size_t> {
        const auto [from, to] = byEnd.equal_range(node);
        for (auto it = from; it != to; ++it)
            if (it->second != i && !gone[it->second] && streets[it->second].name == streets[i].name &&
                streets[it->second].kind == streets[i].kind && streets[it->second].first != streets[it->second].last)
                return it->second;
        return std::nullopt;
    };
    for (std::size_t i = 0; i < streets.size(); ++i) {
        if (gone[i])
            continue;
        Street& s = streets[i];
        while (s.first != s.last) {
            const auto j = partner(i, s.last);
            if (!j)
                break;
            Street& t = streets[*j];
            if (t.first != s.last)
                std::reverse(t.points.begin(), t.points.end()), std::swap(t.first, t.last);
            s.points.insert(s.points.end(), t.points.begin() + 1, t.points.end());
            s.last = t.last;
            gone[*j] = true;
            byEnd.emplace(s.last, i);
        }
        out.beginFeature(s.kind, false, 0, s.name);
        out.addRing(s.points);
        out.endFeature();
    }
}

class Collector : public osmium::handler::Handler {
public:
    explicit Collector(OsmData& out) : m_out(out) {}

    void node(const osmium::Node& n)
    {
        ++nodes;
        const std::uint8_t rank = placeRank(n.tags()["place"]);
        const char* name = n.tags()["name"];
        if (!rank || !name || !n.location().valid())
            return;
        m_out.beginFeature(OsmKind::Place, false, rank, nameIndex(name));
        m_out.addRing({toWorld(n.location())});
        m_out.endFeature();
    }

    void way(const osmium::Way& w)
    {
        ++ways;
        if (is(w.tags()["natural"], {"coastline"}) && w.nodes().size() >= 2) {
            OsmCoast c{w.nodes().front().ref(), w.nodes().back().ref(), {}};
            for (const osmium::NodeRef& r : w.nodes())
                if (r.location().valid())
                    c.points.push_back(toWorld(r.location()));
            if (c.points.size() >= 2)
                coast.push_back(std::move(c));
            return;
        }
        const auto kind = lineKind(w.tags());
        if (!kind)
            return;
        m_ring.clear();
        for (const osmium::NodeRef& r : w.nodes())
            if (r.location().valid())
                m_ring.push_back(toWorld(r.location()));
        if (m_ring.size() < 2 || m_ring.size() != w.nodes().size()) {
            ++skipped;   // cut off at the extract's edge or broken
            if (m_ring.size() < 2)
                return;
        }
        const bool named = (*kind >= OsmKind::Residential && *kind <= OsmKind::Motorway) || *kind == OsmKind::River;
        const char* name = named ? w.tags()["name"] : nullptr;
        if (name && m_ring.size() == w.nodes().size()) {
            // Streets come in many short ways; joined up they have room for their names.
            streets.push_back({*kind, nameIndex(name), w.nodes().front().ref(), w.nodes().back().ref(), m_ring});
            return;
        }
        m_out.beginFeature(*kind, false, *kind == OsmKind::Border ? borderLevel(w.tags()) : 0, name ? nameIndex(name) : -1);
        m_out.addRing(m_ring);
        m_out.endFeature();
    }

    void area(const osmium::Area& a)
    {
        const auto kind = areaKind(a.tags());
        if (!kind)
            return;
        const char* name = *kind == OsmKind::Water ? a.tags()["name"] : nullptr;
        m_out.beginFeature(*kind, true, 0, name ? nameIndex(name) : -1);
        for (const osmium::OuterRing& outer : a.outer_rings()) {
            addRing(outer);
            for (const osmium::InnerRing& inner : a.inner_rings(outer))
                addRing(inner);
        }
        m_out.endFeature();
    }

    void relation(const osmium::Relation&) { ++relations; }

    qint64 nodes = 0, ways = 0, relations = 0, skipped = 0;
    std::vector<OsmCoast> coast;
    std::vector<Street> streets;

private:
    std::int32_t nameIndex(const char* name)
    {
        const QString n = QString::fromUtf8(name);
        const auto it = m_names.constFind(n);
        if (it != m_names.constEnd())
            return *it;
        const std::int32_t i = m_out.addName(n);
        m_names.insert(n, i);
        return i;
    }
    void addRing(const osmium::NodeRefList& ring)
    {
        m_ring.clear();
        for (const osmium::NodeRef& r : ring)
            m_ring.push_back(toWorld(r.location()));
        m_out.addRing(m_ring);
    }

    OsmData& m_out;
    QHash<QString, std::int32_t> m_names;
    std::vector<OsmPoint> m_ring;
};

// Share of the whole reading done by the relations pass.
constexpr int RelationPassPercent = 20;

} // namespace

OsmReadResult readOsmExtract(const QString& path, OsmData& out, const OsmProgress& progress)
{
    using S = OsmReadResult::Status;
    OsmReadResult result;
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable())
        return {S::CannotOpen, QStringLiteral("cannot read %1").arg(path)};
    const double size = std::max<double>(1.0, double(info.size()));
    const osmium::io::File file{info.absoluteFilePath().toStdString()};
    OsmData data;
    try {
        osmium::area::Assembler::config_type config;
        osmium::area::MultipolygonManager<osmium::area::Assembler> areas{config, areaFilter()};
        {
            osmium::io::Reader relations{file, osmium::osm_entity_bits::relation};
            while (osmium::memory::Buffer buffer = relations.read()) {
                osmium::apply(buffer, areas);
                if (progress && !progress(int(RelationPassPercent * double(relations.offset()) / size)))
                    return {S::Cancelled, {}};
            }
            relations.close();
            areas.prepare_for_lookup();
        }
        Index index;
        LocationHandler locations{index};
        locations.ignore_errors();   // ways cut at the extract's edge lack some nodes
        Collector collector{data};
        osmium::io::Reader reader{file};
        const osmium::Box header = reader.header().box();
        auto assembled = areas.handler([&collector](osmium::memory::Buffer&& b) { osmium::apply(b, collector); });
        while (osmium::memory::Buffer buffer = reader.read()) {
            osmium::apply(buffer, locations, collector, assembled);
            const int done = RelationPassPercent + int((100 - RelationPassPercent) * double(reader.offset()) / size);
            if (progress && !progress(std::min(99, done)))
                return {S::Cancelled, {}};
        }
        reader.close();
        result.nodes = collector.nodes, result.ways = collector.ways, result.relations = collector.relations;
        result.skipped = collector.skipped;
        OsmBox box;
        if (header.valid())
            box.add(toWorld(header.bottom_left())), box.add(toWorld(header.top_right()));
        else
            box = data.bounds;
        addCoastline(std::move(collector.coast), box, data);
        addStreets(std::move(collector.streets), data);
    } catch (const std::exception& e) {
        return {S::NotAnExtract, QString::fromLocal8Bit(e.what())};
    }
    if (result.nodes == 0 && result.ways == 0)
        return {S::NotAnExtract, QStringLiteral("no OpenStreetMap data in %1").arg(path)};
    data.sourceSize = info.size();
    data.sourceModified = info.lastModified().toMSecsSinceEpoch();
    data.buildIndex();
    result.features = qint64(data.features.size());
    out = std::move(data);
    if (progress)
        progress(100);
    return result;
}

} // namespace aero
