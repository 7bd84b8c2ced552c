#pragma once
// Records as JSON objects keyed by field name, for the command-line tools, the simulator's
// scenarios and test printers.
#include "navlet/Records.h"

#include <QJsonObject>

namespace navlet {

QJsonObject toJson(const cWaypoint& r);
QJsonObject toJson(const cRoute& r);
QJsonObject toJson(const cTrack& r);
QJsonObject toJson(const cPosition& r);
QJsonObject toJson(const cPvtData& r);
QJsonObject toJson(const cDate_Time& r);
QJsonObject toJson(const cAlmanac& r);
QJsonObject toJson(const cProduct_Data& r);

// Fields missing from `o` keep the value they have in `base`.
cWaypoint waypointFromJson(const QJsonObject& o, cWaypoint base = {});
cTrack trackFromJson(const QJsonObject& o, cTrack base = {});
cProduct_Data productFromJson(const QJsonObject& o, cProduct_Data base = {});

} // namespace navlet
