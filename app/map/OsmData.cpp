#include "map/OsmData.h"

#include <QIODevice>
#include <algorithm>
#include <cmath>

namespace aero {

void OsmBox::add(OsmPoint p)
{
    minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
    minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
}

void OsmBox::add(const OsmBox& b)
{
    if (b.isEmpty())
        return;
    minX = std::min(minX, b.minX), maxX = std::max(maxX, b.maxX);
    minY = std::min(minY, b.minY), maxY = std::max(maxY, b.maxY);
}

std::int32_t OsmData::addName(const QString& name)
{
    if (name.isEmpty())
        return -1;
    names.push_back(name);
    return std::int32_t(names.size() - 1);
}

void OsmData::beginFeature(OsmKind kind, bool area, std::uint8_t rank, std::int32_t name)
{
    OsmFeature f;
    f.kind = kind, f.area = area, f.rank = rank, f.name = name;
    f.firstRing = std::uint32_t(rings.size());
    features.push_back(f);
}

void OsmData::addRing(const std::vector<OsmPoint>& ring)
{
    if (ring.empty() || features.empty())
        return;
    OsmFeature& f = features.back();
    rings.push_back({std::uint32_t(points.size()), std::uint32_t(ring.size())});
    for (const OsmPoint& p : ring) {
        points.push_back(p);
        f.box.add(p);
    }
    ++f.ringCount;
}

void OsmData::endFeature()
{
    if (features.empty())
        return;
    if (features.back().ringCount == 0) {
        features.pop_back();
        return;
    }
    bounds.add(features.back().box);
}

// ---- grid index ---------------------------------------------------------------------------

int OsmData::cellOf(std::int32_t v, std::int32_t min) const
{
    return int((std::int64_t(v) - min) / m_cellSize);
}

void OsmData::buildIndex()
{
    m_cellStart.clear(), m_cellItems.clear(), m_large.clear();
    m_seen.assign(features.size(), 0);
    m_stamp = 0;
    if (features.empty())
        return;
    // About 8 features a cell, in a square grid over the bounds.
    const std::int64_t w = std::int64_t(bounds.maxX) - bounds.minX + 1, h = std::int64_t(bounds.maxY) - bounds.minY + 1;
    const double cells = std::max(1.0, double(features.size()) / 8.0);
    const double side = std::max(1.0, std::sqrt(double(w) * double(h) / cells));
    m_cellSize = std::int32_t(std::clamp(side, 64.0, double(1 << 29)));
    m_columns = int(w / m_cellSize) + 1;
    m_rows = int(h / m_cellSize) + 1;
    std::vector<std::size_t> counts(std::size_t(m_columns) * std::size_t(m_rows) + 1, 0);
    auto cellsOf = [&](const OsmFeature& f) {
        return std::size_t(cellOf(f.box.maxX, bounds.minX) - cellOf(f.box.minX, bounds.minX) + 1) *
               std::size_t(cellOf(f.box.maxY, bounds.minY) - cellOf(f.box.minY, bounds.minY) + 1);
    };
    auto eachCell = [&](const OsmFeature& f, auto&& fn) {
        const int x0 = cellOf(f.box.minX, bounds.minX), x1 = cellOf(f.box.maxX, bounds.minX);
        const int y0 = cellOf(f.box.minY, bounds.minY), y1 = cellOf(f.box.maxY, bounds.minY);
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                fn(std::size_t(y) * std::size_t(m_columns) + std::size_t(x));
    };
    std::vector<bool> large(features.size());
    for (std::size_t i = 0; i < features.size(); ++i) {
        large[i] = cellsOf(features[i]) > LargeCells;
        if (large[i])
            m_large.push_back(std::uint32_t(i));
        else
            eachCell(features[i], [&](std::size_t c) { ++counts[c + 1]; });
    }
    for (std::size_t i = 1; i < counts.size(); ++i)
        counts[i] += counts[i - 1];
    m_cellStart = counts;
    m_cellItems.resize(counts.back());
    for (std::uint32_t i = 0; i < features.size(); ++i)
        if (!large[i])
            eachCell(features[i], [&](std::size_t c) { m_cellItems[counts[c]++] = i; });
}

void OsmData::forEachIn(const OsmBox& box, const std::function<void(const OsmFeature&)>& f) const
{
    if (m_cellStart.empty() || !box.intersects(bounds))
        return;
    if (++m_stamp == 0) {   // wrapped: forget old stamps
        std::fill(m_seen.begin(), m_seen.end(), 0);
        m_stamp = 1;
    }
    const int x0 = std::max(0, cellOf(std::max(box.minX, bounds.minX), bounds.minX));
    const int x1 = std::min(m_columns - 1, cellOf(std::min(box.maxX, bounds.maxX), bounds.minX));
    const int y0 = std::max(0, cellOf(std::max(box.minY, bounds.minY), bounds.minY));
    const int y1 = std::min(m_rows - 1, cellOf(std::min(box.maxY, bounds.maxY), bounds.minY));
    // Visit in feature order, so drawing order stays the order features were read in.
    std::vector<std::uint32_t> hits;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const std::size_t c = std::size_t(y) * m_columns + x;
            for (std::size_t k = m_cellStart[c]; k < m_cellStart[c + 1]; ++k) {
                const std::uint32_t i = m_cellItems[k];
                if (m_seen[i] != m_stamp && features[i].box.intersects(box)) {
                    m_seen[i] = m_stamp;
                    hits.push_back(i);
                }
            }
        }
    for (const std::uint32_t i : m_large)
        if (features[i].box.intersects(box))
            hits.push_back(i);
    std::sort(hits.begin(), hits.end());
    for (std::uint32_t i : hits)
        f(features[i]);
}

