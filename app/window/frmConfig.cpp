#include "window/frmConfig.h"

#include "ui/ErrorReport.h"
#include "domain/NumberText.h"
#include "window/Startup.h"
#include "map/MapService.h"

#include <QCheckBox>
#include <algorithm>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "PortMap.h"

namespace aero {
namespace {

QString flag(const QCheckBox* box) { return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0"); }

} // namespace

frmConfig::frmConfig(AppContext& ctx, QWidget* parent) : QDialog(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("frmConfig"));
    setWindowTitle(QStringLiteral("Program configuration"));
    auto* columns = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(buildDefaults());
    left->addWidget(buildScripting());
    auto* right = new QVBoxLayout;
    right->addWidget(buildNavlet());
    right->addWidget(buildRealTime());
    right->addWidget(buildPorts());
    left->addWidget(buildSources());
    right->addWidget(buildMapData());
    columns->addLayout(left);
    columns->addLayout(right);

    cmdDone = new QPushButton(QStringLiteral("&Done"), this);
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdDone->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdDone);
    buttons->addWidget(cmdCancel);
    auto* top = new QVBoxLayout(this);
    top->addLayout(columns);
    top->addLayout(buttons);

    connect(cmdDone, &QPushButton::clicked, this, &frmConfig::cmdDone_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmConfig::cmdCancel_Click);
    connect(chkLoad, &QCheckBox::clicked, this, [this](bool on) { if (on) chkCustom->setChecked(false); });
    connect(chkCustom, &QCheckBox::clicked, this, [this](bool on) { if (on) chkLoad->setChecked(false); });
    guarded(m_ctx.dialogs, QStringLiteral("frmConfig_Load"), [this] { frmConfig_Load(); });
}

QWidget* frmConfig::buildDefaults()
{
    auto* box = new QGroupBox(QStringLiteral("Default settings:"), this);
    auto* form = new QFormLayout(box);
    chkLoad = new QCheckBox(QStringLiteral("At startup, load map:"), box);
    cmbMaps = new QComboBox(box);
    form->addRow(chkLoad, cmbMaps);
    chkCustom = new QCheckBox(QStringLiteral("Or load..."), box);
    txtCustom = new QLineEdit(box);
    txtCustom->setPlaceholderText(QStringLiteral("double-click to choose a map file"));
    txtCustom->installEventFilter(this);
    form->addRow(chkCustom, txtCustom);
    chkCenter = new QCheckBox(QStringLiteral("Center on the following coordinates when loading maps:"), box);
    form->addRow(chkCenter);
    txtLat = new QLineEdit(box);
    txtLon = new QLineEdit(box);
    form->addRow(QStringLiteral("+/- D.DDDDD"), txtLat);
    form->addRow(QStringLiteral("+/- D.DDDDD"), txtLon);
    txtZoom = new QLineEdit(box);
    form->addRow(QStringLiteral("Zoom level:"), txtZoom);
    optKm = new QRadioButton(QStringLiteral("Km."), box);
    optMi = new QRadioButton(QStringLiteral("Miles"), box);
    auto* units = new QHBoxLayout;
    units->addWidget(optKm);
    units->addWidget(optMi);
    form->addRow(units);
    // How an AP is placed from the sightings its log kept; the data is the setting's value.
    cmbPosition = new QComboBox(box);
    cmbPosition->addItem(QStringLiteral("Strongest sighting"), QStringLiteral("strongest"));
    cmbPosition->addItem(QStringLiteral("Signal-weighted centroid"), QStringLiteral("weighted"));
    cmbPosition->addItem(QStringLiteral("Trimmed weighted centroid"), QStringLiteral("trimmed"));
    form->addRow(QStringLiteral("AP position from its sightings:"), cmbPosition);
    return box;
}

QWidget* frmConfig::buildNavlet()
{
    auto* box = new QGroupBox(QStringLiteral("Navlet download:"), this);
    auto* form = new QFormLayout(box);
    cmbNavlet = new QComboBox(box);
    form->addRow(QStringLiteral("Navlet GPS download port:"), cmbNavlet);
    txtChars = new QLineEdit(box);
    form->addRow(QStringLiteral("Number of characters supported in Navlet waypoint label:"), txtChars);
    picTrack = new QFrame(box);
    picTrack->setFixedSize(48, 20);
    picTrack->setFrameShape(QFrame::Box);
    picTrack->setAutoFillBackground(true);
    picTrack->setToolTip(QStringLiteral("Double-click to choose the colour"));
    picTrack->installEventFilter(this);
    form->addRow(QStringLiteral("Downloaded track color:"), picTrack);
    return box;
}

