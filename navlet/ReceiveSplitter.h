#pragma once
// Splits the receive buffer into binary frames and NMEA sentences, in arrival order.
// A "$" starts a sentence only when no DLE comes before it (a "$" after a DLE is data inside a
// frame) and the text up to CR LF is printable. Bytes that are neither are dropped.
#include <QByteArray>
#include <optional>

namespace navlet {

struct ReceivedItem {
    enum class Kind { Frame, Sentence };
    Kind kind = Kind::Frame;
    // Frame: the unstuffed packet array. Sentence: from "$" up to, not including, the CR.
    QByteArray bytes;
};

// Takes the next complete item off the front of `buffer`, dropping anything before it that
// cannot be part of one. Returns nothing (and leaves a partial item in place) when no
// complete item is there yet. Frames shorter than a packet array are dropped.
std::optional<ReceivedItem> takeNextItem(QByteArray& buffer);

// Keeps the last `limit` bytes; called after every complete item has been taken, so only
// bytes that never end a frame or sentence are lost.
void boundBuffer(QByteArray& buffer, qsizetype limit);

} // namespace navlet
