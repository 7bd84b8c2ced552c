#include "domain/ApCsv.h"

#include "domain/APList.h"
#include "domain/NumberText.h"

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

void appendQuoted(QByteArray& out, const QString& text)
{
    out += '"';
    for (const QChar c : text) {
        const char b = toByte(c);
        out += b;
        if (b == '"')
            out += '"';
    }
    out += '"';
}

void appendNumber(QByteArray& out, double value, int digits)
{
    char buf[64];
    out.append(buf, static_cast<qsizetype>(generalChars(value, digits, buf, sizeof buf)));
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
    constexpr qsizetype Chunk = 1 << 20;
    QByteArray buffer;
    buffer.reserve(Chunk + 4096);
    for (int slot = 1; slot <= list.count(); ++slot) {
        const AccessPoint& ap = list.at(slot);
        if (ap.SSID.isEmpty())
            break;
        appendQuoted(buffer, ap.SSID);
        buffer += ',';
        appendQuoted(buffer, ap.MAC);
        buffer += ',';
        appendNumber(buffer, static_cast<double>(ap.Signal), 7);
        buffer += ',';
        appendNumber(buffer, ap.Latitude, 15);
        buffer += ',';
        appendNumber(buffer, ap.Longitude, 15);
        buffer += ',';
        appendQuoted(buffer, ap.Flags);
        buffer += "\r\n";
        if (buffer.size() > Chunk) {
            out.write(buffer);
            buffer.clear();
        }
    }
    out.write(buffer);
}

} // namespace aero
