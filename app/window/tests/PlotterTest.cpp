#include "CoreFixture.h"

#include "window/PlotterLayout.h"
#include "ui/ToolbarTable.h"

#include <QAction>
#include <QGroupBox>
#include <QToolButton>
#include <QTreeView>

namespace aero::testing {
namespace {

using PlotterTest = CoreFixture;

TEST_F(PlotterTest, ToolbarCarriesTheKeysToolTipsAndEntriesInIndexOrder)
{
    struct Row {
        int index;
        const char* key;
        const char* tip;
    } rows[] = {{1, "Import", "Import a file"}, {2, "Filter", "Filter APs"}, {3, "Map", "Map options"},
                {4, "Save CSV", "Save to ASCII file"}, {5, "Trash", "Erase AP list"}, {7, "View", "Map view modes"},
                {8, "Config", "Configure program"}, {9, "GPS", "GPS Settings"}, {10, "ACT", "Antenna Comparison Tool"},
                {11, "Exit", "Exit"}, {13, "About", "About..."}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.key);
        QToolButton* b = window().toolButton(r.index);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->property("key").toString(), r.key);
        EXPECT_EQ(b->toolTip(), r.tip);
    }
    EXPECT_EQ(window().toolButton(6), nullptr);
    EXPECT_EQ(window().toolButton(12), nullptr);
    EXPECT_EQ(window().menuText({3, 4}), "Save HTML");
    EXPECT_EQ(window().menuText({9, 3}), "COM1:");
    EXPECT_EQ(window().menuText({9, 10}), "COM8:");
    EXPECT_EQ(window().menuText({9, 13}), "Navlet uploads");
    EXPECT_EQ(window().menuText({9, 14}), "gpsd (localhost:2947)");
    EXPECT_EQ(window().menuAction({9, 2}), nullptr);   // separator
}

TEST_F(PlotterTest, EveryDropDownEntryAndButtonReachesItsRegisteredCommand)
{
    std::vector<std::pair<int, int>> reached;
    for (const ButtonDef& b : toolbarTable())
        for (const MenuEntryDef& e : b.entries)
            if (e.text && b.index != buttons::View)
                window().setMenuCommand({b.index, e.index}, [&, b = b.index, e = e.index] { reached.push_back({b, e}); });
    std::vector<QString> clicked;
    for (const char* key : {"Filter", "Save CSV", "ACT"})
        window().setButtonCommand(key, [&clicked, key] { clicked.push_back(key); });

    int expected = 0;
    for (const ButtonDef& b : toolbarTable())
        for (const MenuEntryDef& e : b.entries)
            if (e.text && b.index != buttons::View) {
                window().menuAction({b.index, e.index})->trigger();
                ++expected;
                ASSERT_EQ(reached.size(), static_cast<std::size_t>(expected));
                EXPECT_EQ(reached.back(), std::make_pair(b.index, e.index));
            }
    for (int index : {buttons::Filter, buttons::SaveCsv, buttons::ACT})
        window().toolButton(index)->click();
    EXPECT_EQ(clicked, (std::vector<QString>{"Filter", "Save CSV", "ACT"}));
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(PlotterTest, AnEntryWithoutACommandSaysSoInsteadOfDoingNothing)
{
    window().tbMain_ButtonMenuClick(entries::NavletDownload);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.last(), "This command is not available in this version of Aeroplotter.");
}

TEST_F(PlotterTest, ViewTogglesRefuseWithoutAMap)
{
    for (int entry = 1; entry <= 5; ++entry)
        window().tbMain_ButtonMenuClick(buttons::View, entry);
    ASSERT_EQ(dialogs.shown.size(), 5u);
    for (const auto& s : dialogs.shown) {
        EXPECT_EQ(s.text, "Cannot change map view properties until a map has been loaded.");
        EXPECT_EQ(s.icon, Icon::Exclamation);
    }
    EXPECT_EQ(settings.value("NavBar"), "0");
}

TEST_F(PlotterTest, TrashWithoutAMapAndWithAnEmptyList)
{
    window().Trash();
    EXPECT_EQ(dialogs.texts(), QStringList{"No data to trash."});
    dialogs.reset();
    ctx.state.MapLoaded = true;
    window().lstNoGps().addRow({"hidden"});
    window().Trash();   // lstAP empty: nothing at all, even with unplaced APs
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(window().lstNoGps().count(), 1);
}

