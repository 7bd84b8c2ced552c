#include "ui/DoEvents.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace aero {
namespace {

constexpr qint64 SliceMs = 20;

QElapsedTimer& clock()
{
    static QElapsedTimer timer;
    if (!timer.isValid())
        timer.start();
    return timer;
}

} // namespace

void DoEvents()
{
    if (clock().elapsed() < SliceMs)
        return;
    DoEventsNow();
}

void DoEventsNow()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    clock().restart();
}

bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (!done()) {
        const qint64 left = timeout.count() - elapsed.elapsed();
        if (left <= 0)
            return done();
        QEventLoop loop;
        QTimer::singleShot(std::min<qint64>(left, 10), &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

void waitFor(std::chrono::milliseconds duration)
{
    QEventLoop loop;
    QTimer::singleShot(duration, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace aero
