#include "domain/FilterRules.h"

#include "domain/NumberText.h"
#include "domain/ObservationFacts.h"

#include <QDateTime>
#include <optional>

namespace aero {
namespace {

int compareText(const QString& a, const QString& b) { return QString::compare(a, b, Qt::CaseInsensitive); }

// Text fields: "Is greater than" keeps texts at or after the value, "Is less than" at or before.
bool failsText(const QString& field, const FilterRow& row, bool equalsExact)
{
    switch (row.condition) {
    case FilterCondition::Equals: return equalsExact && field != row.value;
    case FilterCondition::Contains: return !field.contains(row.value, Qt::CaseInsensitive);
    case FilterCondition::GreaterThan: return compareText(field, row.value) < 0;
    case FilterCondition::LessThan: return compareText(field, row.value) > 0;
    case FilterCondition::None: return false;
    }
    return false;
}

bool failsSignal(float signal, const FilterRow& row)
{
    const float v = static_cast<float>(leadingNumber(row.value));
    switch (row.condition) {
    case FilterCondition::Equals: return signal != v;
    case FilterCondition::Contains: return !singleText(signal).contains(row.value.trimmed());
    case FilterCondition::GreaterThan: return signal < v;
    case FilterCondition::LessThan: return signal > v;
    case FilterCondition::None: return false;
    }
    return false;
}

// Mode and WEP hold "1" or "0": only equality means anything.
bool failsFlag(const QString& field, const FilterRow& row)
{
    if (row.condition == FilterCondition::Equals || row.condition == FilterCondition::Contains)
        return field != row.value;
    return false;
}

bool failsBand(Band band, const FilterRow& row)
{
    const double ghz = band == Band::GHz2_4 ? 2.4 : band == Band::GHz5 ? 5.0 : band == Band::GHz6 ? 6.0 : 0.0;
    const double v = leadingNumber(row.value);
    switch (row.condition) {
    case FilterCondition::Equals:
    case FilterCondition::Contains: return ghz == 0.0 || ghz != v;
    case FilterCondition::GreaterThan: return ghz == 0.0 || ghz < v;
    case FilterCondition::LessThan: return ghz == 0.0 || ghz > v;
    case FilterCondition::None: return false;
    }
    return false;
}

// The classes have no order worth asking for: equality and containment only.
bool failsSecurity(SecurityClass security, const FilterRow& row)
{
    const QString name = securityName(security);
    if (row.condition == FilterCondition::Equals)
        return name.compare(row.value.trimmed(), Qt::CaseInsensitive) != 0;
    if (row.condition == FilterCondition::Contains)
        return !name.contains(row.value.trimmed(), Qt::CaseInsensitive);
    return false;
}

// "2026-06-11" (that whole day, UTC) or a date and time; [from, to) in ms, nothing when unreadable.
std::optional<std::pair<qint64, qint64>> timeSpan(QStringView text)
{
    text = text.trimmed();
    if (const QDate d = QDate::fromString(text.toString(), Qt::ISODate); d.isValid()) {
        const qint64 from = QDateTime(d, QTime(0, 0), Qt::UTC).toMSecsSinceEpoch();
        return std::pair{from, from + 86400000};
    }
    if (const qint64 t = timeFromIso(text); t != 0)
        return std::pair{t, t + 1000};
    return std::nullopt;
}

bool failsSeen(const Observation& o, const FilterRow& row)
{
    if (o.firstSeen == 0 || row.condition == FilterCondition::None)
        return row.condition != FilterCondition::None;
    const qint64 last = std::max(o.lastSeen, o.firstSeen);
    const QString value = row.value.trimmed();
    const qsizetype dots = value.indexOf(QLatin1String(".."));
    const auto from = timeSpan(dots < 0 ? QStringView(value) : QStringView(value).left(dots));
    const auto to = dots < 0 ? from : timeSpan(QStringView(value).mid(dots + 2));
    if (!from || !to)
        return true;
    switch (row.condition) {
    case FilterCondition::Equals:
    case FilterCondition::Contains: return last < from->first || o.firstSeen >= to->second;
    case FilterCondition::GreaterThan: return last < from->second;
    case FilterCondition::LessThan: return o.firstSeen >= from->first;
    case FilterCondition::None: break;
    }
    return false;
}

QString ordinal(int row)
{
    return row == 0 ? QStringLiteral("first") : row == 1 ? QStringLiteral("second") : QStringLiteral("third");
}

} // namespace

bool failsRow(const AccessPoint& ap, const FilterRow& row, const Observation& seen)
{
    switch (row.field) {
    case FilterField::SSID: return failsText(ap.SSID, row, true);
    case FilterField::MAC: return failsText(ap.MAC, row, true);
    case FilterField::Signal: return failsSignal(ap.Signal, row);
    case FilterField::Mode: return failsFlag(ap.Mode, row);
    case FilterField::WEP: return failsFlag(ap.WEP, row);
    case FilterField::Band: return failsBand(seen.band, row);
    case FilterField::Security: return failsSecurity(seen.security, row);
    case FilterField::Seen: return failsSeen(seen, row);
    case FilterField::None: return false;
    }
    return false;
}

bool passes(const AccessPoint& ap, const FilterDefinition& d, const Observation& seen)
{
    bool result = !failsRow(ap, d.rows[0], seen);
    if (d.link1 == FilterLink::None)
        return result;
    const bool second = !failsRow(ap, d.rows[1], seen);
    result = d.link1 == FilterLink::And ? result && second : result || second;
    if (d.link2 == FilterLink::None)
        return result;
    const bool third = !failsRow(ap, d.rows[2], seen);
    return d.link2 == FilterLink::And ? result && third : result || third;
}

QString validationMessage(const FilterDefinition& d)
{
    const int used = d.link1 == FilterLink::None ? 1 : d.link2 == FilterLink::None ? 2 : 3;
    for (int i = 0; i < used; ++i) {
        const FilterRow& r = d.rows[static_cast<std::size_t>(i)];
        if (r.field == FilterField::None)
            return QStringLiteral("Please select a valid field for the %1 filter definition.").arg(ordinal(i));
        if (r.condition == FilterCondition::None)
            return QStringLiteral("Please select a valid filter condition for the %1 filter definition.").arg(ordinal(i));
        if (r.value.isEmpty())
            return QStringLiteral("Please enter valid data for the %1 filter definition.").arg(ordinal(i));
    }
    return {};
}

} // namespace aero
