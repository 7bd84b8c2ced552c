// The 100000-marker map's indexes and files: FindMarker (goal under 1 us), nearestMarker
// (under 1 ms), KML save and load (under 1 s each), writing the web page (its size: under 10 MB;
// how fast a browser draws it is measured by hand with headless Chromium).
#include "map_bench_support.h"

#include "domain/KmlReader.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

aero::MapControl& bigMap()
{
    static auto map = mapbench::europeWithMarkers();
    return *map;
}

void BM_FindMarker(benchmark::State& state)
{
    auto& map = bigMap();
    std::vector<QString> names;
    for (int i = 0; i < 1024; ++i)
        names.push_back(QStringLiteral("AP %1").arg((i * 7919) % mapbench::Markers));
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(map.FindMarker(names[i++ & 1023]));
}

void BM_NearestMarker(benchmark::State& state)
{
    auto& map = bigMap();
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> lat(36.0, 70.0), lon(-10.0, 38.0);
    std::vector<aero::Location> queries;
    for (int i = 0; i < 1024; ++i)
        queries.push_back({lat(rng), lon(rng), 0});
    map.nearestMarker(queries[0], QString());   // the index is built once, outside the timing
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(map.nearestMarker(queries[i++ & 1023], QStringLiteral("GPS")));
}

void BM_SaveKml(benchmark::State& state)
{
    auto& map = bigMap();
    QTemporaryDir dir;
    for (auto _ : state)
        map.SaveMapFileAs(dir.filePath(QStringLiteral("big.kml")));
}

void BM_LoadKml(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.kml"));
    bigMap().SaveMapFileAs(path);
    aero::MapOptions o;
    o.dataFolder = QStringLiteral(AERO_MAP_DATA_DIR);
    aero::MapControl map(o);
    for (auto _ : state)
        map.OpenMapFile(path);
    state.counters["markers"] = map.markerCount();
}

void BM_ParseKmlOnly(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.kml"));
    bigMap().SaveMapFileAs(path);
    for (auto _ : state) {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        benchmark::DoNotOptimize(aero::readKml(f));
    }
}

void BM_PublishWebPage(benchmark::State& state)
{
    auto& map = bigMap();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.html"));
    for (auto _ : state)
        map.PublishWebPage(path, QStringLiteral("Aeroplotter AP Log File"));
    state.counters["MB"] = double(QFileInfo(path).size()) / 1e6;
}

} // namespace

BENCHMARK(BM_PublishWebPage)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ParseKmlOnly)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FindMarker);
BENCHMARK(BM_NearestMarker)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SaveKml)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LoadKml)->Unit(benchmark::kMillisecond)->Iterations(3);

MAP_BENCHMARK_MAIN()
