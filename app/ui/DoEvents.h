#pragma once
// Yielding to the event loop during long work. Per-record yields are time-sliced: events are
// processed at most every 20 ms, so a yield per record costs nothing on a 100000-line file
// while the window still repaints and timers tick.
#include <chrono>
#include <functional>

namespace aero {

void DoEvents();        // time-sliced
void DoEventsNow();     // always processes pending events

// Runs the event loop until `done()` is true or `timeout` passes; returns done().
bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

// Runs the event loop for `duration`.
void waitFor(std::chrono::milliseconds duration);

} // namespace aero
