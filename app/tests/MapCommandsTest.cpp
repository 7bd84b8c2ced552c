#include "ProgramFixture.h"
#include "window/CommandLine.h"
#include "script/RunScript.h"
#include "domain/ScriptParser.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>

namespace aero::testing {
namespace {

using MapCommandsTest = ProgramFixture;

TEST_F(MapCommandsTest, RefusalsWithoutAMap)
{
    for (int entry : {2, 3, 4})
        window().tbMain_ButtonMenuClick(buttons::Map, entry);
    window().tbMain_ButtonMenuClick(entries::MapSaveImage);
    EXPECT_EQ(dialogs.texts(), (QStringList{"There is no map to save.", "There is no map to save.", "There is no map to save.",
                                            "There is no map view to save as bitmap."}));
    for (const auto& s : dialogs.shown)
        EXPECT_EQ(s.icon, Icon::Exclamation);
}

TEST_F(MapCommandsTest, CsvOfAnEmptyTableIsAnEmptyFileAndStillSaved)
{
    dialogs.files = {path("empty.csv")};
    window().tbMain_ButtonClick("Save CSV");
    EXPECT_EQ(dialogs.texts(), QStringList{"File saved!"});
    EXPECT_TRUE(QFileInfo::exists(path("empty.csv")));
    EXPECT_EQ(QFileInfo(path("empty.csv")).size(), 0);
}

TEST_F(MapCommandsTest, MissingRegionDataIsReportedInWords)
{
    map().setDataFolder(path("nothing-here"));
    window().tbMain_ButtonMenuClick(entries::MapNewEurope);
    EXPECT_EQ(dialogs.texts(), QStringList{"The selected map is not installed on this system."});
    EXPECT_FALSE(ctx().state.MapLoaded);
}

TEST_F(MapCommandsTest, SavedMapLoadsBackWithCoordinatesSoCsvAndLaterImportsKeepThem)
{
    newMap();
    importSummary(file("s.txt", summary({line("N 45.25", "E 7.5", "a", "00:00:00:00:00:01", 90, "0011"),
                                         line("S 33.875", "W 70.125", "b \"q\"", "00:00:00:00:00:02", 99, "0031")})));
    dialogs.reset();
    dialogs.files = {path("m.kml")};
    window().tbMain_ButtonMenuClick(entries::MapSaveAs);
    EXPECT_EQ(dialogs.texts(), QStringList{"Map file saved!"});

    dialogs.reset();
    window().tbMain_ButtonMenuClick(entries::MapNewNorthAmerica);   // a fresh map: the table is cleared
    EXPECT_EQ(ctx().apList.count(), 0);
    dialogs.files = {path("m.kml")};
    window().tbMain_ButtonMenuClick(entries::MapLoad);
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.texts().join("|").toStdString();
    ASSERT_EQ(ctx().apList.count(), 2);
    const AccessPoint& b = ctx().apList.at(ctx().apList.findBySSID("b \"q\""));
    EXPECT_EQ(b.Latitude, -33.875);
    EXPECT_EQ(b.Longitude, -70.125);
    EXPECT_EQ(b.MAC, "00:00:00:00:00:02");
    EXPECT_EQ(b.Signal, -50.0f);
    EXPECT_EQ(b.WEP, "1");
    EXPECT_EQ(window().lstAP().count(), 2);
    EXPECT_TRUE(ctx().state.MapHasFile);

    dialogs.files = {path("after.csv")};
    window().tbMain_ButtonClick("Save CSV");
    EXPECT_EQ(testing_support::readFile(path("after.csv")),
              "\"a\",\"00:00:00:00:00:01\",-59,45.25,7.5,\"\"\r\n"
              "\"b \"\"q\"\"\",\"00:00:00:00:00:02\",-50,-33.875,-70.125,\"\"\r\n");

    importSummary(file("t.txt", summary({line("N 45.3", "E 7.6", "c", "00:00:00:00:00:03", 90, "0011")})));
    EXPECT_EQ(window().lstAP().count(), 3);
    EXPECT_EQ(window().lstNoGps().count(), 0);
    EXPECT_EQ(map().markerCount(), 3);
}

TEST_F(MapCommandsTest, SaveInPlaceAfterLoadAndOverwriteAnsweredNo)
{
    newMap();
    dialogs.files = {path("m.kml")};
    window().tbMain_ButtonMenuClick(entries::MapSaveAs);
    const QByteArray before = testing_support::readFile(path("m.kml"));
    dialogs.reset();
    window().tbMain_ButtonMenuClick(entries::MapSave);   // in place, no dialog
    EXPECT_TRUE(dialogs.fileRequests.empty());
    EXPECT_EQ(dialogs.texts(), QStringList{"Map file saved!"});

    dialogs.reset();
    testing_support::writeFile(path("other.kml"), "keep me");
    dialogs.files = {path("other.kml")};
    dialogs.answers = {Answer::No};
    window().tbMain_ButtonMenuClick(entries::MapSaveAs);
    EXPECT_EQ(dialogs.texts(), QStringList{"Map file already exists, overwrite?"});
    EXPECT_EQ(testing_support::readFile(path("other.kml")), "keep me");
    EXPECT_FALSE(before.isEmpty());
}

TEST_F(MapCommandsTest, PictureIsABitmapOfTheViewAndThePageEscapesHostileNames)
{
    newMap();
    importSummary(file("s.txt", summary({line("N 45.25", "E 7.5", "<script>document.title=1</script>", "00:00:00:00:00:01", 90, "0011")})));
    dialogs.reset();
    dialogs.files = {path("v.bmp"), path("v.html")};
    window().tbMain_ButtonMenuClick(entries::MapSaveImage);
    window().tbMain_ButtonMenuClick(entries::MapSaveHtml);
    EXPECT_EQ(dialogs.texts(), (QStringList{"Map bitmap file saved!", "Map HTML file saved!"}));
    const QByteArray bmp = testing_support::readFile(path("v.bmp"));
    ASSERT_GT(bmp.size(), 54);
    EXPECT_TRUE(bmp.startsWith("BM"));
    const QImage image(path("v.bmp"));
    EXPECT_EQ(image.size(), QSize(map().viewWidth(), map().viewHeight()));
    const QByteArray html = testing_support::readFile(path("v.html"));
    EXPECT_TRUE(html.contains("Aeroplotter AP Log File"));
    EXPECT_EQ(html.count("<script"), 2) << "only the page's own data and code";
    EXPECT_TRUE(html.contains("\\u003cscript\\u003edocument.title=1\\u003c/script\\u003e"));
}

} // namespace
} // namespace aero::testing

