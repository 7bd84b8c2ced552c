#include "domain/ObservationRecords.h"

#include "domain/ObservationFacts.h"

#include <QHash>
#include <QUrl>

namespace aero {
namespace {

constexpr int Fields = 20;
constexpr qsizetype MaxLocated = 256;   // a bounded sample, as the readers keep it

QString enc(const QString& text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text, " :[]+-"));
}

QString dec(QStringView text)
{
    return QUrl::fromPercentEncoding(text.toLatin1());
}

QString located(const std::vector<Sighting>& sightings)
{
    QStringList parts;
    for (const Sighting& s : sightings)
        parts << QStringLiteral("%1 %2 %3 %4")
                     .arg(QString::number(s.latitude, 'g', 15), QString::number(s.longitude, 'g', 15),
                          QString::number(static_cast<double>(s.signal), 'g', 7))
                     .arg(s.time);
    return parts.join(QLatin1Char(';'));
}

std::vector<Sighting> locatedFrom(const QString& text)
{
    std::vector<Sighting> out;
    for (const QString& part : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QStringList n = part.split(QLatin1Char(' '));
        if (n.size() != 4 || static_cast<qsizetype>(out.size()) >= MaxLocated)
            continue;
        out.push_back({n[0].toDouble(), n[1].toDouble(), n[2].toFloat(), n[3].toLongLong()});
    }
    return out;
}

} // namespace

QString encodeObservation(const QString& mac, const Observation& o)
{
    const QStringList fields{QStringLiteral("v1"),
                             mac,
                             isoTime(o.firstSeen),
                             isoTime(o.lastSeen),
                             QString::number(o.channel),
                             QString::number(o.frequencyMHz),
                             bandName(o.band),
                             securityName(o.security),
                             o.capabilities,
                             o.originalSsid,
                             o.hidden ? QStringLiteral("1") : QStringLiteral("0"),
                             o.vendor,
                             QString::number(o.sightings),
                             o.sourceFile,
                             o.sourceFormat,
                             QString::number(o.sourceLine),
                             located(o.located),
                             o.positionMethod,
                             QString::number(o.uncertaintyM, 'g', 10),
                             QString()};
    QStringList out;
    for (const QString& f : fields)
        out << enc(f);
    return out.join(QLatin1Char(','));
}

std::optional<std::pair<QString, Observation>> decodeObservation(const QString& text)
{
    const QList<QStringView> f = QStringView(text).split(QLatin1Char(','));
    if (f.size() < Fields || f[0] != QLatin1String("v1"))
        return std::nullopt;
    Observation o;
    o.firstSeen = timeFromIso(dec(f[2]));
    o.lastSeen = timeFromIso(dec(f[3]));
    o.channel = plausibleChannel(f[4].toLongLong());
    o.frequencyMHz = plausibleFrequency(f[5].toLongLong());
    o.band = bandFromName(dec(f[6]));
    o.security = securityFromName(dec(f[7]));
    o.capabilities = boundedCapabilities(dec(f[8]));
    o.originalSsid = boundedSsid(dec(f[9]));
    o.hidden = f[10] == QLatin1String("1");
    o.vendor = dec(f[11]).left(128);
    o.sightings = std::max<qint64>(0, f[12].toLongLong());
    o.sourceFile = dec(f[13]).left(4096);
    o.sourceFormat = dec(f[14]).left(64);
    o.sourceLine = std::max<qint64>(0, f[15].toLongLong());
    o.located = locatedFrom(dec(f[16]));
    o.positionMethod = dec(f[17]).left(64);
    bool ok = false;
    const double u = f[18].toDouble(&ok);
    o.uncertaintyM = ok && std::isfinite(u) ? u : -1.0;
    return std::pair{dec(f[1]), std::move(o)};
}

QStringList observationRecords(const APList& table)
{
    QStringList records;
    for (int slot = 1; slot <= table.count(); ++slot)
        if (const Observation& o = table.observation(slot); !o.isEmpty())
            records << encodeObservation(table.at(slot).MAC, o);
    return records;
}

int restoreObservations(APList& table, const QStringList& records)
{
    QHash<QString, int> slotOf;
    for (int slot = table.count(); slot >= 1; --slot)   // the first slot of a MAC wins
        slotOf.insert(table.at(slot).MAC, slot);
    int matched = 0;
    for (const QString& text : records) {
        auto decoded = decodeObservation(text);
        if (!decoded)
            continue;
        const int slot = slotOf.value(decoded->first);
        if (slot == 0)
            continue;
        table.setObservation(slot, std::move(decoded->second));
        ++matched;
    }
    return matched;
}

} // namespace aero
