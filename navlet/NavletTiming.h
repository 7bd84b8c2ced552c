#pragma once
// Every interval and limit of the link in one place. Intervals pass through a TimeScale so a
// test can run the six-second silence supervision in a few milliseconds.
#include <QtGlobal>
#include <algorithm>
#include <cmath>

namespace navlet::timing {

inline constexpr int TimeoutTickMs = 1000;       // tmrTimeout
inline constexpr int SilentTicksBeforePrompt = 5; // the sixth silent tick asks the user
inline constexpr int LinkErrorsBeforePrompt = 5;  // the sixth NAK / bad checksum in a row asks
inline constexpr int NmeaErrorsBeforeWarning = 50;
inline constexpr qsizetype ReceiveBufferLimit = 4096;
// While a question is open nothing is taken from the buffer; a talking receiver cannot grow it
// beyond this.
inline constexpr qsizetype PromptBacklogLimit = 65536;

struct TimeScale {
    double factor = 1.0;
    int ms(int baseMs) const
    {
        return std::max(1, static_cast<int>(std::lround(baseMs * factor)));
    }
};

} // namespace navlet::timing
