#include "map/OsmLayer.h"

#include "map/Viewport.h"

#include <QPainter>
#include <QPainterPath>
#include <QSet>
#include <array>
#include <cmath>
#include <numbers>

namespace aero {

namespace {

struct Style {
    double minZoom;
    QColor fill;
    QColor casing;       // roads: the darker edge; invalid: none
    double width;        // line width in pixels at zoom 16
    double minWidth;
    Qt::PenStyle pen = Qt::SolidLine;
};

// Indexed by OsmKind. Colours, widths and the zoom each kind appears from follow the usual
// conventions of OpenStreetMap's standard map: land use from zoom 10 in pale tints, woods from
// 8; motorways and trunk roads from 5, primary from 8, secondary from 9 (all cased from 9),
// tertiary from 10, streets from 12, service roads and tracks from 14, paths from 15.
const std::array<Style, std::size_t(OsmKind::Count)> Styles{{
    {0, QColor(170, 202, 232), {}, 0, 0},                          // Sea
    {0, QColor(243, 240, 230), {}, 0, 0},                          // Land
    {10, QColor(224, 223, 223), {}, 0, 0},                         // Housing
    {10, QColor(242, 218, 217), {}, 0, 0},                         // Commerce
    {10, QColor(235, 219, 232), {}, 0, 0},                         // Industry
    {10, QColor(238, 240, 213), {}, 0, 0},                         // Farmland
    {10, QColor(174, 223, 163), {}, 0, 0},                         // Orchard
    {10, QColor(205, 235, 176), {}, 0, 0},                         // Grass
    {6, QColor(170, 202, 232), {}, 0, 0},                          // Water
    {8, QColor(173, 209, 158), {}, 0, 0},                          // Wood
    {10, QColor(200, 250, 204), {}, 0, 0},                         // Park
    {14, QColor(217, 208, 201), QColor(190, 178, 168), 0, 0},      // Building
    {8, QColor(140, 180, 225), {}, 5, 1.2},                        // River
    {13, QColor(140, 180, 225), {}, 2, 0.8},                       // Stream
    {15, QColor(250, 128, 114), {}, 1.5, 1, Qt::DashLine},         // Path
    {14, QColor(150, 110, 50), {}, 2, 1, Qt::DashLine},            // Track
    {14, QColor(255, 255, 255), QColor(190, 190, 190), 5, 1},      // Service
    {12, QColor(255, 255, 255), QColor(180, 180, 180), 9, 1},      // Residential
    {10, QColor(255, 255, 255), QColor(170, 170, 170), 11, 1.4},   // Tertiary
    {9, QColor(247, 250, 191), QColor(150, 150, 90), 12, 1.8},     // Secondary
    {8, QColor(252, 214, 164), QColor(190, 140, 80), 13, 2.0},     // Primary
    {5, QColor(249, 178, 156), QColor(190, 110, 90), 14, 2.2},     // Trunk
    {4, QColor(232, 146, 162), QColor(180, 80, 100), 15, 2.4},     // Motorway
    {10, QColor(110, 110, 110), {}, 2, 1, Qt::DashLine},           // Railway
    {4, QColor(160, 100, 170), {}, 2.5, 1.2, Qt::DashDotLine},     // Border
    {0, QColor(40, 40, 40), {}, 0, 0},                             // Place
}};

// Main roads carry their casing from this zoom on, however thin they are drawn.
constexpr double CasedFromZoom = 9.0;
// Zoom from which a border of each admin level shows: countries, regions, counties.
double borderZoom(std::uint8_t level) { return level <= 2 ? 4.0 : level <= 4 ? 6.0 : 10.0; }

double zoomOf(double scale) { return std::log2(scale / 256.0); }

// A street name follows a run of segments that turns by less than this from its first one.
constexpr double MaxLabelTurn = 0.45;   // radians
constexpr double StreetNameZoom = 14.0;
constexpr double RiverNameZoom = 12.0;
const QColor WaterText(40, 90, 160);

double lineWidth(const Style& s, double zoom)
{
    return std::max(s.minWidth, s.width * std::pow(2.0, (zoom - 16.0) * 0.8));
}

// The part of OsmData's fixed-point world a pixel rectangle covers.
OsmBox boxOf(double left, double top, double right, double bottom, double scale)
{
    const double k = OsmWorldScale / scale;
    auto clampInt = [](double v) { return std::int32_t(std::clamp(v, double(INT32_MIN), double(INT32_MAX))); };
    return {clampInt(left * k), clampInt(top * k), clampInt(right * k), clampInt(bottom * k)};
}

// Screen points of a ring, dropping those closer than `minStep` pixels to the last one kept.
void project(const OsmData& d, const OsmRing& r, double k, QPointF origin, double minStep, QPolygonF& out)
{
    out.clear();
    QPointF last(1e18, 1e18);
    for (std::uint32_t i = r.first; i < r.first + r.count; ++i) {
        const QPointF p(d.points[i].x * k - origin.x(), d.points[i].y * k - origin.y());
        if (std::fabs(p.x() - last.x()) + std::fabs(p.y() - last.y()) >= minStep || i + 1 == r.first + r.count) {
            out << p;
            last = p;
        }
    }
}

// Pixel origin of the view in the world's pixel plane at its scale.
QPointF viewOrigin(const Viewport& view)
{
    return QPointF(view.centreWorld().x() * view.scale() - view.size().width() / 2.0,
                   view.centreWorld().y() * view.scale() - view.size().height() / 2.0);
}

} // namespace

void OsmLayer::setData(std::vector<std::shared_ptr<const OsmData>> data)
{
    m_data = std::move(data);
    clearCache();
}

bool OsmLayer::covers(const Viewport& view) const
{
    const QPointF o = viewOrigin(view);
    const OsmBox box = boxOf(o.x(), o.y(), o.x() + view.size().width(), o.y() + view.size().height(), view.scale());
    for (const auto& d : m_data)
        if (d->bounds.intersects(box))
            return true;
    return false;
}

int OsmLayer::draw(QPainter& painter, const Viewport& view)
{
    if (!covers(view))
        return 0;
    const double scale = view.scale();
    const QPointF o = viewOrigin(view);
    const int x0 = int(std::floor(o.x() / TileSize)), x1 = int(std::floor((o.x() + view.size().width()) / TileSize));
    const int y0 = int(std::floor(o.y() / TileSize)), y1 = int(std::floor((o.y() + view.size().height()) / TileSize));
    const QString prefix = QString::number(scale, 'g', 17) + QLatin1Char('/');
    int rendered = 0;
    for (int ty = y0; ty <= y1; ++ty)
        for (int tx = x0; tx <= x1; ++tx) {
            const QString key = prefix + QString::number(tx) + QLatin1Char('/') + QString::number(ty);
            QImage* tile = m_tiles.object(key);
            if (!tile) {
                tile = new QImage(renderTile(scale, tx, ty));
                m_tiles.insert(key, tile, 1);
                tile = m_tiles.object(key);
                ++rendered;
            }
            if (tile && !tile->isNull())
                painter.drawImage(QPointF(tx * double(TileSize) - o.x(), ty * double(TileSize) - o.y()), *tile);
        }
    return rendered;
}

QImage OsmLayer::renderTile(double scale, int tx, int ty) const
{
    const double zoom = zoomOf(scale);
    const double margin = 12.0;   // half the widest road: a road just outside still shows its edge
    const QPointF origin(tx * double(TileSize), ty * double(TileSize));
    const OsmBox box = boxOf(origin.x() - margin, origin.y() - margin, origin.x() + TileSize + margin,
                             origin.y() + TileSize + margin, scale);
    // Features by kind, so each kind is drawn in one pass in the order of the enum.
    std::array<std::vector<std::pair<const OsmData*, const OsmFeature*>>, std::size_t(OsmKind::Count)> byKind;
    bool any = false;
    for (const auto& d : m_data)
        d->forEachIn(box, [&](const OsmFeature& f) {
            if (f.kind != OsmKind::Place && zoom >= Styles[std::size_t(f.kind)].minZoom &&
                (f.kind != OsmKind::Border || zoom >= borderZoom(f.rank))) {
                byKind[std::size_t(f.kind)].emplace_back(d.get(), &f);
                any = true;
            }
        });
    if (!any)
        return {};
    QImage image(TileSize, TileSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    const double k = scale / OsmWorldScale;
    const double minPixels = 1.5;   // areas smaller than this are left out
    QPolygonF poly;
    for (std::size_t kind = 0; kind < byKind.size(); ++kind) {
        const Style& s = Styles[kind];
        const auto& list = byKind[kind];
        if (list.empty())
            continue;
        if (kind <= std::size_t(OsmKind::Building)) {
            // Land edged in its own colour: no hairline of sea where it meets the extract's edge.
            p.setPen(s.casing.isValid() ? QPen(s.casing, 0.8) : kind == std::size_t(OsmKind::Land) ? QPen(s.fill, 1.0) : Qt::NoPen);
            p.setBrush(s.fill);
            for (const auto& [d, f] : list) {
                if ((f->box.maxX - f->box.minX) * k < minPixels && (f->box.maxY - f->box.minY) * k < minPixels)
                    continue;
                if (!f->area)
                    continue;
                QPainterPath path;
                path.setFillRule(Qt::OddEvenFill);
                for (std::uint32_t r = f->firstRing; r < f->firstRing + f->ringCount; ++r) {
                    project(*d, d->rings[r], k, origin, 0.7, poly);
                    path.addPolygon(poly);
                }
                p.drawPath(path);
            }
            continue;
        }
        const double w = lineWidth(s, zoom);
        p.setBrush(Qt::NoBrush);
        // Roads get a casing drawn first, so crossings of one class merge cleanly.
        const bool cased = s.casing.isValid() && (w >= 3 || (kind >= std::size_t(OsmKind::Secondary) && zoom >= CasedFromZoom));
        for (int pass = cased ? 0 : 1; pass < 2; ++pass) {
            QPen pen(pass == 0 ? s.casing : s.fill, pass == 0 ? w + (w >= 3 ? 1.6 : 1.2) : w, s.pen, Qt::RoundCap, Qt::RoundJoin);
            p.setPen(pen);
            for (const auto& [d, f] : list) {
                if (f->area)
                    continue;
                const OsmRing& r = d->rings[f->firstRing];
                project(*d, r, k, origin, 0.7, poly);
                p.drawPolyline(poly);
            }
        }
    }
    return image;
}

// Text centred on a point along a direction, with a light halo so it reads over roads. The
// outlines of each text are made once and kept: making them is most of a label's cost.
void OsmLayer::drawHaloText(QPainter& p, QPointF at, double angle, const QString& text, const QFont& font,
                            QColor colour) const
{
    const QString key = font.key() + QLatin1Char('\n') + text;
    auto it = m_glyphs.constFind(key);
    if (it == m_glyphs.constEnd()) {
        if (m_glyphs.size() > MaxCachedLabels)
            m_glyphs.clear();
        Glyphs g;
        const QFontMetricsF fm(font);
        g.text.addText(-fm.horizontalAdvance(text) / 2.0, fm.ascent() / 2.0 - fm.descent() / 2.0, font, text);
        QPainterPathStroker stroker;
        stroker.setWidth(3.0);
        stroker.setJoinStyle(Qt::RoundJoin);
        stroker.setCapStyle(Qt::RoundCap);
        // Flattened once too: curves would be flattened again at every frame.
        auto flat = [](const QPainterPath& path) {
            QPainterPath out;
            out.setFillRule(path.fillRule());
            for (const QPolygonF& poly : path.toSubpathPolygons())
                out.addPolygon(poly);
            return out;
        };
        g.halo = flat(stroker.createStroke(g.text));
        g.text = flat(g.text);
        it = m_glyphs.insert(key, g);
    }
    p.save();
    p.translate(at);
    p.rotate(angle);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 220));
    p.drawPath(it->halo);
    p.setBrush(colour);
    p.drawPath(it->text);
    p.restore();
}

