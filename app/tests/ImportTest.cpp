#include "ProgramFixture.h"

#include "domain/ApSymbols.h"
#include "commands/ListPanels.h"
#include "map/MapView.h"

#include <QProgressBar>
#include <QTest>
#include <QTreeView>

namespace aero::testing {
namespace {

using ImportTest = ProgramFixture;

TEST_F(ImportTest, RefusedWithoutAMapAndCancelledDialogDoesNothing)
{
    importSummary(file("a.txt", summary({})));
    EXPECT_EQ(dialogs.texts(), QStringList{"Cannot import data until a map has been loaded."});
    newMap();
    window().tbMain_ButtonMenuClick(entries::ImportSummary);   // no file chosen
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(ctx().apList.count(), 0);
}

TEST_F(ImportTest, NotASummaryIsRefusedWithTheCriticalMessageAndTheToolbarComesBack)
{
    newMap();
    importSummary(file("bad.txt", "# $Creator: Something else\r\n# $Format: wi-scan summary\r\nx\r\n"));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.last(), "The file selected is not a NetStumbler summary.");
    EXPECT_EQ(dialogs.shown[0].icon, Icon::Critical);
    EXPECT_TRUE(window().toolbarButtonEnabled(1));
    EXPECT_EQ(window().fraAPsCaption(), "Logged APs:");
}

TEST_F(ImportTest, SummaryFillsTableListsAndMapWithBandSymbolsAndNotes)
{
    newMap();
    importSummary(file("s.txt", summary({
        line("N 37.7694283", "W 122.4176333", "home", "00:06:25:0a:1b:2c", 83, "0001"),  // -66 dBm open BSS
        line("N 37.7700000", "W 122.4100000", " ", "00:06:25:00:00:01", 99, "0031"),      // -50 encrypted
        line("N 37.7710000", "W 122.4110000", "", "00:06:25:00:00:02", 98, "0002"),       // -51 open ad-hoc
        line("N 37.7720000", "W 122.4120000", "  ", "00:06:25:00:00:03", 79, "0001"),     // -70
        line("N 37.7730000", "W 122.4130000", "b71", "00:06:25:00:00:04", 78, "0001"),    // -71
        line("N 37.7740000", "W 122.4140000", "b90", "00:06:25:00:00:05", 59, "0001"),    // -90
        line("N 37.7750000", "W 122.4150000", "b91", "00:06:25:00:00:06", 58, "0001"),    // -91
        line("N 0.4560000", "W 122.4160000", "nofix", "00:06:25:00:00:07", 0, "0011"),    // below 1 degree: no fix
        line("N 37.7760000", "W 122.4170000", "home", "00:06:25:0A:1B:2C", 90, "0011"),   // repeated MAC
        line("N 37.7770000", "W 122.4180000", "nomac", " ", 90, "0011"),                   // empty MAC: skipped
    })));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(dialogs.last().startsWith("1 line of ")) << dialogs.last().toStdString();
    EXPECT_TRUE(dialogs.last().endsWith("could not be read and was skipped: line 13.")) << dialogs.last().toStdString();
    const APList& t = ctx().apList;
    ASSERT_EQ(t.count(), 8);
    EXPECT_EQ(t.at(2).SSID, "BLANK SSID");
    EXPECT_EQ(t.at(3).SSID, "BLANK SSID 001");
    EXPECT_EQ(t.at(4).SSID, "BLANK SSID 002");
    EXPECT_EQ(t.at(8).SSID, "nofix");
    EXPECT_EQ(t.at(8).Latitude, 0.0);
    EXPECT_EQ(t.at(8).Signal, -149.0f);
    EXPECT_EQ(window().lstAP().count(), 7);
    EXPECT_EQ(window().lstNoGps().count(), 1);
    EXPECT_EQ(window().fraAPsCaption(), "AP List: 7 logged");
    EXPECT_EQ(window().lblNoAPsCaption(), "APs with no GPS coordinates: 1");
    EXPECT_EQ(map().SymbolCount(), 345);
    EXPECT_EQ(map().markerCount(), 7);

    struct Expect {
        const char* name;
        int symbol;
    } expected[] = {{"home", 338}, {"BLANK SSID", 343}, {"BLANK SSID 001", 338}, {"BLANK SSID 002", 338},
                    {"b71", 337}, {"b90", 337}, {"b91", 336}};
    for (const auto& e : expected) {
        SCOPED_TRACE(e.name);
        const auto m = map().FindMarker(e.name);
        ASSERT_TRUE(m);
        EXPECT_EQ(map().markerSymbol(*m), e.symbol);
        EXPECT_EQ(map().markerDisplayState(*m), 0);
    }
    EXPECT_EQ(map().markerNote(*map().FindMarker("home")),
              "MAC = 00:06:25:0A:1B:2C\r\nSignal = -66 dBm\r\nWEP = Off\r\nBSS mode");
    EXPECT_EQ(map().markerNote(*map().FindMarker("BLANK SSID 001")),
              "MAC = 00:06:25:00:00:02\r\nSignal = -51 dBm\r\nWEP = Off\r\nAd-Hoc mode");
    EXPECT_NEAR(map().viewCentre().lat, (37.7694283 + 37.775) / 2, 1e-6);
    EXPECT_TRUE(window().toolbarButtonEnabled(1));
}

TEST_F(ImportTest, ImportingTheSameFileTwiceAddsNothingAndPlacesNoSecondMarker)
{
    newMap();
    const QString p = file("s.txt", summary({line("N 45.1", "E 7.6", "a", "00:00:00:00:00:01", 90, "0011"),
                                             line("N 45.2", "E 7.7", "b", "00:00:00:00:00:02", 90, "0011")}));
    importSummary(p);
    importSummary(p);
    EXPECT_EQ(ctx().apList.count(), 2);
    EXPECT_EQ(map().markerCount(), 2);
    EXPECT_EQ(window().lstAP().count(), 2);
    importSummary(file("t.txt", summary({line("N 45.3", "E 7.8", "a", "00:00:00:00:00:03", 90, "0011")})));
    EXPECT_EQ(map().markerCount(), 3);
    EXPECT_TRUE(map().FindMarker("a 001"));
}

TEST_F(ImportTest, VoiceOutputReturnsTheSummaryInsteadOfAMessage)
{
    ctx().settings.setValue("VoiceOut", "1");
    newMap();
    importSummary(file("s.txt", summary({line("N 45.1", "E 7.6", "a", "00:00:00:00:00:01", 90, "0011")})));
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(ImportTest, KismetNeedsItsGpsLogAndAddsRecordsWithoutPlotting)
{
    newMap();
    const QByteArray csv =
        "Network;NetType;ESSID;BSSID;Info;Channel;Cloaked;Encryption;Decrypted;MaxRate;MaxSeenRate;Beacon;LLC;Data;"
        "Crypt;Weak;Total;Carrier;Encoding;FirstTime;LastTime;BestQuality;BestSignal;BestNoise;GPSMinLat;GPSMinLon;"
        "GPSMinAlt;GPSMinSpd;GPSMaxLat;GPSMaxLon;GPSMaxAlt;GPSMaxSpd;GPSBestLat;GPSBestLon;GPSBestAlt;DataSize;IPType;IP;\n"
        "1;infrastructure;linksys;00:0C:41:2A:3B:4C;;6;No;None;No;11.0;0;10;0;0;0;0;10;IEEE 802.11b;;Mon Jan 1 00:00:00 2007;"
        "Mon Jan 1 00:00:00 2007;0;0;0;0.000000;0.000000;0.000000;0.000000;0.000000;0.000000;0.000000;0.000000;0.000000;0.000000;0.000000;0;None;0.0.0.0;\n"
        "2;ad-hoc;<no ssid>;00:0C:41:2A:3B:4D;;6;No;WEP;No;11.0;0;10;0;0;0;0;10;IEEE 802.11b;;Mon Jan 1 00:00:00 2007;"
        "Mon Jan 1 00:00:00 2007;0;0;0;;;;;;;;;;;;0;None;0.0.0.0;\n";
    const QString p = file("survey.csv", csv);
    dialogs.files = {p};
    window().tbMain_ButtonMenuClick(entries::ImportKismet);
    EXPECT_EQ(dialogs.texts(), QStringList{"A matching Kismet GPS log file could not be found, aborting import."});
    EXPECT_EQ(ctx().apList.count(), 0);

    dialogs.reset();
    file("survey.gps", "<gps-run/>");
    dialogs.files = {p};
    window().tbMain_ButtonMenuClick(entries::ImportKismet);
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.texts().join("|").toStdString();
    ASSERT_EQ(ctx().apList.count(), 2);
    EXPECT_EQ(ctx().apList.at(1).Mode, "1");
    EXPECT_EQ(ctx().apList.at(1).WEP, "0");
    EXPECT_EQ(ctx().apList.at(2).SSID, "BLANK SSID");
    EXPECT_EQ(ctx().apList.at(2).WEP, "1");
    EXPECT_EQ(map().markerCount(), 0);
    EXPECT_EQ(window().lstNoGps().count(), 2);   // listed at once, never plotted
    EXPECT_EQ(window().lblNoAPsCaption(), "APs with no GPS coordinates: 2");
}

TEST_F(ImportTest, UnreadableLinesAreReportedOnceAndAFileOfNothingElseIsRefused)
{
    newMap();
    const QByteArray good1 = line("N 45.1", "E 7.6", "a", "00:00:00:00:00:01", 90, "0011");
    const QByteArray good2 = line("N 45.2", "E 7.7", "b", "00:00:00:00:00:02", 90, "0011");
    const QByteArray mixed = summary({good1, "N 45.3;E 7.8;( c );BSS;( 00:00:00:00:00:03 )", good2, "S 1"});
    const QByteArray kismetHeading = "Network;NetType;ESSID;BSSID;Encryption;\n";
    struct Case {
        const char* legend;
        int entry;            // 1: summary, 2: Kismet
        bool script;
        QByteArray bytes;
        QString shown;        // %1: the file's path
        QString warning;
        int records;
    };
    const QString skipped2 = "2 lines of %1 could not be read and were skipped; the first is line 5.";
    const Case cases[] = {
        {"summary with bad lines", 1, false, mixed, skipped2, {}, 2},
        {"the same under a script: standard error only", 1, true, mixed, {}, skipped2, 2},
        {"summary whose every line is unreadable", 1, false,
         summary({"N 45.3;E 7.8;( c );BSS", "S 1;E 2;( d );BSS"}), "The file selected is not a NetStumbler summary.", {}, 0},
        {"Kismet log with one line of the wrong width", 2, false,
         kismetHeading + "1;infrastructure;one;m1;None;\n2;short;\n3;infrastructure;two;m2;None;\n",
         "1 line of %1 could not be read and was skipped: line 3.", {}, 2},
        {"Kismet log whose every line has the wrong width", 2, false,
         kismetHeading + "1;infrastructure;one;m1;None;extra;\n", "The file selected is not a Kismet .csv network log.", {}, 0},
    };
    file("log.gps", "");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.legend);
        ctx().apList.clear();
        ctx().apList.NextAP = 0;
        dialogs.reset();
        const QString p = file(c.entry == 1 ? "log.txt" : "log.csv", c.bytes);
        ctx().state.ScriptRunning = c.script;
        ctx().CDG.FileName = p;
        dialogs.files = {p};
        window().tbMain_ButtonMenuClick(buttons::Import, c.entry);
        ctx().state.ScriptRunning = false;
        EXPECT_EQ(dialogs.texts(), c.shown.isEmpty() ? QStringList() : QStringList{c.shown.arg(p)});
        EXPECT_EQ(dialogs.warnings, c.warning.isEmpty() ? std::vector<QString>() : std::vector<QString>{c.warning.arg(p)});
        EXPECT_EQ(ctx().apList.count(), c.records);
        EXPECT_TRUE(window().toolbarButtonEnabled(1));
    }
    EXPECT_EQ(dialogs.refusals(), 5);   // every case above counts against an unattended run
}

