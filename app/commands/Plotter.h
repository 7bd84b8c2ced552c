#pragma once
// Puts every access point of the table that has coordinates and no marker yet on the map,
// frames the view around all of them and reports the import complete.
#include "ui/AppContext.h"

#include <functional>

namespace aero {

// Returns the spoken summary when voice output is on, else an empty text. `reportComplete`
// false plots without saying "Import complete!" (the import tells what went wrong instead).
QString General_GenerarAPs(AppContext& ctx, bool reportComplete = true);

// Adds the nine AP symbols to `map` when it holds exactly the built-in ones.
void addCustomSymbols(MapService& map, const QString& programFolder);

// The window-free core of plotting: a marker for every record with coordinates and none yet
// (`progress` is told the slot reached), then the view framed around all records.
void plotTable(APList& table, MapService& map, const std::function<void(int slot)>& progress = {});
void frameTable(const APList& table, MapService& map);

} // namespace aero
