#include "ProgramFixture.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>

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
    EXPECT_FALSE(html.contains("<script"));
    EXPECT_TRUE(html.contains("&lt;script&gt;document.title=1&lt;/script&gt;"));
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
