// libFuzzer entry point: any bytes through the WiGLE CSV reader.
#include "domain/WigleCsv.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace aero::import;
    const SurveyContents c = readWigleCsv(QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    for (const auto& ap : c.records)
        if (ap.SSID.isEmpty() || ap.MAC.isEmpty() || ap.Flags.size() != 4)
            std::abort();   // every record must be usable as a table slot
    if (static_cast<qint64>(c.records.size()) > c.observations)
        std::abort();
    return 0;
}
