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

#include <QFileInfo>
#include <QSaveFile>

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

} // namespace

void createNewMap(AppContext& ctx, MapRegion region)
{
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
        forBothMaps(ctx, [&](MapService& m) { addCustomSymbols(m, ctx.programFolder); });
        ctx.window->applyViewSettings();
    } catch (const AppError& e) {
        if (e.code == errors::RegionNotInstalled)
            ctx.dialogs.message(QStringLiteral("The selected map is not installed on this system."), Icon::Information);
        else
            ShowErrorReport(ctx.dialogs, MenuRoutine, e.code, e.description);
    }
}

void rebuildFromMarkers(AppContext& ctx)
{
    MapService& map = *ctx.Mapa;
    APList& table = ctx.apList;
    table.NextAP = 1;
    std::vector<APListModel::Row> rows;
    for (MarkerId id : map.EnumerateMarkers()) {
        AccessPoint r;
        r.SSID = map.markerName(id);
        if (r.SSID.isEmpty())
            continue;   // an empty name would end the table's run of used slots
        const int symbol = map.markerSymbol(id);
        if (isApSymbol(symbol))
            rows.push_back({r.SSID, isEncryptedApSymbol(symbol) ? APListModel::EncryptedImage : APListModel::OpenImage, false,
                            table.NextAP});
        readApNote(map.markerNote(id), r);
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
    ctx.window->setLblNoAPsCaption(QStringLiteral("APs with no GPS coordinates: 0"));
}

void openMapAndRebuild(AppContext& ctx, const QString& path)
{
    // Opening replaces the open map only once the file has been read whole, so a broken or
    // missing file leaves the map, the AP list and the lists as they were.
    ctx.Mapa->OpenMapFile(path);
    if (ctx.upMap) {
        ctx.upMap->MarkSaved();
        ctx.upMap->OpenMapFile(path);
    }
    ctx.apList.clear();
    clearLists(ctx);
    if (ctx.Mapa->MarkerSetCount() >= 1)
        rebuildFromMarkers(ctx);
    ctx.state.MapLoaded = true;
    ctx.state.MapHasFile = true;
    forBothMaps(ctx, [&](MapService& m) { addCustomSymbols(m, ctx.programFolder); });
    ctx.window->applyViewSettings();
}

void loadMap(AppContext& ctx)
{
    guarded(ctx.dialogs, MenuRoutine, [&] {
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
        if (!ctx.state.MapHasFile) {
            saveMapAs(ctx);
            return;
        }
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
        const QString proposed = ctx.settings.isOn(QStringLiteral("LoadCustom"))
                                     ? ctx.settings.value(QStringLiteral("CustomMapName")) : QString();
        const QString path = chooseFile(ctx, QString::fromLatin1(MapFileFilter), true, proposed);
        if (path.isEmpty())
            return;
        if (!mayOverwrite(ctx, path, QStringLiteral("Map file already exists, overwrite?")))
            return;
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
        if (!saveViewImage(ctx.Mapa->CopyView(), path))
            throw AppError(errors::FileAccess, QStringLiteral("Path/File access error: could not write ") + path);
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
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            throw AppError(errors::FileAccess, QStringLiteral("Path/File access error: ") + file.errorString());
        writeApList(ctx.apList, file, format);
        if (!file.commit())
            throw AppError(errors::FileAccess, QStringLiteral("Path/File access error: ") + file.errorString());
        tell(ctx, QStringLiteral("File saved!"), Icon::None);
    });
}

} // namespace aero