std::size_t OsmData::memoryBytes() const
{
    std::size_t names16 = 0;
    for (const QString& n : names)
        names16 += sizeof(QString) + std::size_t(n.size()) * 2;
    return features.size() * sizeof(OsmFeature) + rings.size() * sizeof(OsmRing) + points.size() * sizeof(OsmPoint) +
           names16 + m_cellStart.size() * sizeof(std::size_t) + (m_cellItems.size() + m_large.size() + m_seen.size()) * 4;
}

// ---- cache file ---------------------------------------------------------------------------
//
// Layout: the 8 bytes "AEROOSM1"; the extract's size and modification time (i64, little-endian);
// then varints: the name count and each name as byte length + UTF-8; the feature count and per
// feature kind, area flag, rank, name index + 1 and ring count; per ring the point count and
// the points as zigzag differences from the point before (across the whole file).

namespace {

constexpr char Magic[] = "AEROOSM2";   // 2: land use, borders, water names

class Writer {
public:
    void varint(std::uint64_t v)
    {
        while (v >= 0x80) {
            m_bytes.append(char(v | 0x80));
            v >>= 7;
        }
        m_bytes.append(char(v));
    }
    void zigzag(std::int64_t v) { varint((std::uint64_t(v) << 1) ^ std::uint64_t(v >> 63)); }
    void i64(std::int64_t v)
    {
        for (int i = 0; i < 8; ++i)
            m_bytes.append(char(std::uint64_t(v) >> (8 * i)));
    }
    QByteArray& bytes() { return m_bytes; }

private:
    QByteArray m_bytes;
};

class Reader {
public:
    explicit Reader(const QByteArray& b) : m_data(b) {}
    bool ok() const { return m_ok; }
    qsizetype remaining() const { return m_data.size() - m_pos; }
    std::uint64_t varint()
    {
        std::uint64_t v = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            if (m_pos >= m_data.size())
                break;
            const auto b = std::uint8_t(m_data[m_pos++]);
            v |= std::uint64_t(b & 0x7f) << shift;
            if (!(b & 0x80))
                return v;
        }
        m_ok = false;
        return 0;
    }
    std::int64_t zigzag()
    {
        const std::uint64_t v = varint();
        return std::int64_t(v >> 1) ^ -std::int64_t(v & 1);
    }
    std::int64_t i64()
    {
        if (remaining() < 8)
            return m_ok = false, 0;
        std::uint64_t v = 0;
        for (int i = 7; i >= 0; --i)
            v = (v << 8) | std::uint8_t(m_data[m_pos + i]);
        m_pos += 8;
        return std::int64_t(v);
    }
    // A count read from the file, refused when it could not fit in what is left.
    std::uint64_t count(int minBytesEach)
    {
        const std::uint64_t n = varint();
        if (n > std::uint64_t(remaining() / std::max(1, minBytesEach)) + 1)
            m_ok = false;
        return m_ok ? n : 0;
    }
    QString utf8(std::uint64_t n)
    {
        if (qsizetype(n) > remaining())
            return m_ok = false, QString();
        const QString s = QString::fromUtf8(m_data.constData() + m_pos, qsizetype(n));
        m_pos += qsizetype(n);
        return s;
    }
    void skip(qsizetype n) { m_pos += n; }

private:
    const QByteArray& m_data;
    qsizetype m_pos = 0;
    bool m_ok = true;
};

} // namespace

