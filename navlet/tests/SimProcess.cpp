#include "SimProcess.h"

#include "TempDir.h"

#include "navlet/NavletBytes.h"
#include "navlet/RecordFormats.h"
#include "navlet/RecordJson.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QThread>

using namespace navlet;

namespace navlet_test {

SimProcess::SimProcess(const QJsonObject& scenario)
{
    const QString path = m_dir.filePath("scenario.json");
    testing_support::writeFile(path, QJsonDocument(scenario).toJson());
    m_process.start(testing_support::binDir() + "/navlet-sim", {path});
    QElapsedTimer timer;
    timer.start();
    // A busy machine may take seconds to start it: wait for its first line, not for a pause.
    while (!m_output.contains('\n') && timer.elapsed() < 30000 && m_process.state() != QProcess::NotRunning) {
        m_process.waitForReadyRead(1000);
        m_output += m_process.readAllStandardOutput();
    }
    const qsizetype nl = m_output.indexOf('\n');
    if (nl > 0) {
        m_device = QString::fromLocal8Bit(m_output.left(nl));
        m_output.remove(0, nl + 1);
    }
}

SimProcess::~SimProcess()
{
    m_process.terminate();
    if (!m_process.waitForFinished(5000))
        m_process.kill();
    m_process.waitForFinished(5000);
}

void SimProcess::readOutput()
{
    m_output += m_process.readAllStandardOutput();
    qsizetype nl;
    while ((nl = m_output.indexOf('\n')) >= 0) {
        m_events.push_back(QJsonDocument::fromJson(m_output.left(nl)).object());
        m_output.remove(0, nl + 1);
    }
}

std::vector<QJsonObject> SimProcess::waitForEvents(std::size_t count, std::chrono::milliseconds timeout)
{
    QElapsedTimer timer;
    timer.start();
    readOutput();
    while (m_events.size() < count && timer.elapsed() < timeout.count()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        m_process.waitForReadyRead(5);
        readOutput();
    }
    return m_events;
}

ToolRun runProgram(const QString& name, const QStringList& args, std::chrono::milliseconds timeout)
{
    QProcess p;
    p.start(testing_support::binDir() + "/" + name, args);
    ToolRun run;
    // The event loop keeps running, so a simulator's event lines are read (a full pipe would
    // stop it mid-transfer).
    QElapsedTimer timer;
    timer.start();
    while (!p.waitForFinished(5)) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (p.state() == QProcess::NotRunning)
            break;
        if (timer.elapsed() > timeout.count()) {
            p.kill();
            p.waitForFinished();
            return run;
        }
    }
    run.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.out = p.readAllStandardOutput();
    run.err = p.readAllStandardError();
    return run;
}

namespace {

struct SegmentPlan { double lat; double lon; const char* start; int count; };
const SegmentPlan Segments[] = {{52.37, 4.89, "2003/05/17-14:03:09", 7}, {52.38, 4.91, "2003/05/17-15:00:00", 5}};

std::vector<cTrack> plannedPoints()
{
    std::vector<cTrack> points;
    for (const SegmentPlan& s : Segments) {
        const std::int32_t start = *trackTimeSeconds(QString::fromLatin1(s.start));
        for (int i = 0; i < s.count; ++i) {
            cTrack t;
            t.Lat = s.lat + i * 0.0005;
            t.Lon = s.lon + i * 0.0007;
            t.Time = trackTimeText(start + 15 * i);
            t.Alt = 10.0f + 0.5f * static_cast<float>(i);
            t.Dpth = 0.25f * static_cast<float>(i);
            t.New_Segment = i == 0;
            points.push_back(t);
        }
    }
    return points;
}

QJsonArray segmentsJson()
{
    QJsonArray segments;
    QJsonArray current;
    for (const cTrack& t : plannedPoints()) {
        if (t.New_Segment && !current.isEmpty()) {
            segments.append(current);
            current = {};
        }
        current.append(toJson(t));
    }
    segments.append(current);
    return segments;
}

double quantized(double degrees) { return semicirclesToDegrees(degreesToSemicircles(degrees)); }

} // namespace

std::vector<cWaypoint> scenarioWaypoints()
{
    cWaypoint home;
    home.Ident = "HOME";
    home.Lat = 52.37;
    home.Lon = 4.8952;
    home.Cmnt = "front door";
    home.Smbl = 18;
    home.Dspl = 1;
    home.Attrib = 96;
    cWaypoint cafe = home;
    cafe.Ident = "CAFE";
    cafe.Lat = -33.8568;
    cafe.Lon = 151.2153;
    cafe.Cmnt = "";
    cafe.Smbl = 16391;
    return {home, cafe};
}

QJsonObject handheldScenario(const QString& linkProtocol)
{
    const bool l002 = linkProtocol == "L002";
    QJsonArray protocols = {"P000", linkProtocol, "A010", "A100", l002 ? "D103" : "D108", "A200", "D200",
                            "D100", "A300", l002 ? "D300" : "D301", "A400", "D400"};
    QJsonArray waypoints;
    for (const cWaypoint& w : scenarioWaypoints())
        waypoints.append(toJson(w));
    return QJsonObject{
        {"product", QJsonObject{{"Product_ID", l002 ? 901 : 900}, {"Software_Version", 300},
                                {"Product_Description_1", "Handheld " + linkProtocol},
                                {"Product_Description_2", "Basemap"}}},
        {"protocols", protocols},
        {"tracks", QJsonObject{{"segments", segmentsJson()}}},
        {"waypoints", waypoints},
    };
}

QJsonObject withFaults(QJsonObject scenario, int corruptEvery, int nakEvery, int silentAfter)
{
    scenario.insert("faults", QJsonObject{{"corruptEvery", corruptEvery}, {"nakEvery", nakEvery},
                                          {"silentAfter", silentAfter}});
    return scenario;
}

QJsonObject strict(QJsonObject scenario, const StrictFaults& f)
{
    scenario.insert("strict", QJsonObject{{"seed", 7}, {"corruptPercent", f.corrupt}, {"nakPercent", f.nak},
                                          {"dropPercent", f.drop}, {"noisePercent", f.noise},
                                          {"ackTimeoutMs", f.ackTimeoutMs}, {"ackTimeoutMaxMs", f.ackTimeoutMaxMs}});
    scenario.insert("faults", QJsonObject{{"silentAfter", f.silentAfter}});
    return scenario;
}

namespace {
const char* const GeneratedStart = "2003/05/17-14:03:09";
} // namespace

QJsonObject generatedLog(const QStringList& protocols, int points, int segments)
{
    return QJsonObject{{"protocols", QJsonArray::fromStringList(protocols)},
                       {"tracks", QJsonObject{{"generate", QJsonObject{{"points", points}, {"segments", segments},
                                                                      {"Time", GeneratedStart}}}}}};
}

QString generatedTime(int i)
{
    return trackTimeText(*trackTimeSeconds(QString::fromLatin1(GeneratedStart)) + i);
}

std::vector<cTrack> expectedPoints(const QString& linkProtocol)
{
    std::vector<cTrack> points = plannedPoints();
    for (cTrack& t : points) {
        t.Lat = quantized(t.Lat);
        t.Lon = quantized(t.Lon);
        if (linkProtocol == "L002") { // D300 carries no altitude or depth
            t.Alt = 0;
            t.Dpth = 0;
        }
    }
    return points;
}

cWaypoint throughFormat(const cWaypoint& w, const QString& format)
{
    const WaypointFormat* f = findFormat(waypointFormats(), format);
    return *f->decode(bytesOf(f->encode(w)), cWaypoint{}, nullptr);
}

} // namespace navlet_test
