#pragma once
// Bringing the program up and writing its options back.
#include "ui/AppContext.h"
#include "window/CommandLine.h"
#include "map/MapService.h"

#include <functional>

namespace aero {

// What start-up needs from modules that build on the core.
struct StartupHooks {
    std::function<void()> showSplash;                         // modal; returns when closed
    std::function<void(const QString&)> runScript;            // the script interpreter
    std::function<void(MapRegion)> newRegionMaps;             // new map on both map controls
    std::function<void(const QString&)> openMapFile;          // the map Load routine
    std::function<void()> addCustomSymbols;                   // the nine AP symbols when missing
};

void General_IniProg(AppContext& ctx, const CommandLine& commandLine, const StartupHooks& hooks);
void General_SaveIni(AppContext& ctx);

// Window placement from the "Screen" group (step 4 of start-up).
void restoreWindowPlacement(AppContext& ctx);

} // namespace aero