TEST_F(ImportTest, AFullTableIsReportedThenWhatFittedIsMadeUniqueAndPlotted)
{
    newMap();
    APList& t = ctx().apList;
    t.NextAP = 1;
    for (int i = 1; i <= APList::Capacity - 2; ++i) {
        AccessPoint r;
        r.SSID = QString::number(i);
        r.MAC = r.SSID;
        t.append(r);
    }
    dialogs.reportsExpected = true;   // the table-full report
    importSummary(file("s.txt", summary({line("N 45.1", "E 7.6", "a", "00:00:00:00:00:01", 90, "0011"),
                                         line("N 45.2", "E 7.7", "a", "00:00:00:00:00:02", 90, "0011"),
                                         line("N 45.3", "E 7.8", "b", "00:00:00:00:00:03", 90, "0011")})));
    ASSERT_EQ(dialogs.reports.size(), 1u);
    EXPECT_TRUE(dialogs.reports[0].contains("tbMain_ButtonMenuClick"));
    EXPECT_FALSE(dialogs.texts().contains("Import complete!"));
    EXPECT_EQ(t.at(APList::Capacity).SSID, "a 001");
    EXPECT_EQ(map().markerCount(), 2);
    EXPECT_TRUE(map().FindMarker("a 001"));
    EXPECT_EQ(window().lstAP().count(), 2);
    EXPECT_TRUE(window().toolbarButtonEnabled(1));
}

