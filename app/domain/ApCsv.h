#pragma once
// The AP list as comma-separated text: one line per used slot, in slot order, CR LF line ends,
// "SSID","MAC",Signal,Latitude,Longitude,"Flags", no heading. Quotes inside a text are doubled
// so every CSV reader splits the line the same way. Text goes out as Windows-1252, the survey
// files' own encoding: each character below 256 is one byte.
#include <QByteArray>
#include <QString>

class QIODevice;

namespace aero {

class APList;

void writeApCsv(const APList& list, QIODevice& out);

// One text in Windows-1252; characters it lacks become "?".
QByteArray toWindows1252(const QString& text);

} // namespace aero
