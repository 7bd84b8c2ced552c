#pragma once
// The Map button's entries and the Save CSV button: new maps, load, save, web page, picture
// and the AP list as comma-separated text. Under a script the file name comes from CDG and no
// dialog or question is shown.
#include "ui/AppContext.h"
#include "map/MapService.h"

namespace aero {

// The one question before the open map is replaced or the program ends: a changed map is
// offered for saving with Yes / No / Cancel. True when the caller may go on: nothing to lose,
// saved, or No. False on Cancel, or on Yes when the save did not happen. Scripts are never asked.
// `question` names what is about to happen; exit asks its own.
inline const QString SaveBeforeReplacing = QStringLiteral("The map has changed since it was last saved. Save it now?");
bool offerToSaveChanges(AppContext& ctx, const QString& question = SaveBeforeReplacing);

// Whether the open map holds work that is not in its file (APs without a position included).
// Selections are no change.
bool mapChanged(AppContext& ctx);

void createNewMap(AppContext& ctx, MapRegion region);
void loadMap(AppContext& ctx);
void openMapAndRebuild(AppContext& ctx, const QString& path);   // Load and the start-up open
void saveMap(AppContext& ctx);
void saveMapAs(AppContext& ctx);
void saveHtml(AppContext& ctx);
void saveImage(AppContext& ctx);
void saveCsv(AppContext& ctx);

// Rebuilds the AP table from the markers of a loaded map: name, MAC, signal, encryption and
// mode from the note, and the position from the marker itself. The live position marker is
// no AP. Returns how many markers found the table full.
int rebuildFromMarkers(AppContext& ctx);

inline constexpr const char* MapFileFilter = "Aeroplotter maps (*.kml *.kmz)|*.kml;*.kmz";
inline constexpr const char* MapSaveFilter =
    "Aeroplotter maps (*.kml)|*.kml|Aeroplotter maps with their symbols (*.kmz)|*.kmz";

} // namespace aero
