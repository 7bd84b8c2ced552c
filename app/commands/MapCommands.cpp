#include "commands/MapCommands.h"

#include "ui/DoEvents.h"
#include "ui/ErrorReport.h"
#include "domain/ApSymbols.h"
#include "domain/NumberText.h"
#include "ui/PlotterWindow.h"
#include "domain/ApCsv.h"
#include "domain/AsciiText.h"
#include "domain/ApListExport.h"
#include "map/ImageExport.h"
#include "commands/Plotter.h"
#include "domain/ObservationRecords.h"
#include "domain/UnplacedAps.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace aero {
namespace {

const QString MenuRoutine = QStringLiteral("tbMain_ButtonMenuClick");

// The file to work on: the script's name under a script, else the user's choice.
QString chooseFile(AppContext& ctx, const QString& filter, bool save, const QString& proposed = {})
{
    if (ctx.state.ScriptRunning)
        return ctx.CDG.FileName;
    const FileRequest request{filter, {}, proposed};
    const QString path = save ? ctx.dialogs.saveFile(request) : ctx.dialogs.openFile(request);
    if (!path.isEmpty())
        ctx.CDG.FileName = path;
    return path;
}

bool mayOverwrite(AppContext& ctx, const QString& path, const QString& question)
{
    if (ctx.state.ScriptRunning || !QFileInfo::exists(path))
        return true;
    return ctx.dialogs.message(question, Icon::Question, Buttons::YesNo) == Answer::Yes;
}

void tell(AppContext& ctx, const QString& text, Icon icon)
{
    if (!ctx.state.ScriptRunning)
        ctx.dialogs.message(text, icon);
}

void forBothMaps(AppContext& ctx, const std::function<void(MapService&)>& work)
{
    work(*ctx.Mapa);
    if (ctx.upMap)
        work(*ctx.upMap);
}

void clearLists(AppContext& ctx)
{
    ctx.window->lstAP().clear();
    ctx.window->lstNoGps().clear();
}

// APs without a position are kept in the map file: a save writes what the table holds now.
void keepUnplacedAps(AppContext& ctx)
{
    QStringList records;
    for (int i = 1; i <= ctx.apList.count(); ++i)
        if (!ctx.apList.at(i).hasCoordinates())
            records << encodeUnplacedAp(ctx.apList.at(i));
    ctx.Mapa->setProgramData(UnplacedApKey, records);
    ctx.Mapa->setProgramData(ObservationKey, observationRecords(ctx.apList));   // what the logs said, too
}

// Returns how many did not fit into the table.
int restoreUnplacedAps(AppContext& ctx)
{
    std::vector<APListModel::Row> rows;
    int left = 0;
    for (const QString& text : ctx.Mapa->programData(UnplacedApKey)) {
        const auto ap = decodeUnplacedAp(text);
        if (!ap)
            continue;
        if (ctx.apList.NextAP > APList::Capacity) {
            ++left;
            continue;
        }
        rows.push_back({ap->SSID, listedEncrypted(*ap) ? APListModel::EncryptedImage : APListModel::OpenImage, false,
                        ctx.apList.NextAP});
        ctx.apList.append(*ap);
    }
    ctx.window->lstNoGps().setRows(std::move(rows));
    return left;
}

// One message naming what the file held that the map could not keep.
void tellWhatWasNotKept(AppContext& ctx)
{
    QStringList parts;
    for (const auto& [kind, count] : ctx.Mapa->loadReport().notKept)
        parts << QStringLiteral("%1 %2").arg(count).arg(kind);
    if (!parts.isEmpty())
        ctx.dialogs.message(QStringLiteral("Not everything in this map file could be shown, and saving will leave it out: ")
                                + parts.join(QStringLiteral(", ")) + QLatin1Char('.'),
                            Icon::Exclamation);
}

// Save in place would overwrite a file that held more than the map shows (or another program's
// layout of it): such a save goes through the dialog, which asks before overwriting.
bool mustAskBeforeSavingInPlace(const MapService& map)
{
    return map.loadReport().foreign || !map.loadReport().notKept.empty();
}

} // namespace

bool offerToSaveChanges(AppContext& ctx)
{
    if (ctx.state.ScriptRunning || !ctx.state.MapLoaded)
        return true;
    MapService& map = *ctx.Mapa;
    keepUnplacedAps(ctx);
    const bool nothingToLose =
        map.markerCount() == 0 && map.ShapeCount() == 0 && map.programData(UnplacedApKey).isEmpty();
    if (map.isSaved() || nothingToLose)
        return true;
    const Answer a = ctx.dialogs.message(QStringLiteral("The map has changed since it was last saved. Save it now?"),
                                         Icon::Question, Buttons::YesNoCancel);
    if (a == Answer::No)
        return true;
    if (a != Answer::Yes)
        return false;   // Cancel keeps everything as it is
    saveMap(ctx);
    return map.isSaved();   // a cancelled or failed save keeps everything too
}

