#include "live/FixWatchdog.h"

#include <algorithm>

namespace aero {

void FixWatchdog::start(std::int64_t now)
{
    m_start = m_lastData = m_lastFix = now;
    m_hadFix = m_voidSinceFix = false;
}

void FixWatchdog::sentence(std::int64_t now) { m_lastData = now; }

void FixWatchdog::validFix(std::int64_t now)
{
    m_lastData = m_lastFix = now;
    m_hadFix = true;
    m_voidSinceFix = false;
}

void FixWatchdog::voidFix(std::int64_t now)
{
    m_lastData = now;
    m_voidSinceFix = true;
}

FixState FixWatchdog::state(std::int64_t now) const
{
    if (now - m_lastData > LimitMs)
        return FixState::NoData;
    if (m_hadFix && !m_voidSinceFix && now - m_lastFix <= LimitMs)
        return FixState::Live;
    // Data flows: a void report says so at once; otherwise the receiver gets the limit to fix.
    if (m_voidSinceFix || now - std::max(m_start, m_lastFix) > LimitMs)
        return FixState::NoFix;
    return FixState::Waiting;
}

} // namespace aero
