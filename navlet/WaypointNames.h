#pragma once
// Short, unique waypoint names for access points sent to the receiver: each SSID cut to the
// name length; the first of equal names (ignoring case) keeps it, the others get the lowest
// three-digit number in their last places that gives a name no other one has
// ("HomeNe", "hom001", "hom002"). A receiver replaces a waypoint of the same name, so two
// equal names would lose one waypoint.
#include "navlet/RecordFormats.h"

#include <QString>
#include <optional>
#include <vector>

namespace navlet {

// Names are first reduced to what `waypointFormat` can store (reduceWaypointName), then made
// unique in that form, so the receiver cannot merge two of them.
std::vector<QString> makeWaypointNames(const std::vector<QString>& ssids, int chars, const QString& waypointFormat = {});

// `name` in the characters the receiver keeps: letters folded to ASCII ("é" to "e", "’" to
// "'"), anything else replaced by '-', and upper case for the six-character layouts, whose
// names hold only capitals, digits, blanks and '-'.
QString reduceWaypointName(const QString& name, const QString& waypointFormat);

// Index of the first name equal to an earlier one, ignoring case and blanks at the ends; only
// a length too short for the list's size leaves one.
std::optional<std::size_t> firstRepeatedName(const std::vector<QString>& names);

// The name length to use: the setting, or less when the receiver's waypoint layout keeps
// fewer characters (six for D100), so the names stay unique after the receiver's own cut.
int waypointNameLength(int navletChars, const QString& waypointFormat);

// Fills the fields a waypoint made from an access point gets (the program's upload window
// and navlet-tool alike); the other fields keep what the record held.
inline void fillApWaypoint(cWaypoint& w, const QString& ident, double lat, double lon)
{
    w.Ident = ident;
    w.Lat = lat;
    w.Lon = lon;
    w.Cmnt.clear();
    w.Dspl = 1;
    w.Smbl = 16391;
    w.Attrib = 96;
    w.Unused1 = 0;
}

} // namespace navlet
