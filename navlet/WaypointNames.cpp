#include "navlet/WaypointNames.h"

#include <algorithm>

namespace navlet {

std::vector<QString> makeWaypointNames(const std::vector<QString>& ssids, int chars)
{
    const int length = std::max(0, chars);
    std::vector<QString> names;
    names.reserve(ssids.size());
    for (const QString& ssid : ssids)
        names.push_back(ssid.left(length));
    // Later names are compared after earlier replacements, so the order of the list matters.
    for (std::size_t i = 0; i < names.size(); ++i) {
        int k = 1;
        for (std::size_t j = i + 1; j < names.size(); ++j) {
            if (names[j].compare(names[i], Qt::CaseInsensitive) != 0)
                continue;
            names[j] = names[j].left(std::max(0, length - 3)) + QStringLiteral("%1").arg(k, 3, 10, QLatin1Char('0'));
            ++k;
        }
    }
    return names;
}

} // namespace navlet
