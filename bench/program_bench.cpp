// The whole program on the offscreen platform: a 100000-line survey imported, de-duplicated,
// listed and plotted; a filter applied over it; live position updates and the nearest-AP
// search on a map of 100000 APs.
#include "Program.h"
#include "SummaryGenerator.h"
#include "ui/ToolbarTable.h"
#include "window/frmPlotter.h"
#include "live/LivePosition.h"
#include "map/MapControl.h"
#include "tools/frmFilters.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct Fixture {
    QTemporaryDir settingsDir, dir;
    aero::ScriptedDialogs dialogs;
    std::unique_ptr<aero::Program> program;
    QString summary;

    explicit Fixture(int lines, int badPercent = 0)
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
        QSettings s(QStringLiteral("Aeroplotter"), QStringLiteral("Aeroplotter"));
        s.setValue("Config/VersionID", AEROPLOTTER_VERSION);
        s.setValue("Config/TilesEnabled", "0");
        s.sync();
        summary = dir.filePath("survey.txt");
        QFile f(summary);
        f.open(QIODevice::WriteOnly);
        f.write(bench_support::generateSummary(lines, 20050611, badPercent));
        f.close();
        program = std::make_unique<aero::Program>(dialogs, false);
        program->window().show();
        program->window().tbMain_ButtonMenuClick(aero::entries::MapNewNorthAmerica);
    }
    void import()
    {
        dialogs.files = {summary};
        program->window().tbMain_ButtonMenuClick(aero::entries::ImportSummary);
    }
};

void BM_Import100000Lines(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        Fixture f(100000);
        state.ResumeTiming();
        f.import();
        benchmark::DoNotOptimize(f.program->mapa().markerCount());
        state.PauseTiming();
        state.counters["APs"] = f.program->context().apList.count();
        state.counters["markers"] = f.program->mapa().markerCount();
        f.program.reset();
        state.ResumeTiming();
    }
}

// One line in ten written by another tool: counted, reported once, and no slower to get past.
void BM_Import100000LinesTenPercentBad(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        Fixture f(100000, 10);
        state.ResumeTiming();
        f.import();
        benchmark::DoNotOptimize(f.program->mapa().markerCount());
        state.PauseTiming();
        state.counters["APs"] = f.program->context().apList.count();
        state.counters["messages"] = static_cast<double>(f.dialogs.shown.size());
        f.program.reset();
        state.ResumeTiming();
    }
}

void BM_FilterApply100000(benchmark::State& state)
{
    Fixture f(static_cast<int>(state.range(0)));
    f.import();
    aero::frmFilters& filters = f.program->filters();
    filters.cmbField[0]->setCurrentIndex(2);   // Signal
    filters.cmbBool[0]->setCurrentIndex(2);    // Is greater than
    filters.txtFilter[0]->setText("-70");
    f.program->context().settings.setValue("VoiceOut", "1");
    state.counters["APs"] = f.program->context().apList.count();
    for (auto _ : state)
        filters.cmdDone_Click();
}

void BM_LivePositionUpdate(benchmark::State& state)
{
    Fixture f(110000);
    f.import();
    f.program->window().tbMain_ButtonMenuClick(aero::entries::gpsPort(1));   // fails (no device): update directly
    aero::LivePosition& live = f.program->live();
    double lat = 37.76;
    for (auto _ : state) {
        lat += 0.00001;
        live.GPS_Position(true, QStringLiteral("12:00:00"), lat, -122.41, 40.0f, 90.0f);
    }
    state.counters["markers"] = f.program->mapa().markerCount();
}

void BM_NearestApSearch(benchmark::State& state)
{
    Fixture f(110000);
    f.import();
    aero::LivePosition& live = f.program->live();
    aero::MapControl& map = f.program->mapa();
    double lat = 37.76;
    for (auto _ : state) {
        lat += 0.00001;
        benchmark::DoNotOptimize(live.findNearestAp(map.MakeLocation(lat, -122.41, 1.0)));
    }
}

} // namespace

BENCHMARK(BM_Import100000Lines)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_Import100000LinesTenPercentBad)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_FilterApply100000)->Arg(110000)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_FilterApply100000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_LivePositionUpdate)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_NearestApSearch)->Unit(benchmark::kMicrosecond);
