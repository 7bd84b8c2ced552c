#include "archive/GpkgGeometry.h"

#include <sqlite3.h>

#include <cmath>
#include <cstring>

namespace aero::archive {

namespace {

void putU32(QByteArray& out, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        out.append(static_cast<char>((v >> (8 * i)) & 0xff));
}

void putDouble(QByteArray& out, double v)
{
    quint64 bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    for (int i = 0; i < 8; ++i)
        out.append(static_cast<char>((bits >> (8 * i)) & 0xff));
}

quint64 readLe(const unsigned char* p, int bytes, bool little)
{
    quint64 v = 0;
    for (int i = 0; i < bytes; ++i)
        v |= static_cast<quint64>(p[little ? i : bytes - 1 - i]) << (8 * i);
    return v;
}

double readDouble(const unsigned char* p, bool little)
{
    const quint64 bits = readLe(p, 8, little);
    double v = 0.0;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

// Envelope sizes by the header's envelope indicator: none, xy, xyz, xym, xyzm.
constexpr int EnvelopeBytes[] = {0, 32, 48, 48, 64};

struct Bounds {
    bool empty = true;
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
};

std::optional<Bounds> boundsOf(const unsigned char* p, int size)
{
    if (size < 8 || p[0] != 'G' || p[1] != 'P')
        return std::nullopt;
    const unsigned flags = p[3];
    const bool little = flags & 1;
    const unsigned envelope = (flags >> 1) & 7;
    if (envelope > 4)
        return std::nullopt;
    const int header = 8 + EnvelopeBytes[envelope];
    if (size < header)
        return std::nullopt;
    Bounds b;
    if (flags & 0x10)
        return b;
    if (envelope != 0) {
        b.empty = false;
        b.minX = readDouble(p + 8, little);
        b.maxX = readDouble(p + 16, little);
        b.minY = readDouble(p + 24, little);
        b.maxY = readDouble(p + 32, little);
        return b;
    }
    // No envelope: only a point can tell its bounds without walking the geometry.
    const unsigned char* wkb = p + header;
    if (size - header < 21)
        return std::nullopt;
    const bool wkbLittle = wkb[0] == 1;
    if (readLe(wkb + 1, 4, wkbLittle) % 1000 != 1)
        return std::nullopt;
    const double x = readDouble(wkb + 5, wkbLittle), y = readDouble(wkb + 13, wkbLittle);
    if (std::isnan(x) && std::isnan(y))
        return b;
    b = {false, x, x, y, y};
    return b;
}

template <double Bounds::*Field>
void boundFunction(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    const auto b = boundsOf(static_cast<const unsigned char*>(sqlite3_value_blob(argv[0])), sqlite3_value_bytes(argv[0]));
    if (!b || b->empty)
        sqlite3_result_null(ctx);
    else
        sqlite3_result_double(ctx, (*b).*Field);
}

void isEmptyFunction(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto b = boundsOf(static_cast<const unsigned char*>(sqlite3_value_blob(argv[0])), sqlite3_value_bytes(argv[0]));
    sqlite3_result_int(ctx, !b || b->empty ? 1 : 0);
}

} // namespace

QByteArray gpkgPoint(double lon, double lat, int srsId)
{
    QByteArray out;
    out.reserve(29);
    out.append("GP", 2);
    out.append('\0');          // version 1 of the binary format
    out.append('\x01');        // little endian, no envelope, not empty
    putU32(out, static_cast<quint32>(srsId));
    out.append('\x01');        // WKB little endian
    putU32(out, 1);            // Point
    putDouble(out, lon);
    putDouble(out, lat);
    return out;
}

std::optional<LonLat> gpkgPointOf(const void* blob, int size)
{
    const auto b = boundsOf(static_cast<const unsigned char*>(blob), size);
    if (!b || b->empty || b->minX != b->maxX || b->minY != b->maxY)
        return std::nullopt;
    return LonLat{b->minX, b->minY};
}

bool registerGpkgFunctions(sqlite3* db)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    return sqlite3_create_function(db, "ST_MinX", 1, flags, nullptr, boundFunction<&Bounds::minX>, nullptr, nullptr) == SQLITE_OK
        && sqlite3_create_function(db, "ST_MaxX", 1, flags, nullptr, boundFunction<&Bounds::maxX>, nullptr, nullptr) == SQLITE_OK
        && sqlite3_create_function(db, "ST_MinY", 1, flags, nullptr, boundFunction<&Bounds::minY>, nullptr, nullptr) == SQLITE_OK
        && sqlite3_create_function(db, "ST_MaxY", 1, flags, nullptr, boundFunction<&Bounds::maxY>, nullptr, nullptr) == SQLITE_OK
        && sqlite3_create_function(db, "ST_IsEmpty", 1, flags, nullptr, isEmptyFunction, nullptr, nullptr) == SQLITE_OK;
}

} // namespace aero::archive
