#include "domain/SurveyNumber.h"

#include "domain/NumberText.h"

#include <QString>

#include <charconv>

namespace aero::import {

double leadingNumber(QByteArrayView text)
{
    char digits[64];
    int n = 0;
    bool seenDigit = false, seenPoint = false, seenSign = false;
    for (const char c : text) {
        if (c == ' ' || c == '\t')
            continue;
        if ((c == '-' || c == '+') && !seenSign && !seenDigit && !seenPoint) {
            seenSign = true;
            if (c == '+')
                continue;
        } else if (c == '.' && !seenPoint) {
            seenPoint = true;
        } else if (c >= '0' && c <= '9') {
            seenDigit = true;
        } else {
            break;
        }
        if (n == int(sizeof digits))
            return aero::leadingNumber(QString::fromLatin1(text));   // a freak; the slow path agrees
        digits[n++] = c;
    }
    if (!seenDigit)
        return 0.0;
    double value = 0.0;
    std::from_chars(digits, digits + n, value);
    return value;
}

} // namespace aero::import
