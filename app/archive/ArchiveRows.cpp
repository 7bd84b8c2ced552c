#include "archive/ArchiveRows.h"

#include <QHash>
#include <QStringList>
#include <algorithm>

namespace aero::archive {

ObservationRow rowOf(const AccessPoint& ap, qint64 time)
{
    ObservationRow r;
    r.mac = ap.MAC.trimmed().toUpper();
    r.ssid = ap.SSID;
    r.flags = ap.Flags;
    r.wep = ap.WEP;
    r.mode = ap.Mode;
    r.signal = ap.Signal;
    r.located = ap.hasCoordinates();
    r.latitude = ap.Latitude;
    r.longitude = ap.Longitude;
    r.time = time;
    return r;
}

std::vector<ApDelta> foldRows(const std::vector<ObservationRow>& rows)
{
    std::vector<ApDelta> deltas;
    QHash<QString, std::size_t> byMac;
    for (const ObservationRow& r : rows) {
        const auto found = byMac.constFind(r.mac);
        if (found == byMac.constEnd()) {
            byMac.insert(r.mac, deltas.size());
            ApDelta d;
            d.mac = r.mac;
            d.ssid = r.ssid;
            d.flags = r.flags;
            d.wep = r.wep;
            d.mode = r.mode;
            d.firstSeen = d.lastSeen = r.time;
            d.bestSignal = r.signal;
            d.sightings = 1;
            d.located = r.located;
            d.latitude = r.latitude;
            d.longitude = r.longitude;
            d.positionSignal = r.signal;
            deltas.push_back(std::move(d));
            continue;
        }
        ApDelta& d = deltas[*found];
        if (r.time != 0) {
            d.firstSeen = d.firstSeen == 0 ? r.time : std::min(d.firstSeen, r.time);
            d.lastSeen = std::max(d.lastSeen, r.time);
        }
        d.bestSignal = std::max(d.bestSignal, r.signal);
        ++d.sightings;
        if (r.located && (!d.located || r.signal > d.positionSignal)) {
            d.located = true;
            d.latitude = r.latitude;
            d.longitude = r.longitude;
            d.positionSignal = r.signal;
        }
    }
    std::sort(deltas.begin(), deltas.end(), [](const ApDelta& a, const ApDelta& b) { return a.mac < b.mac; });
    return deltas;
}

QString isoTime(qint64 ms)
{
    if (ms == 0)
        return {};
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC).toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ"));
}

bool parseGeoBox(const QString& text, GeoBox& box)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        return false;
    double v[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        v[i] = parts[i].trimmed().toDouble(&ok);
        if (!ok)
            return false;
    }
    const GeoBox b{v[0], v[1], v[2], v[3]};
    if (b.minLon > b.maxLon || b.minLat > b.maxLat || b.minLon < -180 || b.maxLon > 180 || b.minLat < -90 || b.maxLat > 90)
        return false;
    box = b;
    return true;
}

} // namespace aero::archive
