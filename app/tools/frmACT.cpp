#include "tools/frmACT.h"

#include "ui/ButtonRow.h"
#include "ui/ErrorReport.h"
#include "domain/NumberText.h"
#include "map/MapService.h"

#include <QCheckBox>
#include <QEvent>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace aero {
namespace {

const QColor BestCell(191, 229, 188);

QString dbm(double v) { return generalText(v, 7) + QStringLiteral(" dBm"); }

} // namespace

frmACT::frmACT(AppContext& ctx, QWidget* parent) : QDialog(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("frmACT"));
    setWindowTitle(QStringLiteral("Antenna Comparison Tool"));
    buildLayout();
    guarded(m_ctx.dialogs, QStringLiteral("frmACT_Load"), [this] { writeTitles(); });
    connect(cmdDone, &QPushButton::clicked, this, &frmACT::cmdDone_Click);
    connect(cmdClear, &QPushButton::clicked, this, &frmACT::cmdClear_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmACT::cmdCancel_Click);
    resize(1000, 600);
}

void frmACT::buildLayout()
{
    auto* logs = new QGroupBox(QStringLiteral("Loaded log files:"), this);
    auto* grid = new QGridLayout(logs);
    grid->addWidget(new QLabel(QStringLiteral("Log file to load:"), logs), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Name"), logs), 0, 2);
    for (int k = 0; k < 3; ++k) {
        grid->addWidget(new QLabel(QStringLiteral("Log %1:").arg(k + 1), logs), k + 1, 0);
        txtLF[k] = new QLineEdit(logs);
        txtLF[k]->setObjectName(QStringLiteral("txtL%1F").arg(k + 1));
        txtLF[k]->setPlaceholderText(QStringLiteral("double-click to choose a summary"));
        txtLF[k]->installEventFilter(this);
        txtLN[k] = new QLineEdit(logs);
        txtLN[k]->setObjectName(QStringLiteral("txtL%1N").arg(k + 1));
        grid->addWidget(txtLF[k], k + 1, 1);
        grid->addWidget(txtLN[k], k + 1, 2);
    }
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(2, 1);
    auto* options = new QGroupBox(QStringLiteral("Options:"), this);
    auto* ov = new QVBoxLayout(options);
    Check1 = new QCheckBox(QStringLiteral("Create new map"), options);
    chkMap = new QCheckBox(QStringLiteral("Show compared entries on map"), options);
    chkFilter = new QCheckBox(QStringLiteral("Show only APs with entries in all logs"), options);
    for (QCheckBox* c : {Check1, chkMap, chkFilter})
        ov->addWidget(c);
    auto* top = new QHBoxLayout;
    top->addWidget(logs, 3);
    top->addWidget(options, 1);

    grdACT = new QTableWidget(2, Columns, this);
    grdACT->setObjectName(QStringLiteral("grdACT"));
    grdACT->horizontalHeader()->hide();
    grdACT->verticalHeader()->hide();
    grdACT->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdACT->setColumnWidth(0, 3000 / 15);
    grdACT->setColumnWidth(1, 2000 / 15);
    for (int c = 14; c < Columns; ++c)
        grdACT->setColumnHidden(c, true);   // the logs' coordinates, kept for drawing

    cmdDone = new QPushButton(QStringLiteral("&Go"), this);
    cmdClear = new QPushButton(QStringLiteral("&Clear"), this);
    cmdClear->setToolTip(QStringLiteral("Empties the grid and takes the compared entries off the map"));
    cmdCancel = new QPushButton(QStringLiteral("&Exit"), this);
    QHBoxLayout* buttons = buttonRow({cmdDone, cmdClear, cmdCancel});
    auto* v = new QVBoxLayout(this);
    v->addLayout(top);
    v->addWidget(grdACT, 1);
    v->addLayout(buttons);
}

void frmACT::writeTitles()
{
    grdACT->setRowCount(2);
    auto put = [this](int row, int col, const QString& text) { grdACT->setItem(row, col, new QTableWidgetItem(text)); };
    for (int c = 0; c < Columns; ++c) {
        put(0, c, QString());
        put(1, c, QString());
    }
    for (int k = 1; k <= 3; ++k) {
        put(0, 1 + k, QStringLiteral("Signal Strength"));
        put(0, 4 + k, QStringLiteral("SNR"));
        put(0, 7 + k, QStringLiteral("Noise Level"));
        put(0, 10 + k, QStringLiteral("Relative Score"));
    }
    put(1, 0, QStringLiteral("SSID"));
    put(1, 1, QStringLiteral("MAC"));
    for (int k = 1; k <= 3; ++k)
        for (int col : {1 + k, 4 + k, 7 + k, 10 + k})
            put(1, col, m_names[static_cast<std::size_t>(k - 1)]);
}

void frmACT::render()
{
    writeTitles();
    const auto& rows = m_data.rows();
    grdACT->setRowCount(2 + static_cast<int>(rows.size()));
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        const ActRow& r = rows[static_cast<std::size_t>(i)];
        const int row = 2 + i;
        auto put = [&](int col, const QString& text) { grdACT->setItem(row, col, new QTableWidgetItem(text)); };
        put(0, r.ssid);
        put(1, r.mac);
        for (int k = 1; k <= 3; ++k) {
            const auto& m = r.logs[static_cast<std::size_t>(k - 1)];
            const std::array<int, 3> cols = {1 + k, 4 + k, 7 + k};   // signal, SNR, noise
            if (m) {
                put(cols[0], dbm(m->signal));
                put(cols[1], generalText(m->snr, 7));
                put(cols[2], dbm(m->noise));
                put(12 + 2 * k, doubleText(m->latitude));
                put(13 + 2 * k, doubleText(m->longitude));
            }
            for (std::size_t meas = 0; meas < 3; ++meas)
                if (m && r.best[meas][static_cast<std::size_t>(k - 1)])
                    grdACT->item(row, cols[meas])->setBackground(BestCell);
            put(10 + k, QString::number(r.score[static_cast<std::size_t>(k - 1)]));
        }
    }
}

