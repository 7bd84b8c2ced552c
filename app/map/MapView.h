#pragma once
// The map on screen: paints what its MapControl holds, pans by dragging, zooms with the wheel
// and the +/- keys, and carries the two map toolbars (2 navigation, 3 drawing). Mouse presses
// and releases are passed on as signals before anything else, so the program can place an AP
// by hand or pause live updates.
#include "map/MapService.h"

#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

class QToolBar;
class QActionGroup;

namespace aero {

class MapControl;

class MapView : public QWidget {
    Q_OBJECT
public:
    enum class Tool { Pan, Line, Polyline, Figure, Text };

    explicit MapView(MapControl* control, QWidget* parent = nullptr);

    MapControl* control() const { return m_control; }
    QToolBar* navigationToolbar() const { return m_navBar; }
    QToolBar* drawingToolbar() const { return m_drawBar; }
    Tool tool() const { return m_tool; }
    void setTool(Tool tool);
    std::optional<ShapeId> selectedShape() const { return m_selected; }
    void deleteSelected();
    // Asks for a text label's words; replaceable so tests never open a dialog.
    void setTextPrompt(std::function<QString()> prompt) { m_prompt = std::move(prompt); }

    QSize sizeHint() const override { return {640, 480}; }

Q_SIGNALS:
    void mousePressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void mouseReleased(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    // A left click (no drag) on a marker with the pan tool.
    void markerClicked(MarkerId marker);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildToolbars();
    void applyToolbars();
    void layoutToolbars();
    void finishPolyline();
    void placeAt(QPointF pos);
    bool clickStack(QPointF pos, std::optional<MarkerId> clicked);
    void scheduleRepaint();

    MapControl* m_control;
    QToolBar* m_navBar = nullptr;
    QToolBar* m_drawBar = nullptr;
    QActionGroup* m_tools = nullptr;
    Tool m_tool = Tool::Pan;
    std::optional<QPointF> m_dragFrom;
    std::optional<QPointF> m_pressedAt;
    std::optional<MarkerId> m_pressedMarker;
    std::vector<Location> m_draft;
    std::optional<ShapeId> m_selected;
    std::function<QString()> m_prompt;
    QTimer m_repaint;
    double m_lastPaintMs = 0.0;
};

} // namespace aero
