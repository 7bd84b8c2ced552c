// Assembly and decoding of a receiver's byte stream, without Qt signals: how many sentences per
// second the control's core takes. The log mixes what a GPS (and a multi-constellation
// receiver) sends each second: RMC, GGA, GSA, three GSV, ZDA, and GN/GL talkers the control skips.
#include "NmeaPipeline.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

class CountingSink : public gps::NmeaSink {
public:
    void debugText(std::string_view prefix, std::string_view text) override { bytes += prefix.size() + text.size(); }
    void onPosicion(const gps::Rmc& r) override { sum += r.Latitud; ++events; }
    void onFechaHora(const gps::Zda& z) override { sum += z.Zona; ++events; }
    void onSatDOP(const gps::Gsa& g) override { sum += g.PDOP; ++events; }
    void onSatelliteStatus(const gps::Gsv& g) override { sum += g.InView; ++events; }
    double sum = 0;
    std::size_t bytes = 0;
    std::size_t events = 0;
};

std::string withChecksum(const std::string& body)
{
    unsigned sum = 0;
    for (const char c : body)
        sum ^= static_cast<unsigned char>(c);
    char hex[4];
    std::snprintf(hex, sizeof hex, "%02X", sum);
    return "$" + body + "*" + hex + "\r\n";
}

// One second of output per iteration of the loop, with the clock and position moving on.
std::string mixedLog(int seconds, std::size_t& sentences)
{
    std::string log;
    sentences = 0;
    for (int s = 0; s < seconds; ++s) {
        char time[16];
        std::snprintf(time, sizeof time, "%02d%02d%02d.00", 12 + s / 3600 % 12, s / 60 % 60, s % 60);
        const std::string t = time;
        const std::string lat = "48" + std::to_string(10 + s % 50) + "." + std::to_string(100 + s % 900);
        const std::vector<std::string> bodies = {
            "GPRMC," + t + ",A," + lat + ",N,01131.000,E,022.4,084.4,230394,003.1,W",
            "GPGGA," + t + "," + lat + ",N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,",
            "GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1",
            "GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,00",
            "GPGSV,3,2,11,14,25,170,00,16,57,208,39,18,67,296,40,19,40,246,00",
            "GPGSV,3,3,11,22,42,067,42,24,14,311,43,27,05,244,00",
            "GPZDA," + t + ",04,07,2002,00,00",
            "GNGNS," + t + "," + lat + ",N,01131.000,E,AN,12,0.8,545.4,46.9,,",
            "GLGSV,1,1,02,65,45,120,38,66,30,200,35",
            "GPVTG,084.4,T,,M,022.4,N,041.5,K,A",
        };
        for (const std::string& body : bodies)
            log += withChecksum(body);
        sentences += bodies.size();
    }
    return log;
}

void BM_AssembleAndDecode(benchmark::State& state)
{
    std::size_t sentencesPerPass = 0;
    const std::string log = mixedLog(100, sentencesPerPass);
    const auto chunk = static_cast<std::size_t>(state.range(0));
    CountingSink sink;
    gps::NmeaPipeline pipeline(sink);
    for (auto _ : state) {
        // Reads of `chunk` bytes, as a serial port or socket would hand them over.
        for (std::size_t at = 0; at < log.size(); at += chunk)
            pipeline.feed(std::string_view(log).substr(at, chunk));
        benchmark::DoNotOptimize(sink.sum);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * sentencesPerPass));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * log.size()));
}
BENCHMARK(BM_AssembleAndDecode)->Arg(1)->Arg(64)->Arg(4096);

void BM_DecodeRmc(benchmark::State& state)
{
    const std::string sentence = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A";
    for (auto _ : state)
        benchmark::DoNotOptimize(gps::parseRmc(sentence, false));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_DecodeRmc);

} // namespace

BENCHMARK_MAIN();
