#pragma once
// Reads map files and, as far as they go, any KML: every Point of a Placemark becomes a marker
// (name and description kept), every LineString, LinearRing, Polygon boundary and gx:Track a
// polyline, MultiGeometry and Folders at any depth up to MaxKmlNesting. What a map cannot hold
// (overlays, models, network links, placemarks without usable coordinates) is counted by kind.
// Broken or too deeply nested XML gives an error with its line; the reader never recurses on
// the input's nesting, so no input can exhaust the stack.
//
//   QFile f(path); f.open(QIODevice::ReadOnly);
//   const KmlResult r = readKml(f.readAll());
//   if (!r.ok()) report(r.error, r.line); else for (auto& [kind, n] : r.notKept) ...
#include "domain/MapFile.h"

#include <QByteArray>
#include <utility>
#include <vector>

class QIODevice;

namespace aero {

// Deeper element nesting than this is refused: no map file comes near it.
inline constexpr int MaxKmlNesting = 100;

struct KmlResult {
    MapFileData data;
    bool hasView = false;      // the file says where to look
    bool ours = false;         // written by this program (its document data is there)
    QString error;             // empty when the file was read
    qint64 line = 0;           // where reading stopped on an error
    int skipped = 0;           // placemarks without usable coordinates
    // What the map could not keep, by kind in the order first met, with counts.
    std::vector<std::pair<QString, int>> notKept;
    bool ok() const { return error.isEmpty(); }
    bool lostContent() const { return !notKept.empty(); }
};

KmlResult readKml(QIODevice& in);
KmlResult readKml(const QByteArray& bytes);

} // namespace aero
