#pragma once
// Every interval of the two transfer windows in one place. Intervals pass through one scale
// factor so tests can run a five-second answer time-out in a fraction of a second.
#include <algorithm>
#include <cmath>

namespace aero::transfer {

inline constexpr int ActMs = 250;        // tmrAct: the transfer starts this long after opening
inline constexpr int TimeOutMs = 5000;   // tmrTimeOut: limit for the receiver's answer
inline constexpr int PauseMs = 2000;     // tmrPause: fixed pauses of the download
inline constexpr int DoneMs = 500;       // tmrDone: the closing text follows the end of the transfer after this
inline constexpr int UpdateMs = 250;     // tmrUpdate: progress text while points arrive
inline constexpr int CloseMs = 2500;     // tmrClose: the download window closes after a failure

// Track points between two yields to the event loop while a download is drawn.
inline constexpr int LinesPerYield = 145;
// Points of one polyline; a longer segment is drawn as joined pieces of this size.
inline constexpr int SegmentBufferPoints = 3000;
// A segment with fewer points is not drawn.
inline constexpr int MinSegmentPoints = 5;

class Timing {
public:
    static double scale() { return s_scale; }
    static void setScale(double factor) { s_scale = factor > 0 ? factor : 1.0; }
    static int ms(int baseMs) { return std::max(1, static_cast<int>(std::lround(baseMs * s_scale))); }

private:
    static inline double s_scale = 1.0;
};

} // namespace aero::transfer
