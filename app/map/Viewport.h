#pragma once
// What part of the Web Mercator world the view shows: a centre in world coordinates, a scale
// in pixels per world width, and the pixel size. Screen and world positions convert both ways
// with the same arithmetic, so screen -> location -> screen gives back the same pixel.
#include "map/MapService.h"

#include <QPointF>
#include <QRectF>
#include <QSize>

namespace aero {

class Viewport {
public:
    static constexpr double MinScale = 128.0;                 // whole world in 128 px
    static constexpr double MaxScale = 256.0 * (1 << 24);     // street level and closer

    QSize size() const { return m_size; }
    void setSize(QSize size);

    double scale() const { return m_scale; }
    void setScale(double pixelsPerWorld);
    QPointF centreWorld() const { return m_centre; }
    void setCentreWorld(QPointF world);
    void setCentre(double lat, double lon);
    double centreLat() const;
    double centreLon() const;

    QPointF worldToScreen(QPointF world) const;
    QPointF screenToWorld(QPointF screen) const;
    QPointF toScreen(double lat, double lon) const;
    // Latitude and longitude of a screen point.
    QPointF fromScreenLatLon(QPointF screen) const;   // x = lat, y = lon
    QRectF visibleWorld() const;

    // The visible height in `unit`, measured at the centre's latitude.
    double altitude(MapUnit unit) const;
    void setAltitude(double altitude, MapUnit unit);

    void zoomAbout(QPointF screen, double factor);
    void panBy(QPointF screenDelta);
    // Frames a latitude/longitude box with a margin.
    void frame(double minLat, double maxLat, double minLon, double maxLon);

private:
    QSize m_size{640, 480};
    QPointF m_centre{0.5, 0.5};
    double m_scale = 1024.0;
};

} // namespace aero
