// libFuzzer entry point: any bytes through the text-summary reader. The same bytes go
// through memory and through a device read in small chunks (so line ends fall across
// reads), and both paths must agree line for line and record for record.
#include "domain/SummaryReader.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>

namespace {

using namespace aero::import;

constexpr qsizetype SmallLimit = 40;   // small enough that fuzzed lines go overlong
constexpr qsizetype SmallChunk = 7;

void compareLineSplitting(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    LineReader fromMemory(QByteArrayView(bytes), SmallLimit);
    LineReader fromDevice(buffer, SmallLimit, SmallChunk);
    for (;;) {
        const auto a = fromMemory.next();
        const auto b = fromDevice.next();
        if (a != b || fromMemory.lineNumber() != fromDevice.lineNumber())
            std::abort();
        if (a == LineReader::Result::Line && fromMemory.line() != fromDevice.line())
            std::abort();
        if (a == LineReader::Result::Line && fromMemory.line().size() > SmallLimit)
            std::abort();
        if (a == LineReader::Result::End)
            return;
    }
}

void compareSummaryReading(const QByteArray& bytes)
{
    const SummaryContents direct = readSummary(QByteArrayView(bytes));
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    SummaryReader reader(buffer);
    std::size_t n = 0;
    while (auto record = reader.next()) {
        if (n >= direct.records.size() || !(*record == direct.records[n]))
            std::abort();
        if (record->ap.SSID.isEmpty())
            std::abort();   // a record must never look like a free table slot
        ++n;
    }
    if (n != direct.records.size() || reader.skippedCount() != direct.skipped)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    compareLineSplitting(bytes);
    compareSummaryReading(bytes);
    return 0;
}