namespace {

bool takeBox(std::vector<QRectF>& taken, const QRectF& box)
{
    for (const QRectF& t : taken)
        if (t.intersects(box))
            return false;
    taken.push_back(box);
    return true;
}

} // namespace

void OsmLayer::drawLabels(QPainter& painter, const Viewport& view, const std::vector<QPointF>& avoid) const
{
    // Laid out for an area twice the view's size, so panning only draws what was placed.
    const QPointF o = viewOrigin(view);
    const QRectF shown(o, QSizeF(view.size()));
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    if (m_labelScale != view.scale() || !m_labelArea.contains(shown) || m_labelFont != painter.font() ||
        m_labelImage.devicePixelRatio() != ratio || m_labelAvoided != avoid.size()) {
        layoutLabels(painter.font(), view, avoid);
        // Drawn once into a picture of the whole area: a panning frame only places it.
        m_labelImage = QImage((m_labelArea.size() * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
        m_labelImage.setDevicePixelRatio(ratio);
        m_labelImage.fill(Qt::transparent);
        QPainter p(&m_labelImage);
        p.setRenderHint(QPainter::Antialiasing, true);
        for (const PlacedLabel& l : m_labels)
            drawHaloText(p, l.at - m_labelArea.topLeft(), l.angle, l.text, l.font, l.colour);
    }
    if (!m_labels.empty())
        painter.drawImage(m_labelArea.topLeft() - o, m_labelImage);
}

void OsmLayer::layoutLabels(const QFont& baseFont, const Viewport& view, const std::vector<QPointF>& avoid) const
{
    const double zoom = zoomOf(view.scale());
    const QSizeF area(view.size().width() * 2.0, view.size().height() * 2.0);
    const QPointF o = viewOrigin(view) - QPointF(view.size().width() / 2.0, view.size().height() / 2.0);
    const QRectF screen(QPointF(0, 0), area);
    m_labels.clear();
    m_labelScale = view.scale();
    m_labelArea = QRectF(o, area);
    m_labelFont = baseFont;
    const OsmBox box = boxOf(o.x(), o.y(), o.x() + area.width(), o.y() + area.height(), view.scale());
    const double k = view.scale() / OsmWorldScale;
    std::vector<QRectF> taken;
    // The markers' symbols are taken first: a name never hides an AP.
    m_labelAvoided = avoid.size();
    for (const QPointF& w : avoid) {
        const QPointF at(w.x() * view.scale() - o.x(), w.y() * view.scale() - o.y());
        taken.emplace_back(at.x() - 9, at.y() - 9, 18, 18);
    }
    // Places first, larger ones first: they matter more than a street.
    QFont placeFont = baseFont;
    placeFont.setBold(true);
    // Cities from zoom 8, towns from 10, villages and suburbs from 12, hamlets from 14.
    for (std::uint8_t rank = 1; rank <= 4; ++rank) {
        if (zoom < 6.0 + 2.0 * rank)
            break;
        QFont f = placeFont;
        f.setPointSizeF(placeFont.pointSizeF() * (rank == 1 ? 1.4 : rank == 2 ? 1.2 : 1.0));
        const QFontMetricsF fm(f);
        for (const auto& d : m_data)
            d->forEachIn(box, [&](const OsmFeature& feature) {
                if (feature.kind != OsmKind::Place || feature.rank != rank || feature.name < 0)
                    return;
                const OsmPoint pt = d->points[d->rings[feature.firstRing].first];
                const QPointF at(pt.x * k - o.x(), pt.y * k - o.y());
                const QString& name = d->names[std::size_t(feature.name)];
                const QRectF r(at.x() - fm.horizontalAdvance(name) / 2 - 2, at.y() - fm.height() / 2, fm.horizontalAdvance(name) + 4, fm.height());
                if (screen.contains(at) && takeBox(taken, r))
                    m_labels.push_back({at + o, 0.0, name, f, QColor(30, 30, 30)});
            });
    }
    // Lake names at their middle, when the lake is large enough on screen to hold them.
    QFont waterFont = baseFont;
    waterFont.setItalic(true);
    waterFont.setPointSizeF(baseFont.pointSizeF() * 0.8);
    const QFontMetricsF wfm(waterFont);
    for (const auto& d : m_data)
        d->forEachIn(box, [&](const OsmFeature& feature) {
            if (feature.kind != OsmKind::Water || feature.name < 0)
                return;
            const QString& name = d->names[std::size_t(feature.name)];
            const double w = (double(feature.box.maxX) - feature.box.minX) * k, h = (double(feature.box.maxY) - feature.box.minY) * k;
            if (w < wfm.horizontalAdvance(name) + 8 || h < wfm.height() * 2)
                return;
            // Above the middle: the middle is where a marker on the water would stand.
            const QPointF at((double(feature.box.minX) + feature.box.maxX) / 2 * k - o.x(),
                             (double(feature.box.minY) + 0.35 * (double(feature.box.maxY) - feature.box.minY)) * k - o.y());
            const QRectF r(at.x() - wfm.horizontalAdvance(name) / 2 - 2, at.y() - wfm.height() / 2, wfm.horizontalAdvance(name) + 4, wfm.height());
            if (screen.contains(at) && takeBox(taken, r))
                m_labels.push_back({at + o, 0.0, name, waterFont, WaterText});
        });
    // Street and river names along the longest straight piece of each, once per name.
    if (zoom >= std::min(StreetNameZoom, RiverNameZoom)) {
        QFont f = baseFont;
        f.setPointSizeF(f.pointSizeF() * 0.75);
        const QFontMetricsF fm(f);
        QSet<QString> done;   // by text: overlapping extracts hold the same street
        for (const auto& d : m_data)
            d->forEachIn(box, [&](const OsmFeature& feature) {
                const bool river = feature.kind == OsmKind::River;
                if (feature.name < 0 || feature.area || (river && zoom < RiverNameZoom) ||
                    (!river && (zoom < StreetNameZoom || feature.kind < OsmKind::Residential || feature.kind > OsmKind::Motorway)))
                    return;
                const QString& name = d->names[std::size_t(feature.name)];
                if (done.contains(name))
                    return;
                const OsmRing& r = d->rings[feature.firstRing];
                // The longest nearly straight run of segments on screen: its chord carries the name.
                QPointF best0, best1, runStart, prev;
                double bestLen = 0, runHeading = 0;
                bool inRun = false;
                for (std::uint32_t i = r.first; i < r.first + r.count; ++i) {
                    const QPointF p(d->points[i].x * k - o.x(), d->points[i].y * k - o.y());
                    const bool onScreen = screen.contains(p);
                    if (i > r.first && onScreen && screen.contains(prev) && p != prev) {
                        const double heading = std::atan2(p.y() - prev.y(), p.x() - prev.x());
                        double turn = std::fabs(heading - runHeading);
                        turn = std::min(turn, 2 * std::numbers::pi - turn);
                        if (!inRun || turn > MaxLabelTurn)
                            runStart = prev, runHeading = heading, inRun = true;
                        const double len = std::hypot(p.x() - runStart.x(), p.y() - runStart.y());
                        if (len > bestLen)
                            bestLen = len, best0 = runStart, best1 = p;
                    } else if (!onScreen) {
                        inRun = false;
                    }
                    prev = p;
                }
                const double textWidth = (river ? QFontMetricsF(waterFont) : fm).horizontalAdvance(name);
                if (bestLen < textWidth + 4)
                    return;
                double angle = std::atan2(best1.y() - best0.y(), best1.x() - best0.x()) * 180.0 / std::numbers::pi;
                if (angle > 90)
                    angle -= 180;
                else if (angle < -90)
                    angle += 180;
                const QPointF mid = (best0 + best1) / 2.0;
                QTransform t;
                t.translate(mid.x(), mid.y());
                t.rotate(angle);
                const QRectF extent = t.mapRect(QRectF(-textWidth / 2, -fm.height() / 2, textWidth, fm.height()));
                if (!takeBox(taken, extent))
                    return;
                done.insert(name);
                m_labels.push_back({mid + o, angle, name, river ? waterFont : f, river ? WaterText : QColor(60, 60, 60)});
            });
    }
}

} // namespace aero
