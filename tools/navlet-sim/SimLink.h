#pragma once
// The simulated receiver's side of the link, built on the library's framing: it acknowledges
// what it receives, sends its own data packets one at a time (each waits for its ACK), resends
// on NAK, and injects the scenario's faults.
#include "PtyPort.h"
#include "ReceiverLink.h"
#include "Scenario.h"

#include "navlet/NavletIds.h"

#include <deque>

class SimLink : public ReceiverLink {
    Q_OBJECT
public:
    SimLink(PtyPort& port, const navlet::LinkIds& ids, const Faults& faults, QObject* parent = nullptr);

    void sendData(std::uint8_t id, const QByteArray& data) override;
    void sendStreamed(std::uint8_t id, const QByteArray& data) override;
    void sendText(const QByteArray& text) override;
    void clearQueue() override;
    void goSilent() override { m_silent = true; }
    bool isSilent() const { return m_silent; }

private:
    void onBytes(const QByteArray& bytes);
    void onFrame(const QByteArray& packet);
    void sendNext();
    void transmit(const QByteArray& packet);

    PtyPort& m_port;
    const navlet::LinkIds& m_ids;
    Faults m_faults;
    QByteArray m_buffer;
    QByteArray m_lastTaken;
    std::deque<QByteArray> m_queue; // front = sent and waiting for its ACK
    bool m_waiting = false;
    bool m_silent = false;
    long m_sent = 0;
    long m_received = 0;
};
