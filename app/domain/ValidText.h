#pragma once
// Text every file format can carry. Survey logs may hold lone UTF-16 surrogates (a JSON
// "\ud800" escape), control characters or the noncharacters U+FFFE/U+FFFF in an SSID; no XML
// document can hold them, so one such name would make every later save of the map fail.
#include <QString>

namespace aero {

bool isValidText(const QString& text);

// `text` with each such code unit replaced by U+FFFD; tab, line feed and carriage return stay.
QString validText(const QString& text);

} // namespace aero
