#pragma once
// The receiver's end of a real pseudo-terminal, scripted by a test: it frames packets with the
// library's own framing and splits what the control sends back into packets.
#include "Pty.h"

#include <QByteArray>
#include <chrono>
#include <cstdint>
#include <vector>

namespace navlet_test {

class ReceiverSide {
public:
    ReceiverSide() = default;

    bool isValid() const { return m_pty.isValid(); }
    QString devicePath() const { return m_pty.slavePath(); }

    // Wire bytes of a packet with a correct checksum (or a wrong one when `corrupt`).
    static QByteArray wire(std::uint8_t id, const QByteArray& data, bool corrupt = false);
    void sendPacket(std::uint8_t id, const QByteArray& data, bool corrupt = false);
    void sendRaw(const QByteArray& bytes);

    // Waits until at least `count` packets arrived in total since the last take, then returns
    // and forgets them. The event loop runs while waiting.
    std::vector<QByteArray> takePackets(std::size_t count,
                                        std::chrono::milliseconds timeout = std::chrono::seconds(5));

private:
    void pump();

    testing_support::Pty m_pty;
    QByteArray m_buffer;
    std::vector<QByteArray> m_packets;
};

} // namespace navlet_test
