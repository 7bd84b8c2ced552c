#pragma once
// Shared helpers of the map tests: a map engine on the shipped base data, never online.
#include "map/MapControl.h"

#include <QString>
#include <memory>

#include "TempDir.h"

namespace maptest {

// The map folder of the source tree (compiled in: the tests must not depend on the environment).
inline QString mapSource() { return QStringLiteral(AERO_MAP_SOURCE_DIR); }
inline QString shippedData() { return mapSource() + QStringLiteral("/data"); }
inline QString shippedIcons() { return mapSource() + QStringLiteral("/Icons"); }
inline QString testData(const QString& name) { return mapSource() + QStringLiteral("/tests/data/") + name; }

inline aero::MapOptions offlineOptions()
{
    aero::MapOptions o;
    o.dataFolder = shippedData();
    o.tilesEnabled = false;
    return o;
}

inline std::unique_ptr<aero::MapControl> europeMap()
{
    auto map = std::make_unique<aero::MapControl>(offlineOptions());
    map->NewRegionMap(aero::MapRegion::Europe);
    return map;
}

// The nine program symbols in the order a new map gets them.
inline QStringList programSymbolFiles()
{
    QStringList out;
    for (const char* n : {"O1.ico", "O2.ico", "O3.ico", "O4.ico", "W1.ico", "W2.ico", "W3.ico", "W4.ico", "Stumbler.bmp"})
        out << shippedIcons() + QLatin1Char('/') + QLatin1String(n);
    return out;
}

} // namespace maptest
