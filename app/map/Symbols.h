#pragma once
// Marker symbols: the 336 built-in ones drawn by the engine, and image symbols read from
// .ico, .bmp and .png files. Images are rendered once and blitted for every marker.
#include <QImage>
#include <QString>
#include <vector>

class QPainter;

namespace aero {

struct MapDocument;

inline constexpr int SymbolSize = 16;   // pixels on the map

// Draws built-in symbol `number` (0..335) filling a square of `size` pixels at the origin.
void drawBuiltInSymbol(QPainter& painter, int number, int size);

// Reads a symbol image: from an icon file the image closest to SymbolSize; in a bitmap the
// colour of the top-left pixel is the transparent background. Null when unreadable.
QImage loadSymbolImage(const QString& path);

// Pre-rendered symbol images, one per symbol number.
class SymbolLibrary {
public:
    const QImage& image(int symbol, const MapDocument& document) const;
    void clearAdded() { m_added.clear(); }

private:
    mutable std::vector<QImage> m_builtIn;
    mutable std::vector<QImage> m_added;
};

} // namespace aero
