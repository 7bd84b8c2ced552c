#include "map/ImageExport.h"

#include <QPainter>
#include <QIODevice>

namespace aero {

SaveResult saveViewImage(const QImage& image, const QString& path)
{
    if (image.isNull())
        return {false, QStringLiteral("the view is empty")};
    const bool png = path.endsWith(QLatin1String(".png"), Qt::CaseInsensitive);
    QImage opaque(image.size(), QImage::Format_RGB888);
    opaque.fill(Qt::white);
    {
        QPainter p(&opaque);
        p.drawImage(0, 0, image);
    }
    return saveChecked(path, [&](QIODevice& out) { return opaque.save(&out, png ? "PNG" : "BMP"); });
}

} // namespace aero
