#include "commands/Placement.h"

#include "domain/ApPositions.h"
#include "domain/Geotag.h"
#include "map/MapService.h"
#include "commands/ImportCommands.h"
#include "commands/Plotter.h"

#include <QFile>

namespace aero {
namespace {

QString placedText(const track::GeotagResult& r)
{
    return QStringLiteral("%1 APs were placed by the track; %2 seen outside its time span and %3 without times "
                          "stay without a position.")
        .arg(r.placed)
        .arg(r.outsideTrack)
        .arg(r.withoutTimes);
}

} // namespace

position::Method configuredPositionMethod(const Settings& settings)
{
    return position::methodFromName(settings.value(QStringLiteral("PositionMethod"))).value_or(position::Method::Strongest);
}

int placeImported(AppContext& ctx)
{
    // The readers already place each AP at its strongest sighting, which may be one (a packet)
    // that is not in its kept sample.
    if (const position::Method m = configuredPositionMethod(ctx.settings); m != position::Method::Strongest)
        position::reestimatePositions(ctx.apList, m);
    if (!ctx.importTrack)
        return 0;
    const track::GeotagResult r = track::placeByTrack(ctx.apList, *ctx.importTrack, 0);
    if (r.outsideTrack > 0 || r.withoutTimes > 0)
        ctx.dialogs.message(placedText(r), Icon::Information);
    return r.placed;
}

void placeByTrackFile(AppContext& ctx)
{
    if (!ctx.state.MapLoaded) {
        ctx.dialogs.message(QStringLiteral("Cannot place APs until a map has been loaded."), Icon::Exclamation);
        return;
    }
    const QString path = ctx.dialogs.openFile(
        {QStringLiteral("GPS tracks (*.gpx *.nmea *.log *.txt)|*.gpx;*.nmea;*.log;*.txt|All files (*.*)|*.*"), {}, {}});
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ctx.dialogs.message(QStringLiteral("The track %1 could not be read.").arg(path), Icon::Critical);
        return;
    }
    const track::TrackContents c = track::readTrack(file);
    if (c.status != track::TrackStatus::Ok)
        ctx.dialogs.message(track::trackMessage(c, path), c.track.isEmpty() ? Icon::Critical : Icon::Exclamation);
    if (c.track.isEmpty())
        return;
    const track::GeotagResult r = track::placeByTrack(ctx.apList, c.track, 0);
    refillPanels(ctx);
    General_GenerarAPs(ctx, false);
    ctx.dialogs.message(placedText(r), Icon::Information);
}

void replaceByMethod(AppContext& ctx)
{
    if (position::reestimatePositions(ctx.apList, configuredPositionMethod(ctx.settings)) == 0 || !ctx.Mapa
        || !ctx.state.MapLoaded)
        return;
    for (int slot = 1; slot <= ctx.apList.count(); ++slot) {
        const AccessPoint& ap = ctx.apList.at(slot);
        if (!ap.Plotted || ctx.apList.observation(slot).located.empty())
            continue;
        if (const auto marker = ctx.Mapa->FindMarker(ap.SSID))
            ctx.Mapa->setMarkerLocation(*marker, ctx.Mapa->MakeLocation(ap.Latitude, ap.Longitude, 0));
    }
}

} // namespace aero
