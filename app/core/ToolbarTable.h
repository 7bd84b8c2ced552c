#pragma once
// The main toolbar `tbMain`: buttons in index order with their keys, tool tips and drop-down
// entries. Index 6 is a separator and 12 an empty placeholder before About.
#include <QString>
#include <vector>

namespace aero {

struct MenuEntryDef {
    int index;
    const char* text;     // nullptr: a separator
};

struct ButtonDef {
    int index;
    const char* key;      // nullptr: separator or placeholder
    const char* toolTip;
    std::vector<MenuEntryDef> entries;
};

namespace buttons {
inline constexpr int Import = 1, Filter = 2, Map = 3, SaveCsv = 4, Trash = 5, View = 7, Config = 8, GPS = 9,
                     ACT = 10, Exit = 11, About = 13;
}

const std::vector<ButtonDef>& toolbarTable();

// Entry 14 of the GPS button: the gpsd source, after the thirteen serial entries.
inline constexpr int GpsdEntry = 14;

} // namespace aero
