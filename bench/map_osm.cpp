// OpenStreetMap extracts: reading the Monaco extract (578 KB, 47757 nodes) into the cache,
// loading that cache, and one frame at street scale over the extract with 10000 markers in
// view while the view pans (the tiles of the extract are kept; new ones are drawn).
// Goal: a frame under 16 ms. Set AERO_BENCH_SHOT=path.png to save one frame as a picture.
#include "map_bench_support.h"
#include "map/OsmExtract.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <random>

namespace {

const QString Monaco = QStringLiteral(AERO_EXAMPLES_DIR "/monaco/monaco-latest.osm.pbf");

void BM_ReadMonacoIntoCache(benchmark::State& state)
{
    QTemporaryDir dir;
    aero::OsmLoadResult r;
    for (auto _ : state) {
        QFile::remove(aero::osmCachePath(Monaco, dir.path()));
        r = aero::loadOsmExtract(Monaco, dir.path());
    }
    state.counters["features"] = double(r.data ? r.data->features.size() : 0);
    state.counters["points"] = double(r.data ? r.data->points.size() : 0);
    state.counters["memory_MB"] = r.data ? double(r.data->memoryBytes()) / 1e6 : 0;
    state.counters["cache_KB"] = double(QFileInfo(aero::osmCachePath(Monaco, dir.path())).size()) / 1e3;
    state.counters["nodes_per_s"] = benchmark::Counter(47757.0, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_LoadMonacoCache(benchmark::State& state)
{
    QTemporaryDir dir;
    aero::loadOsmExtract(Monaco, dir.path());
    for (auto _ : state)
        benchmark::DoNotOptimize(aero::loadOsmExtract(Monaco, dir.path()).data);
}

void BM_FramePanningStreetScale(benchmark::State& state)
{
    static QTemporaryDir dir;
    aero::MapOptions o;
    o.dataFolder = QStringLiteral(AERO_MAP_DATA_DIR);
    o.osmExtracts = {Monaco};
    o.osmCacheFolder = dir.path();
    static aero::MapControl map(o);
    map.NewRegionMap(aero::MapRegion::Europe);
    map.setViewSize(QSize(1024, 700));
    map.CentreOn({43.7370, 7.4240, 1.2});
    if (map.markerCount() == 0) {
        std::mt19937 rng(7);
        std::uniform_real_distribution<double> lat(43.7330, 43.7410), lon(7.4170, 7.4310);
        for (int i = 0; i < 10000; ++i) {
            const aero::MarkerId id = map.AddMarker({lat(rng), lon(rng), 1.0}, QStringLiteral("AP %1").arg(i));
            map.setMarkerSymbol(id, i % 200);
            map.setMarkerDisplayState(id, i % 50 == 0 ? 1 : 0);
        }
    }
    QImage frame(map.viewWidth(), map.viewHeight(), QImage::Format_ARGB32_Premultiplied);
    int step = 0;
    for (auto _ : state) {
        map.panBy(QPointF(step++ % 40 < 20 ? 6 : -6, 2));   // a drag: every frame a new view
        QPainter painter(&frame);
        map.render(painter);
    }
    if (const QByteArray shot = qgetenv("AERO_BENCH_SHOT"); !shot.isEmpty())
        frame.save(QString::fromLocal8Bit(shot));
}

} // namespace

BENCHMARK(BM_ReadMonacoIntoCache)->Unit(benchmark::kMillisecond)->UseRealTime();   // the PBF decodes in threads
BENCHMARK(BM_LoadMonacoCache)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FramePanningStreetScale)->Unit(benchmark::kMillisecond);

MAP_BENCHMARK_MAIN()
