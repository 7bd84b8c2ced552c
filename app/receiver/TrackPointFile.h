#pragma once
// The download's work file: one line per received track point,
//   index,latitude,longitude,#TRUE#|#FALSE#  CR LF
// e.g. "1,52.3702,4.8952,#FALSE#". Index counts from 1 within a track; #TRUE# marks the first
// point of a new segment. Decimals always use ".", with as many digits as the double needs.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

namespace aero {

struct TrackPointLine {
    int index = 0;
    double lat = 0.0;
    double lon = 0.0;
    bool newSegment = false;
    friend bool operator==(const TrackPointLine&, const TrackPointLine&) = default;
};

// "Navlet.tmp" in the per-user data folder, which is created when missing. Never beside the
// program: an installed program's folder is not writable.
QString navletPointFile();

QByteArray formatPointLine(const TrackPointLine& point);

// A line as written by formatPointLine (line end optional); nothing for anything else.
std::optional<TrackPointLine> parsePointLine(QByteArrayView line);

} // namespace aero