QWidget* frmConfig::buildRealTime()
{
    auto* box = new QGroupBox(QStringLiteral("Real-time navigation:"), this);
    auto* form = new QFormLayout(box);
    chkAutoCenter = new QCheckBox(QStringLiteral("Center map automatically with each GPS fix"), box);
    form->addRow(chkAutoCenter);
    picNMEA = new QFrame(box);
    picNMEA->setFixedSize(48, 20);
    picNMEA->setFrameShape(QFrame::Box);
    picNMEA->setAutoFillBackground(true);
    picNMEA->setToolTip(QStringLiteral("Double-click to choose the colour"));
    picNMEA->installEventFilter(this);
    form->addRow(QStringLiteral("Real time GPS track color:"), picNMEA);
    chkAllTalkers = new QCheckBox(QStringLiteral("Read every satellite system (GN, GL, GA, GB... sentences), not only GPS"), box);
    form->addRow(chkAllTalkers);
    txtWatch = new QPlainTextEdit(box);
    txtWatch->setMaximumHeight(60);
    txtWatch->setToolTip(QStringLiteral("One a line: an SSID, a MAC address or a vendor prefix (00:11:22); * and ? are wildcards"));
    form->addRow(QStringLiteral("Watch list:"), txtWatch);
    txtWatchMetres = new QLineEdit(box);
    form->addRow(QStringLiteral("Alert when a watched AP is within (metres):"), txtWatchMetres);
    return box;
}

QWidget* frmConfig::buildScripting()
{
    auto* box = new QGroupBox(QStringLiteral("Scripting and voice output:"), this);
    auto* v = new QVBoxLayout(box);
    chkScriptIn = new QCheckBox(QStringLiteral("Enable scripting input from NetStumbler"), box);
    chkVoice = new QCheckBox(QStringLiteral("Enable program voice prompts"), box);
    chkRTVoice = new QCheckBox(QStringLiteral("Enable voice prompts for real-time script input"), box);
    v->addWidget(chkScriptIn);
    v->addWidget(chkVoice);
    v->addWidget(chkRTVoice);
    return box;
}

QWidget* frmConfig::buildPorts()
{
    auto* box = new QGroupBox(QStringLiteral("Serial ports:"), this);
    auto* form = new QFormLayout(box);
    for (int n = 1; n <= 8; ++n) {
        auto* edit = new QLineEdit(box);
        edit->setObjectName(QStringLiteral("txtPort%1").arg(n));
        txtPorts[static_cast<std::size_t>(n - 1)] = edit;
        form->addRow(QStringLiteral("COM%1:").arg(n), edit);
    }
    return box;
}

QWidget* frmConfig::buildSources()
{
    auto* box = new QGroupBox(QStringLiteral("Map tiles and gpsd:"), this);
    auto* form = new QFormLayout(box);
    chkTiles = new QCheckBox(QStringLiteral("Show online map tiles over the outline (from the next start)"), box);
    form->addRow(chkTiles);
    txtTileUrl = new QLineEdit(box);
    txtTileUrl->setToolTip(QStringLiteral("A tile URL with {z}, {x} and {y}"));
    form->addRow(QStringLiteral("Tile URL:"), txtTileUrl);
    txtGpsdHost = new QLineEdit(box);
    txtGpsdPort = new QLineEdit(box);
    form->addRow(QStringLiteral("gpsd host:"), txtGpsdHost);
    form->addRow(QStringLiteral("gpsd port:"), txtGpsdPort);
    return box;
}

