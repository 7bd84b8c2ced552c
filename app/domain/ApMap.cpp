#include "domain/ApMap.h"

#include "domain/ObservationRecords.h"

#include "domain/ApSymbols.h"
#include "domain/GIS.h"

#include <algorithm>

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

MarkerRecord apMarker(const AccessPoint& ap)
{
    return {ap.SSID, apNote(ap), apSymbol(ap).value_or(DefaultSymbol), {ap.Latitude, ap.Longitude, 1.0}, 0, {}};
}

Location tableView(const APList& table)
{
    const Box b = boundingBox(table);
    const double height = GIS::distance(b.minLat, b.minLon, b.maxLat, b.minLon, QLatin1Char('k'));
    const double width = GIS::distance(b.minLat, b.minLon, b.minLat, b.maxLon, QLatin1Char('k'));
    return {b.minLat + (b.maxLat - b.minLat) / 2, b.minLon + (b.maxLon - b.minLon) / 2, 4 * std::max(height, width)};
}

MapFileData tableMapFile(const APList& table, const QStringList& symbolFiles)
{
    MapFileData d;
    d.region = int(MapRegion::NorthAmerica);
    d.symbolFiles.assign(symbolFiles.begin(), symbolFiles.end());
    for (int i = 1; i <= table.count(); ++i)
        if (table.at(i).hasCoordinates())
            d.markers.push_back(apMarker(table.at(i)));
    d.hasMarkerSet = !d.markers.empty();
    d.view = tableView(table);
    d.units = MapUnit::Kilometres;
    for (const QString& record : observationRecords(table))
        d.programData.emplace_back(ObservationKey, record);
    return d;
}

} // namespace aero
