#pragma once
// Moves a progress bar at most every 100 ms: QProgressBar repaints at once on every visible
// step, and a bar laid over the map would repaint the map underneath each time.
#include <QElapsedTimer>
#include <QProgressBar>

namespace aero {

class ProgressThrottle {
public:
    explicit ProgressThrottle(QProgressBar& bar) : m_bar(bar) { m_timer.start(); }

    void setValue(int value)
    {
        if (value < m_bar.maximum() && m_timer.elapsed() < IntervalMs)
            return;
        m_bar.setValue(std::min(value, m_bar.maximum()));
        m_timer.restart();
    }

private:
    static constexpr qint64 IntervalMs = 100;
    QProgressBar& m_bar;
    QElapsedTimer m_timer;
};

} // namespace aero