QWidget* frmConfig::buildMapData()
{
    auto* box = new QGroupBox(QStringLiteral("Map data (drawn offline):"), this);
    auto* form = new QFormLayout(box);
    lstOsm = new QListWidget(box);
    lstOsm->setMaximumHeight(70);
    lstOsm->setToolTip(QStringLiteral("OpenStreetMap extracts (.osm.pbf), drawn under the markers"));
    form->addRow(QStringLiteral("OpenStreetMap extracts:"), lstOsm);
    cmdOsmAdd = new QPushButton(QStringLiteral("Add extract..."), box);
    cmdOsmRemove = new QPushButton(QStringLiteral("Remove"), box);
    auto* row = new QHBoxLayout;
    row->addWidget(cmdOsmAdd);
    row->addWidget(cmdOsmRemove);
    form->addRow(row);
    lblOsm = new QLabel(box);
    lblOsm->setWordWrap(true);
    form->addRow(lblOsm);
    txtTilePack = new QLineEdit(box);
    txtTilePack->setToolTip(QStringLiteral("An MBTiles file or a folder of z/x/y tiles, drawn under the online tiles"));
    cmdTilePack = new QPushButton(QStringLiteral("..."), box);
    auto* pack = new QHBoxLayout;
    pack->addWidget(txtTilePack);
    pack->addWidget(cmdTilePack);
    form->addRow(QStringLiteral("Tile pack:"), pack);
    connect(cmdOsmAdd, &QPushButton::clicked, this, &frmConfig::cmdOsmAdd_Click);
    connect(cmdOsmRemove, &QPushButton::clicked, this, [this] { delete lstOsm->currentItem(); });
    connect(cmdTilePack, &QPushButton::clicked, this, &frmConfig::cmdTilePack_Click);
    return box;
}

void frmConfig::cmdOsmAdd_Click()
{
    guarded(m_ctx.dialogs, QStringLiteral("cmdOsmAdd_Click"), [&] {
        const QString path = m_ctx.dialogs.openFile(
            {QStringLiteral("OpenStreetMap extracts (*.osm.pbf)|*.osm.pbf|All files (*.*)|*.*"), {}, {}});
        if (path.isEmpty() || !lstOsm->findItems(path, Qt::MatchExactly).isEmpty() || !m_ctx.readMapData)
            return;
        // Read now, once, with a progress bar; the map then draws it from its cache.
        QProgressDialog progress(QStringLiteral("Reading %1...").arg(QFileInfo(path).fileName()), QStringLiteral("Cancel"), 0, 100, this);
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(300);
        const auto [ok, text] = m_ctx.readMapData(path, [&progress](int percent) {
            progress.setValue(percent);
            return !progress.wasCanceled();
        });
        progress.reset();
        lblOsm->setText(text);
        if (ok)
            lstOsm->addItem(path);
        else if (!text.isEmpty())
            m_ctx.dialogs.message(text, Icon::Exclamation);
    });
}

void frmConfig::cmdTilePack_Click()
{
    const QString path = m_ctx.dialogs.openFile({QStringLiteral("Tile packs (*.mbtiles)|*.mbtiles|All files (*.*)|*.*"), {}, {}});
    if (!path.isEmpty())
        txtTilePack->setText(path);
}

void frmConfig::frmConfig_Load()
{
    cmbMaps->addItems({QStringLiteral("North America"), QStringLiteral("Europe")});
    for (int n = 1; n <= 8; ++n)
        cmbNavlet->addItem(QStringLiteral("COM%1:").arg(n));
}

void frmConfig::setSwatch(QFrame* swatch, int rgb)
{
    QPalette p = swatch->palette();
    p.setColor(QPalette::Window, QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF));
    swatch->setPalette(p);
    (swatch == picTrack ? m_trackColor : m_nmeaColor) = rgb;
}

