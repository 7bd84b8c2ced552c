#pragma once
// Survey files come from Windows programs: one byte per character in the Windows-1252
// code page. Latin-1 agrees with it except for 0x80-0x9F, where Windows put the euro
// sign, typographic quotes, dashes and a few letters.
#include <QByteArrayView>
#include <QString>

namespace aero::import {

// Decodes Windows-1252 bytes. The five bytes the code page leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) map to the control character of the same number, as Windows does.
QString fromWindows1252(QByteArrayView bytes);

// The bytes without leading and trailing spaces (only ' ', the way the files pad fields).
QByteArrayView trimSpaces(QByteArrayView bytes);

} // namespace aero::import
