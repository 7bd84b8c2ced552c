#include "map/Symbols.h"

#include "map/MapDocument.h"

#include <QImageReader>
#include <QPainter>
#include <cstdlib>

namespace aero {

QImage loadSymbolImage(const QString& path)
{
    QImageReader reader(path);
    QImage best;
    // An icon file holds several sizes; take the one closest to the map's symbol size.
    for (int i = 0, n = std::max(1, reader.imageCount()); i < n; ++i) {
        if (i > 0 && !reader.jumpToImage(i))
            break;
        QImage img = reader.read();
        if (img.isNull())
            continue;
        if (best.isNull() || std::abs(img.width() - SymbolSize) < std::abs(best.width() - SymbolSize))
            best = img;
    }
    if (best.isNull())
        return best;
    best = best.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (path.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive)) {
        // A bitmap has no alpha: its background colour is keyed out.
        const QRgb key = best.pixel(0, 0);
        for (int y = 0; y < best.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(best.scanLine(y));
            for (int x = 0; x < best.width(); ++x)
                if (line[x] == key)
                    line[x] = 0;
        }
    }
    return best;
}

const QImage& SymbolLibrary::image(int symbol, const MapDocument& document) const
{
    if (symbol >= BuiltInSymbolCount && symbol < document.symbolCount()) {
        const std::size_t i = std::size_t(symbol - BuiltInSymbolCount);
        if (m_added.size() <= i)
            m_added.resize(document.symbols.size());
        if (m_added[i].isNull())
            m_added[i] = document.symbols[i].image.isNull() ? image(DefaultSymbol, document) : document.symbols[i].image;
        return m_added[i];
    }
    if (symbol < 0 || symbol >= BuiltInSymbolCount)
        symbol = DefaultSymbol;
    if (m_builtIn.empty())
        m_builtIn.resize(BuiltInSymbolCount);
    QImage& img = m_builtIn[std::size_t(symbol)];
    if (img.isNull()) {
        img = QImage(SymbolSize, SymbolSize, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        QPainter p(&img);
        drawBuiltInSymbol(p, symbol, SymbolSize);
    }
    return img;
}

} // namespace aero
