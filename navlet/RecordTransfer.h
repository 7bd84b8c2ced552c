#pragma once
// The record transfers every host drives the same way: a download (request, record count,
// records, end of transfer) and an upload (count, each record after the ACK of the one before,
// end of records). The link below acknowledges and resends packets; this layer decides when a
// transfer has ended and which records it brought.
#include "navlet/Navlet.h"

#include <QElapsedTimer>
#include <QTimer>
#include <functional>
#include <variant>
#include <vector>

namespace navlet {

namespace transferlimits {
// A receiver resends an unacknowledged packet after 0.6 to 1 s. Silence ends a download only
// after this long, or after this many of the longest resend interval seen, if that is longer.
inline constexpr int SilenceFloorMs = 3000;
inline constexpr double SilenceInResends = 3.5;
// Once every announced record is in, the end packet is waited for this long after the last frame.
inline constexpr int EndPacketGraceMs = 1500;
// A repeat this soon after the packet before cannot be the receiver's resend.
inline constexpr int QuickerThanAnyResendMs = 500;
} // namespace transferlimits

class RecordDownload : public QObject {
    Q_OBJECT
public:
    enum class End { Running, EndPacket, CountReached, Silence, LinkGaveUp, NoAnswer, Unreadable, Stopped };

    explicit RecordDownload(Navlet& navlet, QObject* parent = nullptr);

    // Sends the request with `request`. `recordIds` are the packets counted against the
    // receiver's record count (a track log counts its headers too). `answerMs` bounds the wait
    // for the first frame.
    void start(const std::function<void()>& request, std::vector<quint8> recordIds, int answerMs);
    // The host gives up: what arrived is handed over, then finished.
    void stop();

    bool running() const { return m_end == End::Running; }
    End end() const { return m_end; }
    // The receiver's count, or -1 when none came.
    int announced() const { return m_announced; }
    // Records handed to the host so far.
    int delivered() const { return m_delivered; }
    // Records of `id` taken but still held back while a repeat waits to be settled.
    int waiting(quint8 id) const;
    // Every announced record was handed over.
    bool complete() const;
    // "8618 of 10000 records" or "12 records, none announced".
    QString received() const;
    QString unreadableFormat() const { return m_unreadable; }

Q_SIGNALS:
    // The record object for `id` holds the next record: read it now.
    void record(quint8 id);
    void finished();

private:
    using Copy = std::variant<cTrack, cWaypoint, cRoute>;
    struct Taken {
        quint8 id;
        Copy copy;
        bool repeat;
        qint64 gapMs; // since the packet before: a resend comes only after the receiver's time-out
        bool keep = true;
    };

    void onReceive(quint8 id);
    void take(quint8 id, bool repeat);
    void finish(End why);
    void settleRepeats(bool wholeTransfer);
    void deliver(Taken& t);
    Copy copyOf(quint8 id);
    void restore(quint8 id, const Copy& copy);
    bool counted(quint8 id) const;
    int silenceMs() const;

    Navlet& m_navlet;
    std::vector<quint8> m_recordIds;
    End m_end = End::Stopped;
    bool m_heard = false;
    int m_answerMs = 0;
    int m_announced = -1;
    int m_taken = 0;      // records taken once, repeats not included
    int m_delivered = 0;
    qint64 m_longestResendMs = 0;
    bool m_holding = false; // a repeat is held: later records wait behind it, in order
    bool m_newSegment = false;
    std::vector<Taken> m_queue;
    QString m_unreadable;
    QElapsedTimer m_sinceTaken;
    QTimer m_quiet;
    QMetaObject::Connection m_receive;
    QMetaObject::Connection m_gaveUp;
};

// An upload: the record count, each record after the ACK of the one before, the end of records.
// `fill(i)` fills the record object and sends record i; `waitForAck(id)` waits, as the host
// does, for the receiver's ACK of `id` and says whether it came. Returns the records
// acknowledged; the end packet goes only after all of them (and its ACK is waited for when
// `awaitEndAck`).
struct UploadResult {
    int acknowledged = 0;
    bool ended = false;
};
UploadResult uploadRecords(Navlet& navlet, qint16 count, quint8 recordId, const std::function<void(int)>& fill,
                           const std::function<bool(quint8)>& waitForAck, bool awaitEndAck);

// Empty when the control can encode waypoints in the receiver's format, otherwise the refusal
// to show before any packet is sent.
QString waypointUploadRefusal(const Navlet& navlet);

} // namespace navlet
