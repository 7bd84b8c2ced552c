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

qint64 writeApList(const APList& list, QIODevice& out, ApListFormat format)
{
    const import::ApSource source = [&list](int i) { return i < list.count() ? &list.at(i + 1) : nullptr; };
    const import::ObservationSource seen = [&list](int i) { return &list.observation(i + 1); };
    switch (format) {
    case ApListFormat::ProgramCsv: writeApCsv(list, out); return 0;
    case ApListFormat::Gpx: return import::writeGpx(source, out, seen);
    case ApListFormat::GeoJson: return import::writeGeoJson(source, out, seen);
    case ApListFormat::WigleCsv: return import::writeWigleCsv(source, out, seen);
    }
    return 0;
}

} // namespace aero
