#pragma once
// GPS entries 12 and 13 of the main window: open the track download and the waypoint upload
// windows, after the checks every GPS entry makes.
#include "ui/AppContext.h"

namespace aero {

class frmNavlet;
class frmNavletUp;

// Whether a receiver window may open now; shows the refusal when it may not.
bool mayOpenNavletDownload(AppContext& ctx);
bool mayOpenNavletUpload(AppContext& ctx);

// Switch on the window's start timer, then show it modal (not a blocking exec(): the
// transfer runs from its timers while the caller returns).
void openNavletDownload(AppContext& ctx, frmNavlet& window);
void openNavletUpload(AppContext& ctx, frmNavletUp& window);

} // namespace aero
