#include "domain/ApListExport.h"

#include "domain/APList.h"
#include "domain/SurveyExport.h"
#include "domain/ApCsv.h"

#include <QFileInfo>

namespace aero {

ApListFormat apListFormatOfFilter(int index)
{
    switch (index) {
    case 1: return ApListFormat::Gpx;
    case 2: return ApListFormat::GeoJson;
    case 3: return ApListFormat::WigleCsv;
    default: return ApListFormat::ProgramCsv;
    }
}

ApListFormat apListFormatOfName(const QString& path)
{
    const QString name = QFileInfo(path).fileName().toLower();
    if (name.endsWith(QLatin1String(".gpx")))
        return ApListFormat::Gpx;
    if (name.endsWith(QLatin1String(".geojson")) || name.endsWith(QLatin1String(".json")))
        return ApListFormat::GeoJson;
    if (name.endsWith(QLatin1String("wigle.csv")))
        return ApListFormat::WigleCsv;
    return ApListFormat::ProgramCsv;
}

void writeApList(const APList& list, QIODevice& out, ApListFormat format)
{
    const import::ApSource source = [&list](int i) { return i < list.count() ? &list.at(i + 1) : nullptr; };
    const import::PlacementSource placements = [&list](int i) { return &list.observation(i + 1); };
    switch (format) {
    case ApListFormat::ProgramCsv: writeApCsv(list, out); return;
    case ApListFormat::Gpx: import::writeGpx(source, out, placements); return;
    case ApListFormat::GeoJson: import::writeGeoJson(source, out, placements); return;
    case ApListFormat::WigleCsv: import::writeWigleCsv(source, out); return;
    }
}

} // namespace aero
