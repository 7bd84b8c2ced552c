#pragma once
// One line of a wi-scan text summary, decoded without any I/O.
//
// Layout of a data line (TAB between columns; the reader finds fields by scanning for
// delimiters, never by column count):
//   N 37.7694283<TAB>W 122.4176333<TAB>( home )<TAB>BSS<TAB>( 00:06:25:0a:1b:2c )<TAB>
//   12:35:19 (GMT)<TAB>[ 27 83 56 ]<TAB># ( )<TAB>0011<TAB>0040<TAB>100
// Hemisphere at character 1, latitude from character 3 to the first TAB, longitude from two
// characters after its hemisphere letter to the next TAB, the SSID and the MAC inside the
// next two "( )" pairs (the type column between them holds none), then "[ snr signal noise ]"
// with signal and noise as dBm + 149, and the 4 flag characters two after the ")" that
// closes the name column. Lines beginning "N 0." were written without a GPS fix.
#include "domain/AccessPoint.h"

#include <QByteArrayView>

namespace aero::import {

struct SummaryRecord {
    AccessPoint ap;            // the record as the AP table stores it
    double latitude = 0.0;     // signed as written (south and west negative), even without a fix
    double longitude = 0.0;
    double snr = 0.0;          // the "[ snr signal noise ]" numbers exactly as written
    double signal = 0.0;
    double noise = 0.0;
    bool noFix = false;        // the line's latitude text begins "0."
    qint64 line = 0;           // line number in the file (set by the reader)

    friend bool operator==(const SummaryRecord&, const SummaryRecord&) = default;
};

enum class SummaryLineKind {
    Data,        // parsed into the record
    NotData,     // comment, blank or anything not beginning with "N" or "S"
    Truncated,   // a data line that ends before all its fields were found
};

// Decodes one line (without its line end). The record is written only for Data.
SummaryLineKind parseSummaryLine(QByteArrayView line, SummaryRecord& record);

// The first two lines that make a file a text summary (case is ignored).
bool isSummaryCreatorLine(QByteArrayView line);   // contains "Network Stumbler"
bool isSummaryFormatLine(QByteArrayView line);    // contains "wi-scan summary"

// Signal in dBm from the summary's signal number.
inline constexpr double SummarySignalOffset = 149.0;

} // namespace aero::import
