#include "CoreFixture.h"

#include "window/PlotterLayout.h"
#include "window/Startup.h"

#include <gtest/gtest.h>

namespace aero::testing {
namespace {

class StartupTest : public CoreFixture {
protected:
    void start(const CommandLine& cl = {})
    {
        hooks.showSplash = [this] { ++splashes; };
        hooks.runScript = [this](const QString& p) { scripts << p; };
        hooks.newRegionMaps = [this](MapRegion r) { regions.push_back(r); };
        hooks.openMapFile = [this](const QString& p) { opened << p; };
        General_IniProg(ctx, cl, hooks);
    }
    StartupHooks hooks;
    int splashes = 0;
    QStringList scripts, opened;
    std::vector<MapRegion> regions;
};

TEST_F(StartupTest, FirstRunWritesEveryDefaultAndShowsTheSplashOnce)
{
    start();
    EXPECT_EQ(splashes, 1);
    EXPECT_EQ(settings.stored("Config", "VersionID"), AEROPLOTTER_VERSION);
    for (const SettingDefault& d : Settings::configDefaults()) {
        SCOPED_TRACE(d.key);
        EXPECT_EQ(settings.stored("Config", d.key), QString::fromLatin1(d.value));
        EXPECT_EQ(settings.value(d.key), QString::fromLatin1(d.value));
    }
    EXPECT_EQ(settings.stored("Screen", "State"), "0");
    EXPECT_EQ(settings.stored("Screen", "Width"), QString::number(window().widthTwips()));
    EXPECT_FALSE(ctx.state.MapLoaded);
    EXPECT_TRUE(window().toolbarButtonEnabled(1));
    EXPECT_TRUE(regions.empty());
}

TEST_F(StartupTest, DefaultsTableMatchesTheDocumentedOptions)
{
    const std::map<QString, QString> expected = {
        {"MapName", ""}, {"CustomMapName", ""}, {"LoadMap", "0"}, {"LoadCustom", "0"}, {"CenLat", "0"},
        {"CenLon", "0"}, {"CenZoom", "0"}, {"MapUnits", "1"}, {"AutoCenter", "0"}, {"NavBar", "0"},
        {"DrawBar", "0"}, {"ShowPOI", "0"}, {"GPSPort", "1"}, {"NavletPort", "1"}, {"NavletChars", "6"},
        {"CenterMap", "0"}, {"TrackColor", "0"}, {"NMEAColor", "0"}, {"ScriptInput", "0"}, {"VoiceOut", "0"},
        {"RTVoiceOut", "0"}};
    for (const auto& [key, value] : expected)
        EXPECT_EQ(settings.value(key), value) << qPrintable(key);
}

TEST_F(StartupTest, OlderVersionKeepsItsValuesGetsTheNewStampAndOneSplash)
{
    settings.store("Config", "VersionID", "1.4.2");
    settings.store("Config", "NavletChars", "10");
    settings.store("Screen", "State", "0");
    start();
    EXPECT_EQ(splashes, 1);
    EXPECT_EQ(settings.stored("Config", "VersionID"), AEROPLOTTER_VERSION);
    EXPECT_EQ(settings.value("NavletChars"), "10");
    splashes = 0;
    start();
    EXPECT_EQ(splashes, 0);
}

TEST_F(StartupTest, StoredPlacementIsClampedToTheMinimumAndTheScreen)
{
    settings.store("Config", "VersionID", AEROPLOTTER_VERSION);
    settings.store("Screen", "State", "0");
    settings.store("Screen", "Width", "5000");
    settings.store("Screen", "Height", "12000");
    settings.store("Screen", "Top", "-300");
    settings.store("Screen", "Left", "1500");
    start();
    EXPECT_EQ(window().widthTwips(), 11985);
    EXPECT_EQ(window().heightTwips(), 12000);
    EXPECT_EQ(window().y(), 0);
    EXPECT_EQ(window().x(), 100);
}

TEST_F(StartupTest, StateTwoOpensMaximised)
{
    settings.store("Config", "VersionID", AEROPLOTTER_VERSION);
    settings.store("Screen", "State", "2");
    settings.store("Screen", "Width", "5000");
    start();
    EXPECT_TRUE(window().isMaximized());
}

TEST_F(StartupTest, ScriptOnTheCommandLineRunsAndLoadsNoMap)
{
    settings.store("Config", "VersionID", AEROPLOTTER_VERSION);
    settings.store("Config", "LoadMap", "1");
    settings.store("Config", "MapName", "1");
    start(parseCommandLine({"something", "/s", "/tmp/x.aps"}));
    EXPECT_EQ(scripts, QStringList{"/tmp/x.aps"});
    EXPECT_TRUE(regions.empty());
    EXPECT_TRUE(window().toolbarButtonEnabled(1));   // a script without $END leaves a usable window
}

TEST_F(StartupTest, CustomMapWithoutAFileNameIsRefusedAndRegionMapWins)
{
    settings.store("Config", "VersionID", AEROPLOTTER_VERSION);
    settings.store("Config", "LoadCustom", "1");
    start();
    EXPECT_EQ(dialogs.texts(), QStringList{"Could not load custom map. Filename not entered."});
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_TRUE(window().toolbarButtonEnabled(3));
}

TEST_F(StartupTest, RegionNotInstalledIsReportedInWords)
{
    settings.store("Config", "VersionID", AEROPLOTTER_VERSION);
    settings.store("Config", "LoadMap", "1");
    settings.store("Config", "LoadCustom", "1");
    settings.store("Config", "MapName", "0");
    hooks.newRegionMaps = [](MapRegion) { throw AppError(errors::RegionNotInstalled, "not installed"); };
    General_IniProg(ctx, {}, hooks);
    EXPECT_EQ(dialogs.texts(), QStringList{"The map you are trying to load is not installed."});
    EXPECT_TRUE(window().toolbarButtonEnabled(1));
}

TEST(ColorRamp, ThreeRunsOfTwentySixFromRedThroughYellowAndGreenToCyan)
{
    ColorRampTable ramp;
    ColorArray(ramp);
    EXPECT_EQ(ramp[0], 255.0f);
    EXPECT_EQ(ramp[25], 255.0f + 256.0f * 250);
    EXPECT_EQ(ramp[26], 255.0f + 256.0f * 255);
    EXPECT_EQ(ramp[30], 215.0f + 256.0f * 255);
    EXPECT_EQ(ramp[51], 5.0f + 256.0f * 255);
    EXPECT_EQ(ramp[52], 256.0f * 255);
    EXPECT_EQ(ramp[77], 256.0f * 255 + 65536.0f * 250);
    EXPECT_EQ(ramp[78], 0.0f);
}

TEST(CommandLineParse, ScriptSwitchMustStandAloneAndTakesTheNextArgument)
{
    struct Case {
        const char* legend;
        QStringList args;
        const char* script;
        const char* map;
    } cases[] = {
        {"upper case", {"/S", "/home/me/run.aps"}, "/home/me/run.aps", ""},
        {"lower case with arguments before it", {"foo", "bar", "/s", "run.aps"}, "run.aps", ""},
        {"a path with /s inside is a map, not a script", {"/srv/maps/a.kml"}, "", "/srv/maps/a.kml"},
        {"linux spelling", {"--script", "x.aps"}, "x.aps", ""},
        {"no switch", {"/usr/share/x"}, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.legend);
        const CommandLine cl = parseCommandLine(c.args);
        EXPECT_EQ(cl.scriptPath, QString::fromLatin1(c.script));
        EXPECT_EQ(cl.mapFile, QString::fromLatin1(c.map));
    }
    EXPECT_FALSE(parseCommandLine({"/S"}).error.isEmpty());
    EXPECT_TRUE(parseCommandLine({"--unattended"}).unattended);
}

} // namespace
} // namespace aero::testing