namespace aero::testing {
namespace {

TEST_F(MapCommandsTest, ExitOffersToSaveAChangedMap)
{
    newMap();
    importSummary(file("s.txt", summary({line("N 45.25", "E 7.5", "a", "00:00:00:00:00:01", 90, "0011")})));
    dialogs.reset();
    dialogs.answers = {Answer::Yes, Answer::Yes};
    dialogs.files = {path("kept.kml")};
    window().tbMain_ButtonClick("Exit");
    EXPECT_EQ(dialogs.texts(), (QStringList{"Exit, really?", "The map has changed since it was last saved. Save it now?",
                                            "Map file saved!"}));
    EXPECT_TRUE(window().ended());
    MapControl reread;
    reread.OpenMapFile(path("kept.kml"));
    EXPECT_EQ(reread.markerCount(), 1);
}

TEST_F(MapCommandsTest, ExitWithNothingOnTheMapAsksOnlyOnce)
{
    newMap();
    dialogs.answers = {Answer::Yes};
    window().tbMain_ButtonClick("Exit");
    EXPECT_EQ(dialogs.texts(), QStringList{"Exit, really?"});   // nothing on the map to lose
}

} // namespace
} // namespace aero::testing

namespace aero::testing {
namespace {

TEST_F(MapCommandsTest, ABrokenMapFileLeavesTheOpenMapAndItsApsAlone)
{
    newMap();
    importSummary(file("s.txt", summary({line("N 45.25", "E 7.5", "a", "00:00:00:00:00:01", 90, "0011")})));
    dialogs.reset();
    dialogs.files = {file("broken.kml", "<kml><Document><Placemark><name>x</name>")};
    dialogs.reportsExpected = true;
    window().tbMain_ButtonMenuClick(entries::MapLoad);
    ASSERT_EQ(dialogs.reports.size(), 1u);
    EXPECT_TRUE(dialogs.reports[0].contains("Program routine: tbMain_ButtonMenuClick"));
    EXPECT_TRUE(ctx().state.MapLoaded);
    EXPECT_EQ(map().markerCount(), 1);
    EXPECT_EQ(ctx().apList.count(), 1);
    EXPECT_EQ(window().lstAP().count(), 1);
}

} // namespace
} // namespace aero::testing

