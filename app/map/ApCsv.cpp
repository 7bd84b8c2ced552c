#include "map/ApCsv.h"

#include "core/APList.h"
#include "core/NumberText.h"

#include <QIODevice>

namespace aero {

namespace {

// Windows-1252 bytes 0x80..0x9F and the characters they stand for.
constexpr char16_t HighBlock[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};

char toByte(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 256)
        return char(u);
    for (int i = 0; i < 32; ++i)
        if (HighBlock[i] == u)
            return char(0x80 + i);
    return '?';
}

QByteArray quoted(const QString& text)
{
    QByteArray out("\"");
    const QByteArray bytes = toWindows1252(text);
    for (const char b : bytes) {
        out += b;
        if (b == '"')
            out += '"';
    }
    return out + '"';
}

} // namespace

QByteArray toWindows1252(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (const QChar c : text)
        out += toByte(c);
    return out;
}

void writeApCsv(const APList& list, QIODevice& out)
{
    QByteArray buffer;
    for (int slot = 1; slot <= list.count(); ++slot) {
        const AccessPoint& ap = list.at(slot);
        if (ap.SSID.isEmpty())
            break;
        buffer += quoted(ap.SSID) + ',' + quoted(ap.MAC) + ',' + singleText(ap.Signal).toLatin1() + ',' +
                  doubleText(ap.Latitude).toLatin1() + ',' + doubleText(ap.Longitude).toLatin1() + ',' + quoted(ap.Flags) +
                  "\r\n";
        if (buffer.size() > (1 << 20)) {
            out.write(buffer);
            buffer.clear();
        }
    }
    out.write(buffer);
}

} // namespace aero
