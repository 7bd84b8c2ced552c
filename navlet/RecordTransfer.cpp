#include "navlet/RecordTransfer.h"

#include "navlet/RecordFormats.h"

#include <algorithm>
#include <cmath>

namespace navlet {

using namespace transferlimits;

RecordDownload::RecordDownload(Navlet& navlet, QObject* parent) : QObject(parent), m_navlet(navlet)
{
    m_quiet.setSingleShot(true);
    connect(&m_quiet, &QTimer::timeout, this, [this] {
        if (!m_heard)
            finish(End::NoAnswer);
        else
            finish(m_announced >= 0 && m_taken >= m_announced ? End::CountReached : End::Silence);
    });
}

void RecordDownload::start(const std::function<void()>& request, std::vector<quint8> recordIds, int answerMs)
{
    m_recordIds = std::move(recordIds);
    m_end = End::Running;
    m_heard = false;
    m_answerMs = answerMs;
    m_announced = -1;
    m_taken = m_delivered = 0;
    m_longestResendMs = 0;
    m_holding = m_newSegment = false;
    m_queue.clear();
    m_unreadable.clear();
    disconnect(m_receive);
    disconnect(m_gaveUp);
    m_receive = connect(&m_navlet, &Navlet::Receive, this, [this](quint8 id, quint8) { onReceive(id); });
    m_gaveUp = connect(&m_navlet.link(), &LinkLayer::supervisionGaveUp, this, [this] { finish(End::LinkGaveUp); });
    m_sinceTaken.start();
    m_quiet.start(answerMs);
    request();
}

void RecordDownload::stop()
{
    finish(End::Stopped);
}

bool RecordDownload::counted(quint8 id) const
{
    return std::find(m_recordIds.begin(), m_recordIds.end(), id) != m_recordIds.end();
}

int RecordDownload::silenceMs() const
{
    const auto measured = static_cast<int>(std::lround(static_cast<double>(m_longestResendMs) * SilenceInResends));
    return std::max(SilenceFloorMs, measured);
}

void RecordDownload::onReceive(quint8 id)
{
    if (!running())
        return;
    m_heard = true;
    // Any frame shows the receiver is still there, resends included.
    const bool allIn = m_announced >= 0 && m_taken >= m_announced;
    m_quiet.start(allIn ? EndPacketGraceMs : silenceMs());
    const bool valid = m_navlet.lastFrameValid();
    if (id == m_navlet.PID_Records() && valid) {
        m_announced = static_cast<quint16>(m_navlet.Incoming_Records_Count());
    } else if (counted(id) && valid && !m_navlet.lastRecordDecoded()) {
        m_unreadable = m_navlet.lastRecordFormat();
        finish(End::Unreadable);
        return;
    } else if (counted(id) && (valid || m_navlet.lastFrameRepeat())) {
        take(id, !valid);
    } else if (id == m_navlet.PID_Xfer_Cmplt() && valid) {
        finish(End::EndPacket);
        return;
    }
    if (m_announced >= 0 && m_taken >= m_announced)
        m_quiet.start(EndPacketGraceMs);
}

void RecordDownload::take(quint8 id, bool repeat)
{
    const qint64 gap = m_sinceTaken.restart();
    if (repeat) {
        m_longestResendMs = std::max(m_longestResendMs, gap);
        m_holding = true;
    } else {
        ++m_taken;
    }
    m_queue.push_back({id, copyOf(id), repeat, gap});
    if (!m_holding) {
        deliver(m_queue.back());
        m_queue.clear();
    }
}

int RecordDownload::waiting(quint8 id) const
{
    return static_cast<int>(std::count_if(m_queue.begin(), m_queue.end(),
                                          [id](const Taken& t) { return t.id == id && !t.repeat; }));
}

void RecordDownload::settleRepeats(bool wholeTransfer)
{
    // Taken + real repeats = the announced count. Which repeats are real: the ones that came
    // soonest after the packet before, since a resend waits for the receiver's time-out.
    std::vector<Taken*> repeats;
    for (Taken& t : m_queue)
        if (t.repeat)
            repeats.push_back(&t);
    std::stable_sort(repeats.begin(), repeats.end(), [](const Taken* a, const Taken* b) { return a->gapMs < b->gapMs; });
    int budget = m_announced >= 0 ? std::max(0, m_announced - m_taken) : 0;
    for (Taken* t : repeats) {
        // Cut short, the count cannot tell: only a repeat too quick for a resend is kept.
        t->keep = budget > 0 && (wholeTransfer || t->gapMs < QuickerThanAnyResendMs);
        budget -= t->keep ? 1 : 0;
    }
}

void RecordDownload::finish(End why)
{
    if (!running())
        return;
    m_end = why;
    m_quiet.stop();
    disconnect(m_receive);
    disconnect(m_gaveUp);
    settleRepeats(why == End::EndPacket || why == End::CountReached);
    std::vector<Taken> queue = std::move(m_queue);
    m_queue.clear();
    for (Taken& t : queue)
        if (t.keep)
            deliver(t);
    Q_EMIT finished();
}

void RecordDownload::deliver(Taken& t)
{
    // A track header opens a segment, whether or not its first point says so.
    if (t.id == m_navlet.PID_Trk_Hdr()) {
        m_newSegment = true;
    } else if (t.id == m_navlet.PID_Trk_Data() && m_newSegment) {
        std::get<cTrack>(t.copy).New_Segment = true;
        m_newSegment = false;
    }
    restore(t.id, t.copy);
    ++m_delivered;
    Q_EMIT record(t.id);
}

RecordDownload::Copy RecordDownload::copyOf(quint8 id)
{
    if (id == m_navlet.PID_Trk_Data() || id == m_navlet.PID_Trk_Hdr())
        return m_navlet.Track();
    if (id == m_navlet.PID_Rte_Hdr())
        return m_navlet.Route();
    return m_navlet.Waypoint();
}

void RecordDownload::restore(quint8 id, const Copy& copy)
{
    if (id == m_navlet.PID_Trk_Data() || id == m_navlet.PID_Trk_Hdr())
        m_navlet.setTrack(std::get<cTrack>(copy));
    else if (id == m_navlet.PID_Rte_Hdr())
        m_navlet.setRoute(std::get<cRoute>(copy));
    else
        m_navlet.setWaypoint(std::get<cWaypoint>(copy));
}

bool RecordDownload::complete() const
{
    return (m_end == End::EndPacket || m_end == End::CountReached) && m_announced >= 0 && m_delivered == m_announced;
}

QString RecordDownload::received() const
{
    if (m_announced < 0)
        return QStringLiteral("%1 records, none announced").arg(m_delivered);
    return QStringLiteral("%1 of %2 records").arg(m_delivered).arg(m_announced);
}

UploadResult uploadRecords(Navlet& navlet, qint16 count, quint8 recordId, const std::function<void(int)>& fill,
                           const std::function<bool(quint8)>& waitForAck, bool awaitEndAck)
{
    UploadResult result;
    navlet.Start_of_Records(count);
    if (!waitForAck(navlet.PID_Records()))
        return result;
    for (int i = 0; i < count; ++i) {
        fill(i);
        if (!waitForAck(recordId))
            return result;
        ++result.acknowledged;
    }
    navlet.End_of_Records();
    result.ended = !awaitEndAck || waitForAck(navlet.PID_Xfer_Cmplt());
    return result;
}

QString waypointUploadRefusal(const Navlet& navlet)
{
    const QString format = navlet.Waypoint_Data_Format();
    if (encodeWaypoint(format, cWaypoint{}))
        return {};
    return QStringLiteral("The receiver keeps waypoints in format %1, which cannot be written; nothing was sent.")
        .arg(format);
}

} // namespace navlet
