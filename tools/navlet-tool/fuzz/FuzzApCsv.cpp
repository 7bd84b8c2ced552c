// libFuzzer entry point: bytes as the CSV list navlet-tool uploads. The reader keeps at most the
// rows asked for and only rows with a position.
#include "ApCsv.h"

#include <QBuffer>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QBuffer in;
    in.setData(reinterpret_cast<const char*>(data), qsizetype(size));
    in.open(QIODevice::ReadOnly);
    const std::size_t limit = size % 7;
    const ApRows list = readApRows(in, limit);
    if (list.rows.size() > limit)
        std::abort();
    for (const ApRow& r : list.rows)
        if (r.latitude == 0 && r.longitude == 0)
            std::abort();
    return 0;
}
