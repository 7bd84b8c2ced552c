#include "GPS.h"

#include "GpsdSource.h"
#include "PortMap.h"

#include <QIODevice>
#include <QSerialPort>

namespace {

constexpr QSerialPort::Parity LineParity = QSerialPort::NoParity;
constexpr QSerialPort::DataBits LineDataBits = QSerialPort::Data8;
constexpr QSerialPort::StopBits LineStopBits = QSerialPort::OneStop;

QString latin1(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QList<float> toList(const std::array<float, gps::Gsv::SlotCount>& values)
{
    return QList<float>(values.begin(), values.end());
}

} // namespace

GPS::GPS(QObject* parent) : QObject(parent), m_port(new QSerialPort(this)), m_gpsd(new gps::GpsdSource(this))
{
    connect(m_port, &QSerialPort::readyRead, this, &GPS::readSerial);
    connect(m_port, &QSerialPort::errorOccurred, this, &GPS::closeSerialOnError);
    connect(m_gpsd, &gps::GpsdSource::received, this, &GPS::receive);
    connect(m_gpsd, &gps::GpsdSource::debugText, this, &GPS::DebugPrint);
    connect(m_gpsd, &gps::GpsdSource::lost, this, &GPS::connectionInterrupted);
    connect(m_gpsd, &gps::GpsdSource::restored, this, &GPS::connectionRestored);
}

GPS::~GPS()
{
    // Close quietly: the host may already be gone.
    blockSignals(true);
    Desconectar();
}

short GPS::Conectar(short Puerto, bool IgnoreValidFlag, const QString& Velocidad)
{
    return Conectar(portmap::devicePath(Puerto), IgnoreValidFlag, Velocidad);
}

short GPS::Conectar(const QString& device, bool IgnoreValidFlag, const QString& Velocidad)
{
    setIgnoreValid(IgnoreValidFlag);
    if (isConnected())
        return 1;
    // Every step is tried even after one failed; the last failure is the one reported.
    std::optional<gps::SourceError> failure;
    m_port->setPortName(device);
    bool speedOk = false;
    const int speed = Velocidad.trimmed().toInt(&speedOk);
    if (!speedOk || speed <= 0)
        failure = gps::SourceError{QSerialPort::UnsupportedOperationError,
                                   QStringLiteral("Invalid baud rate '%1'").arg(Velocidad)};
    else
        m_port->setBaudRate(speed);
    m_port->setParity(LineParity);
    m_port->setDataBits(LineDataBits);
    m_port->setStopBits(LineStopBits);
    // Pseudo-terminals and most GPS adapters have no modem lines to handshake with.
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    if (!m_port->open(QIODevice::ReadOnly))
        failure = gps::SourceError{static_cast<int>(m_port->error()), m_port->errorString()};
    return finishConnect(m_port->isOpen() ? Source::Serial : Source::None, failure);
}

short GPS::ConectarGpsd(const QString& host, quint16 port, bool IgnoreValidFlag)
{
    setIgnoreValid(IgnoreValidFlag);
    if (isConnected())
        return 1;
    const auto failure = m_gpsd->start(host, port);
    return finishConnect(failure ? Source::None : Source::Gpsd, failure);
}

short GPS::connectDevice(QIODevice* device, bool IgnoreValidFlag)
{
    setIgnoreValid(IgnoreValidFlag);
    if (isConnected())
        return 1;
    if (device == nullptr || !device->isOpen() || !device->isReadable())
        return finishConnect(Source::None, std::nullopt);
    m_device = device;
    connect(device, &QIODevice::readyRead, this, &GPS::readDevice);
    return finishConnect(Source::Device, std::nullopt);
}

short GPS::finishConnect(Source source, const std::optional<gps::SourceError>& failure)
{
    // A port that opened although a setting failed stays open, so the host must Desconectar.
    m_source = source;
    if (failure) {
        m_lastError = failure->description;
        Q_EMIT DebugPrint(QStringLiteral("Error detectado - %1 %2").arg(failure->code).arg(failure->description));
        return 1;
    }
    if (source == Source::None) {
        m_lastError = QStringLiteral("The port did not open");
        Q_EMIT DebugPrint(QStringLiteral("Puerto no abierto"));
        return 1;
    }
    m_lastError.clear();
    return 0;
}

void GPS::Desconectar()
{
    switch (m_source) {
    case Source::None:
        return;
    case Source::Serial:
        m_port->close();
        break;
    case Source::Device:
        if (m_device)
            disconnect(m_device, nullptr, this, nullptr);
        m_device = nullptr;
        break;
    case Source::Gpsd:
        m_gpsd->stop();
        break;
    }
    m_source = Source::None;
}

void GPS::readSerial()
{
    receive(m_port->readAll());
}

void GPS::readDevice()
{
    if (m_device)
        receive(m_device->readAll());
}

void GPS::closeSerialOnError()
{
    // A vanished device (USB pulled, pty hung up) raises these errors endlessly: give up the port.
    const QSerialPort::SerialPortError error = m_port->error();
    if (error != QSerialPort::ReadError && error != QSerialPort::ResourceError)
        return;
    if (m_source != Source::Serial)
        return;
    // A hung-up line reads as end of file, which sets no errno: the port's error text would be
    // whatever an earlier call left. Both errors mean the device is gone.
    const QString description = QStringLiteral("The device was removed or hung up");
    Desconectar();
    m_lastError = description;
    Q_EMIT DebugPrint(QStringLiteral("Puerto cerrado - %1 %2").arg(static_cast<int>(error)).arg(description));
    Q_EMIT connectionLost(description);
}

void GPS::receive(const QByteArray& bytes)
{
    // A host handler that runs the event loop may deliver more input while a sentence is being
    // reported; queue it so sentences stay whole and in order.
    m_pending.append(bytes);
    if (m_feeding)
        return;
    m_feeding = true;
    while (!m_pending.isEmpty()) {
        const QByteArray chunk = std::exchange(m_pending, QByteArray());
        m_pipeline.feed(std::string_view(chunk.constData(), static_cast<std::size_t>(chunk.size())));
    }
    m_feeding = false;
}

QString GPS::BufferRX() const
{
    return latin1(m_pipeline.assembler().BufferRX());
}

void GPS::debugText(std::string_view prefix, std::string_view text)
{
    Q_EMIT DebugPrint(latin1(prefix) + latin1(text));
}

void GPS::onPosicion(const gps::Rmc& rmc)
{
    Q_EMIT Posicion(rmc.Validez, latin1(rmc.Hora), rmc.Latitud, rmc.Longitud, rmc.Velocidad, rmc.Rumbo);
}

void GPS::onFechaHora(const gps::Zda& zda)
{
    Q_EMIT FechaHora(latin1(zda.HoraUTC), latin1(zda.FechaUTC), zda.Zona);
}

void GPS::onSatDOP(const gps::Gsa& gsa)
{
    QStringList canales;
    canales.reserve(static_cast<qsizetype>(gsa.Canales.size()));
    for (const std::string& channel : gsa.Canales)
        canales.append(latin1(channel));
    Q_EMIT SatDOP(latin1(gsa.Modo), canales, gsa.PDOP, gsa.HDOP, gsa.VDOP);
}

void GPS::onSentence(std::string_view sentence)
{
    if (!sentence.empty() && sentence.front() == '$')
        Q_EMIT sentenceReceived();
}

void GPS::onSatelliteStatus(const gps::Gsv& gsv)
{
    m_lastGsv = gsv;
    m_lastGsvTalker = QString::fromStdString(m_pipeline.talker());
    Q_EMIT SatelliteStatus(gsv.InView, toList(gsv.Ids), toList(gsv.Els), toList(gsv.Azs), toList(gsv.Sigs));
}