void createNewMap(AppContext& ctx, MapRegion region)
{
    if (!offerToSaveChanges(ctx))
        return;
    try {
        ctx.window->setFraAPsCaption(QStringLiteral("Logged APs:"));
        forBothMaps(ctx, [&](MapService& m) {
            m.NewRegionMap(region);
            m.setViewStyle(3);
        });
        clearLists(ctx);
        ctx.state.MapLoaded = true;
        ctx.state.MapHasFile = false;
        ctx.apList.clear();
        ctx.apList.NextAP = 0;
        ctx.window->setLblNoAPsCaption(QStringLiteral("APs with no GPS coordinates: 0"));
        forBothMaps(ctx, [&](MapService& m) { addCustomSymbols(m, ctx.programFolder); });
        ctx.window->applyViewSettings();
    } catch (const AppError& e) {
        if (e.code == errors::RegionNotInstalled)
            ctx.dialogs.message(QStringLiteral("The selected map is not installed on this system."), Icon::Information);
        else
            ShowErrorReport(ctx.dialogs, MenuRoutine, e.code, e.description);
    }
}

int rebuildFromMarkers(AppContext& ctx)
{
    MapService& map = *ctx.Mapa;
    APList& table = ctx.apList;
    table.NextAP = 1;
    std::vector<APListModel::Row> rows;
    int left = 0;
    for (MarkerId id : map.EnumerateMarkers()) {
        AccessPoint r;
        r.SSID = map.markerName(id);
        if (r.SSID.isEmpty())
            continue;   // an empty name would end the table's run of used slots
        const int symbol = map.markerSymbol(id);
        if (symbol == PositionSymbol && r.SSID == QLatin1String("Stumbler"))
            continue;   // the live position, saved by older versions: never an AP
        if (table.NextAP > APList::Capacity) {
            ++left;
            continue;
        }
        readApNote(map.markerNote(id), r);
        if (isApSymbol(symbol))
            rows.push_back({r.SSID, isEncryptedApSymbol(symbol) ? APListModel::EncryptedImage : APListModel::OpenImage, false,
                            table.NextAP});
        else if (symbol == FilteredSymbol)   // marked by a filter: listed in red, its icon from its note
            rows.push_back({r.SSID, listedEncrypted(r) ? APListModel::EncryptedImage : APListModel::OpenImage, true,
                            table.NextAP});
        const Location where = map.markerLocation(id);
        r.Latitude = where.lat;
        r.Longitude = where.lon;
        r.Plotted = true;
        table.append(r);
        DoEvents();
    }
    ctx.window->lstAP().setSortingEnabled(false);
    ctx.window->lstAP().setRows(std::move(rows));
    ctx.window->lstAP().setSortingEnabled(true);
    ctx.window->setFraAPsCaption(QStringLiteral("AP List: %1 logged").arg(ctx.window->lstAP().count()));
    return left;
}

void openMapAndRebuild(AppContext& ctx, const QString& path)
{
    // Opening replaces the open map only once the file has been read whole, so a broken or
    // missing file leaves the map, the AP list and the lists as they were.
    ctx.Mapa->OpenMapFile(path);
    ctx.state.MapLoaded = true;   // shown from here on, whatever the rebuild meets
    ctx.state.MapHasFile = true;
    if (ctx.upMap) {
        ctx.upMap->MarkSaved();
        ctx.upMap->OpenMapFile(path);
    }
    ctx.apList.clear();
    ctx.apList.NextAP = 0;
    clearLists(ctx);
    int left = ctx.Mapa->MarkerSetCount() >= 1 ? rebuildFromMarkers(ctx) : 0;
    left += restoreUnplacedAps(ctx);
    restoreObservations(ctx.apList, ctx.Mapa->programData(ObservationKey));
    ctx.window->setLblNoAPsCaption(QStringLiteral("APs with no GPS coordinates: %1").arg(ctx.window->lstNoGps().count()));
    forBothMaps(ctx, [&](MapService& m) { addCustomSymbols(m, ctx.programFolder); });
    ctx.window->applyViewSettings();
    tellWhatWasNotKept(ctx);
    if (left > 0)
        ctx.dialogs.message(QStringLiteral("The AP list holds at most %1 APs: %2 APs of this map are on the map but not in the list.")
                                .arg(APList::Capacity)
                                .arg(left),
                            Icon::Exclamation);
}

void loadMap(AppContext& ctx)
{
    guarded(ctx.dialogs, MenuRoutine, [&] {
        if (!offerToSaveChanges(ctx))
            return;
        const QString path = chooseFile(ctx, QString::fromLatin1(MapFileFilter), false);
        if (path.isEmpty())
            return;
        openMapAndRebuild(ctx, path);
    });
}

void saveMap(AppContext& ctx)
{
    guarded(ctx.dialogs, MenuRoutine, [&] {
        if (!ctx.state.MapLoaded) {
            ctx.dialogs.message(QStringLiteral("There is no map to save."), Icon::Exclamation);
            return;
        }
        if (!ctx.state.MapHasFile || mustAskBeforeSavingInPlace(*ctx.Mapa)) {
            saveMapAs(ctx);
            return;
        }
        keepUnplacedAps(ctx);
        ctx.Mapa->SaveMapFile();
        ctx.dialogs.message(QStringLiteral("Map file saved!"), Icon::None);
    });
}

