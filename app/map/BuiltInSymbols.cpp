// The 336 built-in symbols: twelve outlines in twenty-eight colours, each pair used once,
// plus two marks with their own looks: 17 (an AP that failed a filter) and 264 (the live
// position). 0, the default, is a red pushpin.
#include "map/MapService.h"
#include "map/Symbols.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <cmath>
#include <numbers>

namespace aero {

namespace {

constexpr int ShapeKinds = 12;

QColor symbolColour(int index)
{
    // Fourteen hues, bright then dark.
    const int hue = (index % 14) * 360 / 14;
    return QColor::fromHsv(hue, 230, index < 14 ? 235 : 140);
}

QPolygonF regular(int corners, double r, double turn)
{
    QPolygonF p;
    for (int i = 0; i < corners; ++i) {
        const double a = turn + 2.0 * std::numbers::pi * i / corners;
        p << QPointF(r * std::cos(a), r * std::sin(a));
    }
    return p;
}

QPolygonF star(double r)
{
    QPolygonF p;
    for (int i = 0; i < 10; ++i) {
        const double a = -std::numbers::pi / 2 + std::numbers::pi * i / 5;
        const double k = (i % 2) ? r * 0.45 : r;
        p << QPointF(k * std::cos(a), k * std::sin(a));
    }
    return p;
}

void drawPushpin(QPainter& p, double r)
{
    p.drawLine(QPointF(0, 0), QPointF(0, r));
    p.drawEllipse(QPointF(0, -r * 0.35), r * 0.6, r * 0.6);
}

void drawFilteredMark(QPainter& p, double r)
{
    p.setBrush(QColor(255, 255, 255, 200));
    p.setPen(QPen(QColor(200, 0, 0), r * 0.18));
    p.drawEllipse(QPointF(0, 0), r * 0.9, r * 0.9);
    p.setPen(QPen(QColor(220, 0, 0), r * 0.32, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(-r * 0.55, -r * 0.55), QPointF(r * 0.55, r * 0.55));
    p.drawLine(QPointF(-r * 0.55, r * 0.55), QPointF(r * 0.55, -r * 0.55));
}

void drawPositionMark(QPainter& p, double r)
{
    p.setPen(QPen(QColor(0, 60, 200), r * 0.15));
    p.setBrush(QColor(255, 255, 255, 220));
    p.drawEllipse(QPointF(0, 0), r * 0.95, r * 0.95);
    p.setBrush(QColor(0, 90, 230));
    p.drawPolygon(QPolygonF({QPointF(0, -r * 0.8), QPointF(r * 0.55, r * 0.6), QPointF(0, r * 0.3),
                             QPointF(-r * 0.55, r * 0.6)}));
}

void drawOutline(QPainter& p, int kind, double r)
{
    switch (kind) {
    case 0: drawPushpin(p, r); break;
    case 1: p.drawEllipse(QPointF(0, 0), r * 0.8, r * 0.8); break;
    case 2: p.drawRect(QRectF(-r * 0.75, -r * 0.75, r * 1.5, r * 1.5)); break;
    case 3: p.drawPolygon(regular(3, r, -std::numbers::pi / 2)); break;
    case 4: p.drawPolygon(regular(4, r, 0)); break;
    case 5: p.drawPolygon(star(r)); break;
    case 6: p.drawPolygon(regular(6, r * 0.9, 0)); break;
    case 7:
        p.drawLine(QPointF(-r * 0.6, r), QPointF(-r * 0.6, -r));
        p.drawPolygon(QPolygonF({QPointF(-r * 0.6, -r), QPointF(r * 0.9, -r * 0.5), QPointF(-r * 0.6, 0)}));
        break;
    case 8:
        p.drawPolygon(QPolygonF({QPointF(-r * 0.3, -r), QPointF(r * 0.3, -r), QPointF(r * 0.3, -r * 0.3),
                                 QPointF(r, -r * 0.3), QPointF(r, r * 0.3), QPointF(r * 0.3, r * 0.3),
                                 QPointF(r * 0.3, r), QPointF(-r * 0.3, r), QPointF(-r * 0.3, r * 0.3),
                                 QPointF(-r, r * 0.3), QPointF(-r, -r * 0.3), QPointF(-r * 0.3, -r * 0.3)}));
        break;
    case 9: {
        QPainterPath ring;
        ring.addEllipse(QPointF(0, 0), r * 0.9, r * 0.9);
        ring.addEllipse(QPointF(0, 0), r * 0.45, r * 0.45);
        p.drawPath(ring);
        break;
    }
    case 10:
        p.drawPolygon(QPolygonF({QPointF(0, -r), QPointF(r * 0.8, 0), QPointF(r * 0.3, 0), QPointF(r * 0.3, r),
                                 QPointF(-r * 0.3, r), QPointF(-r * 0.3, 0), QPointF(-r * 0.8, 0)}));
        break;
    default: p.drawPolygon(regular(3, r, std::numbers::pi / 2)); break;
    }
}

} // namespace

void drawBuiltInSymbol(QPainter& painter, int number, int size)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(size / 2.0, size / 2.0);
    const double r = size / 2.0 - 1.0;
    if (number == FilteredSymbol) {
        drawFilteredMark(painter, r);
    } else if (number == PositionSymbol) {
        drawPositionMark(painter, r);
    } else {
        const QColor c = symbolColour((number / ShapeKinds) % 28);
        painter.setPen(QPen(c.darker(170), std::max(1.0, size / 16.0)));
        painter.setBrush(c);
        drawOutline(painter, number % ShapeKinds, r);
    }
    painter.restore();
}

} // namespace aero
