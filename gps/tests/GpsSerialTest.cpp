// The GPS control on real pseudo-terminals: connecting, line settings, failures, hang-up, and
// bytes written by the "receiver" arriving as signals.
#include "GPS.h"
#include "GpsTestSupport.h"
#include "PortMap.h"
#include "Pty.h"

#include <QSerialPort>
#include <QSettings>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <functional>
#include <memory>
#include <termios.h>
#include <unistd.h>

namespace {

using testing_support::Pty;

const QByteArray RmcNorthEast = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A";
const QByteArray Zda = "$GPZDA,201530.00,04,07,2002,00,00*60";
const QByteArray Gsa = "$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39";
const QByteArray Gsv = "$GPGSV,2,1,08,01,40,083,46,02,17,308,41,12,07,344,39,14,22,228,45*75";
const QByteArray Gga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47";

constexpr int WaitMs = 20000;   // generous: the suite also runs beside CPU-bound processes

// The line settings the device really got, read back from the terminal itself.
termios lineSettings(const QString& device)
{
    termios tio{};
    const int fd = ::open(device.toLocal8Bit().constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    if (fd >= 0) {
        ::tcgetattr(fd, &tio);
        ::close(fd);
    }
    return tio;
}

class GpsSerialTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_settingsDir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir.path());
        ASSERT_TRUE(m_pty.isValid());
        portmap::setDevicePath(1, m_pty.slavePath());
    }

    QTemporaryDir m_settingsDir;
    Pty m_pty;
    GPS m_gps;
    gps_test::EventRecorder m_recorder{m_gps};
};

TEST_F(GpsSerialTest, ConectarOpensTheMappedPortWithTheGivenSpeed)
{
    ASSERT_EQ(m_gps.Conectar(1, false, "4800"), 0);
    EXPECT_TRUE(m_gps.isConnected());
    EXPECT_TRUE(m_recorder.events.isEmpty());
    termios tio = lineSettings(m_pty.slavePath());
    EXPECT_EQ(cfgetispeed(&tio), static_cast<speed_t>(B4800));
    EXPECT_EQ(cfgetospeed(&tio), static_cast<speed_t>(B4800));
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_cflag & PARENB, 0U) << "no parity";
    EXPECT_EQ(tio.c_cflag & CSTOPB, 0U) << "one stop bit";
    EXPECT_EQ(tio.c_cflag & CRTSCTS, 0U) << "no hardware flow control";
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF), 0U) << "no software flow control";

    m_gps.Desconectar();
    EXPECT_FALSE(m_gps.isConnected());
    ASSERT_EQ(m_gps.Conectar(1, false, "9600"), 0);
    tio = lineSettings(m_pty.slavePath());
    EXPECT_EQ(cfgetospeed(&tio), static_cast<speed_t>(B9600));
}

TEST_F(GpsSerialTest, SecondConectarFailsSilentlyButTakesTheNewIgnoreValid)
{
    ASSERT_EQ(m_gps.Conectar(1, false, "4800"), 0);
    EXPECT_FALSE(m_gps.IgnoreValid());
    EXPECT_EQ(m_gps.Conectar(1, true, "9600"), 1);
    EXPECT_TRUE(m_gps.IgnoreValid());
    EXPECT_TRUE(m_recorder.events.isEmpty());
    EXPECT_TRUE(m_gps.isConnected());
    const termios tio = lineSettings(m_pty.slavePath());
    EXPECT_EQ(cfgetospeed(&tio), static_cast<speed_t>(B4800)) << "the open port is left unchanged";

    // The new flag is the one the decoder uses.
    ASSERT_TRUE(m_pty.write("$GPRMC,123519,V,4807.038,N,01131.000,E,022.4,084.4,,,\r\n"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_recorder.dataEvents().isEmpty(); }, WaitMs));
    EXPECT_EQ(m_recorder.dataEvents(), QStringList{"Posicion 1 12:35:19 48.1173 11.51666667 41 84.4"});
}

