#pragma once
// Upper case for hardware addresses: only the letters a-z change. Unicode rules would turn
// "ß" into "SS" (merging two different addresses) and give letters a byte cannot hold.
#include <QString>

namespace aero {

inline QString asciiUpper(QString text)
{
    for (QChar& c : text)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - ('a' - 'A'));
    return text;
}

} // namespace aero
