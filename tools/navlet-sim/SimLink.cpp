#include "SimLink.h"

#include "navlet/Framing.h"
#include "navlet/ReceiveSplitter.h"

using namespace navlet;

SimLink::SimLink(PtyPort& port, const LinkIds& ids, const Faults& faults, QObject* parent)
    : ReceiverLink(parent)
    , m_port(port)
    , m_ids(ids)
    , m_faults(faults)
{
    connect(&m_port, &PtyPort::bytesArrived, this, &SimLink::onBytes);
    m_silent = m_faults.silentAfter == 0;
}

void SimLink::sendData(std::uint8_t id, const QByteArray& data)
{
    m_queue.push_back(withChecksum(buildPacket(id, data)));
    if (!m_waiting)
        sendNext();
}

void SimLink::sendStreamed(std::uint8_t id, const QByteArray& data)
{
    transmit(withChecksum(buildPacket(id, data)));
}

void SimLink::sendText(const QByteArray& text)
{
    if (!m_silent)
        m_port.write(text);
}

void SimLink::clearQueue()
{
    m_queue.clear();
    m_waiting = false;
}

void SimLink::sendNext()
{
    m_waiting = !m_queue.empty();
    if (m_waiting) {
        m_lastTaken.clear(); // an exchange of our own: the host's next packet is new even if equal
        transmit(m_queue.front());
    }
}

void SimLink::transmit(const QByteArray& packet)
{
    if (m_silent)
        return;
    QByteArray out = packet;
    ++m_sent;
    if (m_faults.corruptEvery > 0 && m_sent % m_faults.corruptEvery == 0) {
        // Corrupt the checksum before stuffing, so the frame itself stays intact.
        out[out.size() - 3] = static_cast<char>(out.at(out.size() - 3) ^ 0xA5);
    }
    m_port.write(stuff(out));
    if (m_faults.silentAfter > 0 && m_sent >= m_faults.silentAfter)
        m_silent = true;
}

void SimLink::onBytes(const QByteArray& bytes)
{
    m_buffer += bytes;
    while (auto item = takeNextItem(m_buffer))
        if (item->kind == ReceivedItem::Kind::Frame)
            onFrame(item->bytes);
    boundBuffer(m_buffer, 4096);
}

void SimLink::onFrame(const QByteArray& packet)
{
    if (m_silent)
        return;
    const std::uint8_t id = packetId(packet);
    if (id == m_ids.PID_Ack_Byte) {
        if (m_waiting) {
            m_queue.pop_front();
            sendNext();
        }
        return;
    }
    if (id == m_ids.PID_Nak_Byte) {
        if (m_waiting)
            transmit(m_queue.front());
        return;
    }
    ++m_received;
    const bool injectNak = m_faults.nakEvery > 0 && m_received % m_faults.nakEvery == 0;
    if (injectNak || !checksumMatches(packet)) {
        transmit(withChecksum(nakPacket(m_ids, id)));
        return;
    }
    transmit(withChecksum(ackPacket(m_ids, id)));
    // The host sent it again because our ACK did not reach it: taken once.
    if (packet == m_lastTaken)
        return;
    m_lastTaken = packet;
    Q_EMIT packetReceived(id, packetData(packet));
}
