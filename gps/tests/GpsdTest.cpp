// The control reading through a real gpsd daemon that reads a pseudo-terminal fed with paced
// NMEA, including gpsd going away and coming back.
#include "GPS.h"
#include "GpsTestSupport.h"
#include "GpsTiming.h"
#include "GpsdLineFilter.h"
#include "GpsdDaemon.h"
#include "Pty.h"

#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using testing_support::GpsdDaemon;
using testing_support::PacedReceiver;
using testing_support::Pty;
using testing_support::freeLoopbackPort;
using testing_support::gpsdProgram;

const std::vector<std::string> GpsCycle{
    "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A",
    "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47",
    "$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39",
    "$GPGSV,2,1,08,01,40,083,46,02,17,308,41,12,07,344,39,14,22,228,45*75",
};

TEST(GpsdLineFilter, KeepsNmeaLinesEndedByCarriageReturn)
{
    struct Row {
        const char* legend;
        std::vector<std::string> chunks;
        std::string out;
    };
    const std::vector<Row> rows = {
        {"JSON reports dropped, NMEA kept", {"{\"class\":\"VERSION\"}\r\n$GPGGA,1*00\r\n{\"class\":\"TPV\"}\r\n"},
         "$GPGGA,1*00\r\r"},
        {"a line split across reads", {"{\"class\":", "\"SKY\"}\r\n$GP", "RMC,2\r", "\n{"}, "$GPRMC,2\r\r"},
        {"a brace later in a line does not matter", {"$GPTXT,{x}\n"}, "$GPTXT,{x}\r"},
        {"an empty line", {"\n\n"}, "\r\r"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.legend);
        gps::GpsdLineFilter filter;
        std::string out;
        for (const std::string& chunk : row.chunks)
            filter.filter(chunk, out);
        EXPECT_EQ(out, row.out);
    }
}

class GpsdTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_program = gpsdProgram();
        if (m_program.isEmpty())
            GTEST_SKIP() << "gpsd is not installed (Debian package gpsd)";
        ASSERT_TRUE(m_pty.isValid());
        ASSERT_TRUE(m_dir.isValid());
        m_port = freeLoopbackPort();
        m_daemon = std::make_unique<GpsdDaemon>(m_program, m_pty.slavePath(), m_port, m_dir.filePath("gpsd.sock"));
    }

    void TearDown() override { gps::timing::setScale(1.0); }

    QString m_program;
    Pty m_pty;
    PacedReceiver m_receiver{m_pty, GpsCycle};
    QTemporaryDir m_dir;
    quint16 m_port = 0;
    std::unique_ptr<GpsdDaemon> m_daemon;
};

// gpsd starts relaying about two seconds after it opens the device.
constexpr int FirstSentenceMs = 20000;

TEST_F(GpsdTest, SentencesRelayedByGpsdArriveAsSignals)
{
    ASSERT_TRUE(m_daemon->start());
    GPS gps;
    gps_test::EventRecorder recorder(gps);
    QSignalSpy posicion(&gps, &GPS::Posicion);
    QSignalSpy satellites(&gps, &GPS::SatelliteStatus);
    ASSERT_EQ(gps.ConectarGpsd(QStringLiteral("127.0.0.1"), m_port), 0);
    EXPECT_EQ(gps.ConectarGpsd(QStringLiteral("127.0.0.1"), m_port, true), 1);
    EXPECT_TRUE(gps.IgnoreValid());
    const QString gsaText = QStringLiteral("RX=$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return posicion.count() >= 1 && satellites.count() >= 1 && recorder.debugTexts().contains(gsaText); },
        FirstSentenceMs));

    const QList<QVariant> p = posicion.first();
    EXPECT_EQ(p, (QList<QVariant>{true, "12:35:19", 48.1173, 11.516666666666667, 41.0F, 84.4F}));
    EXPECT_EQ(satellites.first().at(1).value<QList<float>>(), (QList<float>{1, 2, 12, 14, 0}));
    // gpsd's own JSON reports never reach the assembler.
    for (const QString& text : recorder.debugTexts())
        EXPECT_FALSE(text.startsWith("RX={")) << text.toStdString();

    gps.Desconectar();
    const qsizetype seen = posicion.count();
    QTest::qWait(400);
    EXPECT_EQ(posicion.count(), seen) << "nothing arrives after Desconectar";
}

TEST(GpsdSource, NoDaemonMeansConectarGpsdFails)
{
    GPS gps;
    gps_test::EventRecorder recorder(gps);
    EXPECT_EQ(gps.ConectarGpsd(QStringLiteral("127.0.0.1"), freeLoopbackPort()), 1);
    EXPECT_FALSE(gps.isConnected());
    EXPECT_EQ(recorder.events, QStringList{"DebugPrint Error detectado - 0 Connection refused"});
}

TEST_F(GpsdTest, ReconnectsWhenGpsdComesBack)
{
    gps::timing::setScale(0.05);  // reconnect every 150 ms
    ASSERT_TRUE(m_daemon->start());
    GPS gps;
    gps_test::EventRecorder recorder(gps);
    QSignalSpy posicion(&gps, &GPS::Posicion);
    ASSERT_EQ(gps.ConectarGpsd(QStringLiteral("127.0.0.1"), m_port), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return posicion.count() >= 1; }, FirstSentenceMs));

    m_daemon->stop();
    const auto lost = [&] {
        const QStringList texts = recorder.debugTexts();
        return std::count_if(texts.begin(), texts.end(), [](const QString& t) { return t.startsWith("gpsd desconectado - "); });
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return lost() == 1; }, FirstSentenceMs));
    QTest::qWait(600);  // several failed attempts while gpsd is down...
    EXPECT_EQ(lost(), 1) << "...reported once";
    EXPECT_TRUE(gps.isConnected()) << "still trying";

    const qsizetype before = posicion.count();
    ASSERT_TRUE(m_daemon->start());
    ASSERT_TRUE(QTest::qWaitFor([&] { return posicion.count() > before; }, FirstSentenceMs));
    EXPECT_TRUE(recorder.debugTexts().contains(QStringLiteral("gpsd conectado - 127.0.0.1:%1").arg(m_port)));
}

TEST_F(GpsdTest, MonitorToolPrintsWhatGpsdRelays)
{
    ASSERT_TRUE(m_daemon->start());
    QProcess monitor;
    monitor.start(gps_test::toolPath("gps-monitor"), {"--gpsd", QStringLiteral("127.0.0.1:%1").arg(m_port), "--no-debug"});
    ASSERT_TRUE(monitor.waitForStarted(3000));
    QByteArray out;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            out += monitor.readAllStandardOutput();
            return out.contains("\"event\":\"Posicion\"");
        },
        FirstSentenceMs))
        << out.toStdString();
    EXPECT_TRUE(out.contains("{\"event\":\"Posicion\",\"Validez\":true,\"Hora\":\"12:35:19\",\"Latitud\":48.1173,"
                             "\"Longitud\":11.516666666666667,\"Velocidad\":41.0,\"Rumbo\":84.4000015258789}\n"));
    EXPECT_FALSE(out.contains("DebugPrint"));
    monitor.terminate();
    ASSERT_TRUE(monitor.waitForFinished(3000));
    EXPECT_EQ(monitor.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(monitor.exitCode(), 0);
}

} // namespace
