#include "domain/ApListExport.h"

#include "domain/APList.h"
#include "domain/SurveyExport.h"
#include "domain/ApCsv.h"
#include "domain/CheckedSave.h"

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

bool writeApList(const APList& list, QIODevice& out, ApListFormat format)
{
    const import::ApSource source = [&list](int i) { return i < list.count() ? &list.at(i + 1) : nullptr; };
    const import::ObservationSource seen = [&list](int i) { return &list.observation(i + 1); };
    switch (format) {
    case ApListFormat::ProgramCsv: writeApCsv(list, out); return true;
    case ApListFormat::Gpx: return import::writeGpx(source, out, seen);
    case ApListFormat::GeoJson: import::writeGeoJson(source, out, seen); return true;
    case ApListFormat::WigleCsv: import::writeWigleCsv(source, out, seen); return true;
    }
    return false;
}

qint64 unplacedApCount(const APList& list, ApListFormat format)
{
    qint64 n = 0;
    for (int slot = 1; format != ApListFormat::ProgramCsv && slot <= list.count(); ++slot)
        n += list.at(slot).hasCoordinates() ? 0 : 1;
    return n;
}

SaveResult saveApList(const APList& list, const QString& path, ApListFormat format)
{
    return saveChecked(path, [&](QIODevice& out) { return writeApList(list, out, format); });
}

} // namespace aero
