// The view side of MapControl: projection, centring, zoom and painting.
#include "domain/Geo.h"
#include "map/MapControl.h"
#include "map/MapRenderer.h"
#include "map/TileLayer.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QPainter>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace aero {

namespace {

void requireFinite(double v)
{
    if (!std::isfinite(v))
        throw AppError(errors::InvalidProcedureCall, QStringLiteral("Invalid procedure call or argument"));
}

int toPixel(double v)
{
    // Far off-screen points still give a usable (clamped) pixel number.
    constexpr double Limit = 1e9;
    return int(std::lround(std::clamp(v, -Limit, Limit)));
}

} // namespace

double MapControl::ViewAltitude() const { return m_viewport.altitude(m_doc.units); }

Location MapControl::MakeLocation(double lat, double lon, double alt) const
{
    requireFinite(lat), requireFinite(lon), requireFinite(alt);
    return Location{lat, lon, alt};
}

void MapControl::CentreOn(const Location& where)
{
    requireFinite(where.lat), requireFinite(where.lon), requireFinite(where.alt);
    m_viewport.setCentre(where.lat, where.lon);
    if (where.alt > 0.0)
        m_viewport.setAltitude(where.alt, m_doc.units);
    m_viewAsSet = Location{where.lat, where.lon, where.alt > 0.0 ? where.alt : ViewAltitude()};
    // A request beyond the zoom limits was clamped: report what is really shown.
    if (std::fabs(m_viewAsSet->alt - ViewAltitude()) > 1e-9 * m_viewAsSet->alt || std::fabs(m_viewAsSet->lat) > geo::MaxMercatorLat)
        m_viewAsSet.reset();
    Q_EMIT changed();
}

Location MapControl::viewCentre() const
{
    if (m_viewAsSet)
        return *m_viewAsSet;
    return Location{m_viewport.centreLat(), m_viewport.centreLon(), ViewAltitude()};
}

double MapControl::DistanceTo(const Location& a, const Location& b) const
{
    return geo::distance(a, b, m_doc.units);
}

int MapControl::ToScreenX(const Location& where) const
{
    return toPixel(m_viewport.toScreen(where.lat, where.lon).x());
}

int MapControl::ToScreenY(const Location& where) const
{
    return toPixel(m_viewport.toScreen(where.lat, where.lon).y());
}

Location MapControl::FromScreen(int x, int y) const
{
    const QPointF ll = m_viewport.fromScreenLatLon(QPointF(x, y));
    return Location{ll.x(), ll.y(), ViewAltitude()};
}

void MapControl::setViewSize(QSize size)
{
    if (size.isValid() && !size.isEmpty() && size != m_viewport.size()) {
        m_viewAsSet.reset();
        m_viewport.setSize(size);
        Q_EMIT changed();
    }
}

void MapControl::zoomBy(double factor, std::optional<QPointF> about)
{
    m_viewAsSet.reset();
    const QSize s = m_viewport.size();
    m_viewport.zoomAbout(about.value_or(QPointF(s.width() / 2.0, s.height() / 2.0)), factor);
    Q_EMIT changed();
}

void MapControl::panBy(QPointF screenDelta)
{
    m_viewAsSet.reset();
    m_viewport.panBy(screenDelta);
    Q_EMIT changed();
}

void MapControl::zoomToAllMarkers()
{
    if (m_doc.markers.count() == 0)
        return;
    m_viewAsSet.reset();
    double minLat = 90, maxLat = -90, minLon = 180, maxLon = -180;
    m_doc.markers.forEach([&](const Marker& m) {
        minLat = std::min(minLat, m.where.lat), maxLat = std::max(maxLat, m.where.lat);
        minLon = std::min(minLon, m.where.lon), maxLon = std::max(maxLon, m.where.lon);
    });
    m_viewport.frame(minLat, maxLat, minLon, maxLon);
    // One marker alone: close enough to see the street.
    if (minLat == maxLat && minLon == maxLon)
        m_viewport.setAltitude(m_doc.units == MapUnit::Kilometres ? 2.0 : 1.25, m_doc.units);
    Q_EMIT changed();
}

