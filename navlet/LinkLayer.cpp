#include "navlet/LinkLayer.h"

#include "navlet/Framing.h"
#include "navlet/NmeaText.h"
#include "navlet/ReceiveSplitter.h"

#include <algorithm>

namespace navlet {

LinkLayer::LinkLayer(ByteChannel& channel, const LinkIds& ids, const PreparedPackets& prepared, QObject* parent)
    : QObject(parent)
    , m_channel(channel)
    , m_ids(ids)
    , m_prepared(prepared)
{
    m_timer.setInterval(timing::TimeScale{}.ms(timing::TimeoutTickMs));
    connect(&m_timer, &QTimer::timeout, this, &LinkLayer::tick);
    connect(&m_channel, &ByteChannel::bytesArrived, this, &LinkLayer::onBytes);
}

void LinkLayer::setTimeScale(timing::TimeScale scale)
{
    m_timer.setInterval(scale.ms(timing::TimeoutTickMs));
}

void LinkLayer::send(const QByteArray& packet)
{
    if (!isPacket(packet))
        return;
    if (!m_channel.isOpen())
        m_channel.open();
    m_last = withChecksum(packet);
    const std::uint8_t id = packetId(m_last);
    if (id != m_ids.PID_Ack_Byte && id != m_ids.PID_Nak_Byte) {
        m_lastSent = m_last;
        m_awaitingAck = true;
        m_copiesSent = 0;
        m_answersSeen = 0;
        // A new request or upload: a packet equal to the last one taken is new data again.
        m_lastTaken.clear();
    }
    const QByteArray wire = stuff(m_last);
    if (m_awaitingAck && m_last == m_lastSent)
        ++m_copiesSent;
    m_channel.write(wire);
    superviseAfterSend(wire);
}

void LinkLayer::superviseAfterSend(const QByteArray& wire)
{
    const auto id = static_cast<std::uint8_t>(wire.at(1));
    if (id == m_ids.PID_Ack_Byte || id == m_ids.PID_Nak_Byte) {
        // acknowledgements leave the supervision as it is
    } else if (id != m_ids.PID_Command_Data) {
        m_timer.start();
        m_lastSentSupervised = true;
    } else {
        // Commands after which the receiver stays silent must not bring up the prompt.
        const auto command = static_cast<std::uint8_t>(wire.at(3));
        m_lastSentSupervised = !(command == m_ids.CMND_Turn_Off_Pwr || command == m_ids.CMND_Stop_Pvt_Data
                                 || command == m_ids.CMND_Reset_Transfer);
        if (m_lastSentSupervised)
            m_timer.start();
        else
            m_timer.stop();
    }
    m_ticks = 0;
}

void LinkLayer::closePort()
{
    m_timer.stop();
    // Frames still buffered belong to the closed line: none of them is answered.
    m_buffer.clear();
    m_channel.close();
}

void LinkLayer::reset()
{
    m_channel.clearInput();
    closePort();
    m_channel.open();
    send(m_prepared.reset);
}

void LinkLayer::tick()
{
    if (m_prompting)
        return;
    if (++m_ticks <= timing::SilentTicksBeforePrompt) {
        // The packet or its ACK was lost on the line: send it again before asking anybody.
        if (m_awaitingAck && !m_lastSent.isEmpty())
            resendQuietly();
        return;
    }
    m_ticks = 0;
    const PromptAnswer answer = ask(messages::NoResponse, PromptButtons::RetryCancel);
    m_buffer.clear();
    if (answer == PromptAnswer::Retry) {
        send(m_last);
    } else {
        m_timer.stop();
        sendOnOpenLine(m_prepared.reset);
        Q_EMIT supervisionGaveUp();
    }
}

PromptAnswer LinkLayer::ask(const QString& text, PromptButtons buttons)
{
    // A prompt may run a nested event loop: bytes arriving meanwhile wait in the buffer.
    m_prompting = true;
    const PromptAnswer answer = m_prompt ? m_prompt(text, buttons) : safeAnswer(buttons);
    m_prompting = false;
    return answer;
}

void LinkLayer::onBytes(const QByteArray& bytes)
{
    m_buffer.append(bytes);
    if (m_prompting)
        boundBuffer(m_buffer, timing::PromptBacklogLimit);
    else
        processBuffer();
}

void LinkLayer::processBuffer()
{
    // Every complete frame and sentence, in order: a receiver often sends its ACK and the
    // next data packet in one burst.
    while (auto item = takeNextItem(m_buffer)) {
        if (item->kind == ReceivedItem::Kind::Frame)
            handleFrame(item->bytes);
        else
            handleSentence(item->bytes);
    }
    boundBuffer(m_buffer, timing::ReceiveBufferLimit);
}

bool LinkLayer::isRequest(std::uint8_t id) const
{
    return id == m_ids.PID_Command_Data || id == m_ids.PID_Product_Rqst || id == m_ids.PID_Protocol_Array;
}

bool LinkLayer::expectsMorePackets(std::uint8_t id) const
{
    for (std::uint8_t multi : {m_ids.PID_Prx_Wpt_Data, m_ids.PID_Records, m_ids.PID_Rte_Hdr,
                               m_ids.PID_Rte_Wpt_Data, m_ids.PID_Trk_Data, m_ids.PID_Wpt_Data,
                               m_ids.PID_Pvt_Data, m_ids.PID_Trk_Hdr})
        if (id == multi)
            return true;
    return false;
}

void LinkLayer::handleFrame(QByteArray packet)
{
    m_channel.traceIncoming(packet);
    m_nmeaMode = false;
    // Some receivers send 0 as the size of a packet; the bytes present are the truth.
    if (packet.at(2) == 0)
        packet[2] = static_cast<char>((packet.size() - FrameOverhead) & 0xFF);
    m_timer.stop();
    m_ticks = 0;
    const std::uint8_t id = packetId(packet);
    if (expectsMorePackets(id))
        m_timer.start();
    const bool intact = checksumMatches(packet);
    m_lastFrameValid = intact;
    m_lastFrameRepeat = false;
    if (!intact && (id == m_ids.PID_Ack_Byte || id == m_ids.PID_Nak_Byte)) {
        // A damaged answer names nothing for sure. If ours is still unanswered, send it again
        // at once: a receiver takes a repeated packet once and acknowledges it again.
        if (m_awaitingAck && !m_lastSent.isEmpty()) {
            ++m_answersSeen;
            resendQuietly();
        }
    } else if (id == m_ids.PID_Ack_Byte) {
        handleAck(packetFirstData(packet));
    } else if (id == m_ids.PID_Nak_Byte) {
        handleNak(packetFirstData(packet));
    } else if (!intact) {
        handleBadChecksum(id);
    } else if (id != m_ids.PID_Pvt_Data && packet == m_lastTaken) {
        // Sent again because our ACK was lost: acknowledge it again, take it once.
        m_linkErrors = 0;
        m_lastFrameValid = false;
        m_lastFrameRepeat = true;
        sendAck(id);
    } else {
        m_linkErrors = 0;
        // An answer proves a request arrived, even from a receiver that does not ACK it.
        if (m_awaitingAck && isRequest(packetId(m_lastSent)))
            m_awaitingAck = false;
        if (id != m_ids.PID_Pvt_Data) { // position packets stream without acknowledgement
            m_lastTaken = packet;
            sendAck(id);
        }
        Q_EMIT packetAccepted(packet);
    }
    // Still waiting for the ACK of a supervised packet: a frame about something else must not
    // end the supervision that resends it.
    if (m_awaitingAck && m_lastSentSupervised && !m_timer.isActive())
        m_timer.start();
    Q_EMIT frameTaken(id, packetFirstData(packet));
}

void LinkLayer::resendQuietly()
{
    ++m_copiesSent;
    m_channel.write(stuff(m_lastSent));
}

bool LinkLayer::namesPacketSent(std::uint8_t named)
{
    if (m_lateAnswers > 0 && named == m_lateId) {
        // An ACK only names the identifier: this one may answer a copy of the packet before.
        // Wrongly ignored, it costs one resend, which the receiver takes once. It is counted
        // for the packet waiting too, so a lost answer costs one resend, not one per packet.
        --m_lateAnswers;
        if (m_awaitingAck)
            ++m_answersSeen;
        return false;
    }
    if (!m_awaitingAck || m_lastSent.isEmpty() || named != packetId(m_lastSent))
        return false;
    ++m_answersSeen;
    return true;
}

void LinkLayer::handleAck(std::uint8_t named)
{
    // An ACK for another packet (a reset, a packet answered twice) says nothing about ours.
    if (!namesPacketSent(named)) {
        m_lastFrameValid = false;
        return;
    }
    m_awaitingAck = false;
    m_linkErrors = 0;
    // Copies sent and not answered yet will be answered with the same identifier.
    m_lateAnswers = std::max(0, m_copiesSent - m_answersSeen);
    m_lateId = named;
}

void LinkLayer::handleNak(std::uint8_t named)
{
    if (!namesPacketSent(named)) {
        m_lastFrameValid = false;
        return;
    }
    if (++m_linkErrors > timing::LinkErrorsBeforePrompt) {
        m_linkErrors = 0;
        if (ask(messages::UnableToCommunicate, PromptButtons::RetryCancel) != PromptAnswer::Retry) {
            reset();
            Q_EMIT supervisionGaveUp();
            return;
        }
    }
    // The same packet again: its earlier copies may still be answered.
    m_last = m_lastSent;
    resendQuietly();
}

void LinkLayer::handleBadChecksum(std::uint8_t id)
{
    if (++m_linkErrors > timing::LinkErrorsBeforePrompt) {
        m_linkErrors = 0;
        switch (ask(messages::InvalidMessage, PromptButtons::AbortRetryIgnore)) {
        case PromptAnswer::Retry:
            break;
        case PromptAnswer::Ignore:
            // Accept and move on; a NAK after the ACK would only make the receiver resend.
            sendAck(id);
            return;
        case PromptAnswer::Abort:
        case PromptAnswer::Ok:
        case PromptAnswer::Cancel:
            reset();
            Q_EMIT supervisionGaveUp();
            return;
        }
    }
    sendNak(id);
}

void LinkLayer::handleSentence(const QByteArray& text)
{
    m_ticks = 0;
    m_nmeaMode = true;
    const QString sentence = QString::fromLatin1(text);
    const NmeaCheck check = checkSentence(sentence, m_ignoreCheckSum);
    if (check.countsAsError && ++m_nmeaErrors > timing::NmeaErrorsBeforeWarning) {
        ask(messages::ChecksumErrors, PromptButtons::Ok);
        m_nmeaErrors = 0;
    }
    Q_EMIT sentenceReceived(sentence, check.chkerr);
    m_timer.start();
}

void LinkLayer::sendAck(std::uint8_t id)
{
    QByteArray ack = m_prepared.ack;
    ack[3] = static_cast<char>(id);
    sendOnOpenLine(ack);
}

void LinkLayer::sendNak(std::uint8_t id)
{
    QByteArray nak = m_prepared.nak;
    nak[3] = static_cast<char>(id);
    sendOnOpenLine(nak);
}

void LinkLayer::sendOnOpenLine(const QByteArray& packet)
{
    // Only the host's own requests open a closed port. An answer or a reset of the link's own
    // must not: the line hung up or was closed, and its device name may by now be another
    // program's pseudo-terminal.
    if (m_channel.isOpen())
        send(packet);
}

} // namespace navlet
