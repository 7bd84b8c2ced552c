#pragma once
// The offline base layers: land rings (filled, their edges are the coastlines), country and
// US state borders, and the populated places. Points are kept in Web Mercator world
// coordinates so drawing a frame is one multiply-add per point.
#include <QPointF>
#include <QRectF>
#include <QString>
#include <vector>

namespace aero {

struct OutlineLine {
    std::vector<QPointF> points;   // world coordinates
    QRectF bounds;
};

struct Place {
    QString name;
    double lat = 0.0;
    double lon = 0.0;
    int population = 0;
    QPointF world;
};

class BaseMap {
public:
    static constexpr const char* OutlineFile = "outline.bin";
    static constexpr const char* PlacesFile = "places.tsv";
    static constexpr const char* LakesFile = "lakes.bin";

    // Reads the files from `folder`; false when the outline is missing or damaged
    // (places and lakes are optional).
    bool load(const QString& folder);
    bool isLoaded() const { return m_loaded; }

    const std::vector<OutlineLine>& land() const { return m_land; }
    const std::vector<OutlineLine>& borders() const { return m_borders; }
    const std::vector<OutlineLine>& stateBorders() const { return m_states; }
    const std::vector<Place>& places() const { return m_places; }   // largest first
    const std::vector<OutlineLine>& lakes() const { return m_lakes; }   // rings, odd-even filled
    bool lakesIn(const QRectF& world) const;

private:
    bool loadOutline(const QString& path);
    bool loadLines(const QString& path);
    void loadPlaces(const QString& path);

    bool m_loaded = false;
    std::vector<OutlineLine> m_land, m_borders, m_states, m_lakes;
    std::vector<Place> m_places;
};

} // namespace aero
