// Geometry blobs come from GeoPackage files other programs may have written.
#include "archive/GpkgGeometry.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (const auto p = aero::archive::gpkgPointOf(data, static_cast<int>(size)))
        (void)aero::archive::gpkgPoint(p->lon, p->lat);
    return 0;
}
