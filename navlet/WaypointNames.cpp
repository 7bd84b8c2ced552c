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

} // namespace

std::vector<QString> makeWaypointNames(const std::vector<QString>& ssids, int chars)
{
    const int length = std::max(0, chars);
    std::vector<QString> names;
    names.reserve(ssids.size());
    for (const QString& ssid : ssids)
        names.push_back(ssid.left(length));

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
