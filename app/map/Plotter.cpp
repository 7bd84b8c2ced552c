#include "map/Plotter.h"

#include "core/DoEvents.h"
#include "core/ErrorReport.h"
#include "core/ProgressThrottle.h"
#include "core/frmPlotter.h"
#include "map/ApSymbols.h"
#include "map/GIS.h"
#include "map/MapService.h"

#include <QDir>
#include <QProgressBar>

namespace aero {
namespace {

struct Box {
    double minLat = 0, maxLat = 0, minLon = 0, maxLon = 0;
};

// The first record with both coordinates starts the box; every record with either widens it.
Box boundingBox(const APList& list)
{
    Box b;
    int first = 0;
    for (int i = 1; i <= list.count() && !first; ++i)
        if (list.at(i).hasBothCoordinates())
            first = i;
    if (!first)
        return b;
    b.minLat = b.maxLat = list.at(first).Latitude;
    b.minLon = b.maxLon = list.at(first).Longitude;
    for (int i = 1; i <= list.count(); ++i) {
        const AccessPoint& r = list.at(i);
        if (!r.hasCoordinates())
            continue;
        b.minLat = std::min(b.minLat, r.Latitude);
        b.maxLat = std::max(b.maxLat, r.Latitude);
        b.minLon = std::min(b.minLon, r.Longitude);
        b.maxLon = std::max(b.maxLon, r.Longitude);
    }
    return b;
}

} // namespace

void frameTable(const APList& table, MapService& map)
{
    const Box b = boundingBox(table);
    const double lat = b.minLat + (b.maxLat - b.minLat) / 2;
    const double lon = b.minLon + (b.maxLon - b.minLon) / 2;
    const double height = GIS::distance(b.minLat, b.minLon, b.maxLat, b.minLon, QLatin1Char('k'));
    const double width = GIS::distance(b.minLat, b.minLon, b.minLat, b.maxLon, QLatin1Char('k'));
    map.CentreOn(map.MakeLocation(lat, lon, 4 * std::max(height, width)));
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
        const MarkerId m = map.AddMarker(map.MakeLocation(r.Latitude, r.Longitude, 1.0), r.SSID);
        if (const auto symbol = apSymbol(r))
            map.setMarkerSymbol(m, *symbol);
        map.setMarkerDisplayState(m, 0);
        map.setMarkerNote(m, apNote(r));
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
    frmPlotter& w = *ctx.window;
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
