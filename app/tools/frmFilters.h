#pragma once
// "Filter APs": up to three definitions; Apply marks every AP that does not pass (symbol 17 on
// its marker, its SSID red in the lists), Reset gives every marker its plot symbol back.
#include "ui/AppContext.h"
#include "domain/FilterRules.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace aero {

class frmFilters final : public QDialog {
    Q_OBJECT
public:
    explicit frmFilters(AppContext& ctx, QWidget* parent = nullptr);

    void cmdDone_Click();     // Apply
    void cmdClear_Click();    // Reset
    void cmdCancel_Click();   // Exit: hides, keeping every choice

    FilterDefinition definition() const;

    std::array<QComboBox*, 3> cmbField{};
    std::array<QComboBox*, 3> cmbBool{};
    std::array<QLineEdit*, 3> txtFilter{};
    QCheckBox *chkN1, *chkA1, *chkO1, *chkN2, *chkA2, *chkO2;
    QLabel* lblFilterP;
    QProgressBar* pbFilter;
    QPushButton *cmdDone, *cmdClear, *cmdCancel;

private:
    void buildLayout();
    void linkClicked(QCheckBox* box);
    void enableRow(int row, bool enabled);
    void mark(int slot);   // the record in table slot `slot`

    AppContext& m_ctx;
};

} // namespace aero
