#pragma once
// Short, unique waypoint names for access points sent to the receiver: each SSID cut to the
// receiver's name length; a later name equal to an earlier one (ignoring case) gets a running
// three-digit number in its last three places ("HomeNe", "hom001", "hom002").
#include <QString>
#include <vector>

namespace navlet {

std::vector<QString> makeWaypointNames(const std::vector<QString>& ssids, int chars);

} // namespace navlet
