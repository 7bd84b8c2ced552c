#include "domain/NumberText.h"

#include <charconv>
#include <cmath>

namespace aero {

std::size_t generalChars(double value, int significantDigits, char* out, std::size_t size)
{
    if (value == 0.0 || std::isnan(value)) {
        out[0] = '0';
        return 1;
    }
    // The printf "%.*G" form, without its locale and several times faster.
    const auto r = std::to_chars(out, out + size, value, std::chars_format::general, significantDigits);
    for (char* p = out; p != r.ptr; ++p)
        if (*p == 'e')
            *p = 'E';
    return static_cast<std::size_t>(r.ptr - out);
}

QString generalText(double value, int significantDigits)
{
    char buf[64];
    const std::size_t n = generalChars(value, significantDigits, buf, sizeof buf);
    return QString::fromLatin1(buf, static_cast<qsizetype>(n));
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
