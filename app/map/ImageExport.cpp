#include "map/ImageExport.h"

#include <QPainter>
#include <QSaveFile>

namespace aero {

bool saveViewImage(const QImage& image, const QString& path)
{
    if (image.isNull())
        return false;
    const bool png = path.endsWith(QLatin1String(".png"), Qt::CaseInsensitive);
    QImage opaque(image.size(), QImage::Format_RGB888);
    opaque.fill(Qt::white);
    {
        QPainter p(&opaque);
        p.drawImage(0, 0, image);
    }
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    if (!opaque.save(&out, png ? "PNG" : "BMP"))
        return false;
    return out.commit();
}

} // namespace aero
