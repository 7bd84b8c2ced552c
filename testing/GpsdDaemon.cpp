#include "GpsdDaemon.h"

#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

namespace testing_support {
namespace {

bool acceptsConnections(quint16 port)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    return socket.waitForConnected(200);
}

} // namespace

QString gpsdProgram()
{
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("gpsd"));
    if (!onPath.isEmpty())
        return onPath;
    return QStandardPaths::findExecutable(QStringLiteral("gpsd"), {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
}

quint16 freeLoopbackPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

PacedReceiver::PacedReceiver(Pty& pty, std::vector<std::string> cycle) : m_pty(pty), m_cycle(std::move(cycle))
{
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_pty.readAvailable();
        if (!m_cycle.empty())
            m_pty.write(QByteArray::fromStdString(m_cycle[m_next++ % m_cycle.size()]) + "\r\n");
    });
    m_timer.start(100);
}

GpsdDaemon::GpsdDaemon(QString program, QString device, quint16 port, QString socketPath)
    : m_program(std::move(program)), m_device(std::move(device)), m_port(port), m_socket(std::move(socketPath))
{
}

// -N foreground, -n read the device at once (it cannot open a root-owned pty after dropping
// privileges), -b never write to the device.
bool GpsdDaemon::start()
{
    // gpsd complains about the missing system bus on every start; not our concern.
    m_process.setStandardErrorFile(QProcess::nullDevice());
    m_process.start(m_program, {"-N", "-n", "-b", "-S", QString::number(m_port), "-F", m_socket, m_device});
    return m_process.waitForStarted(20000) && QTest::qWaitFor([this] { return acceptsConnections(m_port); }, 20000);
}

void GpsdDaemon::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(3000)) {
        m_process.kill();
        m_process.waitForFinished(1000);
    }
}

} // namespace testing_support
