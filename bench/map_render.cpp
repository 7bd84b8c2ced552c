// One frame of a 100000-marker map: everything in view, and zoomed in so about 1% shows.
// Goal: under 16 ms a frame.
#include "map_bench_support.h"
#include "map/MapRenderer.h"

#include <QPainter>
#include <benchmark/benchmark.h>

namespace {

void renderFrames(benchmark::State& state, double altitudeKm)
{
    static auto map = mapbench::europeWithMarkers();
    map->CentreOn({53.0, 14.0, altitudeKm});
    QImage frame(map->viewWidth(), map->viewHeight(), QImage::Format_ARGB32_Premultiplied);
    aero::RenderStats stats;
    for (auto _ : state) {
        QPainter painter(&frame);
        map->render(painter);
        benchmark::DoNotOptimize(frame.constBits());
    }
    const aero::SymbolLibrary symbols;
    QPainter painter(&frame);
    stats = aero::renderScene(painter, {map->document(), map->viewport(), map->baseMap(), nullptr, symbols, std::nullopt, {}});
    state.counters["in_view"] = stats.markersConsidered;
    state.counters["drawn"] = stats.markersDrawn;
    state.counters["labels"] = stats.labelsDrawn;
}

void BM_RenderAllInView(benchmark::State& state) { renderFrames(state, 4500.0); }
void BM_RenderOnePercentInView(benchmark::State& state) { renderFrames(state, 330.0); }

} // namespace

BENCHMARK(BM_RenderAllInView)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderOnePercentInView)->Unit(benchmark::kMillisecond);

MAP_BENCHMARK_MAIN()
