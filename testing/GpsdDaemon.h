#pragma once
// A real gpsd for tests: started in the foreground on a private port and socket, reading a
// pseudo-terminal that a paced "receiver" feeds with NMEA; stopped and started again at will.
#include "Pty.h"

#include <QProcess>
#include <QString>
#include <QTimer>

#include <string>
#include <vector>

namespace testing_support {

// gpsd on PATH or in the system folders; empty when it is not installed.
QString gpsdProgram();
quint16 freeLoopbackPort();

// Writes a receiver's NMEA cycle into the pty, one sentence every 100 ms, and drains whatever
// gpsd writes back so the line never blocks.
class PacedReceiver : public QObject {
public:
    PacedReceiver(Pty& pty, std::vector<std::string> cycle);
    void setCycle(std::vector<std::string> cycle) { m_cycle = std::move(cycle); }

private:
    Pty& m_pty;
    QTimer m_timer;
    std::size_t m_next = 0;
    std::vector<std::string> m_cycle;
};

class GpsdDaemon {
public:
    GpsdDaemon(QString program, QString device, quint16 port, QString socketPath);
    ~GpsdDaemon() { stop(); }
    GpsdDaemon(const GpsdDaemon&) = delete;
    GpsdDaemon& operator=(const GpsdDaemon&) = delete;

    // True once it accepts connections (waits up to 20 s on a busy machine).
    bool start();
    void stop();
    quint16 port() const { return m_port; }

private:
    QString m_program;
    QString m_device;
    quint16 m_port;
    QString m_socket;
    QProcess m_process;
};

} // namespace testing_support
