#include "GpsdSource.h"

#include "GpsTiming.h"

#include <utility>

namespace gps {

GpsdSource::GpsdSource(QObject* parent) : QObject(parent), m_socket(this), m_retryTimer(this)
{
    m_retryTimer.setSingleShot(true);
    connect(&m_retryTimer, &QTimer::timeout, this, &GpsdSource::retry);
    connect(&m_socket, &QTcpSocket::connected, this, &GpsdSource::onConnected);
    connect(&m_socket, &QTcpSocket::readyRead, this, &GpsdSource::onReadyRead);
    connect(&m_socket, &QTcpSocket::disconnected, this, &GpsdSource::onConnectionLost);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, &GpsdSource::onConnectionLost);
}

std::optional<SourceError> GpsdSource::start(const QString& host, quint16 port)
{
    stop();
    m_host = host;
    m_port = port;
    m_filter.reset();
    m_socket.connectToHost(host, port);
    if (!m_socket.waitForConnected(timing::scaled(timing::GpsdConnectTimeoutMs))) {
        SourceError error{static_cast<int>(m_socket.error()), m_socket.errorString()};
        m_socket.abort();
        return error;
    }
    m_active = true;
    m_lost = false;
    sendWatch();
    return std::nullopt;
}

void GpsdSource::stop()
{
    m_active = false;
    m_retryTimer.stop();
    m_socket.abort();
}

void GpsdSource::sendWatch()
{
    m_socket.write(GpsdWatchCommand, static_cast<qint64>(sizeof GpsdWatchCommand - 1));
}

void GpsdSource::onConnected()
{
    // The first connection is confirmed by start(); this handles the reconnects.
    if (!m_active)
        return;
    const bool wasLost = std::exchange(m_lost, false);
    m_filter.reset();
    Q_EMIT debugText(QStringLiteral("gpsd conectado - %1:%2").arg(m_host).arg(m_port));
    sendWatch();
    if (wasLost)
        Q_EMIT restored();
}

void GpsdSource::onReadyRead()
{
    const QByteArray bytes = m_socket.readAll();
    if (!m_active)
        return;
    m_nmea.clear();
    m_filter.filter(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), m_nmea);
    if (!m_nmea.empty())
        Q_EMIT received(QByteArray(m_nmea.data(), static_cast<qsizetype>(m_nmea.size())));
}

void GpsdSource::onConnectionLost()
{
    // Both errorOccurred and disconnected arrive for one loss; report and schedule once.
    if (!m_active || m_retryTimer.isActive())
        return;
    if (!m_lost) {
        m_lost = true;
        Q_EMIT debugText(QStringLiteral("gpsd desconectado - %1 %2").arg(static_cast<int>(m_socket.error())).arg(m_socket.errorString()));
        Q_EMIT lost(m_socket.errorString());
    }
    m_retryTimer.start(timing::scaled(timing::GpsdReconnectMs));
}

void GpsdSource::retry()
{
    if (!m_active)
        return;
    m_socket.abort();
    m_filter.reset();
    m_socket.connectToHost(m_host, m_port);
}

} // namespace gps