TEST_F(GpsSerialTest, FailuresAreExplainedThroughDebugPrint)
{
    struct Row {
        const char* legend;
        std::function<short(GPS&)> connect;
        QString debugStart;
        bool leftOpen;
    };
    const std::vector<Row> rows = {
        {"port number outside the map", [](GPS& g) { return g.Conectar(99, false, "4800"); }, "Error detectado - 1 ", false},
        {"device that does not exist", [](GPS& g) { return g.Conectar(QStringLiteral("/dev/no-such-gps"), false, "4800"); },
         "Error detectado - 1 ", false},
        {"mapped device that does not exist", [](GPS& g) {
             portmap::setDevicePath(2, QStringLiteral("/dev/no-such-gps"));
             return g.Conectar(2, true, "4800");
         },
         "Error detectado - 1 ", false},
        // The port opens although the speed was refused; the host has to Desconectar.
        {"speed that is not a number", [this](GPS& g) { return g.Conectar(m_pty.slavePath(), false, "fast"); },
         QStringLiteral("Error detectado - %1 Invalid baud rate 'fast'").arg(QSerialPort::UnsupportedOperationError), true},
        {"no device given", [](GPS& g) { return g.connectDevice(nullptr, false); }, "Puerto no abierto", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.legend);
        GPS gps;
        gps_test::EventRecorder recorder(gps);
        EXPECT_EQ(row.connect(gps), 1);
        ASSERT_EQ(recorder.events.size(), 1) << recorder.events.join('\n').toStdString();
        EXPECT_TRUE(recorder.debugTexts().value(0).startsWith(row.debugStart)) << recorder.events.value(0).toStdString();
        EXPECT_EQ(gps.isConnected(), row.leftOpen);
    }
}

TEST_F(GpsSerialTest, BytesFromTheReceiverArriveAsSignals)
{
    QSignalSpy posicion(&m_gps, &GPS::Posicion);
    QSignalSpy fechaHora(&m_gps, &GPS::FechaHora);
    QSignalSpy satDop(&m_gps, &GPS::SatDOP);
    QSignalSpy satellites(&m_gps, &GPS::SatelliteStatus);
    ASSERT_EQ(m_gps.Conectar(1, false, "4800"), 0);
    ASSERT_TRUE(m_pty.write(RmcNorthEast + "\r\n" + Gga + "\r\n" + Zda + "\r\n" + Gsa + "\r\n" + Gsv + "\r\n"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return satellites.count() == 1; }, WaitMs));

    ASSERT_EQ(posicion.count(), 1);
    const QList<QVariant> p = posicion.takeFirst();
    EXPECT_EQ(p.at(0).toBool(), true);
    EXPECT_EQ(p.at(1).toString(), "12:35:19");
    EXPECT_EQ(p.at(2).toDouble(), 48.1173);
    EXPECT_EQ(p.at(3).toDouble(), 11.516666666666667);
    EXPECT_EQ(p.at(4).toFloat(), 41.0F);
    EXPECT_EQ(p.at(5).toFloat(), 84.4F);

    ASSERT_EQ(fechaHora.count(), 1);
    EXPECT_EQ(fechaHora.first(), (QList<QVariant>{"20:15:30", "04/07/2002", 0.0F}));
    ASSERT_EQ(satDop.count(), 1);
    const QStringList canales{"04", "05", "", "09", "12", "", "", "24", "", "", "", "", "", ""};
    EXPECT_EQ(satDop.first(), (QList<QVariant>{"3", canales, 2.5F, 1.3F, 2.1F}));
    const QList<QVariant> s = satellites.first();
    EXPECT_EQ(s.at(0).toFloat(), 8.0F);
    EXPECT_EQ(s.at(1).value<QList<float>>(), (QList<float>{1, 2, 12, 14, 0}));
    EXPECT_EQ(s.at(2).value<QList<float>>(), (QList<float>{40, 17, 7, 22, 0}));
    EXPECT_EQ(s.at(3).value<QList<float>>(), (QList<float>{83, 308, 344, 228, 0}));
    EXPECT_EQ(s.at(4).value<QList<float>>(), (QList<float>{46, 41, 39, 45, 0}));
    EXPECT_EQ(m_gps.Ids(), (std::array<float, 5>{1, 2, 12, 14, 0}));
    EXPECT_EQ(m_gps.Sigs(), (std::array<float, 5>{46, 41, 39, 45, 0}));
}

