// The commands small enough to live with the main window: view toggles, Trash and Exit.
#include "window/frmPlotter.h"

#include "ui/ErrorReport.h"
#include "window/Startup.h"
#include "ui/ToolbarTable.h"
#include "window/frmAbout.h"
#include "window/frmConfig.h"
#include "map/MapService.h"
#include "commands/MapCommands.h"

#include <QCloseEvent>

namespace aero {
namespace {

const QString NoMapForView = QStringLiteral("Cannot change map view properties until a map has been loaded.");

} // namespace

void frmPlotter::viewToggle(int entry)
{
    guarded(m_ctx.dialogs, QStringLiteral("tbMain_ButtonMenuClick"), [&] {
        if (!m_ctx.state.MapLoaded) {
            m_ctx.dialogs.message(NoMapForView, Icon::Exclamation);
            return;
        }
        switch (entry) {
        case 1:
            toggleSetting(QStringLiteral("NavBar"), 1, NavigationToolbar, QStringLiteral("Show navigation toolbar"),
                          QStringLiteral("Hide navigation toolbar"));
            break;
        case 2:
            toggleSetting(QStringLiteral("DrawBar"), 2, DrawingToolbar, QStringLiteral("Show drawing toolbar"),
                          QStringLiteral("Hide drawing toolbar"));
            break;
        case 3:
            toggleSetting(QStringLiteral("ShowPOI"), 3, 0, QStringLiteral("Show points of interest"),
                          QStringLiteral("Hide points of interest"));
            break;
        default:
            toggleNames(entry);
            break;
        }
    });
}

void frmPlotter::toggleSetting(const QString& key, int entry, int toolbarItem, const QString& showText,
                               const QString& hideText)
{
    const bool show = m_ctx.settings.value(key) == QLatin1String("0");
    m_ctx.settings.setValue(key, show ? QStringLiteral("1") : QStringLiteral("0"));
    if (toolbarItem)
        m_ctx.Mapa->setToolbarVisible(toolbarItem, show);
    else
        m_ctx.Mapa->setPlacesVisible(show);
    setMenuText({buttons::View, entry}, show ? hideText : showText);
}

void frmPlotter::toggleNames(int entry)
{
    MapService& map = *m_ctx.Mapa;
    if (map.MarkerSetCount() < 1) {
        m_ctx.dialogs.message(
            QStringLiteral("Cannot change map view properties until a map has been loaded and APs imported."),
            Icon::Exclamation);
        return;
    }
    QString& flag = m_ctx.state.ShowAPNames;
    const int state = flag == QLatin1String("0") ? (entry == 4 ? 1 : 2) : flag == QLatin1String("1") ? 0 : -1;
    if (state >= 0)
        for (MarkerId m : map.EnumerateMarkers())
            map.setMarkerDisplayState(m, state);
    const bool wasOff = flag == QLatin1String("0");
    flag = wasOff ? QStringLiteral("1") : QStringLiteral("0");
    if (entry == 4)
        setMenuText(entries::ViewNames, wasOff ? QStringLiteral("Hide all AP names") : QStringLiteral("Show all AP names"));
    else
        setMenuText(entries::ViewNamesAndInfo,
                    wasOff ? QStringLiteral("Hide all AP names and info") : QStringLiteral("Show all AP names and info"));
}

void frmPlotter::applyViewSettings()
{
    MapService& map = *m_ctx.Mapa;
    const bool poi = m_ctx.settings.value(QStringLiteral("ShowPOI")) != QLatin1String("0");
    map.setPlacesVisible(poi);
    setMenuText(entries::ViewPlaces, poi ? QStringLiteral("Hide points of interest") : QStringLiteral("Show points of interest"));
    const bool nav = m_ctx.settings.isOn(QStringLiteral("NavBar"));
    map.setToolbarVisible(NavigationToolbar, nav);
    setMenuText(entries::ViewNavigation, nav ? QStringLiteral("Hide navigation toolbar") : QStringLiteral("Show navigation toolbar"));
    const bool draw = m_ctx.settings.isOn(QStringLiteral("DrawBar"));
    map.setToolbarVisible(DrawingToolbar, draw);
    setMenuText(entries::ViewDrawing, draw ? QStringLiteral("Hide drawing toolbar") : QStringLiteral("Show drawing toolbar"));
}

void frmPlotter::Trash()
{
    guarded(m_ctx.dialogs, QStringLiteral("tbMain_ButtonClick"), [&] {
        if (!m_ctx.state.MapLoaded) {
            m_ctx.dialogs.message(QStringLiteral("No data to trash."), Icon::Exclamation);
            return;
        }
        if (m_lstAPModel.count() == 0)
            return;
        const Answer a = m_ctx.dialogs.message(
            QStringLiteral("Erasing the AP list is permanent, unless you don't save the map on exit, sure?"),
            Icon::Question, Buttons::YesNo);
        if (a != Answer::Yes)
            return;
        SetToolbarEnabled(false);
        m_ctx.Mapa->DeleteMarkerSet();
        m_lstAPModel.clear();
        m_lstNoGpsModel.clear();
        m_ctx.apList.NextAP = 0;
        setFraAPsCaption(QStringLiteral("Logged APs:"));
        m_ctx.apList.clear();
        SetToolbarEnabled(true);
    });
}

void frmPlotter::Exit()
{
    if (confirmExit())
        finish(true);
}

void frmPlotter::EndProgram()
{
    if (confirmExit())
        finish(false);
}

bool frmPlotter::confirmExit()
{
    // A changed map gets the one question that can keep it; otherwise the plain one.
    if (!m_ctx.state.ScriptRunning && m_ctx.mapChanged && m_ctx.mapChanged() && m_ctx.offerToSaveChanges)
        return m_ctx.offerToSaveChanges(
            QStringLiteral("The map has changed since it was last saved. Save it before exiting?"));
    return m_ctx.dialogs.message(QStringLiteral("Exit, really?"), Icon::Question, Buttons::YesNo) == Answer::Yes;
}

void frmPlotter::endNow(bool setExiting)
{
    // Asked first: a cancelled save keeps the program, the GPS and the map as they are.
    if (offerToSave())
        finish(setExiting);
}

void frmPlotter::finish(bool setExiting)
{
    if (m_ctx.state.GPSEnabled && m_ctx.disconnectGps)
        m_ctx.disconnectGps();
    if (setExiting)
        m_ctx.state.Exiting = true;
    if (m_ctx.state.MapLoaded) {
        m_ctx.Mapa->CloseMap();
        if (m_ctx.upMap) {
            m_ctx.upMap->MarkSaved();
            m_ctx.upMap->CloseMap();
        }
        m_ctx.state.MapLoaded = false;
    }
    General_SaveIni(m_ctx);
    m_ctx.state.Exiting = true;   // from here on closing the window is not intercepted
    m_ended = true;
    close();
    Q_EMIT programEnded();
}

bool frmPlotter::offerToSave()
{
    return !m_ctx.offerToSaveChanges || m_ctx.offerToSaveChanges(SaveBeforeReplacing);
}

void frmPlotter::closeEvent(QCloseEvent* event)
{
    if (m_ctx.state.Exiting || m_ended) {
        event->accept();
        return;
    }
    event->ignore();
    EndProgram();
}

void frmPlotter::openConfig()
{
    guarded(m_ctx.dialogs, QStringLiteral("tbMain_ButtonClick"), [&] {
        auto* dialog = findChild<frmConfig*>();
        if (!dialog)
            dialog = new frmConfig(m_ctx, this);
        dialog->fillFromSettings();
        dialog->setWindowModality(Qt::ApplicationModal);
        dialog->show();
        dialog->raise();
    });
}

void frmPlotter::openAbout()
{
    auto* about = findChild<frmAbout*>();
    if (!about)
        about = new frmAbout(this);
    about->setWindowModality(Qt::ApplicationModal);
    about->show();
    about->raise();
}

} // namespace aero
