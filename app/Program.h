#pragma once
// The composition root: creates the AP table, the options, the dialogs, both maps, the main
// window and the modules, and wires every toolbar command to its module.
#include "ui/AppContext.h"
#include "window/CommandLine.h"
#include "window/Startup.h"

#include <QDialog>
#include <QPointer>
#include <memory>
#include <optional>

class GPS;

namespace aero {

class Application;
class ListPanels;
class LivePosition;
class MapControl;
class frmPlotter;
class frmFilters;
class frmACT;
class frmNavlet;
class frmNavletUp;
enum class ScriptOutcome;

class Program {
public:
    // `dialogs` outlives the program; tests pass scripted ones.
    explicit Program(Dialogs& dialogs, bool interactive = true);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    AppContext& context() { return m_ctx; }
    frmPlotter& window() { return *m_window; }
    MapControl& mapa() { return *m_mapa; }
    MapControl& uploadMap() { return *m_upMap; }
    ListPanels& panels() { return *m_panels; }
    GPS& gps() { return *m_gps; }
    LivePosition& live() { return *m_live; }
    Application& automation() { return *m_automation; }
    frmFilters& filters();
    frmACT& comparison();
    frmNavlet& navletDownload();
    frmNavletUp& navletUpload();

    // Start-up as the program runs it; the script outcome when a script ran.
    void start(const CommandLine& commandLine);
    std::optional<ScriptOutcome> scriptOutcome() const { return m_scriptOutcome; }

    // Exit code of an unattended run: 0 when the script reached $END with nothing refused or
    // reported, 1 when something failed, 2 when the script could not be read.
    int unattendedExitCode() const;

private:
    void wireCommands();
    void wireMapData();
    StartupHooks startupHooks();
    static void showModal(QDialog& dialog);

    Settings m_settings;
    APList m_apList;
    Dialogs& m_dialogs;
    bool m_interactive;
    AppContext m_ctx;
    std::unique_ptr<MapControl> m_mapa;
    std::unique_ptr<MapControl> m_upMap;
    std::unique_ptr<frmPlotter> m_window;
    std::unique_ptr<ListPanels> m_panels;
    std::unique_ptr<GPS> m_gps;
    std::unique_ptr<LivePosition> m_live;
    std::unique_ptr<Application> m_automation;
    std::optional<ScriptOutcome> m_scriptOutcome;
    QPointer<frmFilters> m_filters;   // children of the main window
    QPointer<frmACT> m_act;
    QPointer<frmNavlet> m_navletDown;
    QPointer<frmNavletUp> m_navletUp;
};

} // namespace aero
