#pragma once
// The AP filter: up to three definitions "field, condition, value" joined by AND or OR. An AP
// that does not pass is marked on the map and in the lists.
#include "domain/AccessPoint.h"

#include <QString>
#include <array>

namespace aero {

enum class FilterField { None = -1, SSID = 0, MAC = 1, Signal = 2, Mode = 3, WEP = 4 };
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
bool failsRow(const AccessPoint& ap, const FilterRow& row);

// Does `ap` pass the whole definition: (row 1 link1 row 2) link2 row 3, a "None" link ending it.
bool passes(const AccessPoint& ap, const FilterDefinition& definition);

// The first validation message for `definition`, or an empty text when it is complete.
QString validationMessage(const FilterDefinition& definition);

} // namespace aero
