#include "navlet/Capabilities.h"

#include <QRegularExpression>

namespace navlet {
namespace {

// Slot of an "A" protocol by its hundreds: A0xx -> 2, A1xx -> 3, A2xx -> 5, ... A9xx -> 20.
std::size_t applicationSlot(std::uint16_t number)
{
    static constexpr std::array<std::size_t, 10> bySlot = {2, 3, 5, 8, 10, 12, 14, 16, 18, 20};
    const std::size_t hundreds = number / 100;
    return hundreds < bySlot.size() ? bySlot[hundreds] : hundreds;
}

QString slotText(const ProtocolEntry& e, int minDigits)
{
    return QString(QChar(e.tag)) + QStringLiteral("%1").arg(e.number, minDigits, 10, QLatin1Char('0'));
}

} // namespace

ProtocolSlots parseProtocolArray(ByteView data)
{
    ProtocolSlots slots{};
    std::size_t current = 0;
    for (std::size_t at = 0; at + 3 <= data.size(); at += 3) {
        const ProtocolEntry e{readU8(data, at), readU16le(data, at + 1)};
        std::size_t slot = 0;
        switch (e.tag) {
        case 'P': slot = 0; break;
        case 'L': slot = 1; break;
        case 'A': slot = applicationSlot(e.number); break;
        case 'D': slot = current + 1; break;
        default: continue;
        }
        current = slot;
        if (slot < slots.size())
            slots[slot] = e;
    }
    return slots;
}

Capabilities capabilitiesFromSlots(const ProtocolSlots& s)
{
    Capabilities c;
    c.Link_Protocol = slotText(s[1], 3);
    c.WayPoint_Transfer_Protocol = slotText(s[3], 1);
    c.Waypoint_Data_Format = slotText(s[4], 1);
    c.Route_Transfer_Protocol = slotText(s[5], 1);
    c.Route_Data_Format = slotText(s[6], 1);
    c.Route_Wpt_Data_Format = slotText(s[7], 1);
    c.Track_Transfer_Protocol = slotText(s[8], 1);
    c.Track_Data_Format = slotText(s[9], 1);
    c.Prox_Wpt_Transfer_Protocol = slotText(s[10], 1);
    c.Prox_Wpt_Data_Format = slotText(s[11], 1);
    return c;
}

TrackLayouts trackLayoutsFromArray(ByteView data)
{
    TrackLayouts layouts;
    bool inTrackProtocol = false;
    for (std::size_t at = 0; at + 3 <= data.size(); at += 3) {
        const ProtocolEntry e{readU8(data, at), readU16le(data, at + 1)};
        if (e.tag != 'D') {
            inTrackProtocol = e.tag == 'A' && e.number / 100 == 3;
            continue;
        }
        if (!inTrackProtocol)
            continue;
        const QString name = slotText(e, 1);
        if (e.number >= 300 && e.number <= 302 && layouts.point.isEmpty())
            layouts.point = name;
        else if (e.number >= 310 && e.number <= 312 && layouts.header.isEmpty())
            layouts.header = name;
    }
    return layouts;
}

std::optional<ProtocolEntry> parseProtocolName(const QString& name)
{
    static const QRegularExpression form(QStringLiteral("^([A-Za-z])(\\d{1,5})$"));
    const auto m = form.match(name.trimmed());
    if (!m.hasMatch() || m.captured(2).toUInt() > 0xFFFF)
        return std::nullopt;
    return ProtocolEntry{static_cast<std::uint8_t>(m.captured(1).at(0).toUpper().toLatin1()),
                         static_cast<std::uint16_t>(m.captured(2).toUInt())};
}

QByteArray encodeProtocolArray(const std::vector<ProtocolEntry>& entries)
{
    QByteArray out;
    for (const auto& e : entries) {
        appendU8(out, e.tag);
        appendI16le(out, static_cast<std::int16_t>(e.number));
    }
    return out;
}

} // namespace navlet
