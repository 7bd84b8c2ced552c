#include "archive/ArchiveWork.h"

#include "archive/SurveyRows.h"
#include "domain/SurveyContents.h"

#include <QDateTime>

namespace aero::archive {

ArchivedFile archiveSurveyFile(ArchiveStore& store, const QString& path, const QString& session,
                               import::SurveyFormat format, const ArchiveProgress& progress)
{
    SurveyRows read = readSurveyRows(path, format);
    if (read.refused)
        return {false, read.message};
    read.source.session = session;
    read.source.importedAt = QDateTime::currentDateTimeUtc();
    const ArchiveImport stored = store.importRows(read.source, read.rows, progress);
    ArchivedFile out;
    switch (stored.outcome) {
    case ArchiveImport::Outcome::Failed:
        return {false, stored.message};
    case ArchiveImport::Outcome::AlreadyArchived:
        out.message = QStringLiteral("%1 is already in the archive; nothing was added.").arg(path);
        break;
    case ArchiveImport::Outcome::Imported:
        out.message = QStringLiteral("%1: %2 observations of %3 APs archived.").arg(path).arg(stored.observations).arg(stored.aps);
        break;
    }
    out.ok = read.skipped == 0 && !read.damaged;
    if (read.skipped > 0)
        out.message += QStringLiteral(" %1 unreadable lines were skipped.").arg(read.skipped);
    if (read.damaged)
        out.message += QStringLiteral(" The file is damaged or cut short; what was read before the damage was kept%1.")
                           .arg(read.message.isEmpty() ? QString() : QStringLiteral(" (") + read.message + QLatin1Char(')'));
    return out;
}

AccessPoint tableRecord(const ArchivedAp& ap)
{
    AccessPoint r;
    r.SSID = import::storedSsid(ap.ssid);
    r.MAC = ap.mac;
    r.Signal = ap.bestSignal;
    r.Flags = ap.flags;
    r.WEP = ap.wep;
    r.Mode = ap.mode;
    if (ap.located) {
        r.Latitude = ap.latitude;
        r.Longitude = ap.longitude;
    }
    return r;
}

RegionLoad loadRegion(ArchiveStore& store, const GeoBox& box, APList& table)
{
    RegionLoad out;
    const auto total = store.countIn(box, out.error);
    const int room = APList::Capacity - table.count();
    const auto aps = total ? store.apsIn(box, room, out.error) : std::nullopt;
    if (!aps)
        return out;
    out.inRegion = *total;
    if (table.NextAP == 0)
        table.NextAP = 1;
    table.NextAP = table.findFirstFree();
    for (const ArchivedAp& ap : *aps) {
        if (table.containsMac(ap.mac))
            continue;
        Observation o;
        o.firstSeen = ap.firstSeen;
        o.lastSeen = ap.lastSeen;
        o.sightings = ap.sightings;
        o.sourceFormat = QStringLiteral("Archive");
        table.append(tableRecord(ap), std::move(o));
        ++out.added;
    }
    out.leftOut = std::max<qint64>(0, out.inRegion - static_cast<qint64>(aps->size()));
    table.DedupeSSIDs();
    return out;
}

} // namespace aero::archive
