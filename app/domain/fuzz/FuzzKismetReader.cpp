// libFuzzer entry point: any bytes through the Kismet .csv reader.
#include "domain/KismetCsvReader.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace aero::import;
    KismetCsvReader reader(QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    qint64 records = 0;
    while (auto record = reader.next()) {
        if (record->SSID.isEmpty() || (record->WEP != u"0" && record->WEP != u"1"))
            std::abort();   // every record must be usable as a table slot
        ++records;
    }
    if (records != reader.recordCount())
        std::abort();
    return 0;
}
