#pragma once
// The program's nine symbol files as a map file names them, and how other KML viewers are told
// to show them. Plain data and Qt Core only: map files are read and written without a GUI.
#include <QString>
#include <array>

namespace aero {

struct ApSymbolStyle {
    const char* file;     // below the program's folder
    const char* id;       // KML Style id
    unsigned rgb;         // 0xRRGGBB: green open, red encrypted, darker for a stronger signal
    double scale;         // bigger for a stronger signal
};

// In the order a new map gets them: O1..O4 (open), W1..W4 (encrypted), the position marker.
inline constexpr std::array<ApSymbolStyle, 9> ApSymbolStyles = {{
    {"Icons/O1.ico", "O1", 0x9EE29E, 0.7},
    {"Icons/O2.ico", "O2", 0x5FCF5F, 0.85},
    {"Icons/O3.ico", "O3", 0x22B422, 1.0},
    {"Icons/O4.ico", "O4", 0x0A800A, 1.2},
    {"Icons/W1.ico", "W1", 0xF2A0A0, 0.7},
    {"Icons/W2.ico", "W2", 0xE06060, 0.85},
    {"Icons/W3.ico", "W3", 0xD02020, 1.0},
    {"Icons/W4.ico", "W4", 0x900000, 1.2},
    {"Icons/Stumbler.bmp", "Stumbler", 0x2060FF, 1.0},
}};

// A marker a filter marked: a grey mark other viewers can tell from every band.
inline constexpr ApSymbolStyle FilteredStyle = {"", "Filtered", 0x808080, 1.0};

// The program symbol a stored symbol path names (by its file name in an Icons folder), or -1.
int programSymbolIndex(const QString& path);

// How a map file names a symbol file: a program symbol by its name below the program's folder,
// so the map opens anywhere the program is installed; any other file as given.
QString portableSymbolPath(const QString& path);

// The file to read for a stored symbol path: program symbols from this program's folder, even
// when the map was written with the absolute path of another install.
QString resolveSymbolPath(const QString& stored, const QString& programFolder);

} // namespace aero
