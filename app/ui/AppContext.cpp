#include "ui/AppContext.h"

#include "ui/DoEvents.h"
#include "ui/ErrorReport.h"
#include "ui/PlotterWindow.h"

#include <utility>

namespace aero {

void ColorArray(ColorRampTable& ramp)
{
    ramp.fill(0.0f);
    auto rgb = [](int r, int g, int b) { return static_cast<float>(r + 256 * g + 65536 * b); };
    for (int i = 0; i < 26; ++i) {
        ramp[static_cast<std::size_t>(i)] = rgb(255, 10 * i, 0);
        ramp[static_cast<std::size_t>(26 + i)] = rgb(255 - 10 * i, 255, 0);
        ramp[static_cast<std::size_t>(52 + i)] = rgb(0, 255, 10 * i);
    }
}

QString openFileDialog(AppContext& ctx, const FileRequest& request)
{
    if (!ctx.CDG.handedOver.isEmpty())
        return std::exchange(ctx.CDG.handedOver, QString());
    return ctx.dialogs.openFile(request);
}

void yieldOrStop(const AppContext& ctx)
{
    DoEvents();
    if (ctx.window && ctx.window->ended())
        throw OperationCancelled{};
}

} // namespace aero
