#include "StrictLink.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>

namespace {

constexpr std::uint8_t Dle = 0x10;
constexpr std::uint8_t Etx = 0x03;
// Longer than any packet (255 data bytes, all doubled): what grows beyond is noise.
constexpr qsizetype BodyLimit = 2 * 258;

void appendStuffed(QByteArray& out, std::uint8_t b)
{
    out.append(static_cast<char>(b));
    if (b == Dle)
        out.append(static_cast<char>(Dle));
}

} // namespace

StrictLink::StrictLink(PtyPort& port, const navlet::LinkIds& ids, const StrictLine& line, const Faults& faults,
                       QTextStream& out, QObject* parent)
    : ReceiverLink(parent)
    , m_port(port)
    , m_ids(ids)
    , m_line(line)
    , m_faults(faults)
    , m_out(out)
    , m_random(line.seed)
{
    connect(&m_port, &PtyPort::bytesArrived, this, &StrictLink::fromLine);
    m_clock.start();
    m_ackTimer.setSingleShot(true);
    m_ackTimer.setInterval(m_line.ackTimeoutMs);
    connect(&m_ackTimer, &QTimer::timeout, this, &StrictLink::onAckTimeout);
    m_silent = m_faults.silentAfter == 0;
}

QByteArray StrictLink::frame(std::uint8_t id, const QByteArray& data, bool damage)
{
    const auto size = static_cast<std::uint8_t>(data.size());
    unsigned sum = id + size;
    for (const char c : data)
        sum += static_cast<std::uint8_t>(c);
    auto checksum = static_cast<std::uint8_t>(-static_cast<int>(sum & 0xFF));
    if (damage)
        checksum ^= 0x5A;
    QByteArray out;
    out.append(static_cast<char>(Dle));
    out.append(static_cast<char>(id));
    appendStuffed(out, size);
    for (const char c : data)
        appendStuffed(out, static_cast<std::uint8_t>(c));
    appendStuffed(out, checksum);
    out.append(static_cast<char>(Dle));
    out.append(static_cast<char>(Etx));
    return out;
}

bool StrictLink::chance(double percent)
{
    if (percent <= 0)
        return false;
    return std::uniform_real_distribution<double>(0.0, 100.0)(m_random) < percent;
}

QByteArray StrictLink::noise()
{
    // A few stray bytes; half the bursts end in DLE, right before the DLE of a frame.
    QByteArray out;
    const int length = std::uniform_int_distribution<int>(1, 3)(m_random);
    for (int i = 0; i < length; ++i) {
        char c;
        do
            c = static_cast<char>(std::uniform_int_distribution<int>(0, 255)(m_random));
        while (c == static_cast<char>(Dle) || c == '$' || c == '\r' || c == '\n');
        out.append(c);
    }
    if (chance(50))
        out.append(static_cast<char>(Dle));
    return out;
}

void StrictLink::sendData(std::uint8_t id, const QByteArray& data)
{
    m_queue.push_back({id, data});
    if (!m_waiting)
        sendNext();
}

void StrictLink::sendStreamed(std::uint8_t id, const QByteArray& data)
{
    transmit(id, data);
}

void StrictLink::sendText(const QByteArray& text)
{
    if (!m_silent)
        m_port.write(text);
}

void StrictLink::clearQueue()
{
    m_queue.clear();
    m_waiting = false;
    m_ackTimer.stop();
}

void StrictLink::sendNext()
{
    m_waiting = !m_queue.empty();
    m_resends = 0;
    m_copies = 0;
    m_answers = 0;
    if (m_waiting) {
        // An exchange of our own in between: the host's next packet is new even if equal.
        m_hasTaken = false;
        transmitFront();
    }
}

void StrictLink::onAckTimeout()
{
    if (!m_waiting || m_silent)
        return;
    if (++m_resends > m_line.retries) {
        m_out << QJsonDocument(QJsonObject{{"event", "gaveUp"}, {"id", m_queue.front().id}})
                     .toJson(QJsonDocument::Compact)
              << '\n';
        m_out.flush();
        clearQueue();
        return;
    }
    transmitFront();
}

void StrictLink::transmitFront()
{
    ++m_copies;
    transmit(m_queue.front().id, m_queue.front().data);
    // Real receivers wait 0.6 to 1 s, not always the same.
    m_ackTimer.start(std::uniform_int_distribution<int>(m_line.ackTimeoutMs,
                                                        std::max(m_line.ackTimeoutMs, m_line.ackTimeoutMaxMs))(m_random));
}

void StrictLink::transmit(std::uint8_t id, const QByteArray& data)
{
    if (m_silent)
        return;
    ++m_sent;
    QByteArray out;
    if (chance(m_line.noisePercent))
        out += noise();
    out += frame(id, data, chance(m_line.corruptPercent));
    toLine(out);
    if (m_faults.silentAfter > 0 && m_sent >= m_faults.silentAfter)
        m_silent = true;
}

double StrictLink::lineMs(qsizetype bytes) const
{
    return m_line.baud > 0 ? static_cast<double>(bytes) * 10000.0 / m_line.baud : 0.0;
}

