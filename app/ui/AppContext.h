#pragma once
// What every command of the program works on: the AP table, the options, the dialogs, the two
// maps and the main window, with the application state flags. The composition root creates the
// objects and hands this context to every module; nothing here is a hidden global.
#include "domain/APList.h"
#include "ui/Dialogs.h"
#include "domain/Settings.h"
#include "domain/TrackLog.h"

#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <utility>

namespace aero {

class MapService;
class PlotterWindow;

struct AppState {
    bool MapLoaded = false;
    bool GPSEnabled = false;
    bool ScriptRunning = false;
    bool Exiting = false;
    QString ShowAPNames = QStringLiteral("0");   // starts "0" so the first click shows the names
    bool PositionTick = false;
    bool MapMouseDown = false;
    bool MapHasFile = false;
    bool ScriptInputActive = false;   // set and cleared through the automation class
};

// The main window's file dialog: scripts put a file name here and the commands take it instead
// of showing the dialog.
struct FileDialogState {
    QString FileName;
    // A file the user already named (dropped on the window, or picked from a recent list): the
    // next file dialog takes it instead of showing.
    QString handedOver;
};

using ColorRampTable = std::array<float, 161>;

struct AppContext {
    AppContext(Settings& s, APList& a, Dialogs& d) : settings(s), apList(a), dialogs(d) {}
    Settings& settings;
    APList& apList;
    Dialogs& dialogs;
    MapService* Mapa = nullptr;          // the main window's map
    MapService* upMap = nullptr;         // the map of the waypoint upload window
    PlotterWindow* window = nullptr;     // set by the composition root
    AppState state;
    FileDialogState CDG;
    ColorRampTable ColorRamp{};
    // Disconnects live GPS (set by the composition root).
    std::function<void()> disconnectGps;
    // Offers a changed map for saving before it is closed, with `question` (set by the composition
    // root); false when the user cancelled.
    std::function<bool(const QString& question)> offerToSaveChanges;
    // Whether the open map holds work not in its file (set by the composition root).
    std::function<bool()> mapChanged;
    // Read-only files shipped with the program (Icons/, base map data).
    QString programFolder;
    // Reads an OpenStreetMap extract into the map's cache (set by the composition root): true when
    // the map can draw it, with a line for the user either way. `progress` gets 0..100, false cancels.
    std::function<std::pair<bool, QString>(const QString& extract, const std::function<bool(int)>& progress)> readMapData;
    // Applies the map-data settings to the open maps (set by the composition root).
    std::function<void()> mapDataChanged;
    // Re-places the APs by the "PositionMethod" option and moves their markers (set by the
    // composition root).
    std::function<void()> positionMethodChanged;
    // The track a script's $TRACK set: the imports after it place their timed APs by it.
    std::optional<track::Track> importTrack;
};

// The main window's file dialog: the file handed over if there is one, else the user's choice
// (empty when cancelled).
QString openFileDialog(AppContext& ctx, const FileRequest& request);

// Lets the event loop run during long work; throws OperationCancelled once the program ends.
void yieldOrStop(const AppContext& ctx);

// Fills the comparison colour ramp: three runs of 26 colours (red to yellow, yellow to green,
// green to cyan) as red + 256*green + 65536*blue.
void ColorArray(ColorRampTable& ramp);

} // namespace aero