TEST_F(ImportTest, HandPlacedApGetsThePlotterSymbolAndNoteAndKeepsItsCoordinates)
{
    newMap();
    importSummary(file("s.txt", summary({line("N 45.1", "E 7.6", "a", "00:00:00:00:00:01", 90, "0011"),
                                         line("N 0.1", "E 7.6", "lost", "00:00:00:00:00:02", 83, "0031")})));
    dialogs.reset();
    ASSERT_EQ(window().lstNoGps().count(), 1);
    dialogs.answers = {Answer::Yes};
    program->panels().lstNoGps_DblClick(0);
    EXPECT_EQ(dialogs.texts(), QStringList{"Manually place the selected AP?"});
    EXPECT_TRUE(program->panels().placementMode());

    const Location target = map().FromScreen(100, 120);
    program->panels().Map_MouseDown(Qt::LeftButton, {}, 100, 120);
    const auto m = map().FindMarker("lost");
    ASSERT_TRUE(m);
    EXPECT_EQ(map().markerSymbol(*m), 342);   // encrypted, -66 dBm: band 3
    EXPECT_EQ(map().markerNote(*m), "MAC = 00:00:00:00:00:02\r\nSignal = -66 dBm\r\nWEP = On\r\nBSS mode");
    const AccessPoint& r = ctx().apList.at(ctx().apList.findBySSID("lost"));
    EXPECT_DOUBLE_EQ(r.Latitude, target.lat);
    EXPECT_DOUBLE_EQ(r.Longitude, target.lon);
    EXPECT_EQ(window().lstAP().count(), 2);
    EXPECT_EQ(window().lstNoGps().count(), 0);
}