RenderScene MapControl::scene(std::optional<ShapeId> selected, const std::vector<Location>& draft) const
{
    RenderScene s{m_doc, m_viewport, baseMap(), m_hasMap ? m_tiles : nullptr, m_symbols, selected, draft, &m_baseCache};
    s.osm = m_osm.isEmpty() ? nullptr : &m_osm;
    s.pack = m_pack.isOpen() ? &m_pack : nullptr;
    s.layersGeneration = m_layersGeneration;
    s.highlighted = m_highlighted;
    s.balloonExtra = m_balloonExtra;
    s.spread = m_spread ? &*m_spread : nullptr;
    return s;
}

void MapControl::render(QPainter& painter, std::optional<ShapeId> selected, const std::vector<Location>& draft) const
{
    if (!m_hasMap) {
        painter.fillRect(QRect(QPoint(0, 0), m_viewport.size()), QColor(128, 128, 128));
        return;
    }
    renderScene(painter, scene(selected, draft));
}

void MapControl::setHighlightedMarker(std::optional<MarkerId> marker)
{
    if (m_highlighted != marker) {
        m_highlighted = marker;
        Q_EMIT changed();
    }
}

void MapControl::completeBaseLayers() const
{
    // Online tiles come in asynchronously: ask for the view's tiles and let them arrive for a
    // bounded time, so a picture taken right after a view change is not an empty plain.
    if (!m_hasMap || !m_tiles->isEnabled() || m_tiles->urlTemplate().isEmpty())
        return;
    QElapsedTimer waited;
    waited.start();
    QImage scratch(m_viewport.size(), QImage::Format_RGB32);
    for (;;) {
        {
            QPainter p(&scratch);
            m_tiles->draw(p, m_viewport);
        }
        if (m_tiles->isIdle() || m_tiles->isPaused() || waited.hasExpired(m_options.exportWaitMs))
            return;
        QEventLoop loop;
        QTimer::singleShot(50, &loop, &QEventLoop::quit);
        connect(m_tiles, &TileLayer::tileArrived, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

std::optional<ShapeId> MapControl::shapeAtScreen(QPointF screen, double tolerance) const
{
    auto segmentDistance = [](QPointF p, QPointF a, QPointF b) {
        const QPointF ab = b - a;
        const double len2 = QPointF::dotProduct(ab, ab);
        const double t = len2 > 0 ? std::clamp(QPointF::dotProduct(p - a, ab) / len2, 0.0, 1.0) : 0.0;
        const QPointF d = p - (a + t * ab);
        return std::hypot(d.x(), d.y());
    };
    // Newest first: it is drawn on top.
    for (auto it = m_doc.shapes.rbegin(); it != m_doc.shapes.rend(); ++it) {
        const Shape& s = *it;
        if (s.points.empty())
            continue;
        const QPointF first = m_viewport.toScreen(s.points.front().lat, s.points.front().lon);
        if (s.kind == ShapeKind::Figure) {
            const QSizeF size = figureSizePixels(s, m_viewport);
            const double hw = std::max(3.0, size.width() / 2) + tolerance, hh = std::max(3.0, size.height() / 2) + tolerance;
            if (std::fabs(screen.x() - first.x()) <= hw && std::fabs(screen.y() - first.y()) <= hh)
                return s.id;
            continue;
        }
        QPointF prev = first;
        for (std::size_t i = 1; i < s.points.size(); ++i) {
            const QPointF next = m_viewport.toScreen(s.points[i].lat, s.points[i].lon);
            if (segmentDistance(screen, prev, next) <= tolerance)
                return s.id;
            prev = next;
        }
    }
    return std::nullopt;
}

QImage MapControl::picture(QSize size) const
{
    completeBaseLayers();
    Viewport view = m_viewport;
    if (!size.isEmpty() && size != view.size()) {
        // The same ground, seen in more pixels: the view's height sets the scale.
        view.setScale(m_viewport.scale() * size.height() / std::max(1, m_viewport.size().height()));
        view.setSize(size);
    }
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    if (!m_hasMap) {
        painter.fillRect(image.rect(), QColor(128, 128, 128));
        return image;
    }
    RenderScene s = scene(std::nullopt, {});
    RenderScene pic{s.document, view, s.base, s.tiles, s.symbols, std::nullopt, {}, nullptr};
    pic.osm = s.osm, pic.pack = s.pack, pic.layersGeneration = s.layersGeneration;
    pic.highlighted = m_highlighted;
    pic.picture = true;
    renderScene(painter, pic);
    painter.end();
    return image;
}

QImage MapControl::CopyView() const
{
    completeBaseLayers();
    QImage image(m_viewport.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    render(painter);
    painter.end();
    return image;
}

} // namespace aero