TEST_F(GpsSerialTest, TracesComeBeforeTheEventTheyExplain)
{
    ASSERT_EQ(m_gps.Conectar(1, false, "4800"), 0);
    ASSERT_TRUE(m_pty.write("  " + RmcNorthEast + "\r\n$GPRMC,123519,V,,,,,,,,,\r\n"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_recorder.dataEvents().size() == 2; }, WaitMs));
    const QStringList expected{
        "DebugPrint RX=  " + RmcNorthEast,
        "DebugPrint Cadena recibida: " + RmcNorthEast,
        "Posicion 1 12:35:19 48.1173 11.51666667 41 84.4",
        "DebugPrint RX=$GPRMC,123519,V,,,,,,,,,",
        "DebugPrint Cadena recibida: $GPRMC,123519,V,,,,,,,,,",
        "DebugPrint IgnoreValid = False",
        "Posicion 0 12:35:19 0 0 0 0",
    };
    EXPECT_EQ(m_recorder.events, expected);
}

TEST_F(GpsSerialTest, BadInputBetweenGoodSentencesCostsOnlyItself)
{
    ASSERT_EQ(m_gps.Conectar(1, false, "4800"), 0);
    QByteArray corrupted = RmcNorthEast;
    corrupted[20] = '9';  // one digit flipped on the line: checksum no longer matches
    ASSERT_TRUE(m_pty.write(RmcNorthEast + "\r\n" + "$GPRMC,123520,A,4807\r\n" + corrupted + "\r\n" +
                            QByteArray(1500, '~') + "\r\n" + RmcNorthEast + "\r\n"));
    // Everything written has been read once the line after the last sentence has: a marker.
    ASSERT_TRUE(m_pty.write(Zda + "\r\n"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_recorder.dataEvents().size() >= 3; }, WaitMs));
    EXPECT_EQ(m_recorder.dataEvents().size(), 3);
    EXPECT_TRUE(m_recorder.debugTexts().contains("Checksum incorrecto: " + corrupted));
    EXPECT_TRUE(m_recorder.debugTexts().contains(QString::fromLatin1(gps::OverflowText.data(),
                                                                     static_cast<qsizetype>(gps::OverflowText.size()))));
}

TEST_F(GpsSerialTest, UnfinishedSentenceSurvivesDesconectar)
{
    ASSERT_EQ(m_gps.Conectar(1, false, "4800"), 0);
    ASSERT_TRUE(m_pty.write(RmcNorthEast.left(30)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_gps.BufferRX().size() == 30; }, WaitMs));
    m_gps.Desconectar();
    m_gps.Desconectar();  // closing twice does nothing
    EXPECT_TRUE(m_recorder.events.isEmpty());
    ASSERT_EQ(m_gps.Conectar(1, false, "4800"), 0);
    ASSERT_TRUE(m_pty.write(RmcNorthEast.mid(30) + "\r\n"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_recorder.dataEvents().size() == 1; }, WaitMs));
    EXPECT_EQ(m_recorder.events.first(), "DebugPrint RX=" + RmcNorthEast);
}

TEST(GpsHangUp, ClosesThePortInsteadOfFloodingErrors)
{
    auto pty = std::make_unique<Pty>();
    ASSERT_TRUE(pty->isValid());
    GPS gps;
    gps_test::EventRecorder recorder(gps);
    QSignalSpy lost(&gps, &GPS::connectionLost);
    ASSERT_EQ(gps.Conectar(pty->slavePath(), false, "4800"), 0);
    pty.reset();  // the other end goes away, as when a USB adapter is pulled
    ASSERT_TRUE(QTest::qWaitFor([&] { return !gps.isConnected(); }, WaitMs));
    QTest::qWait(200);
    ASSERT_EQ(recorder.events.size(), 1) << recorder.events.join('\n').toStdString();
    // The text names this hang-up, never an error left over from opening the port.
    EXPECT_TRUE(recorder.events.first().startsWith("DebugPrint Puerto cerrado - ")) << recorder.events.first().toStdString();
    EXPECT_TRUE(recorder.events.first().endsWith(gps.lastError())) << recorder.events.first().toStdString();
    ASSERT_EQ(lost.count(), 1);
    EXPECT_EQ(lost.first().first().toString(), "The device was removed or hung up");
}

