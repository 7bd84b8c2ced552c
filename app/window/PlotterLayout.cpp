#include "window/PlotterLayout.h"

namespace aero {

PlotterLayout computeLayout(int W, int H, bool gps)
{
    PlotterLayout l{};
    l.fraNavTop = H - 1575;
    l.fraNavWidth = W - 4170;
    l.fraMapWidth = W - 4170;
    l.fraMapHeight = gps ? H - 2520 : H - 1440;
    l.MapaHeight = gps ? H - 2940 : H - 1860;
    l.MapaWidth = W - 4410;
    l.fraProgTop = gps ? H - 3135 : H - 2055;
    l.fraProgWidth = W - 4410;
    l.pbMapWidth = W - 5970;
    l.fraAPsHeight = H - 1440;
    l.lstAPHeight = H - 3120;
    l.lblNoAPsTop = H - 2775;
    l.lstNoGpsTop = H - 2535;
    return l;
}

std::optional<SizeTwips> snapBack(int W, int H, bool maximised)
{
    if (!maximised && (W < MinWidthTwips || H < MinHeightTwips))
        return SizeTwips{MinWidthTwips, MinHeightTwips};
    return std::nullopt;
}

} // namespace aero
