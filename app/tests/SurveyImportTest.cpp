// Today's survey logs through the window's Import entries and through a script's $IMPORT, and
// the AP table saved in the other formats of the Save CSV dialog.
#include "ProgramFixture.h"

#include "ImportTestSupport.h"
#include "domain/FilterRules.h"
#include "script/RunScript.h"

#include <QFile>
#include <QTreeView>

namespace aero::testing {
namespace {

using SurveyImportTest = ProgramFixture;

void expectGolden(const APList& t, const import_test::Golden& want)
{
    ASSERT_EQ(t.count(), want.records);
    for (int slot = 1; slot <= t.count(); ++slot) {
        const AccessPoint& got = t.at(slot);
        const AccessPoint& w = want.table[static_cast<std::size_t>(slot - 1)];
        SCOPED_TRACE(w.MAC.toStdString());
        EXPECT_EQ(got.MAC, w.MAC);
        EXPECT_EQ(got.Signal, w.Signal);
        EXPECT_NEAR(got.Latitude, w.Latitude, 1e-7);
        EXPECT_NEAR(got.Longitude, w.Longitude, 1e-7);
        EXPECT_EQ(got.WEP, w.WEP);
        EXPECT_EQ(got.Mode, w.Mode);
    }
}

TEST_F(SurveyImportTest, EachFormatThroughTheWindowAndThroughImportMatchesItsGoldenTable)
{
    struct Case {
        int entry;
        const char* file;
        const char* expected;
        QStringList messages;   // after the import
    } cases[] = {
        {3, "survey-wigle.csv", "survey-wigle.expected",
         {"2 lines of %1 could not be read and were skipped; the first is line 30.",
          "4 records that are not Wi-Fi access points (cell towers, Bluetooth devices, clients, probes) were left out."}},
        {4, "survey.netxml", "survey-netxml.expected",
         {"Import complete!",
          "2 records that are not Wi-Fi access points (cell towers, Bluetooth devices, clients, probes) were left out."}},
        {5, "survey.kismet", "survey-kismet.expected",
         {"Import complete!",
          "4 records that are not Wi-Fi access points (cell towers, Bluetooth devices, clients, probes) were left out."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const import_test::Golden want = import_test::readGolden(c.expected);
        newMap();
        dialogs.files = {import_test::dataFile(c.file)};
        window().tbMain_ButtonMenuClick(buttons::Import, c.entry);
        QStringList messages = c.messages;
        messages.replaceInStrings(QStringLiteral("%1"), import_test::dataFile(c.file));
        EXPECT_EQ(dialogs.texts(), messages);
        expectGolden(ctx().apList, want);
        const int encrypted = static_cast<int>(std::count_if(want.table.begin(), want.table.end(),
                                                             [](const AccessPoint& a) { return a.WEP == "1"; }));
        int mapped = 0, encryptedSymbols = 0;
        for (const AccessPoint& a : want.table) {
            const auto m = map().FindMarker(ctx().apList.at(ctx().apList.findBySSID(a.SSID)).SSID);
            if (m) {
                ++mapped;
                encryptedSymbols += map().markerSymbol(*m) >= 340 ? 1 : 0;
            }
        }
        EXPECT_EQ(mapped, want.records);
        EXPECT_EQ(encryptedSymbols, encrypted);
        EXPECT_EQ(window().lstAP().count(), want.records);
        EXPECT_EQ(window().fraAPsCaption(), QStringLiteral("AP List: %1 logged").arg(want.records));
        EXPECT_TRUE(window().toolbarButtonEnabled(1));

        // The same file again adds nothing: every MAC is already listed.
        dialogs.reset();
        dialogs.files = {import_test::dataFile(c.file)};
        window().tbMain_ButtonMenuClick(buttons::Import, c.entry);
        EXPECT_EQ(ctx().apList.count(), want.records);

        // A script's $IMPORT finds the format by content alone.
        dialogs.reset();
        const QString copy = path(QStringLiteral("survey-%1.log").arg(c.entry));
        QFile::remove(copy);
        ASSERT_TRUE(QFile::copy(import_test::dataFile(c.file), copy));
        if (c.entry == 4)   // the netxml's GPS log goes with it, under the same base name
            QFile::copy(import_test::dataFile("survey.gpsxml"), path(QStringLiteral("survey-4.gpsxml")));
        const QString script = file("s.aps", "AEROPLOTTER SCRIPT FILE V1.0\r\n$NEW US\r\n$IMPORT " + copy.toUtf8() + "\r\n");
        EXPECT_EQ(RunScript(ctx(), script), ScriptOutcome::FinishedWithoutEnd);
        expectGolden(ctx().apList, want);
        EXPECT_EQ(map().markerCount(), want.records);
        dialogs.reset();
    }
    // The wrong kind of file under an entry, and a file no entry reads.
    window().tbMain_ButtonMenuClick(buttons::Map, 7);
    dialogs.reset();
    dialogs.files = {import_test::dataFile("survey.netxml")};
    window().tbMain_ButtonMenuClick(buttons::Import, 3);
    EXPECT_EQ(dialogs.texts(), QStringList{"The file selected is not a WiGLE CSV file."});
    EXPECT_EQ(window().fraAPsCaption(), "Logged APs:");
    dialogs.reset();
    const QString script = file("t.aps", "AEROPLOTTER SCRIPT FILE V1.0\r\n$IMPORT " + import_test::dataFile("README.md").toUtf8() + "\r\n");
    RunScript(ctx(), script);
    EXPECT_EQ(dialogs.texts(), QStringList{"The file " + import_test::dataFile("README.md") + " is not a survey log Aeroplotter can read."});
    EXPECT_EQ(dialogs.shown[0].icon, Icon::Critical);
}

TEST_F(SurveyImportTest, SaveCsvDialogWritesTheChosenFormatAndAddsItsExtension)
{
    newMap();
    dialogs.files = {import_test::dataFile("survey-wigle.csv")};
    window().tbMain_ButtonMenuClick(buttons::Import, 3);
    struct Case {
        int filter;
        const char* name;
        const char* written;
        const char* starts;
    } cases[] = {
        {0, "list", "list.csv", "\"linksys\",\"00:14:6C:7E:40:80\",-55,"},
        {1, "list", "list.gpx", "<?xml"},
        {2, "list", "list.geojson", "{\"type\":\"FeatureCollection\""},
        {3, "upload.txt", "upload.txt", "WigleWifi-1.6,"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.written);
        dialogs.reset();
        dialogs.files = {path(c.name)};
        dialogs.filterChoices = {c.filter};
        window().tbMain_ButtonClick(QStringLiteral("Save CSV"));
        EXPECT_EQ(dialogs.texts(), QStringList{"File saved!"});
        QFile written(path(c.written));
        ASSERT_TRUE(written.open(QIODevice::ReadOnly));
        EXPECT_TRUE(written.readAll().startsWith(c.starts));
    }
}

TEST_F(SurveyImportTest, UpperListSortsByWhatTheLogsSaidAndTheFiltersAskIt)
{
    newMap();
    dialogs.files = {QStringLiteral(AEROPLOTTER_SURVEY_TEST_DATA "/modern-wigle.csv")};
    window().tbMain_ButtonMenuClick(entries::ImportWigleCsv);
    APListModel& list = window().lstAP();
    ASSERT_EQ(list.count(), 7);
    ASSERT_EQ(list.columnCount(), int(APListModel::DetailColumns));
    struct Case {
        APListModel::Column column;
        Qt::SortOrder order;
        QString first;   // what the first row shows in that column
    } cases[] = {
        {APListModel::ChannelColumn, Qt::AscendingOrder, "1 (2.4 GHz)"},
        {APListModel::ChannelColumn, Qt::DescendingOrder, "37 (6 GHz)"},
        {APListModel::SignalColumn, Qt::DescendingOrder, "-50 dBm"},
        {APListModel::SecurityColumn, Qt::AscendingOrder, "enterprise"},
        {APListModel::FirstSeenColumn, Qt::DescendingOrder, "2026-06-11T12:30:06Z"},
        {APListModel::MacColumn, Qt::AscendingOrder, "00:14:6C:00:00:01"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.column));
        window().lstAPView()->sortByColumn(c.column, c.order);
        EXPECT_EQ(list.data(list.index(0, c.column), Qt::DisplayRole).toString(), c.first);
        // A row still leads to its own record.
        EXPECT_EQ(ctx().apList.at(list.rowAt(0).slot).SSID, list.rowAt(0).ssid);
    }

    // Band, security and seen rows beside the five kinds: the 5 and 6 GHz WPA3 network only.
    FilterDefinition d;
    d.rows[0] = {FilterField::Band, FilterCondition::GreaterThan, "5"};
    d.rows[1] = {FilterField::Security, FilterCondition::Equals, "WPA3"};
    d.rows[2] = {FilterField::Seen, FilterCondition::Equals, "2026-06-11"};
    d.link1 = d.link2 = FilterLink::And;
    int passing = 0;
    for (int slot = 1; slot <= ctx().apList.count(); ++slot)
        passing += passes(ctx().apList.at(slot), d, ctx().apList.observation(slot)) ? 1 : 0;
    EXPECT_EQ(passing, 1);
}

} // namespace
} // namespace aero::testing
