// libFuzzer entry point: bytes as a KMZ archive; the KML inside (if any) must stay within the
// limit given, and is then parsed as a map file.
#include "domain/KmlReader.h"
#include "map/Kmz.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    constexpr qint64 Limit = 1 << 20;
    const QString path = QDir::temp().filePath(QStringLiteral("aero-fuzz-%1.kmz").arg(QCoreApplication::applicationPid()));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return 0;
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    QString why;
    const auto kml = aero::readKmlFromKmz(path, &why, Limit);
    QFile::remove(path);
    if (kml && kml->size() > Limit)
        std::abort();
    if (kml)
        aero::readKml(*kml);
    return 0;
}
