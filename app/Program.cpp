#include "Program.h"

#include "window/Automation.h"
#include "ui/ToolbarTable.h"
#include "window/frmAbout.h"
#include "window/frmPlotter.h"
#include "GPS.h"
#include "PortMap.h"
#include "commands/ImportCommands.h"
#include "domain/SurveyExport.h"
#include "survey/SurveyTableImport.h"
#include "live/LivePosition.h"
#include "commands/ListPanels.h"
#include "commands/MapCommands.h"
#include "map/MapControl.h"
#include "map/MapView.h"
#include "map/OsmExtractMarks.h"
#include "commands/Plotter.h"
#include "commands/Placement.h"
#include "domain/ProgramFolder.h"
#include "receiver/ReceiverCommands.h"
#include "receiver/frmNavlet.h"
#include "receiver/frmNavletUp.h"
#include "script/RunScript.h"
#include "tools/frmACT.h"
#include "tools/frmFilters.h"

#include <QFileInfo>
#include <QMenu>
#include <QToolButton>

namespace aero {

Program::Program(Dialogs& dialogs, bool interactive)
    : m_dialogs(dialogs), m_interactive(interactive), m_ctx(m_settings, m_apList, m_dialogs)
{
    m_settings.loadConfig();
    ColorArray(m_ctx.ColorRamp);
    m_ctx.programFolder = programFolder();
    m_mapa = std::make_unique<MapControl>(MapOptions::fromSettings(m_settings));
    m_upMap = std::make_unique<MapControl>(MapOptions::fromSettings(m_settings));
    m_ctx.Mapa = m_mapa.get();
    // A balloon shows what the logs said of its AP below the marker's note.
    m_mapa->setBalloonExtra([this](const QString& name) {
        const int slot = m_apList.findBySSID(name);
        return slot > 0 ? import::observationLines(m_apList.observation(slot)).join(QStringLiteral("\r\n")) : QString();
    });
    m_ctx.upMap = m_upMap.get();
    m_window = std::make_unique<frmPlotter>(m_ctx);
    m_ctx.window = m_window.get();
    m_window->setMapWidget(m_mapa->view());
    m_panels = std::make_unique<ListPanels>(m_ctx);
    m_gps = std::make_unique<GPS>();
    m_live = std::make_unique<LivePosition>(m_ctx, *m_gps);
    m_ctx.disconnectGps = [live = m_live.get()] { live->disconnect(); };
    m_automation = std::make_unique<Application>(m_ctx.state.ScriptInputActive);
    wireCommands();
}

Program::~Program()
{
    m_ctx.state.Exiting = true;
    m_ctx.disconnectGps = nullptr;
    m_live.reset();
    m_gps.reset();
    m_ctx.window = nullptr;
    m_window.reset();
}

void Program::wireCommands()
{
    frmPlotter& w = *m_window;
    AppContext& ctx = m_ctx;
    for (const import::SurveyPolicy& p : import::surveyPolicies())
        w.setMenuCommand(*importEntryFor(p.format), [&ctx, format = p.format] { importSurveyLog(ctx, format); });
    w.setMenuCommand(entries::MapLoad, [&ctx] { loadMap(ctx); });
    w.setMenuCommand(entries::MapSave, [&ctx] { saveMap(ctx); });
    w.setMenuCommand(entries::MapSaveAs, [&ctx] { saveMapAs(ctx); });
    w.setMenuCommand(entries::MapSaveHtml, [&ctx] { saveHtml(ctx); });
    w.setMenuCommand(entries::MapSaveImage, [&ctx] { saveImage(ctx); });
    w.setMenuCommand(entries::MapNewEurope, [&ctx] { createNewMap(ctx, MapRegion::Europe); });
    w.setMenuCommand(entries::MapNewNorthAmerica, [&ctx] { createNewMap(ctx, MapRegion::NorthAmerica); });
    w.setButtonCommand(QStringLiteral("Save CSV"), [&ctx] { saveCsv(ctx); });
    ctx.offerToSaveChanges = [&ctx](const QString& question) { return offerToSaveChanges(ctx, question); };
    ctx.mapChanged = [&ctx] { return mapChanged(ctx); };
    QObject::connect(m_mapa.get(), &MapControl::changed, &w, &frmPlotter::refreshSoon);
    w.setButtonCommand(QStringLiteral("Filter"), [this] { showModal(filters()); });
    w.setButtonCommand(QStringLiteral("ACT"), [this] { showModal(comparison()); });

    LivePosition& live = *m_live;
    w.setMenuCommand(entries::GpsOff, [&live] { live.gpsOff(); });
    for (int port = entries::FirstPort; port <= entries::LastPort; ++port)
        w.setMenuCommand(entries::gpsPort(port), [&live, port] { live.gpsOn(entries::gpsPort(port).entry); });
    w.setMenuCommand(entries::Gpsd, [&live] { live.gpsdOn(); });
    // The GPS menu names the device behind each port and the gpsd it would read, as set now.
    QObject::connect(w.toolButton(buttons::GPS)->menu(), &QMenu::aboutToShow, &w, [&w, &live] {
        for (int port = entries::FirstPort; port <= entries::LastPort; ++port)
            w.setMenuHint(entries::gpsPort(port), portmap::devicePath(port));
        w.setMenuText(entries::Gpsd, live.gpsdEntryText());
    });
    w.setMenuText(entries::Gpsd, live.gpsdEntryText());
    w.setMenuCommand(entries::NavletDownload, [this] { openNavletDownload(m_ctx, navletDownload()); });
    w.setMenuCommand(entries::NavletUpload, [this] { openNavletUpload(m_ctx, navletUpload()); });

    ListPanels& panels = *m_panels;
    QObject::connect(&w, &frmPlotter::lstAPClicked, &panels, &ListPanels::lstAP_Click);
    QObject::connect(&w, &frmPlotter::lstAPDoubleClicked, &panels, &ListPanels::lstAP_DblClick);
    QObject::connect(&w, &frmPlotter::lstNoGpsDoubleClicked, &panels, &ListPanels::lstNoGps_DblClick);
    QObject::connect(&w, &frmPlotter::lstNoGpsPlaceByTrack, &w, [this] { placeByTrackFile(m_ctx); });
    MapView* view = m_mapa->mapView();
    QObject::connect(view, &MapView::mousePressed, &panels, &ListPanels::Map_MouseDown);
    QObject::connect(view, &MapView::mouseReleased, &panels, [&panels] { panels.Map_MouseUp(); });
    QObject::connect(view, &MapView::markerClicked, &panels, &ListPanels::Map_MarkerClick);
    wireMapData();
}

void Program::wireMapData()
{
    // The configuration dialog reads a new extract at once (with its progress bar) and hands
    // the new map data to both maps on Done.
    m_ctx.readMapData = [this](const QString& path, const std::function<bool(int)>& progress) {
        takeBackOsmExtract(m_settings, path);   // added again: tried again
        const OsmLoadResult r = loadOsmExtract(path, defaultOsmCacheFolder(), progress);
        const QString edge = r.skipped ? QStringLiteral(" %1 ways cut at the extract's edge are drawn in part or left out.").arg(r.skipped)
                                       : QString();
        switch (r.status) {
        case OsmLoadResult::Status::FromCache:
        case OsmLoadResult::Status::Read:
            return std::pair{true, QStringLiteral("%1: %2 features ready.").arg(QFileInfo(path).fileName()).arg(r.data->features.size()) + edge};
        case OsmLoadResult::Status::CacheNotWritten:
            return std::pair{true, QStringLiteral("%1 is drawn but could not be cached (%2); it will be read again at the next start.")
                                       .arg(QFileInfo(path).fileName(), r.error)};
        case OsmLoadResult::Status::CannotOpen:
            return std::pair{false, QStringLiteral("The map data file %1 could not be opened.").arg(path)};
        case OsmLoadResult::Status::NotAnExtract:
            return std::pair{false, QStringLiteral("%1 is not an OpenStreetMap extract: %2").arg(path, r.error)};
        case OsmLoadResult::Status::Cancelled:
            return std::pair{false, QString()};
        }
        return std::pair{false, QString()};
    };
    // Map data named in the settings that is missing or broken is said once, when a map first needs it.
    QObject::connect(m_mapa.get(), &MapControl::baseLayerProblem, m_window.get(), [this](const QString& text) {
        m_dialogs.message(QStringLiteral("Map data left out: %1").arg(text), Icon::Exclamation);
    });
    m_ctx.positionMethodChanged = [this] { replaceByMethod(m_ctx); };
    m_ctx.mapDataChanged = [this] {
        const MapOptions o = MapOptions::fromSettings(m_settings);
        for (MapControl* map : {m_mapa.get(), m_upMap.get()}) {
            map->setOsmExtracts(o.osmExtracts);
            if (!map->setTilePack(o.tilePack) && map == m_mapa.get())
                m_dialogs.message(QStringLiteral("The tile pack %1 could not be opened: %2").arg(o.tilePack, map->tilePackLayer().error()),
                                  Icon::Exclamation);
        }
    };
}

frmFilters& Program::filters()
{
    if (!m_filters)
        m_filters = new frmFilters(m_ctx, m_window.get());   // hidden, not destroyed, between openings
    return *m_filters;
}

frmACT& Program::comparison()
{
    if (!m_act)
        m_act = new frmACT(m_ctx, m_window.get());
    return *m_act;
}

frmNavlet& Program::navletDownload()
{
    if (!m_navletDown)
        m_navletDown = new frmNavlet(m_ctx, m_window.get());   // hidden, not destroyed, between openings
    return *m_navletDown;
}

frmNavletUp& Program::navletUpload()
{
    if (!m_navletUp)
        m_navletUp = new frmNavletUp(m_ctx, m_upMap->view(), m_window.get());
    return *m_navletUp;
}

void Program::showModal(QDialog& dialog)
{
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.show();
    dialog.raise();
}

StartupHooks Program::startupHooks()
{
    StartupHooks hooks;
    AppContext& ctx = m_ctx;
    if (m_interactive)
        hooks.showSplash = [this] {
            frmSplash splash(m_window.get());
            splash.exec();
        };
    hooks.runScript = [this](const QString& path) { m_scriptOutcome = RunScript(m_ctx, path); };
    hooks.newRegionMaps = [&ctx](MapRegion region) {
        for (MapService* m : {ctx.Mapa, ctx.upMap}) {
            m->NewRegionMap(region);
            m->setViewStyle(3);
        }
    };
    hooks.openMapFile = [&ctx](const QString& path) {
        if (offerToSaveChanges(ctx))
            openMapAndRebuild(ctx, path);
    };
    hooks.addCustomSymbols = [&ctx] {
        addCustomSymbols(*ctx.Mapa, ctx.programFolder);
        addCustomSymbols(*ctx.upMap, ctx.programFolder);
    };
    return hooks;
}

void Program::start(const CommandLine& commandLine)
{
    General_IniProg(m_ctx, commandLine, startupHooks());
}

int Program::unattendedExitCode() const
{
    if (!m_scriptOutcome)
        return 1;
    switch (*m_scriptOutcome) {
    case ScriptOutcome::MissingFile:
    case ScriptOutcome::BadHeader: return 2;
    case ScriptOutcome::Ended: return m_dialogs.errorReports() == 0 && m_dialogs.refusals() == 0 ? 0 : 1;
    case ScriptOutcome::FinishedWithoutEnd:
    case ScriptOutcome::Stopped: return 1;
    }
    return 1;
}

} // namespace aero
