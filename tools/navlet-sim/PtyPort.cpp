#include "PtyPort.h"

#include <cerrno>
#include <unistd.h>

namespace {
// A receiver nobody listens to does not need more history than this.
constexpr qsizetype PendingLimit = 1 << 20;
} // namespace

PtyPort::PtyPort(QObject* parent)
    : QObject(parent)
{
    if (!m_pair.isValid())
        return;
    m_readNotifier = new QSocketNotifier(m_pair.master(), QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &PtyPort::onReadable);
    m_writeNotifier = new QSocketNotifier(m_pair.master(), QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &PtyPort::flush);
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
        const ssize_t n = ::write(m_pair.master(), m_pending.constData(), static_cast<size_t>(m_pending.size()));
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
        const ssize_t n = ::read(m_pair.master(), buf, sizeof buf);
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
