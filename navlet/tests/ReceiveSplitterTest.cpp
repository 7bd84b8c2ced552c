// Splitting the receive buffer into frames and sentences, including the cases where NMEA text
// and binary frames share the line.
#include "navlet/Framing.h"
#include "navlet/ReceiveSplitter.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace navlet;

namespace {

QByteArray frame(std::uint8_t id, const QByteArray& data)
{
    return stuff(withChecksum(buildPacket(id, data)));
}

// Every item the buffer yields, as "F:<id>" or "S:<text>".
QStringList drain(QByteArray& buffer)
{
    QStringList out;
    while (auto item = takeNextItem(buffer)) {
        if (item->kind == ReceivedItem::Kind::Frame)
            out << QStringLiteral("F:%1").arg(packetId(item->bytes));
        else
            out << QStringLiteral("S:") + QString::fromLatin1(item->bytes);
    }
    return out;
}

TEST(ReceiveSplitter, SplitsMixedInput)
{
    struct Row { const char* legend; QByteArray input; QStringList items; QByteArray rest; };
    const QByteArray wpt = frame(35, "abc");
    const QByteArray ack = frame(6, QByteArray(1, 35));
    const Row rows[] = {
        {"garbage before a frame is dropped, the frame kept", "xy\x03z" + wpt, {"F:35"}, ""},
        {"two frames in one read, in order", ack + wpt, {"F:6", "F:35"}, ""},
        {"a frame and the start of the next", wpt + ack.left(3), {"F:35"}, ack.left(3)},
        {"a frame too short for a packet is dropped", QByteArray("\x10\x06\x10\x03", 4) + wpt, {"F:35"}, ""},
        {"a sentence, then the LF stays in front", "$GPGLL,1*00\r\n", {"S:$GPGLL,1*00"}, "\n"},
        {"a sentence and the start of the next", "$A\r\n$B,12", {"S:$A"}, "\n$B,12"},
        {"a line without $ is dropped with the sentence after it", "junk\r\n$A\r\n", {"S:$A"}, "\n"},
        {"frame then sentence", wpt + "$A\r\n", {"F:35", "S:$A"}, "\n"},
        {"sentence then frame", "$A\r\n" + wpt, {"S:$A", "F:35"}, ""},
        {"a $ and CR LF inside a frame do not make a sentence", frame(35, "$GPGLL\r\nx"), {"F:35"}, ""},
        {"a $ after a frame start waits with the frame", wpt.left(4) + "$A\r\n", {}, wpt.left(4) + "$A\r\n"},
        {"binary text after $ is not a sentence; the frame behind it is kept", "$GP" + wpt, {"F:35"}, ""},
        {"a CR at the very end waits for its LF", "$A\r", {}, "$A\r"},
        {"a lone DLE inside a frame resynchronises on it", QByteArray("\x10\x22\x01\x10\x05", 5) + wpt, {"F:35"}, ""},
        {"noise ending in DLE right before a frame: the frame is kept", QByteArray("\x7e\x10", 2) + wpt, {"F:35"}, ""},
        {"noise of DLEs only before a frame", QByteArray("\x10\x10\x10", 3) + wpt, {"F:35"}, ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.legend);
        QByteArray buffer = r.input;
        EXPECT_EQ(drain(buffer), r.items);
        EXPECT_EQ(buffer.toHex(' '), r.rest.toHex(' '));
    }
}

TEST(ReceiveSplitter, AFrameArrivingByteByByteIsTakenOnceWhole)
{
    const QByteArray wire = frame(35, QByteArray("\x10\x03\x10", 3));
    QByteArray buffer;
    QStringList items;
    for (char c : wire) {
        buffer.append(c);
        items << drain(buffer);
    }
    EXPECT_EQ(items, QStringList{"F:35"});
    EXPECT_TRUE(buffer.isEmpty());
}

TEST(ReceiveSplitter, TheFrameCarriesTheUnstuffedPacket)
{
    const QByteArray packet = withChecksum(buildPacket(34, QByteArray("\x10\x10\x03", 3)));
    QByteArray buffer = stuff(packet);
    const auto item = takeNextItem(buffer);
    ASSERT_TRUE(item);
    EXPECT_EQ(item->bytes, packet);
}

TEST(ReceiveSplitter, BoundKeepsTheNewestBytes)
{
    QByteArray buffer = QByteArray("\x10\x22", 2) + QByteArray(5000, 'x') + "end";
    EXPECT_FALSE(takeNextItem(buffer)); // a frame that never ends
    boundBuffer(buffer, 4096);
    EXPECT_EQ(buffer.size(), 4096);
    EXPECT_TRUE(buffer.endsWith("end"));
    buffer += frame(35, "ok");
    EXPECT_EQ(drain(buffer), QStringList{"F:35"});
}

} // namespace
