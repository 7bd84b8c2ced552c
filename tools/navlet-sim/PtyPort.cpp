#include "PtyPort.h"

#include <cerrno>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {
// A receiver nobody listens to does not need more history than this.
constexpr qsizetype PendingLimit = 1 << 20;
} // namespace

PtyPort::PtyPort(QObject* parent)
    : QObject(parent)
{
    char name[256] = {};
    termios tio{};
    cfmakeraw(&tio);
    if (openpty(&m_master, &m_slave, name, &tio, nullptr) != 0) {
        m_master = m_slave = -1;
        return;
    }
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_slavePath = QString::fromLocal8Bit(name);
    m_readNotifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &PtyPort::onReadable);
    m_writeNotifier = new QSocketNotifier(m_master, QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &PtyPort::flush);
}

PtyPort::~PtyPort()
{
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
}

void PtyPort::write(const QByteArray& bytes)
{
    if (!isValid())
        return;
    m_pending += bytes;
    if (m_pending.size() > PendingLimit)
        m_pending.remove(0, m_pending.size() - PendingLimit);
    flush();
}

void PtyPort::flush()
{
    while (!m_pending.isEmpty()) {
        const ssize_t n = ::write(m_master, m_pending.constData(), static_cast<size_t>(m_pending.size()));
        if (n > 0) {
            m_pending.remove(0, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break; // EAGAIN: wait until the line drains
    }
    m_writeNotifier->setEnabled(!m_pending.isEmpty());
}

void PtyPort::onReadable()
{
    QByteArray in;
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buf, sizeof buf);
        if (n > 0) {
            in.append(buf, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break;
    }
    if (!in.isEmpty())
        Q_EMIT bytesArrived(in);
}
