#include "navlet/ByteChannel.h"

#include "navlet/NavletBytes.h"

#include "PortMap.h"

namespace navlet {
namespace {

// 9600 baud moves the 512-byte output buffer in about half a second.
constexpr int CloseFlushMs = 1000;

QString outgoingPrefix() { return QStringLiteral("PC -") + QChar(0x00BB) + QStringLiteral(" GPS "); }
QString incomingPrefix() { return QStringLiteral("PC ") + QChar(0x00AB) + QStringLiteral("- GPS "); }

} // namespace

ByteChannel::ByteChannel(QObject* parent)
    : QObject(parent)
    , m_serial(new QSerialPort(this))
{
    connect(m_serial, &QSerialPort::readyRead, this, &ByteChannel::onReadyRead);
    connect(m_serial, &QSerialPort::errorOccurred, this, &ByteChannel::onSerialError);
}

void ByteChannel::setDevice(QIODevice* device)
{
    if (m_external)
        disconnect(m_external, nullptr, this, nullptr);
    m_external = device;
    if (device)
        connect(device, &QIODevice::readyRead, this, &ByteChannel::onReadyRead);
}

QIODevice* ByteChannel::device() const
{
    return m_external ? m_external.data() : static_cast<QIODevice*>(m_serial);
}

bool ByteChannel::isOpen() const
{
    return device()->isOpen();
}

bool ByteChannel::open()
{
    if (isOpen())
        return true;
    Q_EMIT HexDebug(QStringLiteral("Comm port = ")
                    + (m_devicePath.isEmpty() ? QString::number(m_port) : m_devicePath.trimmed()));
    if (m_external)
        return m_external->open(QIODevice::ReadWrite);
    return openSerial();
}

bool ByteChannel::openSerial()
{
    m_serial->setPortName(m_devicePath.isEmpty() ? portmap::devicePath(m_port) : m_devicePath);
    m_serial->setBaudRate(QSerialPort::Baud9600);
    m_serial->setDataBits(QSerialPort::Data8);
    m_serial->setParity(QSerialPort::NoParity);
    m_serial->setStopBits(QSerialPort::OneStop);
    m_serial->setFlowControl(QSerialPort::NoFlowControl);
    m_serial->setReadBufferSize(0);
    // Failures are not the host's problem: the time-out supervision reports a dead line.
    return m_serial->open(QIODevice::ReadWrite);
}

void ByteChannel::close()
{
    if (!isOpen())
        return;
    clearInput();
    // The last ACK may still wait in the output buffer; a receiver that never gets it sends
    // its last packet again to a closed line.
    QIODevice* d = device();
    if (d->bytesToWrite() > 0)
        d->waitForBytesWritten(CloseFlushMs);
    d->close();
}

void ByteChannel::clearInput()
{
    if (!isOpen())
        return;
    if (m_external)
        m_external->readAll();
    else
        m_serial->clear(QSerialPort::Input);
}

void ByteChannel::write(const QByteArray& wire)
{
    Q_EMIT HexDebug(outgoingPrefix() + hexDump(wire));
    if (!isOpen())
        return;
    device()->write(wire);
    // Out now, not on the next turn of the event loop: the receiver waits for each ACK.
    if (!m_external)
        m_serial->flush();
}

void ByteChannel::traceIncoming(const QByteArray& packet)
{
    Q_EMIT HexDebug(incomingPrefix() + hexDump(packet));
}

void ByteChannel::onReadyRead()
{
    const QByteArray bytes = device()->readAll();
    if (!bytes.isEmpty())
        Q_EMIT bytesArrived(bytes);
}

void ByteChannel::onSerialError(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::NoError:
    case QSerialPort::UnsupportedOperationError: // pseudo-terminals refuse line controls
        return;
    case QSerialPort::ReadError:
    case QSerialPort::ResourceError:
        // A hung-up line keeps reporting errors; closing stops the flood.
        if (m_serial->isOpen())
            m_serial->close();
        return;
    default:
        m_serial->clearError();
        if (m_serial->isOpen())
            m_serial->clear(QSerialPort::Input);
        return;
    }
}

} // namespace navlet
