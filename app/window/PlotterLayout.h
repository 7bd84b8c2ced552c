#pragma once
// The main window's resize rules in twips (15 twips = 1 logical pixel).
#include "ui/Twips.h"

#include <optional>

namespace aero {

inline constexpr int MinWidthTwips = 11985;
inline constexpr int MinHeightTwips = 9270;
inline constexpr int StartMinHeightTwips = 9375;   // at start-up the stored height is raised to this

struct PlotterLayout {
    int fraNavTop, fraNavWidth;
    int fraMapWidth, fraMapHeight;
    int MapaWidth, MapaHeight;
    int fraProgTop, fraProgWidth;
    int pbMapWidth;
    int fraAPsHeight;
    int lstAPHeight;
    int lblNoAPsTop;
    int lstNoGpsTop;
};

// Panel sizes for a window W x H twips; `gpsLayout` while the navigation panel is shown.
PlotterLayout computeLayout(int W, int H, bool gpsLayout);

// A normal window smaller than the minimum snaps back to exactly the minimum size.
struct SizeTwips {
    int width, height;
};
std::optional<SizeTwips> snapBack(int W, int H, bool maximised);

} // namespace aero
