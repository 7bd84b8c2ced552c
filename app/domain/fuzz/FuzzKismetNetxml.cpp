// libFuzzer entry point: any bytes through the Kismet netxml reader, as the log and as its gpsxml.
#include "domain/KismetNetxml.h"

#include <QBuffer>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace aero::import;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer netxml, gpsxml;
    netxml.setData(bytes);
    gpsxml.setData(bytes);
    netxml.open(QIODevice::ReadOnly);
    gpsxml.open(QIODevice::ReadOnly);
    const SurveyContents c = readKismetNetxml(netxml, &gpsxml);
    for (const auto& ap : c.records)
        if (ap.SSID.isEmpty() || ap.MAC.isEmpty() || ap.Flags.size() != 4)
            std::abort();
    return 0;
}
