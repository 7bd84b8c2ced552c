#pragma once
// A large, realistic wi-scan text summary for benchmarks: a drive with one data line per
// sighting, SSIDs drawn from a small set of common names (so many repeat), about 10% of
// the lines repeating an AP already listed and 5% written without a GPS fix. With `badPercent`,
// that share of the data lines is written semicolon-separated, as another tool would, so the
// reader cannot take them.
// Deterministic: the same arguments give the same bytes.
#include <QByteArray>

#include <cstdio>
#include <random>

namespace bench_support {

inline QByteArray generateSummary(int dataLines, unsigned seed = 20050611, int badPercent = 0)
{
    static const char* const names[] = {
        "linksys", "default", "NETGEAR", "dlink", "WLAN", "belkin54g", "Wireless", "SpeedStream",
        "tsunami", "hpsetup", "homenet", "HOME", "casa", "smith-home", "The Lopez Family", " ",
    };
    std::mt19937 rng(seed);
    const auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };

    QByteArray out;
    out.reserve(static_cast<qsizetype>(dataLines) * 130 + 512);
    out += "# $Creator: Network Stumbler Version 0.4.0\r\n"
           "# $Format: wi-scan summary with extensions\r\n"
           "# Latitude\tLongitude\t( SSID )\tType\t( BSSID )\tTime (GMT)\t[ SNR Sig Noise ]\t"
           "# ( Name )\tFlags\tChannelbits\tBcnIntvl\r\n"
           "# $DateGMT: 2005-06-11\r\n";
    char line[256];
    unsigned nextMac = 1;
    for (int i = 0; i < dataLines; ++i) {
        if (badPercent > 0 && i % 100 < badPercent) {
            const int n = std::snprintf(line, sizeof line, "N 37.%07d;W 122.%07d;( bad%d );BSS;( 00:0d:00:00:00:01 )\r\n",
                                        i % 9999999, i % 7777777, i);
            out.append(line, n);
            continue;
        }
        const bool repeat = i > 0 && pick(10) == 0;
        const unsigned mac = repeat ? 1 + rng() % nextMac : nextMac++;
        const bool noFix = pick(20) == 0;
        const double lat = 37.75 + (i % 5000) * 0.000003, lon = 122.40 + (i % 7000) * 0.000003;
        const int signal = 54 + pick(56), noise = 49 + pick(10);
        const int t = 12 * 3600 + i / 4;
        const char* name = names[mac % (sizeof names / sizeof *names)];
        const char* flags[] = {"0001", "0011", "0021", "0031", "0401", "0411", "0002", "0012"};
        char position[64];
        if (noFix)
            std::snprintf(position, sizeof position, "N 0.0000000\tE 0.0000000");
        else
            std::snprintf(position, sizeof position, "N %.7f\tW %.7f", lat, lon);
        const int n = std::snprintf(line, sizeof line,
            "%s\t( %s )\tBSS\t( 00:%02x:%02x:%02x:%02x:%02x )\t%02d:%02d:%02d (GMT)\t[ %d %d %d ]\t# ( )\t%s\t"
            "0040\t100\r\n",
            position, name, 0x0c, (mac >> 24) & 0xff, (mac >> 16) & 0xff, (mac >> 8) & 0xff, mac & 0xff,
            t / 3600, t / 60 % 60, t % 60, signal > noise ? signal - noise : 0, signal, noise, flags[mac % 8]);
        out.append(line, n);
    }
    return out;
}

} // namespace bench_support
