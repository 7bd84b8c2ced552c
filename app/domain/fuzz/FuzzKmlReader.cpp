// libFuzzer entry: any bytes as a map file. Reading may fail with a message, never crash, and
// whatever it reads must write and read back to the same markers.
#include "domain/KmlReader.h"
#include "domain/KmlWriter.h"

#include <QBuffer>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const aero::KmlResult first = aero::readKml(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    if (!first.ok())
        return 0;
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    aero::writeKml(first.data, out);
    const aero::KmlResult second = aero::readKml(out.data());
    if (!second.ok() || second.data.markers.size() != first.data.markers.size())
        std::abort();
    return 0;
}
