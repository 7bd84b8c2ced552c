#pragma once
// Saving the map view as a picture: a Windows bitmap (24-bit, on an opaque white background,
// since BMP keeps no alpha) or, for names ending ".png", a PNG.
#include "domain/CheckedSave.h"

#include <QImage>
#include <QString>

namespace aero {

SaveResult saveViewImage(const QImage& image, const QString& path);

} // namespace aero
