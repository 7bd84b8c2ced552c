#pragma once
// How an access point looks on the map: its symbol (open or encrypted, four signal bands) and
// the note its marker carries.
#include "domain/AccessPoint.h"

#include <QString>
#include <optional>

namespace aero {

inline constexpr int FirstApSymbol = 336;   // O1; W1 is 340; Stumbler.bmp takes 344

// Signal band 1 (weakest) to 4 of a signal in dBm; none for values strictly between bands.
std::optional<int> signalBand(float signalDbm);

// Symbol number of a record: 335 + band for an open network, 339 + band for an encrypted one.
std::optional<int> apSymbol(const AccessPoint& ap);

// The marker note: "MAC = ...", "Signal = -66 dBm", "WEP = On/Off", "BSS mode"/"Ad-Hoc mode",
// joined by CR LF. readApNote takes back what a note holds (MAC, signal, WEP, mode) into `ap`,
// leaving the fields it does not find; it reads notes edited by hand or by older versions too.
QString apNote(const AccessPoint& ap);
void readApNote(const QString& note, AccessPoint& ap);

// An AP symbol (open 336-339, encrypted 340-343), as opposed to the position mark or a pushpin.
inline bool isApSymbol(int symbol) { return symbol >= FirstApSymbol && symbol < FirstApSymbol + 8; }
inline bool isEncryptedApSymbol(int symbol) { return symbol >= FirstApSymbol + 4 && symbol < FirstApSymbol + 8; }

// An AP shows the padlock when the encryption character of its flags (the third) is 1 or 3;
// records without flags (Kismet) go by their WEP field.
bool listedEncrypted(const AccessPoint& ap);

// The nine symbol files, in the order they are added to a map.
const QStringList& customSymbolFiles();

} // namespace aero
