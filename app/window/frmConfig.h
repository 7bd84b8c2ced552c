#pragma once
// "Program configuration": edits the options; Done stores and saves them, Cancel changes nothing.
#include "ui/AppContext.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QRadioButton;
class QFrame;
class QPushButton;

namespace aero {

class frmConfig final : public QDialog {
    Q_OBJECT
public:
    explicit frmConfig(AppContext& ctx, QWidget* parent = nullptr);

    void fillFromSettings();
    void cmdDone_Click();
    void cmdCancel_Click();
    void picTrack_DblClick();
    void picNMEA_DblClick();
    void txtCustom_DblClick();

    // Controls, by their names, for the window's own use and for tests.
    QCheckBox *chkLoad, *chkCustom, *chkCenter, *chkAutoCenter, *chkScriptIn, *chkVoice, *chkRTVoice;
    QComboBox *cmbMaps, *cmbNavlet, *cmbPosition;
    QLineEdit *txtCustom, *txtLat, *txtLon, *txtZoom, *txtChars;
    QRadioButton *optKm, *optMi;
    QFrame *picTrack, *picNMEA;
    QPushButton *cmdDone, *cmdCancel;
    std::array<QLineEdit*, 8> txtPorts{};   // device of COM1..COM8
    QCheckBox* chkTiles;                     // online map tiles over the outline
    QCheckBox* chkAllTalkers;                // sentences of every satellite system, not only $GP
    QPlainTextEdit* txtWatch;                // watched SSIDs, MACs, vendor prefixes, one a line
    QLineEdit* txtWatchMetres;
    QLineEdit *txtTileUrl, *txtGpsdHost, *txtGpsdPort;
    // Map data: OpenStreetMap extracts and a tile pack, drawn offline.
    QListWidget* lstOsm;
    QPushButton *cmdOsmAdd, *cmdOsmRemove, *cmdTilePack;
    QLineEdit* txtTilePack;
    QLabel* lblOsm;
    void cmdOsmAdd_Click();
    void cmdTilePack_Click();

    int trackColor() const { return m_trackColor; }
    int nmeaColor() const { return m_nmeaColor; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void frmConfig_Load();
    QWidget* buildDefaults();
    QWidget* buildNavlet();
    QWidget* buildRealTime();
    QWidget* buildScripting();
    QWidget* buildPorts();
    QWidget* buildSources();
    QWidget* buildMapData();
    void setSwatch(QFrame* swatch, int rgb);

    AppContext& m_ctx;
    int m_trackColor = 0;
    int m_nmeaColor = 0;
};

} // namespace aero