void StrictLink::toLine(const QByteArray& bytes)
{
    if (m_line.baud <= 0) {
        m_port.write(bytes);
        return;
    }
    // The host has the bytes once the last of them crossed the line.
    const double now = static_cast<double>(m_clock.nsecsElapsed()) / 1e6;
    m_outFreeAtMs = std::max(now, m_outFreeAtMs) + lineMs(bytes.size());
    const auto delay = static_cast<int>(std::lround(m_outFreeAtMs - now));
    QTimer::singleShot(delay, Qt::PreciseTimer, this, [this, bytes] { m_port.write(bytes); });
}

void StrictLink::fromLine(const QByteArray& bytes)
{
    if (m_line.baud <= 0) {
        onBytes(bytes);
        return;
    }
    const double now = static_cast<double>(m_clock.nsecsElapsed()) / 1e6;
    m_inFreeAtMs = std::max(now, m_inFreeAtMs) + lineMs(bytes.size());
    const auto delay = static_cast<int>(std::lround(m_inFreeAtMs - now));
    QTimer::singleShot(delay, Qt::PreciseTimer, this, [this, bytes] { onBytes(bytes); });
}

void StrictLink::onBytes(const QByteArray& bytes)
{
    if (chance(m_line.noisePercent))
        for (const char c : noise())
            feed(static_cast<std::uint8_t>(c));
    for (const char c : bytes)
        feed(static_cast<std::uint8_t>(c));
}

void StrictLink::feed(std::uint8_t b)
{
    switch (m_state) {
    case State::Hunt:
        if (b == Dle)
            m_state = State::Id;
        return;
    case State::Id:
        // No packet is numbered DLE or ETX: a second DLE is the real start, an ETX ends noise.
        if (b == Etx)
            m_state = State::Hunt;
        else if (b != Dle) {
            m_frameId = b;
            m_body.clear();
            m_state = State::Body;
        }
        return;
    case State::Body:
        if (b == Dle)
            m_state = State::Escape;
        else if (m_body.size() < BodyLimit)
            m_body.append(static_cast<char>(b));
        else
            m_state = State::Hunt;
        return;
    case State::Escape:
        if (b == Dle) {
            m_body.append(static_cast<char>(Dle));
            m_state = State::Body;
        } else if (b == Etx) {
            m_state = State::Hunt;
            onFrame(m_frameId, m_body);
        } else {
            // A lone DLE: the frame broke off and a new one starts with this identifier.
            m_frameId = b;
            m_body.clear();
            m_state = State::Body;
        }
        return;
    }
}

void StrictLink::onFrame(std::uint8_t id, const QByteArray& body)
{
    if (m_silent || chance(m_line.dropPercent))
        return; // lost on the line
    // body = size, data..., checksum
    bool intact = body.size() >= 2 && static_cast<std::uint8_t>(body.at(0)) == body.size() - 2;
    unsigned sum = id;
    for (const char c : body)
        sum += static_cast<std::uint8_t>(c);
    intact = intact && (sum & 0xFF) == 0;
    const bool acknowledgement = id == m_ids.PID_Ack_Byte || id == m_ids.PID_Nak_Byte;
    if (!intact) {
        if (!acknowledgement)
            transmit(m_ids.PID_Nak_Byte, QByteArray(1, static_cast<char>(id)));
        else if (m_waiting)
            ++m_answers; // an answer to one of the copies, unreadable
        return;
    }
    const QByteArray data = body.mid(1, body.size() - 2);
    if (acknowledgement) {
        const auto named = data.size() == 1 ? static_cast<std::uint8_t>(data.at(0)) : std::uint8_t{0};
        // An answer only names the identifier: one may still come for a copy of the packet
        // before. Taking it for the next one would skip that packet if it is lost.
        if (m_lateAnswers > 0 && named == m_lateId) {
            --m_lateAnswers;
            // It may also have answered this packet, if an answer before it was lost: counted
            // for this one too, so a lost answer costs one resend and not one per packet after.
            if (m_waiting)
                ++m_answers;
            return;
        }
        // Only an answer about the packet waiting counts; anything else is ignored.
        if (!m_waiting || data.size() != 1 || named != m_queue.front().id)
            return;
        ++m_answers;
        if (id == m_ids.PID_Ack_Byte) {
            m_ackTimer.stop();
            m_lateAnswers = std::max(0, m_copies - m_answers);
            m_lateId = named;
            m_queue.pop_front();
            sendNext();
        } else {
            transmitFront();
        }
        return;
    }
    if (chance(m_line.nakPercent)) {
        transmit(m_ids.PID_Nak_Byte, QByteArray(1, static_cast<char>(id)));
        return;
    }
    transmit(m_ids.PID_Ack_Byte, QByteArray(1, static_cast<char>(id)));
    // The host sent it again because our ACK was lost: taken once.
    if (m_hasTaken && m_lastTaken.id == id && m_lastTaken.data == data)
        return;
    m_hasTaken = true;
    m_lastTaken = {id, data};
    Q_EMIT packetReceived(id, data);
}
