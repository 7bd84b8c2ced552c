// libFuzzer entry point: bytes as the download's work file, line by line. Every line read as a
// track point must be written back to a line that reads as the same point.
#include "receiver/TrackPointFile.h"

#include <QByteArray>
#include <QList>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const QByteArray& line : bytes.split('\n')) {
        const auto point = aero::parsePointLine(line);
        if (!point)
            continue;
        const auto again = aero::parsePointLine(aero::formatPointLine(*point));
        if (!again || !(*again == *point))
            std::abort();
    }
    return 0;
}
