#pragma once
// A real pseudo-terminal pair for serial-line tests: the code under test opens slavePath()
// as its serial device, the test reads and writes the master side.
#include <QByteArray>
#include <QString>
#include <chrono>

namespace testing_support {

class Pty {
public:
    Pty();
    ~Pty();
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    bool isValid() const { return m_master >= 0; }
    QString slavePath() const { return m_slavePath; }
    int masterFd() const { return m_master; }

    // Writes everything to the master side (the device's output).
    bool write(const QByteArray& bytes);
    // Reads what the code under test wrote, waiting up to `timeout` for at least `atLeast` bytes
    // while the Qt event loop keeps running.
    QByteArray read(std::size_t atLeast, std::chrono::milliseconds timeout);
    // Reads whatever is available now, without waiting.
    QByteArray readAvailable();

private:
    int m_master = -1;
    int m_slave = -1;   // kept open so the line does not hang up between opens of the device
    QString m_slavePath;
};

} // namespace testing_support
