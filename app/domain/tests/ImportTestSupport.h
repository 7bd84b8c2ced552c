#pragma once
// Readable failure output for whole-record comparisons, and small file builders.
#include "domain/AccessPoint.h"
#include "domain/SummaryLine.h"

#include <TempDir.h>

#include <QByteArray>
#include <QString>

#include <ostream>

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

} // namespace import_test
