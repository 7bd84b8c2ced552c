#pragma once
// Ends the event loop cleanly on SIGINT or SIGTERM. The handler only writes a byte to a socket
// pair (all a signal handler may safely do); a notifier turns that into a normal quit.
#include <QObject>
#include <QSocketNotifier>

#include <memory>

class QuitOnSignal : public QObject {
public:
    explicit QuitOnSignal(QObject* parent = nullptr);

private:
    std::unique_ptr<QSocketNotifier> m_notifier;
};
