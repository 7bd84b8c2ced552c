#pragma once
// One decoder and one encoder per waypoint layout; the table in WaypointFormats.cpp names them.
#include "navlet/RecordFormats.h"

namespace navlet::layouts {

// Most layouts start with the classic 58-byte waypoint:
//   ident[6] lat(semicircle) lon(semicircle) unused(long) cmnt[40]
inline constexpr std::size_t PrefixSize = 58;
void readPrefix(ByteView data, cWaypoint& w);
void writePrefix(QByteArray& out, const cWaypoint& w);

// A user waypoint's subclass: the receiver expects these bytes when the field is empty.
QByteArray subclassBytes(const QString& subClass, int width, char fillAfterSix);

#define NAVLET_WAYPOINT_LAYOUT(N)                                                                  \
    std::optional<cWaypoint> decode##N(ByteView data, cWaypoint w, TraceLines* trace);             \
    QByteArray encode##N(const cWaypoint& w);

NAVLET_WAYPOINT_LAYOUT(D100)
NAVLET_WAYPOINT_LAYOUT(D101)
NAVLET_WAYPOINT_LAYOUT(D102)
NAVLET_WAYPOINT_LAYOUT(D103)
NAVLET_WAYPOINT_LAYOUT(D104)
NAVLET_WAYPOINT_LAYOUT(D105)
NAVLET_WAYPOINT_LAYOUT(D106)
NAVLET_WAYPOINT_LAYOUT(D107)
NAVLET_WAYPOINT_LAYOUT(D108)
NAVLET_WAYPOINT_LAYOUT(D150)
NAVLET_WAYPOINT_LAYOUT(D151)
NAVLET_WAYPOINT_LAYOUT(D152)
NAVLET_WAYPOINT_LAYOUT(D154)
NAVLET_WAYPOINT_LAYOUT(D155)

#undef NAVLET_WAYPOINT_LAYOUT

} // namespace navlet::layouts
