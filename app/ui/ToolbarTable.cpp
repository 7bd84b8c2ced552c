#include "ui/ToolbarTable.h"

namespace aero {

const std::vector<ButtonDef>& toolbarTable()
{
    static const std::vector<ButtonDef> table = {
        {1, "Import", "Import a file", {{1, "Netstumbler summary"}, {2, "Kismet .csv"}, {3, "WiGLE CSV"},
                                         {4, "Kismet netxml"}, {5, "Kismet log (.kismet)"}}},
        {2, "Filter", "Filter APs", {}},
        {3, "Map", "Map options",
         {{1, "Load"}, {2, "Save"}, {3, "Save as"}, {4, "Save HTML"}, {5, "Save image"},
          {6, "Create new Europe"}, {7, "Create new North America"}}},
        {4, "Save CSV", "Save to ASCII file", {}},
        {5, "Trash", "Erase AP list", {}},
        {6, nullptr, nullptr, {}},
        {7, "View", "Map view modes",
         {{1, "Show navigation toolbar"}, {2, "Show drawing toolbar"}, {3, "Show points of interest"},
          {4, "Show all AP names"}, {5, "Show all AP names and info"}}},
        {8, "Config", "Configure program", {}},
        {9, "GPS", "GPS Settings",
         {{1, "Disabled"}, {2, nullptr}, {3, "COM1:"}, {4, "COM2:"}, {5, "COM3:"}, {6, "COM4:"},
          {7, "COM5:"}, {8, "COM6:"}, {9, "COM7:"}, {10, "COM8:"}, {11, nullptr},
          {12, "Navlet download"}, {13, "Navlet uploads"}, {14, "gpsd (localhost:2947)"}}},
        {10, "ACT", "Antenna Comparison Tool", {}},
        {11, "Exit", "Exit", {}},
        {12, nullptr, nullptr, {}},
        {13, "About", "About...", {}},
    };
    return table;
}

} // namespace aero
