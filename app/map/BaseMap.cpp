#include "map/BaseMap.h"

#include "domain/Geo.h"

#include <QFile>
#include <QTextStream>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace aero {

namespace {

// Bounded reader over the outline bytes: every read checks the remaining length.
class ByteReader {
public:
    explicit ByteReader(const QByteArray& b) : m_data(b) {}
    bool ok() const { return m_ok; }
    bool atEnd() const { return m_pos >= m_data.size(); }
    std::uint32_t u32()
    {
        if (m_pos + 4 > m_data.size()) {
            m_ok = false;
            return 0;
        }
        std::uint32_t v = 0;
        for (int i = 3; i >= 0; --i)
            v = (v << 8) | std::uint8_t(m_data[m_pos + i]);
        m_pos += 4;
        return v;
    }
    std::uint8_t u8() { return m_pos < m_data.size() ? std::uint8_t(m_data[m_pos++]) : (m_ok = false, 0); }
    std::int64_t zigzag()
    {
        std::uint64_t v = 0;
        for (int shift = 0; shift < 63; shift += 7) {
            const std::uint8_t b = u8();
            v |= std::uint64_t(b & 0x7f) << shift;
            if (!(b & 0x80) || !m_ok)
                return std::int64_t(v >> 1) ^ -std::int64_t(v & 1);
        }
        m_ok = false;
        return 0;
    }

private:
    const QByteArray& m_data;
    qsizetype m_pos = 8;   // after the magic
    bool m_ok = true;
};

// Rings that cross the date line jump by 360 degrees between neighbours. One that crosses
// and comes back is unwrapped (carried on past +-180), so its fill never smears across the
// world; one that goes round the pole (Antarctica) is left as it is.
void unwrapLongitudes(std::vector<QPointF>& lonLat)
{
    double offset = 0.0;
    std::vector<double> offsets(lonLat.size(), 0.0);
    for (std::size_t i = 1; i < lonLat.size(); ++i) {
        const double step = lonLat[i].x() - lonLat[i - 1].x();
        offset += step > 180.0 ? -360.0 : (step < -180.0 ? 360.0 : 0.0);
        offsets[i] = offset;
    }
    if (offset != 0.0)
        return;
    // A ring may start on the far side of the date line: bring its bulk back to +-180.
    double mean = 0.0;
    for (std::size_t i = 0; i < lonLat.size(); ++i)
        mean += (lonLat[i].x() + offsets[i]) / double(lonLat.size());
    const double shift = -360.0 * std::round(mean / 360.0);
    for (std::size_t i = 0; i < lonLat.size(); ++i)
        lonLat[i].rx() += offsets[i] + shift;
}

OutlineLine readLine(ByteReader& in, std::uint32_t count)
{
    std::vector<QPointF> lonLat;
    lonLat.reserve(count);
    std::int64_t x = 0, y = 0;
    for (std::uint32_t i = 0; i < count && in.ok(); ++i) {
        x += in.zigzag();
        y += in.zigzag();
        lonLat.emplace_back(double(x) * 1e-5, double(y) * 1e-5);
    }
    unwrapLongitudes(lonLat);
    OutlineLine line;
    line.points.reserve(lonLat.size());
    double minX = 1e9, minY = 1e9, maxX = -1e9, maxY = -1e9;
    for (const QPointF& p : lonLat) {
        const QPointF w(geo::worldX(p.x()), geo::worldY(p.y()));
        line.points.push_back(w);
        minX = std::min(minX, w.x()), maxX = std::max(maxX, w.x());
        minY = std::min(minY, w.y()), maxY = std::max(maxY, w.y());
    }
    line.bounds = QRectF(QPointF(minX, minY), QPointF(maxX, maxY));
    return line;
}

} // namespace

bool BaseMap::load(const QString& folder)
{
    m_land.clear(), m_borders.clear(), m_states.clear(), m_lakes.clear();
    m_loaded = loadOutline(folder + QLatin1Char('/') + QLatin1String(OutlineFile));
    if (m_loaded) {
        loadPlaces(folder + QLatin1Char('/') + QLatin1String(PlacesFile));
        if (!loadLines(folder + QLatin1Char('/') + QLatin1String(LakesFile)))
            m_lakes.clear();   // a damaged lakes file only costs the lakes
    }
    return m_loaded;
}

bool BaseMap::lakesIn(const QRectF& world) const
{
    for (const OutlineLine& l : m_lakes)
        if (l.bounds.intersects(world))
            return true;
    return false;
}

bool BaseMap::loadOutline(const QString& path)
{
    return loadLines(path) && !m_land.empty();
}

bool BaseMap::loadLines(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = f.readAll();
    if (!bytes.startsWith("AEROOUT1"))
        return false;
    ByteReader in(bytes);
    const std::uint32_t layers = in.u32();
    for (std::uint32_t l = 0; l < layers && in.ok(); ++l) {
        const std::uint8_t kind = in.u8();
        const std::uint32_t lines = in.u32();
        auto& target = kind == 1 ? m_land : kind == 2 ? m_borders : kind == 4 ? m_lakes : m_states;
        for (std::uint32_t i = 0; i < lines && in.ok(); ++i) {
            const std::uint32_t count = in.u32();
            // A damaged count must not make us reserve gigabytes.
            if (count > std::uint32_t(bytes.size()))
                return false;
            target.push_back(readLine(in, count));
        }
    }
    return in.ok();
}

void BaseMap::loadPlaces(const QString& path)
{
    m_places.clear();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    QTextStream in(&f);
    in.setEncoding(QStringConverter::Utf8);
    QString line;
    while (in.readLineInto(&line)) {
        if (line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (fields.size() < 4)
            continue;
        Place p{fields[0], fields[1].toDouble(), fields[2].toDouble(), fields[3].toInt(), {}};
        p.world = QPointF(geo::worldX(p.lon), geo::worldY(p.lat));
        m_places.push_back(std::move(p));
    }
}

} // namespace aero
