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

// A drop-down entry: its button and its place in the button's menu.
struct MenuEntry {
    int button;
    int entry;
    friend bool operator==(const MenuEntry&, const MenuEntry&) = default;
};

namespace entries {
inline constexpr MenuEntry ImportSummary{buttons::Import, 1}, ImportKismet{buttons::Import, 2},
                           ImportWigleCsv{buttons::Import, 3}, ImportKismetNetxml{buttons::Import, 4},
                           ImportKismetDb{buttons::Import, 5};
inline constexpr MenuEntry MapLoad{buttons::Map, 1}, MapSave{buttons::Map, 2}, MapSaveAs{buttons::Map, 3},
                           MapSaveHtml{buttons::Map, 4}, MapSaveImage{buttons::Map, 5},
                           MapNewEurope{buttons::Map, 6}, MapNewNorthAmerica{buttons::Map, 7};
inline constexpr MenuEntry ViewNavigation{buttons::View, 1}, ViewDrawing{buttons::View, 2},
                           ViewPlaces{buttons::View, 3}, ViewNames{buttons::View, 4},
                           ViewNamesAndInfo{buttons::View, 5};
inline constexpr MenuEntry GpsOff{buttons::GPS, 1}, NavletDownload{buttons::GPS, 12},
                           NavletUpload{buttons::GPS, 13}, Gpsd{buttons::GPS, 14};
// COM1: to COM8: follow "Disabled" and a separator.
constexpr MenuEntry gpsPort(int port) { return {buttons::GPS, port + 2}; }
constexpr int portOfEntry(int entry) { return entry - 2; }
inline constexpr int FirstPort = 1, LastPort = 8;
} // namespace entries

} // namespace aero
