#include "map/MapView.h"

#include "map/MapControl.h"

#include <QActionGroup>
#include <QElapsedTimer>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolBar>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <utility>

namespace aero {

namespace {
constexpr double ZoomStep = 1.5;
constexpr double WheelNotch = 120.0;
} // namespace

MapView::MapView(MapControl* control, QWidget* parent) : QWidget(parent), m_control(control)
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);   // hover tool tips on markers
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_prompt = [this] { return QInputDialog::getText(this, QStringLiteral("Text label"), QStringLiteral("Text:")); };
    buildToolbars();
    m_repaint.setSingleShot(true);
    connect(&m_repaint, &QTimer::timeout, this, qOverload<>(&QWidget::update));
    connect(control, &MapControl::changed, this, &MapView::scheduleRepaint);
    connect(control, &MapControl::toolbarsChanged, this, &MapView::applyToolbars);
    connect(control, &MapControl::documentReset, this, [this] {
        m_selected.reset();
        m_draft.clear();
    });
    applyToolbars();
}

void MapView::buildToolbars()
{
    m_navBar = new QToolBar(QStringLiteral("Navigation"), this);
    m_navBar->addAction(QStringLiteral("+"), this, [this] { m_control->zoomBy(ZoomStep); })->setToolTip(QStringLiteral("Zoom in"));
    m_navBar->addAction(QStringLiteral("\u2212"), this, [this] { m_control->zoomBy(1.0 / ZoomStep); })->setToolTip(QStringLiteral("Zoom out"));
    m_tools = new QActionGroup(this);
    auto addTool = [this](QToolBar* bar, const QString& text, const QString& tip, Tool tool) {
        QAction* a = bar->addAction(text, this, [this, tool] { setTool(tool); });
        a->setToolTip(tip);
        a->setCheckable(true);
        a->setData(int(tool));
        m_tools->addAction(a);
        return a;
    };
    addTool(m_navBar, QStringLiteral("Pan"), QStringLiteral("Pan"), Tool::Pan)->setChecked(true);
    m_navBar->addAction(QStringLiteral("All"), this, [this] { m_control->zoomToAllMarkers(); })->setToolTip(QStringLiteral("Zoom to all markers"));
    m_drawBar = new QToolBar(QStringLiteral("Drawing"), this);
    addTool(m_drawBar, QStringLiteral("Line"), QStringLiteral("Line"), Tool::Line);
    addTool(m_drawBar, QStringLiteral("Polyline"), QStringLiteral("Polyline (double-click ends it)"), Tool::Polyline);
    addTool(m_drawBar, QStringLiteral("Figure"), QStringLiteral("Small figure"), Tool::Figure);
    addTool(m_drawBar, QStringLiteral("Text"), QStringLiteral("Text label"), Tool::Text);
    m_drawBar->addAction(QStringLiteral("Delete"), this, &MapView::deleteSelected)->setToolTip(QStringLiteral("Delete selected"));
    for (QToolBar* bar : {m_navBar, m_drawBar}) {
        bar->setAutoFillBackground(true);
        bar->setIconSize(QSize(16, 16));
    }
}

void MapView::applyToolbars()
{
    m_navBar->setVisible(m_control->toolbarVisible(NavigationToolbar));
    m_drawBar->setVisible(m_control->toolbarVisible(DrawingToolbar));
    layoutToolbars();
}

void MapView::layoutToolbars()
{
    int y = 4;
    for (QToolBar* bar : {m_navBar, m_drawBar}) {
        bar->adjustSize();
        bar->move(4, y);
        if (!bar->isHidden())
            y += bar->height() + 4;
    }
}

void MapView::setTool(Tool tool)
{
    m_tool = tool;
    m_draft.clear();
    for (QAction* a : m_tools->actions())
        a->setChecked(a->data().toInt() == int(tool));
    setCursor(tool == Tool::Pan ? Qt::OpenHandCursor : Qt::CrossCursor);
    update();
}

void MapView::deleteSelected()
{
    if (m_selected) {
        m_control->removeShape(*m_selected);
        m_selected.reset();
    }
}

void MapView::scheduleRepaint()
{
    // A frame of many markers costs milliseconds; while long work changes the map hundreds of
    // times a second, repaint at most about a fifth of the time.
    if (!m_repaint.isActive())
        m_repaint.start(std::clamp(static_cast<int>(4 * m_lastPaintMs), 0, 250));
}

