// libFuzzer entry point: bytes as an OpenStreetMap extract (OSM XML) read into the map's data,
// written to its cache and read back; the same bytes also go straight to the cache reader. What
// was read must come back from the cache unchanged.
#include "map/OsmData.h"
#include "map/OsmExtract.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    {
        QBuffer raw;
        raw.setData(bytes);
        raw.open(QIODevice::ReadOnly);
        aero::OsmData junk;
        aero::readOsmCache(raw, junk);
    }
    const QString path = QDir::temp().filePath(QStringLiteral("aero-fuzz-%1.osm").arg(QCoreApplication::applicationPid()));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return 0;
        f.write(bytes);
    }
    aero::OsmData read;
    const aero::OsmReadResult r = aero::readOsmExtract(path, read);
    QFile::remove(path);
    if (r.status != aero::OsmReadResult::Status::Ok)
        return 0;
    QBuffer cache;
    cache.open(QIODevice::WriteOnly);
    if (!aero::writeOsmCache(read, cache))
        std::abort();
    cache.close();
    cache.open(QIODevice::ReadOnly);
    aero::OsmData back;
    if (aero::readOsmCache(cache, back).status != aero::OsmCacheResult::Status::Ok || back.features.size() != read.features.size() ||
        back.points != read.points)
        std::abort();
    return 0;
}
