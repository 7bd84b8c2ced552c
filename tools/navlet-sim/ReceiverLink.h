#pragma once
// The simulated receiver's end of the link, as the receiver's behaviour sees it: data packets
// queued for sending one at a time, packets streamed without acknowledgement, text, and the
// host's packets as they are taken. Two lines implement it: SimLink, built on the library's
// framing, and StrictLink, which frames on its own and checks the host as a receiver would.
#include <QByteArray>
#include <QObject>
#include <cstdint>

class ReceiverLink : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Queued behind earlier packets; sent when the one before it was acknowledged.
    virtual void sendData(std::uint8_t id, const QByteArray& data) = 0;
    // Sent at once, no acknowledgement expected (position packets).
    virtual void sendStreamed(std::uint8_t id, const QByteArray& data) = 0;
    virtual void sendText(const QByteArray& text) = 0;
    virtual void clearQueue() = 0;
    virtual void goSilent() = 0;

Q_SIGNALS:
    // A data packet from the host with a good checksum, already acknowledged.
    void packetReceived(quint8 id, const QByteArray& data);
};
