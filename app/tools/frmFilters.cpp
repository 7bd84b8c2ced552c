#include "tools/frmFilters.h"

#include "ui/ButtonRow.h"
#include "ui/DoEvents.h"
#include "ui/ErrorReport.h"
#include "ui/ProgressThrottle.h"
#include "ui/PlotterWindow.h"
#include "domain/ApSymbols.h"
#include "map/MapService.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace aero {
namespace {

FilterLink linkOf(const QCheckBox* a, const QCheckBox* o)
{
    return a->isChecked() ? FilterLink::And : o->isChecked() ? FilterLink::Or : FilterLink::None;
}

} // namespace

frmFilters::frmFilters(AppContext& ctx, QWidget* parent) : QDialog(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("frmFilters"));
    setWindowTitle(QStringLiteral("Filter APs"));
    buildLayout();
    for (int i = 0; i < 3; ++i) {
        cmbField[i]->addItems({QStringLiteral("SSID"), QStringLiteral("MAC Address"), QStringLiteral("Signal"),
                               QStringLiteral("Mode"), QStringLiteral("WEP"), QStringLiteral("Band (GHz)"),
                               QStringLiteral("Security"), QStringLiteral("Seen (date..date)")});
        cmbBool[i]->addItems({QStringLiteral("Equals"), QStringLiteral("Contains"), QStringLiteral("Is greater than"),
                              QStringLiteral("Is less than")});
        cmbField[i]->setCurrentIndex(-1);
        cmbBool[i]->setCurrentIndex(-1);
    }
    chkN1->setChecked(true);
    chkN2->setChecked(true);
    enableRow(1, false);
    enableRow(2, false);
    for (QCheckBox* b : {chkN2, chkA2, chkO2})
        b->setEnabled(false);
    for (QCheckBox* b : {chkN1, chkA1, chkO1, chkN2, chkA2, chkO2})
        connect(b, &QCheckBox::clicked, this, [this, b] { linkClicked(b); });
    connect(cmdDone, &QPushButton::clicked, this, &frmFilters::cmdDone_Click);
    connect(cmdClear, &QPushButton::clicked, this, &frmFilters::cmdClear_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmFilters::cmdCancel_Click);
}

void frmFilters::buildLayout()
{
    auto* defs = new QGroupBox(QStringLiteral("Filter definitions:"), this);
    auto* grid = new QGridLayout(defs);
    grid->addWidget(new QLabel(QStringLiteral("Filter by"), defs), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Condition"), defs), 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Value"), defs), 0, 3);
    auto makeLinks = [&](int gridRow, QCheckBox*& n, QCheckBox*& a, QCheckBox*& o) {
        auto* h = new QHBoxLayout;
        n = new QCheckBox(QStringLiteral("None"), defs);
        a = new QCheckBox(QStringLiteral("AND"), defs);
        o = new QCheckBox(QStringLiteral("OR"), defs);
        for (QCheckBox* b : {n, a, o})
            h->addWidget(b);
        h->addStretch();
        grid->addLayout(h, gridRow, 1, 1, 3);
    };
    for (int i = 0; i < 3; ++i) {
        const int gridRow = 1 + 2 * i;
        grid->addWidget(new QLabel(QStringLiteral("%1. Field").arg(i + 1), defs), gridRow, 0);
        cmbField[i] = new QComboBox(defs);
        cmbBool[i] = new QComboBox(defs);
        txtFilter[i] = new QLineEdit(defs);
        grid->addWidget(cmbField[i], gridRow, 1);
        grid->addWidget(cmbBool[i], gridRow, 2);
        grid->addWidget(txtFilter[i], gridRow, 3);
    }
    makeLinks(2, chkN1, chkA1, chkO1);
    makeLinks(4, chkN2, chkA2, chkO2);

    auto* status = new QGroupBox(QStringLiteral("Status:"), this);
    auto* sv = new QVBoxLayout(status);
    lblFilterP = new QLabel(QStringLiteral("Idle"), status);
    pbFilter = new QProgressBar(status);
    pbFilter->setTextVisible(false);
    sv->addWidget(lblFilterP);
    sv->addWidget(pbFilter);

    cmdDone = new QPushButton(QStringLiteral("&Apply"), this);
    cmdClear = new QPushButton(QStringLiteral("&Reset"), this);
    cmdCancel = new QPushButton(QStringLiteral("&Exit"), this);
    QHBoxLayout* buttons = buttonRow({cmdDone, cmdClear, cmdCancel});
    auto* v = new QVBoxLayout(this);
    v->addWidget(defs);
    v->addWidget(status);
    v->addLayout(buttons);
}

