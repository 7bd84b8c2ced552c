#include "domain/KismetCsv.h"

#include "domain/WindowsText.h"

#include <QDateTime>
#include <QStringList>
#include <QTimeZone>

#include <array>

namespace aero::import {

namespace {

constexpr std::array<const char*, 8> NumericColumns = {
    "GPSMinLat", "GPSMinLon", "GPSMinAlt", "GPSMinSpd",
    "GPSMaxLat", "GPSMaxLon", "GPSMaxAlt", "GPSMaxSpd",
};

const QString BlankSsid = QStringLiteral("BLANK SSID");

// Reads one field starting at `i`; leaves `i` on the ";" that ends it, or at the end.
QByteArray readField(QByteArrayView line, qsizetype& i)
{
    QByteArray field;
    const qsizetype n = line.size();
    if (i < n && line[i] == '"') {
        for (++i; i < n; ++i) {
            if (line[i] != '"') {
                field.append(line[i]);
            } else if (i + 1 < n && line[i + 1] == '"') {
                field.append('"');
                ++i;
            } else {
                ++i;
                break;
            }
        }
    }
    const qsizetype end = [&] { const qsizetype s = line.indexOf(';', i); return s < 0 ? n : s; }();
    field.append(line.sliced(i, end - i));
    i = end;
    return field;
}

int columnIndex(const std::vector<QByteArray>& names, QLatin1StringView name)
{
    for (std::size_t i = 0; i < names.size(); ++i)
        if (QLatin1StringView(names[i]).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

bool skipDigits(QByteArrayView s, qsizetype& i)
{
    const qsizetype start = i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9')
        ++i;
    return i > start;
}

} // namespace

QString KismetColumns::missingColumn() const
{
    if (netType < 0)
        return QStringLiteral("NetType");
    if (essid < 0)
        return QStringLiteral("ESSID");
    if (bssid < 0)
        return QStringLiteral("BSSID");
    if (encryption < 0 && wep < 0)
        return QStringLiteral("Encryption");
    return {};
}

KismetColumns kismetColumns(QByteArrayView heading)
{
    const std::vector<QByteArray> names = splitKismetFields(heading);
    KismetColumns c;
    c.fieldCount = static_cast<int>(names.size());
    c.netType = columnIndex(names, QLatin1StringView("NetType"));
    c.essid = columnIndex(names, QLatin1StringView("ESSID"));
    c.bssid = columnIndex(names, QLatin1StringView("BSSID"));
    c.channel = columnIndex(names, QLatin1StringView("Channel"));
    c.firstTime = columnIndex(names, QLatin1StringView("FirstTime"));
    c.lastTime = columnIndex(names, QLatin1StringView("LastTime"));
    c.cloaked = columnIndex(names, QLatin1StringView("Cloaked"));
    c.encryption = columnIndex(names, QLatin1StringView("Encryption"));
    c.wep = columnIndex(names, QLatin1StringView("WEP"));
    c.firstTime = columnIndex(names, QLatin1StringView("FirstTime"));
    c.lastTime = columnIndex(names, QLatin1StringView("LastTime"));
    // The 2002 layout (with the DHCP address column) wrote two more empty fields for a network
    // whose address it had not learnt.
    if (columnIndex(names, QLatin1StringView("DHCP")) >= 0)
        c.extraEmptyFields = 2;
    // A heading that lost its closing ";" (hand-edited logs) is one field short of its lines.
    else if (!names.empty() && !names.back().trimmed().isEmpty())
        c.extraEmptyFields = 1;
    for (const char* name : NumericColumns) {
        const int index = columnIndex(names, QLatin1StringView(name));
        if (index >= 0)
            c.numeric.push_back({index, QString::fromLatin1(name)});
    }
    return c;
}

std::vector<QByteArray> splitKismetFields(QByteArrayView line)
{
    std::vector<QByteArray> fields;
    qsizetype i = 0;
    for (;;) {
        fields.push_back(readField(line, i));
        if (i >= line.size())
            return fields;
        ++i;   // the ";"; one after the last character still opens an (empty) field
    }
}

bool isEmptyOrNumber(QByteArrayView field)
{
    const QByteArrayView s = field.trimmed();
    qsizetype i = 0;
    if (s.isEmpty())
        return true;
    if (s[i] == '+' || s[i] == '-')
        ++i;
    bool digits = skipDigits(s, i);
    if (i < s.size() && s[i] == '.') {
        ++i;
        digits = skipDigits(s, i) || digits;
    }
    if (!digits)
        return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            ++i;
        if (!skipDigits(s, i))
            return false;
    }
    return i == s.size();
}

namespace {

// Exactly the heading's width, or, in a layout known to pad, a few empty fields more.
bool fitsHeading(const std::vector<QByteArray>& fields, const KismetColumns& columns)
{
    const int n = static_cast<int>(fields.size());
    if (n < columns.fieldCount || n > columns.fieldCount + columns.extraEmptyFields)
        return false;
    for (std::size_t i = static_cast<std::size_t>(columns.fieldCount); i < fields.size(); ++i)
        if (!fields[i].trimmed().isEmpty())
            return false;
    return true;
}

} // namespace

KismetLineKind parseKismetLine(QByteArrayView line, const KismetColumns& columns,
                               AccessPoint& record, QString* badColumn, KismetSeen* seen)
{
    if (line.trimmed().isEmpty())
        return KismetLineKind::Blank;
    const std::vector<QByteArray> f = splitKismetFields(line);
    if (!columns.missingColumn().isEmpty() || !fitsHeading(f, columns))
        return KismetLineKind::WrongFieldCount;
    for (const auto& numeric : columns.numeric) {
        if (!isEmptyOrNumber(f[static_cast<std::size_t>(numeric.index)])) {
            if (badColumn)
                *badColumn = numeric.name;
            return KismetLineKind::BadNumber;
        }
    }
    const auto at = [&](int index) -> const QByteArray& { return f[static_cast<std::size_t>(index)]; };
    record = AccessPoint{};
    const QByteArray& essid = at(columns.essid);
    record.SSID = (essid.isEmpty() || essid == "<no ssid>") ? BlankSsid : fromWindows1252(essid);
    record.MAC = fromWindows1252(at(columns.bssid));
    record.Mode = at(columns.netType) == "infrastructure" ? QStringLiteral("1") : QStringLiteral("0");
    const bool open = columns.encryption >= 0 ? at(columns.encryption) == "None" : at(columns.wep) == "No";
    record.WEP = open ? QStringLiteral("0") : QStringLiteral("1");
    if (seen) {
        seen->first = columns.firstTime >= 0 ? kismetTime(at(columns.firstTime)) : 0;
        seen->last = columns.lastTime >= 0 ? kismetTime(at(columns.lastTime)) : 0;
    }
    return KismetLineKind::Record;
}

qint64 kismetTime(QByteArrayView text)
{
    if (text.size() > 64)
        return 0;
    const QStringList parts = QString::fromLatin1(text).simplified().split(QLatin1Char(' '));
    if (parts.size() != 5)
        return 0;
    const QDate date = QDate::fromString(parts[1] + QLatin1Char(' ') + parts[2] + QLatin1Char(' ') + parts[4],
                                         QStringLiteral("MMM d yyyy"));
    const QTime time = QTime::fromString(parts[3], QStringLiteral("HH:mm:ss"));
    if (!date.isValid() || !time.isValid())
        return 0;
    return QDateTime(date, time, QTimeZone::utc()).toMSecsSinceEpoch();
}

} // namespace aero::import
