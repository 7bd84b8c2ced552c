#pragma once
// GeoPackage binary geometry for points (the "GP" header, version 0, little endian, no
// envelope, then the point as WKB), and the SQL functions the standard R-tree triggers call.
#include <QByteArray>
#include <optional>

struct sqlite3;

namespace aero::archive {

inline constexpr int Wgs84 = 4326;

QByteArray gpkgPoint(double lon, double lat, int srsId = Wgs84);

struct LonLat {
    double lon = 0.0, lat = 0.0;
};

// The point of a GeoPackage geometry blob; nullopt for an empty, malformed or non-point one.
std::optional<LonLat> gpkgPointOf(const void* blob, int size);

// Registers ST_MinX, ST_MaxX, ST_MinY, ST_MaxY and ST_IsEmpty, which the R-tree triggers call.
// Any program that writes the file (GDAL, QGIS) registers its own.
bool registerGpkgFunctions(sqlite3* db);

} // namespace aero::archive
