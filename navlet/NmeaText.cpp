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
    // Talkers that write the hex digits in lower case are right too.
    const bool equal = sentence.right(2).compare(nmeaChecksum(sentence), Qt::CaseInsensitive) == 0;
    check.chkerr = equal;
    check.countsAsError = !equal;
    return check;
}

} // namespace navlet
