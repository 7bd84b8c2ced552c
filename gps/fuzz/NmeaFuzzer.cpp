// libFuzzer entry point: arbitrary bytes through the sentence assembler and every decoder.
// The first byte picks the read size, IgnoreValid and the talkers, so split reads and every
// talker's sentences get exercised too.
#include "NmeaPipeline.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

class CheckingSink : public gps::NmeaSink {
public:
    void debugText(std::string_view prefix, std::string_view text) override { total += prefix.size() + text.size(); }
    void onPosicion(const gps::Rmc& r) override { total += r.Hora.size(); }
    void onFechaHora(const gps::Zda& z) override { total += z.FechaUTC.size(); }
    void onSatDOP(const gps::Gsa& g) override { total += g.Canales[0].size(); }
    void onSatelliteStatus(const gps::Gsv& g) override { total += static_cast<std::size_t>(g.Ids[4] != 0); }
    std::size_t total = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::size_t chunk = 1 + (data[0] & 0x3F);
    const bool ignoreValid = (data[0] & 0x40) != 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    CheckingSink sink;
    gps::NmeaPipeline pipeline(sink);
    pipeline.setIgnoreValid(ignoreValid);
    pipeline.setTalkers((data[0] & 0x80) != 0 ? gps::Talkers::AllGnss : gps::Talkers::GpsOnly);
    for (std::size_t at = 0; at < bytes.size(); at += chunk)
        pipeline.feed(bytes.substr(at, chunk));
    if (pipeline.assembler().BufferRX().size() >= gps::SentenceAssembler::MaxBufferRX)
        __builtin_trap();  // the bound must hold
    return 0;
}
