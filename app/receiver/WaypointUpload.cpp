#include "receiver/WaypointUpload.h"

#include "ui/DoEvents.h"
#include "ui/ErrorReport.h"
#include "ui/PlotterWindow.h"
#include "domain/NumberText.h"
#include "receiver/ReceiverPrompt.h"
#include "receiver/TransferTiming.h"
#include "navlet/RecordTransfer.h"
#include "navlet/WaypointNames.h"

#include <limits>

namespace aero {
namespace {

constexpr std::chrono::hours LongestWait{24};
constexpr int Overflow = 6;

const QString SendFailed = QStringLiteral("\u00B7 Link Status: Failed to send waypoint to GPS.");

} // namespace

WaypointUpload::WaypointUpload(AppContext& ctx, QObject* parent) : QObject(parent), m_ctx(ctx)
{
    m_navlet.setPrompt(receiverPrompt(ctx.dialogs));
    connect(&m_navlet, &navlet::Navlet::Receive, this, &WaypointUpload::Navlet_Receive);
    connect(&tmrAct, &QTimer::timeout, this, &WaypointUpload::tmrAct_Timer);
    connect(&tmrTimeOut, &QTimer::timeout, this, &WaypointUpload::tmrTimeOut_Timer);
}

void WaypointUpload::start()
{
    tmrTimeOut.stop();
    tmrAct.setInterval(transfer::Timing::ms(transfer::ActMs));
    tmrTimeOut.setInterval(transfer::Timing::ms(transfer::TimeOutMs));
    m_state = State::Idle;
    m_responded = m_timedOut = m_acknowledged = m_closed = false;
    // The link's own supervision runs on the same clock as the window's timers.
    m_navlet.setTimeScale({transfer::Timing::scale()});
    tmrAct.start();
}

void WaypointUpload::close()
{
    tmrAct.stop();
    tmrTimeOut.stop();
    m_closed = true;
    m_state = State::Closed;
    m_navlet.PortClose();
}

bool WaypointUpload::waitFor(const std::function<bool()>& condition)
{
    const auto abandoned = [this] { return m_closed || m_ctx.state.Exiting || (m_ctx.window && m_ctx.window->ended()); };
    waitUntil([&] { return condition() || abandoned(); }, LongestWait);
    return !abandoned() && condition();
}

void WaypointUpload::tmrAct_Timer()
{
    guarded(m_ctx.dialogs, QStringLiteral("tmrAct_Timer"), [&] {
        tmrAct.stop();
        connectReceiver();
    });
}

void WaypointUpload::connectReceiver()
{
    m_state = State::Connecting;
    openLinkAndAskProduct(m_navlet, m_ctx.settings);
    Q_EMIT linkStatus(QStringLiteral("\u00B7 Link Status: Retrieving GPS information..."));
    m_responded = false;
    m_timedOut = false;
    tmrTimeOut.start();
    const bool waited = waitFor([this] { return m_responded || m_timedOut; });
    tmrTimeOut.stop();
    if (waited && !m_responded) {
        Q_EMIT linkStatus(QStringLiteral("\u00B7 Link Status: GPS did not respond."));
        m_navlet.PortClose();
        m_state = State::NoResponse;
    }
}

void WaypointUpload::tmrTimeOut_Timer()
{
    tmrTimeOut.stop();
    m_timedOut = true;
}

void WaypointUpload::Navlet_Receive(quint8 Packet_Command, quint8 Packet_Data_1)
{
    guarded(m_ctx.dialogs, QStringLiteral("Navlet_Receive"), [&] {
        if (!m_navlet.lastFrameValid())
            return;
        if (Packet_Command == m_navlet.PID_Product_Data()) {
            Q_EMIT linkStatus(QStringLiteral("\u00B7 Link Status: GPS Connected"));
            Q_EMIT modelInformation(QStringLiteral("\u00B7 Model Information: ")
                                    + m_navlet.Product_Data().Product_Description_1);
            m_responded = true;
            m_timedOut = false;
            if (m_state == State::Connecting)
                m_state = State::Connected;
            Q_EMIT connected();
        } else if (Packet_Command == m_navlet.PID_Protocol_Array()) {
            Q_EMIT formatsKnown();
        } else if (Packet_Command == m_navlet.PID_Ack_Byte() && Packet_Data_1 == m_expectedAck) {
            // Only the ACK of the packet just sent: not the one of a reset after a link question.
            m_acknowledged = true;
        }
    });
}

bool WaypointUpload::waitForAck(quint8 id)
{
    m_expectedAck = id;
    m_acknowledged = false;
    m_timedOut = false;
    tmrTimeOut.start();
    const bool waited = waitFor([this] { return m_acknowledged || m_timedOut; });
    tmrTimeOut.stop();
    if (waited && m_acknowledged)
        return true;
    if (waited) {
        Q_EMIT linkStatus(SendFailed);
        m_state = State::SendFailed;
    }
    return false;
}

void WaypointUpload::fillWaypoint(const UploadWaypoint& w)
{
    navlet::fillApWaypoint(m_navlet.Waypoint(), w.label, leadingNumber(w.latitude), leadingNumber(w.longitude));
}

std::optional<int> WaypointUpload::send(const std::vector<UploadWaypoint>& waypoints)
{
    if (m_state == State::Sending)
        return std::nullopt;   // a second click while a transfer runs
    if (waypoints.size() > static_cast<std::size_t>(std::numeric_limits<qint16>::max()))
        throw AppError(Overflow, QStringLiteral("Overflow"));   // the record count is 16 bits
    // A receiver whose waypoint format cannot be written gets no packet at all, so no
    // transfer is left open on it.
    if (const QString refusal = navlet::waypointUploadRefusal(m_navlet); !refusal.isEmpty()) {
        Q_EMIT linkStatus(QStringLiteral("\u00B7 Link Status: ") + refusal);
        m_ctx.dialogs.message(refusal, Icon::Exclamation);
        m_state = State::SendFailed;
        return std::nullopt;
    }
    m_state = State::Sending;
    const navlet::UploadResult result = navlet::uploadRecords(
        m_navlet, static_cast<qint16>(waypoints.size()), m_navlet.PID_Wpt_Data(),
        [&](int i) {
            fillWaypoint(waypoints[static_cast<std::size_t>(i)]);
            m_navlet.Send_Waypoint();
        },
        [this](quint8 id) { return waitForAck(id); }, false);
    if (!result.ended)
        return std::nullopt;
    const int sent = result.acknowledged;
    Q_EMIT linkStatus(QStringLiteral("\u00B7 Link Status: Finished uploading. Sent %1 waypoints.").arg(sent));
    m_state = State::Sent;
    return sent;
}

} // namespace aero
