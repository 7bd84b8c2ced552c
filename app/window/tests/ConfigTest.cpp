#include "CoreFixture.h"

#include "window/frmConfig.h"

#include <QPlainTextEdit>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>

namespace aero::testing {
namespace {

class ConfigTest : public CoreFixture {
protected:
    void SetUp() override
    {
        CoreFixture::SetUp();
        dialog = std::make_unique<frmConfig>(ctx, &window());
        dialog->fillFromSettings();
        dialog->show();
    }
    void TearDown() override
    {
        dialog.reset();
        CoreFixture::TearDown();
    }
    std::unique_ptr<frmConfig> dialog;
};

TEST_F(ConfigTest, ListsAreFilledInOrder)
{
    ASSERT_EQ(dialog->cmbMaps->count(), 2);
    EXPECT_EQ(dialog->cmbMaps->itemText(0), "North America");
    EXPECT_EQ(dialog->cmbMaps->itemText(1), "Europe");
    ASSERT_EQ(dialog->cmbNavlet->count(), 8);
    EXPECT_EQ(dialog->cmbNavlet->itemText(7), "COM8:");
    EXPECT_EQ(dialog->txtPorts[0]->text(), "/dev/ttyUSB0");
}

TEST_F(ConfigTest, LoadAndCustomExcludeEachOther)
{
    QTest::mouseClick(dialog->chkLoad, Qt::LeftButton);
    EXPECT_TRUE(dialog->chkLoad->isChecked());
    QTest::mouseClick(dialog->chkCustom, Qt::LeftButton);
    EXPECT_TRUE(dialog->chkCustom->isChecked());
    EXPECT_FALSE(dialog->chkLoad->isChecked());
    QTest::mouseClick(dialog->chkLoad, Qt::LeftButton);
    EXPECT_FALSE(dialog->chkCustom->isChecked());
}

TEST_F(ConfigTest, DoneWithLoadCheckedButNoMapChosenStoresNothing)
{
    dialog->chkLoad->setChecked(true);
    dialog->cmbMaps->setCurrentIndex(-1);
    dialog->txtChars->setText("12");
    dialog->cmdDone_Click();
    EXPECT_EQ(dialogs.texts(), QStringList{"Please select a map to load."});
    EXPECT_EQ(settings.value("NavletChars"), "6");
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(ConfigTest, DoneStoresEveryControlAndSaves)
{
    dialog->chkLoad->setChecked(false);
    dialog->cmbMaps->setCurrentIndex(-1);
    dialog->optMi->setChecked(true);
    dialog->cmbNavlet->setCurrentIndex(2);
    dialog->txtChars->setText("10");
    dialog->txtLat->setText("48.5x");
    dialog->chkVoice->setChecked(true);
    dialog->txtPorts[1]->setText("pts/9");
    dialog->chkTiles->setChecked(false);
    dialog->txtGpsdPort->setText("2948");
    EXPECT_TRUE(dialog->chkAllTalkers->isChecked()) << "every satellite system by default";
    dialog->chkAllTalkers->setChecked(false);
    dialog->txtWatch->setPlainText("CorpNet*\n00:11:22\n");
    dialog->txtWatchMetres->setText("250");
    dialogs.colors = {0x0000FF};
    dialog->picTrack_DblClick();
    dialog->cmdDone_Click();
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(settings.value("MapName"), "-1");
    EXPECT_EQ(settings.value("MapUnits"), "2");
    EXPECT_EQ(settings.value("NavletPort"), "3");
    EXPECT_EQ(settings.value("NavletChars"), "10");
    EXPECT_EQ(settings.value("CenLat"), "48.5x");
    EXPECT_EQ(settings.value("VoiceOut"), "1");
    EXPECT_EQ(settings.value("TrackColor"), "255");
    EXPECT_EQ(settings.stored("Config", "NavletPort"), "3");
    EXPECT_EQ(settings.stored("Ports", "COM2"), "pts/9");
    EXPECT_EQ(settings.stored("Config", "TilesEnabled"), "0");
    EXPECT_EQ(settings.value("GpsdPort"), "2948");
    EXPECT_EQ(settings.stored("Config", "AllTalkers"), "0");
    EXPECT_EQ(settings.stored("Config", "WatchList"), "CorpNet*\n00:11:22");
    EXPECT_EQ(settings.stored("Config", "WatchMetres"), "250");
}

// A value out of range would wrap (a port of 70000 is 4464) or overflow a cast: loading puts
// the default back, and Done refuses a port it cannot use.
TEST_F(ConfigTest, OutOfRangeValuesAreDefaultedOnLoadAndRefusedOnDone)
{
    const struct {
        const char *key, *stored, *loaded;
    } cases[] = {{"GpsdPort", "70000", "2947"}, {"GpsdPort", "0", "2947"},       {"GpsdPort", "2948", "2948"},
                 {"TrackColor", "99999999999", "0"}, {"NMEAColor", "-5", "0"}, {"NMEAColor", "16711680", "16711680"},
                 {"GPSPort", "12", "1"},        {"CenLat", "48.5x", "48.5x"},
                 {"NearbyCount", "1000000000", "5"}, {"WatchMetres", "-1", "100"}};
    for (const auto& c : cases) {
        settings.store("Config", c.key, c.stored);
        settings.loadConfig();
        EXPECT_EQ(settings.value(c.key), c.loaded) << c.key << " " << c.stored;
    }
    dialog->txtGpsdPort->setText("70000");
    dialog->cmdDone_Click();
    EXPECT_EQ(dialogs.texts(), QStringList{"The gpsd port must be a number from 1 to 65535."});
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(settings.value("GpsdPort"), "2948");
    dialogs.reset();
    dialog->txtGpsdPort->setText("2948");
    dialog->txtWatchMetres->setText("200000");
    dialog->cmdDone_Click();
    EXPECT_EQ(dialogs.texts(), QStringList{"The watch list's alert distance must be a number of metres from 0 to 100000."});
}

TEST_F(ConfigTest, MapDataExtractsAreReadWhenAddedAndAppliedOnDone)
{
    QStringList read;
    int applied = 0;
    ctx.readMapData = [&](const QString& path, const std::function<bool(int)>& progress) {
        read << path;
        progress(50);
        const bool ok = !path.endsWith("bad.osm.pbf");
        return std::pair{ok, ok ? QStringLiteral("ready") : QStringLiteral("bad.osm.pbf is not an OpenStreetMap extract")};
    };
    ctx.mapDataChanged = [&] { ++applied; };
    dialogs.files = {"/maps/bad.osm.pbf", "/maps/monaco.osm.pbf", "/maps/monaco.osm.pbf"};
    for (int i = 0; i < 3; ++i)
        dialog->cmdOsmAdd_Click();
    EXPECT_EQ(read, QStringList({"/maps/bad.osm.pbf", "/maps/monaco.osm.pbf"})) << "an extract already listed is not read again";
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.last(), "bad.osm.pbf is not an OpenStreetMap extract");
    ASSERT_EQ(dialog->lstOsm->count(), 1);
    dialog->txtTilePack->setText(" /maps/alps.mbtiles ");
    dialog->cmdDone_Click();
    EXPECT_EQ(settings.stored("Config", "OsmExtracts"), "/maps/monaco.osm.pbf");
    EXPECT_EQ(settings.value("TilePack"), "/maps/alps.mbtiles");
    EXPECT_EQ(applied, 1);
    dialog->fillFromSettings();
    dialog->cmdDone_Click();
    EXPECT_EQ(applied, 1) << "nothing changed, nothing re-applied";
}

TEST_F(ConfigTest, CancelChangesNothing)
{
    dialog->txtChars->setText("99");
    dialog->cmdCancel_Click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(settings.value("NavletChars"), "6");
}

TEST_F(ConfigTest, FileChooserClosedWithoutAFileLeavesEverythingAlone)
{
    dialog->chkLoad->setChecked(true);
    dialog->txtCustom_DblClick();
    EXPECT_TRUE(dialog->txtCustom->text().isEmpty());
    EXPECT_TRUE(dialog->chkLoad->isChecked());
    ASSERT_EQ(dialogs.fileRequests.size(), 1u);
    EXPECT_EQ(dialogs.fileRequests[0].filter, "Aeroplotter maps (*.kml)|*.kml");
    dialogs.files = {"/maps/city.kml"};
    dialog->txtCustom_DblClick();
    EXPECT_EQ(dialog->txtCustom->text(), "/maps/city.kml");
    EXPECT_TRUE(dialog->chkCustom->isChecked());
    EXPECT_FALSE(dialog->chkLoad->isChecked());
}

TEST_F(ConfigTest, ConfigButtonOpensTheDialogFilledFromSettings)
{
    settings.setValue("NavletChars", "8");
    window().tbMain_ButtonClick("Config");
    auto* opened = window().findChild<frmConfig*>();
    ASSERT_NE(opened, nullptr);
    EXPECT_TRUE(opened->isVisible());
    EXPECT_EQ(opened->txtChars->text(), "8");
}

} // namespace
} // namespace aero::testing
