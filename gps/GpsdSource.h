#pragma once
// NMEA relayed by a gpsd daemon over TCP. After the first successful connection the source
// keeps itself alive: when gpsd goes away it reports it and tries again at a fixed interval.
#include "GpsdLineFilter.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTcpSocket>
#include <QTimer>

#include <optional>

namespace gps {

// An error of the platform layer, as the control reports it: its number and description.
struct SourceError {
    int code = 0;
    QString description;
};

inline constexpr char GpsdWatchCommand[] = "?WATCH={\"enable\":true,\"nmea\":true}\n";

class GpsdSource : public QObject {
    Q_OBJECT
public:
    explicit GpsdSource(QObject* parent = nullptr);

    // Connects, waiting up to the connect time-out, and asks for NMEA; the error when it fails.
    std::optional<SourceError> start(const QString& host, quint16 port);
    // Closes the connection and stops reconnecting.
    void stop();
    bool isActive() const { return m_active; }

Q_SIGNALS:
    // NMEA text, JSON removed, each line ended by a carriage return.
    void received(const QByteArray& nmea);
    void debugText(const QString& text);
    // The daemon went away (once per outage, with the system's reason) and came back.
    void lost(const QString& reason);
    void restored();

private:
    void onConnected();
    void onReadyRead();
    void onConnectionLost();
    void retry();
    void sendWatch();

    QTcpSocket m_socket;
    QTimer m_retryTimer;
    GpsdLineFilter m_filter;
    std::string m_nmea;
    QString m_host;
    quint16 m_port = 0;
    bool m_active = false;
    bool m_lost = false;
};

} // namespace gps
