// The document side of MapControl: symbols, markers and shapes.
#include "domain/Geo.h"
#include "map/MapControl.h"
#include "map/Symbols.h"

#include <QFileInfo>
#include <cmath>

namespace aero {

namespace {

[[noreturn]] void badArgument()
{
    throw AppError(errors::InvalidProcedureCall, QStringLiteral("Invalid procedure call or argument"));
}

void requireFinite(const Location& l)
{
    if (!std::isfinite(l.lat) || !std::isfinite(l.lon) || !std::isfinite(l.alt))
        badArgument();
}

} // namespace

int MapControl::AddSymbol(const QString& imagePath)
{
    requireMap();
    if (!QFileInfo::exists(imagePath))
        throw AppError(errors::FileNotFound, QStringLiteral("File not found: %1").arg(imagePath));
    QImage image = loadSymbolImage(imagePath);
    if (image.isNull())
        throw AppError(errors::InvalidFileFormat, QStringLiteral("Invalid picture: %1").arg(imagePath));
    m_doc.symbols.push_back({imagePath, std::move(image)});
    m_symbols.clearAdded();
    modified();
    return m_doc.symbolCount() - 1;
}

Marker& MapControl::marker(MarkerId id)
{
    Marker* m = m_doc.markers.find(id);
    if (!m)
        badArgument();
    return *m;
}

const Marker& MapControl::marker(MarkerId id) const
{
    const Marker* m = m_doc.markers.find(id);
    if (!m)
        badArgument();
    return *m;
}

MarkerId MapControl::AddMarker(const Location& where, const QString& name)
{
    requireMap();
    requireFinite(where);
    m_doc.hasMarkerSet = true;
    const MarkerId id = m_doc.markers.add(where, name);
    modified();
    return id;
}

std::optional<MarkerId> MapControl::FindMarker(const QString& name) const { return m_doc.markers.firstNamed(name); }

void MapControl::RemoveMarker(MarkerId id)
{
    const bool transient = marker(id).transient;
    m_doc.markers.remove(id);
    if (m_spread && std::find(m_spread->markers.begin(), m_spread->markers.end(), id) != m_spread->markers.end())
        m_spread.reset();
    if (transient)
        Q_EMIT changed();
    else
        modified();
}

void MapControl::DeleteMarkerSet()
{
    m_doc.markers.clear();
    m_doc.hasMarkerSet = false;
    m_spread.reset();
    modified();
}

QString MapControl::markerName(MarkerId id) const { return marker(id).name; }
Location MapControl::markerLocation(MarkerId id) const { return marker(id).where; }
QString MapControl::markerNote(MarkerId id) const { return marker(id).note; }
int MapControl::markerSymbol(MarkerId id) const { return marker(id).symbol; }
int MapControl::markerDisplayState(MarkerId id) const { return marker(id).displayState; }

void MapControl::setMarkerLocation(MarkerId id, const Location& where)
{
    requireFinite(where);
    const bool transient = marker(id).transient;
    m_doc.markers.move(id, where);
    if (transient)
        Q_EMIT changed();
    else
        modified();
}

void MapControl::setMarkerTransient(MarkerId id, bool transient)
{
    marker(id).transient = transient;
    Q_EMIT changed();
}

void MapControl::setMarkerNote(MarkerId id, const QString& note)
{
    marker(id).note = note;
    modified();
}

void MapControl::setMarkerSymbol(MarkerId id, int symbol)
{
    if (symbol < 0 || symbol >= m_doc.symbolCount())
        badArgument();
    marker(id).symbol = symbol;
    modified();
}

void MapControl::setMarkerDisplayState(MarkerId id, int state)
{
    if (state < 0 || state > 2)
        badArgument();
    marker(id).displayState = state;
    // The AP whose name or balloon is shown is the chosen one: it is drawn above its neighbours.
    if (state != 0)
        m_highlighted = id;
    else if (m_highlighted == id)
        m_highlighted.reset();
    modified();
}

std::optional<MarkerId> MapControl::nearestMarker(const Location& where, const QString& skipName) const
{
    if (!std::isfinite(where.lat) || !std::isfinite(where.lon))
        return std::nullopt;
    return m_doc.markers.nearest(where, skipName, m_doc.units);
}

std::optional<MarkerId> MapControl::markerAtScreen(QPointF screen) const
{
    // A fanned-out stack lies above everything else.
    if (m_spread && m_spread->scale == m_viewport.scale()) {
        const QPointF anchor = m_viewport.worldToScreen(m_spread->world);
        const int n = int(m_spread->markers.size());
        for (int i = n - 1; i >= 0; --i) {
            const QPointF d = screen - (anchor + spreadOffset(i, n));
            if (std::fabs(d.x()) <= SymbolSize / 2.0 && std::fabs(d.y()) <= SymbolSize / 2.0)
                return m_spread->markers[std::size_t(i)];
        }
    }
    // The topmost (latest drawn) symbol under the point.
    const double r = SymbolSize / 2.0;
    const QPointF nw = m_viewport.fromScreenLatLon(screen - QPointF(r, r));
    const QPointF se = m_viewport.fromScreenLatLon(screen + QPointF(r, r));
    const auto hits = m_doc.markers.inBox(se.x(), nw.x(), nw.y(), se.y());
    if (hits.empty())
        return std::nullopt;
    // What is drawn on top is hit first: the live position, then the chosen AP.
    for (const Marker* m : hits)
        if (m->symbol == PositionSymbol)
            return m->id;
    for (const Marker* m : hits)
        if (m_highlighted && m->id == *m_highlighted)
            return m->id;
    return hits.back()->id;
}

std::vector<MarkerId> MapControl::stackAt(QPointF screen) const
{
    const auto top = markerAtScreen(screen);
    if (!top)
        return {};
    const Marker& m = marker(*top);
    const double scale = m_viewport.scale();
    const std::int64_t cell = stackCellOf(m.world, scale);
    // The cell's neighbourhood holds every member; the cell test picks them as they are drawn.
    const QPointF at = m_viewport.worldToScreen(m.world);
    const double r = 2 * StackCell;
    const QPointF nw = m_viewport.fromScreenLatLon(at - QPointF(r, r));
    const QPointF se = m_viewport.fromScreenLatLon(at + QPointF(r, r));
    std::vector<MarkerId> out;
    for (const Marker* other : m_doc.markers.inBox(se.x(), nw.x(), nw.y(), se.y()))
        if (other->symbol != PositionSymbol && stackCellOf(other->world, scale) == cell)
            out.push_back(other->id);
    return out;
}

void MapControl::spreadStack(const std::vector<MarkerId>& markers)
{
    if (markers.empty())
        return closeSpread();
    m_spread = MarkerSpread{marker(markers.back()).world, markers, m_viewport.scale()};
    Q_EMIT changed();
}

bool MapControl::isCrowded() const
{
    const QPointF nw = m_viewport.fromScreenLatLon(QPointF(0, 0));
    const QPointF se = m_viewport.fromScreenLatLon(QPointF(m_viewport.size().width(), m_viewport.size().height()));
    return m_doc.markers.inBox(se.x(), nw.x(), nw.y(), se.y()).size() > std::size_t(DetailLimit);
}

void MapControl::closeSpread()
{
    if (m_spread) {
        m_spread.reset();
        Q_EMIT changed();
    }
}

ShapeId MapControl::addShapeRecord(Shape s)
{
    requireMap();
    for (const Location& p : s.points)
        requireFinite(p);
    s.id = m_doc.nextShapeId++;
    m_doc.shapes.push_back(std::move(s));
    modified();
    return m_doc.shapes.back().id;
}

ShapeId MapControl::AddLine(const Location& from, const Location& to)
{
    Shape s;
    s.kind = ShapeKind::Line;
    s.points = {from, to};
    return addShapeRecord(std::move(s));
}

ShapeId MapControl::AddPolyline(const std::vector<Location>& points)
{
    if (points.size() < 2)
        badArgument();
    Shape s;
    s.kind = ShapeKind::Polyline;
    s.points = points;
    return addShapeRecord(std::move(s));
}

ShapeId MapControl::AddShape(ShapeKind kind, const Location& centre, double width, double height)
{
    if (!std::isfinite(width) || !std::isfinite(height) || width < 0 || height < 0)
        badArgument();
    // Sizes come in the current unit and are kept in kilometres.
    const double toKm = m_doc.units == MapUnit::Miles ? geo::KmPerMile : 1.0;
    Shape s;
    s.kind = kind == ShapeKind::Figure ? ShapeKind::Figure : kind;
    s.points = {centre};
    s.width = width * toKm;
    s.height = height * toKm;
    return addShapeRecord(std::move(s));
}

ShapeId MapControl::ShapeAt(int index) const
{
    if (index < 1 || index > ShapeCount())
        throw AppError(errors::SubscriptOutOfRange, QStringLiteral("Subscript out of range"));
    return m_doc.shapes[std::size_t(index - 1)].id;
}

const Shape& MapControl::shape(ShapeId id) const
{
    const Shape* s = m_doc.shape(id);
    if (!s)
        badArgument();
    return *s;
}

Shape& MapControl::mutableShape(ShapeId id)
{
    Shape* s = m_doc.shape(id);
    if (!s)
        badArgument();
    return *s;
}

void MapControl::setShapeLineColor(ShapeId id, int rgb)
{
    mutableShape(id).lineColor = rgb & 0xFFFFFF;
    modified();
}

void MapControl::setShapeLineSetting(ShapeId id, int setting)
{
    mutableShape(id).lineSetting = setting;
    modified();
}

void MapControl::setShapeText(ShapeId id, const QString& text)
{
    mutableShape(id).text = text;
    modified();
}

QString MapControl::shapeText(ShapeId id) const
{
    const Shape* s = m_doc.shape(id);
    return s ? s->text : QString();
}

void MapControl::removeShape(ShapeId id)
{
    std::erase_if(m_doc.shapes, [id](const Shape& s) { return s.id == id; });
    modified();
}

} // namespace aero
