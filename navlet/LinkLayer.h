#pragma once
// The receiver link: sends packets, acknowledges what arrives, resends on NAK, asks the host
// after repeated failures or silence, and splits the incoming stream into frames and NMEA
// sentences. What a packet means is decided above this layer.
#include "navlet/ByteChannel.h"
#include "navlet/NavletIds.h"
#include "navlet/NavletPrompt.h"
#include "navlet/NavletTiming.h"

#include <QObject>
#include <QTimer>

namespace navlet {

class LinkLayer : public QObject {
    Q_OBJECT
public:
    // `ids` and `prepared` belong to the owner and change when the receiver reports "L002".
    LinkLayer(ByteChannel& channel, const LinkIds& ids, const PreparedPackets& prepared,
              QObject* parent = nullptr);

    void setPrompt(LinkPrompt prompt) { m_prompt = std::move(prompt); }
    void setTimeScale(timing::TimeScale scale);
    void setIgnoreCheckSum(bool ignore) { m_ignoreCheckSum = ignore; }

    void send(const QByteArray& packet);
    void reset();
    void closePort();
    // One tick of the response supervision (tmrTimeout).
    void tick();

    bool timerActive() const { return m_timer.isActive(); }
    int tickCount() const { return m_ticks; }
    int linkErrorCount() const { return m_linkErrors; }
    int nmeaErrorCount() const { return m_nmeaErrors; }
    bool nmeaMode() const { return m_nmeaMode; }
    QByteArray lastPacket() const { return m_last; }
    qsizetype bufferedBytes() const { return m_buffer.size(); }
    // False while frameTaken announces a frame that brings the host nothing new: a failed
    // checksum, a repeat of the packet just acknowledged (the receiver missed our ACK), or an
    // ACK or NAK that does not name the packet we sent last.
    bool lastFrameValid() const { return m_lastFrameValid; }
    // True while frameTaken announces a data packet equal to the one taken just before: the
    // receiver sent it again (our ACK was lost) or it holds two equal records in a row. Only
    // the transfer's record count can tell which (see RecordDownload).
    bool lastFrameRepeat() const { return m_lastFrameRepeat; }
    // True from sending a packet until the receiver acknowledged it by its identifier.
    bool awaitingAck() const { return m_awaitingAck; }

Q_SIGNALS:
    // A data packet with a good checksum, acknowledged (unless it is a position packet).
    void packetAccepted(const QByteArray& packet);
    // Every frame taken from the stream, after it was handled.
    void frameTaken(quint8 id, quint8 firstData);
    void sentenceReceived(const QString& sentence, bool chkerr);
    // The user (or a tool's prompt) gave up on the link: the reset packet was sent.
    void supervisionGaveUp();

private:
    void onBytes(const QByteArray& bytes);
    void processBuffer();
    void handleFrame(QByteArray packet);
    void handleAck(std::uint8_t named);
    void handleNak(std::uint8_t named);
    // Whether an ACK or NAK naming `named` answers the packet waiting for one.
    bool namesPacketSent(std::uint8_t named);
    void resendQuietly();
    void handleBadChecksum(std::uint8_t id);
    void handleSentence(const QByteArray& text);
    PromptAnswer ask(const QString& text, PromptButtons buttons);
    bool expectsMorePackets(std::uint8_t id) const;
    // Packets the receiver answers with data of its own.
    bool isRequest(std::uint8_t id) const;
    void superviseAfterSend(const QByteArray& wire);
    void sendAck(std::uint8_t id);
    void sendNak(std::uint8_t id);
    void sendOnOpenLine(const QByteArray& packet);

    ByteChannel& m_channel;
    const LinkIds& m_ids;
    const PreparedPackets& m_prepared;
    LinkPrompt m_prompt;
    QTimer m_timer;
    QByteArray m_buffer;
    QByteArray m_last;
    // The last packet other than an ACK or NAK: what an ACK or NAK from the receiver is about.
    QByteArray m_lastSent;
    // The last data packet taken and acknowledged; the same bytes again mean our ACK was lost.
    QByteArray m_lastTaken;
    bool m_awaitingAck = false;
    bool m_lastSentSupervised = false;
    int m_copiesSent = 0;  // of m_lastSent, resends included
    int m_answersSeen = 0; // ACKs, NAKs and damaged answers to them
    int m_lateAnswers = 0; // answers to copies of the packet before, still expected
    std::uint8_t m_lateId = 0;
    int m_ticks = 0;
    int m_linkErrors = 0;
    int m_nmeaErrors = 0;
    bool m_nmeaMode = false;
    bool m_ignoreCheckSum = false;
    bool m_prompting = false;
    bool m_lastFrameValid = true;
    bool m_lastFrameRepeat = false;
};

} // namespace navlet
