#include "map/Viewport.h"

#include "domain/Geo.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace aero {

void Viewport::setSize(QSize size)
{
    if (size.width() > 0 && size.height() > 0)
        m_size = size;
}

void Viewport::setScale(double pixelsPerWorld)
{
    if (std::isfinite(pixelsPerWorld))
        m_scale = std::clamp(pixelsPerWorld, MinScale, MaxScale);
}

void Viewport::setCentreWorld(QPointF world)
{
    if (std::isfinite(world.x()) && std::isfinite(world.y()))
        m_centre = QPointF(std::clamp(world.x(), 0.0, 1.0), std::clamp(world.y(), 0.0, 1.0));
}

void Viewport::setCentre(double lat, double lon)
{
    setCentreWorld(QPointF(geo::worldX(lon), geo::worldY(lat)));
}

double Viewport::centreLat() const { return geo::latOfWorldY(m_centre.y()); }
double Viewport::centreLon() const { return geo::lonOfWorldX(m_centre.x()); }

QPointF Viewport::worldToScreen(QPointF world) const
{
    return QPointF((world.x() - m_centre.x()) * m_scale + m_size.width() / 2.0,
                   (world.y() - m_centre.y()) * m_scale + m_size.height() / 2.0);
}

QPointF Viewport::screenToWorld(QPointF screen) const
{
    return QPointF((screen.x() - m_size.width() / 2.0) / m_scale + m_centre.x(),
                   (screen.y() - m_size.height() / 2.0) / m_scale + m_centre.y());
}

QPointF Viewport::toScreen(double lat, double lon) const
{
    return worldToScreen(QPointF(geo::worldX(lon), geo::worldY(lat)));
}

QPointF Viewport::fromScreenLatLon(QPointF screen) const
{
    const QPointF w = screenToWorld(screen);
    return QPointF(geo::latOfWorldY(w.y()), geo::lonOfWorldX(w.x()));
}

QRectF Viewport::visibleWorld() const
{
    return QRectF(screenToWorld(QPointF(0, 0)), screenToWorld(QPointF(m_size.width(), m_size.height())));
}

double Viewport::altitude(MapUnit unit) const
{
    // One world height is the Earth's circumference, shrunk by cos(latitude) in Mercator.
    const double circumference = 360.0 * geo::unitPerDegree(unit);
    const double latRad = centreLat() * std::numbers::pi / 180.0;
    return m_size.height() / m_scale * circumference * std::cos(latRad);
}

void Viewport::setAltitude(double altitude, MapUnit unit)
{
    if (!(altitude > 0.0) || !std::isfinite(altitude))
        return;
    const double circumference = 360.0 * geo::unitPerDegree(unit);
    const double latRad = centreLat() * std::numbers::pi / 180.0;
    setScale(m_size.height() * circumference * std::cos(latRad) / altitude);
}

void Viewport::zoomAbout(QPointF screen, double factor)
{
    const QPointF before = screenToWorld(screen);
    setScale(m_scale * factor);
    const QPointF after = screenToWorld(screen);
    setCentreWorld(m_centre + (before - after));
}

void Viewport::panBy(QPointF screenDelta)
{
    setCentreWorld(m_centre - screenDelta / m_scale);
}

void Viewport::frame(double minLat, double maxLat, double minLon, double maxLon)
{
    const QPointF a(geo::worldX(minLon), geo::worldY(maxLat));
    const QPointF b(geo::worldX(maxLon), geo::worldY(minLat));
    setCentreWorld((a + b) / 2.0);
    const double w = std::max(b.x() - a.x(), 1e-9), h = std::max(b.y() - a.y(), 1e-9);
    setScale(0.9 * std::min(m_size.width() / w, m_size.height() / h));
}

} // namespace aero
