#include "domain/SurveyContents.h"

#include <algorithm>
#include <limits>

namespace aero::import {

QString capabilityFlags(bool encrypted, bool adHoc)
{
    QString flags = QStringLiteral("0000");
    flags[2] = encrypted ? QLatin1Char('1') : QLatin1Char('0');
    flags[3] = adHoc ? QLatin1Char('2') : QLatin1Char('1');
    return flags;
}

void setSecurity(AccessPoint& ap, bool encrypted, bool adHoc)
{
    ap.Flags = capabilityFlags(encrypted, adHoc);
    ap.WEP = encrypted ? QStringLiteral("1") : QStringLiteral("0");
    ap.Mode = adHoc ? QStringLiteral("0") : QStringLiteral("1");
}

QString storedSsid(const QString& ssid)
{
    const QString trimmed = ssid.trimmed();
    return trimmed.isEmpty() ? QStringLiteral("BLANK SSID") : trimmed.left(MaxSsidText);
}

QByteArrayView macField(QByteArrayView raw)
{
    QByteArrayView mac = raw.trimmed();
    while (mac.startsWith("\xEF\xBB\xBF"))
        mac = mac.sliced(3).trimmed();
    return mac.size() > MaxMacField ? QByteArrayView() : mac;
}

QString storedMac(QByteArrayView mac)
{
    return QString::fromUtf8(mac.trimmed()).toUpper();
}

std::optional<quint64> SightingMerger::macKey(QByteArrayView mac)
{
    mac = mac.trimmed();
    if (mac.size() != 17)
        return std::nullopt;
    quint64 key = 0;
    for (int i = 0; i < 17; ++i) {
        const char c = mac[i];
        if (i % 3 == 2) {
            if (c != ':' && c != '-')
                return std::nullopt;
            continue;
        }
        int v;
        if (c >= '0' && c <= '9')
            v = c - '0';
        else if (c >= 'a' && c <= 'f')
            v = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            v = c - 'A' + 10;
        else
            return std::nullopt;
        key = key << 4 | static_cast<quint64>(v);
    }
    return key;
}

int SightingMerger::find(QByteArrayView mac) const
{
    if (const auto key = macKey(mac))
        return m_byKey.value(*key, -1);
    return m_byText.value(storedMac(mac), -1);
}

int SightingMerger::add(QByteArrayView mac, AccessPoint ap, Observation seen)
{
    const int index = static_cast<int>(m_records.size());
    if (const auto key = macKey(mac))
        m_byKey.insert(*key, index);
    else
        m_byText.insert(storedMac(mac), index);
    m_positionSignal.push_back(ap.hasCoordinates() ? ap.Signal : -std::numeric_limits<float>::infinity());
    m_located.emplace_back();
    if (ap.hasCoordinates())
        m_located.back().add({ap.Latitude, ap.Longitude, ap.Signal, seen.firstSeen});
    m_records.push_back(std::move(ap));
    seen.sightings = std::max<qint64>(seen.sightings, 1);
    if (seen.lastSeen < seen.firstSeen)
        seen.lastSeen = seen.firstSeen;
    m_observed.push_back(std::move(seen));
    return index;
}

void SightingMerger::observe(int index, float signal, double lat, double lon, qint64 time)
{
    AccessPoint& r = m_records[static_cast<std::size_t>(index)];
    Observation& o = m_observed[static_cast<std::size_t>(index)];
    ++o.sightings;
    if (time != 0) {
        if (o.firstSeen == 0 || time < o.firstSeen)
            o.firstSeen = time;
        o.lastSeen = std::max(o.lastSeen, time);
    }
    if (signal > r.Signal)
        r.Signal = signal;
    if (lat != 0.0 || lon != 0.0)
        m_located[static_cast<std::size_t>(index)].add({lat, lon, signal, time});
    if ((lat != 0.0 || lon != 0.0) && signal > m_positionSignal[static_cast<std::size_t>(index)]) {
        m_positionSignal[static_cast<std::size_t>(index)] = signal;
        r.Latitude = lat;
        r.Longitude = lon;
    }
}

void SightingMerger::sighting(const AccessPoint& ap, const Observation& seen)
{
    const QByteArray mac = ap.MAC.toUtf8();
    const int index = find(mac);
    if (index < 0) {
        add(mac, ap, seen);
        return;
    }
    AccessPoint& r = at(index);
    if (r.SSID == QLatin1String("BLANK SSID") && ap.SSID != QLatin1String("BLANK SSID")) {
        r.SSID = ap.SSID;
        observed(index).originalSsid = seen.originalSsid;
        observed(index).hidden = false;
    }
    observe(index, ap.Signal, ap.Latitude, ap.Longitude, seen.firstSeen);
    if (seen.lastSeen > seen.firstSeen)
        observed(index).lastSeen = std::max(observed(index).lastSeen, seen.lastSeen);
}

void SightingMerger::takeInto(SurveyContents& out)
{
    out.records = std::move(m_records);
    out.observed = std::move(m_observed);
    for (std::size_t i = 0; i < m_located.size() && i < out.observed.size(); ++i)
        out.observed[i].located = m_located[i].take();
    m_located.clear();
}

} // namespace aero::import
