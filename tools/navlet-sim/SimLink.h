#pragma once
// The simulated receiver's side of the link, built on the library's framing: it acknowledges
// what it receives, sends its own data packets one at a time (each waits for its ACK), resends
// on NAK, and injects the scenario's faults.
#include "PtyPort.h"
#include "Scenario.h"

#include "navlet/NavletIds.h"

#include <QObject>
#include <deque>

class SimLink : public QObject {
    Q_OBJECT
public:
    SimLink(PtyPort& port, const navlet::LinkIds& ids, const Faults& faults, QObject* parent = nullptr);

    // Queued behind earlier packets; sent when the one before it was acknowledged.
    void sendData(std::uint8_t id, const QByteArray& data);
    // Sent at once, no acknowledgement expected (position packets).
    void sendStreamed(std::uint8_t id, const QByteArray& data);
    void sendText(const QByteArray& text);
    void clearQueue();
    void goSilent() { m_silent = true; }
    bool isSilent() const { return m_silent; }

Q_SIGNALS:
    // A data packet from the host with a good checksum, already acknowledged.
    void packetReceived(const QByteArray& packet);

private:
    void onBytes(const QByteArray& bytes);
    void onFrame(const QByteArray& packet);
    void sendNext();
    void transmit(const QByteArray& packet);

    PtyPort& m_port;
    const navlet::LinkIds& m_ids;
    Faults m_faults;
    QByteArray m_buffer;
    std::deque<QByteArray> m_queue; // front = sent and waiting for its ACK
    bool m_waiting = false;
    bool m_silent = false;
    long m_sent = 0;
    long m_received = 0;
};
