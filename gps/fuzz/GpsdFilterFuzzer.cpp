// libFuzzer entry point: a gpsd stream (JSON reports and relayed NMEA) through the line filter
// in reads of varying size, then through the sentence pipeline. The filter keeps no line, so
// its output never exceeds its input by more than the line ends it adds.
#include "GpsdLineFilter.h"
#include "NmeaPipeline.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

class CountingSink : public gps::NmeaSink {
public:
    void debugText(std::string_view, std::string_view text) override { total += text.size(); }
    void onPosicion(const gps::Rmc&) override { ++total; }
    void onFechaHora(const gps::Zda&) override { ++total; }
    void onSatDOP(const gps::Gsa&) override { ++total; }
    void onSatelliteStatus(const gps::Gsv&) override { ++total; }
    std::size_t total = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::size_t chunk = 1 + (data[0] & 0x7F);
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    gps::GpsdLineFilter filter;
    std::string nmea;
    for (std::size_t at = 0; at < bytes.size(); at += chunk)
        filter.filter(bytes.substr(at, chunk), nmea);
    if (nmea.size() > 2 * bytes.size() + 1)
        std::abort();
    CountingSink sink;
    gps::NmeaPipeline pipeline(sink);
    pipeline.feed(nmea);
    return 0;
}
