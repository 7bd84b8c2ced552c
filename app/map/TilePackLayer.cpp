#include "map/TilePackLayer.h"

#include "map/TileLayer.h"
#include "map/Viewport.h"

#include <QPainter>
#include <cmath>

namespace aero {

namespace {
// Beyond that an enlarged tile is only blur, and it would hide the extract's streets under it.
constexpr int MaxOverzoom = 4;
} // namespace

bool TilePackLayer::open(const QString& path)
{
    m_images.clear();
    return m_pack.open(path);
}

void TilePackLayer::close()
{
    m_images.clear();
    m_pack.close();
}

const QImage* TilePackLayer::image(int z, int x, int y)
{
    const QString key = QStringLiteral("%1/%2/%3").arg(z).arg(x).arg(y);
    if (const QImage* img = m_images.object(key))
        return img->isNull() ? nullptr : img;
    // A tile the pack lacks is remembered as a null image, so it is not looked up again.
    auto* img = new QImage(QImage::fromData(m_pack.tile(z, x, y)));
    m_images.insert(key, img);
    return img->isNull() ? nullptr : img;
}

int TilePackLayer::draw(QPainter& painter, const Viewport& view)
{
    if (!isOpen())
        return 0;
    const int wanted = TileLayer::zoomFor(view.scale());
    if (wanted + MaxOverzoom < m_pack.minZoom() || wanted > m_pack.maxZoom() + MaxOverzoom)
        return 0;
    const int z = std::clamp(wanted, m_pack.minZoom(), m_pack.maxZoom());
    const int n = 1 << z;
    const QRectF world = view.visibleWorld();
    const int x0 = std::max(0, int(std::floor(world.left() * n))), x1 = std::min(n - 1, int(std::floor(world.right() * n)));
    const int y0 = std::max(0, int(std::floor(world.top() * n))), y1 = std::min(n - 1, int(std::floor(world.bottom() * n)));
    if ((x1 - x0 + 1) * (y1 - y0 + 1) > 400)
        return 0;   // the pack stops far above this view: its tiles would be specks
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    int drawn = 0;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const QRectF target(view.worldToScreen(QPointF(double(x) / n, double(y) / n)),
                                view.worldToScreen(QPointF(double(x + 1) / n, double(y + 1) / n)));
            // This tile, or the part of a lower zoom's tile that covers it.
            for (int up = 0; wanted - (z - up) <= MaxOverzoom && z - up >= m_pack.minZoom(); ++up) {
                const QImage* img = image(z - up, x >> up, y >> up);
                if (!img)
                    continue;
                const double part = double(img->width()) / (1 << up);
                const QRectF source((x & ((1 << up) - 1)) * part, (y & ((1 << up) - 1)) * double(img->height()) / (1 << up),
                                    part, double(img->height()) / (1 << up));
                painter.drawImage(target, *img, source);
                ++drawn;
                break;
            }
        }
    painter.restore();
    return drawn;
}

} // namespace aero
