#pragma once
// Readable failure output for whole-record comparisons, and small file builders.
#include "domain/AccessPoint.h"
#include "domain/SummaryLine.h"

#include <TempDir.h>

#include <QByteArray>
#include <QFile>
#include <QStringList>
#include <QString>

#include <ostream>
#include <vector>

inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace aero {

inline void PrintTo(const AccessPoint& ap, std::ostream* os)
{
    *os << "{Lat " << ap.Latitude << ", Lon " << ap.Longitude << ", SSID \"" << ap.SSID.toStdString()
        << "\", MAC \"" << ap.MAC.toStdString() << "\", Signal " << ap.Signal << ", Flags \""
        << ap.Flags.toStdString() << "\", WEP \"" << ap.WEP.toStdString() << "\", Mode \""
        << ap.Mode.toStdString() << "\"}";
}

namespace import {

inline void PrintTo(const SummaryRecord& r, std::ostream* os)
{
    *os << "{line " << r.line << ", lat " << r.latitude << ", lon " << r.longitude << ", snr " << r.snr
        << ", signal " << r.signal << ", noise " << r.noise << (r.noFix ? ", no fix" : "") << ", ap ";
    aero::PrintTo(r.ap, os);
    *os << "}";
}

} // namespace import
} // namespace aero

namespace import_test {

inline const QByteArray SummaryHeader =
    "# $Creator: Network Stumbler Version 0.4.0\r\n"
    "# $Format: wi-scan summary with extensions\r\n"
    "# Latitude\tLongitude\t( SSID )\tType\t( BSSID )\tTime (GMT)\t[ SNR Sig Noise ]\t"
    "# ( Name )\tFlags\tChannelbits\tBcnIntvl\r\n";

// A data line in the summary's own layout.
inline QByteArray dataLine(const QByteArray& lat, const QByteArray& lon, const QByteArray& ssid,
                           const QByteArray& mac, const QByteArray& block = "[ 27 83 56 ]",
                           const QByteArray& flags = "0011")
{
    return lat + '\t' + lon + "\t( " + ssid + " )\tBSS\t( " + mac + " )\t12:35:19 (GMT)\t" + block
        + "\t# ( )\t" + flags + "\t0040\t100";
}

inline aero::AccessPoint ap(double lat, double lon, const QString& ssid, const QString& mac, float signal,
                            const QString& flags, const QString& wep, const QString& mode)
{
    aero::AccessPoint r;
    r.Latitude = lat;
    r.Longitude = lon;
    r.SSID = ssid;
    r.MAC = mac;
    r.Signal = signal;
    r.Flags = flags;
    r.WEP = wep;
    r.Mode = mode;
    return r;
}

inline QString sourceFile(const QString& relative)
{
    return testing_support::sourceDir() + QLatin1Char('/') + relative;
}

inline QString dataFile(const char* name)
{
    return sourceFile(QStringLiteral("app/domain/tests/data/") + QLatin1String(name));
}

// A table worked out by examples/make-survey-logs.py: "records observations skipped otherKinds",
// then MAC|SSID|Signal|Latitude|Longitude|Flags|WEP|Mode per AP.
struct Golden {
    qint64 records = -1, observations = -1, skipped = -1, otherKinds = -1;
    std::vector<aero::AccessPoint> table;
};

inline Golden readGolden(const char* name)
{
    Golden g;
    QFile file(dataFile(name));
    if (!file.open(QIODevice::ReadOnly))
        return g;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (lines.isEmpty())
        return g;
    const QStringList counts = lines[0].split(QLatin1Char(' '));
    g.records = counts.value(0).toLongLong();
    g.observations = counts.value(1).toLongLong();
    g.skipped = counts.value(2).toLongLong();
    g.otherKinds = counts.value(3).toLongLong();
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList f = lines[i].split(QLatin1Char('|'));
        if (f.size() == 8)
            g.table.push_back(ap(f[3].toDouble(), f[4].toDouble(), f[1], f[0], f[2].toFloat(), f[5], f[6], f[7]));
    }
    return g;
}

} // namespace import_test
