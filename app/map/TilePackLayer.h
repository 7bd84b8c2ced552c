#pragma once
// A tile pack drawn as a base layer, under the online tiles: the pack's tiles at the view's
// zoom, or a lower zoom's tile enlarged where the pack stops or has a gap.
#include "map/TilePack.h"

#include <QCache>
#include <QImage>

class QPainter;

namespace aero {

class Viewport;

class TilePackLayer {
public:
    bool open(const QString& path);
    void close();
    bool isOpen() const { return m_pack.kind() != TilePack::Kind::None; }
    QString error() const { return m_pack.error(); }
    QString path() const { return m_pack.path(); }
    QString attribution() const { return m_pack.attribution(); }
    // Returns the number of tiles drawn.
    int draw(QPainter& painter, const Viewport& view);

private:
    const QImage* image(int z, int x, int y);

    TilePack m_pack;
    QCache<QString, QImage> m_images{256};
};

} // namespace aero
