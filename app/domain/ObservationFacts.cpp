#include "domain/ObservationFacts.h"

#include "domain/WindowsText.h"

#include <QDateTime>
#include <QLocale>
#include <QStringDecoder>
#include <QTimeZone>
#include <array>

namespace aero {
namespace {

constexpr qint64 EarliestTime = 852076800000LL;    // 1997-01-01T00:00:00Z
constexpr qint64 LatestTime = 4102444800000LL;     // 2100-01-01T00:00:00Z

struct NamedClass {
    SecurityClass security;
    const char* name;
};
constexpr std::array<NamedClass, 8> SecurityNames{{{SecurityClass::Open, "open"},
                                                   {SecurityClass::WEP, "WEP"},
                                                   {SecurityClass::WPA, "WPA"},
                                                   {SecurityClass::WPA2, "WPA2"},
                                                   {SecurityClass::WPA3, "WPA3"},
                                                   {SecurityClass::OWE, "OWE"},
                                                   {SecurityClass::Enterprise, "enterprise"},
                                                   {SecurityClass::Unknown, "unknown"}}};

} // namespace

qint64 plausibleTime(qint64 msUtc)
{
    return msUtc >= EarliestTime && msUtc < LatestTime ? msUtc : 0;
}

int plausibleChannel(double channel)
{
    return channel >= 1 && channel < 234 ? static_cast<int>(channel) : 0;
}

int plausibleFrequency(double mhz)
{
    return mhz >= 2400 && mhz < 7126 ? static_cast<int>(mhz) : 0;
}

float plausibleSignal(double dbm)
{
    return dbm > -1000 && dbm < 1000 ? static_cast<float>(dbm) : 0.0f;
}

Band bandOf(int channel, int frequencyMHz)
{
    if (frequencyMHz >= 2400 && frequencyMHz < 2500)
        return Band::GHz2_4;
    if (frequencyMHz >= 5150 && frequencyMHz < 5925)
        return Band::GHz5;
    if (frequencyMHz >= 5925 && frequencyMHz <= 7125)
        return Band::GHz6;
    if (frequencyMHz == 0 && channel >= 1 && channel <= 14)
        return Band::GHz2_4;
    if (frequencyMHz == 0 && channel >= 32 && channel <= 177)
        return Band::GHz5;
    return Band::Unknown;
}

int channelOf(int frequencyMHz)
{
    if (frequencyMHz == 2484)
        return 14;
    if (frequencyMHz >= 2412 && frequencyMHz < 2484)
        return (frequencyMHz - 2407) / 5;
    if (frequencyMHz >= 5150 && frequencyMHz < 5925)
        return (frequencyMHz - 5000) / 5;
    if (frequencyMHz >= 5955 && frequencyMHz <= 7115)
        return (frequencyMHz - 5950) / 5;
    return 0;
}

int frequencyOf(int channel, Band band)
{
    if (band == Band::Unknown && channel >= 1 && channel <= 14)
        band = Band::GHz2_4;
    switch (band) {
    case Band::GHz2_4: return channel == 14 ? 2484 : channel >= 1 && channel < 14 ? 2407 + 5 * channel : 0;
    case Band::GHz5: return channel >= 32 && channel <= 177 ? 5000 + 5 * channel : 0;
    case Band::GHz6: return channel >= 1 && channel <= 233 ? 5950 + 5 * channel : 0;
    case Band::Unknown: break;
    }
    return 0;
}

SecurityClass securityClassOf(QStringView capabilities)
{
    const QString t = capabilities.left(MaxCapabilities).toString().toUpper();
    if (t.trimmed().isEmpty() || t.contains(QLatin1String("UNKNOWN")))
        return SecurityClass::Unknown;
    const auto has = [&t](const char* token) { return t.contains(QLatin1String(token)); };
    if (has("EAP") || has("802.1X") || has("MGT") || has("ENTERPRISE") || has("PEAP") || has("TTLS"))
        return SecurityClass::Enterprise;
    if (has("WPA3") || has("SAE"))
        return SecurityClass::WPA3;
    if (has("OWE"))
        return SecurityClass::OWE;
    if (has("WPA2") || has("RSN") || has("CCMP") || has("AES"))
        return SecurityClass::WPA2;
    if (has("WPA") || has("TKIP") || has("PSK"))
        return SecurityClass::WPA;
    if (has("WEP"))
        return SecurityClass::WEP;
    if (has("NONE") || has("OPEN") || has("[ESS]") || has("[IBSS]") || t.trimmed() == QLatin1String("NO"))
        return SecurityClass::Open;
    return SecurityClass::Unknown;
}

bool encryptedClass(SecurityClass security)
{
    return security != SecurityClass::Open && security != SecurityClass::Unknown;
}

QString securityName(SecurityClass security)
{
    for (const NamedClass& n : SecurityNames)
        if (n.security == security)
            return QString::fromLatin1(n.name);
    return QStringLiteral("unknown");
}

SecurityClass securityFromName(QStringView name)
{
    for (const NamedClass& n : SecurityNames)
        if (name.compare(QLatin1String(n.name), Qt::CaseInsensitive) == 0)
            return n.security;
    return SecurityClass::Unknown;
}

QString bandName(Band band)
{
    switch (band) {
    case Band::GHz2_4: return QStringLiteral("2.4 GHz");
    case Band::GHz5: return QStringLiteral("5 GHz");
    case Band::GHz6: return QStringLiteral("6 GHz");
    case Band::Unknown: break;
    }
    return {};
}

Band bandFromName(QStringView name)
{
    for (const Band b : {Band::GHz2_4, Band::GHz5, Band::GHz6})
        if (name.trimmed() == bandName(b))
            return b;
    return Band::Unknown;
}

QString isoTime(qint64 msUtc)
{
    if (msUtc == 0)
        return {};
    return QDateTime::fromMSecsSinceEpoch(msUtc, Qt::UTC).toString(Qt::ISODate);   // "...Z"
}

qint64 timeFromIso(QStringView text)
{
    const QDateTime t = QDateTime::fromString(text.trimmed().toString(), Qt::ISODate);
    return t.isValid() ? plausibleTime(t.toMSecsSinceEpoch()) : 0;
}

namespace {

// Days from 1970-01-01 to a civil date (proleptic Gregorian).
qint64 daysFromCivil(qint64 y, qint64 m, qint64 d)
{
    y -= m <= 2 ? 1 : 0;
    const qint64 era = (y >= 0 ? y : y - 399) / 400;
    const qint64 yoe = y - era * 400;
    const qint64 doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const qint64 doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

bool digitsAt(QByteArrayView t, qsizetype at, int count, int& value)
{
    value = 0;
    if (at + count > t.size())
        return false;
    for (int i = 0; i < count; ++i) {
        const char c = t[at + i];
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

} // namespace

qint64 timeFromLog(QByteArrayView t)
{
    t = t.trimmed();
    int y, mo, d, h, mi, sec;
    if (!digitsAt(t, 0, 4, y) || t.size() < 19 || t[4] != '-' || !digitsAt(t, 5, 2, mo) || t[7] != '-'
        || !digitsAt(t, 8, 2, d) || (t[10] != ' ' && t[10] != 'T') || !digitsAt(t, 11, 2, h) || t[13] != ':'
        || !digitsAt(t, 14, 2, mi) || t[16] != ':' || !digitsAt(t, 17, 2, sec))
        return 0;
    if (mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || sec > 60)
        return 0;
    const qint64 seconds = daysFromCivil(y, mo, d) * 86400 + h * 3600 + mi * 60 + sec;
    return plausibleTime(seconds * 1000);
}

qint64 timeFromKismet(QByteArrayView text)
{
    QDateTime when = QLocale::c().toDateTime(QString::fromLatin1(text.trimmed()).simplified(),
                                             QStringLiteral("ddd MMM d HH:mm:ss yyyy"));
    if (!when.isValid())
        return 0;
    when.setTimeZone(QTimeZone::utc());
    return plausibleTime(when.toMSecsSinceEpoch());
}

QString logText(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return import::fromWindows1252(bytes);
    return text;
}

QString kismetText(QByteArrayView bytes)
{
    if (bytes.indexOf('\\') < 0)
        return logText(bytes);
    QByteArray raw;
    raw.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto octal = [&](qsizetype at) { return at < bytes.size() && bytes[at] >= '0' && bytes[at] <= '7'; };
        if (bytes[i] == '\\' && octal(i + 1) && octal(i + 2) && octal(i + 3) && bytes[i + 1] <= '3') {
            raw.append(static_cast<char>((bytes[i + 1] - '0') * 64 + (bytes[i + 2] - '0') * 8 + (bytes[i + 3] - '0')));
            i += 3;
        } else {
            raw.append(bytes[i]);
        }
    }
    return logText(raw);
}

QString boundedCapabilities(QString text)
{
    if (text.size() > MaxCapabilities)
        text.truncate(MaxCapabilities);
    return text;
}

QString boundedSsid(QString text)
{
    if (text.size() > MaxOriginalSsid)
        text.truncate(MaxOriginalSsid);
    return text;
}

} // namespace aero
