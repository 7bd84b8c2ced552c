// Frame building, stuffing, checksum and reading one frame back.
#include "navlet/Framing.h"

#include <gtest/gtest.h>

using namespace navlet;

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(static_cast<char>(v));
    return out;
}

TEST(Framing, ChecksumIsTheTwosComplementOfTheByteSum)
{
    struct Row { const char* legend; QByteArray packet; int checksum; };
    const Row rows[] = {
        {"ACK of a waypoint (35)", buildPacket(6, bytes({35})), 0xD6},
        {"product request: sum 256 wraps to 0", buildPacket(254, bytes({0, 0})), 0x00},
        {"track transfer command", buildPacket(10, bytes({6, 0})), 0xEE},
        {"no data", buildPacket(12, {}), 0xF4},
        {"255 data bytes of 0xFF do not overflow", buildPacket(1, QByteArray(255, '\xFF')), (256 - (1 + 255 + 255 * 255) % 256) % 256},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.legend);
        EXPECT_EQ(packetChecksum(r.packet), r.checksum);
        const QByteArray done = withChecksum(r.packet);
        EXPECT_TRUE(checksumMatches(done));
        EXPECT_EQ(static_cast<std::uint8_t>(done.at(done.size() - 3)), r.checksum);
    }
}

TEST(Framing, StuffingDoublesEveryDleFromSizeToChecksumButNeverTheIdentifier)
{
    struct Row { const char* legend; QByteArray packet; QByteArray wire; };
    const Row rows[] = {
        {"a data byte 0x10 is sent doubled", withChecksum(buildPacket(0x22, bytes({0x10}))),
         bytes({0x10, 0x22, 0x01, 0x10, 0x10, 0xCD, 0x10, 0x03})},
        {"an identifier 0x10 is sent once", withChecksum(buildPacket(0x10, bytes({0x01}))),
         bytes({0x10, 0x10, 0x01, 0x01, 0xEE, 0x10, 0x03})},
        {"a checksum 0x10 is doubled", withChecksum(buildPacket(0x22, bytes({0xCD}))),
         bytes({0x10, 0x22, 0x01, 0xCD, 0x10, 0x10, 0x10, 0x03})},
        {"data 0x10 0x03 is not a frame end", withChecksum(buildPacket(0x22, bytes({0x10, 0x03}))),
         bytes({0x10, 0x22, 0x02, 0x10, 0x10, 0x03, 0xC9, 0x10, 0x03})},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.legend);
        EXPECT_EQ(stuff(r.packet).toHex(' '), r.wire.toHex(' '));
    }
    QByteArray sixteen(16, 'a'); // a size byte of 16 is a DLE too
    EXPECT_EQ(stuff(withChecksum(buildPacket(0x22, sixteen))).mid(0, 4), bytes({0x10, 0x22, 0x10, 0x10}));
}

TEST(Framing, ScanReadsBackWhatStuffingWrote)
{
    const QByteArray packets[] = {
        withChecksum(buildPacket(0x22, bytes({0x10, 0x03, 0x10, 0x10}))),
        withChecksum(buildPacket(0x22, bytes({0xCD}))),
        withChecksum(buildPacket(0x22, QByteArray(16, 'x'))),
        withChecksum(buildPacket(0x22, {})),
    };
    for (const QByteArray& p : packets) {
        SCOPED_TRACE(p.toHex(' ').toStdString());
        const QByteArray buffer = QByteArray("zz") + stuff(p) + "tail";
        const FrameScan scan = scanFrame(buffer, 2);
        ASSERT_EQ(scan.result, FrameScan::Result::Complete);
        EXPECT_EQ(scan.packet, p);
        EXPECT_EQ(buffer.mid(scan.end), QByteArray("tail"));
    }
}

TEST(Framing, ScanWaitsForTheEndAndReportsALoneDle)
{
    const QByteArray wire = stuff(withChecksum(buildPacket(0x22, bytes({0x10, 0x03}))));
    for (qsizetype cut = 1; cut < wire.size(); ++cut) {
        SCOPED_TRACE(cut);
        EXPECT_EQ(scanFrame(wire.left(cut), 0).result, FrameScan::Result::Incomplete);
    }
    const FrameScan broken = scanFrame(bytes({0x10, 0x22, 0x01, 0x10, 0x05, 0x10, 0x03}), 0);
    EXPECT_EQ(broken.result, FrameScan::Result::Broken);
    EXPECT_EQ(broken.end, 3);
}

TEST(Framing, PacketAccessors)
{
    const QByteArray p = withChecksum(buildPacket(35, bytes({7, 8})));
    EXPECT_TRUE(isPacket(p));
    EXPECT_EQ(packetId(p), 35);
    EXPECT_EQ(packetFirstData(p), 7);
    EXPECT_EQ(packetData(p), bytes({7, 8}));
    EXPECT_FALSE(isPacket(bytes({0x10, 0x06, 0x10, 0x03})));
    EXPECT_EQ(packetData(bytes({0x10})), QByteArray());
    EXPECT_EQ(stuff(bytes({0x10, 0x03})), QByteArray());
}

} // namespace
