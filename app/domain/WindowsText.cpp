#include "domain/WindowsText.h"

#include <algorithm>

namespace aero::import {

namespace {

// Unicode for bytes 0x80-0x9F.
constexpr char16_t HighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool inHighControls(char c)
{
    const auto b = static_cast<unsigned char>(c);
    return b >= 0x80 && b <= 0x9F;
}

} // namespace

QString fromWindows1252(QByteArrayView bytes)
{
    // Latin-1 decoding is vectorised inside Qt; only the rare 0x80-0x9F bytes need a patch.
    QString text = QString::fromLatin1(bytes);
    if (std::none_of(bytes.begin(), bytes.end(), inHighControls))
        return text;
    QChar* out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        if (inHighControls(bytes[i]))
            out[i] = QChar(HighControls[static_cast<unsigned char>(bytes[i]) - 0x80]);
    return text;
}

QByteArrayView trimSpaces(QByteArrayView bytes)
{
    qsizetype begin = 0, end = bytes.size();
    while (begin < end && bytes[begin] == ' ')
        ++begin;
    while (end > begin && bytes[end - 1] == ' ')
        --end;
    return bytes.sliced(begin, end - begin);
}

} // namespace aero::import
