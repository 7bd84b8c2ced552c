// OpenStreetMap extracts: reading the Monaco extract (578 KB, 47757 nodes) into the cache,
// loading that cache, and one frame at street scale over the extract with 10000 markers in
// view while the view pans (the tiles of the extract are kept; new ones are drawn).
// Goal: a frame under 16 ms, none over 50 ms while panning (worst_ms). Set
// AERO_BENCH_SHOT=path.png to save one frame as a picture.
#include "map_bench_support.h"
#include "map/OsmExtract.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>
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

// The Monaco extract with 10000 markers over it, in a 1024 x 700 view.
aero::MapControl& monacoMap()
{
    static QTemporaryDir dir;
    static aero::MapControl map([] {
        aero::MapOptions o;
        o.dataFolder = QStringLiteral(AERO_MAP_DATA_DIR);
        o.osmExtracts = {Monaco};
        o.osmCacheFolder = dir.path();
        return o;
    }());
    if (map.markerCount() == 0) {
        map.NewRegionMap(aero::MapRegion::Europe);
        map.setViewSize(QSize(1024, 700));
        std::mt19937 rng(7);
        std::uniform_real_distribution<double> lat(43.7330, 43.7410), lon(7.4170, 7.4310);
        for (int i = 0; i < 10000; ++i) {
            const aero::MarkerId id = map.AddMarker({lat(rng), lon(rng), 1.0}, QStringLiteral("AP %1").arg(i));
            map.setMarkerSymbol(id, i % 200);
            map.setMarkerDisplayState(id, i % 50 == 0 ? 1 : 0);
        }
    }
    return map;
}

// The view's height in kilometres at a web map zoom level.
double altitudeAtZoom(double lat, double zoom, int heightPixels)
{
    return heightPixels * 40075.016686 * std::cos(lat * 3.14159265358979 / 180.0) / (256.0 * std::pow(2.0, zoom));
}

void panFrames(benchmark::State& state, aero::MapControl& map)
{
    QImage frame(map.viewWidth(), map.viewHeight(), QImage::Format_ARGB32_Premultiplied);
    int step = 0;
    double worst = 0;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        map.panBy(QPointF(step++ % 40 < 20 ? 6 : -6, 2));   // a drag: every frame a new view
        QPainter painter(&frame);
        map.render(painter);
        worst = std::max(worst, double(t.nsecsElapsed()) / 1e6);
    }
    state.counters["worst_ms"] = worst;
    if (const QByteArray shot = qgetenv("AERO_BENCH_SHOT"); !shot.isEmpty())
        frame.save(QString::fromLocal8Bit(shot));
}

void BM_FramePanningStreetScale(benchmark::State& state)
{
    aero::MapControl& map = monacoMap();
    map.CentreOn({43.7370, 7.4240, 1.2});
    panFrames(state, map);
}

// Town and county scale: zoom 9, 11 and 13 over the extract. With AERO_BENCH_SHOTS=folder,
// also saves pictures of the extract (no markers' names) at zooms 9 to 17.
void BM_FrameAtZoom(benchmark::State& state)
{
    aero::MapControl& map = monacoMap();
    if (const QByteArray folder = qgetenv("AERO_BENCH_SHOTS"); !folder.isEmpty() && state.range(0) == 9) {
        static QTemporaryDir empty;
        aero::MapOptions o;
        o.dataFolder = QStringLiteral(AERO_MAP_DATA_DIR);
        o.osmExtracts = {Monaco};
        o.osmCacheFolder = empty.path();
        aero::MapControl bare(o);
        bare.NewRegionMap(aero::MapRegion::Europe);
        bare.setViewSize(QSize(1024, 700));
        for (int z : {9, 11, 13, 15, 17}) {
            bare.CentreOn({43.7370, 7.4240, altitudeAtZoom(43.737, z, 700)});
            bare.picture().save(QStringLiteral("%1/monaco-z%2.png").arg(QString::fromLocal8Bit(folder)).arg(z));
        }
    }
    map.CentreOn({43.7370, 7.4240, altitudeAtZoom(43.737, double(state.range(0)), map.viewHeight())});
    panFrames(state, map);
}

} // namespace

BENCHMARK(BM_ReadMonacoIntoCache)->Unit(benchmark::kMillisecond)->UseRealTime();   // the PBF decodes in threads
BENCHMARK(BM_LoadMonacoCache)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FramePanningStreetScale)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameAtZoom)->Arg(9)->Arg(11)->Arg(13)->Unit(benchmark::kMillisecond);

MAP_BENCHMARK_MAIN()