bool writeOsmCache(const OsmData& data, QIODevice& out)
{
    Writer w;
    w.bytes().append(Magic, 8);
    w.i64(data.sourceSize);
    w.i64(data.sourceModified);
    w.varint(data.names.size());
    for (const QString& n : data.names) {
        const QByteArray u = n.toUtf8();
        w.varint(std::uint64_t(u.size()));
        w.bytes().append(u);
    }
    w.varint(data.features.size());
    OsmPoint last;
    for (const OsmFeature& f : data.features) {
        w.varint(std::uint64_t(f.kind));
        w.varint(f.area ? 1 : 0);
        w.varint(f.rank);
        w.varint(std::uint64_t(f.name + 1));
        w.varint(f.ringCount);
        for (std::uint32_t r = f.firstRing; r < f.firstRing + f.ringCount; ++r) {
            const OsmRing& ring = data.rings[r];
            w.varint(ring.count);
            for (std::uint32_t i = ring.first; i < ring.first + ring.count; ++i) {
                const OsmPoint p = data.points[i];
                w.zigzag(std::int64_t(p.x) - last.x);
                w.zigzag(std::int64_t(p.y) - last.y);
                last = p;
            }
        }
    }
    return out.write(w.bytes()) == w.bytes().size();
}

OsmCacheResult readOsmCache(QIODevice& in, OsmData& data)
{
    using S = OsmCacheResult::Status;
    const QByteArray bytes = in.readAll();
    if (!bytes.startsWith(QByteArray(Magic, 8)))
        return {S::NotACache};
    Reader r(bytes);
    r.skip(8);
    OsmData d;
    d.sourceSize = r.i64();
    d.sourceModified = r.i64();
    const std::uint64_t nameCount = r.count(1);
    d.names.reserve(nameCount);
    for (std::uint64_t i = 0; i < nameCount && r.ok(); ++i)
        d.names.push_back(r.utf8(r.varint()));
    const std::uint64_t featureCount = r.count(5);
    d.features.reserve(featureCount);
    OsmPoint last;
    std::vector<OsmPoint> ring;
    for (std::uint64_t i = 0; i < featureCount && r.ok(); ++i) {
        const std::uint64_t kind = r.varint(), area = r.varint(), rank = r.varint(), name = r.varint();
        if (kind >= std::uint64_t(OsmKind::Count) || name > nameCount)
            return {S::Damaged};
        d.beginFeature(OsmKind(kind), area != 0, std::uint8_t(std::min<std::uint64_t>(rank, 255)), std::int32_t(name) - 1);
        const std::uint64_t ringCount = r.count(1);
        for (std::uint64_t k = 0; k < ringCount && r.ok(); ++k) {
            const std::uint64_t n = r.count(2);
            ring.clear();
            for (std::uint64_t p = 0; p < n && r.ok(); ++p) {
                last.x = std::int32_t(last.x + r.zigzag());
                last.y = std::int32_t(last.y + r.zigzag());
                ring.push_back(last);
            }
            d.addRing(ring);
        }
        d.endFeature();
    }
    if (!r.ok() || r.remaining() != 0)
        return {S::Damaged};
    d.buildIndex();
    data = std::move(d);
    return {S::Ok};
}

} // namespace aero