int frmACT::General_ReadACTFile(const QString& path, int k, const QString& name)
{
    int result = 0;
    guarded(m_ctx.dialogs, QStringLiteral("General_ReadACTFile"), [&] {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw AppError(errors::FileNotFound, QStringLiteral("File not found: ") + path);
        result = m_data.readLog(file, k);
        if (result == 0)
            m_names[static_cast<std::size_t>(k - 1)] = name;
    });
    return result;
}

bool frmACT::validate()
{
    int filled = 0;
    for (QLineEdit* f : txtLF)
        filled += f->text().trimmed().isEmpty() ? 0 : 1;
    if (filled == 0) {
        m_ctx.dialogs.message(QStringLiteral("Could not start - no log files specified."), Icon::Critical);
        return false;
    }
    for (int k = 0; k < 3; ++k)
        if (!txtLF[k]->text().trimmed().isEmpty() && txtLN[k]->text().trimmed().isEmpty()) {
            m_ctx.dialogs.message(QStringLiteral("Please specify a name for Log %1.").arg(k + 1), Icon::Exclamation);
            return false;
        }
    if (filled < 2 || (!txtLF[0]->text().trimmed().isEmpty() && txtLF[1]->text().trimmed().isEmpty())) {
        m_ctx.dialogs.message(QStringLiteral("You must specify at least two summary files to compare."), Icon::Exclamation);
        return false;
    }
    return true;
}

void frmACT::cmdDone_Click()
{
    if (!validate())
        return;
    guarded(m_ctx.dialogs, QStringLiteral("cmdDone_Click"), [&] {
        m_data.clear();   // every Go compares afresh
        m_names = {};
        removeDrawn();
        std::array<bool, 3> loaded{};
        for (int k = 1; k <= 3; ++k) {
            const QString path = txtLF[static_cast<std::size_t>(k - 1)]->text().trimmed();
            if (path.isEmpty())
                continue;
            loaded[static_cast<std::size_t>(k - 1)] = true;
            if (General_ReadACTFile(path, k, txtLN[static_cast<std::size_t>(k - 1)]->text()) < 0)
                m_ctx.dialogs.message(QStringLiteral("Log %1 (%2) is not a NetStumbler summary and was not loaded.")
                                          .arg(k).arg(path), Icon::Exclamation);
        }
        m_data.score();
        if (chkFilter->isChecked())
            m_data.keepOnlyInAll(loaded);
        render();
        if (chkMap->isChecked())
            drawOnMap();
    });
}

void frmACT::drawOnMap()
{
    if (!m_ctx.state.MapLoaded) {
        m_ctx.dialogs.message(QStringLiteral("Cannot show compared entries until a map has been loaded."),
                              Icon::Exclamation);
        return;
    }
    MapService& map = *m_ctx.Mapa;
    for (const ActRow& r : m_data.rows())
        for (std::size_t k = 0; k < 3; ++k) {
            const auto& m = r.logs[k];
            if (!m || m->latitude == 0 || m->longitude == 0 || m->signal == 0)
                continue;
            map.AddShape(ShapeKind::Figure, map.MakeLocation(m->latitude, m->longitude, map.ViewAltitude()), 0.1, 0.1);
            const ShapeId s = map.ShapeAt(map.ShapeCount());
            const QString text = r.ssid + QStringLiteral("\r\n") + txtLN[k]->text();
            map.setShapeText(s, text);
            map.setShapeLineColor(s, static_cast<int>(m_ctx.ColorRamp[static_cast<std::size_t>(ActComparison::rampSlot(m->signal))]));
            m_drawn.push_back({s, text});
        }
}

void frmACT::removeDrawn()
{
    if (m_ctx.state.MapLoaded && m_ctx.Mapa)
        for (const Drawn& d : m_drawn)
            if (m_ctx.Mapa->shapeText(d.id) == d.text)
                m_ctx.Mapa->RemoveShape(d.id);
    m_drawn.clear();
}

void frmACT::cmdClear_Click()
{
    guarded(m_ctx.dialogs, QStringLiteral("cmdClear_Click"), [&] {
        m_data.clear();
        m_names = {};
        removeDrawn();
        render();
    });
}

void frmACT::cmdCancel_Click() { hide(); }

void frmACT::chooseFile(int k)
{
    static const char* routines[] = {"txtL1F_DblClick", "txtL2F_DblClick", "txtL3F_DblClick"};
    guarded(m_ctx.dialogs, QString::fromLatin1(routines[k - 1]), [&] {
        const QString path = m_ctx.dialogs.openFile(
            {QStringLiteral("Netstumbler export (*.*)|*.*|NetStumbler log (*.ns1)|*.ns1"), {}, {}});
        if (!path.isEmpty())
            txtLF[static_cast<std::size_t>(k - 1)]->setText(path);
    });
}

bool frmACT::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick)
        for (int k = 0; k < 3; ++k)
            if (watched == txtLF[k])
                chooseFile(k + 1);
    return QDialog::eventFilter(watched, event);
}

} // namespace aero
