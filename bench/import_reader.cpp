// Throughput of the survey readers on a generated 100000-line text summary: the reader alone
// (from memory and through a device), the AP table filled from it the way the import command
// does (first sighting of a MAC wins, then unique SSIDs), and a reader fed megabyte lines.
#include "SummaryGenerator.h"
#include "domain/APList.h"
#include "domain/KismetCsvReader.h"
#include "domain/SummaryReader.h"

#include <QBuffer>

#include <benchmark/benchmark.h>

namespace {

using namespace aero::import;

constexpr int Lines = 100000;

const QByteArray& summary()
{
    static const QByteArray bytes = bench_support::generateSummary(Lines);
    return bytes;
}

void setLineRate(benchmark::State& state, qint64 linesPerIteration)
{
    state.counters["lines/s"] = benchmark::Counter(static_cast<double>(linesPerIteration),
                                                   benchmark::Counter::kIsIterationInvariantRate);
    state.SetBytesProcessed(state.iterations() * summary().size());
}

void BM_SummaryReaderFromMemory(benchmark::State& state)
{
    qint64 lines = 0;
    for (auto _ : state) {
        SummaryReader reader{QByteArrayView(summary())};
        qint64 records = 0;
        while (reader.step() != SummaryReader::Step::End)
            ++records;
        benchmark::DoNotOptimize(records);
        lines = reader.lineNumber();
    }
    setLineRate(state, lines);
}
BENCHMARK(BM_SummaryReaderFromMemory)->Unit(benchmark::kMillisecond);

void BM_SummaryReaderFromDevice(benchmark::State& state)
{
    qint64 lines = 0;
    for (auto _ : state) {
        QBuffer buffer;
        buffer.setData(summary());
        buffer.open(QIODevice::ReadOnly);
        SummaryReader reader(buffer);
        while (auto record = reader.next())
            benchmark::DoNotOptimize(record->ap.Signal);
        lines = reader.lineNumber();
    }
    setLineRate(state, lines);
}
BENCHMARK(BM_SummaryReaderFromDevice)->Unit(benchmark::kMillisecond);

// What the import command does per line, minus the event-loop yield: drop a MAC already in
// the table, append the rest, then make the SSIDs unique over the whole table.
void BM_SummaryIntoAPList(benchmark::State& state)
{
    qint64 lines = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto list = std::make_unique<aero::APList>();
        state.ResumeTiming();
        list->NextAP = list->findFirstFree();
        SummaryReader reader{QByteArrayView(summary())};
        while (auto record = reader.next())
            if (!list->containsMac(record->ap.MAC))
                list->append(record->ap);
        list->DedupeSSIDs();
        benchmark::DoNotOptimize(list->count());
        lines = reader.lineNumber();
        state.counters["records"] = list->count();
    }
    setLineRate(state, lines);
}
BENCHMARK(BM_SummaryIntoAPList)->Unit(benchmark::kMillisecond);

void BM_DedupeSSIDsAlone(benchmark::State& state)
{
    aero::APList filled;
    filled.NextAP = 1;
    SummaryReader reader{QByteArrayView(summary())};
    while (auto record = reader.next())
        if (!filled.containsMac(record->ap.MAC))
            filled.append(record->ap);
    for (auto _ : state) {
        state.PauseTiming();
        auto list = std::make_unique<aero::APList>(filled);
        state.ResumeTiming();
        list->DedupeSSIDs();
        benchmark::DoNotOptimize(list->count());
    }
    state.counters["records"] = filled.count();
}
BENCHMARK(BM_DedupeSSIDsAlone)->Unit(benchmark::kMillisecond);

// Lines of 1 MB each are skipped in time linear in their length.
void BM_OverlongLines(benchmark::State& state)
{
    const qsizetype lineLength = state.range(0);
    QByteArray bytes;
    for (int i = 0; i < 8; ++i)
        bytes += QByteArray(lineLength, 'N') + "\r\n";
    for (auto _ : state) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        LineReader reader(buffer);
        while (reader.next() != LineReader::Result::End) {
        }
        benchmark::DoNotOptimize(reader.overlongCount());
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_OverlongLines)->Arg(1 << 20)->Arg(8 << 20)->Unit(benchmark::kMillisecond);

void BM_KismetReader(benchmark::State& state)
{
    QByteArray bytes = "Network;NetType;ESSID;BSSID;Info;Channel;Cloaked;Encryption;Decrypted;MaxRate;MaxSeenRate;"
                       "Beacon;LLC;Data;Crypt;Weak;Total;Carrier;Encoding;FirstTime;LastTime;BestQuality;"
                       "BestSignal;BestNoise;GPSMinLat;GPSMinLon;GPSMinAlt;GPSMinSpd;GPSMaxLat;GPSMaxLon;"
                       "GPSMaxAlt;GPSMaxSpd;GPSBestLat;GPSBestLon;GPSBestAlt;DataSize;IPType;IP;\n";
    for (int i = 0; i < 10000; ++i)
        bytes += QByteArray::number(i + 1)
            + ";infrastructure;linksys;00:12:17:AA:00:01;;6;No;WPA2,WPA,AES-CCM,TKIP;No;54.0;540;25600;148;0;0;0;"
              "148;IEEE 802.11g;CCK,OFDM;Sat Jun 11 12:35:19 2005;Sat Jun 11 12:41:02 2005;0;-62;-98;37.768301;"
              "-122.422203;52.000000;18.400000;37.768512;-122.421987;55.000000;24.100000;37.768400;-122.422100;"
              "53.000000;0;None;0.0.0.0;\n";
    for (auto _ : state) {
        KismetCsvReader reader{QByteArrayView(bytes)};
        while (auto record = reader.next())
            benchmark::DoNotOptimize(record->WEP);
    }
    state.counters["lines/s"] = benchmark::Counter(10000, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_KismetReader)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
