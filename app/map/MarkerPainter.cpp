// Markers: the symbol, the name (display state 1) or a balloon with name and note (state 2).
// With many markers on screen only one symbol per small cell is drawn and labels go only
// where no other label is, so a frame stays cheap at 100000 markers.
#include "domain/Geo.h"
#include "map/MapRenderer.h"
#include "map/Symbols.h"

#include <QPainter>
#include <QRegularExpression>
#include <algorithm>

namespace aero {

namespace {

// Coarse screen occupancy: one flag per cell.
class Occupancy {
public:
    Occupancy(QSize screen, int cell) : m_cell(cell), m_w(screen.width() / cell + 1), m_h(screen.height() / cell + 1),
                                        m_flags(std::size_t(m_w * m_h), 0) {}
    bool takeRect(const QRectF& r)
    {
        const int x0 = std::max(0, int(r.left()) / m_cell), x1 = std::min(m_w - 1, int(r.right()) / m_cell);
        const int y0 = std::max(0, int(r.top()) / m_cell), y1 = std::min(m_h - 1, int(r.bottom()) / m_cell);
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                if (m_flags[std::size_t(y * m_w + x)])
                    return false;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                m_flags[std::size_t(y * m_w + x)] = 1;
        return true;
    }
    bool takePoint(QPointF p)
    {
        const int x = int(p.x()) / m_cell, y = int(p.y()) / m_cell;
        if (x < 0 || y < 0 || x >= m_w || y >= m_h)
            return true;
        auto& f = m_flags[std::size_t(y * m_w + x)];
        return f ? false : (f = 1, true);
    }

private:
    int m_cell, m_w, m_h;
    std::vector<std::uint8_t> m_flags;
};

void drawName(QPainter& p, QPointF at, const QString& name)
{
    const QFontMetrics fm(p.font());
    const QRectF box(at.x() + SymbolSize / 2 + 2, at.y() - fm.height() / 2.0, fm.horizontalAdvance(name) + 4, fm.height());
    p.fillRect(box, QColor(255, 255, 255, 200));
    p.setPen(Qt::black);
    p.drawText(box, Qt::AlignCenter, name);
}

QRectF balloonRect(QPointF at, const QString& name, const QString& note, const QFontMetrics& fm)
{
    const QStringList lines = note.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
    int w = fm.horizontalAdvance(name);
    for (const QString& l : lines)
        w = std::max(w, fm.horizontalAdvance(l));
    const int h = fm.height() * int(1 + (note.isEmpty() ? 0 : lines.size()));
    return QRectF(at.x() + SymbolSize / 2 + 4, at.y() - h - 6, w + 10, h + 6);
}

void drawBalloon(QPainter& p, QPointF at, const QRectF& box, const QString& name, const QString& note)
{
    const QFontMetrics fm(p.font());
    p.setPen(QColor(80, 80, 80));
    p.setBrush(QColor(255, 255, 225, 235));
    p.drawLine(at, box.bottomLeft() + QPointF(4, 0));
    p.drawRoundedRect(box, 4, 4);
    QFont bold = p.font();
    bold.setBold(true);
    p.save();
    p.setFont(bold);
    p.setPen(Qt::black);
    p.drawText(box.topLeft() + QPointF(5, 3 + fm.ascent()), name);
    p.restore();
    p.setPen(Qt::black);
    const QStringList lines = note.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
    for (int i = 0; i < lines.size() && !note.isEmpty(); ++i)
        p.drawText(box.topLeft() + QPointF(5, 3 + fm.ascent() + fm.height() * (i + 1)), lines[i]);
}

} // namespace

void drawMarkers(QPainter& painter, const RenderScene& scene, RenderStats& stats)
{
    const Viewport& view = scene.view;
    // Take in markers whose symbol reaches into the view.
    const double pad = SymbolSize;
    const QPointF nw = view.fromScreenLatLon(QPointF(-pad, -pad));
    const QPointF se = view.fromScreenLatLon(QPointF(view.size().width() + pad, view.size().height() + pad));
    const auto visible = scene.document.markers.inBox(se.x(), nw.x(), nw.y(), se.y());
    stats.markersConsidered = int(visible.size());
    const bool crowded = int(visible.size()) > DetailLimit;
    Occupancy symbols(view.size(), 6), labels(view.size(), 8);
    const QFontMetrics fm(painter.font());
    const QPointF half(SymbolSize / 2.0, SymbolSize / 2.0);
    // Symbols first, then names and balloons over them, so no symbol hides a label.
    std::vector<std::pair<const Marker*, QPointF>> labelled, onTop;
    auto drawSymbol = [&](const Marker* m, QPointF s) {
        const QImage& img = scene.symbols.image(m->symbol, scene.document);
        painter.drawImage(s - QPointF(img.width() / 2.0, img.height() / 2.0), img);
        ++stats.markersDrawn;
        if (m->displayState != 0)
            labelled.emplace_back(m, s);
    };
    for (const Marker* m : visible) {
        const QPointF s = view.worldToScreen(m->world);
        // The chosen AP and the live position stand above the rest, whatever their order.
        if (m->symbol == PositionSymbol || (scene.highlighted && *scene.highlighted == m->id)) {
            onTop.emplace_back(m, s);
            continue;
        }
        if (crowded && !symbols.takePoint(s))
            continue;
        drawSymbol(m, s);
    }
    std::stable_partition(onTop.begin(), onTop.end(), [](const auto& e) { return e.first->symbol != PositionSymbol; });
    for (const auto& [m, s] : onTop) {
        painter.setPen(QPen(m->symbol == PositionSymbol ? QColor(20, 90, 220) : QColor(255, 140, 0), 3.0));
        painter.setBrush(m->symbol == PositionSymbol ? QColor(20, 90, 220, 60) : QColor(255, 200, 0, 90));
        painter.drawEllipse(s, SymbolSize * 0.8, SymbolSize * 0.8);
        drawSymbol(m, s);
    }
    for (const auto& [m, s] : labelled) {
        if (m->displayState == 1) {
            const QRectF box(s.x() + half.x() + 2, s.y() - fm.height() / 2.0, fm.horizontalAdvance(m->name) + 4, fm.height());
            if (labels.takeRect(box)) {
                drawName(painter, s, m->name);
                ++stats.labelsDrawn;
            }
        } else {
            const QString extra = scene.balloonExtra ? scene.balloonExtra(m->name) : QString();
            const QString text = extra.isEmpty() ? m->note : m->note + QStringLiteral("\r\n") + extra;
            const QRectF box = balloonRect(s, m->name, text, fm);
            if (labels.takeRect(box)) {
                drawBalloon(painter, s, box, m->name, text);
                ++stats.labelsDrawn;
            }
        }
    }
}

} // namespace aero
