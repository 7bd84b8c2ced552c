#pragma once
// Numbers as text, the way every message, note and file of the program writes them:
// "." as decimal point whatever the locale, no leading blank, no trailing zeros, and the
// classic general format's E-notation only for very large or very small magnitudes.
#include <QString>
#include <cstddef>

namespace aero {

QString generalText(double value, int significantDigits);
// The same characters written into `out` (at least 32 bytes); returns how many.
std::size_t generalChars(double value, int significantDigits, char* out, std::size_t size);

// A single-precision value in its shortest text form (7 significant digits): -66, -66.5
inline QString singleText(float value) { return generalText(static_cast<double>(value), 7); }

// A double in its shortest text form (15 significant digits): 37.7694283
inline QString doubleText(double value) { return generalText(value, 15); }

// Leading numeric part of a text ("-66 dBm" -> -66, "abc" -> 0), "." as decimal point;
// blanks before the number and between its characters are skipped.
double leadingNumber(const QString& text);

// Fixed decimals with "." ("0.0" -> 1 decimal, "0.00" -> 2).
QString fixedText(double value, int decimals);

} // namespace aero