TEST(GpsDevice, ReadsAnyOpenDevice)
{
    // A socket pair stands in for any QIODevice the host may hand over.
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    QTcpSocket client;
    client.connectToHost(QHostAddress::LocalHost, server.serverPort());
    ASSERT_TRUE(client.waitForConnected(WaitMs));
    ASSERT_TRUE(server.waitForNewConnection(WaitMs));
    QTcpSocket* device = server.nextPendingConnection();

    GPS gps;
    gps_test::EventRecorder recorder(gps);
    ASSERT_EQ(gps.connectDevice(device, true), 0);
    EXPECT_EQ(gps.connectDevice(device, false), 1);
    EXPECT_FALSE(gps.IgnoreValid());
    client.write(Zda + "\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return recorder.dataEvents().size() == 1; }, WaitMs));
    EXPECT_EQ(recorder.dataEvents().first(), "FechaHora 20:15:30 04/07/2002 0");

    gps.Desconectar();
    client.write(Zda + "\r\n");
    QTest::qWait(100);
    EXPECT_EQ(recorder.dataEvents().size(), 1) << "nothing is read after Desconectar";
}

} // namespace

namespace {

// The control's own rule is the GPS talker alone; AllTalkers takes every system's sentences
// and names the system whose satellites each SatelliteStatus carries.
TEST_F(GpsSerialTest, AllTalkersDecodesEverySystemAndNamesTheSatellitesTalker)
{
    EXPECT_FALSE(m_gps.AllTalkers());
    EXPECT_FALSE(m_gps.property("AllTalkers").toBool());
    QStringList seen;
    QObject::connect(&m_gps, &GPS::Posicion, &m_gps, [&](bool valid, const QString& hora) {
        seen << QStringLiteral("Posicion %1 %2").arg(valid).arg(hora);
    });
    QObject::connect(&m_gps, &GPS::SatelliteStatus, &m_gps, [&](float inView) {
        seen << QStringLiteral("SatelliteStatus %1 %2").arg(m_gps.SatelliteTalker()).arg(inView);
    });
    QSignalSpy sentences(&m_gps, &GPS::sentenceReceived);
    const QByteArray cycle = QByteArray::fromStdString(
        gps_test::withChecksum("GNRMC,083559.00,A,4717.11437,N,00833.91522,E,0.004,77.52,091202,,,A") + "\r\n" +
        gps_test::withChecksum("GPGSV,1,1,02,10,63,137,17,07,61,098,15") + "\r\n" +
        gps_test::withChecksum("GLGSV,1,1,01,80,53,026,29") + "\r\n");
    ASSERT_EQ(m_gps.Conectar(1, false, "4800"), 0);
    ASSERT_TRUE(m_pty.write(cycle));
    ASSERT_TRUE(QTest::qWaitFor([&] { return sentences.count() == 3; }, WaitMs));
    EXPECT_EQ(seen, QStringList{"SatelliteStatus GP 2"}) << "only $GP under the control's own rule";

    seen.clear();
    m_gps.setProperty("AllTalkers", true);
    ASSERT_TRUE(m_pty.write(cycle));
    ASSERT_TRUE(QTest::qWaitFor([&] { return sentences.count() == 6; }, WaitMs));
    EXPECT_EQ(seen, (QStringList{"Posicion 1 08:35:59", "SatelliteStatus GP 2", "SatelliteStatus GL 1"}));
    EXPECT_EQ(m_gps.Ids().front(), 80.0F);
}

} // namespace
