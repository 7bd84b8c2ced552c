// The window's title (the map's file, with a mark while it holds unsaved work) and the status
// line under the map: counts, the position under the pointer, the scale and the last result.
#include "window/frmPlotter.h"

#include "domain/Geo.h"
#include "map/MapService.h"
#include "ui/ErrorReport.h"

#include <QFileInfo>
#include <QHelpEvent>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QStatusBar>
#include <QToolButton>
#include <QToolTip>
#include <cmath>

namespace aero {
namespace {

QString degrees(double value, char positive, char negative)
{
    return QStringLiteral("%1° %2").arg(std::fabs(value), 0, 'f', 5).arg(QLatin1Char(value < 0 ? negative : positive));
}

} // namespace

void frmPlotter::buildStatusLine()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("statusLine"));
    m_statusResult = new QLabel(bar);
    m_statusCounts = new QLabel(bar);
    m_statusCursor = new QLabel(bar);
    m_statusScale = new QLabel(bar);
    m_statusResult->setObjectName(QStringLiteral("statusResult"));
    bar->addWidget(m_statusResult, 1);
    bar->addPermanentWidget(m_statusCounts);
    bar->addPermanentWidget(m_statusCursor);
    bar->addPermanentWidget(m_statusScale);
    refreshTitleAndStatus();
}

void frmPlotter::showResult(const QString& text)
{
    m_statusResult->setText(text);
    m_statusResult->setToolTip(text);   // a long path may not fit
}

QString frmPlotter::statusResult() const { return m_statusResult->text(); }
QString frmPlotter::statusCounts() const { return m_statusCounts->text(); }
QString frmPlotter::statusCursor() const { return m_statusCursor->text(); }
QString frmPlotter::statusScale() const { return m_statusScale->text(); }

void frmPlotter::refreshSoon()
{
    if (!m_refresh.isActive())
        m_refresh.start();
}

void frmPlotter::refreshTitleAndStatus(bool afterCommand)
{
    if (m_busy || m_ended)
        return;   // long work ends with a command's end, which refreshes
    m_refresh.stop();
    const bool loaded = m_ctx.state.MapLoaded && m_ctx.Mapa;
    if (loaded) {
        const QString name = m_ctx.state.MapHasFile ? QFileInfo(m_ctx.Mapa->fileName()).fileName() : QStringLiteral("Untitled");
        setWindowTitle(name + QStringLiteral("[*] — Aeroplotter"));
        const bool settled = !afterCommand && (isWindowModified() || m_ctx.Mapa->isSaved());
        setWindowModified(settled ? isWindowModified() : m_ctx.mapChanged && m_ctx.mapChanged());
    } else {
        setWindowTitle(QStringLiteral("Aeroplotter"));
        setWindowModified(false);
    }

    int filtered = 0;
    for (int row = 0; row < m_lstAPModel.count(); ++row)
        filtered += m_lstAPModel.rowAt(row).red ? 1 : 0;
    m_statusCounts->setText(QStringLiteral("APs: %1   No GPS: %2   Filtered: %3")
                                .arg(m_lstAPModel.count())
                                .arg(m_lstNoGpsModel.count())
                                .arg(filtered));

    QString scale;
    if (loaded && m_ctx.Mapa->viewWidth() > 0) {
        try {
            const MapService& map = *m_ctx.Mapa;
            const int w = map.viewWidth(), middle = map.viewHeight() / 2;
            const double km = geo::distance(map.FromScreen(0, middle), map.FromScreen(w, middle), MapUnit::Kilometres);
            const double metresPerScreenMetre = km * 1000.0 / w * logicalDpiX() / 0.0254;
            if (std::isfinite(metresPerScreenMetre) && metresPerScreenMetre >= 1.0)
                scale = QStringLiteral("Scale 1:") + QLocale().toString(std::llround(metresPerScreenMetre));
        } catch (const AppError&) {
            // no view yet: no scale
        }
    }
    m_statusScale->setText(scale);
}

void frmPlotter::showCursorPosition(QPoint at)
{
    if (!m_ctx.state.MapLoaded || !m_ctx.Mapa)
        return;
    try {
        const Location where = m_ctx.Mapa->FromScreen(at.x(), at.y());
        m_statusCursor->setText(degrees(where.lat, 'N', 'S') + QStringLiteral("  ") + degrees(where.lon, 'E', 'W'));
    } catch (const AppError&) {
        m_statusCursor->clear();
    }
}

bool frmPlotter::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_mapa && event->type() == QEvent::MouseMove)
        showCursorPosition(static_cast<QMouseEvent*>(event)->position().toPoint());
    if (event->type() == QEvent::ToolTip)
        if (auto* button = qobject_cast<QToolButton*>(watched)) {
            for (const auto& [index, b] : m_buttons)
                if (b == button) {
                    const QString hint = shortcutHint(index);
                    QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(),
                                       hint.isEmpty() ? button->toolTip() : button->toolTip() + QStringLiteral(" (") + hint + QLatin1Char(')'),
                                       button);
                    return true;
                }
        }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace aero
