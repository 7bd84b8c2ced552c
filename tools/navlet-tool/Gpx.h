#pragma once
// GPX 1.1 output of a downloaded track log: one trkseg per segment of the receiver's log.
#include "navlet/Records.h"

#include <QIODevice>
#include <vector>

// "2003/05/17-14:03:09" -> "2003-05-17T14:03:09Z" (the receiver keeps UTC).
QString gpxTime(const QString& trackTime);

bool writeGpx(QIODevice& out, const std::vector<navlet::cTrack>& points, bool withAltitude);
