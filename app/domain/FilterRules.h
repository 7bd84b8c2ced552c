#pragma once
// The AP filter: up to three definitions "field, condition, value" joined by AND or OR. An AP
// that does not pass is marked on the map and in the lists. Beside the record's five fields, a
// row may ask what the logs said of the AP: its band ("2.4", "5", "6" GHz), its security class
// ("WPA3", "open", ...) and when it was seen ("2026-06-01..2026-06-30": seen within those days;
// "Is greater than"/"Is less than" a date: last seen after it / first seen before it). An AP the
// logs said nothing of fails those rows.
#include "domain/AccessPoint.h"
#include "domain/Observation.h"

#include <QString>
#include <array>

namespace aero {

enum class FilterField { None = -1, SSID = 0, MAC = 1, Signal = 2, Mode = 3, WEP = 4, Band = 5, Security = 6, Seen = 7 };
enum class FilterCondition { None = -1, Equals = 0, Contains = 1, GreaterThan = 2, LessThan = 3 };
enum class FilterLink { None, And, Or };

struct FilterRow {
    FilterField field = FilterField::None;
    FilterCondition condition = FilterCondition::None;
    QString value;
};

struct FilterDefinition {
    std::array<FilterRow, 3> rows;
    FilterLink link1 = FilterLink::None;   // between rows 1 and 2
    FilterLink link2 = FilterLink::None;   // between rows 2 and 3
};

// Does `ap` fail one definition row?
bool failsRow(const AccessPoint& ap, const FilterRow& row, const Observation& seen = {});

// Does `ap` pass the whole definition: (row 1 link1 row 2) link2 row 3, a "None" link ending it.
bool passes(const AccessPoint& ap, const FilterDefinition& definition, const Observation& seen = {});

// The first validation message for `definition`, or an empty text when it is complete.
QString validationMessage(const FilterDefinition& definition);

} // namespace aero
