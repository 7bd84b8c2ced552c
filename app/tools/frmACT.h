#pragma once
// "Antenna Comparison Tool": two or three survey summaries of one area side by side, AP by AP.
#include "ui/AppContext.h"
#include "domain/ActComparison.h"
#include "map/MapService.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace aero {

class frmACT final : public QDialog {
    Q_OBJECT
public:
    explicit frmACT(AppContext& ctx, QWidget* parent = nullptr);

    void cmdDone_Click();     // Go: a new comparison, the previous one's figures taken off the map
    void cmdClear_Click();    // empties the grid, titles written again, figures taken off the map
    void cmdCancel_Click();   // Exit: hides, keeping boxes and grid
    void chooseFile(int k);   // double-click on a file box

    // Loads one summary into the grid as log k; 0, or -1/-2 when it is not a summary.
    int General_ReadACTFile(const QString& path, int k, const QString& name);

    std::array<QLineEdit*, 3> txtLF{};   // txtL1F .. txtL3F
    std::array<QLineEdit*, 3> txtLN{};   // txtL1N .. txtL3N
    QCheckBox *Check1, *chkMap, *chkFilter;
    QTableWidget* grdACT;
    QPushButton *cmdDone, *cmdClear, *cmdCancel;
    const ActComparison& comparison() const { return m_data; }

    static constexpr int Columns = 20;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    void writeTitles();
    void render();
    void drawOnMap();
    void removeDrawn();
    bool validate();

    AppContext& m_ctx;
    ActComparison m_data;
    std::array<QString, 3> m_names;   // names of the loaded logs, for row 1
    struct Drawn {
        ShapeId id;
        QString text;   // a shape of another map that took the same id is left alone
    };
    std::vector<Drawn> m_drawn;       // the figures of the last Go on the main map
};

} // namespace aero