void frmConfig::fillFromSettings()
{
    const Settings& s = m_ctx.settings;
    chkLoad->setChecked(s.number(QStringLiteral("LoadMap")) != 0);
    cmbMaps->setCurrentIndex(s.value(QStringLiteral("MapName")).isEmpty()
                                 ? -1 : static_cast<int>(s.number(QStringLiteral("MapName"))));
    chkCustom->setChecked(s.number(QStringLiteral("LoadCustom")) != 0);
    txtCustom->setText(s.value(QStringLiteral("CustomMapName")));
    chkCenter->setChecked(s.number(QStringLiteral("AutoCenter")) != 0);
    txtLat->setText(s.value(QStringLiteral("CenLat")));
    txtLon->setText(s.value(QStringLiteral("CenLon")));
    txtZoom->setText(s.value(QStringLiteral("CenZoom")));
    optKm->setChecked(s.value(QStringLiteral("MapUnits")) == QLatin1String("1"));
    optMi->setChecked(s.value(QStringLiteral("MapUnits")) == QLatin1String("2"));
    cmbNavlet->setCurrentIndex(static_cast<int>(s.number(QStringLiteral("NavletPort"))) - 1);
    txtChars->setText(s.value(QStringLiteral("NavletChars")));
    setSwatch(picTrack, static_cast<int>(s.number(QStringLiteral("TrackColor"))));
    chkAutoCenter->setChecked(s.number(QStringLiteral("CenterMap")) != 0);
    setSwatch(picNMEA, static_cast<int>(s.number(QStringLiteral("NMEAColor"))));
    chkScriptIn->setChecked(s.number(QStringLiteral("ScriptInput")) != 0);
    chkVoice->setChecked(s.number(QStringLiteral("VoiceOut")) != 0);
    chkRTVoice->setChecked(s.number(QStringLiteral("RTVoiceOut")) != 0);
    cmbPosition->setCurrentIndex(std::max(0, cmbPosition->findData(s.value(QStringLiteral("PositionMethod")))));
    for (int n = 1; n <= 8; ++n)
        txtPorts[static_cast<std::size_t>(n - 1)]->setText(portmap::devicePath(n));
    chkTiles->setChecked(s.value(QStringLiteral("TilesEnabled")) != QLatin1String("0"));
    txtTileUrl->setText(s.value(QStringLiteral("TileURL")));
    txtGpsdHost->setText(s.value(QStringLiteral("GpsdHost")));
    txtGpsdPort->setText(s.value(QStringLiteral("GpsdPort")));
    chkAllTalkers->setChecked(s.isOn(QStringLiteral("AllTalkers")));
    txtWatch->setPlainText(s.value(QStringLiteral("WatchList")));
    txtWatchMetres->setText(s.value(QStringLiteral("WatchMetres")));
    lstOsm->clear();
    lstOsm->addItems(s.value(QStringLiteral("OsmExtracts")).split(QLatin1Char('\n'), Qt::SkipEmptyParts));
    txtTilePack->setText(s.value(QStringLiteral("TilePack")));
    lblOsm->clear();
}

