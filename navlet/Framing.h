#pragma once
// The receiver's frame, as pure functions. A packet is kept in its array form
//   [DLE, id, size, data..., checksum, DLE, ETX]
// and goes on the wire with every DLE from the size byte to the checksum doubled.
// The identifier is never doubled.
#include <QByteArray>
#include <cstdint>
#include <optional>

namespace navlet {

inline constexpr std::uint8_t DLE = 0x10;
inline constexpr std::uint8_t ETX = 0x03;
// DLE, id, size, checksum, DLE, ETX
inline constexpr qsizetype FrameOverhead = 6;
inline constexpr qsizetype MaxDataBytes = 255;

// Packet array with an empty checksum; Send fills it in.
QByteArray buildPacket(std::uint8_t id, const QByteArray& data);

bool isPacket(const QByteArray& packet);
std::uint8_t packetId(const QByteArray& packet);
// Index 3: the first data byte (the checksum of a packet without data).
std::uint8_t packetFirstData(const QByteArray& packet);
QByteArray packetData(const QByteArray& packet);

// Two's complement of the byte sum of identifier, size and data (indices 1 .. n - 4).
std::uint8_t packetChecksum(const QByteArray& packet);
bool checksumMatches(const QByteArray& packet);
QByteArray withChecksum(QByteArray packet);

// Wire bytes of a packet whose checksum is already in place.
QByteArray stuff(const QByteArray& packet);

// Outcome of reading one frame that starts with DLE at `start` of a receive buffer.
struct FrameScan {
    enum class Result {
        Complete,   // `packet` holds the unstuffed array, `end` is one past its ETX
        Incomplete, // the frame has not ended yet
        Broken,     // a lone DLE inside the frame: the stream lost sync at `end`
    };
    Result result = Result::Incomplete;
    QByteArray packet;
    qsizetype end = 0;
};

FrameScan scanFrame(const QByteArray& buffer, qsizetype start);

} // namespace navlet
