#include "receiver/ReceiverCommands.h"

#include "ui/ErrorReport.h"
#include "ui/PlotterWindow.h"
#include "receiver/frmNavlet.h"
#include "receiver/frmNavletUp.h"

namespace aero {
namespace {

const QString MenuRoutine = QStringLiteral("tbMain_ButtonMenuClick");

void showModal(QDialog& window)
{
    window.setWindowModality(Qt::ApplicationModal);
    window.show();
    window.raise();
}

} // namespace

bool mayOpenNavletDownload(AppContext& ctx)
{
    if (!ctx.state.MapLoaded) {
        ctx.dialogs.message(QStringLiteral("Cannot execute GPS functions until a map has been loaded."), Icon::Exclamation);
        return false;
    }
    return !ctx.state.GPSEnabled;   // the live position owns the GPS meanwhile
}

bool mayOpenNavletUpload(AppContext& ctx)
{
    if (!mayOpenNavletDownload(ctx))
        return false;
    if (ctx.window && ctx.window->lstAP().count() > 0)
        return true;
    ctx.dialogs.message(QStringLiteral("There are no APs listed, please import or open a map file containing APs."),
                        Icon::Information);
    return false;
}

void openNavletDownload(AppContext& ctx, frmNavlet& window)
{
    guarded(ctx.dialogs, MenuRoutine, [&] {
        if (window.isVisible() || !mayOpenNavletDownload(ctx))
            return;
        window.start();
        showModal(window);
    });
}

void openNavletUpload(AppContext& ctx, frmNavletUp& window)
{
    guarded(ctx.dialogs, MenuRoutine, [&] {
        if (window.isVisible() || !mayOpenNavletUpload(ctx))
            return;
        window.start();
        showModal(window);
    });
}

} // namespace aero
