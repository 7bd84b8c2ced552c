#pragma once
// The program follows the desktop's light or dark colour scheme; the map keeps its own colours.
class QApplication;

namespace aero {

// Where the desktop prefers dark (the XDG desktop portal's colour scheme, or a GTK theme named
// "…:dark") and the platform palette is still light, the program switches to a dark palette.
void followDesktopColourScheme(QApplication& app);

} // namespace aero
