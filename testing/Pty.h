#pragma once
// A real pseudo-terminal pair for serial-line tests: the code under test opens slavePath()
// as its serial device, the test reads and writes the master side.
#include "PtyPair.h"

#include <QByteArray>
#include <QString>
#include <chrono>

namespace testing_support {

class Pty {
public:
    Pty() = default;

    bool isValid() const { return m_pair.isValid(); }
    QString slavePath() const { return QString::fromStdString(m_pair.slavePath()); }
    int masterFd() const { return m_pair.master(); }

    // Writes everything to the master side (the device's output).
    bool write(const QByteArray& bytes);
    // Reads what the code under test wrote, waiting up to `timeout` for at least `atLeast` bytes
    // while the Qt event loop keeps running.
    QByteArray read(std::size_t atLeast, std::chrono::milliseconds timeout);
    // Reads whatever is available now, without waiting.
    QByteArray readAvailable();

private:
    aero::PtyPair m_pair;
};

} // namespace testing_support
