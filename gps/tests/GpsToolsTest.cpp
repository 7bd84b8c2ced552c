// nmea-replay and gps-monitor run as real processes: a log played into a pseudo-terminal and
// read back, and the monitor's JSON lines for what the replay plays.
#include "GpsTestSupport.h"
#include "TempDir.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

using testing_support::writeFile;

constexpr int WaitMs = 20000;   // generous: the suite also runs beside CPU-bound processes

QString tool(const char* name) { return gps_test::toolPath(name); }

// Starts nmea-replay and returns the device it names on its first line.
QString startReplay(QProcess& replay, const QStringList& args)
{
    replay.start(tool("nmea-replay"), args);
    if (!replay.waitForStarted(WaitMs))
        return {};
    static_cast<void>(QTest::qWaitFor([&] { return replay.canReadLine(); }, WaitMs));
    return QString::fromLocal8Bit(replay.readLine()).trimmed();
}

// Reads from the slave side of a pty until `enough` says so or the time runs out.
QByteArray readDevice(const QString& device, const std::function<bool(const QByteArray&)>& enough)
{
    QByteArray got;
    const int fd = ::open(device.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return got;
    static_cast<void>(QTest::qWaitFor(
        [&] {
            char buf[4096];
            ssize_t n;
            while ((n = ::read(fd, buf, sizeof buf)) > 0)
                got.append(buf, n);
            return enough(got);
        },
        WaitMs));
    ::close(fd);
    return got;
}

bool finishes(QProcess& p, int exitCode)
{
    return p.waitForFinished(WaitMs) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == exitCode;
}

class GpsToolsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString log(const QByteArray& text) { return writeFile(m_dir.filePath("log.nmea"), text); }
    QTemporaryDir m_dir;
};

TEST_F(GpsToolsTest, ReplayEndsEveryLineWithCrLf)
{
    const QString file = log("# captured by hand\n$GPAAA,1\n$GPBBB,2\r\n\n$GPCCC,3\r$GPDDD,4");
    QProcess replay;
    const QString device = startReplay(replay, {file, "--rate", "0"});
    ASSERT_TRUE(device.startsWith("/dev/pts/")) << device.toStdString();
    const QByteArray expected = "$GPAAA,1\r\n$GPBBB,2\r\n$GPCCC,3\r\n$GPDDD,4\r\n";
    EXPECT_EQ(readDevice(device, [&](const QByteArray& got) { return got.size() >= expected.size(); }), expected);
    EXPECT_TRUE(finishes(replay, 0));
}

TEST_F(GpsToolsTest, ReplayLoopsUntilTerminated)
{
    const QString file = log("$GPAAA,1\n$GPBBB,2\n");
    QProcess replay;
    const QString device = startReplay(replay, {file, "--rate", "200", "--loop"});
    const QByteArray once = "$GPAAA,1\r\n$GPBBB,2\r\n";
    const QByteArray got = readDevice(device, [&](const QByteArray& g) { return g.size() >= 3 * once.size(); });
    EXPECT_TRUE(got.startsWith(once + once + once)) << got.toStdString();
    replay.terminate();
    EXPECT_TRUE(finishes(replay, 0));
}

TEST_F(GpsToolsTest, CommandLineMistakesAreRefused)
{
    struct Row {
        const char* legend;
        const char* program;
        QStringList args;
        int exitCode;
    };
    const std::vector<Row> rows = {
        {"replay help", "nmea-replay", {"--help"}, 0},
        {"replay without a file", "nmea-replay", {}, 2},
        {"replay with a bad rate", "nmea-replay", {"x.nmea", "--rate", "fast"}, 2},
        {"replay of a missing file", "nmea-replay", {m_dir.filePath("missing.nmea")}, 1},
        {"monitor help", "gps-monitor", {"--help"}, 0},
        {"monitor without a source", "gps-monitor", {}, 2},
        {"monitor with two sources", "gps-monitor", {"--device", "/dev/null", "--gpsd", "localhost:2947"}, 2},
        {"monitor with a bad gpsd port", "gps-monitor", {"--gpsd", "localhost:http"}, 2},
        {"monitor with a bad speed", "gps-monitor", {"--device", "/dev/null", "--baud", "0"}, 2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.legend);
        QProcess p;
        p.start(tool(row.program), row.args);
        EXPECT_TRUE(finishes(p, row.exitCode)) << p.exitCode() << " " << p.readAllStandardError().toStdString();
        if (row.exitCode == 0) {
            EXPECT_TRUE(p.readAllStandardOutput().contains("Usage"));
        }
    }
}

// Collects the monitor's output lines until `count` of them have arrived.
QList<QByteArray> monitorLines(QProcess& monitor, int count)
{
    QList<QByteArray> lines;
    static_cast<void>(QTest::qWaitFor(
        [&] {
            while (monitor.canReadLine())
                lines << monitor.readLine().chopped(1);
            return lines.size() >= count;
        },
        WaitMs));
    return lines;
}

