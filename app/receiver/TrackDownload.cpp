#include "receiver/TrackDownload.h"

#include "ui/DoEvents.h"
#include "ui/ErrorReport.h"
#include "ui/PlotterWindow.h"
#include "receiver/ReceiverPrompt.h"
#include "receiver/TrackDrawing.h"
#include "receiver/TrackPointFile.h"
#include "receiver/TransferTiming.h"

#include <QDir>

namespace aero {
namespace {

// No wait of a transfer is meant to reach this; the timers end them long before.
constexpr std::chrono::hours LongestWait{24};

const QString RoutineReceive = QStringLiteral("Navlet_Receive");

const QString FileAccessText = QStringLiteral("Path/File access error");

} // namespace

TrackDownload::TrackDownload(AppContext& ctx, QObject* parent) : QObject(parent), m_ctx(ctx), m_pointFile(navletPointFile())
{
    m_navlet.setPrompt(receiverPrompt(ctx.dialogs));
    connect(&m_navlet, &navlet::Navlet::Receive, this, &TrackDownload::Navlet_Receive);
    connect(&m_transfer, &navlet::RecordDownload::record, this, &TrackDownload::transferRecord);
    connect(&m_transfer, &navlet::RecordDownload::finished, this, &TrackDownload::transferFinished);
    connect(&tmrAct, &QTimer::timeout, this, &TrackDownload::tmrAct_Timer);
    connect(&tmrTimeOut, &QTimer::timeout, this, &TrackDownload::tmrTimeOut_Timer);
    connect(&tmrPause, &QTimer::timeout, this, &TrackDownload::tmrPause_Timer);
    connect(&tmrDone, &QTimer::timeout, this, &TrackDownload::tmrDone_Timer);
    connect(&tmrUpdate, &QTimer::timeout, this, &TrackDownload::tmrUpdate_Timer);
    connect(&tmrClose, &QTimer::timeout, this, &TrackDownload::tmrClose_Timer);
}

bool TrackDownload::busy() const
{
    switch (m_state) {
    case State::Connecting:
    case State::Pausing:
    case State::Downloading:
    case State::Finishing:
    case State::Drawing: return true;
    case State::Idle:
    case State::NoResponse:
    case State::Finished:
    case State::Failed:
    case State::Aborted: return false;
    }
    return false;
}

void TrackDownload::start()
{
    for (QTimer* t : {&tmrAct, &tmrTimeOut, &tmrPause, &tmrDone, &tmrUpdate, &tmrClose})
        t->stop();
    tmrAct.setInterval(transfer::Timing::ms(transfer::ActMs));
    tmrTimeOut.setInterval(transfer::Timing::ms(transfer::TimeOutMs));
    tmrPause.setInterval(transfer::Timing::ms(transfer::PauseMs));
    tmrDone.setInterval(transfer::Timing::ms(transfer::DoneMs));
    tmrUpdate.setInterval(transfer::Timing::ms(transfer::UpdateMs));
    tmrClose.setInterval(transfer::Timing::ms(transfer::CloseMs));
    m_state = State::Idle;
    m_aborted = false;
    m_stopped = false;
    m_complete = false;
    // The link's own supervision runs on the same clock as the window's timers.
    m_navlet.setTimeScale({transfer::Timing::scale()});
    m_responded = m_timedOut = m_pauseOver = m_done = false;
    m_pointIndex = 1;
    m_trackCount = 1;
    m_pointCount = 0;
    tmrAct.start();
}

void TrackDownload::abort()
{
    const bool wasBusy = busy();
    const bool midTransfer = m_state == State::Downloading && m_transfer.running();
    for (QTimer* t : {&tmrAct, &tmrTimeOut, &tmrPause, &tmrDone, &tmrUpdate, &tmrClose})
        t->stop();
    if (midTransfer) {
        m_state = State::Aborted;   // what the transfer still holds goes to the file, nothing more
        guarded(m_ctx.dialogs, QStringLiteral("frmNavlet_Unload"), [&] { m_transfer.stop(); });
    }
    m_points.close();
    m_navlet.PortClose();
    if (wasBusy) {
        m_aborted = true;
        m_state = State::Aborted;
    }
    if (midTransfer)
        reportClosedMidTransfer();
}

void TrackDownload::reportClosedMidTransfer()
{
    m_ctx.dialogs.message(QStringLiteral("Track download stopped: the window was closed before the end of the track "
                                         "log (%1 received). The %2 points received are kept in %3; nothing was drawn.")
                              .arg(m_transfer.received())
                              .arg(m_pointCount)
                              .arg(QDir::toNativeSeparators(m_pointFile)),
                          Icon::Exclamation);
}

bool TrackDownload::abandoned() const
{
    return m_aborted || m_ctx.state.Exiting || (m_ctx.window && m_ctx.window->ended());
}

bool TrackDownload::waitFor(const std::function<bool()>& condition)
{
    waitUntil([&] { return condition() || abandoned(); }, LongestWait);
    return !abandoned() && condition();
}

bool TrackDownload::pause()
{
    m_pauseOver = false;
    tmrPause.start();
    return waitFor([this] { return m_pauseOver; });
}

void TrackDownload::tmrAct_Timer()
{
    guarded(m_ctx.dialogs, QStringLiteral("tmrAct_Timer"), [&] {
        tmrAct.stop();
        GetNavlet();
    });
}

void TrackDownload::GetNavlet()
{
    const bool ok = guarded(m_ctx.dialogs, QStringLiteral("frmNavlet_GetNavlet"), [&] {
        if (!connectReceiver())
            return;
        m_state = State::Pausing;
        if (!pause() || !downloadTracks())
            return;
        drawTracks();
    });
    if (!ok) {
        for (QTimer* t : {&tmrTimeOut, &tmrPause, &tmrDone, &tmrUpdate})
            t->stop();
        m_state = State::Failed;
    }
}

bool TrackDownload::connectReceiver()
{
    m_state = State::Connecting;
    openLinkAndAskProduct(m_navlet, m_ctx.settings);
    Q_EMIT progress(QStringLiteral("Retrieving GPS information..."));
    m_responded = false;
    m_timedOut = false;
    tmrTimeOut.start();
    const bool waited = waitFor([this] { return m_responded || m_timedOut; });
    tmrTimeOut.stop();
    if (!waited)
        return false;
    if (m_responded)
        return true;
    Q_EMIT progress(QStringLiteral("GPS did not respond."));
    m_navlet.PortClose();
    m_state = State::NoResponse;
    tmrClose.start();
    return false;
}

bool TrackDownload::downloadTracks()
{
    Q_EMIT progress(QStringLiteral("Downloading track points..."));
    m_pointIndex = 1;
    m_trackCount = 1;
    m_pointCount = 0;
    m_done = false;
    m_state = State::Downloading;
    tmrUpdate.start();
    // The transfer ends on the receiver's end packet or count, or after a silence well beyond
    // its resends; tmrDone then closes the download.
    m_transfer.start([this] { m_navlet.Request_Tracks(); }, {m_navlet.PID_Trk_Data(), m_navlet.PID_Trk_Hdr()},
                     transfer::Timing::ms(transfer::TimeOutMs));
    return waitFor([this] { return m_done || m_stopped; }) && !m_stopped;
}

void TrackDownload::drawTracks()
{
    m_state = State::Drawing;
    m_points.close();
    Q_EMIT placeWindow();
    Q_EMIT progress(QStringLiteral("Drawing track on the current map..."));
    const int color = static_cast<int>(m_ctx.settings.number(QStringLiteral("TrackColor")));
    drawTrackFile(*m_ctx.Mapa, m_pointFile, color, [this] {
        DoEventsNow();
        return !m_ctx.state.Exiting && !(m_ctx.window && m_ctx.window->ended());
    });
    m_state = State::Finished;
    Q_EMIT closeWindow();
}

void TrackDownload::tmrTimeOut_Timer()
{
    tmrTimeOut.stop();
    m_timedOut = true;
}

void TrackDownload::tmrPause_Timer()
{
    tmrPause.stop();
    m_pauseOver = true;
}

void TrackDownload::tmrDone_Timer()
{
    guarded(m_ctx.dialogs, QStringLiteral("tmrDone_Timer"), [&] {
        tmrDone.stop();
        tmrUpdate.stop();
        if (m_state != State::Downloading)
            return;
        m_complete = m_transfer.complete();
        Q_EMIT progress(QStringLiteral("Track download %1. %2 points retrieved in %3 tracks.")
                            .arg(m_complete ? QStringLiteral("complete") : QStringLiteral("incomplete"))
                            .arg(m_pointCount)
                            .arg(m_trackCount));
        m_state = State::Finishing;
        if (!m_complete)
            reportIncomplete();
        if (pause())
            m_done = true;
    });
}

void TrackDownload::reportIncomplete()
{
    m_ctx.dialogs.message(QStringLiteral("Track download incomplete: the receiver stopped before the end of its "
                                         "track log (%1 received). The %2 points received are kept and drawn.")
                              .arg(m_transfer.received())
                              .arg(m_pointCount),
                          Icon::Exclamation);
}

void TrackDownload::stopUnreadable(const QString& format)
{
    m_stopped = true;
    for (QTimer* t : {&tmrDone, &tmrUpdate})
        t->stop();
    m_points.close();
    m_navlet.PortClose();
    m_state = State::Failed;
    const QString text = QStringLiteral("Track download stopped: the receiver sends track points in format %1, "
                                        "which cannot be read.")
                             .arg(format);
    Q_EMIT progress(text);
    m_ctx.dialogs.message(text, Icon::Exclamation);
    tmrClose.start();
}

void TrackDownload::tmrUpdate_Timer()
{
    guarded(m_ctx.dialogs, QStringLiteral("tmrUpdate_Timer"), [&] {
        // Points held back behind an unsettled repeat are counted as they will be written.
        const int points = m_pointCount + m_transfer.waiting(m_navlet.PID_Trk_Data());
        Q_EMIT progress(QStringLiteral("Downloading tracks... %1 tracks, %2 points.").arg(m_trackCount).arg(points));
    });
}

void TrackDownload::tmrClose_Timer()
{
    tmrClose.stop();
    Q_EMIT closeWindow();
}

void TrackDownload::Navlet_Receive(quint8 Packet_Command, quint8)
{
    guarded(m_ctx.dialogs, RoutineReceive, [&] {
        // A frame that failed its checksum comes again; its record object holds the previous one.
        if (!m_navlet.lastFrameValid())
            return;
        if (Packet_Command == m_navlet.PID_Product_Data())
            productData();
    });
}

void TrackDownload::transferRecord(quint8 id)
{
    guarded(m_ctx.dialogs, RoutineReceive, [&] {
        if (id == m_navlet.PID_Trk_Data())
            trackPoint();
    });
}

void TrackDownload::transferFinished()
{
    if (m_state != State::Downloading)
        return;
    // Nothing more is wanted from the receiver: its supervision must not ask about silence now.
    m_navlet.PortClose();
    if (m_transfer.end() == navlet::RecordDownload::End::Unreadable)
        stopUnreadable(m_transfer.unreadableFormat());
    else
        tmrDone.start();
}

void TrackDownload::productData()
{
    // Only the answer to this opening's request: a late one must not empty a download's file.
    if (m_state != State::Connecting)
        return;
    Q_EMIT progress(m_navlet.Product_Data().Product_Description_1);
    m_responded = true;
    m_timedOut = false;
    m_points.close();
    m_points.setFileName(m_pointFile);
    if (!m_points.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw AppError(errors::FileAccess, FileAccessText);
}

void TrackDownload::trackPoint()
{
    if (m_state != State::Downloading && m_state != State::Aborted)
        return;
    ++m_pointCount;
    const navlet::cTrack& t = m_navlet.Track();
    if (m_pointIndex >= 2 && t.New_Segment) {
        m_pointIndex = 2;
        ++m_trackCount;
    } else {
        ++m_pointIndex;
    }
    // The first point of a download starts the first segment without a marker.
    writePoint(m_pointIndex - 1, t.Lat, t.Lon, m_pointCount > 1 && t.New_Segment);
}

void TrackDownload::writePoint(int index, double lat, double lon, bool newSegment)
{
    if (!m_points.isOpen())
        return;   // the failure to create the file was reported when product data came
    if (m_points.write(formatPointLine({index, lat, lon, newSegment})) < 0) {
        m_points.close();   // one report, not one per point
        throw AppError(errors::FileAccess, FileAccessText);
    }
}

} // namespace aero
