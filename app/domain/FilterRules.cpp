#include "domain/FilterRules.h"

#include "domain/NumberText.h"

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

QString ordinal(int row)
{
    return row == 0 ? QStringLiteral("first") : row == 1 ? QStringLiteral("second") : QStringLiteral("third");
}

} // namespace

bool failsRow(const AccessPoint& ap, const FilterRow& row)
{
    switch (row.field) {
    case FilterField::SSID: return failsText(ap.SSID, row, true);
    case FilterField::MAC: return failsText(ap.MAC, row, true);
    case FilterField::Signal: return failsSignal(ap.Signal, row);
    case FilterField::Mode: return failsFlag(ap.Mode, row);
    case FilterField::WEP: return failsFlag(ap.WEP, row);
    case FilterField::None: return false;
    }
    return false;
}

bool passes(const AccessPoint& ap, const FilterDefinition& d)
{
    bool result = !failsRow(ap, d.rows[0]);
    if (d.link1 == FilterLink::None)
        return result;
    const bool second = !failsRow(ap, d.rows[1]);
    result = d.link1 == FilterLink::And ? result && second : result || second;
    if (d.link2 == FilterLink::None)
        return result;
    const bool third = !failsRow(ap, d.rows[2]);
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
