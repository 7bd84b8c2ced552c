#include "Pty.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <cerrno>
#include <unistd.h>

namespace testing_support {

bool Pty::write(const QByteArray& bytes)
{
    qsizetype done = 0;
    QElapsedTimer timer;
    timer.start();
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_pair.master(), bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        if (timer.elapsed() > 5000)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

QByteArray Pty::readAvailable()
{
    QByteArray out;
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(m_pair.master(), buf, sizeof buf);
        if (n <= 0)
            break;
        out.append(buf, n);
    }
    return out;
}

QByteArray Pty::read(std::size_t atLeast, std::chrono::milliseconds timeout)
{
    QByteArray out;
    QElapsedTimer timer;
    timer.start();
    while (static_cast<std::size_t>(out.size()) < atLeast && timer.elapsed() < timeout.count()) {
        out += readAvailable();
        if (static_cast<std::size_t>(out.size()) >= atLeast)
            break;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::usleep(500);
    }
    return out;
}

} // namespace testing_support
