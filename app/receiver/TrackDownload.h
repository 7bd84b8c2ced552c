#pragma once
// The track download behind the download window: asks the receiver who it is, requests the
// track log through the transfer engine, writes every point to the work file and draws the
// file on the main map when the transfer has ended. The window only shows the progress texts and moves or closes itself
// when told.
#include "ui/AppContext.h"
#include "navlet/Navlet.h"
#include "navlet/RecordTransfer.h"

#include <QFile>
#include <QObject>
#include <QTimer>
#include <functional>

namespace aero {

class TrackDownload final : public QObject {
    Q_OBJECT
public:
    enum class State { Idle, Connecting, NoResponse, Pausing, Downloading, Finishing, Drawing, Finished, Failed, Aborted };

    explicit TrackDownload(AppContext& ctx, QObject* parent = nullptr);

    navlet::Navlet& navlet() { return m_navlet; }
    State state() const { return m_state; }
    bool busy() const;
    int pointCount() const { return m_pointCount; }
    int trackCount() const { return m_trackCount; }
    // After the download: every announced record arrived.
    bool complete() const { return m_complete; }
    const navlet::RecordDownload& transfer() const { return m_transfer; }
    QString pointFile() const { return m_pointFile; }
    void setPointFile(const QString& path) { m_pointFile = path; }

    // A new opening: every count back to its start, timers set, tmrAct switched on.
    void start();
    // The window closed mid-transfer: stop waiting, close the port.
    void abort();

    QTimer tmrAct, tmrTimeOut, tmrPause, tmrDone, tmrUpdate, tmrClose;

    void tmrAct_Timer();
    void tmrTimeOut_Timer();
    void tmrPause_Timer();
    void tmrDone_Timer();
    void tmrUpdate_Timer();
    void tmrClose_Timer();
    void Navlet_Receive(quint8 Packet_Command, quint8 Packet_Data_1);
    // A record the transfer hands over, in order.
    void transferRecord(quint8 id);
    void transferFinished();

Q_SIGNALS:
    void progress(const QString& text);
    void placeWindow();
    void closeWindow();

private:
    void GetNavlet();
    bool connectReceiver();
    bool downloadTracks();
    void drawTracks();
    bool pause();
    // Runs the event loop until `condition` holds; false when the transfer was abandoned.
    bool waitFor(const std::function<bool()>& condition);
    bool abandoned() const;
    void productData();
    void trackPoint();
    // A point the control cannot read: nothing more is stored or drawn.
    void stopUnreadable(const QString& format);
    void reportIncomplete();
    void reportClosedMidTransfer();
    void writePoint(int index, double lat, double lon, bool newSegment);

    AppContext& m_ctx;
    navlet::Navlet m_navlet;
    navlet::RecordDownload m_transfer{m_navlet};
    State m_state = State::Idle;
    QString m_pointFile;
    QFile m_points;
    bool m_responded = false;
    bool m_timedOut = false;
    bool m_pauseOver = false;
    bool m_done = false;
    bool m_aborted = false;
    bool m_stopped = false;
    qint32 m_pointIndex = 1;
    qint32 m_trackCount = 1;
    qint32 m_pointCount = 0;
    bool m_complete = false;
};

} // namespace aero
