// libFuzzer entry point for everything that reads bytes from the receiver line: the splitter
// that cuts frames and sentences out of the receive buffer, and every decoder a frame can reach.
// The first input byte chooses how the rest is cut into reads, as a serial line would deliver it.
#include "navlet/Capabilities.h"
#include "navlet/Framing.h"
#include "navlet/NmeaText.h"
#include "navlet/ReceiveSplitter.h"
#include "navlet/RecordFormats.h"
#include "navlet/StatusRecords.h"

#include <cstddef>
#include <cstdint>

namespace {

void decodeEverything(const QByteArray& packet)
{
    using namespace navlet;
    const QByteArray data = packetData(packet);
    const ByteView v = bytesOf(data);
    (void)checksumMatches(packet);
    TraceLines trace;
    for (const auto& f : waypointFormats())
        (void)f.decode(v, cWaypoint{}, &trace);
    for (const auto& f : trackFormats())
        (void)f.decode(v, cTrack{}, &trace);
    for (const auto& f : routeFormats())
        (void)f.decode(v, cRoute{}, &trace);
    (void)capabilitiesFromSlots(parseProtocolArray(v));
    (void)decodeRecordsCount(v);
    (void)decodeDateTime(v);
    (void)decodePvt(v);
    (void)decodeProductData(v);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::size_t chunk = 1 + bytes[0] % 64;
    QByteArray buffer;
    for (std::size_t at = 1; at < size; at += chunk) {
        buffer.append(reinterpret_cast<const char*>(bytes + at), static_cast<qsizetype>(std::min(chunk, size - at)));
        while (auto item = navlet::takeNextItem(buffer)) {
            if (item->kind == navlet::ReceivedItem::Kind::Frame)
                decodeEverything(item->bytes);
            else
                (void)navlet::checkSentence(QString::fromLatin1(item->bytes), false);
        }
        navlet::boundBuffer(buffer, 4096);
    }
    return 0;
}
