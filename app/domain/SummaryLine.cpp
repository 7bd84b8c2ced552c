#include "domain/SummaryLine.h"

#include "domain/AsciiText.h"
#include "domain/SurveyNumber.h"
#include "domain/WindowsText.h"

namespace aero::import {

namespace {

const QString BlankSsid = QStringLiteral("BLANK SSID");

// Every search stops at the end of the line: a missing delimiter gives -1.
qsizetype find(QByteArrayView line, char c, qsizetype from)
{
    return from < line.size() ? line.indexOf(c, from) : -1;
}

QByteArrayView between(QByteArrayView line, qsizetype begin, qsizetype end)
{
    return begin < end ? line.sliced(begin, end - begin) : QByteArrayView();
}

// Positions of the delimiters of one data line, found left to right.
struct Fields {
    QByteArrayView latitude, longitude, ssid, mac, snr, signal, noise, flags;
    char lonHemisphere = 0;
};

bool scanCoordinates(QByteArrayView line, Fields& f, qsizetype& pos)
{
    const qsizetype tab1 = find(line, '\t', 0);
    if (tab1 < 0 || tab1 + 1 >= line.size())
        return false;
    f.latitude = between(line, 2, tab1);
    f.lonHemisphere = line[tab1 + 1];
    const qsizetype tab2 = find(line, '\t', tab1 + 1);
    if (tab2 < 0)
        return false;
    f.longitude = between(line, tab1 + 3, tab2);
    pos = tab2;
    return true;
}

bool scanNames(QByteArrayView line, Fields& f, qsizetype& pos)
{
    const qsizetype open1 = find(line, '(', pos);
    const qsizetype close1 = open1 < 0 ? -1 : find(line, ')', open1 + 1);
    const qsizetype open2 = close1 < 0 ? -1 : find(line, '(', close1 + 1);
    const qsizetype close2 = open2 < 0 ? -1 : find(line, ')', open2 + 1);
    if (close2 < 0)
        return false;
    f.ssid = between(line, open1 + 1, close1);
    f.mac = between(line, open2 + 1, close2);
    pos = close2 + 1;
    return true;
}

bool scanSignalAndFlags(QByteArrayView line, Fields& f, qsizetype pos)
{
    const qsizetype bracket = find(line, '[', pos);
    const qsizetype sp1 = bracket < 0 ? -1 : find(line, ' ', bracket + 1);
    const qsizetype sp2 = sp1 < 0 ? -1 : find(line, ' ', sp1 + 1);
    const qsizetype sp3 = sp2 < 0 ? -1 : find(line, ' ', sp2 + 1);
    const qsizetype close = sp3 < 0 ? -1 : find(line, ')', sp3 + 1);
    if (close < 0 || close + 2 + 4 > line.size())
        return false;
    f.snr = between(line, sp1 + 1, sp2);
    f.signal = between(line, sp2 + 1, sp3);
    const qsizetype sp4 = find(line, ' ', sp3 + 1);
    f.noise = between(line, sp3 + 1, sp4 < 0 || sp4 > close ? close : sp4);
    f.flags = line.sliced(close + 2, 4);
    return true;
}

double signedBy(char hemisphere, char positive, char negative, double value)
{
    if (hemisphere == positive)
        return value;
    return hemisphere == negative ? -value : 0.0;
}

QString ssidText(QByteArrayView raw)
{
    const QByteArrayView trimmed = trimSpaces(raw);
    return trimmed.isEmpty() ? BlankSsid : fromWindows1252(trimmed);
}

void fillRecord(QByteArrayView line, const Fields& f, SummaryRecord& r)
{
    r.latitude = signedBy(line[0], 'N', 'S', leadingNumber(f.latitude));
    r.longitude = signedBy(f.lonHemisphere, 'E', 'W', leadingNumber(f.longitude));
    r.snr = leadingNumber(f.snr);
    r.signal = leadingNumber(f.signal);
    r.noise = leadingNumber(f.noise);
    r.noFix = line.size() >= 4 && line[2] == '0' && line[3] == '.';

    AccessPoint& ap = r.ap;
    ap = AccessPoint{};
    ap.SSID = ssidText(f.ssid);
    ap.MAC = asciiUpper(fromWindows1252(trimSpaces(f.mac)));
    ap.Signal = static_cast<float>(r.signal - SummarySignalOffset);
    const QByteArrayView flags = trimSpaces(f.flags);
    ap.Flags = fromWindows1252(flags);
    if (r.noFix)
        return;   // no coordinates, and encryption and mode left unknown
    ap.Latitude = r.latitude;
    ap.Longitude = r.longitude;
    const char third = flags.size() >= 3 ? flags[2] : 0;
    ap.WEP = (third == '1' || third == '3') ? QStringLiteral("1") : QStringLiteral("0");
    const char last = flags.isEmpty() ? 0 : flags.back();
    if (last == '1')
        ap.Mode = QStringLiteral("1");
    else if (last == '2')
        ap.Mode = QStringLiteral("0");
}

bool containsIgnoringCase(QByteArrayView line, QLatin1StringView what)
{
    return fromWindows1252(line).contains(what, Qt::CaseInsensitive);
}

} // namespace

SummaryLineKind parseSummaryLine(QByteArrayView line, SummaryRecord& record)
{
    if (line.isEmpty() || (line[0] != 'N' && line[0] != 'S'))
        return SummaryLineKind::NotData;
    Fields f;
    qsizetype pos = 0;
    if (!scanCoordinates(line, f, pos) || !scanNames(line, f, pos) || !scanSignalAndFlags(line, f, pos))
        return SummaryLineKind::Truncated;
    fillRecord(line, f, record);
    return SummaryLineKind::Data;
}

bool isSummaryCreatorLine(QByteArrayView line)
{
    return containsIgnoringCase(line, QLatin1StringView("Network Stumbler"));
}

bool isSummaryFormatLine(QByteArrayView line)
{
    return containsIgnoringCase(line, QLatin1StringView("wi-scan summary"));
}

} // namespace aero::import
