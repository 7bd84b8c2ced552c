#include "window/Startup.h"

#include "ui/ErrorReport.h"
#include "domain/NumberText.h"
#include "window/PlotterLayout.h"
#include "ui/PlotterWindow.h"

#include <QWidget>
#include <algorithm>
#include "map/MapService.h"

namespace aero {
namespace {

const QString Screen = QStringLiteral("Screen");

QString twipsText(int twips) { return singleText(static_cast<float>(twips)); }

void checkVersion(AppContext& ctx, const StartupHooks& hooks)
{
    Settings& s = ctx.settings;
    const QString version = s.stored(QStringLiteral("Config"), QStringLiteral("VersionID"));
    if (version.isEmpty()) {
        s.writeDefaults();
        s.loadConfig();
        if (hooks.showSplash)
            hooks.showSplash();
        return;
    }
    s.loadConfig();
    if (version != QLatin1String(Settings::Version)) {
        s.store(QStringLiteral("Config"), QStringLiteral("VersionID"), QString::fromLatin1(Settings::Version));
        if (hooks.showSplash)
            hooks.showSplash();
    }
}

void loadStartupMap(AppContext& ctx, const StartupHooks& hooks)
{
    Settings& s = ctx.settings;
    if (s.isOn(QStringLiteral("LoadMap"))) {
        const MapRegion region = s.value(QStringLiteral("MapName")) == QLatin1String("1") ? MapRegion::Europe
                                                                                         : MapRegion::NorthAmerica;
        if (hooks.newRegionMaps)
            hooks.newRegionMaps(region);
        ctx.state.MapLoaded = true;
        if (ctx.Mapa->SymbolCount() == BuiltInSymbolCount && hooks.addCustomSymbols)
            hooks.addCustomSymbols();
    } else if (s.isOn(QStringLiteral("LoadCustom"))) {
        const QString path = s.value(QStringLiteral("CustomMapName"));
        if (path.isEmpty()) {
            ctx.dialogs.message(QStringLiteral("Could not load custom map. Filename not entered."), Icon::Exclamation);
            return;
        }
        if (hooks.openMapFile)
            hooks.openMapFile(path);
    }
}

void applyStartupView(AppContext& ctx)
{
    if (!ctx.state.MapLoaded)
        return;
    Settings& s = ctx.settings;
    MapService& map = *ctx.Mapa;
    if (s.isOn(QStringLiteral("AutoCenter")))
        map.CentreOn(map.MakeLocation(s.number(QStringLiteral("CenLat")), s.number(QStringLiteral("CenLon")),
                                      s.number(QStringLiteral("CenZoom"))));
    const QString units = s.value(QStringLiteral("MapUnits"));
    if (units == QLatin1String("1"))
        map.setUnits(MapUnit::Kilometres);
    else if (units == QLatin1String("2"))
        map.setUnits(MapUnit::Miles);
    ctx.window->applyViewSettings();
}

} // namespace

void restoreWindowPlacement(AppContext& ctx)
{
    Settings& s = ctx.settings;
    QWidget& w = ctx.window->widget();
    if (s.stored(Screen, QStringLiteral("State")).isEmpty()) {
        s.store(Screen, QStringLiteral("State"), QStringLiteral("0"));
        s.store(Screen, QStringLiteral("Top"), twipsText(w.y() * TwipsPerPixel));
        s.store(Screen, QStringLiteral("Left"), twipsText(w.x() * TwipsPerPixel));
        s.store(Screen, QStringLiteral("Width"), twipsText(w.width() * TwipsPerPixel));
        s.store(Screen, QStringLiteral("Height"), twipsText(w.height() * TwipsPerPixel));
    }
    const QString state = s.stored(Screen, QStringLiteral("State"));
    if (state == QLatin1String("2")) {
        w.showMaximized();
        return;
    }
    if (state == QLatin1String("1")) {
        w.showMinimized();
        return;
    }
    w.showNormal();
    // Stored text may hold any number: clamp before converting (a cast of 1e300 is undefined).
    auto stored = [&](const char* key) {
        return static_cast<int>(std::clamp(leadingNumber(s.stored(Screen, QString::fromLatin1(key))), -1e8, 1e8));
    };
    const int top = std::max(stored("Top"), 0);
    const int left = std::max(stored("Left"), 0);
    const int width = std::max(stored("Width"), MinWidthTwips);
    const int height = std::max(stored("Height"), StartMinHeightTwips);
    w.move(left / TwipsPerPixel, top / TwipsPerPixel);
    w.resize(width / TwipsPerPixel, height / TwipsPerPixel);
}

void General_IniProg(AppContext& ctx, const CommandLine& commandLine, const StartupHooks& hooks)
{
    PlotterWindow& w = *ctx.window;
    try {
        w.widget().show();
        w.SetToolbarEnabled(false);
        ColorArray(ctx.ColorRamp);
        checkVersion(ctx, hooks);
        restoreWindowPlacement(ctx);
        if (!commandLine.scriptPath.isEmpty()) {
            w.SetToolbarEnabled(true);
            if (hooks.runScript)
                hooks.runScript(commandLine.scriptPath);
            return;
        }
        if (!commandLine.mapFile.isEmpty()) {
            if (hooks.openMapFile)
                hooks.openMapFile(commandLine.mapFile);
        } else {
            loadStartupMap(ctx, hooks);
        }
        applyStartupView(ctx);
        w.SetToolbarEnabled(true);
    } catch (const AppError& e) {
        w.SetToolbarEnabled(true);
        if (e.code == errors::RegionNotInstalled && ctx.settings.isOn(QStringLiteral("LoadMap")))
            ctx.dialogs.message(QStringLiteral("The map you are trying to load is not installed."), Icon::Exclamation);
        else
            ShowErrorReport(ctx.dialogs, QStringLiteral("General_IniProg"), e.code, e.description);
    } catch (const std::exception& e) {
        w.SetToolbarEnabled(true);
        ShowErrorReport(ctx.dialogs, QStringLiteral("General_IniProg"), errors::InvalidProcedureCall,
                        QString::fromLocal8Bit(e.what()));
    }
}

void General_SaveIni(AppContext& ctx)
{
    guarded(ctx.dialogs, QStringLiteral("General_SaveIni"), [&] {
        Settings& s = ctx.settings;
        s.saveConfig();
        if (!ctx.window)
            return;
        const QWidget& w = ctx.window->widget();
        const QString state = w.isMinimized() ? QStringLiteral("1") : w.isMaximized() ? QStringLiteral("2") : QStringLiteral("0");
        s.store(Screen, QStringLiteral("State"), state);
        const QRect g = w.normalGeometry().isValid() ? w.normalGeometry() : w.geometry();
        s.store(Screen, QStringLiteral("Top"), twipsText(g.y() * TwipsPerPixel));
        s.store(Screen, QStringLiteral("Left"), twipsText(g.x() * TwipsPerPixel));
        s.store(Screen, QStringLiteral("Width"), twipsText(g.width() * TwipsPerPixel));
        s.store(Screen, QStringLiteral("Height"), twipsText(g.height() * TwipsPerPixel));
        s.sync();
    });
}

} // namespace aero
