// What the nearby-AP panel does on every fix with 100000 plotted APs in the table: the five
// nearest with distance and bearing, whether each is watched, and the watched APs within the
// alert distance. Goal: well under 1 ms per fix. Building the index is measured apart: it runs
// only when the table changed.
#include "domain/NearbyAps.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <random>

namespace {

// APs scattered over a city-sized area (about 40 x 40 km), as a long survey drive leaves them.
std::unique_ptr<aero::APList> cityTable()
{
    auto list = std::make_unique<aero::APList>();
    list->NextAP = 1;
    std::mt19937 random(42);
    std::uniform_real_distribution<double> lat(48.0, 48.36), lon(11.3, 11.84);
    for (int i = 0; i < aero::APList::Capacity; ++i) {
        aero::AccessPoint r;
        r.SSID = QStringLiteral("net-%1").arg(i);
        r.MAC = QStringLiteral("00:0C:%1").arg(i, 8, 16, QLatin1Char('0'));
        r.Latitude = lat(random);
        r.Longitude = lon(random);
        r.Plotted = true;
        list->append(r);
    }
    return list;
}

void BM_NearbyPanelPerFix(benchmark::State& state)
{
    const auto list = cityTable();
    aero::NearbyAps nearby;
    nearby.sync(*list);
    const aero::WatchList watch(QStringLiteral("CorpNet*\n00:0C:00\nnet-4242?"));
    double lat = 48.1, lon = 11.5;
    for (auto _ : state) {
        lat += 0.0001;   // about 11 m a fix, as a car at 40 km/h
        nearby.sync(*list);
        int watched = 0;
        QString text;
        for (const aero::NearbyAp& n : nearby.nearest(lat, lon, 5)) {
            watched += watch.matches(list->at(n.slot)) ? 1 : 0;
            text = aero::bearingText(n.bearing);
        }
        benchmark::DoNotOptimize(nearby.watchedWithin(lat, lon, 0.1, watch));
        benchmark::DoNotOptimize(watched);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_NearbyPanelPerFix)->Unit(benchmark::kMicrosecond);

void BM_NearbyIndexRebuild(benchmark::State& state)
{
    const auto list = cityTable();
    for (auto _ : state) {
        aero::NearbyAps nearby;
        nearby.sync(*list);
        benchmark::DoNotOptimize(nearby.size());
    }
}
BENCHMARK(BM_NearbyIndexRebuild)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
