#include "ReceiverSide.h"

#include "navlet/Framing.h"
#include "navlet/ReceiveSplitter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace navlet_test {

QByteArray ReceiverSide::wire(std::uint8_t id, const QByteArray& data, bool corrupt)
{
    QByteArray packet = navlet::withChecksum(navlet::buildPacket(id, data));
    if (corrupt)
        packet[packet.size() - 3] = static_cast<char>(packet.at(packet.size() - 3) ^ 0x5A);
    return navlet::stuff(packet);
}

void ReceiverSide::sendPacket(std::uint8_t id, const QByteArray& data, bool corrupt)
{
    m_pty.write(wire(id, data, corrupt));
}

void ReceiverSide::sendRaw(const QByteArray& bytes)
{
    m_pty.write(bytes);
}

void ReceiverSide::pump()
{
    m_buffer += m_pty.readAvailable();
    while (auto item = navlet::takeNextItem(m_buffer))
        if (item->kind == navlet::ReceivedItem::Kind::Frame)
            m_packets.push_back(item->bytes);
}

std::vector<QByteArray> ReceiverSide::takePackets(std::size_t count, std::chrono::milliseconds timeout)
{
    QElapsedTimer timer;
    timer.start();
    pump();
    while (m_packets.size() < count && timer.elapsed() < timeout.count()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::usleep(200);
        pump();
    }
    std::vector<QByteArray> out;
    out.swap(m_packets);
    return out;
}

} // namespace navlet_test