TEST_F(GpsToolsTest, MonitorPrintsOneJsonObjectPerEvent)
{
    const QString file = log(
        "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\n"
        "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\n"
        "$GNRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*74\n"
        "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*00\n" +
        QByteArray::fromStdString(gps_test::withChecksum("GPZDA,201530.00,04,07,2002,-05,30")) + "\n" +
        "$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39\n"
        "$GPGSV,2,1,08,01,40,083,46,02,17,308,41,12,07,344,39,14,22,228,45*75\n");
    QProcess replay;
    const QString device = startReplay(replay, {file, "--rate", "50"});
    QProcess monitor;
    monitor.start(tool("gps-monitor"), {"--device", device, "--no-debug"});
    const QList<QByteArray> lines = monitorLines(monitor, 4);
    const QList<QByteArray> expected = {
        R"({"event":"Posicion","Validez":true,"Hora":"12:35:19","Latitud":48.1173,"Longitud":11.516666666666667,"Velocidad":41.0,"Rumbo":84.4000015258789})",
        R"({"event":"FechaHora","HoraUTC":"20:15:30","FechaUTC":"04/07/2002","Zona":-4.5})",
        R"({"event":"SatDOP","Modo":"3","Canales":["04","05","","09","12","","","24","","","","","",""],"PDOP":2.5,"HDOP":1.2999999523162842,"VDOP":2.0999999046325684})",
        R"({"event":"SatelliteStatus","InView":8.0,"Ids":[1.0,2.0,12.0,14.0,0.0],"Els":[40.0,17.0,7.0,22.0,0.0],"Azs":[83.0,308.0,344.0,228.0,0.0],"Sigs":[46.0,41.0,39.0,45.0,0.0],"Talker":"GP"})",
    };
    EXPECT_EQ(lines, expected);
    EXPECT_TRUE(finishes(replay, 0));
    EXPECT_TRUE(finishes(monitor, 3)) << "the replay's end hangs the device up";
    EXPECT_FALSE(monitor.canReadLine()) << "nothing else: a second talker's fix for the same second and bad checksums give no event";
    EXPECT_TRUE(monitor.readAllStandardError().contains("hung up"));
}

TEST_F(GpsToolsTest, MonitorDebugTextsAreValidJson)
{
    // Quotes, backslashes, control and non-ASCII bytes must come out as valid JSON strings.
    const QString file = log("$GPTXT,\"quoted\" back\\slash \x01\t\xe9\n");
    QProcess replay;
    const QString device = startReplay(replay, {file, "--rate", "50"});
    QProcess monitor;
    monitor.start(tool("gps-monitor"), {"--device", device, "--baud", "9600", "--ignore-valid"});
    const QList<QByteArray> lines = monitorLines(monitor, 1);
    ASSERT_EQ(lines.size(), 1);
    QJsonParseError error{};
    const QJsonObject object = QJsonDocument::fromJson(lines.first(), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << lines.first().toStdString();
    EXPECT_EQ(object.value("event").toString(), "DebugPrint");
    EXPECT_EQ(object.value("Cadena").toString(), QString::fromLatin1("RX=$GPTXT,\"quoted\" back\\slash \x01\t\xe9"));
    EXPECT_EQ(object.keys().size(), 2);
    ::kill(static_cast<pid_t>(monitor.processId()), SIGINT);  // Ctrl-C ends it as cleanly as SIGTERM
    EXPECT_TRUE(finishes(monitor, 0));
    EXPECT_TRUE(finishes(replay, 0));
}

TEST_F(GpsToolsTest, MonitorReportsAFailedConnection)
{
    QProcess monitor;
    monitor.start(tool("gps-monitor"), {"--device", "/dev/no-such-gps"});
    ASSERT_TRUE(finishes(monitor, 1));
    const QByteArray out = monitor.readAllStandardOutput();
    EXPECT_TRUE(out.startsWith(R"({"event":"DebugPrint","Cadena":"Error detectado - 1 )")) << out.toStdString();
}

TEST_F(GpsToolsTest, MonitorTakesEveryTalkerUnlessToldGpOnly)
{
    const QString file = log("$GNRMC,083559.00,A,4717.11437,N,00833.91522,E,0.004,77.52,091202,,,A*49\n" +
                             QByteArray::fromStdString(gps_test::withChecksum("GLGSV,1,1,01,80,53,026,29")) + "\n");
    for (const bool gpOnly : {false, true}) {
        SCOPED_TRACE(gpOnly ? "--gp-only" : "default");
        QProcess replay;
        const QString device = startReplay(replay, {file, "--rate", "50"});
        QProcess monitor;
        monitor.start(tool("gps-monitor"), gpOnly ? QStringList{"--device", device, "--no-debug", "--gp-only"}
                                                  : QStringList{"--device", device, "--no-debug"});
        EXPECT_TRUE(finishes(replay, 0));
        EXPECT_TRUE(finishes(monitor, 3));
        const QByteArray out = monitor.readAllStandardOutput();
        EXPECT_EQ(out.contains("\"event\":\"Posicion\",\"Validez\":true,\"Hora\":\"08:35:59\""), !gpOnly) << out.toStdString();
        EXPECT_EQ(out.contains("\"Talker\":\"GL\""), !gpOnly) << out.toStdString();
    }
}

} // namespace
