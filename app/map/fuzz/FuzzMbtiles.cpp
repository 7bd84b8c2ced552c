// libFuzzer entry point: bytes as an MBTiles tile pack (an SQLite file): opening it and reading
// tiles must end (each query is bounded in time) and never return more than a tile may hold.
#include "map/TilePack.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString path = QDir::temp().filePath(QStringLiteral("aero-fuzz-%1.mbtiles").arg(QCoreApplication::applicationPid()));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return 0;
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    {
        aero::TilePack pack;
        if (pack.open(path)) {
            if (pack.minZoom() < 0 || pack.maxZoom() < pack.minZoom())
                std::abort();
            for (int z = pack.minZoom(); z <= std::min(pack.maxZoom(), pack.minZoom() + 2); ++z)
                if (pack.tile(z, 0, 0).size() > 4 * 1024 * 1024)
                    std::abort();
        }
    }
    QFile::remove(path);
    return 0;
}
