#include "core/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace aero {

QString generalText(double value, int significantDigits)
{
    if (value == 0.0 || std::isnan(value))
        return QStringLiteral("0");
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*G", significantDigits, value);
    QString s = QString::fromLatin1(buf);
    s.replace(QLatin1Char(','), QLatin1Char('.'));   // snprintf follows LC_NUMERIC
    return s;
}

double leadingNumber(const QString& text)
{
    QByteArray digits;
    bool seenDigit = false, seenPoint = false, seenSign = false;
    for (QChar c : text) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t'))
            continue;
        if ((c == QLatin1Char('-') || c == QLatin1Char('+')) && !seenSign && !seenDigit && !seenPoint) {
            seenSign = true;
            if (c == QLatin1Char('-'))
                digits.append('-');
        } else if (c == QLatin1Char('.') && !seenPoint) {
            seenPoint = true;
            digits.append('.');
        } else if (c.isDigit() && c.unicode() < 128) {
            seenDigit = true;
            digits.append(c.toLatin1());
        } else {
            break;
        }
    }
    if (!seenDigit)
        return 0.0;
    double value = 0.0;   // from_chars ignores the C locale, unlike strtod
    std::from_chars(digits.constData(), digits.constData() + digits.size(), value);
    return value;
}

QString fixedText(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

} // namespace aero
