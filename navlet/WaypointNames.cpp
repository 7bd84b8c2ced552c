#include "navlet/WaypointNames.h"

#include <QHash>
#include <QSet>
#include <algorithm>

namespace navlet {
namespace {

constexpr int NumberDigits = 3;

// How the receiver tells names apart: it pads and trims blanks and ignores case.
QString nameKey(const QString& name)
{
    return name.trimmed().toCaseFolded();
}

QString base36(int n)
{
    static const char digits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    QString out;
    do {
        out.prepend(QLatin1Char(digits[n % 36]));
        n /= 36;
    } while (n > 0);
    return out;
}

// The number `k` in at most `length` characters: three decimal digits ("001") while they fit,
// more digits or letters when the decimal ones run out; empty when nothing fits.
QString numberText(int k, int length)
{
    const int width = std::min(NumberDigits, length);
    const QString decimal = QString::number(k).rightJustified(width, QLatin1Char('0'));
    if (decimal.size() <= length)
        return decimal;
    const QString letters = base36(k).rightJustified(width, QLatin1Char('0'));
    return letters.size() <= length ? letters : QString();
}

constexpr QChar Replacement = u'-';

// Letters and signs that decomposition does not bring to ASCII.
QString foldedSpecial(QChar c)
{
    switch (c.unicode()) {
    case 0x2018: case 0x2019: case 0x201A: case 0x201B: case 0x2032: case 0x00B4: return QStringLiteral("'");
    case 0x201C: case 0x201D: case 0x201E: case 0x201F: case 0x2033: case 0x00AB: case 0x00BB: return QStringLiteral("\"");
    case 0x2010: case 0x2011: case 0x2012: case 0x2013: case 0x2014: case 0x2015: case 0x2212: return QStringLiteral("-");
    case 0x00DF: return QStringLiteral("ss");
    case 0x00C6: return QStringLiteral("AE");
    case 0x00E6: return QStringLiteral("ae");
    case 0x0152: return QStringLiteral("OE");
    case 0x0153: return QStringLiteral("oe");
    case 0x00D8: return QStringLiteral("O");
    case 0x00F8: return QStringLiteral("o");
    case 0x0110: case 0x00D0: return QStringLiteral("D");
    case 0x0111: case 0x00F0: return QStringLiteral("d");
    case 0x0141: return QStringLiteral("L");
    case 0x0142: return QStringLiteral("l");
    case 0x00DE: return QStringLiteral("TH");
    case 0x00FE: return QStringLiteral("th");
    case 0x0131: return QStringLiteral("i");
    case 0x00A0: return QStringLiteral(" ");
    default: return {};
    }
}

bool upperCaseOnly(const QString& format)
{
    return waypointIdentChars(format) == 6;
}

} // namespace

QString reduceWaypointName(const QString& name, const QString& waypointFormat)
{
    const bool upper = upperCaseOnly(waypointFormat);
    QString out;
    for (const QChar c : name) {
        QString folded = foldedSpecial(c);
        if (folded.isEmpty()) {
            // Compatibility decomposition, accents dropped: "é" is "e", "ﬁ" is "fi", "①" is "1".
            for (const QChar d : QString(c).normalized(QString::NormalizationForm_KD))
                if (d.category() != QChar::Mark_NonSpacing)
                    folded += d;
        }
        for (QChar f : folded) {
            if (upper)
                f = f.toUpper();
            const bool kept = upper ? (f >= u'A' && f <= u'Z') || (f >= u'0' && f <= u'9') || f == u' ' || f == u'-'
                                    : f.unicode() >= 0x20 && f.unicode() < 0x7F;
            out += kept ? f : Replacement;
        }
    }
    return out;
}

std::vector<QString> makeWaypointNames(const std::vector<QString>& ssids, int chars, const QString& waypointFormat)
{
    const int length = std::max(0, chars);
    std::vector<QString> names;
    names.reserve(ssids.size());
    for (const QString& ssid : ssids)
        names.push_back(reduceWaypointName(ssid, waypointFormat).left(length));

    // The first of each name keeps it, wherever the others stand in the list.
    QSet<QString> taken;
    std::vector<bool> keep(names.size(), false);
    for (std::size_t i = 0; i < names.size(); ++i) {
        const QString key = nameKey(names[i]);
        if (!taken.contains(key)) {
            taken.insert(key);
            keep[i] = true;
        }
    }
    // The others get the lowest number whose name is still free. Numbers are counted per stem
    // so a long list does not test the same taken numbers again and again.
    QHash<QString, int> nextNumber;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (keep[i])
            continue;
        const QString stemKey = nameKey(names[i].left(std::max(0, length - NumberDigits)));
        int k = nextNumber.value(stemKey, 1);
        for (;; ++k) {
            const QString number = numberText(k, length);
            if (number.isEmpty())
                break; // every name of this length is taken; the host refuses the list
            const QString candidate = names[i].left(length - number.size()) + number;
            if (!taken.contains(nameKey(candidate))) {
                names[i] = candidate;
                taken.insert(nameKey(candidate));
                break;
            }
        }
        nextNumber.insert(stemKey, k + 1);
    }
    return names;
}

std::optional<std::size_t> firstRepeatedName(const std::vector<QString>& names)
{
    QSet<QString> seen;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const QString key = nameKey(names[i]);
        if (seen.contains(key))
            return i;
        seen.insert(key);
    }
    return std::nullopt;
}

int waypointNameLength(int navletChars, const QString& waypointFormat)
{
    const int kept = waypointIdentChars(waypointFormat);
    return kept > 0 ? std::min(navletChars, kept) : navletChars;
}

} // namespace navlet
