// Route header layouts D200 to D202.
#include "navlet/RecordFormats.h"

#include <array>

namespace navlet {
namespace {

// D200, 1 byte: route number.
std::optional<cRoute> decodeD200(ByteView data, cRoute r, TraceLines* trace)
{
    if (!hasBytes(data, 1, "D200", trace))
        return std::nullopt;
    r.Number = readU8(data, 0);
    return r;
}

QByteArray encodeD200(const cRoute& r)
{
    QByteArray out;
    appendU8(out, static_cast<std::uint8_t>(r.Number));
    return out;
}

// D201, 21 bytes: route number, cmnt[20].
std::optional<cRoute> decodeD201(ByteView data, cRoute r, TraceLines* trace)
{
    if (!hasBytes(data, 21, "D201", trace))
        return std::nullopt;
    r.Number = readU8(data, 0);
    r.Cmnt = fixedText(data, 1, 20);
    return r;
}

QByteArray encodeD201(const cRoute& r)
{
    QByteArray out = encodeD200(r);
    appendFixedText(out, r.Cmnt, 20);
    return out;
}

// D202: the route's ident, NUL-terminated.
std::optional<cRoute> decodeD202(ByteView data, cRoute r, TraceLines*)
{
    r.Ident = trimNull(textFromBytes(data));
    return r;
}

QByteArray encodeD202(const cRoute& r)
{
    QByteArray out;
    appendNulText(out, r.Ident);
    return out;
}

} // namespace

std::span<const RouteFormat> routeFormats()
{
    static const std::array<RouteFormat, 3> table = {{
        {"D200", true, decodeD200, encodeD200},
        {"D201", true, decodeD201, encodeD201},
        {"D202", true, decodeD202, encodeD202},
    }};
    return table;
}

} // namespace navlet
