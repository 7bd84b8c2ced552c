// libFuzzer entry point: any bytes as a Kismet log database (opened in memory, read-only).
// Seed it with tests/data/survey.kismet so it starts from a well-formed file.
#include "survey/KismetDb.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace aero::import;
    const SurveyContents c = readKismetDbBytes(QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    for (const auto& ap : c.records)
        if (ap.SSID.isEmpty() || ap.MAC.isEmpty() || ap.Flags.size() != 4)
            std::abort();
    return 0;
}
