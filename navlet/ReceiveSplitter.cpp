#include "navlet/ReceiveSplitter.h"

#include "navlet/Framing.h"

namespace navlet {
namespace {

bool isPrintable(char c)
{
    const auto b = static_cast<unsigned char>(c);
    return b >= 0x20 && b <= 0x7E;
}

enum class TextResult { Sentence, Waiting, Dropped };

// Handles a "$" at `dollar` with no DLE before it.
TextResult takeSentence(QByteArray& buffer, qsizetype dollar, QByteArray& sentence)
{
    for (qsizetype i = dollar; i < buffer.size(); ++i) {
        const char c = buffer.at(i);
        if (c == '\r' && i + 1 < buffer.size() && buffer.at(i + 1) == '\n') {
            sentence = buffer.mid(dollar, i - dollar);
            buffer.remove(0, i + 1); // the LF stays and is skipped next time
            return TextResult::Sentence;
        }
        if (c == '\r' && i + 1 == buffer.size())
            return TextResult::Waiting;
        if (!isPrintable(c)) {
            // Not a sentence: drop the text, keep the byte that broke it (it may start a frame).
            buffer.remove(0, i);
            return TextResult::Dropped;
        }
    }
    return TextResult::Waiting;
}

enum class FrameResult { Frame, Waiting, Dropped };

FrameResult takeFrame(QByteArray& buffer, qsizetype dle, QByteArray& packet)
{
    // No packet has DLE as its identifier: a DLE right before a frame's DLE is noise, and
    // taking it as the start would swallow the real frame.
    if (dle + 1 < buffer.size() && static_cast<std::uint8_t>(buffer.at(dle + 1)) == DLE) {
        buffer.remove(0, dle + 1);
        return FrameResult::Dropped;
    }
    const FrameScan scan = scanFrame(buffer, dle);
    switch (scan.result) {
    case FrameScan::Result::Incomplete:
        return FrameResult::Waiting;
    case FrameScan::Result::Broken:
        buffer.remove(0, scan.end);
        return FrameResult::Dropped;
    case FrameScan::Result::Complete:
        buffer.remove(0, scan.end);
        if (!isPacket(scan.packet))
            return FrameResult::Dropped;
        packet = scan.packet;
        return FrameResult::Frame;
    }
    return FrameResult::Waiting;
}

} // namespace

std::optional<ReceivedItem> takeNextItem(QByteArray& buffer)
{
    for (;;) {
        const qsizetype dle = buffer.indexOf(static_cast<char>(DLE));
        const qsizetype dollar = buffer.indexOf('$');
        ReceivedItem item;
        if (dollar >= 0 && (dle < 0 || dollar < dle)) {
            item.kind = ReceivedItem::Kind::Sentence;
            const TextResult r = takeSentence(buffer, dollar, item.bytes);
            if (r == TextResult::Sentence)
                return item;
            if (r == TextResult::Waiting)
                return std::nullopt;
            continue;
        }
        if (dle < 0)
            return std::nullopt;
        const FrameResult r = takeFrame(buffer, dle, item.bytes);
        if (r == FrameResult::Frame)
            return item;
        if (r == FrameResult::Waiting)
            return std::nullopt;
    }
}

void boundBuffer(QByteArray& buffer, qsizetype limit)
{
    if (buffer.size() > limit)
        buffer.remove(0, buffer.size() - limit);
}

} // namespace navlet
