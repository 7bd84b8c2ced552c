#pragma once
// The receiver simulator (navlet-sim) run as a real process on a pseudo-terminal, and the
// scenarios the end-to-end tests give it.
#include "navlet/Records.h"

#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <vector>

namespace navlet_test {

class SimProcess {
public:
    explicit SimProcess(const QJsonObject& scenario);
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    bool isRunning() const { return !m_device.isEmpty(); }
    QString devicePath() const { return m_device; }
    QString folder() const { return m_dir.path(); }
    // The JSON event lines printed so far, waiting until there are at least `count`.
    std::vector<QJsonObject> waitForEvents(std::size_t count,
                                           std::chrono::milliseconds timeout = std::chrono::seconds(10));

private:
    void readOutput();

    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_device;
    QByteArray m_output;
    std::vector<QJsonObject> m_events;
};

struct ToolRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Runs a built command-line program from the build's bin folder and waits for it.
ToolRun runProgram(const QString& name, const QStringList& args,
                   std::chrono::milliseconds timeout = std::chrono::seconds(60));

// A handheld receiver with a two-segment track log (7 and 5 points) and two waypoints.
// "L001": waypoints D108, points D301. "L002": waypoints D103, points D300.
QJsonObject handheldScenario(const QString& linkProtocol);
QJsonObject withFaults(QJsonObject scenario, int corruptEvery, int nakEvery, int silentAfter = -1);

// The strict receiver: its own framing, resends after `ackTimeoutMs`, faults drawn at random in
// percent of packets (damaged, NAKed, lost on the way in, noise before a packet).
struct StrictFaults {
    double corrupt = 0;
    double nak = 0;
    double drop = 0;
    double noise = 0;
    int silentAfter = -1;
    int ackTimeoutMs = 20;
    int ackTimeoutMaxMs = 0; // above ackTimeoutMs: each resend wait drawn between the two
};
// The line of real receivers: 5% damaged, 5% NAKed, 2% of the host's packets lost, resends
// after 0.6 to 1 s.
inline constexpr StrictFaults RealisticLine{5, 5, 2, 0, -1, 600, 1000};
QJsonObject strict(QJsonObject scenario, const StrictFaults& faults);
// A receiver with `protocols` and a generated log of `points` (one a second) in `segments`.
QJsonObject generatedLog(const QStringList& protocols, int points, int segments);
// The time text of generated point `i`.
QString generatedTime(int i);

// The track points and waypoints of handheldScenario as the control decodes them.
std::vector<navlet::cTrack> expectedPoints(const QString& linkProtocol);
std::vector<navlet::cWaypoint> scenarioWaypoints();
// A waypoint after a trip through `format` (positions in whole semicircles, cut fields).
navlet::cWaypoint throughFormat(const navlet::cWaypoint& w, const QString& format);

} // namespace navlet_test
