#pragma once
// Draws OpenStreetMap extracts under the markers: areas, waterways, roads by class and
// railways into 256-pixel tiles kept between frames (panning redraws only the new ones),
// then place names and street names over them. Detail follows the zoom: buildings and
// footpaths only close in, and points closer than a pixel are dropped.
#include "map/OsmData.h"

#include <QCache>
#include <QImage>
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
    void drawLabels(QPainter& painter, const Viewport& view) const;
    void clearCache() { m_tiles.clear(); }

private:
    QImage renderTile(double scale, int tx, int ty) const;

    std::vector<std::shared_ptr<const OsmData>> m_data;
    QCache<QString, QImage> m_tiles{96};   // 24 MB: a large screen's tiles and the edges around it
};

} // namespace aero
