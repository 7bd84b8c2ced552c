#pragma once
// What the map keeps of an OpenStreetMap extract: roads, railways, water, green areas,
// buildings and places, as classed features in Web Mercator world coordinates (fixed point),
// with a grid index for the features of a screen tile. Read once from the extract
// (OsmExtractReader) and kept in a compact cache file that loads in a fraction of the time.
//
//   OsmData data;
//   QFile f(cachePath); f.open(QIODevice::ReadOnly);
//   if (const OsmCacheResult r = readOsmCache(f, data); r.status == OsmCacheResult::Status::Ok)
//       data.forEachIn(box, [&](const OsmFeature& f) { ... });
//
// Qt Core only.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

class QIODevice;

namespace aero {

// Drawing order: areas first (land use under water, woods and parks), then waterways, roads
// from the smallest up, railways, borders, places.
enum class OsmKind : std::uint8_t {
    Sea, Land,          // from the coastline: the sea within the extract, then land over it
    Housing, Commerce, Industry, Farmland, Orchard, Grass,   // land use
    Water, Wood, Park, Building,
    River, Stream,
    Path, Track, Service, Residential, Tertiary, Secondary, Primary, Trunk, Motorway,
    Railway,
    Border,             // administrative boundaries: rank 2 country, 4 region, 6 county
    Place,
    Count
};

// World coordinates (0..1, y down) scaled by 2^30: about 4 cm at the equator.
struct OsmPoint {
    std::int32_t x = 0, y = 0;
    bool operator==(const OsmPoint&) const = default;
};
inline constexpr double OsmWorldScale = double(1 << 30);

struct OsmBox {
    std::int32_t minX = INT32_MAX, minY = INT32_MAX, maxX = INT32_MIN, maxY = INT32_MIN;
    void add(OsmPoint p);
    void add(const OsmBox& b);
    bool isEmpty() const { return minX > maxX; }
    bool intersects(const OsmBox& b) const
    {
        return !(b.minX > maxX || b.maxX < minX || b.minY > maxY || b.maxY < minY);
    }
    bool operator==(const OsmBox&) const = default;
};

struct OsmFeature {
    OsmKind kind = OsmKind::Residential;
    bool area = false;              // filled rings (odd-even), else polylines
    std::uint8_t rank = 0;          // places: 1 city, 2 town, 3 village or suburb, 4 smaller; borders: admin level
    std::int32_t name = -1;         // index into OsmData::names, -1 none
    std::uint32_t firstRing = 0;    // index into OsmData::rings
    std::uint32_t ringCount = 0;
    OsmBox box;
};

struct OsmRing {
    std::uint32_t first = 0;        // index into OsmData::points
    std::uint32_t count = 0;
};

struct OsmCacheResult {
    enum class Status { Ok, NotACache, Damaged, Outdated };
    Status status = Status::Ok;
};

class OsmData {
public:
    std::vector<OsmFeature> features;
    std::vector<OsmRing> rings;
    std::vector<OsmPoint> points;
    std::vector<QString> names;
    OsmBox bounds;
    // The extract it was read from, so a changed extract is read again.
    qint64 sourceSize = 0;
    qint64 sourceModified = 0;      // ms since the epoch

    // Appending, while reading an extract.
    std::int32_t addName(const QString& name);
    void beginFeature(OsmKind kind, bool area, std::uint8_t rank, std::int32_t name);
    void addRing(const std::vector<OsmPoint>& ring);
    void endFeature();              // drops a feature left without points

    // The grid index; built by readOsmCache and after reading an extract. A feature whose box
    // spans more than LargeCells cells is kept in a list of its own instead of in each of them,
    // so the index grows with the feature count, whatever the boxes.
    static constexpr std::size_t LargeCells = 16;
    void buildIndex();
    std::size_t indexEntries() const { return m_cellItems.size() + m_large.size(); }
    // Calls `f` once for every feature whose box meets `box`.
    void forEachIn(const OsmBox& box, const std::function<void(const OsmFeature&)>& f) const;
    std::size_t memoryBytes() const;

private:
    int cellOf(std::int32_t v, std::int32_t min) const;
    std::int32_t m_cellSize = 1;
    int m_columns = 0, m_rows = 0;
    std::vector<std::size_t> m_cellStart;     // m_columns * m_rows + 1 offsets into m_cellItems
    std::vector<std::uint32_t> m_cellItems;
    std::vector<std::uint32_t> m_large;       // features too large for the cells, in order
    mutable std::vector<std::uint32_t> m_seen;
    mutable std::uint32_t m_stamp = 0;
};

// Cache file: see OsmData.cpp for the layout.
bool writeOsmCache(const OsmData& data, QIODevice& out);
OsmCacheResult readOsmCache(QIODevice& in, OsmData& data);

} // namespace aero
