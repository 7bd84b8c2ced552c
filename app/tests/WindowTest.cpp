// The window around the commands: title and modified mark, the status line, keys, drops,
// recent files, the list filter and Exit's one question.
#include "ProgramFixture.h"

#include "commands/MapCommands.h"
#include "ui/RecentFiles.h"
#include "window/frmAbout.h"

#include <QAction>
#include <QLineEdit>
#include <QMimeData>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <QUrl>

namespace aero::testing {
namespace {

class WindowTest : public ProgramFixture {
protected:
    QString twoAps() { return file("s.txt", summary({line("N 45.25", "E 7.5", "alpha", "00:00:00:00:00:01", 90, "0011"),
                                                     line("N 0.5", "E 0.5", "nofix", "00:00:00:00:00:02", 90, "0011")})); }
    void clickListRow(int shownRow)
    {
        QTreeView* view = window().lstAPView();
        Q_EMIT view->clicked(view->model()->index(shownRow, 1));
    }
    void drop(const QStringList& paths)
    {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& p : paths)
            urls << QUrl::fromLocalFile(p);
        data.setUrls(urls);
        QDropEvent event(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&window(), &event);
    }
};

TEST_F(WindowTest, TitleMarkAndStatusLineFollowTheMapsContentNeverASelection)
{
    const QString saved = path("drive.kml");
    struct Step {
        const char* what;
        std::function<void()> act;
        QString title;
        bool modified;
        QString result;   // empty: not checked
    } steps[] = {
        {"start", [] {}, "Aeroplotter", false, {}},
        {"new", [&] { window().tbMain_ButtonMenuClick(entries::MapNewNorthAmerica); }, "Untitled[*] — Aeroplotter", false, {}},
        {"import", [&] { importSummary(twoAps()); }, "Untitled[*] — Aeroplotter", true, "2 APs imported from s.txt"},
        {"save", [&] { dialogs.files = {saved}; window().tbMain_ButtonMenuClick(entries::MapSave); },
         "drive.kml[*] — Aeroplotter", false, "Map saved to " + saved},
        {"list click", [&] { clickListRow(0); }, "drive.kml[*] — Aeroplotter", false, {}},
        {"new again", [&] { window().tbMain_ButtonMenuClick(entries::MapNewEurope); }, "Untitled[*] — Aeroplotter", false, {}},
        {"reopen", [&] { dialogs.files = {saved}; window().tbMain_ButtonMenuClick(entries::MapLoad); },
         "drive.kml[*] — Aeroplotter", false, "Map opened: " + saved + " (2 APs)"},
        {"list click after reopening", [&] { clickListRow(0); }, "drive.kml[*] — Aeroplotter", false, {}},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        s.act();
        EXPECT_EQ(window().windowTitle(), s.title);
        EXPECT_EQ(window().isWindowModified(), s.modified);
        if (!s.result.isEmpty()) {
            EXPECT_EQ(window().statusResult(), s.result);
        }
    }
    EXPECT_EQ(window().statusCounts(), "APs: 1   No GPS: 1   Filtered: 0");
    EXPECT_TRUE(window().statusScale().startsWith("Scale 1:"));
    EXPECT_EQ(map().markerDisplayState(*map().FindMarker("alpha")), 1) << "the click did show the AP";
    EXPECT_FALSE(dialogs.texts().join("|").contains("has changed")) << "a saved map clicked in the list is no change";
    EXPECT_EQ(recent::list(ctx().settings, recent::Maps), QStringList{saved});
    EXPECT_EQ(recent::list(ctx().settings, recent::Logs), QStringList{path("s.txt")});
}

TEST_F(WindowTest, ExitAsksOneQuestionForAChangedMapAndTheUsualOneOtherwise)
{
    newMap();
    importSummary(twoAps());
    dialogs.reset();
    const QString question = "The map has changed since it was last saved. Save it before exiting?";
    dialogs.answers = {Answer::Cancel};
    window().tbMain_ButtonClick("Exit");
    EXPECT_EQ(dialogs.texts(), QStringList{question});
    EXPECT_EQ(dialogs.shown.back().buttons, Buttons::YesNoCancel);
    EXPECT_FALSE(window().ended());

    dialogs.reset();
    dialogs.files = {path("kept.kml")};
    window().tbMain_ButtonMenuClick(entries::MapSaveAs);
    dialogs.reset();
    dialogs.answers = {Answer::No};
    window().close();   // the close box: the map is saved, so the usual question
    EXPECT_EQ(dialogs.texts(), QStringList{"Exit, really?"});
    EXPECT_FALSE(window().ended());

    importSummary(file("t.txt", summary({line("N 46.5", "E 7.5", "beta", "00:00:00:00:00:03", 90, "0011")})));
    dialogs.reset();
    dialogs.answers = {Answer::No};   // leave without saving
    window().tbMain_ButtonClick("Exit");
    EXPECT_EQ(dialogs.texts(), QStringList{question});
    EXPECT_TRUE(window().ended());
}

TEST_F(WindowTest, ADropOpensTheMapThenImportsEachLogByItsContent)
{
    drop({path("a.txt"), path("b.txt")});   // logs without a map: said once
    QTRY_COMPARE_WITH_TIMEOUT(dialogs.texts(), QStringList{"Cannot import data until a map has been loaded."}, 10000);
    newMap();
    importSummary(twoAps());
    dialogs.files = {path("base.kml")};
    window().tbMain_ButtonMenuClick(entries::MapSaveAs);
    importSummary(file("more.txt", summary({line("N 46.5", "E 7.5", "beta", "00:00:00:00:00:03", 90, "0011")})));
    dialogs.reset();
    const QString wigle = file("w.csv", "WigleWifi-1.6,appRelease=1\n"
                                        "MAC,SSID,AuthMode,FirstSeen,Channel,RSSI,CurrentLatitude,CurrentLongitude,AltitudeMeters,AccuracyMeters,Type\n"
                                        "00:00:00:00:00:09,gamma,[WPA2-PSK],2024-01-01 12:00:00,6,-60,45.3,7.6,0,5,WIFI\n");
    const QString summaryLog = file("d.txt", summary({line("N 45.75", "E 7.25", "delta", "00:00:00:00:00:04", 90, "0001")}));
    dialogs.answers = {Answer::No};   // the changed map is left unsaved
    drop({summaryLog, path("base.kml"), wigle});
    QTRY_COMPARE_WITH_TIMEOUT(ctx().apList.count(), 4, 10000);
    EXPECT_EQ(dialogs.texts().first(), "The map has changed since it was last saved. Save it now?");
    EXPECT_EQ(window().windowTitle(), "base.kml[*] — Aeroplotter");
    EXPECT_TRUE(window().isWindowModified());
    EXPECT_TRUE(window().lstAP().rowOf("gamma") >= 0 && window().lstAP().rowOf("delta") >= 0);
    EXPECT_EQ(window().lstAP().rowOf("beta"), -1) << "the unsaved import went with the old map";
    EXPECT_EQ(recent::list(ctx().settings, recent::Logs).mid(0, 2), (QStringList{wigle, summaryLog}));

    // A recent map opens as the drop did; one that has gone is taken off the list.
    dialogs.reset();
    QFile::remove(path("base.kml"));
    window().openRecentMap(path("base.kml"));
    EXPECT_TRUE(dialogs.last().endsWith("it has been taken off the recent list."));
    EXPECT_FALSE(recent::list(ctx().settings, recent::Maps).contains(path("base.kml")));
}

TEST_F(WindowTest, EveryShortcutReachesItsCommandAndTheMenusShowThem)
{
    window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window(), 10000));
    const auto requested = [&] { return dialogs.fileRequests.empty() ? QString() : dialogs.fileRequests.back().filter; };
    struct Key {
        const char* what;
        QKeySequence keys;
        std::function<bool()> done;
    } keys[] = {
        {"new", QKeySequence::New, [&] { return ctx().state.MapLoaded; }},
        {"open", QKeySequence::Open, [&] { return requested() == MapFileFilter; }},
        {"save", QKeySequence::Save, [&] { return requested() == MapSaveFilter; }},
        {"import", QKeySequence(Qt::CTRL | Qt::Key_I), [&] { return requested().startsWith("Survey logs"); }},
        {"save as", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), [&] { return dialogs.fileRequests.size() == 4; }},
        {"zoom in", QKeySequence::ZoomIn, [&, before = 0.0]() mutable { return std::exchange(before, map().ViewAltitude()) > map().ViewAltitude(); }},
        {"zoom out", QKeySequence::ZoomOut, [&, before = 0.0]() mutable { return std::exchange(before, map().ViewAltitude()) < map().ViewAltitude(); }},
        {"find", QKeySequence::Find, [&] { return window().txtFind()->hasFocus(); }},
        {"quit", QKeySequence(Qt::CTRL | Qt::Key_Q), [&] { return dialogs.last() == "Exit, really?"; }},
        {"about", QKeySequence(Qt::Key_F1), [&] { auto* a = window().findChild<frmAbout*>(); return a && a->isVisible(); }},
    };
    window().SetToolbarEnabled(false);   // long work: no command starts inside it
    QTest::keySequence(&window(), QKeySequence::Open);
    QCoreApplication::processEvents();
    EXPECT_TRUE(dialogs.fileRequests.empty());
    window().SetToolbarEnabled(true);

    dialogs.answers = {Answer::No};   // to the quit question
    for (auto& k : keys) {
        SCOPED_TRACE(k.what);
        k.done();   // the zoom checks note where they start
        QTest::keySequence(&window(), k.keys);
        EXPECT_TRUE(QTest::qWaitFor(k.done, 10000));
    }
    EXPECT_FALSE(window().ended());
    EXPECT_EQ(window().menuAction(entries::MapSave)->shortcut(), QKeySequence(QKeySequence::Save));
    EXPECT_EQ(window().toolButton(buttons::Import)->text(), "&Import");
}

