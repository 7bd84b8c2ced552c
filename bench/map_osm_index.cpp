// The extract's coastline and index at country sizes: joining a coast of 2,000, 8,000 and
// 32,000 pieces given in random order (goal: linear, a country's coast in well under a second),
// and the index of 200,000 features whose boxes all span the extract (goal: memory linear in
// the feature count; reported as index_MB).
#include "map/OsmCoastline.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <random>

namespace {

// A coast wandering west to east across the box in `n` pieces, shuffled.
std::vector<aero::OsmCoast> coastInPieces(int n)
{
    std::vector<aero::OsmCoast> coast;
    const std::int32_t step = 1000000 / n;
    std::mt19937 rng(1);
    std::uniform_int_distribution<std::int32_t> wobble(400000, 600000);
    aero::OsmPoint at{-step, 500000};
    for (int i = 0; i < n + 2; ++i) {
        aero::OsmCoast c{i, i + 1, {at}};
        for (int k = 1; k <= 4; ++k)
            c.points.push_back({at.x + step * k / 4, k == 4 ? wobble(rng) : at.y});
        at = c.points.back();
        coast.push_back(std::move(c));
    }
    std::shuffle(coast.begin(), coast.end(), rng);
    return coast;
}

void BM_CoastlineJoining(benchmark::State& state)
{
    const std::vector<aero::OsmCoast> coast = coastInPieces(int(state.range(0)));
    const aero::OsmBox box{0, 0, 1000000, 1000000};
    for (auto _ : state) {
        aero::OsmData data;
        aero::addCoastline(coast, box, data);
        benchmark::DoNotOptimize(data.features.size());
    }
    state.SetComplexityN(state.range(0));
}

void BM_IndexOfSpanningFeatures(benchmark::State& state)
{
    aero::OsmData data;
    for (int i = 0; i < 200000; ++i) {
        data.beginFeature(aero::OsmKind::Path, false, 0, -1);
        data.addRing({{0, i}, {1 << 24, (1 << 24) - i}});
        data.endFeature();
    }
    for (auto _ : state)
        data.buildIndex();
    state.counters["index_entries"] = double(data.indexEntries());
    state.counters["memory_MB"] = double(data.memoryBytes()) / 1e6;
}

} // namespace

BENCHMARK(BM_CoastlineJoining)->Arg(2000)->Arg(8000)->Arg(32000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_IndexOfSpanningFeatures)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