TEST_F(ImportTest, RightClickCancelsPlacementAndEmptyListAsksNothing)
{
    newMap();
    program->panels().lstNoGps_DblClick(0);
    EXPECT_TRUE(dialogs.shown.empty());
    importSummary(file("s.txt", summary({line("N 0.1", "E 7.6", "lost", "00:00:00:00:00:02", 83, "0031")})));
    dialogs.answers = {Answer::Yes};
    program->panels().lstNoGps_DblClick(0);
    program->panels().Map_MouseDown(Qt::RightButton, {}, 10, 10);
    EXPECT_FALSE(program->panels().placementMode());
    EXPECT_EQ(map().markerCount(), 0);
    EXPECT_TRUE(ctx().state.MapMouseDown);
    program->panels().Map_MouseUp();
    EXPECT_FALSE(ctx().state.MapMouseDown);
}

TEST_F(ImportTest, ListClicksOpenOneMarkerAtATime)
{
    newMap();
    importSummary(file("s.txt", summary({line("N 45.1", "E 7.6", "a", "00:00:00:00:00:01", 90, "0011"),
                                         line("N 45.2", "E 7.7", "b", "00:00:00:00:00:02", 90, "0011")})));
    program->panels().lstAP_Click(0);
    const MarkerId a = *map().FindMarker("a"), b = *map().FindMarker("b");
    EXPECT_EQ(map().markerDisplayState(a), 1);
    EXPECT_NEAR(map().viewCentre().lat, 45.1, 1e-9);
    program->panels().lstAP_DblClick(1);
    EXPECT_EQ(map().markerDisplayState(a), 0);
    EXPECT_EQ(map().markerDisplayState(b), 2);
    // A click on a marker on the map opens its balloon in the same way, and the list follows.
    const Location at = map().markerLocation(a);
    QTest::mouseClick(map().mapView(), Qt::LeftButton, {}, QPoint(map().ToScreenX(at), map().ToScreenY(at)));
    EXPECT_EQ(map().markerDisplayState(a), 2);
    EXPECT_EQ(map().markerDisplayState(b), 0);
    EXPECT_EQ(window().lstAPView()->currentIndex().row(), 0);
}