void MapView::paintEvent(QPaintEvent*)
{
    QElapsedTimer timer;
    timer.start();
    QPainter painter(this);
    m_control->render(painter, m_selected, m_draft);
    m_lastPaintMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

void MapView::resizeEvent(QResizeEvent*)
{
    m_control->setViewSize(size());
    layoutToolbars();
}

void MapView::mousePressEvent(QMouseEvent* event)
{
    const QPointF pos = event->position();
    Q_EMIT mousePressed(event->button(), event->modifiers(), int(pos.x()), int(pos.y()));
    if (event->button() != Qt::LeftButton || !m_control->hasMap())
        return;
    const Location here = m_control->FromScreen(int(pos.x()), int(pos.y()));
    switch (m_tool) {
    case Tool::Pan:
        m_selected = m_control->shapeAtScreen(pos);
        m_dragFrom = pos;
        m_pressedAt = pos;
        m_pressedMarker = m_control->markerAtScreen(pos);
        update();
        break;
    case Tool::Line:
        m_draft = {here, here};
        break;
    case Tool::Polyline:
        // The last point follows the pointer; a press fixes it and starts the next one.
        if (m_draft.empty())
            m_draft.push_back(here);
        m_draft.back() = here;
        m_draft.push_back(here);
        update();
        break;
    case Tool::Figure:
    case Tool::Text:
        placeAt(pos);
        break;
    }
}

void MapView::mouseMoveEvent(QMouseEvent* event)
{
    const QPointF pos = event->position();
    if (m_tool == Tool::Pan && m_dragFrom) {
        m_control->panBy(pos - *m_dragFrom);
        m_dragFrom = pos;
    } else if (!m_draft.empty() && (m_tool == Tool::Line || m_tool == Tool::Polyline)) {
        m_draft.back() = m_control->FromScreen(int(pos.x()), int(pos.y()));
        update();
    }
}

void MapView::mouseReleaseEvent(QMouseEvent* event)
{
    const QPointF pos = event->position();
    Q_EMIT mouseReleased(event->button(), event->modifiers(), int(pos.x()), int(pos.y()));
    m_dragFrom.reset();
    // A press and release on the same spot is a click, not a drag.
    constexpr double ClickSlop = 4.0;
    const auto pressedMarker = std::exchange(m_pressedMarker, std::nullopt);
    const auto pressedAt = std::exchange(m_pressedAt, std::nullopt);
    const bool click = pressedAt && event->button() == Qt::LeftButton && (pos - *pressedAt).manhattanLength() <= ClickSlop &&
                       m_control->hasMap() && m_tool == Tool::Pan;
    if (click && !clickStack(pos, pressedMarker) && pressedMarker)
        Q_EMIT markerClicked(*pressedMarker);
    if (m_tool == Tool::Line && m_draft.size() == 2 && event->button() == Qt::LeftButton) {
        m_draft.back() = m_control->FromScreen(int(pos.x()), int(pos.y()));
        if (!(m_draft.front() == m_draft.back()))
            m_selected = m_control->AddLine(m_draft.front(), m_draft.back());
        m_draft.clear();
    }
}

// A click on a stack of markers fans it out so each can be reached; a click on a cluster of a
// crowded view, or on a stack too large to fan out, zooms in there instead (and is used up:
// true). A click on a fanned-out marker keeps the fan; a click elsewhere closes it.
bool MapView::clickStack(QPointF pos, std::optional<MarkerId> clicked)
{
    const auto& spread = m_control->spread();
    if (clicked && spread && spread->scale == m_control->viewport().scale() &&
        std::find(spread->markers.begin(), spread->markers.end(), *clicked) != spread->markers.end())
        return false;
    m_control->closeSpread();
    if (!clicked)
        return false;
    const std::vector<MarkerId> stack = m_control->stackAt(pos);
    if (m_control->isCrowded() || stack.size() > std::size_t(MaxSpread)) {
        m_control->zoomBy(4.0, pos);
        return true;
    }
    if (stack.size() > 1)
        m_control->spreadStack(stack);
    return false;
}

bool MapView::event(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    auto* help = static_cast<QHelpEvent*>(event);
    const auto marker = m_control->hasMap() ? m_control->markerAtScreen(help->pos()) : std::nullopt;
    if (!marker) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    QString note = m_control->markerNote(*marker);
    note.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    const QString name = m_control->markerName(*marker);
    QToolTip::showText(help->globalPos(), note.isEmpty() ? name : name + QLatin1Char('\n') + note, this);
    return true;
}

void MapView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (m_tool == Tool::Polyline)
        finishPolyline();
    else
        QWidget::mouseDoubleClickEvent(event);
}

void MapView::finishPolyline()
{
    // The double click's second press added a point on top of the last one.
    while (m_draft.size() >= 2 && m_draft[m_draft.size() - 1] == m_draft[m_draft.size() - 2])
        m_draft.pop_back();
    if (m_draft.size() >= 2)
        m_selected = m_control->AddPolyline(m_draft);
    m_draft.clear();
    update();
}

void MapView::placeAt(QPointF pos)
{
    const Location here = m_control->FromScreen(int(pos.x()), int(pos.y()));
    if (m_tool == Tool::Figure) {
        m_selected = m_control->AddShape(ShapeKind::Figure, here, 0.1, 0.1);
        return;
    }
    const QString text = m_prompt ? m_prompt() : QString();
    if (text.isEmpty())
        return;
    // A text label is a figure of no size that carries only its words.
    const ShapeId id = m_control->AddShape(ShapeKind::Figure, here, 0.0, 0.0);
    m_control->setShapeText(id, text);
    m_selected = id;
}

void MapView::wheelEvent(QWheelEvent* event)
{
    const double notches = event->angleDelta().y() / WheelNotch;
    if (notches != 0.0)
        m_control->zoomBy(std::pow(ZoomStep, notches), event->position());
    event->accept();
}

void MapView::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal: m_control->zoomBy(ZoomStep); break;
    case Qt::Key_Minus: m_control->zoomBy(1.0 / ZoomStep); break;
    case Qt::Key_Delete: deleteSelected(); break;
    case Qt::Key_Escape: m_draft.clear(), update(); break;
    default: QWidget::keyPressEvent(event);
    }
}

} // namespace aero
