#include "map/MapRenderer.h"

#include "map/BaseMap.h"
#include "domain/Geo.h"
#include "map/OsmLayer.h"
#include "map/TileLayer.h"
#include "map/TilePackLayer.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>
#include <numbers>

namespace aero {

void fillSea(QPainter& painter, const Viewport& view);   // OutlinePainter.cpp

QColor colorFromRgbInt(int rgb)
{
    return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

QSizeF figureSizePixels(const Shape& s, const Viewport& view)
{
    if (s.points.empty())
        return {};
    const double lat = s.points.front().lat;
    const double kmPerDeg = geo::unitPerDegree(MapUnit::Kilometres);
    const double dLat = s.height / kmPerDeg;
    const double dLon = s.width / (kmPerDeg * std::max(0.01, std::cos(lat * std::numbers::pi / 180.0)));
    const QPointF a = view.toScreen(lat - dLat / 2, s.points.front().lon - dLon / 2);
    const QPointF b = view.toScreen(lat + dLat / 2, s.points.front().lon + dLon / 2);
    return QSizeF(std::fabs(b.x() - a.x()), std::fabs(b.y() - a.y()));
}

namespace {

// World positions of the markers where names may be laid out (the view and half of it round
// it), so names keep clear of them; none when so many that they show as clusters.
std::vector<QPointF> markersAroundView(const RenderScene& scene)
{
    const Viewport& v = scene.view;
    const QSizeF half(v.size().width() / 2.0, v.size().height() / 2.0);
    const QPointF nw = v.fromScreenLatLon(QPointF(-half.width(), -half.height()));
    const QPointF se = v.fromScreenLatLon(QPointF(v.size().width() + half.width(), v.size().height() + half.height()));
    const auto markers = scene.document.markers.inBox(se.x(), nw.x(), nw.y(), se.y());
    std::vector<QPointF> out;
    if (int(markers.size()) > DetailLimit)
        return out;
    out.reserve(markers.size());
    for (const Marker* m : markers)
        out.push_back(m->world);
    return out;
}

void paintBase(QPainter& painter, const RenderScene& scene)
{
    fillSea(painter, scene.view);
    if (scene.base && scene.base->isLoaded()) {
        painter.setRenderHint(QPainter::Antialiasing, scene.view.scale() > 4096);
        drawBaseMap(painter, *scene.base, scene.view);
    }
    if (scene.osm && !scene.osm->isEmpty()) {
        scene.osm->draw(painter, scene.view);
        scene.osm->drawLabels(painter, scene.view, markersAroundView(scene));
    }
    if (scene.pack)
        scene.pack->draw(painter, scene.view);
}

void drawCachedBase(QPainter& painter, const RenderScene& scene)
{
    BaseLayerCache& c = *scene.baseCache;
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const Viewport& v = scene.view;
    if (c.image.isNull() || c.size != v.size() || c.scale != v.scale() || c.centre != v.centreWorld()
        || c.pixelRatio != ratio || c.base != scene.base || c.generation != scene.layersGeneration) {
        QImage image(v.size() * ratio, QImage::Format_RGB32);
        image.setDevicePixelRatio(ratio);
        {
            QPainter p(&image);
            paintBase(p, scene);
        }
        c = {std::move(image), v.size(), v.scale(), v.centreWorld(), ratio, scene.base, scene.layersGeneration};
    }
    painter.drawImage(QPointF(0, 0), c.image);
}

} // namespace

RenderStats renderScene(QPainter& painter, const RenderScene& scene)
{
    RenderStats stats;
    painter.save();
    if (scene.baseCache)
        drawCachedBase(painter, scene);
    else
        paintBase(painter, scene);
    QStringList& credits = stats.credits;
    if (scene.base && scene.base->isLoaded())
        credits << QStringLiteral("Natural Earth");
    // The lakes of the outline come from OpenStreetMap too.
    bool osm = (scene.osm && scene.osm->covers(scene.view)) ||
               (scene.base && scene.base->isLoaded() && scene.base->lakesIn(scene.view.visibleWorld()));
    if (scene.tiles) {
        stats.tilesDrawn = scene.tiles->draw(painter, scene.view);
        osm = osm || stats.tilesDrawn > 0;
    }
    if (osm)
        credits << QString::fromUtf8(OsmCredit);
    if (scene.pack && scene.pack->isOpen() && !scene.pack->attribution().isEmpty())
        credits << scene.pack->attribution();
    if (scene.base && scene.document.places) {
        drawPlaces(painter, *scene.base, scene.view);
        credits << QStringLiteral("GeoNames");
    }
    painter.setRenderHint(QPainter::Antialiasing, true);
    drawShapes(painter, scene);
    drawMarkers(painter, scene, stats);
    if (scene.decorations)
        drawScaleBar(painter, scene.view, scene.document.units);
    if (scene.decorations && !credits.isEmpty())
        drawAttribution(painter, scene.view, credits.join(QStringLiteral(" | ")));
    if (scene.decorations && !scene.picture && scene.tiles && scene.tiles->isEnabled() && scene.tiles->isPaused())
        drawNotice(painter, scene.view, QString::fromUtf8(TilesUnavailableNotice));
    painter.restore();
    return stats;
}

namespace {

// A label reads on any base map: dark text, one line per line of the text, on a pale box edged
// in the shape's colour, its bottom-left corner at `corner`.
void drawShapeLabel(QPainter& painter, QPointF corner, const Shape& s)
{
    QString text = s.text;
    text.remove(QLatin1Char('\r'));
    const QStringList lines = text.split(QLatin1Char('\n'));
    const QFontMetricsF fm(painter.font());
    double width = 0;
    for (const QString& l : lines)
        width = std::max(width, fm.horizontalAdvance(l));
    const double lineHeight = fm.height();
    const QRectF box(corner.x(), corner.y() - lineHeight * lines.size() - 2, width + 6, lineHeight * lines.size() + 2);
    painter.setPen(QPen(colorFromRgbInt(s.lineColor), 1.0));
    painter.setBrush(QColor(255, 255, 240, 225));
    painter.drawRect(box);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QColor(20, 20, 20));
    for (qsizetype i = 0; i < lines.size(); ++i)
        painter.drawText(QPointF(box.left() + 3, box.top() + 1 + fm.ascent() + lineHeight * i), lines[i]);
}

} // namespace

void drawShapes(QPainter& painter, const RenderScene& scene)
{
    const Viewport& view = scene.view;
    for (const Shape& s : scene.document.shapes) {
        const bool selected = scene.selectedShape && *scene.selectedShape == s.id;
        QPen pen(colorFromRgbInt(s.lineColor), 1.0 + std::clamp(s.lineSetting, 0, 8), Qt::SolidLine, Qt::RoundCap);
        if (selected)
            pen.setStyle(Qt::DashLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        if (s.points.empty())
            continue;
        const QPointF first = view.toScreen(s.points.front().lat, s.points.front().lon);
        if (s.kind == ShapeKind::Figure) {
            const QSizeF size = figureSizePixels(s, view);
            if (s.width > 0 || s.height > 0) {
                const QSizeF shown(std::max(6.0, size.width()), std::max(6.0, size.height()));
                painter.drawRect(QRectF(first - QPointF(shown.width() / 2, shown.height() / 2), shown));
            }
        } else {
            QPolygonF line;
            for (const Location& p : s.points)
                line << view.toScreen(p.lat, p.lon);
            painter.drawPolyline(line);
        }
        if (!s.text.isEmpty())
            drawShapeLabel(painter, first + QPointF(6, -6), s);
    }
    if (scene.draft.size() >= 1) {
        painter.setPen(QPen(Qt::darkGray, 1.5, Qt::DashLine));
        QPolygonF line;
        for (const Location& p : scene.draft)
            line << view.toScreen(p.lat, p.lon);
        painter.drawPolyline(line);
    }
}

void drawScaleBar(QPainter& painter, const Viewport& view, MapUnit unit)
{
    const double perPixel = view.altitude(unit) / view.size().height();
    if (!(perPixel > 0))
        return;
    // The longest 1-2-5 step that fits in about 120 pixels.
    double step = std::pow(10.0, std::floor(std::log10(120 * perPixel)));
    for (double k : {5.0, 2.0, 1.0})
        if (k * step <= 120 * perPixel) {
            step *= k;
            break;
        }
    const double px = step / perPixel;
    const QString text = QString::number(step, 'g', 6) + (unit == MapUnit::Kilometres ? QStringLiteral(" km") : QStringLiteral(" mi"));
    const QPointF origin(10, view.size().height() - 12);
    painter.setPen(QPen(Qt::black, 2.0));
    painter.drawLine(origin, origin + QPointF(px, 0));
    painter.drawLine(origin, origin + QPointF(0, -5));
    painter.drawLine(origin + QPointF(px, 0), origin + QPointF(px, -5));
    painter.drawText(origin + QPointF(2, -7), text);
}

void drawNotice(QPainter& painter, const Viewport& view, const QString& text)
{
    const QFontMetrics fm(painter.font());
    const QRectF box(view.size().width() - fm.horizontalAdvance(text) - 18, 6, fm.horizontalAdvance(text) + 12, fm.height() + 6);
    painter.setPen(QColor(150, 110, 20));
    painter.setBrush(QColor(255, 244, 200, 230));
    painter.drawRoundedRect(box, 4, 4);
    painter.setPen(QColor(60, 40, 0));
    painter.drawText(box, Qt::AlignCenter, text);
}

void drawAttribution(QPainter& painter, const Viewport& view, const QString& text)
{
    QFont f = painter.font();
    f.setPointSizeF(f.pointSizeF() * 0.8);
    painter.setFont(f);
    const QFontMetrics fm(f);
    const QRectF box(view.size().width() - fm.horizontalAdvance(text) - 8, view.size().height() - fm.height() - 2,
                     fm.horizontalAdvance(text) + 8, fm.height() + 2);
    painter.fillRect(box, QColor(255, 255, 255, 190));
    painter.setPen(QColor(40, 40, 40));
    painter.drawText(box, Qt::AlignCenter, text);
}

} // namespace aero
