#pragma once
// Tells apart what a live GPS connection is doing, from the times things last happened: nothing
// heard for a while, sentences without a valid fix, or a live fix. Pure: the caller passes the
// clock (milliseconds of a monotonic clock), so tests need no waiting.
#include <cstdint>

namespace aero {

enum class FixState {
    Waiting,   // connected, no fix yet and not yet overdue
    Live,      // a valid fix within the limit
    NoData,    // nothing received for longer than the limit
    NoFix,     // sentences arrive, but the receiver says its fix is void or none came in time
};

class FixWatchdog {
public:
    static constexpr std::int64_t LimitMs = 5000;

    // A new connection: everything before it is forgotten.
    void start(std::int64_t now);
    void sentence(std::int64_t now);
    void validFix(std::int64_t now);
    void voidFix(std::int64_t now);

    FixState state(std::int64_t now) const;
    bool hadFix() const { return m_hadFix; }
    std::int64_t sinceData(std::int64_t now) const { return now - m_lastData; }
    std::int64_t sinceFix(std::int64_t now) const { return now - m_lastFix; }   // meaningful with hadFix()

private:
    std::int64_t m_start = 0;
    std::int64_t m_lastData = 0;
    std::int64_t m_lastFix = 0;
    bool m_hadFix = false;
    bool m_voidSinceFix = false;   // the receiver's last word on the fix was "void"
};

} // namespace aero
