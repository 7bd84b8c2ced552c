#pragma once
// Reads map files and, as far as they go, any KML: every Placemark with a Point becomes a
// marker (name and description kept), every LineString a polyline, Folders at any depth.
// Broken XML gives an error with its line; nothing else about the input can crash it.
#include "domain/MapFile.h"

#include <QByteArray>

class QIODevice;

namespace aero {

struct KmlResult {
    MapFileData data;
    bool hasView = false;      // the file says where to look
    QString error;             // empty when the file was read
    qint64 line = 0;           // where reading stopped on an error
    int skipped = 0;           // placemarks without usable coordinates
    bool ok() const { return error.isEmpty(); }
};

KmlResult readKml(QIODevice& in);
KmlResult readKml(const QByteArray& bytes);

} // namespace aero