void frmFilters::enableRow(int row, bool enabled)
{
    cmbField[row]->setEnabled(enabled);
    cmbBool[row]->setEnabled(enabled);
    txtFilter[row]->setEnabled(enabled);
}

void frmFilters::linkClicked(QCheckBox* box)
{
    const bool first = box == chkN1 || box == chkA1 || box == chkO1;
    QCheckBox* n = first ? chkN1 : chkN2;
    QCheckBox* a = first ? chkA1 : chkA2;
    QCheckBox* o = first ? chkO1 : chkO2;
    box->setChecked(true);   // one box of a row always stays checked
    for (QCheckBox* other : {n, a, o})
        if (other != box)
            other->setChecked(false);
    const int row = first ? 1 : 2;
    const bool linked = box != n;
    enableRow(row, linked);
    if (!linked)
        txtFilter[row]->clear();
    if (first) {
        for (QCheckBox* b : {chkN2, chkA2, chkO2})
            b->setEnabled(linked);
        if (!linked) {
            linkClicked(chkN2);
            for (QCheckBox* b : {chkN2, chkA2, chkO2})
                b->setEnabled(false);
        }
    }
}

FilterDefinition frmFilters::definition() const
{
    FilterDefinition d;
    for (std::size_t i = 0; i < 3; ++i) {
        d.rows[i].field = static_cast<FilterField>(cmbField[i]->currentIndex());
        d.rows[i].condition = static_cast<FilterCondition>(cmbBool[i]->currentIndex());
        d.rows[i].value = txtFilter[i]->text();
    }
    d.link1 = linkOf(chkA1, chkO1);
    d.link2 = d.link1 == FilterLink::None ? FilterLink::None : linkOf(chkA2, chkO2);
    return d;
}

void frmFilters::mark(int slot)
{
    PlotterWindow& w = *m_ctx.window;
    const AccessPoint& ap = m_ctx.apList.at(slot);
    if (ap.Plotted && m_ctx.state.MapLoaded)
        if (const auto marker = m_ctx.Mapa->FindMarker(ap.SSID))
            m_ctx.Mapa->setMarkerSymbol(*marker, FilteredSymbol);
    if (const int row = w.lstAP().rowOfSlot(slot); row >= 0)
        w.lstAP().setRed(row, true, false);
    else if (const int other = w.lstNoGps().rowOfSlot(slot); other >= 0)
        w.lstNoGps().setRed(other, true, false);
}

void frmFilters::cmdDone_Click()
{
    const FilterDefinition d = definition();
    if (const QString problem = validationMessage(d); !problem.isEmpty()) {
        m_ctx.dialogs.message(problem, Icon::Exclamation);
        return;
    }
    guarded(m_ctx.dialogs, QStringLiteral("cmdDone_Filter_Click"), [&] {
        const APList& table = m_ctx.apList;
        lblFilterP->setText(QStringLiteral("Applying filters..."));
        pbFilter->setRange(0, std::max(table.count(), 1));
        pbFilter->setValue(0);
        ProgressThrottle progress(*pbFilter);
        for (int i = 1; i <= table.count(); ++i) {
            progress.setValue(i);
            yieldOrStop(m_ctx);
            const AccessPoint& ap = table.at(i);
            if (!passes(ap, d, table.observation(i)))
                mark(i);
        }
        lblFilterP->setText(QStringLiteral("Idle"));
        m_ctx.window->lstAP().redChanged();   // redraw the lists once, not once per mark
        m_ctx.window->lstNoGps().redChanged();
        if (!m_ctx.settings.isOn(QStringLiteral("VoiceOut")))
            m_ctx.dialogs.message(QStringLiteral("Finished applying filter."), Icon::Information);
        pbFilter->setValue(0);
    });
}

void frmFilters::cmdClear_Click()
{
    guarded(m_ctx.dialogs, QStringLiteral("cmdClear_Click"), [&] {
        m_ctx.window->lstAP().clearRed();
        m_ctx.window->lstNoGps().clearRed();
        if (!m_ctx.state.MapLoaded)
            return;
        MapService& map = *m_ctx.Mapa;
        const APList& table = m_ctx.apList;
        for (int i = 1; i <= table.count(); ++i) {
            DoEvents();
            const AccessPoint& ap = table.at(i);
            if (!ap.Plotted)
                continue;
            if (const auto marker = map.FindMarker(ap.SSID))
                map.setMarkerSymbol(*marker, apSymbol(ap).value_or(DefaultSymbol));
        }
    });
}

void frmFilters::cmdCancel_Click() { hide(); }

} // namespace aero
