#pragma once
// Shared set-up of the map benchmarks: a Europe map holding many markers, built headless.
#include "map/MapControl.h"

#include <QGuiApplication>
#include <memory>
#include <random>

namespace mapbench {

inline constexpr int Markers = 100000;

inline std::unique_ptr<aero::MapControl> europeWithMarkers(int count = Markers)
{
    aero::MapOptions o;
    o.dataFolder = QStringLiteral(AERO_MAP_DATA_DIR);
    auto map = std::make_unique<aero::MapControl>(o);
    map->NewRegionMap(aero::MapRegion::Europe);
    std::mt19937 rng(42);
    std::uniform_real_distribution<double> lat(36.0, 70.0), lon(-10.0, 38.0);
    for (int i = 0; i < count; ++i) {
        const aero::MarkerId id = map->AddMarker({lat(rng), lon(rng), 1.0}, QStringLiteral("AP %1").arg(i));
        map->setMarkerNote(id, QStringLiteral("MAC = 00:0C:41:%1\r\nSignal = -67 dBm\r\nWEP = Off\r\nBSS mode").arg(i, 8, 16, QLatin1Char('0')));
        map->setMarkerDisplayState(id, i % 3 == 0 ? 1 : 0);
    }
    return map;
}

// Benchmarks draw text, so they need a GUI application (offscreen unless told otherwise).
#define MAP_BENCHMARK_MAIN()                                                  \
    int main(int argc, char** argv)                                          \
    {                                                                        \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))                  \
            qputenv("QT_QPA_PLATFORM", "offscreen");                         \
        QGuiApplication app(argc, argv);                                     \
        benchmark::Initialize(&argc, argv);                                  \
        benchmark::RunSpecifiedBenchmarks();                                 \
        benchmark::Shutdown();                                               \
        return 0;                                                            \
    }

} // namespace mapbench
