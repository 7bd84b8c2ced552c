// DedupeSSIDs over a full table of one repeated name and of distinct names, and the MAC
// check an import makes per line, on a full table.
#include "domain/APList.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace {

std::unique_ptr<aero::APList> table(bool allLinksys)
{
    auto list = std::make_unique<aero::APList>();
    list->NextAP = 1;
    for (int i = 0; i < aero::APList::Capacity; ++i) {
        aero::AccessPoint r;
        r.SSID = allLinksys ? QStringLiteral("linksys") : QStringLiteral("net-%1").arg(i);
        r.MAC = QStringLiteral("00:0C:%1").arg(i, 8, 16, QLatin1Char('0'));
        list->append(r);
    }
    return list;
}

void dedupe(benchmark::State& state, bool allLinksys)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto list = table(allLinksys);
        state.ResumeTiming();
        list->DedupeSSIDs();
        benchmark::DoNotOptimize(list->at(aero::APList::Capacity).SSID);
        state.PauseTiming();   // freeing the table is not part of the work measured
        list.reset();
        state.ResumeTiming();
    }
}

void BM_DedupeSSIDs_AllLinksys(benchmark::State& state) { dedupe(state, true); }
void BM_DedupeSSIDs_Distinct(benchmark::State& state) { dedupe(state, false); }

void BM_ContainsMac_FullTable(benchmark::State& state)
{
    const auto list = table(false);
    int i = 0;
    for (auto _ : state) {
        // Half the lookups hit, half miss, as a survey's repeated sightings do.
        const QString mac = QStringLiteral("00:0C:%1").arg((i++ * 7919) % (2 * aero::APList::Capacity), 8, 16,
                                                           QLatin1Char('0'));
        benchmark::DoNotOptimize(list->containsMac(mac));
    }
}

// The MAC check of a whole 100000-line import against a full table.
void BM_ContainsMac_100000Lookups(benchmark::State& state)
{
    const auto list = table(false);
    std::vector<QString> macs;
    for (int i = 0; i < aero::APList::Capacity; ++i)
        macs.push_back(QStringLiteral("00:0C:%1").arg((i * 7919) % (2 * aero::APList::Capacity), 8, 16, QLatin1Char('0')));
    for (auto _ : state) {
        int hits = 0;
        for (const QString& m : macs)
            hits += list->containsMac(m) ? 1 : 0;
        benchmark::DoNotOptimize(hits);
    }
}

} // namespace

BENCHMARK(BM_DedupeSSIDs_AllLinksys)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_DedupeSSIDs_Distinct)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ContainsMac_FullTable);
BENCHMARK(BM_ContainsMac_100000Lookups)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
