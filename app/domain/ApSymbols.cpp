#include "domain/ApSymbols.h"

#include "domain/AsciiText.h"
#include "domain/NumberText.h"

#include <QStringList>

namespace aero {

std::optional<int> signalBand(float signalDbm)
{
    const float v = signalDbm + 149.0f;
    if (v >= 99.0f)
        return 4;
    if (v >= 79.0f && v <= 98.0f)
        return 3;
    if (v >= 59.0f && v <= 78.0f)
        return 2;
    if (v <= 58.0f)
        return 1;
    return std::nullopt;
}

std::optional<int> apSymbol(const AccessPoint& ap)
{
    const auto band = signalBand(ap.Signal);
    if (!band)
        return std::nullopt;
    return (ap.WEP == QLatin1String("1") ? 339 : 335) + *band;
}

QString apNote(const AccessPoint& ap)
{
    QString note;
    note.reserve(ap.MAC.size() + 64);
    note += QLatin1String("MAC = ");
    note += ap.MAC;
    note += QLatin1String("\r\nSignal = ");
    note += singleText(ap.Signal);
    note += QLatin1String(" dBm\r\n");
    note += ap.WEP == QLatin1String("1") ? QLatin1String("WEP = On") : QLatin1String("WEP = Off");
    note += QLatin1String("\r\n");
    note += ap.Mode == QLatin1String("1") ? QLatin1String("BSS mode") : QLatin1String("Ad-Hoc mode");
    return note;
}

namespace {
bool noteHas(const QString& note, const char* text) { return note.contains(QLatin1String(text), Qt::CaseInsensitive); }
} // namespace

void readApNote(const QString& note, AccessPoint& r)
{
    if (const qsizetype at = note.indexOf(QLatin1String("MAC = "), 0, Qt::CaseInsensitive); at >= 0)
        r.MAC = asciiUpper(note.mid(at + 6, 17));
    if (const qsizetype at = note.indexOf(QLatin1String("Signal = "), 0, Qt::CaseInsensitive); at >= 0)
        r.Signal = static_cast<float>(leadingNumber(note.mid(at + 9, 16)));   // the whole number, "-66.5" too
    if (noteHas(note, "On"))
        r.WEP = QStringLiteral("1");
    if (noteHas(note, "Off"))
        r.WEP = QStringLiteral("0");
    if (noteHas(note, "BSS"))
        r.Mode = QStringLiteral("1");
    if (noteHas(note, "Ad-Hoc"))
        r.Mode = QStringLiteral("0");
}

bool listedEncrypted(const AccessPoint& r)
{
    if (r.Flags.isEmpty())
        return r.WEP == QLatin1String("1");
    const QChar c = r.Flags.size() >= 3 ? r.Flags[2] : QChar();
    return c == QLatin1Char('3') || c == QLatin1Char('1');
}

const QStringList& customSymbolFiles()
{
    static const QStringList files = {
        QStringLiteral("Icons/O1.ico"), QStringLiteral("Icons/O2.ico"), QStringLiteral("Icons/O3.ico"),
        QStringLiteral("Icons/O4.ico"), QStringLiteral("Icons/W1.ico"), QStringLiteral("Icons/W2.ico"),
        QStringLiteral("Icons/W3.ico"), QStringLiteral("Icons/W4.ico"), QStringLiteral("Icons/Stumbler.bmp"),
    };
    return files;
}

} // namespace aero
