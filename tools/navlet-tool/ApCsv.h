#pragma once
// The program's comma-separated access-point list, in Windows-1252:
//   "SSID","MAC",Signal,Latitude,Longitude,"Flags"   (CR LF lines, quotes doubled inside fields)
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

struct ApRow {
    QString ssid;
    QString mac;
    double latitude = 0;
    double longitude = 0;
};

// Splits CSV text into records of fields; quoted fields may hold commas, quotes and newlines.
std::vector<QStringList> parseCsv(const QString& text);

// Leading numeric part of a text with "." as the decimal point; 0 when there is none.
double leadingNumber(const QString& text);

// Every row with at least the five first fields. Rows without a position (both 0, as a
// header line also gives) are left out.
std::vector<ApRow> readApRows(const QByteArray& bytes);