TEST_F(WindowTest, SaveImageWritesTheFormatOfTheChosenFilterAndSaveAsStartsBesideTheOpenMap)
{
    newMap();
    importSummary(twoAps());
    const struct {
        const char* typed;
        int filter;
        const char* written;
        QByteArray magic;
    } pictures[] = {{"view", 0, "view.bmp", "BM"}, {"view", 1, "view.png", "\x89PNG"}, {"typed.png", 0, "typed.png", "\x89PNG"}};
    for (const auto& p : pictures) {
        SCOPED_TRACE(p.written);
        dialogs.files = {path(p.typed)};
        dialogs.filterChoices = {p.filter};
        window().tbMain_ButtonMenuClick(entries::MapSaveImage);
        EXPECT_TRUE(testing_support::readFile(path(p.written)).startsWith(p.magic));
        EXPECT_EQ(window().statusResult(), "Picture saved to " + path(p.written));
    }
    dialogs.files = {path("sub.kml")};
    window().tbMain_ButtonMenuClick(entries::MapSaveAs);
    dialogs.reset();
    window().tbMain_ButtonMenuClick(entries::MapSaveAs);   // cancelled
    ASSERT_EQ(dialogs.fileRequests.size(), 1u);
    EXPECT_EQ(dialogs.fileRequests[0].proposedName, path("sub.kml"));
}

TEST_F(WindowTest, TheFilterBoxShowsMatchingRowsAndClicksReachTheRightAp)
{
    newMap();
    importSummary(file("s.txt", summary({line("N 45.25", "E 7.5", "alpha", "00:00:00:00:00:01", 90, "0011"),
                                         line("N 45.5", "E 7.5", "bravo", "00:00:00:00:00:02", 90, "0011"),
                                         line("N 45.75", "E 7.5", "charlie", "00:00:00:00:00:03", 90, "0011")})));
    QTest::keyClicks(window().txtFind(), "RAV");
    ASSERT_EQ(window().lstAPView()->model()->rowCount(), 1);
    clickListRow(0);
    EXPECT_EQ(map().markerDisplayState(*map().FindMarker("bravo")), 1);
    EXPECT_EQ(map().markerDisplayState(*map().FindMarker("alpha")), 0);
    window().txtFind()->clear();
    EXPECT_EQ(window().lstAPView()->model()->rowCount(), 3);
    EXPECT_EQ(window().listSplitter()->count(), 2);
}

} // namespace
} // namespace aero::testing
