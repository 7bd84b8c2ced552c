#pragma once
// A receiver's link written apart from the library on purpose: a simulator that shares the
// host's framing cannot find the host's framing faults. It frames and unframes by itself,
// takes an ACK or NAK only when it names the packet waiting for it, sends a packet again when
// its ACK does not come in time, takes a packet repeated by the host once (and ACKs it again),
// and damages the line at random in both directions.
#include "PtyPort.h"
#include "ReceiverLink.h"
#include "Scenario.h"

#include "navlet/NavletIds.h"

#include <QTextStream>
#include <QElapsedTimer>
#include <QTimer>
#include <deque>
#include <random>

class StrictLink : public ReceiverLink {
    Q_OBJECT
public:
    StrictLink(PtyPort& port, const navlet::LinkIds& ids, const StrictLine& line, const Faults& faults,
               QTextStream& out, QObject* parent = nullptr);

    void sendData(std::uint8_t id, const QByteArray& data) override;
    void sendStreamed(std::uint8_t id, const QByteArray& data) override;
    void sendText(const QByteArray& text) override;
    void clearQueue() override;
    void goSilent() override { m_silent = true; }

    // Wire bytes of one packet: DLE id size data checksum DLE ETX, every DLE from the size to
    // the checksum doubled. `damage` spoils the checksum (the frame stays well formed).
    static QByteArray frame(std::uint8_t id, const QByteArray& data, bool damage = false);

private:
    enum class State { Hunt, Id, Body, Escape };

    void onBytes(const QByteArray& bytes);
    void feed(std::uint8_t b);
    void onFrame(std::uint8_t id, const QByteArray& body);
    void sendNext();
    void transmit(std::uint8_t id, const QByteArray& data);
    void transmitFront();
    void onAckTimeout();
    bool chance(double percent);
    // Paced as a serial line when the scenario names a speed: bytes leave or are read only
    // when the line would have carried them.
    void toLine(const QByteArray& bytes);
    void fromLine(const QByteArray& bytes);
    double lineMs(qsizetype bytes) const;
    QByteArray noise();

    struct Packet {
        std::uint8_t id;
        QByteArray data;
    };

    PtyPort& m_port;
    const navlet::LinkIds& m_ids;
    StrictLine m_line;
    Faults m_faults;
    QTextStream& m_out;
    std::mt19937 m_random;
    QTimer m_ackTimer;
    QElapsedTimer m_clock;
    double m_outFreeAtMs = 0;
    double m_inFreeAtMs = 0;
    State m_state = State::Hunt;
    std::uint8_t m_frameId = 0;
    QByteArray m_body;
    std::deque<Packet> m_queue; // front = sent and waiting for its ACK
    bool m_waiting = false;
    int m_resends = 0;
    int m_copies = 0;  // of the front packet
    int m_answers = 0; // ACKs, NAKs and damaged answers to it
    int m_lateAnswers = 0;
    std::uint8_t m_lateId = 0;
    bool m_silent = false;
    long m_sent = 0;
    bool m_hasTaken = false;
    Packet m_lastTaken{0, {}};
};
