#pragma once
// The Import button's two entries: a text summary (then the lists are refilled and the new
// APs plotted) and a Kismet network log.
#include "ui/AppContext.h"

namespace aero {

void importNetStumbler(AppContext& ctx);
void importKismet(AppContext& ctx);

// Refills lstAP and lstNoGps from the whole table and sets their captions.
void refillPanels(AppContext& ctx);

} // namespace aero