void saveMapAs(AppContext& ctx)
{
    guarded(ctx.dialogs, MenuRoutine, [&] {
        if (!ctx.state.MapLoaded) {
            ctx.dialogs.message(QStringLiteral("There is no map to save."), Icon::Exclamation);
            return;
        }
        QString proposed = ctx.settings.isOn(QStringLiteral("LoadCustom"))
                               ? ctx.settings.value(QStringLiteral("CustomMapName")) : QString();
        if (ctx.state.MapHasFile)
            proposed = ctx.Mapa->fileName();
        const QString path = chooseFile(ctx, QString::fromLatin1(MapSaveFilter), true, proposed);
        if (path.isEmpty())
            return;
        if (!mayOverwrite(ctx, path, QStringLiteral("Map file already exists, overwrite?")))
            return;
        keepUnplacedAps(ctx);
        ctx.Mapa->SaveMapFileAs(path);
        ctx.state.MapHasFile = true;
        tell(ctx, QStringLiteral("Map file saved!"), Icon::None);
    });
}

void saveHtml(AppContext& ctx)
{
    guarded(ctx.dialogs, MenuRoutine, [&] {
        if (!ctx.state.MapLoaded) {
            ctx.dialogs.message(QStringLiteral("There is no map to save."), Icon::Exclamation);
            return;
        }
        const QString path = chooseFile(ctx, QStringLiteral("HTML files (*.html)|*.html"), true);
        if (path.isEmpty() || !mayOverwrite(ctx, path, QStringLiteral("HTML file already exists, overwrite?")))
            return;
        ctx.Mapa->PublishWebPage(path, QStringLiteral("Aeroplotter AP Log File"));
        tell(ctx, QStringLiteral("Map HTML file saved!"), Icon::Information);
    });
}

// A script's pictures take the "PictureSize" setting ("1600x1200"); the user's, the view's size.
QSize pictureSize(const AppContext& ctx)
{
    if (!ctx.state.ScriptRunning)
        return {};
    static const QRegularExpression form(QStringLiteral("^\\s*(\\d{2,5})\\s*[xX*]\\s*(\\d{2,5})\\s*$"));
    const auto m = form.match(ctx.settings.value(QStringLiteral("PictureSize")));
    constexpr int Largest = 8000;   // 256 MB of pixels at most
    if (!m.hasMatch())
        return {1600, 1200};
    return {std::clamp(m.captured(1).toInt(), 16, Largest), std::clamp(m.captured(2).toInt(), 16, Largest)};
}

void saveImage(AppContext& ctx)
{
    guarded(ctx.dialogs, MenuRoutine, [&] {
        if (!ctx.state.MapLoaded) {
            ctx.dialogs.message(QStringLiteral("There is no map view to save as bitmap."), Icon::Exclamation);
            return;
        }
        const QString path =
            chooseFile(ctx, QStringLiteral("Bitmap files (*.bmp)|*.bmp|PNG images (*.png)|*.png"), true);
        if (path.isEmpty() || !mayOverwrite(ctx, path, QStringLiteral("Bitmap file already exists, overwrite?")))
            return;
        if (const SaveResult saved = saveViewImage(ctx.Mapa->picture(pictureSize(ctx)), path); !saved)
            throw AppError(errors::FileAccess, QStringLiteral("Path/File access error: %1 (%2)").arg(path, saved.error));
        tell(ctx, QStringLiteral("Map bitmap file saved!"), Icon::Information);
    });
}

void saveCsv(AppContext& ctx)
{
    guarded(ctx.dialogs, QStringLiteral("tbMain_ButtonClick"), [&] {
        // The program's CSV stays the first filter; GPX, GeoJSON and WiGLE CSV follow it.
        const QString filter = QString::fromLatin1(ApListFilter);
        QString path = chooseFile(ctx, filter, true);
        if (path.isEmpty())
            return;
        ApListFormat format = apListFormatOfName(path);
        if (!ctx.state.ScriptRunning) {
            format = apListFormatOfFilter(ctx.dialogs.chosenFilter());
            path = withFilterExtension(path, filter, ctx.dialogs.chosenFilter());
        }
        if (const SaveResult saved = saveApList(ctx.apList, path, format); !saved)
            throw AppError(errors::FileAccess, QStringLiteral("Path/File access error: %1 (%2)").arg(path, saved.error));
        const qint64 unplaced = unplacedApCount(ctx.apList, format);
        tell(ctx, QStringLiteral("File saved!"), Icon::None);
        if (unplaced > 0)
            ctx.dialogs.message(QStringLiteral("%1 access points without a position were left out of %2: the format "
                                               "needs one.")
                                    .arg(unplaced)
                                    .arg(path),
                                Icon::Information);
    });
}

} // namespace aero