namespace aero::testing {
namespace {

const QString Changed = QStringLiteral("The map has changed since it was last saved. Save it now?");

// Create new, Load, a map named on the command line and Exit all ask the one question first;
// Cancel, or Yes with the save dialog cancelled, keeps everything. Scripts never ask.
TEST_F(MapCommandsTest, EveryCommandThatReplacesAChangedMapAsksFirst)
{
    newMap();
    importSummary(file("s.txt", summary({line("N 45.25", "E 7.5", "a", "00:00:00:00:00:01", 90, "0011"),
                                         line("N 0.5", "E 0.5", "nofix", "00:00:00:00:00:02", 90, "0011")})));
    const QString other = file("other.kml", "<kml><Document/></kml>");
    dialogs.reset();
    auto unchanged = [&](const char* legend) {
        SCOPED_TRACE(legend);
        EXPECT_TRUE(ctx().state.MapLoaded);
        EXPECT_EQ(map().markerCount(), 1);
        EXPECT_EQ(ctx().apList.count(), 2);
        EXPECT_FALSE(window().ended());
        EXPECT_EQ(dialogs.shown.back().buttons, Buttons::YesNoCancel);
        dialogs.reset();
    };
    dialogs.answers = {Answer::Cancel};
    window().tbMain_ButtonMenuClick(buttons::Map, 7);
    EXPECT_EQ(dialogs.texts(), QStringList{Changed});
    unchanged("create new, cancelled");
    dialogs.answers = {Answer::Cancel};
    window().tbMain_ButtonMenuClick(buttons::Map, 1);
    EXPECT_TRUE(dialogs.fileRequests.empty());
    unchanged("load, cancelled");
    dialogs.answers = {Answer::Cancel};
    CommandLine commandLine;
    commandLine.mapFile = other;
    program->start(commandLine);
    unchanged("a map named on the command line, cancelled");
    dialogs.answers = {Answer::Yes, Answer::Yes};   // exit, really; save: then the dialog is cancelled
    window().tbMain_ButtonClick("Exit");
    EXPECT_EQ(dialogs.texts(), (QStringList{"Exit, really?", Changed}));
    unchanged("exit, saving cancelled");

    testing_support::writeFile(path("new.aps"), QByteArray(ScriptHeader) + "\r\n$NEW EU\r\n");
    EXPECT_EQ(RunScript(ctx(), path("new.aps")), ScriptOutcome::FinishedWithoutEnd);
    EXPECT_TRUE(dialogs.shown.empty()) << "a script says what it wants";
    EXPECT_EQ(ctx().apList.count(), 0);

    importSummary(file("t.txt", summary({line("N 0.5", "E 0.5", "nofix2", "00:00:00:00:00:03", 90, "0011")})));
    dialogs.reset();
    dialogs.answers = {Answer::No};
    window().tbMain_ButtonMenuClick(buttons::Map, 6);
    EXPECT_EQ(dialogs.texts(), QStringList{Changed});
    EXPECT_EQ(ctx().apList.count(), 0);
    EXPECT_EQ(window().lstNoGps().count(), 0);
    EXPECT_EQ(window().findChild<QLabel*>("lblNoAPs")->text(), "APs with no GPS coordinates: 0");
}

TEST_F(MapCommandsTest, SaveDialogsAddTheExtensionOfTheirFilter)
{
    newMap();
    dialogs.files = {path("mymap"), path("page"), path("picture"), path("list"), path("kept.name")};
    window().tbMain_ButtonMenuClick(buttons::Map, 3);
    window().tbMain_ButtonMenuClick(buttons::Map, 4);
    window().tbMain_ButtonMenuClick(buttons::Map, 5);
    window().tbMain_ButtonClick("Save CSV");
    window().tbMain_ButtonClick("Save CSV");
    for (const char* name : {"mymap.kml", "page.html", "picture.bmp", "list.csv", "kept.name"})
        EXPECT_TRUE(QFileInfo::exists(path(name))) << name;
    EXPECT_EQ(map().fileName(), path("mymap.kml"));
}

// APs heard without a position are kept in the map file and come back into lstNoGps whole.
TEST_F(MapCommandsTest, ApsWithoutCoordinatesSurviveSaveAndLoad)
{
    newMap();
    importSummary(file("s.txt", summary({line("N 45.25", "E 7.5", "a", "00:00:00:00:00:01", 90, "0011"),
                                         line("N 0.5", "E 0.5", "caf\xC3\xA9, \"bar\" %20", "00:00:00:00:00:02", 70, "0031"),
                                         line("N 0.5", "E 0.5", "plain", "00:00:00:00:00:03", 40, "0001")})));
    std::vector<AccessPoint> before;
    for (int i = 1; i <= ctx().apList.count(); ++i)
        if (!ctx().apList.at(i).hasCoordinates())
            before.push_back(ctx().apList.at(i));
    ASSERT_EQ(before.size(), 2u);
    dialogs.reset();
    dialogs.files = {path("m.kml")};
    window().tbMain_ButtonMenuClick(buttons::Map, 3);
    dialogs.answers = {Answer::No};
    window().tbMain_ButtonMenuClick(buttons::Map, 7);
    EXPECT_TRUE(dialogs.texts().isEmpty() || !dialogs.texts().contains(Changed)) << "saved: nothing to ask";
    dialogs.files = {path("m.kml")};
    window().tbMain_ButtonMenuClick(buttons::Map, 1);
    std::vector<AccessPoint> after;
    for (int i = 1; i <= ctx().apList.count(); ++i)
        if (!ctx().apList.at(i).hasCoordinates())
            after.push_back(ctx().apList.at(i));
    for (AccessPoint& ap : before)
        ap.Plotted = false;
    EXPECT_EQ(after, before);
    EXPECT_EQ(window().lstNoGps().count(), 2);
    EXPECT_EQ(window().lstNoGps().rowAt(0).image, APListModel::EncryptedImage);
    EXPECT_EQ(window().findChild<QLabel*>("lblNoAPs")->text(), "APs with no GPS coordinates: 2");
    EXPECT_TRUE(map().isSaved()) << "loading is no change";

    // Foreign KML has none, and a map without them keeps none.
    dialogs.files = {QStringLiteral(AERO_MAP_TEST_DATA "/foreign.kml")};
    window().tbMain_ButtonMenuClick(buttons::Map, 1);
    EXPECT_EQ(window().lstNoGps().count(), 0);
}

// Foreign content the map cannot keep is named once after Load, and Save then asks before it
// overwrites the source.
TEST_F(MapCommandsTest, AMapThatLostContentIsNotSavedOverItsSourceWithoutAsking)
{
    newMap();
    const QByteArray foreign = testing_support::readFile(QStringLiteral(AERO_MAP_TEST_DATA "/foreign.kml"));
    const QString source = file("foreign.kml", foreign);
    dialogs.files = {source};
    window().tbMain_ButtonMenuClick(buttons::Map, 1);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].icon, Icon::Exclamation);
    EXPECT_EQ(dialogs.shown[0].text, "Not everything in this map file could be shown, and saving will leave it out: "
                                     "2 placemarks without usable coordinates, 1 Model, 1 GroundOverlay, 1 NetworkLink, "
                                     "2 styles, 2 folders (their contents are kept, not the grouping), "
                                     "1 polygon fills (drawn as outlines).");
    dialogs.reset();
    dialogs.files = {source};
    dialogs.answers = {Answer::No};
    window().tbMain_ButtonMenuClick(buttons::Map, 2);
    ASSERT_EQ(dialogs.fileRequests.size(), 1u);
    EXPECT_EQ(dialogs.fileRequests[0].proposedName, source);
    EXPECT_EQ(dialogs.texts(), QStringList{"Map file already exists, overwrite?"});
    EXPECT_EQ(testing_support::readFile(source), foreign);
}

// More markers than the AP table holds: the map is shown and loaded, the rest is counted.
TEST_F(MapCommandsTest, AMapOverTheTableSizeIsLoadedAndTheRestCounted)
{
    QByteArray kml = "<kml><Document>";
    for (int i = 0; i <= APList::Capacity; ++i)
        kml += "<Placemark><name>n" + QByteArray::number(i) + "</name><Point><coordinates>7,45</coordinates></Point></Placemark>";
    kml += "</Document></kml>";
    dialogs.files = {file("big.kml", kml)};
    window().tbMain_ButtonMenuClick(buttons::Map, 1);
    EXPECT_TRUE(ctx().state.MapLoaded);
    EXPECT_EQ(map().markerCount(), APList::Capacity + 1);
    EXPECT_EQ(ctx().apList.count(), APList::Capacity);
    EXPECT_TRUE(dialogs.reports.empty());
    EXPECT_EQ(dialogs.last(), "The AP list holds at most 100000 APs: 1 APs of this map are on the map but not in the list.");
}

} // namespace
} // namespace aero::testing