void frmConfig::cmdDone_Click()
{
    guarded(m_ctx.dialogs, QStringLiteral("cmdDone_Click"), [&] {
        if (chkLoad->isChecked() && cmbMaps->currentIndex() < 0) {
            m_ctx.dialogs.message(QStringLiteral("Please select a map to load."), Icon::Exclamation);
            return;
        }
        if (!Settings::inRange(QStringLiteral("GpsdPort"), txtGpsdPort->text())) {
            m_ctx.dialogs.message(QStringLiteral("The gpsd port must be a number from 1 to 65535."), Icon::Exclamation);
            return;
        }
        if (!Settings::inRange(QStringLiteral("WatchMetres"), txtWatchMetres->text())) {
            m_ctx.dialogs.message(QStringLiteral("The watch list's alert distance must be a number of metres from 0 to 100000."),
                                  Icon::Exclamation);
            return;
        }
        Settings& s = m_ctx.settings;
        s.setValue(QStringLiteral("MapName"), QString::number(cmbMaps->currentIndex()));
        s.setValue(QStringLiteral("CustomMapName"), txtCustom->text());
        s.setValue(QStringLiteral("LoadMap"), flag(chkLoad));
        s.setValue(QStringLiteral("LoadCustom"), flag(chkCustom));
        s.setValue(QStringLiteral("AutoCenter"), flag(chkCenter));
        s.setValue(QStringLiteral("CenLat"), txtLat->text());
        s.setValue(QStringLiteral("CenLon"), txtLon->text());
        s.setValue(QStringLiteral("CenZoom"), txtZoom->text());
        if (optKm->isChecked())
            s.setValue(QStringLiteral("MapUnits"), QStringLiteral("1"));
        else if (optMi->isChecked())
            s.setValue(QStringLiteral("MapUnits"), QStringLiteral("2"));
        // A new unit applies at once, to both maps: distances and their labels follow the map.
        for (MapService* map : {m_ctx.Mapa, m_ctx.upMap})
            if (map && map->hasMap() && (optKm->isChecked() || optMi->isChecked()))
                map->setUnits(optKm->isChecked() ? MapUnit::Kilometres : MapUnit::Miles);
        s.setValue(QStringLiteral("NavletPort"), QString::number(cmbNavlet->currentIndex() + 1));
        s.setValue(QStringLiteral("NavletChars"), txtChars->text());
        s.setValue(QStringLiteral("CenterMap"), flag(chkAutoCenter));
        s.setValue(QStringLiteral("TrackColor"), QString::number(m_trackColor));
        s.setValue(QStringLiteral("NMEAColor"), QString::number(m_nmeaColor));
        s.setValue(QStringLiteral("ScriptInput"), flag(chkScriptIn));
        s.setValue(QStringLiteral("VoiceOut"), flag(chkVoice));
        s.setValue(QStringLiteral("RTVoiceOut"), flag(chkRTVoice));
        const QString method = cmbPosition->currentData().toString();
        const bool methodChanged = method != s.value(QStringLiteral("PositionMethod"));
        s.setValue(QStringLiteral("PositionMethod"), method);
        if (methodChanged && m_ctx.positionMethodChanged)   // from the kept sightings: nothing is read again
            m_ctx.positionMethodChanged();
        s.setValue(QStringLiteral("TilesEnabled"), flag(chkTiles));
        s.setValue(QStringLiteral("TileURL"), txtTileUrl->text().trimmed());
        s.setValue(QStringLiteral("GpsdHost"), txtGpsdHost->text().trimmed());
        s.setValue(QStringLiteral("GpsdPort"), txtGpsdPort->text().trimmed());
        s.setValue(QStringLiteral("AllTalkers"), flag(chkAllTalkers));
        s.setValue(QStringLiteral("WatchList"), txtWatch->toPlainText().trimmed());
        s.setValue(QStringLiteral("WatchMetres"), txtWatchMetres->text().trimmed());
        QStringList extracts;
        for (int i = 0; i < lstOsm->count(); ++i)
            extracts << lstOsm->item(i)->text();
        const bool mapData = extracts.join(QLatin1Char('\n')) != s.value(QStringLiteral("OsmExtracts")) ||
                             txtTilePack->text().trimmed() != s.value(QStringLiteral("TilePack"));
        s.setValue(QStringLiteral("OsmExtracts"), extracts.join(QLatin1Char('\n')));
        s.setValue(QStringLiteral("TilePack"), txtTilePack->text().trimmed());
        for (int n = 1; n <= 8; ++n) {
            const QString device = txtPorts[static_cast<std::size_t>(n - 1)]->text().trimmed();
            if (device != portmap::devicePath(n))
                portmap::setDevicePath(n, device.isEmpty() ? portmap::defaultDevice(n) : device);
        }
        General_SaveIni(m_ctx);
        if (mapData && m_ctx.mapDataChanged)
            m_ctx.mapDataChanged();
        hide();
    });
}

void frmConfig::cmdCancel_Click() { hide(); }

void frmConfig::picTrack_DblClick() { setSwatch(picTrack, m_ctx.dialogs.chooseColor(m_trackColor)); }

void frmConfig::picNMEA_DblClick() { setSwatch(picNMEA, m_ctx.dialogs.chooseColor(m_nmeaColor)); }

void frmConfig::txtCustom_DblClick()
{
    guarded(m_ctx.dialogs, QStringLiteral("txtCustom_DblClick"), [&] {
        const QString path = m_ctx.dialogs.openFile({QStringLiteral("Aeroplotter maps (*.kml)|*.kml"), {}, {}});
        if (path.isEmpty())
            return;
        txtCustom->setText(path);
        chkCustom->setChecked(true);
        chkLoad->setChecked(false);
    });
}

bool frmConfig::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == picTrack)
            picTrack_DblClick();
        else if (watched == picNMEA)
            picNMEA_DblClick();
        else if (watched == txtCustom)
            txtCustom_DblClick();
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace aero
