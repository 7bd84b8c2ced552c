#include "commands/Plotter.h"

#include "ui/DoEvents.h"
#include "ui/ErrorReport.h"
#include "ui/ProgressThrottle.h"
#include "ui/PlotterWindow.h"
#include "domain/ApSymbols.h"
#include "domain/ApMap.h"
#include "map/MapService.h"

#include <QDir>
#include <QProgressBar>

namespace aero {
void frameTable(const APList& table, MapService& map)
{
    const Location view = tableView(table);
    map.CentreOn(map.MakeLocation(view.lat, view.lon, view.alt));
}

void plotTable(APList& list, MapService& map, const std::function<void(int)>& progress)
{
    const int n = list.count();
    for (int i = 1; i <= n; ++i) {
        if (progress)
            progress(i);
        const AccessPoint& r = list.at(i);
        if (!r.hasCoordinates() || r.Plotted)
            continue;
        const MarkerRecord marker = apMarker(r);
        const MarkerId m = map.AddMarker(map.MakeLocation(r.Latitude, r.Longitude, 1.0), marker.name);
        map.setMarkerSymbol(m, marker.symbol);
        map.setMarkerDisplayState(m, marker.displayState);
        map.setMarkerNote(m, marker.note);
        list.modify(i, [](AccessPoint& a) { a.Plotted = true; });
    }
}

void addCustomSymbols(MapService& map, const QString& programFolder)
{
    if (map.SymbolCount() != BuiltInSymbolCount)
        return;
    const QDir dir(programFolder);
    for (const QString& file : customSymbolFiles())
        map.AddSymbol(dir.filePath(file));
}

QString General_GenerarAPs(AppContext& ctx, bool reportComplete)
{
    PlotterWindow& w = *ctx.window;
    // The map is drawn once the markers are placed: redrawing it while tens of thousands of
    // them arrive would cost more than placing them. The progress bar still moves.
    QWidget* mapView = w.mapWidget();
    const bool mapUpdates = mapView && mapView->updatesEnabled();
    if (mapUpdates)
        mapView->setUpdatesEnabled(false);
    const bool ok = guarded(ctx.dialogs, QStringLiteral("General_GenerarAPs"), [&] {
        w.setHourglass(true);
        addCustomSymbols(*ctx.Mapa, ctx.programFolder);
        w.showProgress(true);
        ProgressThrottle progress(*w.pbMap());
        plotTable(ctx.apList, *ctx.Mapa, [&](int slot) {
            progress.setValue(slot);
            yieldOrStop(ctx);
        });
        w.showProgress(false);
        frameTable(ctx.apList, *ctx.Mapa);
    });
    if (mapUpdates)
        mapView->setUpdatesEnabled(true);
    w.showProgress(false);
    w.setHourglass(false);
    if (!ok || !reportComplete)
        return {};
    if (ctx.settings.isOn(QStringLiteral("VoiceOut")))
        return QStringLiteral("import complete. %1 AP's imported and mapped, %2 with no GPS coordinates")
            .arg(w.lstAP().count())
            .arg(w.lstNoGps().count());
    if (!ctx.state.ScriptRunning)
        ctx.dialogs.message(QStringLiteral("Import complete!"), Icon::None);
    return {};
}

} // namespace aero
