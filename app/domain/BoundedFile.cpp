#include "domain/BoundedFile.h"

#include <QFile>
#include <QFileInfo>

namespace aero {

std::optional<QByteArray> readBoundedFile(const QString& path, qint64 limit, QString* error)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        *error = QStringLiteral("it does not exist");
        return std::nullopt;
    }
    if (!info.isFile()) {
        *error = QStringLiteral("it is not a regular file");
        return std::nullopt;
    }
    if (info.size() > limit) {
        *error = QStringLiteral("it is larger than %1 MB").arg(limit >> 20);
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return std::nullopt;
    }
    // The file may grow after the size check: read no more than the limit allows.
    QByteArray bytes = file.read(limit + 1);
    if (bytes.size() > limit) {
        *error = QStringLiteral("it is larger than %1 MB").arg(limit >> 20);
        return std::nullopt;
    }
    return bytes;
}

} // namespace aero