TEST_F(PlotterTest, ExitAnsweredNoKeepsRunningAndYesEndsAndSavesSettings)
{
    dialogs.answers = {Answer::No};
    window().tbMain_ButtonClick("Exit");
    EXPECT_FALSE(window().ended());
    EXPECT_EQ(dialogs.last(), "Exit, really?");
    EXPECT_EQ(dialogs.shown.back().buttons, Buttons::YesNo);

    settings.setValue("NavletChars", "9");
    dialogs.answers = {Answer::Yes};
    window().tbMain_ButtonClick("Exit");
    EXPECT_TRUE(window().ended());
    EXPECT_TRUE(ctx.state.Exiting);
    EXPECT_EQ(settings.stored("Config", "NavletChars"), "9");
    EXPECT_FALSE(settings.stored("Screen", "Width").isEmpty());
}

TEST_F(PlotterTest, CloseBoxAsksFirstAndNoCancelsTheClose)
{
    window().show();
    dialogs.answers = {Answer::No};
    window().close();
    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(dialogs.last(), "Exit, really?");
    dialogs.answers = {Answer::Yes};
    window().close();
    EXPECT_TRUE(window().ended());
}

TEST_F(PlotterTest, SmallNormalWindowSnapsBackAndMaximisedLaysOutAtFullSize)
{
    window().show();
    window().resize(12000 / TwipsPerPixel, 9000 / TwipsPerPixel);
    EXPECT_EQ(window().widthTwips(), 11985);
    EXPECT_EQ(window().heightTwips(), 9270);

    window().resize(1500, 1000);
    const PlotterLayout l = computeLayout(1500 * 15, 1000 * 15, false);
    auto* fraMap = window().findChild<QGroupBox*>("fraMap");
    EXPECT_EQ(fraMap->width(), l.fraMapWidth / 15);
    EXPECT_EQ(fraMap->height(), l.fraMapHeight / 15);
    EXPECT_EQ(window().lstAPView()->height(), l.lstAPHeight / 15);
}

TEST(PlotterLayoutRules, TableValuesForBothLayouts)
{
    const PlotterLayout plain = computeLayout(15000, 12000, false);
    EXPECT_EQ(plain.fraMapHeight, 10560);
    EXPECT_EQ(plain.MapaHeight, 10140);
    EXPECT_EQ(plain.fraProgTop, 9945);
    const PlotterLayout gps = computeLayout(15000, 12000, true);
    EXPECT_EQ(gps.fraMapHeight, 9480);
    EXPECT_EQ(gps.MapaHeight, 9060);
    EXPECT_EQ(gps.fraProgTop, 8865);
    EXPECT_EQ(gps.fraNavTop, 10425);
    EXPECT_EQ(gps.pbMapWidth, 9030);
    EXPECT_FALSE(snapBack(12000, 9000, true));
    EXPECT_EQ(snapBack(12000, 9000, false)->height, 9270);
}

TEST_F(PlotterTest, ImportCaptionCyclesOneToFiveDots)
{
    window().setFraAPsCaption("AP List: 3 logged");
    QStringList seen;
    for (int i = 0; i < 6; ++i) {
        window().tmrImport_Timer();
        seen << window().fraAPsCaption();
    }
    EXPECT_EQ(seen, (QStringList{"Reading input file.", "Reading input file..", "Reading input file...",
                                 "Reading input file....", "Reading input file.....", "Reading input file."}));
}

TEST_F(PlotterTest, SetToolbarEnabledLeavesExitAndAboutAlone)
{
    window().SetToolbarEnabled(false);
    for (int i : {1, 2, 3, 4, 5, 7, 8, 9, 10})
        EXPECT_FALSE(window().toolbarButtonEnabled(i)) << i;
    EXPECT_TRUE(window().toolbarButtonEnabled(11));
    EXPECT_TRUE(window().toolbarButtonEnabled(13));
    window().SetToolbarEnabled(true);
    EXPECT_TRUE(window().toolbarButtonEnabled(3));
}

} // namespace
} // namespace aero::testing
