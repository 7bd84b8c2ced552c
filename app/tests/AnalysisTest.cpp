#include "ProgramFixture.h"

#include "tools/frmACT.h"
#include "tools/frmFilters.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>

namespace aero::testing {
namespace {

class FilterTest : public ProgramFixture {
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        newMap();
        importSummary(file("s.txt", summary({line("N 45.1", "E 7.6", "linksys", "00:00:00:00:00:0a", 79, "0011"),   // -70
                                             line("N 45.2", "E 7.7", "home", "00:00:00:00:00:02", 78, "0001"),      // -71
                                             line("N 0.5", "E 7.7", "nofix", "00:00:00:00:00:03", 90, "0001")})));
        dialogs.reset();
        window().tbMain_ButtonClick("Filter");
        f = &program->filters();
    }
    void set(int row, int field, int condition, const QString& value)
    {
        f->cmbField[row]->setCurrentIndex(field);
        f->cmbBool[row]->setCurrentIndex(condition);
        f->txtFilter[row]->setText(value);
    }
    bool marked(const char* ssid)
    {
        const auto m = map().FindMarker(ssid);
        const int row = window().lstAP().rowOf(ssid);
        const bool onMap = m && map().markerSymbol(*m) == 17;
        const bool red = row >= 0 && window().lstAP().rowAt(row).red;
        EXPECT_EQ(onMap, red) << ssid;
        return onMap;
    }
    frmFilters* f = nullptr;
};

TEST_F(FilterTest, ApplyWithNothingChosenMarksNothing)
{
    EXPECT_TRUE(f->isVisible());
    f->cmdDone_Click();
    EXPECT_EQ(dialogs.texts(), QStringList{"Please select a valid field for the first filter definition."});
    EXPECT_FALSE(marked("linksys"));
}

TEST_F(FilterTest, SignalGreaterThanMarksWeakerApsOnTheMapAndInTheList)
{
    set(0, 2, 2, "-70");
    f->cmdDone_Click();
    EXPECT_EQ(dialogs.texts(), QStringList{"Finished applying filter."});
    EXPECT_FALSE(marked("linksys"));
    EXPECT_TRUE(marked("home"));
    EXPECT_EQ(f->lblFilterP->text(), "Idle");
}

TEST_F(FilterTest, TwoAppliesMarkTheUnionAndResetRestoresBandSymbols)
{
    set(0, 0, 1, "LINK");                // SSID contains LINK: marks home and nofix
    f->cmdDone_Click();
    set(0, 4, 0, "0");                   // WEP equals 0: marks linksys (encrypted)
    f->cmdDone_Click();
    EXPECT_TRUE(marked("linksys"));
    EXPECT_TRUE(marked("home"));
    EXPECT_TRUE(window().lstNoGps().rowAt(0).red);   // no marker: marked in its list
    f->cmdClear_Click();
    EXPECT_FALSE(marked("linksys"));
    EXPECT_FALSE(marked("home"));
    EXPECT_FALSE(window().lstNoGps().rowAt(0).red);
    EXPECT_EQ(map().markerSymbol(*map().FindMarker("linksys")), 342);
    EXPECT_EQ(map().markerSymbol(*map().FindMarker("home")), 337);
}

TEST_F(FilterTest, ARecordSharingItsNameIsMarkedInItsOwnRow)
{
    const QString csv = file("k.csv", "Network;NetType;ESSID;BSSID;Encryption;\n1;infrastructure;linksys;00:00:00:00:00:0B;None;\n");
    file("k.gps", "");
    dialogs.files = {csv};
    window().tbMain_ButtonMenuClick(buttons::Import, 2);
    set(0, 4, 0, "1");   // WEP equals 1: the open Kismet linksys fails, the summary's encrypted one passes
    f->cmdDone_Click();
    EXPECT_FALSE(marked("linksys"));
    const int kismetRow = window().lstNoGps().rowOfSlot(4);
    ASSERT_GE(kismetRow, 0);
    EXPECT_TRUE(window().lstNoGps().rowAt(kismetRow).red);
}

TEST_F(FilterTest, LinkBoxesFollowTheirRulesAndRowsTwoAndThreeTakePart)
{
    EXPECT_TRUE(f->chkN1->isChecked());
    EXPECT_FALSE(f->cmbField[1]->isEnabled());
    QTest::mouseClick(f->chkN1, Qt::LeftButton);   // a checked box clicked stays checked
    EXPECT_TRUE(f->chkN1->isChecked());
    QTest::mouseClick(f->chkA1, Qt::LeftButton);
    EXPECT_FALSE(f->chkN1->isChecked());
    EXPECT_TRUE(f->cmbField[1]->isEnabled());
    EXPECT_TRUE(f->chkO2->isEnabled());
    set(0, 0, 1, "o");                   // SSID contains "o": home, nofix pass
    set(1, 2, 2, "-70");                 // and signal at least -70: nofix passes
    f->cmdDone_Click();
    EXPECT_TRUE(marked("linksys"));
    EXPECT_TRUE(marked("home"));
    f->cmdClear_Click();
    QTest::mouseClick(f->chkO1, Qt::LeftButton);    // OR: home passes the first row
    f->cmdDone_Click();
    EXPECT_FALSE(marked("linksys"));
    EXPECT_FALSE(marked("home"));
    QTest::mouseClick(f->chkN1, Qt::LeftButton);
    EXPECT_TRUE(f->txtFilter[1]->text().isEmpty());
    EXPECT_TRUE(f->chkN2->isChecked());
    EXPECT_FALSE(f->chkA2->isEnabled());
}

TEST_F(FilterTest, AMarkedMapReopensWithEveryApListedMarkedAndStyled)
{
    set(0, 2, 2, "-70");   // marks home
    f->cmdDone_Click();
    for (const char* name : {"m.kml", "m.kmz"}) {
        dialogs.reset();
        dialogs.files = {path(name)};
        window().tbMain_ButtonMenuClick(entries::MapSaveAs);
        dialogs.files = {path(name)};
        window().tbMain_ButtonMenuClick(entries::MapLoad);
        EXPECT_EQ(window().lstAP().count(), 2) << name;
        EXPECT_TRUE(marked("home")) << name;
        EXPECT_FALSE(marked("linksys")) << name;
        EXPECT_EQ(window().lstAP().rowAt(window().lstAP().rowOf("home")).image, APListModel::OpenImage) << name;
    }
    const QByteArray kml = testing_support::readFile(path("m.kml"));
    EXPECT_TRUE(kml.contains("<Style id=\"Filtered\">"));
    EXPECT_EQ(kml.count("<styleUrl>#Filtered</styleUrl>"), 1);
    f->cmdClear_Click();   // the note brought back what Reset needs
    EXPECT_EQ(map().markerSymbol(*map().FindMarker("home")), 337);
}

TEST_F(FilterTest, ExitKeepsTheDialogStateForTheNextOpening)
{
    set(0, 1, 0, "00:00:00:00:00:0A");
    f->cmdCancel_Click();
    EXPECT_FALSE(f->isVisible());
    window().tbMain_ButtonClick("Filter");
    EXPECT_EQ(&program->filters(), f);
    EXPECT_EQ(f->txtFilter[0]->text(), "00:00:00:00:00:0A");
    f->cmdDone_Click();
    EXPECT_TRUE(marked("home"));
    EXPECT_FALSE(marked("linksys"));
}

class ActTest : public ProgramFixture {
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        newMap();
        window().tbMain_ButtonClick("ACT");
        a = &program->comparison();
    }
    frmACT* a = nullptr;
};

