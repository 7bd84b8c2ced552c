#pragma once
// The receiver's protocol array: which link protocol, transfer protocols and record layouts
// it speaks, as 3-byte entries (tag letter, 16-bit number), e.g. "P000 L001 A100 D108".
#include "navlet/NavletBytes.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <optional>
#include <vector>

namespace navlet {

struct ProtocolEntry {
    std::uint8_t tag = 0; // 'P', 'L', 'A' or 'D'
    std::uint16_t number = 0;
    bool operator==(const ProtocolEntry&) const = default;
};

inline constexpr std::size_t ProtocolSlotCount = 23;
using ProtocolSlots = std::array<ProtocolEntry, ProtocolSlotCount>;

// Each "A" protocol owns a fixed slot chosen by its hundreds; the "D" entries after it fill
// the slots that follow.
ProtocolSlots parseProtocolArray(ByteView data);

struct Capabilities {
    QString Link_Protocol = QStringLiteral("L001");
    QString WayPoint_Transfer_Protocol = QStringLiteral("A100");
    QString Route_Transfer_Protocol = QStringLiteral("A200");
    QString Track_Transfer_Protocol = QStringLiteral("A300");
    QString Prox_Wpt_Transfer_Protocol = QStringLiteral("A400");
    QString Waypoint_Data_Format = QStringLiteral("D108");
    QString Route_Data_Format = QStringLiteral("D200");
    QString Route_Wpt_Data_Format = QStringLiteral("D100");
    QString Track_Data_Format = QStringLiteral("D300");
    QString Prox_Wpt_Data_Format = QStringLiteral("D400");
    bool operator==(const Capabilities&) const = default;
};

Capabilities capabilitiesFromSlots(const ProtocolSlots& slots);

// The layouts of a track log. A300 receivers send points only; A301/A302 receivers list a
// header layout first ("A301 D310 D301"), which the slot rule makes the Track_Data_Format, and
// send headers and points under two identifiers. The slot rule loses the point layout when an
// A4xx entry follows, so it is read from the array itself.
struct TrackLayouts {
    QString point;  // D300, D301, D302; empty when the array names none
    QString header; // D310, D311, D312; empty when it names none
};
TrackLayouts trackLayoutsFromArray(ByteView data);

// "D108" -> {'D', 108}; nothing for text that is not a letter followed by digits.
std::optional<ProtocolEntry> parseProtocolName(const QString& name);
QByteArray encodeProtocolArray(const std::vector<ProtocolEntry>& entries);

} // namespace navlet
