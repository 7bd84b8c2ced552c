#pragma once
// A pseudo-terminal pair in raw mode, standing in for a serial line: the program under test
// opens slavePath() as its device, the other side reads and writes master(). The slave side
// stays open as long as the pair lives, so the line never hangs up when the device is closed
// and opened again. Plain C++ (no Qt), for the tools and the tests alike.
#include <string>

namespace aero {

class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool isValid() const { return m_master >= 0; }
    // Non-blocking.
    int master() const { return m_master; }
    const std::string& slavePath() const { return m_slavePath; }
    // errno of a failed opening.
    int error() const { return m_error; }

private:
    int m_master = -1;
    int m_slave = -1;
    int m_error = 0;
    std::string m_slavePath;
};

} // namespace aero
