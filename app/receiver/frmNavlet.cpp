#include "receiver/frmNavlet.h"

#include "ui/Twips.h"
#include "ui/PlotterWindow.h"

#include <QHideEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace aero {
namespace {

constexpr int MarginTwips = 100;

} // namespace

frmNavlet::frmNavlet(AppContext& ctx, QWidget* parent) : QDialog(parent), m_ctx(ctx), m_download(ctx)
{
    setObjectName(QStringLiteral("frmNavlet"));
    setWindowTitle(QStringLiteral("Track download"));
    lblProgress = new QLabel(this);
    lblProgress->setObjectName(QStringLiteral("lblProgress"));
    lblProgress->setMinimumWidth(320);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblProgress);
    connect(&m_download, &TrackDownload::progress, lblProgress, &QLabel::setText);
    connect(&m_download, &TrackDownload::placeWindow, this, &frmNavlet::placeNearMainWindow);
    connect(&m_download, &TrackDownload::closeWindow, this, &QWidget::close);
}

QString frmNavlet::progressText() const { return lblProgress->text(); }

void frmNavlet::start()
{
    lblProgress->clear();
    m_download.start();
}

void frmNavlet::hideEvent(QHideEvent* event)
{
    // Closed by the user mid-transfer, or closed when done: the port is let go either way.
    if (!event->spontaneous())
        m_download.abort();
    QDialog::hideEvent(event);
}

void frmNavlet::placeNearMainWindow()
{
    if (!m_ctx.window)
        return;
    // Measured from the main window's own corner, wherever it stands on the screen.
    const QRect main = m_ctx.window->widget().frameGeometry();
    const QSize own = frameGeometry().size();
    const int margin = MarginTwips / TwipsPerPixel;
    move(main.x() + main.width() - own.width() - margin, main.y() + main.height() - own.height() - margin);
}

} // namespace aero
