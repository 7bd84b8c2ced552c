#include "domain/ValidText.h"

namespace aero {

namespace {

// Length of the valid character at i (1 or 2 code units), 0 when it is not valid.
qsizetype validAt(const QString& s, qsizetype i)
{
    const char16_t c = s.at(i).unicode();
    if (QChar::isHighSurrogate(c))
        return i + 1 < s.size() && QChar::isLowSurrogate(s.at(i + 1).unicode()) ? 2 : 0;
    if (QChar::isLowSurrogate(c) || c == 0xFFFE || c == 0xFFFF)
        return 0;
    if (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r')
        return 0;
    return 1;
}

} // namespace

bool isValidText(const QString& text)
{
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype n = validAt(text, i);
        if (n == 0)
            return false;
        i += n;
    }
    return true;
}

QString validText(const QString& text)
{
    if (isValidText(text))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype n = validAt(text, i);
        if (n == 0) {
            out += QChar::ReplacementCharacter;
            ++i;
        } else {
            out += QStringView(text).mid(i, n);
            i += n;
        }
    }
    return out;
}

} // namespace aero
