#pragma once
// Draws OpenStreetMap extracts under the markers: areas, waterways, roads by class and
// railways into 256-pixel tiles kept between frames (panning redraws only the new ones),
// then place names and street names over them. Detail follows the zoom: buildings and
// footpaths only close in, and points closer than a pixel are dropped.
#include "map/OsmData.h"

#include <QCache>
#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QPainterPath>
#include <QRectF>
#include <memory>
#include <vector>

class QPainter;

namespace aero {

class Viewport;

class OsmLayer {
public:
    static constexpr int TileSize = 256;

    void setData(std::vector<std::shared_ptr<const OsmData>> data);
    bool isEmpty() const { return m_data.empty(); }
    const std::vector<std::shared_ptr<const OsmData>>& data() const { return m_data; }
    // True when some extract reaches into the view.
    bool covers(const Viewport& view) const;
    // Draws what lies in the view; returns the number of tiles drawn afresh.
    int draw(QPainter& painter, const Viewport& view);
    // Names go where no marker of `avoid` (world positions) stands.
    void drawLabels(QPainter& painter, const Viewport& view, const std::vector<QPointF>& avoid = {}) const;
    void clearCache()
    {
        m_tiles.clear();
        m_labelScale = 0.0;
    }

private:
    static constexpr int MaxCachedLabels = 4000;
    struct Glyphs {
        QPainterPath text, halo;
    };
    struct PlacedLabel {
        QPointF at;      // in the world's pixel plane at the scale laid out for
        double angle;
        QString text;
        QFont font;
        QColor colour;
    };
    void layoutLabels(const QFont& baseFont, const Viewport& view, const std::vector<QPointF>& avoid) const;
    QImage renderTile(double scale, int tx, int ty) const;
    void drawHaloText(QPainter& p, QPointF at, double angle, const QString& text, const QFont& font, QColor colour) const;

    std::vector<std::shared_ptr<const OsmData>> m_data;
    QCache<QString, QImage> m_tiles{96};
    mutable QHash<QString, Glyphs> m_glyphs;
    mutable std::vector<PlacedLabel> m_labels;
    mutable double m_labelScale = 0.0;
    mutable QRectF m_labelArea;
    mutable QFont m_labelFont;
    mutable std::size_t m_labelAvoided = 0;
    mutable QImage m_labelImage;   // 24 MB: a large screen's tiles and the edges around it
};

} // namespace aero