TEST_F(ImportTest, ViewToggleTextsAndTheSharedNamesFlag)
{
    newMap();
    importSummary(file("s.txt", summary({line("N 45.1", "E 7.6", "a", "00:00:00:00:00:01", 90, "0011")})));
    window().tbMain_ButtonMenuClick(entries::ViewNavigation);
    EXPECT_EQ(window().menuText(entries::ViewNavigation), "Hide navigation toolbar");
    EXPECT_TRUE(map().toolbarVisible(2));
    window().tbMain_ButtonMenuClick(entries::ViewNavigation);
    EXPECT_EQ(window().menuText(entries::ViewNavigation), "Show navigation toolbar");
    window().tbMain_ButtonMenuClick(entries::ViewPlaces);
    EXPECT_EQ(window().menuText(entries::ViewPlaces), "Hide points of interest");
    EXPECT_TRUE(map().PlacesVisible());

    const MarkerId a = *map().FindMarker("a");
    window().tbMain_ButtonMenuClick(entries::ViewNames);   // the first click shows the names
    EXPECT_EQ(map().markerDisplayState(a), 1);
    EXPECT_EQ(window().menuText(entries::ViewNames), "Hide all AP names");
    window().tbMain_ButtonMenuClick(entries::ViewNamesAndInfo);   // shared flag: this hides them
    EXPECT_EQ(map().markerDisplayState(a), 0);
    EXPECT_EQ(window().menuText(entries::ViewNamesAndInfo), "Show all AP names and info");
}

TEST_F(ImportTest, TrashAnsweredNoKeepsEverythingAndYesErasesIt)
{
    newMap();
    importSummary(file("s.txt", summary({line("N 45.1", "E 7.6", "a", "00:00:00:00:00:01", 90, "0011")})));
    dialogs.reset();
    dialogs.answers = {Answer::No};
    window().tbMain_ButtonClick("Trash");
    EXPECT_EQ(ctx().apList.count(), 1);
    EXPECT_EQ(map().markerCount(), 1);
    dialogs.answers = {Answer::Yes};
    window().tbMain_ButtonClick("Trash");
    EXPECT_EQ(ctx().apList.count(), 0);
    EXPECT_EQ(ctx().apList.NextAP, 0);
    EXPECT_EQ(map().markerCount(), 0);
    EXPECT_EQ(window().fraAPsCaption(), "Logged APs:");
    EXPECT_EQ(dialogs.texts().last(), "Erasing the AP list is permanent, unless you don't save the map on exit, sure?");
}

} // namespace
} // namespace aero::testing

#include "SummaryGenerator.h"

#include <QTimer>

namespace aero::testing {
namespace {

TEST_F(ImportTest, EndingTheProgramMidImportStopsItQuietlyAndKeepsWhatWasRead)
{
    newMap();
    const QString big = file("big.txt", bench_support::generateSummary(60000));
    QTimer::singleShot(0, &window(), [this] { window().endNow(true); });   // the close box answered Yes
    importSummary(big);
    EXPECT_TRUE(window().ended());
    EXPECT_TRUE(dialogs.reports.empty());
    EXPECT_FALSE(dialogs.texts().contains("Import complete!"));
    EXPECT_LT(ctx().apList.count(), 54000);
}

} // namespace
} // namespace aero::testing
