#include "receiver/TrackDrawing.h"

#include "domain/AppError.h"
#include "ui/DoEvents.h"
#include "receiver/TrackPointFile.h"
#include "receiver/TransferTiming.h"

#include <QFile>
#include <vector>

namespace aero {
namespace {

// Longer lines are not ours: they are skipped, never buffered whole.
constexpr qint64 MaxLineBytes = 256;

struct Point {
    double lat;
    double lon;
};

// Collects one segment at a time. A segment longer than the buffer is drawn as consecutive
// polylines joined at a shared point, so no point is lost and the line has no gap.
class SegmentDrawer {
public:
    SegmentDrawer(MapService& map, int color) : m_map(map), m_color(color) { m_buffer.reserve(transfer::SegmentBufferPoints); }

    void add(const TrackPointLine& p)
    {
        if (p.newSegment)
            finishSegment();
        if (m_buffer.size() == static_cast<std::size_t>(transfer::SegmentBufferPoints)) {
            const Point joint = m_buffer.back();
            drawPiece();
            m_buffer.clear();
            m_buffer.push_back(joint);
            m_continued = true;
        }
        m_buffer.push_back({p.lat, p.lon});
    }

    void finishSegment()
    {
        if (m_continued || m_buffer.size() >= static_cast<std::size_t>(transfer::MinSegmentPoints)) {
            drawPiece();
            ++m_result.segments;
        }
        m_buffer.clear();
        m_continued = false;
    }

    TrackDrawResult& result() { return m_result; }

private:
    void drawPiece()
    {
        const double altitude = m_map.ViewAltitude();
        if (!m_continued)
            m_map.CentreOn(m_map.MakeLocation(m_buffer.front().lat, m_buffer.front().lon, altitude));
        std::vector<Location> locations;
        locations.reserve(m_buffer.size());
        for (const Point& p : m_buffer)
            if (p.lat != 0.0)   // a point without a fix
                locations.push_back(m_map.MakeLocation(p.lat, p.lon, altitude));
        if (locations.size() < 2)
            return;   // no line goes through fewer than two points
        m_map.AddPolyline(locations);
        const ShapeId shape = m_map.ShapeAt(m_map.ShapeCount());
        m_map.setShapeLineSetting(shape, 1);
        m_map.setShapeLineColor(shape, m_color);
        ++m_result.polylines;
    }

    MapService& m_map;
    int m_color;
    std::vector<Point> m_buffer;
    bool m_continued = false;
    TrackDrawResult m_result;
};

// Reads one line of at most MaxLineBytes; a longer one is consumed and returned empty.
QByteArray readBoundedLine(QFile& file)
{
    QByteArray line = file.readLine(MaxLineBytes);
    if (line.endsWith('\n') || file.atEnd())
        return line;
    while (!file.atEnd() && !file.readLine(MaxLineBytes).endsWith('\n')) {
    }
    return {};
}

} // namespace

TrackDrawResult drawTrackFile(MapService& map, const QString& path, int trackColor, const DrawYield& yield)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(errors::FileNotFound, QStringLiteral("File not found"));
    SegmentDrawer drawer(map, trackColor);
    int lineNumber = 0;
    while (!file.atEnd()) {
        if (++lineNumber % transfer::LinesPerYield == 0) {
            if (!yield) {
                DoEventsNow();
            } else if (!yield()) {
                return drawer.result();   // the program is ending: the map is going away
            }
        }
        if (const auto point = parsePointLine(readBoundedLine(file))) {
            drawer.add(*point);
            ++drawer.result().lines;
        }
    }
    drawer.finishSegment();
    return drawer.result();
}

} // namespace aero
