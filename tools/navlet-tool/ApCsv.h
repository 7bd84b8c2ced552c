#pragma once
// The program's comma-separated access-point list, in Windows-1252:
//   "SSID","MAC",Signal,Latitude,Longitude,"Flags"   (CR LF lines, quotes doubled inside fields)
#include <QString>
#include <QStringList>
#include <vector>

class QIODevice;

struct ApRow {
    QString ssid;
    QString mac;
    double latitude = 0;
    double longitude = 0;
};

struct ApRows {
    std::vector<ApRow> rows;
    QString error;   // why the list was refused: too many rows, a record too long, a read error
};

// Longest record read (a quote left open would otherwise swallow the rest of the file).
inline constexpr qsizetype MaxRecordChars = 64 * 1024;

// Every row with at least the five first fields, read record by record so only the rows are
// held. Rows without a position (both 0, as a header line also gives) are left out. More than
// `maxRows` rows is an error, found without reading the rest.
ApRows readApRows(QIODevice& in, std::size_t maxRows);

// Leading numeric part of a text with "." as the decimal point; 0 when there is none.
double leadingNumber(const QString& text);
