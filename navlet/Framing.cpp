#include "navlet/Framing.h"

namespace navlet {

QByteArray buildPacket(std::uint8_t id, const QByteArray& data)
{
    QByteArray p;
    p.reserve(data.size() + FrameOverhead);
    p.append(static_cast<char>(DLE));
    p.append(static_cast<char>(id));
    p.append(static_cast<char>(data.size() & 0xFF));
    p.append(data);
    p.append('\0');
    p.append(static_cast<char>(DLE));
    p.append(static_cast<char>(ETX));
    return p;
}

bool isPacket(const QByteArray& packet)
{
    return packet.size() >= FrameOverhead;
}

std::uint8_t packetId(const QByteArray& packet)
{
    return packet.size() > 1 ? static_cast<std::uint8_t>(packet.at(1)) : 0;
}

std::uint8_t packetFirstData(const QByteArray& packet)
{
    return packet.size() > 3 ? static_cast<std::uint8_t>(packet.at(3)) : 0;
}

QByteArray packetData(const QByteArray& packet)
{
    return isPacket(packet) ? packet.mid(3, packet.size() - FrameOverhead) : QByteArray();
}

std::uint8_t packetChecksum(const QByteArray& packet)
{
    unsigned sum = 0;
    for (qsizetype i = 1; i <= packet.size() - 4; ++i)
        sum += static_cast<std::uint8_t>(packet.at(i));
    return static_cast<std::uint8_t>((256 - (sum % 256)) % 256);
}

bool checksumMatches(const QByteArray& packet)
{
    return isPacket(packet) && static_cast<std::uint8_t>(packet.at(packet.size() - 3)) == packetChecksum(packet);
}

QByteArray withChecksum(QByteArray packet)
{
    if (isPacket(packet))
        packet[packet.size() - 3] = static_cast<char>(packetChecksum(packet));
    return packet;
}

QByteArray stuff(const QByteArray& packet)
{
    QByteArray wire;
    if (!isPacket(packet))
        return wire;
    wire.reserve(packet.size() + 8);
    wire.append(static_cast<char>(DLE));
    wire.append(packet.at(1));
    for (qsizetype i = 2; i <= packet.size() - 3; ++i) {
        wire.append(packet.at(i));
        if (static_cast<std::uint8_t>(packet.at(i)) == DLE)
            wire.append(static_cast<char>(DLE));
    }
    wire.append(static_cast<char>(DLE));
    wire.append(static_cast<char>(ETX));
    return wire;
}

FrameScan scanFrame(const QByteArray& buffer, qsizetype start)
{
    FrameScan scan;
    if (start + 1 >= buffer.size())
        return scan;
    scan.packet.append(static_cast<char>(DLE));
    scan.packet.append(buffer.at(start + 1));
    for (qsizetype i = start + 2; i < buffer.size(); ++i) {
        const auto b = static_cast<std::uint8_t>(buffer.at(i));
        if (b != DLE) {
            scan.packet.append(static_cast<char>(b));
            continue;
        }
        if (i + 1 >= buffer.size())
            return FrameScan{};
        const auto next = static_cast<std::uint8_t>(buffer.at(i + 1));
        if (next == DLE) {
            scan.packet.append(static_cast<char>(DLE));
            ++i;
        } else if (next == ETX) {
            scan.packet.append(static_cast<char>(DLE));
            scan.packet.append(static_cast<char>(ETX));
            scan.result = FrameScan::Result::Complete;
            scan.end = i + 2;
            return scan;
        } else {
            return FrameScan{FrameScan::Result::Broken, {}, i};
        }
    }
    return FrameScan{};
}

} // namespace navlet
