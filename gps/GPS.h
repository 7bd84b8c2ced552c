#pragma once
// The NMEA GPS control: listens to a receiver speaking NMEA 0183 on a serial port (or to the
// NMEA a gpsd daemon relays, or to any open QIODevice) and reports what it hears as signals.
// Public names are the control's historical Spanish ones; methods never throw into the host.
#include "NmeaPipeline.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

class QIODevice;
class QSerialPort;

namespace gps {
class GpsdSource;
struct SourceError;
} // namespace gps

class GPS : public QObject, private gps::NmeaSink {
    Q_OBJECT
    Q_PROPERTY(bool IgnoreValid READ IgnoreValid WRITE setIgnoreValid)
    Q_PROPERTY(bool AllTalkers READ AllTalkers WRITE setAllTalkers)
public:
    explicit GPS(QObject* parent = nullptr);
    ~GPS() override;

    // Opens serial port number `Puerto` (its device comes from the port map) at `Velocidad`
    // bits per second, no parity, 8 data bits, 1 stop bit. 0 when open, 1 otherwise; failures
    // are explained through DebugPrint, except a call while already connected.
    short Conectar(short Puerto, bool IgnoreValidFlag, const QString& Velocidad);
    // The same on an explicit device path ("/dev/ttyUSB0", "/dev/pts/3").
    short Conectar(const QString& device, bool IgnoreValidFlag, const QString& Velocidad);
    // Reads the NMEA a gpsd daemon relays; same results and rules as Conectar. Once connected,
    // a lost daemon is reported and reconnected until Desconectar.
    short ConectarGpsd(const QString& host, quint16 port, bool IgnoreValidFlag = false);
    // Reads an already open device the caller owns; same results and rules as Conectar.
    short connectDevice(QIODevice* device, bool IgnoreValidFlag);
    // Closes whatever source is open; does nothing when none is.
    void Desconectar();

    bool IgnoreValid() const { return m_pipeline.ignoreValid(); }
    void setIgnoreValid(bool ignoreValid) { m_pipeline.setIgnoreValid(ignoreValid); }
    // False (the control's own rule): only "$GP" sentences are decoded. True: the same five
    // sentence types from every satellite system's talker (GN, GL, GA, GB, BD, GI, GQ, QZ, IN),
    // decoded exactly alike; a second talker's RMC for the fix just reported is dropped.
    bool AllTalkers() const { return m_pipeline.talkers() == gps::Talkers::AllGnss; }
    void setAllTalkers(bool all) { m_pipeline.setTalkers(all ? gps::Talkers::AllGnss : gps::Talkers::GpsOnly); }
    bool isConnected() const { return m_source != Source::None; }
    // Why the last Conectar failed or the open port was lost, for the host to show; empty after
    // a successful Conectar.
    QString lastError() const { return m_lastError; }

    // Handles received characters as if they came from the open source.
    void receive(const QByteArray& bytes);

    QString BufferRX() const;
    // Satellite data of the last GSV sentence, and its talker ("GP", "GL", "GA"...): each
    // satellite system sends its own GSV sequence, and SatelliteStatus reports one sentence.
    QString SatelliteTalker() const { return m_lastGsvTalker; }
    const std::array<float, gps::Gsv::SlotCount>& Ids() const { return m_lastGsv.Ids; }
    const std::array<float, gps::Gsv::SlotCount>& Els() const { return m_lastGsv.Els; }
    const std::array<float, gps::Gsv::SlotCount>& Azs() const { return m_lastGsv.Azs; }
    const std::array<float, gps::Gsv::SlotCount>& Sigs() const { return m_lastGsv.Sigs; }

Q_SIGNALS:
    void Posicion(bool Validez, const QString& Hora, double Latitud, double Longitud, float Velocidad, float Rumbo);
    void FechaHora(const QString& HoraUTC, const QString& FechaUTC, float Zona);
    void SatDOP(const QString& Modo, const QStringList& Canales, float PDOP, float HDOP, float VDOP);
    void SatelliteStatus(float InView, const QList<float>& Ids, const QList<float>& Els, const QList<float>& Azs,
                         const QList<float>& Sigs);
    void DebugPrint(const QString& Cadena);
    // The open serial port was closed because its device went away (`reason` as lastError()).
    void connectionLost(const QString& reason);
    // gpsd went away; the control keeps trying to reach it until Desconectar.
    void connectionInterrupted(const QString& reason);
    // gpsd is back after connectionInterrupted.
    void connectionRestored();
    // A sentence arrived (any "$" sentence, decoded or not): the receiver is talking.
    void sentenceReceived();

private:
    enum class Source { None, Serial, Device, Gpsd };

    short finishConnect(Source source, const std::optional<gps::SourceError>& failure);
    void readSerial();
    void readDevice();
    void closeSerialOnError();

    void debugText(std::string_view prefix, std::string_view text) override;
    void onPosicion(const gps::Rmc& rmc) override;
    void onFechaHora(const gps::Zda& zda) override;
    void onSatDOP(const gps::Gsa& gsa) override;
    void onSatelliteStatus(const gps::Gsv& gsv) override;
    void onSentence(std::string_view sentence) override;

    gps::NmeaPipeline m_pipeline{*this};
    QSerialPort* m_port = nullptr;
    gps::GpsdSource* m_gpsd = nullptr;
    QPointer<QIODevice> m_device;
    Source m_source = Source::None;
    gps::Gsv m_lastGsv;
    QString m_lastGsvTalker;
    QByteArray m_pending;
    QString m_lastError;
    bool m_feeding = false;
};