TEST_F(ActTest, ValidationMessages)
{
    a->cmdDone_Click();
    EXPECT_EQ(dialogs.last(), "Could not start - no log files specified.");
    EXPECT_EQ(dialogs.shown.back().icon, Icon::Critical);
    a->txtLF[0]->setText(file("one.txt", summary({})));
    a->cmdDone_Click();
    EXPECT_EQ(dialogs.last(), "Please specify a name for Log 1.");
    a->txtLN[0]->setText("omni");
    a->cmdDone_Click();
    EXPECT_EQ(dialogs.last(), "You must specify at least two summary files to compare.");
}

TEST_F(ActTest, GridShowsMeasuresScoresAndBestCellsAndDrawsInRampColours)
{
    a->txtLF[0]->setText(file("one.txt", summary({line("N 45.1", "E 7.6", "home", "00:00:00:00:00:01", 89, "0011")})));
    a->txtLF[1]->setText(file("two.txt", summary({line("N 45.1", "E 7.6", "home", "00:00:00:00:00:01", 89, "0011")})));
    a->txtLF[2]->setText(file("bad.txt", "not a summary\r\n"));
    a->txtLN[0]->setText("omni");
    a->txtLN[1]->setText("yagi");
    a->txtLN[2]->setText("none");
    a->chkMap->setChecked(true);
    a->cmdDone_Click();
    EXPECT_EQ(dialogs.texts().size(), 1);   // the file that is not a summary is named
    QTableWidget* g = a->grdACT;
    ASSERT_EQ(g->rowCount(), 3);
    EXPECT_EQ(g->item(0, 2)->text(), "Signal Strength");
    EXPECT_EQ(g->item(1, 2)->text(), "omni");
    EXPECT_EQ(g->item(1, 3)->text(), "yagi");
    EXPECT_EQ(g->item(2, 0)->text(), "home");
    EXPECT_EQ(g->item(2, 2)->text(), "-60 dBm");
    EXPECT_EQ(g->item(2, 11)->text(), "3");
    EXPECT_EQ(g->item(2, 12)->text(), "3");
    EXPECT_EQ(g->item(2, 13)->text(), "0");
    EXPECT_EQ(g->item(2, 2)->background().color(), QColor(191, 229, 188));
    EXPECT_EQ(g->item(2, 14)->text(), "45.1");
    ASSERT_EQ(map().ShapeCount(), 2);
    const Shape& s = map().shape(map().ShapeAt(1));
    EXPECT_EQ(s.text, "home\r\nomni");
    EXPECT_EQ(s.lineColor, static_cast<int>(ctx().ColorRamp[30]));

    const ShapeId track = map().AddLine(map().MakeLocation(45, 7, 1), map().MakeLocation(45.1, 7.1, 1));
    a->cmdDone_Click();   // a second Go compares afresh and replaces its own figures only
    EXPECT_EQ(g->rowCount(), 3);
    EXPECT_EQ(g->item(2, 11)->text(), "3");
    EXPECT_EQ(map().ShapeCount(), 3);
    a->cmdClear_Click();
    EXPECT_EQ(map().ShapeCount(), 1);
    EXPECT_EQ(map().ShapeAt(1), track);
}

} // namespace
} // namespace aero::testing
