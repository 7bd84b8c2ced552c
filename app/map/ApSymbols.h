#pragma once
// How an access point looks on the map: its symbol (open or encrypted, four signal bands) and
// the note its marker carries.
#include "core/AccessPoint.h"

#include <QString>
#include <optional>

namespace aero {

inline constexpr int FirstApSymbol = 336;   // O1; W1 is 340; Stumbler.bmp takes 344

// Signal band 1 (weakest) to 4 of a signal in dBm; none for values strictly between bands.
std::optional<int> signalBand(float signalDbm);

// Symbol number of a record: 335 + band for an open network, 339 + band for an encrypted one.
std::optional<int> apSymbol(const AccessPoint& ap);

// "MAC = ...", "Signal = -66 dBm", "WEP = On/Off", "BSS mode"/"Ad-Hoc mode", joined by CR LF.
QString apNote(const AccessPoint& ap);

// The nine symbol files, in the order they are added to a map.
const QStringList& customSymbolFiles();

} // namespace aero
