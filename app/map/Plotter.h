#pragma once
// Puts every access point of the table that has coordinates and no marker yet on the map,
// frames the view around all of them and reports the import complete.
#include "core/AppContext.h"

namespace aero {

// Returns the spoken summary when voice output is on, else an empty text.
QString General_GenerarAPs(AppContext& ctx);

// Adds the nine AP symbols to `map` when it holds exactly the built-in ones.
void addCustomSymbols(MapService& map, const QString& programFolder);

} // namespace aero
