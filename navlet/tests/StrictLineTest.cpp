// navlet-tool against the strict receiver (its own framing, ACKs checked against the packet,
// resends after its own time-out, one waypoint per name), both real processes on a real
// pseudo-terminal, over lines that damage, reject, lose and add bytes.
#include "SimProcess.h"
#include "TempDir.h"

#include <QJsonDocument>
#include <gtest/gtest.h>

using namespace navlet_test;

namespace {

const QStringList A300 = {"P000", "L001", "A100", "D108", "A300", "D301"};
const QStringList A301 = {"P000", "L001", "A100", "D108", "A301", "D310", "D301", "A400", "D400"};
const QStringList A302 = {"P000", "L001", "A100", "D108", "A302", "D311", "D302"};
const QStringList SixCharNames = {"P000", "L001", "A100", "D103", "A300", "D300"};
// Resends after 200 ms: the receiver cannot tell which copy an ACK answers (every point has the
// same identifier), so a host slower than its resend time on a loaded machine could make it
// skip a point. Real receivers wait 0.6 to 1 s (the program's table uses those).
const StrictFaults Faulty{5, 5, 2, 2, -1, 200};

// 500 access points whose SSIDs share their first characters, some looking like made-up names.
QByteArray sharedPrefixList()
{
    QByteArray csv;
    for (int i = 0; i < 500; ++i) {
        const QByteArray ssid = i % 50 == 0 ? "Net" + QByteArray::number(i / 50 + 1).rightJustified(3, '0')
                                            : "Network-" + QByteArray::number(i % 120);
        csv += "\"" + ssid + "\",\"00:00:00:00:00:00\",-60," + QByteArray::number(40 + i * 0.001, 'f', 5) + ",-3.5,\"0011\"\r\n";
    }
    return csv;
}

std::vector<QJsonObject> jsonLines(const QByteArray& out)
{
    std::vector<QJsonObject> lines;
    for (const QByteArray& line : out.split('\n'))
        if (!line.isEmpty())
            lines.push_back(QJsonDocument::fromJson(line).object());
    return lines;
}

TEST(StrictLine, TransfersEndWholeOrSayWhatIsMissing)
{
    struct Row {
        const char* legend;
        QJsonObject scenario;
        QStringList args; // "{csv}" stands for the access-point list
        const char* timeScale; // downloads end after 500 ms of silence times this
        int exitCode;
        int points;       // track points printed, each once, in order
        int held;         // waypoints the receiver holds afterwards (-1: no upload)
        const char* says; // on standard output or error
    };
    const int n = testing_support::transferPoints();
    const QByteArray says = QByteArray::number(n) + " track points";
    const Row rows[] = {
        {"points in four segments over a faulty line", strict(generatedLog(A300, n, 4), Faulty),
         {"tracks"}, "0.5", 0, n, -1, says.constData()},
        {"the same from an A301 receiver: headers and points in their own layouts",
         strict(generatedLog(A301, n, 4), Faulty), {"tracks"}, "0.5", 0, n, -1, says.constData()},
        {"an A302 receiver: numbered headers and points with temperatures",
         strict(generatedLog(A302, 600, 3), Faulty), {"tracks"}, "0.5", 0, 600, -1, "600 track points"},
        {"500 waypoints named for the six characters the receiver keeps, over a faulty line",
         strict(generatedLog(SixCharNames, 0, 1), Faulty), {"upload", "{csv}", "--chars", "8"}, "0.2", 0, -1, 500,
         "Acknowledged 500 of 500 waypoints."},
        {"silence after 300 of 500 packets", strict(generatedLog(A300, 500, 1), {0, 0, 0, 0, 300}), {"tracks"}, "0.2", 3,
         -1, -1, "download incomplete"},
        {"points in a layout the control cannot read", strict(generatedLog({"L001", "A300", "D399"}, 20, 1), {}),
         {"tracks"}, "0.2", 5, 0, -1, "in format D399, which cannot be read"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.legend);
        SimProcess sim(r.scenario);
        ASSERT_TRUE(sim.isRunning());
        const QString csv = testing_support::writeFile(sim.folder() + "/aps.csv", sharedPrefixList());
        QStringList args = {"--device", sim.devicePath(), "--time-scale", r.timeScale};
        for (const QString& a : r.args)
            args << (a == "{csv}" ? csv : a);
        const ToolRun run = runProgram("navlet-tool", args, std::chrono::minutes(10)); // a loaded machine is slow
        EXPECT_EQ(run.exitCode, r.exitCode) << run.err.toStdString();
        EXPECT_TRUE((run.out + run.err).contains(r.says)) << (run.out + run.err).right(300).toStdString();
        if (r.points >= 0) {
            const auto lines = jsonLines(run.out);
            ASSERT_EQ(lines.size(), static_cast<std::size_t>(r.points));
            for (int i = 0; i < r.points; ++i)
                ASSERT_EQ(lines[static_cast<std::size_t>(i)].value("Time").toString(), generatedTime(i)) << i;
        }
        if (r.exitCode == 0) {
            // The tool's last ACK reached the line before it closed: nothing is sent again.
            for (const QJsonObject& e : sim.waitForEvents(r.held + 2, std::chrono::milliseconds(600)))
                EXPECT_NE(e.value("event").toString(), "gaveUp");
        }
        if (r.held >= 0) {
            const auto events = sim.waitForEvents(r.held + 1);
            ASSERT_FALSE(events.empty());
            EXPECT_EQ(events.back().value("event").toString(), "uploadComplete");
            EXPECT_EQ(events.back().value("held").toInt(), r.held) << "distinct names on the receiver";
        }
    }
}

} // namespace
