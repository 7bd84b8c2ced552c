#pragma once
// The waypoint upload behind the upload window: connects to the receiver, then sends the
// ticked APs as one waypoint transfer, waiting for the receiver's acknowledgement of every
// packet. The window shows the status texts and builds its list when the receiver answers.
#include "ui/AppContext.h"
#include "navlet/Navlet.h"

#include <QObject>
#include <QTimer>
#include <functional>
#include <optional>
#include <vector>

namespace aero {

// One waypoint as the list shows it: the name and the two position texts.
struct UploadWaypoint {
    QString label;
    QString latitude;
    QString longitude;
};

class WaypointUpload final : public QObject {
    Q_OBJECT
public:
    enum class State { Idle, Connecting, NoResponse, Connected, Sending, Sent, SendFailed, Closed };

    explicit WaypointUpload(AppContext& ctx, QObject* parent = nullptr);

    navlet::Navlet& navlet() { return m_navlet; }
    State state() const { return m_state; }

    // A new opening: flags cleared, timers set, tmrAct switched on.
    void start();
    // The window closed: stop waiting, close the port.
    void close();

    // Sends `waypoints` in order; the number sent, or nothing when the receiver stopped
    // acknowledging (the failure is shown) or a transfer is already running.
    std::optional<int> send(const std::vector<UploadWaypoint>& waypoints);

    QTimer tmrAct, tmrTimeOut;

    void tmrAct_Timer();
    void tmrTimeOut_Timer();
    void Navlet_Receive(quint8 Packet_Command, quint8 Packet_Data_1);

Q_SIGNALS:
    void linkStatus(const QString& text);
    void modelInformation(const QString& text);
    void connected();
    // The receiver's protocol array arrived: its waypoint layout decides the name length.
    void formatsKnown();

private:
    void connectReceiver();
    bool waitForAck(quint8 id);
    bool waitFor(const std::function<bool()>& condition);
    void fillWaypoint(const UploadWaypoint& w);

    AppContext& m_ctx;
    navlet::Navlet m_navlet;
    State m_state = State::Idle;
    bool m_responded = false;
    bool m_timedOut = false;
    bool m_acknowledged = false;
    quint8 m_expectedAck = 0;
    bool m_closed = false;
};

} // namespace aero
