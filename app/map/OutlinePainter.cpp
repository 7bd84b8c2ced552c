// The offline base layers: sea, land, coastlines, borders and populated places.
#include "map/BaseMap.h"
#include "map/MapRenderer.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace aero {

namespace {

const QColor Sea(170, 202, 232);
const QColor Land(243, 240, 230);
const QColor Coast(95, 120, 150);
const QColor Border(150, 100, 130);
const QColor StateBorder(170, 140, 160);

// Screen polyline of a world line, dropping points closer than a pixel to the last kept one.
QPolygonF project(const OutlineLine& line, const Viewport& view)
{
    QPolygonF out;
    out.reserve(int(line.points.size()));
    QPointF last(-1e12, -1e12);
    for (const QPointF& w : line.points) {
        const QPointF s = view.worldToScreen(w);
        if (std::fabs(s.x() - last.x()) + std::fabs(s.y() - last.y()) >= 0.8) {
            out << s;
            last = s;
        }
    }
    if (!line.points.empty() && out.back() != view.worldToScreen(line.points.back()))
        out << view.worldToScreen(line.points.back());
    return out;
}

void strokeLines(QPainter& p, const std::vector<OutlineLine>& lines, const Viewport& view, const QRectF& world)
{
    for (const OutlineLine& l : lines)
        if (l.bounds.intersects(world) || l.bounds.width() == 0 || l.bounds.height() == 0)
            p.drawPolyline(project(l, view));
}

} // namespace

void drawBaseMap(QPainter& painter, const BaseMap& base, const Viewport& view)
{
    const QRectF world = view.visibleWorld();
    QPainterPath land;
    land.setFillRule(Qt::OddEvenFill);
    for (const OutlineLine& ring : base.land())
        if (ring.bounds.intersects(world))
            land.addPolygon(project(ring, view));
    painter.setPen(QPen(Coast, 1.0));
    painter.setBrush(Land);
    painter.drawPath(land);
    QPainterPath lakes;
    lakes.setFillRule(Qt::OddEvenFill);
    for (const OutlineLine& ring : base.lakes())
        if (ring.bounds.intersects(world))
            lakes.addPolygon(project(ring, view));
    painter.setPen(QPen(Coast, 0.6));
    painter.setBrush(Sea);
    painter.drawPath(lakes);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Border, 1.0, Qt::DashLine));
    strokeLines(painter, base.borders(), view, world);
    painter.setPen(QPen(StateBorder, 1.0, Qt::DotLine));
    strokeLines(painter, base.stateBorders(), view, world);
}

void drawPlaces(QPainter& painter, const BaseMap& base, const Viewport& view)
{
    // Largest places first; a name is left out where it would cover one already drawn.
    const QRectF world = view.visibleWorld();
    const QFontMetrics fm(painter.font());
    std::vector<QRectF> taken;
    painter.setPen(QColor(60, 60, 60));
    for (const Place& place : base.places()) {
        if (!world.contains(place.world))
            continue;
        const QPointF s = view.worldToScreen(place.world);
        const QRectF label(s.x() + 4, s.y() - fm.ascent() / 2.0 - 1, fm.horizontalAdvance(place.name) + 2, fm.height());
        bool free = true;
        for (const QRectF& t : taken)
            if (t.intersects(label)) {
                free = false;
                break;
            }
        if (!free)
            continue;
        taken.push_back(label.adjusted(-4, 0, 0, 0));
        painter.setBrush(QColor(60, 60, 60));
        painter.drawEllipse(s, 2.0, 2.0);
        painter.drawText(label.bottomLeft() + QPointF(1, -fm.descent()), place.name);
        if (taken.size() > 200)
            break;
    }
}

void fillSea(QPainter& painter, const Viewport& view)
{
    painter.fillRect(QRect(QPoint(0, 0), view.size()), Sea);
}

} // namespace aero
