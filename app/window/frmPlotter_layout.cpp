// The main window's resize rules, applied in pixels from the twips table.
#include "window/frmPlotter.h"

#include "window/PlotterLayout.h"

#include <QGroupBox>
#include <algorithm>
#include <QLabel>
#include <QProgressBar>
#include <QResizeEvent>
#include <QToolBar>
#include <QTreeView>
#include <QTreeWidget>

namespace aero {
namespace {

int px(int twips) { return twips / TwipsPerPixel; }

} // namespace

int frmPlotter::widthTwips() const { return width() * TwipsPerPixel; }
int frmPlotter::heightTwips() const { return height() * TwipsPerPixel; }

void frmPlotter::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void frmPlotter::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void frmPlotter::Form_Resize()
{
    if (isMinimized())
        return;
    const int W = widthTwips(), H = heightTwips();
    if (const auto snap = snapBack(W, H, isMaximized() || isFullScreen())) {
        resize(px(snap->width), px(snap->height));
        return;
    }
    placePanels(W, H);
}

void frmPlotter::placePanels(int W, int H)
{
    const PlotterLayout l = computeLayout(W, H, gpsLayout());
    // Form coordinates of the table start at the window's top; the toolbar takes the first rows.
    const int tb = m_tbMain->isVisible() ? m_tbMain->height() * TwipsPerPixel : 0;
    const int frameTop = 60;
    const int left = 120;

    m_fraMap->setGeometry(px(left), px(frameTop), px(l.fraMapWidth), px(l.fraMapHeight));
    if (m_mapa)
        m_mapa->setGeometry(px(120), px(300), px(l.MapaWidth), px(l.MapaHeight));
    m_fraProg->setGeometry(px(120), px(l.fraProgTop - tb), px(l.fraProgWidth), px(600));
    m_pbMap->setGeometry(px(1440), px(240), px(l.pbMapWidth), px(255));

    m_fraNav->setGeometry(px(left), px(l.fraNavTop - tb), px(l.fraNavWidth), px(1000));
    const int third = l.fraNavWidth / 3;
    m_lblVel->setGeometry(px(120), px(300), px(third), px(285));
    m_lblHdg->setGeometry(px(120), px(600), px(third), px(285));
    // The nearest-AP labels are short; the nearby-AP panel takes the rest of the frame.
    const int apWidth = 2 * third / 3;
    const int nearbyLeft = 120 + third + apWidth;
    m_lblAP->setGeometry(px(120 + third), px(300), px(apWidth - 120), px(285));
    m_lblAPName->setGeometry(px(120 + third), px(600), px(apWidth - 120), px(285));
    m_lstNearby->setGeometry(px(nearbyLeft), px(210), px(std::max(l.fraNavWidth - nearbyLeft - 120, 600)), px(1000 - 270));
    // The notice runs along the top of the map, where the eye goes when the position looks wrong.
    if (m_mapa)
        m_lblGpsNotice->setGeometry(px(120), px(300), px(l.MapaWidth), m_lblGpsNotice->heightForWidth(px(l.MapaWidth)));

    const int apsLeft = left + l.fraMapWidth + 120;
    const int apsWidth = std::max(W - apsLeft - 240, 1200);
    m_fraAPs->setGeometry(px(apsLeft), px(frameTop), px(apsWidth), px(l.fraAPsHeight));
    m_lstAP->setGeometry(px(120), px(300), px(apsWidth - 240), px(l.lstAPHeight));
    m_lblNoAPs->setGeometry(px(120), px(l.lblNoAPsTop), px(apsWidth - 240), px(240));
    m_lstNoGps->setGeometry(px(120), px(l.lstNoGpsTop), px(apsWidth - 240),
                            px(std::max(l.fraAPsHeight - l.lstNoGpsTop - 120, 300)));
}

} // namespace aero
