#include "receiver/frmNavletUp.h"

#include "ui/ErrorReport.h"
#include "domain/NumberText.h"
#include "ui/PlotterWindow.h"
#include "map/MapService.h"
#include "navlet/WaypointNames.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHideEvent>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace aero {
namespace {

const QString ModelInformationCaption = QStringLiteral(" Model information:");
const QString LinkStatusCaption = QStringLiteral(" Link Status:");

} // namespace

frmNavletUp::frmNavletUp(AppContext& ctx, QWidget* uploadMap, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_upload(ctx), m_map(uploadMap)
{
    setObjectName(QStringLiteral("frmNavletUp"));
    setWindowTitle(QStringLiteral("Waypoint upload"));
    buildLayout(uploadMap);
    connect(&m_upload, &WaypointUpload::linkStatus, lblLS, &QLabel::setText);
    connect(&m_upload, &WaypointUpload::modelInformation, lblMI, &QLabel::setText);
    connect(&m_upload, &WaypointUpload::connected, this, &frmNavletUp::receiverAnswered);
    connect(&m_upload, &WaypointUpload::formatsKnown, this, [this] { m_rows.relabel(nameLength(), m_upload.navlet().Waypoint_Data_Format()); });
    connect(cmdDone, &QPushButton::clicked, this, &frmNavletUp::cmdDone_Click);
    connect(cmdClear, &QPushButton::clicked, this, &frmNavletUp::cmdClear_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmNavletUp::cmdCancel_Click);
    connect(lstUpload, &QTreeView::clicked, this, [this](const QModelIndex& index) { lstUpload_Click(index.row()); });
}

frmNavletUp::~frmNavletUp()
{
    // The map widget belongs to its map engine, which may show it again elsewhere.
    if (m_map) {
        m_map->hide();
        m_map->setParent(nullptr);
    }
}

void frmNavletUp::buildLayout(QWidget* uploadMap)
{
    fraStatus = new QGroupBox(QStringLiteral("GPS Connection Status:"), this);
    lblMI = new QLabel(fraStatus);
    lblLS = new QLabel(fraStatus);
    auto* status = new QVBoxLayout(fraStatus);
    status->addWidget(lblMI);
    status->addWidget(lblLS);

    fraUpload = new QGroupBox(QStringLiteral("Logged AP Upload Selection:"), this);
    lstUpload = new QTreeView(fraUpload);
    lstUpload->setObjectName(QStringLiteral("lstUpload"));
    lstUpload->setRootIsDecorated(false);
    lstUpload->setUniformRowHeights(true);
    lstUpload->setModel(&m_rows);
    lstUpload->header()->setStretchLastSection(true);
    (new QVBoxLayout(fraUpload))->addWidget(lstUpload);

    cmdDone = new QPushButton(QStringLiteral("&Go"), this);
    cmdClear = new QPushButton(QStringLiteral("&Clear"), this);
    cmdCancel = new QPushButton(QStringLiteral("&Exit"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {cmdDone, cmdClear, cmdCancel})
        buttons->addWidget(b);

    auto* left = new QVBoxLayout;
    left->addWidget(fraStatus);
    left->addWidget(fraUpload, 1);
    left->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    if (uploadMap) {
        layout->addWidget(uploadMap, 1);
        uploadMap->show();
    }
}

void frmNavletUp::start()
{
    lblMI->setText(ModelInformationCaption);
    lblLS->setText(LinkStatusCaption);
    cmdDone->setEnabled(false);
    m_rows.clear();
    m_upload.start();
}

int frmNavletUp::nameLength()
{
    const int chars = static_cast<int>(m_ctx.settings.number(QStringLiteral("NavletChars")));
    return navlet::waypointNameLength(chars, m_upload.navlet().Waypoint_Data_Format());
}

void frmNavletUp::receiverAnswered()
{
    cmdDone->setEnabled(true);
    m_rows.clear();
    m_rows.setRows(buildUploadRows(m_ctx.window->lstAP(), *m_ctx.Mapa, nameLength(),
                                   m_upload.navlet().Waypoint_Data_Format()));
}

void frmNavletUp::cmdDone_Click()
{
    guarded(m_ctx.dialogs, QStringLiteral("frmNavletUp_cmdDone"), [&] {
        std::vector<UploadWaypoint> waypoints;
        std::vector<QString> labels;
        for (const UploadRow& r : m_rows.tickedRows()) {
            waypoints.push_back({r.label, r.latitude, r.longitude});
            labels.push_back(r.label);
        }
        // Equal names would overwrite each other on the receiver.
        if (const auto repeated = navlet::firstRepeatedName(labels)) {
            m_ctx.dialogs.message(QStringLiteral("The waypoint name \"%1\" repeats: %2 waypoints cannot have distinct "
                                                 "names of %3 characters. Tick fewer or set a longer name length.")
                                      .arg(labels[*repeated])
                                      .arg(labels.size())
                                      .arg(nameLength()),
                                  Icon::Exclamation);
            return;
        }
        m_upload.send(waypoints);
    });
}

void frmNavletUp::cmdClear_Click()
{
    guarded(m_ctx.dialogs, QStringLiteral("frmNavletUp_cmdClear"), [&] { m_rows.untickAll(); });
}

void frmNavletUp::cmdCancel_Click()
{
    m_upload.close();
    close();
}

void frmNavletUp::lstUpload_Click(int row)
{
    guarded(m_ctx.dialogs, QStringLiteral("lstUpload_Click"), [&] {
        if (row < 0 || row >= m_rows.count() || !m_ctx.upMap)
            return;
        MapService& map = *m_ctx.upMap;
        const UploadRow& r = m_rows.rowAt(row);
        map.CentreOn(map.MakeLocation(leadingNumber(r.latitude), leadingNumber(r.longitude), map.ViewAltitude()));
    });
}

void frmNavletUp::hideEvent(QHideEvent* event)
{
    // However the window closes, the port is let go and a running transfer stops waiting.
    if (!event->spontaneous())
        m_upload.close();
    QDialog::hideEvent(event);
}

} // namespace aero
