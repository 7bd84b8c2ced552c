// Re-estimating the positions of a full table (100000 APs, 1000000 kept sightings) with each
// method, as choosing another method in Configure does. Goal: under 0.5 s.
#include "domain/ApPositions.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <random>

namespace {

std::unique_ptr<aero::APList> table()
{
    auto list = std::make_unique<aero::APList>();
    list->NextAP = 1;
    std::mt19937 rng(7);
    std::normal_distribution<double> offset(0.0, 0.0004);
    std::normal_distribution<float> signal(-75.0f, 8.0f);
    for (int i = 0; i < aero::APList::Capacity; ++i) {
        aero::AccessPoint r;
        r.SSID = QStringLiteral("net-%1").arg(i);
        r.MAC = QStringLiteral("02:00:%1").arg(i, 8, 16, QLatin1Char('0'));
        aero::Observation seen;
        const double lat = 47.0 + (i % 1000) * 0.001, lon = 8.0 + (i / 1000) * 0.001;
        for (int k = 0; k < 10; ++k)
            seen.located.push_back({lat + offset(rng), lon + offset(rng), signal(rng), 0});
        list->append(r, std::move(seen));
    }
    return list;
}

void BM_Reestimate(benchmark::State& state)
{
    const auto method = static_cast<aero::position::Method>(state.range(0));
    auto list = table();
    for (auto _ : state)
        benchmark::DoNotOptimize(aero::position::reestimatePositions(*list, method));
    state.SetLabel(aero::position::methodName(method).toStdString());
}
BENCHMARK(BM_Reestimate)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
