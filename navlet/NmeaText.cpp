#include "navlet/NmeaText.h"

namespace navlet {

QString nmeaChecksum(const QString& msg)
{
    unsigned x = 0;
    for (qsizetype i = 1; i < msg.size() && msg.at(i) != QLatin1Char('*'); ++i)
        x ^= msg.at(i).unicode() & 0xFF;
    return QStringLiteral("%1").arg(x, 2, 16, QLatin1Char('0')).toUpper();
}

NmeaCheck checkSentence(const QString& sentence, bool ignoreCheckSum)
{
    NmeaCheck check;
    if (ignoreCheckSum || sentence.size() < 3 || sentence.at(sentence.size() - 3) != QLatin1Char('*'))
        return check;
    const bool equal = sentence.right(2) == nmeaChecksum(sentence);
    check.chkerr = equal;
    check.countsAsError = !equal;
    return check;
}

} // namespace navlet
